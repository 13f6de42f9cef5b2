// Unattended runs for logon scripts and scheduled tasks: "/apply" takes the same steps as the
// window's Apply (plan, backup, write), with no window and no box. The switches answer the
// questions; every box a step would show goes into the log instead, answered as a careful user
// would (OK, or No to a question).
#pragma once

#include "app/CommandLine.h"
#include "app/frmConfirm.h"
#include "platform/Platform.h"

namespace quorvel::app {

inline constexpr int kExitApplied = 0;     // every value was written
inline constexpr int kExitRefused = 1;     // nothing was written
inline constexpr int kExitSomeFailed = 3;  // some values could not be written

// Runs "/apply" and appends what happened to its log; returns the exit code.
int RunApply(const CommandLine& command, platform::Platform& platform);

// Runs "/confirm FILE", the check after the restart, and appends what happened to the log: after
// a logoff that was no restart it waits for the next start; otherwise `view` asks (none: nobody
// answers). Keep ends the check; Undo or no answer restores FILE as "/restore" would, answering
// its questions Yes, and restarts Windows when something was written back. Exit code 0 when the
// rates were kept or every value was put back, 1 otherwise.
int RunConfirm(const CommandLine& command, platform::Platform& platform, IConfirmView* view);

}  // namespace quorvel::app
