// The backup made before every change: the present state of every value about to be written,
// saved in an undo file beside the program or in the user's documents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "registry/Plan.h"
#include "registry/mdlRegistry.h"

namespace quorvel::backup {

struct BackupOutcome {
    bool goOn = false;     // false: the user chose to change nothing
    std::string undoFile;  // the file written; empty when there is none
};

// Reads the present data of every value the plan writes and saves it in the undo file. A value
// that cannot be read (or whose key cannot be) is left out, named in a comment, and the user is
// asked whether to go on; so is a user whose undo file could not be written anywhere.
BackupOutcome BackUp(std::vector<registry::PlannedKey>& plan, registry::mdlRegistry& registry,
                     platform::Platform& platform);

// The folder the Open dialog starts in: the first backup folder that is there, else none.
std::string BackupFolder(platform::IFiles& files);
// Where "Restore a backup..." starts: the folder of the last undo file written, while it is
// there, else BackupFolder.
std::string RestoreFolder(registry::mdlRegistry& registry, platform::IFiles& files);
// The first backup folder that is there or can be made now; empty when none can.
std::string UsableBackupFolder(platform::IFiles& files);

// The system's text for a last-error code, without its closing line break.
std::string SystemText(platform::IRegistry& api, std::uint32_t code);

// The lines the completion box gains for an undo file, its path on a line of its own; empty for
// none.
std::string UndoFileLine(const std::string& undoFile);

}  // namespace quorvel::backup
