// The backup made before every change: the present state of every value about to be written,
// saved in an undo file beside the program or in the user's documents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "registry/mdlRegistry.h"

namespace quorvel::backup {

// Values of one key that are about to be written.
struct KeyValues {
    std::string keyPath;  // below HKEY_LOCAL_MACHINE
    std::vector<std::string> names;
};

// What an installation writes: the 26 mode-table values and the format switch of every NVIDIA
// display key and of the service key.
std::vector<KeyValues> InstallationTargets(registry::mdlRegistry& registry);

struct BackupOutcome {
    bool goOn = false;     // false: the user chose to change nothing
    std::string undoFile;  // the file written; empty when there is none
};

// Reads the targets and writes the undo file. A key that is not there is left out: nothing can
// be written into it. A value that cannot be read is left out too, named in a comment, and the
// user is asked whether to go on; so is a user whose undo file could not be written anywhere.
BackupOutcome BackUp(const std::vector<KeyValues>& targets, registry::mdlRegistry& registry,
                     platform::Platform& platform);

// The folder the Open dialog starts in: the first backup folder that is there, else none.
std::string BackupFolder(platform::IFiles& files);

// The system's text for a last-error code, without its closing line break.
std::string SystemText(platform::IRegistry& api, std::uint32_t code);

// The lines the completion box gains for an undo file, its path on a line of its own; empty for
// none.
std::string UndoFileLine(const std::string& undoFile);

}  // namespace quorvel::backup
