// Reading the values about to be written and saving them in an undo file.
#include "backup/Backup.h"

#include <cstdint>
#include <utility>

#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "registry/DriverKeys.h"
#include "text/Concat.h"
#include "text/CrLf.h"

namespace quorvel::backup {

using platform::kHkeyLocalMachine;
using registry::kRootName;
using text::Concat;
using text::kCrLf;

namespace {

// Undo files made in the same second get a number: Quorvel-undo-...-2.reg and so on.
constexpr int kSameSecondFiles = 9;

std::string TwoDigits(unsigned value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string Parent(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The backup folders in the order they are tried.
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

bool Ask(platform::IPrompt& prompt, const std::string& text) {
    return prompt.Show(text, kBackupTitle, platform::kMbYesNo | platform::kMbIconExclamation) ==
           platform::kIdYes;
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
    return text.empty() ? Concat({kSystemError, std::to_string(code), "."}) : text;
}

std::vector<KeyValues> InstallationTargets(registry::mdlRegistry& registry) {
    std::vector<std::string> names(registry::kModesDeltaValues.begin(),
                                   registry::kModesDeltaValues.end());
    names.push_back(registry::kUseCompressedModeFormat);
    std::vector<KeyValues> targets;
    registry::ForEachDisplayKey(registry, [&](const std::string& path) {
        targets.push_back({path, names});
    });
    targets.push_back({registry::kServiceKey, names});
    return targets;
}

BackupOutcome BackUp(const std::vector<KeyValues>& targets, registry::mdlRegistry& registry,
                     platform::Platform& platform) {
    std::vector<SavedValue> saved;
    std::vector<std::string> unread;
    for (const KeyValues& target : targets) {
        if (!registry.KeyExists(kHkeyLocalMachine, target.keyPath)) {
            continue;
        }
        for (const std::string& name : target.names) {
            registry::ValueData data;
            switch (registry.ReadValue(kHkeyLocalMachine, target.keyPath, name, &data)) {
                case registry::ReadResult::Found:
                    saved.push_back({target.keyPath, name, std::move(data)});
                    break;
                case registry::ReadResult::Missing:
                    saved.push_back({target.keyPath, name, std::nullopt});
                    break;
                case registry::ReadResult::Failed:
                    // Not "=-": importing the file must leave such a value alone.
                    unread.push_back(Concat({kRootName, "\\", target.keyPath, "\\", name}));
                    break;
            }
        }
    }
    if (saved.empty() && unread.empty()) {
        return {true, {}};  // none of the keys is there: nothing will be changed
    }

    const platform::SystemTime now = platform.files.GetLocalTime();
    const std::string year = std::to_string(now.year);
    const std::string month = TwoDigits(now.month);
    const std::string day = TwoDigits(now.day);
    const std::string hour = TwoDigits(now.hour);
    const std::string minute = TwoDigits(now.minute);
    const std::string second = TwoDigits(now.second);
    std::vector<std::string> comments = {
        Concat({kMadeOn, year, "-", month, "-", day, " at ", hour, ":", minute, ":", second, "."})};
    comments.insert(comments.end(), std::begin(kCommentLines), std::end(kCommentLines));
    for (const std::string& value : unread) {
        comments.push_back(Concat({kNotSaved, value}));
    }
    const std::string text = FormatUndoFile(comments, saved);

    std::string failures;
    for (const std::string& folder : Folders(platform.files)) {
        std::uint32_t error = platform.files.CreateDirectoryA(folder);
        std::string path = folder;
        if (error == 0 || error == platform::kErrorAlreadyExists) {
            for (int n = 1; n <= kSameSecondFiles; ++n) {
                const std::string number = n > 1 ? "-" + std::to_string(n) : std::string();
                path = Concat({folder, "\\", kFilePrefix, year, month, day, "-", hour, minute,
                               second, number, kFileExtension});
                error = platform.files.WriteNewFile(path, text);
                if (error != platform::kErrorFileExists) {
                    break;
                }
            }
        }
        if (error == 0) {
            const bool goOn =
                unread.empty() ||
                Ask(platform.prompt, Concat({std::to_string(unread.size()), kIncompleteIntro, kCrLf,
                                             path, kCrLf, kCrLf, kIncompleteQuestion}));
            return {goOn, path};
        }
        failures += Concat({kCrLf, kCrLf, path, kCrLf, SystemText(platform.registry, error)});
    }
    return {Ask(platform.prompt,
                Concat({kNotWrittenIntro, failures, kCrLf, kCrLf, kNotWrittenQuestion})),
            {}};
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

std::string UndoFileLine(const std::string& undoFile) {
    return undoFile.empty() ? std::string() : Concat({kUndoFileLine, kCrLf, undoFile});
}

}  // namespace quorvel::backup
