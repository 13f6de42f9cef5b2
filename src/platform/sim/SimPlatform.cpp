// Scripted message boxes, the simulated shell and the simulated restart sequence.
#include "platform/sim/SimPlatform.h"

#include <cstdio>
#include <cstring>

namespace quorvel::platform::sim {

namespace {

// What GetCurrentProcess returns on Windows: the pseudo handle -1.
constexpr Handle kProcessPseudoHandle = ~Handle{0};
constexpr Handle kTokenHandle = 0x100;
constexpr Luid kShutdownLuid{0x13, 0};
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorNotAllAssigned = 1300;
constexpr std::uint32_t kTokenPrivilegesOneSize = 16;
constexpr std::uint32_t kTokenPrivilegesEmptySize = 4;

std::string Hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

// The handles and LUID the simulation hands out appear by name, anything else by value, so a
// wrong argument shows in the record.
std::string HandleText(Handle handle) {
    if (handle == kProcessPseudoHandle) {
        return "process";
    }
    if (handle == kTokenHandle) {
        return "token";
    }
    return Hex(handle);
}

std::string LuidText(const Luid& luid) {
    if (luid.lowPart == kShutdownLuid.lowPart && luid.highPart == kShutdownLuid.highPart) {
        return "luid";
    }
    return "luid(" + Hex(luid.lowPart) + "," + std::to_string(luid.highPart) + ")";
}

}  // namespace

int ScriptedPrompt::Show(const std::string& text, CStr titleText, std::uint32_t style) {
    const std::string title = titleText.c_str();
    ShownBox box{text, title, style, 0};
    if (!script_.empty() && script_.front().title == title) {
        box.answer = script_.front().answer;
        script_.pop_front();
        shown_.push_back(box);
        return box.answer;
    }
    // The low four bits of the style choose the buttons; MB_OK is 0.
    box.answer = (style & 0x0F) == kMbOk ? kIdOk : kIdNo;
    shown_.push_back(box);
    unexpected_.push_back(box);
    if (onUnexpected) {
        std::string what = "unexpected message box \"" + title + "\" with text \"" + text +
                           "\" and style " + Hex(style);
        what += script_.empty() ? std::string(": no box was expected")
                                : ": expected \"" + script_.front().title + "\"";
        onUnexpected(what);
    }
    return box.answer;
}

ScriptedPrompt& ScriptedPrompt::Expect(std::string title, int answer) {
    script_.push_back(Expected{std::move(title), answer});
    return *this;
}

void ScriptedPrompt::Clear() {
    script_.clear();
    shown_.clear();
    unexpected_.clear();
}

bool SimSystemInfo::EnumDisplaySettingsA(std::uint32_t modeNumber, DisplayMode* mode) {
    if (modeNumber == kEnumCurrentSettings) {
        if (currentMode) {
            *mode = *currentMode;
        }
        return currentMode.has_value();
    }
    if (modeNumber >= offeredModes.size()) {
        return false;
    }
    *mode = offeredModes[modeNumber];
    return true;
}

std::intptr_t SimShell::Execute(Handle owner, const std::string& operation, const std::string& file,
                                int showCommand) {
    calls_.push_back(ShellCall{owner, operation, file, showCommand});
    return result;
}

Handle SimRestart::GetCurrentProcess() {
    calls_.push_back("GetCurrentProcess()");
    return kProcessPseudoHandle;
}

bool SimRestart::OpenProcessToken(Handle process, std::uint32_t access, Handle* token) {
    calls_.push_back("OpenProcessToken(" + HandleText(process) + "," + Hex(access) + ")");
    if (failOpenToken || token == nullptr || process != kProcessPseudoHandle) {
        return false;
    }
    *token = kTokenHandle;
    return true;
}

bool SimRestart::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
    calls_.push_back(std::string("LookupPrivilegeValue(") + (systemName ? systemName : "") + "," +
                     (name ? name : "") + ")");
    if (failLookup || name == nullptr || luid == nullptr ||
        std::strcmp(name, kShutdownPrivilege) != 0) {
        return false;
    }
    *luid = kShutdownLuid;
    return true;
}

bool SimRestart::AdjustTokenPrivileges(Handle token, bool disableAll,
                                       const TokenPrivilegesOne& newState,
                                       std::uint32_t bufferLength, TokenPrivilegesOne* previous,
                                       std::uint32_t* returnLength, std::uint32_t* lastError) {
    calls_.push_back("AdjustTokenPrivileges(" + HandleText(token) + "," + (disableAll ? "1" : "0") +
                     "," + std::to_string(newState.privilegeCount) + "," + LuidText(newState.luid) +
                     "," + std::to_string(newState.attributes) + "," +
                     std::to_string(bufferLength) + ")");
    std::uint32_t error = 0;
    bool ok = true;
    if (failAdjust) {
        ok = false;
        error = kErrorAccessDenied;
    } else if (token != kTokenHandle) {
        ok = false;
        error = kErrorInvalidHandle;
    } else if (previous != nullptr && bufferLength < kTokenPrivilegesOneSize) {
        ok = false;
        error = kErrorInsufficientBuffer;
        if (returnLength != nullptr) {
            *returnLength = kTokenPrivilegesOneSize;
        }
    } else {
        // The previous state lists what changed: the privilege, formerly disabled, or nothing
        // when the token does not hold it.
        if (previous != nullptr) {
            *previous = TokenPrivilegesOne{};
            if (!privilegeMissing) {
                previous->privilegeCount = 1;
                previous->luid = newState.luid;
            }
        }
        if (returnLength != nullptr) {
            *returnLength = privilegeMissing ? kTokenPrivilegesEmptySize : kTokenPrivilegesOneSize;
        }
        error = privilegeMissing ? kErrorNotAllAssigned : 0;
    }
    if (lastError != nullptr) {
        *lastError = error;
    }
    return ok;
}

bool SimRestart::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
    calls_.push_back("ExitWindowsEx(" + std::to_string(flags) + "," + std::to_string(reserved) +
                     ")");
    if (onExitWindows) {
        onExitWindows();
    }
    return !failExit;
}

}  // namespace quorvel::platform::sim
