// Unattended runs for logon scripts and scheduled tasks: "/apply" takes the same steps as the
// window's Apply (plan, backup, write), with no window and no box. The switches answer the
// questions; every box a step would show goes into the log instead, answered as a careful user
// would (OK, or No to a question).
#pragma once

#include "app/CommandLine.h"
#include "platform/Platform.h"

namespace quorvel::app {

inline constexpr int kExitApplied = 0;     // every value was written
inline constexpr int kExitRefused = 1;     // nothing was written
inline constexpr int kExitSomeFailed = 3;  // some values could not be written

// Runs "/apply" and appends what happened to its log; returns the exit code.
int RunApply(const CommandLine& command, platform::Platform& platform);

}  // namespace quorvel::app
