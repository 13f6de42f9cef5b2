// Simulated message boxes, OS identification, shell and restart: scripted answers and a record
// of every call, for tests.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Prompt.h"
#include "platform/System.h"

namespace quorvel::platform::sim {

struct ShownBox {
    std::string text;
    std::string title;
    std::uint32_t style = 0;
    int answer = 0;
};

// Answers boxes from a script, in order. Each expected box names its title and the answer to
// give. A box whose title differs from the next expected one, or that comes when the script is
// used up, is unexpected: it is recorded, `onUnexpected` is called with a description, and it
// is answered with IDOK for an OK box and IDNO otherwise.
class ScriptedPrompt : public IPrompt {
  public:
    int Show(const std::string& text, CStr titleText, std::uint32_t style) override;

    ScriptedPrompt& Expect(std::string title, int answer);
    std::size_t PendingCount() const { return script_.size(); }
    const std::vector<ShownBox>& Shown() const { return shown_; }
    const std::vector<ShownBox>& Unexpected() const { return unexpected_; }
    void Clear();

    std::function<void(const std::string&)> onUnexpected;

  private:
    struct Expected {
        std::string title;
        int answer;
    };
    std::deque<Expected> script_;
    std::vector<ShownBox> shown_;
    std::vector<ShownBox> unexpected_;
};

class SimSystemInfo : public ISystemInfo {
  public:
    explicit SimSystemInfo(std::uint32_t platformId = kVerPlatformWin32Nt) : id_(platformId) {}
    std::uint32_t GetPlatformId() override { return id_; }
    void SetPlatformId(std::uint32_t id) { id_ = id; }
    bool EnumDisplaySettingsA(std::uint32_t modeNumber, DisplayMode* mode) override;
    std::string GetComputerNameA() override { return computerName; }
    std::string GetUserNameA() override { return userName; }

    std::string computerName = "ANN-PC";
    std::string userName = "Ann";
    // The display: the mode in use (none: the call fails) and the modes the driver offers.
    std::optional<DisplayMode> currentMode;
    std::vector<DisplayMode> offeredModes;

  private:
    std::uint32_t id_;
};

struct ShellCall {
    Handle owner;
    std::string operation;
    std::string file;
    int showCommand;
};

class SimShell : public IShell {
  public:
    std::intptr_t Execute(Handle owner, const std::string& operation, const std::string& file,
                          int showCommand) override;
    const std::vector<ShellCall>& Calls() const { return calls_; }
    std::intptr_t result = 42;  // > 32 means success, as ShellExecute reports it

  private:
    std::vector<ShellCall> calls_;
};

// Each step of the restart sequence can fail; the privilege can be missing (the adjustment then
// succeeds with last error 1300). Every call is recorded by name with its arguments.
class SimRestart : public IRestart {
  public:
    Handle GetCurrentProcess() override;
    bool OpenProcessToken(Handle process, std::uint32_t access, Handle* token) override;
    bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
    bool AdjustTokenPrivileges(Handle token, bool disableAll, const TokenPrivilegesOne& newState,
                               std::uint32_t bufferLength, TokenPrivilegesOne* previous,
                               std::uint32_t* returnLength, std::uint32_t* lastError) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;

    bool failOpenToken = false;
    bool failLookup = false;
    bool failAdjust = false;
    bool privilegeMissing = false;
    bool failExit = false;
    // Called when the restart is requested: what a test sees at that moment is what Windows
    // would leave behind.
    std::function<void()> onExitWindows;

    // "GetCurrentProcess()", "OpenProcessToken(process,0x28)",
    // "LookupPrivilegeValue(,SeShutdownPrivilege)", "AdjustTokenPrivileges(token,0,1,luid,2,16)",
    // "ExitWindowsEx(2,0)"
    const std::vector<std::string>& Calls() const { return calls_; }

  private:
    std::vector<std::string> calls_;
};

}  // namespace quorvel::platform::sim
