// Arming the check after the restart, and the marks it leaves under the program's own key.
#include "confirm/Confirm.h"

#include <algorithm>

#include "backup/Backup.h"
#include "registry/DriverKeys.h"
#include "text/Concat.h"
#include "text/Text.h"

namespace quorvel::confirm {

using platform::kHkeyLocalMachine;
using registry::kOwnKey;
using text::Concat;

namespace {

constexpr const char* kNoUndoFile = "there is no undo file to put the old rates back with.";

// The registry as the check uses it: a convenience, so never a box; the texts of its failures
// are kept.
struct Quiet {
    explicit Quiet(platform::IRegistry& api) : registry(api, prompt) {}
    platform::QuietPrompt prompt;
    registry::mdlRegistry registry;
};

std::string FileName(const std::string& path) {
    return path.substr(path.rfind('\\') + 1);
}

std::string Command(const std::string& folder, const std::string& undoFile) {
    return Concat({"\"", folder, "\\", kProgramName, "\" /confirm \"", undoFile, "\""});
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The RunOnce entry: the program beside the undo file, both in the administrators' folder.
bool WriteEntry(registry::mdlRegistry& registry, const std::string& undoFile) {
    return registry.SetStringValue(kHkeyLocalMachine, kRunOnceKey, kRunOnceValue,
                                   Command(FolderOf(undoFile), undoFile));
}

}  // namespace

bool Wanted(platform::IRegistry& api) {
    Quiet q(api);
    registry::ValueData value;
    return q.registry.ReadValue(kHkeyLocalMachine, kOwnKey, kWantedValue, &value) !=
               registry::ReadResult::Found ||
           registry::DwordOf(value) != 0u;
}

void SetWanted(platform::IRegistry& api, bool wanted) {
    Quiet q(api);
    q.registry.CreateKey(kHkeyLocalMachine, kOwnKey);
    q.registry.SetDwordValue(kHkeyLocalMachine, kOwnKey, kWantedValue, wanted ? 1 : 0);
}

Armed Arm(platform::Platform& platform, const std::string& undoFile) {
    Quiet q(platform.registry);
    platform::IFiles& files = platform.files;
    std::string pending = Pending(platform.registry);
    const std::string folder = Concat({files.GetWindowsDirectoryA(), "\\", kFolderName});
    const std::string program = Concat({folder, "\\", kProgramName});
    const std::string running = files.GetModuleFileNameA();
    std::string why;
    std::uint32_t error = files.CreateAdminOnlyFolder(folder);
    if (error == 0 && !text::SameNoCase(running, program)) {
        error = files.CopyFileA(running, program);
    }
    if (error == 0 && pending.empty()) {
        if (undoFile.empty()) {
            why = kNoUndoFile;
        } else {
            pending = Concat({folder, "\\", FileName(undoFile)});
            error = files.CopyFileA(undoFile, pending);
        }
    }
    if (error != 0) {
        why = backup::SystemText(platform.registry, error);
    }
    // The entry goes last: it is what starts the check.
    if (why.empty()) {
        q.registry.CreateKey(kHkeyLocalMachine, kOwnKey);
        platform::HKey key = 0;
        std::uint32_t disposition = 0;
        const long status = platform.registry.CreateKeyEx(
            kHkeyLocalMachine, kSinceChangeKey, platform::kRegOptionVolatile,
            platform::kKeyCreateSubKey, &key, &disposition);
        if (status != platform::kErrorSuccess) {
            why = backup::SystemText(platform.registry, static_cast<std::uint32_t>(status));
        } else {
            platform.registry.CloseKey(key);
            q.registry.CreateKey(kHkeyLocalMachine, kRunOnceKey);
            if (!q.registry.SetStringValue(kHkeyLocalMachine, kOwnKey, kPendingValue, pending) ||
                !WriteEntry(q.registry, pending)) {
                // The registry's own words, without the box's opening.
                const std::string& box = q.prompt.texts.back();
                why = box.substr(box.find(": ") + 2);
                Clear(platform.registry);
            }
        }
    }
    if (!why.empty()) {
        return {false, Concat({kNotArmedLine, why})};
    }
    return {true, kArmedLine};
}

std::string Pending(platform::IRegistry& api) {
    Quiet q(api);
    registry::ValueData value;
    if (q.registry.ReadValue(kHkeyLocalMachine, kOwnKey, kPendingValue, &value) !=
            registry::ReadResult::Found ||
        value.type != platform::kRegSz) {
        return {};
    }
    return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
}

bool Restarted(platform::IRegistry& api) {
    Quiet q(api);
    return !q.registry.KeyExists(kHkeyLocalMachine, kSinceChangeKey);
}

bool ArmAgain(platform::IRegistry& api, const std::string& undoFile) {
    Quiet q(api);
    return WriteEntry(q.registry, undoFile);
}

void Clear(platform::IRegistry& api) {
    Quiet q(api);
    q.registry.DeleteValue(kHkeyLocalMachine, kOwnKey, kPendingValue);
}

void SetFailed(platform::IRegistry& api, const std::string& text) {
    Quiet q(api);
    q.registry.SetStringValue(kHkeyLocalMachine, kOwnKey, kFailedValue, text);
}

void ClearFailed(platform::IRegistry& api) {
    Quiet q(api);
    q.registry.DeleteValue(kHkeyLocalMachine, kOwnKey, kFailedValue);
}

std::string Failed(platform::IRegistry& api) {
    Quiet q(api);
    if (!q.registry.ValueExists(kHkeyLocalMachine, kOwnKey, kFailedValue)) {
        return {};
    }
    return q.registry.GetStringValue(kHkeyLocalMachine, kOwnKey, kFailedValue);
}

}  // namespace quorvel::confirm
