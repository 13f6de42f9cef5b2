// The real platform services: thin forwards to advapi32, kernel32, user32, shell32 and comdlg32.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Files.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace quorvel::platform::win32 {

// A function of a DLL the program needs only now and then (shell32, comdlg32), looked up on first
// use: imported, the DLL and the ones it pulls in would be loaded at every start, which under
// Wine then takes half as long again. `Fn` is the function's pointer type; nullptr when the
// function cannot be found.
template <typename Fn>
Fn LookUp(const char* dll, const char* name) {
    HMODULE module = LoadLibraryA(dll);
    // Through void(*)(): GetProcAddress's FARPROC has another signature.
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

// Predefined roots carry their Windows values, so a handle converts by a plain cast.
inline HKEY ToHkey(HKey key) {
    return reinterpret_cast<HKEY>(key);
}
inline HKey FromHkey(HKEY key) {
    return reinterpret_cast<HKey>(key);
}

class Win32Registry : public IRegistry {
  public:
    long OpenKeyEx(HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                   HKey* result) override;
    long CreateKeyEx(HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                     HKey* result, std::uint32_t* disposition) override;
    long EnumKeyEx(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                   char* className, std::uint32_t* classSize, FileTime* lastWriteTime) override;
    long QueryValueEx(HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                      std::uint32_t* dataSize) override;
    long DeleteValue(HKey key, const char* valueName) override;
    long SetValueEx(HKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize) override;
    long CloseKey(HKey key) override;
    std::uint32_t FormatSystemMessage(std::uint32_t messageId, char* buffer, std::uint32_t size,
                                      std::uint32_t* lastError) override;
};

// Boxes are owned by the window set with SetOwner (or by a dialog it owns while that is
// active), or else by this thread's active window.
class Win32Prompt : public IPrompt {
  public:
    int Show(const std::string& text, CStr title, std::uint32_t style) override;
    void SetOwner(HWND owner) { owner_ = owner; }

  private:
    HWND owner_ = nullptr;
};

class Win32SystemInfo : public ISystemInfo {
  public:
    std::uint32_t GetPlatformId() override;
    bool EnumDisplaySettingsA(std::uint32_t modeNumber, DisplayMode* mode) override;
    std::string GetComputerNameA() override;
    std::string GetUserNameA() override;
};

class Win32Shell : public IShell {
  public:
    std::intptr_t Execute(Handle owner, const std::string& operation, const std::string& file,
                          int showCommand) override;
};

class Win32Restart : public IRestart {
  public:
    Handle GetCurrentProcess() override;
    bool OpenProcessToken(Handle process, std::uint32_t access, Handle* token) override;
    bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
    bool AdjustTokenPrivileges(Handle token, bool disableAll, const TokenPrivilegesOne& newState,
                               std::uint32_t bufferLength, TokenPrivilegesOne* previous,
                               std::uint32_t* returnLength, std::uint32_t* lastError) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
};

// The Open dialog is owned by the window set with SetOwner, or else by this thread's active window.
class Win32Files : public IFiles {
  public:
    std::string GetModuleFileNameA() override;
    SystemTime GetLocalTime() override;
    std::string GetFolderPath(KnownFolder folder) override;
    std::uint32_t CreateDirectoryA(const std::string& path) override;
    std::uint32_t GetFileAttributesA(const std::string& path) override;
    std::uint32_t WriteToFile(const std::string& path, const std::string& bytes,
                              WriteMode mode) override;
    std::uint32_t ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                std::string* bytes) override;
    void WriteToStandardError(const std::string& text) override;
    std::string GetWindowsDirectoryA() override;
    std::uint32_t CreateAdminOnlyFolder(const std::string& path) override;
    std::uint32_t CopyFileA(const std::string& from, const std::string& to) override;
    std::string GetOpenFileNameA(const std::string& title, const std::string& filterName,
                                 const std::string& pattern,
                                 const std::string& initialDir) override;
    std::string GetSaveFileNameA(const std::string& title, const std::string& filterName,
                                 const std::string& pattern, const std::string& initialDir,
                                 const std::string& fileName) override;
    void SetOwner(HWND owner) { owner_ = owner; }

  private:
    HWND owner_ = nullptr;
};

}  // namespace quorvel::platform::win32
