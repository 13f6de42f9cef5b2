// Restoring an undo file: read and check it, confirm, back up the present state, write every
// value back, and offer the restart.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "registry/mdlRegistry.h"

namespace quorvel::backup {

enum class RestoreResult {
    Done,       // every value was written or removed
    Failed,     // the file was refused or unreadable, or a value could not be written
    Cancelled,  // the user said No
};

struct RestoreOutcome {
    RestoreResult result = RestoreResult::Cancelled;
    bool programEnds = false;  // a restart was requested
};

RestoreOutcome RestoreBackup(const std::string& path, registry::mdlRegistry& registry,
                             platform::Platform& platform);

// The command line's exit code: 0 when everything was written.
int ExitCode(RestoreResult result);

}  // namespace quorvel::backup
