// Message boxes, the platform identifier, the shell's "open" and the restart calls.
#include "platform/win32/Win32Platform.h"

// Not pulled in by <windows.h> under WIN32_LEAN_AND_MEAN.
#include <shellapi.h>

namespace quorvel::platform::win32 {

namespace {

HANDLE ToHandle(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}
Handle FromHandle(HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}

// The one-entry record crosses unchanged; its layout is what the 16-byte buffer length counts.
static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "TOKEN_PRIVILEGES with one entry");

TOKEN_PRIVILEGES ToTokenPrivileges(const TokenPrivilegesOne& source) {
    TOKEN_PRIVILEGES result = {};
    result.PrivilegeCount = source.privilegeCount;
    result.Privileges[0].Luid.LowPart = source.luid.lowPart;
    result.Privileges[0].Luid.HighPart = source.luid.highPart;
    result.Privileges[0].Attributes = source.attributes;
    return result;
}

TokenPrivilegesOne FromTokenPrivileges(const TOKEN_PRIVILEGES& source) {
    TokenPrivilegesOne result;
    result.privilegeCount = source.PrivilegeCount;
    result.luid.lowPart = source.Privileges[0].Luid.LowPart;
    result.luid.highPart = source.Privileges[0].Luid.HighPart;
    result.attributes = source.Privileges[0].Attributes;
    return result;
}

}  // namespace

int Win32Prompt::Show(const std::string& text, CStr title, std::uint32_t style) {
    HWND owner = owner_ != nullptr ? owner_ : GetActiveWindow();
    // A dialog open over the owner takes the box, so that the box is modal to the dialog too.
    HWND active = GetActiveWindow();
    if (owner_ != nullptr && active != nullptr && GetWindow(active, GW_OWNER) == owner_) {
        owner = active;
    }
    return MessageBoxA(owner, text.c_str(), title.c_str(), style);
}

std::uint32_t Win32SystemInfo::GetPlatformId() {
    static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA as Windows NT 4.0 knows it");
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = 148;
    // Newer SDKs mark GetVersionExA deprecated; the platform identifier is all that is asked,
    // and it is still correct on every version.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#elif defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#endif
    const BOOL ok = GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif
    return ok ? info.dwPlatformId : 0;
}

bool Win32SystemInfo::EnumDisplaySettingsA(std::uint32_t modeNumber, DisplayMode* mode) {
    DEVMODEA devMode = {};
    devMode.dmSize = sizeof devMode;
    if (!::EnumDisplaySettingsA(nullptr, modeNumber, &devMode)) {
        return false;
    }
    *mode = {devMode.dmPelsWidth, devMode.dmPelsHeight, devMode.dmBitsPerPel,
             devMode.dmDisplayFrequency};
    return true;
}

std::string Win32SystemInfo::GetComputerNameA() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return ::GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string Win32SystemInfo::GetUserNameA() {
    char name[257] = {};  // UNLEN and its terminator
    DWORD size = sizeof name;
    // The size counts the terminator here.
    return ::GetUserNameA(name, &size) && size > 0 ? std::string(name, size - 1) : std::string();
}

std::intptr_t Win32Shell::Execute(Handle owner, const std::string& operation,
                                  const std::string& file, int showCommand) {
    static const auto shellExecute =
        LookUp<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    if (!shellExecute) {
        return 0;  // what ShellExecute returns when the system is out of resources
    }
    HINSTANCE result = shellExecute(reinterpret_cast<HWND>(owner), operation.c_str(), file.c_str(),
                                    nullptr, nullptr, showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

Handle Win32Restart::GetCurrentProcess() {
    return FromHandle(::GetCurrentProcess());
}

bool Win32Restart::OpenProcessToken(Handle process, std::uint32_t access, Handle* token) {
    HANDLE opened = nullptr;
    const BOOL ok = ::OpenProcessToken(ToHandle(process), access, &opened);
    if (token != nullptr) {
        *token = FromHandle(opened);
    }
    return ok != FALSE;
}

bool Win32Restart::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
    LUID found = {};
    const BOOL ok = ::LookupPrivilegeValueA(systemName, name, &found);
    if (ok && luid != nullptr) {
        luid->lowPart = found.LowPart;
        luid->highPart = found.HighPart;
    }
    return ok != FALSE;
}

bool Win32Restart::AdjustTokenPrivileges(Handle token, bool disableAll,
                                         const TokenPrivilegesOne& newState,
                                         std::uint32_t bufferLength, TokenPrivilegesOne* previous,
                                         std::uint32_t* returnLength, std::uint32_t* lastError) {
    TOKEN_PRIVILEGES state = ToTokenPrivileges(newState);
    TOKEN_PRIVILEGES before = {};
    DWORD length = 0;
    // The previous state can only ever hold one entry here; never claim more room than that.
    const DWORD beforeSize = bufferLength < sizeof(before) ? bufferLength : sizeof(before);
    const BOOL ok = ::AdjustTokenPrivileges(ToHandle(token), disableAll ? TRUE : FALSE, &state,
                                            beforeSize, previous != nullptr ? &before : nullptr,
                                            returnLength != nullptr ? &length : nullptr);
    // Success alone does not mean the privilege was granted: the last error tells (1300).
    const DWORD error = GetLastError();
    if (lastError != nullptr) {
        *lastError = error;
    }
    if (previous != nullptr) {
        *previous = FromTokenPrivileges(before);
    }
    if (returnLength != nullptr) {
        *returnLength = length;
    }
    return ok != FALSE;
}

bool Win32Restart::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
    return ::ExitWindowsEx(flags, reserved) != FALSE;
}

}  // namespace quorvel::platform::win32
