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
// asked whether to go on; so is a user whose undo file could not be written anywhere. The values
// of `quietKeys` are saved too, but read without a box and left out without a question.
BackupOutcome BackUp(std::vector<registry::PlannedKey>& plan, registry::mdlRegistry& registry,
                     platform::Platform& platform,
                     std::vector<registry::PlannedKey> quietKeys = {});

// The backup folders in the order they are tried: beside the program, then in My Documents (or
// the profile folder).
std::vector<std::string> Folders(platform::IFiles& files);

// Writes `text` as stem + extension into the first backup folder that takes it, made if need be;
// where a file of that name is there already (and `mode` makes only new files), as stem-2 and so
// on. `path` is the file written, or empty with each folder's path and the system's reason in
// `failures`, as the boxes list them.
struct FolderWrite {
    std::string path;
    std::string failures;
};
FolderWrite WriteInBackupFolder(platform::Platform& platform, const std::string& stem,
                                const char* extension, const std::string& text,
                                platform::WriteMode mode);

// The folder the Open dialog starts in: the first backup folder that is there, else none.
std::string BackupFolder(platform::IFiles& files);
// Where "Restore a backup..." starts: the folder of the last undo file written, while it is
// there, else BackupFolder.
std::string RestoreFolder(registry::mdlRegistry& registry, platform::IFiles& files);

// The system's text for a last-error code, without its closing line break.
std::string SystemText(platform::IRegistry& api, std::uint32_t code);

// The lines the completion box gains for an undo file, its path on a line of its own; empty for
// none.
std::string UndoFileLine(const std::string& undoFile);

}  // namespace quorvel::backup
