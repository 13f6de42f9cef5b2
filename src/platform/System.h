// The rest of what the program asks of Windows: the platform identifier, the shell's "open"
// and the restart sequence, each in the shape of the API call it stands for.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel::platform {

inline constexpr std::uint32_t kVerPlatformWin32s = 0;
inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;

inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x0020;
inline constexpr std::uint32_t kTokenQuery = 0x0008;
inline constexpr std::uint32_t kSePrivilegeEnabled = 0x00000002;
inline constexpr std::uint32_t kEwxReboot = 0x00000002;
inline constexpr int kSwShowNormal = 1;

using Handle = std::uintptr_t;

struct Luid {
    std::uint32_t lowPart = 0;
    std::int32_t highPart = 0;
};

// TOKEN_PRIVILEGES with room for one entry: 16 bytes on Windows.
struct TokenPrivilegesOne {
    std::uint32_t privilegeCount = 0;
    Luid luid;
    std::uint32_t attributes = 0;
};

// EnumDisplaySettingsA's mode number for the mode in use now.
inline constexpr std::uint32_t kEnumCurrentSettings = 0xFFFFFFFF;

// The fields of a DEVMODE that a display mode is told by.
struct DisplayMode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitsPerPel = 0;
    std::uint32_t frequency = 0;  // in Hz; 0 or 1 for the hardware's default
};

class ISystemInfo {
  public:
    virtual ~ISystemInfo() = default;
    // GetVersionExA with dwOSVersionInfoSize = 148; the platform identifier, 0 when the call
    // failed.
    virtual std::uint32_t GetPlatformId() = 0;
    // EnumDisplaySettingsA for the primary display: mode number 0, 1, ... walks every mode the
    // driver offers until it returns false; kEnumCurrentSettings gives the mode in use.
    virtual bool EnumDisplaySettingsA(std::uint32_t modeNumber, DisplayMode* mode) = 0;
    // GetComputerNameA and GetUserNameA: the names a log kept for many machines tells them by;
    // empty when the call failed.
    virtual std::string GetComputerNameA() = 0;
    virtual std::string GetUserNameA() = 0;
};

class IShell {
  public:
    virtual ~IShell() = default;
    // ShellExecuteA(owner, operation, file, no parameters, no directory, showCommand).
    virtual std::intptr_t Execute(Handle owner, const std::string& operation,
                                  const std::string& file, int showCommand) = 0;
};

class IRestart {
  public:
    virtual ~IRestart() = default;
    virtual Handle GetCurrentProcess() = 0;
    virtual bool OpenProcessToken(Handle process, std::uint32_t access, Handle* token) = 0;
    // Named for the ANSI function: <windows.h> turns the plain name into a macro.
    virtual bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) = 0;
    // AdjustTokenPrivileges; *lastError receives GetLastError() taken right after the call.
    virtual bool AdjustTokenPrivileges(Handle token, bool disableAll,
                                       const TokenPrivilegesOne& newState,
                                       std::uint32_t bufferLength, TokenPrivilegesOne* previous,
                                       std::uint32_t* returnLength, std::uint32_t* lastError) = 0;
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) = 0;
};

}  // namespace quorvel::platform
