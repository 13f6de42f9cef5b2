// Reading the values about to be written and saving them in an undo file.
#include "backup/Backup.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "registry/DriverKeys.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::backup {

using registry::kRootName;
using text::Concat;
using text::kCrLf;

namespace {

// Undo files made in the same second get a number: Quorvel-undo-...-2.reg and so on.
constexpr int kSameSecondFiles = 9;

std::string Parent(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> Folders(platform::IFiles& files) {
    std::vector<std::string> folders;
    const std::string program = Parent(files.GetModuleFileNameA());
    if (!program.empty()) {
        folders.push_back(program + "\\" + kFolderBesideProgram);
    }
    std::string documents = files.GetFolderPath(platform::KnownFolder::MyDocuments);
    if (documents.empty()) {
        documents = files.GetFolderPath(platform::KnownFolder::Profile);
    }
    if (!documents.empty()) {
        folders.push_back(documents + "\\" + kFolderInDocuments);
    }
    return folders;
}

namespace {

// Going on without a whole backup risks the way back: Enter alone answers No.
bool Ask(platform::IPrompt& prompt, const std::string& text) {
    return prompt.Show(text, kBackupTitle,
                       platform::kMbYesNo | platform::kMbIconExclamation |
                           platform::kMbDefButton2) == platform::kIdYes;
}

}  // namespace

std::string SystemText(platform::IRegistry& api, std::uint32_t code) {
    char buffer[512] = {};
    std::uint32_t formatError = 0;
    const std::uint32_t count = api.FormatSystemMessage(code, buffer, sizeof buffer, &formatError);
    std::string text(buffer, count < sizeof buffer ? count : sizeof buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? Concat({kSystemError, text::Decimal(code), "."}) : text;
}

BackupOutcome BackUp(std::vector<registry::PlannedKey>& plan, registry::mdlRegistry& registry,
                     platform::Platform& platform, std::vector<registry::PlannedKey> quietKeys) {
    registry::ReadPresentData(plan, registry);
    // Value by value: a key that is not there holds none of them.
    platform::QuietPrompt quiet;
    registry::mdlRegistry quietRegistry(platform.registry, quiet);
    for (registry::PlannedKey& key : quietKeys) {
        for (registry::PlannedValue& value : key.values) {
            registry::ValueData data;
            const registry::ReadResult read = quietRegistry.ReadValue(
                platform::kHkeyLocalMachine, key.keyPath, value.name, &data);
            value.unread = read == registry::ReadResult::Failed;
            if (read == registry::ReadResult::Found) {
                value.present = std::move(data);
            }
        }
    }
    std::vector<SavedValue> saved;
    std::vector<std::string> unread;  // of the plan: the user is asked about these
    std::vector<std::string> notSaved;
    for (const auto* keys : {&plan, &quietKeys}) {
        for (const registry::PlannedKey& key : *keys) {
            // A key name that breaks the line would break the file: such a key is not saved.
            const bool writable = key.keyPath.find_first_of("\r\n") == std::string::npos;
            for (const registry::PlannedValue& value : key.values) {
                if (value.unread || !writable) {
                    // Not "=-": importing the file must leave such a value alone. The comment
                    // takes no control character, which the reader would refuse.
                    std::string path = Concat({kRootName, "\\", key.keyPath, "\\", value.name});
                    std::replace_if(
                        path.begin(), path.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; },
                        '?');
                    (keys == &plan ? unread : notSaved).push_back(path);
                } else {
                    saved.push_back({key.keyPath, value.name, value.present});
                }
            }
        }
    }
    notSaved.insert(notSaved.begin(), unread.begin(), unread.end());
    if (saved.empty() && unread.empty()) {
        return {true, {}};  // nothing will be changed
    }

    const platform::SystemTime now = platform.files.GetLocalTime();
    const std::string stamp = Concat({text::Joined(now.year, now.month, now.day, ""), "-",
                                      text::Joined(now.hour, now.minute, now.second, "")});
    std::vector<std::string> comments = {Concat({kMadeOn, text::DateAndTime(now), "."})};
    comments.insert(comments.end(), std::begin(kCommentLines), std::end(kCommentLines));
    for (const std::string& value : notSaved) {
        comments.push_back(Concat({kNotSaved, value}));
    }
    const std::string text = FormatUndoFile(comments, saved);

    const FolderWrite written = WriteInBackupFolder(platform, kFilePrefix + stamp, kFileExtension,
                                                    text, platform::WriteMode::New);
    if (written.path.empty()) {
        return {Ask(platform.prompt, Concat({kNotWrittenIntro, written.failures, kCrLf, kCrLf,
                                             kNotWrittenQuestion})),
                {}};
    }
    // Where "Restore a backup..." will look first: a convenience, so it never shows a box.
    registry::mdlRegistry(platform.registry, quiet)
        .SetStringValue(platform::kHkeyLocalMachine, registry::kOwnKey,
                        registry::kLastUndoFolderValue, Parent(written.path));
    const bool goOn =
        unread.empty() ||
        Ask(platform.prompt,
            Concat({text::Decimal(unread.size()), kIncompleteIntro,
                    text::OneOrMany(unread.size(), kIncompleteIntroOne, kIncompleteIntroMany),
                    kCrLf, written.path, kCrLf, kCrLf, kIncompleteQuestion}));
    return {goOn, written.path};
}

FolderWrite WriteInBackupFolder(platform::Platform& platform, const std::string& stem,
                                const char* extension, const std::string& text,
                                platform::WriteMode mode) {
    FolderWrite result;
    for (const std::string& folder : Folders(platform.files)) {
        std::uint32_t error = platform.files.CreateDirectoryA(folder);
        std::string path = folder;
        if (error == 0 || error == platform::kErrorAlreadyExists) {
            for (int n = 1; n <= kSameSecondFiles; ++n) {
                const std::string number = n > 1 ? "-" + text::Decimal(n) : std::string();
                path = Concat({folder, "\\", stem, number, extension});
                error = platform.files.WriteToFile(path, text, mode);
                if (error != platform::kErrorFileExists) {
                    break;
                }
            }
        }
        if (error == 0) {
            result.path = path;
            return result;
        }
        result.failures +=
            Concat({kCrLf, kCrLf, path, kCrLf, SystemText(platform.registry, error)});
    }
    if (result.failures.empty()) {
        result.failures = Concat({kCrLf, kCrLf, kNoFolderKnown});
    }
    return result;
}

std::string BackupFolder(platform::IFiles& files) {
    for (const std::string& folder : Folders(files)) {
        const std::uint32_t attributes = files.GetFileAttributesA(folder);
        if (attributes != platform::kInvalidFileAttributes &&
            (attributes & platform::kFileAttributeDirectory) != 0) {
            return folder;
        }
    }
    return {};
}

std::string RestoreFolder(registry::mdlRegistry& registry, platform::IFiles& files) {
    registry::ValueData last;
    if (registry.ReadValue(platform::kHkeyLocalMachine, registry::kOwnKey,
                           registry::kLastUndoFolderValue, &last) == registry::ReadResult::Found &&
        last.type == platform::kRegSz) {
        const std::string folder(last.data.begin(),
                                 std::find(last.data.begin(), last.data.end(), 0));
        const std::uint32_t attributes = files.GetFileAttributesA(folder);
        if (attributes != platform::kInvalidFileAttributes &&
            (attributes & platform::kFileAttributeDirectory) != 0) {
            return folder;
        }
    }
    return BackupFolder(files);
}

std::string UndoFileLine(const std::string& undoFile) {
    return undoFile.empty() ? std::string() : Concat({kUndoFileLine, kCrLf, undoFile});
}

}  // namespace quorvel::backup
