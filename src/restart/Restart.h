// Restarting Windows after a change: the completion box that offers it, and mdlShutdown's reboot.
#pragma once

#include <string>

#include "platform/Prompt.h"
#include "platform/System.h"

namespace quorvel::restart {

inline constexpr const char* kCompletionTitle = "Completion";

// The completion box, with `extraLine` after its text when there is one; on Yes, the restart.
// True when the program is to end: a restart was asked for, even one that could not be made.
bool OfferRestart(platform::IPrompt& prompt, platform::IRestart& restart,
                  const std::string& extraLine);

// mdlShutdown: enables the shutdown privilege and requests a reboot; reports a failure in one box.
// Returns true when the reboot request was made.
bool RebootSystem(platform::IRestart& restart, platform::IPrompt& prompt);
void ReportShutdownFailure(platform::IPrompt& prompt);

}  // namespace quorvel::restart
