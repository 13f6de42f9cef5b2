// mdlShutdown: enables the shutdown privilege in the program's own token and requests a reboot.
#include <cstdint>

#include "platform/Registry.h"
#include "restart/Restart.h"

namespace quorvel::restart {

using namespace platform;

namespace {
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
// sizeof(TOKEN_PRIVILEGES) with its one entry, as Windows lays it out.
constexpr std::uint32_t kTokenPrivilegesOneSize = 16;
constexpr std::uint32_t kErrorNotAllAssignedCode = static_cast<std::uint32_t>(kErrorNotAllAssigned);

constexpr const char* kFailureTitle = "Failure";
constexpr const char* kFailureText = "Failed to shut down the system. Please try it manually.";
}  // namespace

void ReportShutdownFailure(IPrompt& prompt) {
    prompt.Show(kFailureText, kFailureTitle, kMbOk | kMbIconHand);
}

bool RebootSystem(IRestart& restart, IPrompt& prompt) {
    const Handle process = restart.GetCurrentProcess();
    Handle token = 0;
    if (!restart.OpenProcessToken(process, kTokenAdjustPrivileges | kTokenQuery, &token)) {
        ReportShutdownFailure(prompt);
        return false;
    }
    Luid luid;
    if (!restart.LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &luid)) {
        ReportShutdownFailure(prompt);
        return false;
    }
    TokenPrivilegesOne newState;
    newState.privilegeCount = 1;
    newState.luid = luid;
    newState.attributes = kSePrivilegeEnabled;
    TokenPrivilegesOne previous;
    std::uint32_t returnLength = 0;
    std::uint32_t lastError = 0;
    if (!restart.AdjustTokenPrivileges(token, false, newState, kTokenPrivilegesOneSize, &previous,
                                       &returnLength, &lastError)) {
        ReportShutdownFailure(prompt);
        return false;
    }
    // The adjustment succeeds for a token that lacks the privilege altogether; only the last
    // error tells.
    if (lastError == kErrorNotAllAssignedCode) {
        ReportShutdownFailure(prompt);
        return false;
    }
    // The token handle stays open: the program ends right after this call.
    if (!restart.ExitWindowsEx(kEwxReboot, 0)) {
        ReportShutdownFailure(prompt);
        return false;
    }
    return true;
}

}  // namespace quorvel::restart
