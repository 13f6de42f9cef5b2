// The restore sequence.
#include "backup/Restore.h"

#include <algorithm>

#include "backup/Backup.h"
#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "registry/DriverKeys.h"
#include "restart/Restart.h"
#include "text/Concat.h"
#include "text/CrLf.h"

namespace quorvel::backup {

using platform::kHkeyLocalMachine;
using registry::kRootName;
using text::Concat;
using text::kCrLf;

namespace {

// Far more than the largest undo file: the tables of a dozen adapters.
constexpr std::size_t kMaxFileSize = 1024 * 1024;

// The file's values as a plan: each key once, in the order the file first names it.
std::vector<registry::PlannedKey> GroupByKey(const std::vector<SavedValue>& values) {
    std::vector<registry::PlannedKey> keys;
    for (const SavedValue& value : values) {
        auto key = std::find_if(keys.begin(), keys.end(), [&](const registry::PlannedKey& k) {
            return k.keyPath == value.keyPath;
        });
        if (key == keys.end()) {
            key = keys.insert(keys.end(), registry::PlannedKey{value.keyPath, {}});
        }
        key->values.push_back({value.name, value.data, std::nullopt});
    }
    return keys;
}

void ShowFailure(platform::IPrompt& prompt, const std::string& text) {
    prompt.Show(text, kRestoreTitle, platform::kMbOk | platform::kMbIconHand);
}

}  // namespace

RestoreOutcome RestoreBackup(const std::string& path, registry::mdlRegistry& registry,
                             platform::Platform& platform) {
    std::string text;
    const std::uint32_t error = platform.files.ReadWholeFile(path, kMaxFileSize, &text);
    if (error != 0) {
        ShowFailure(platform.prompt, Concat({kReadFailed, kCrLf, path, kCrLf, kCrLf,
                                             SystemText(platform.registry, error)}));
        return {RestoreResult::Failed, false};
    }
    const ParsedUndoFile parsed = ParseUndoFile(text);
    if (parsed.refusal) {
        const Refusal& r = *parsed.refusal;
        ShowFailure(platform.prompt,
                    Concat({kRefusedIntro, kCrLf, path, kCrLf, kCrLf, kRefusedLine,
                            std::to_string(r.line), kRefusedLineEnd, kCrLf, r.text, kCrLf, kCrLf,
                            r.reason, kCrLf, kCrLf, kNothingChanged}));
        return {RestoreResult::Failed, false};
    }

    std::vector<registry::PlannedKey> keys = GroupByKey(parsed.values);
    std::string confirmation = Concat({kConfirmIntro, kCrLf, path, kCrLf, kCrLf,
                                       std::to_string(parsed.values.size()), kConfirmCount});
    for (const registry::PlannedKey& key : keys) {
        confirmation += Concat({kCrLf, kRootName, "\\", key.keyPath});
    }
    confirmation += Concat({kCrLf, kCrLf, kConfirmBackupNote});
    if (platform.prompt.Show(confirmation, kRestoreTitle,
                             platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
        return {RestoreResult::Cancelled, false};
    }

    const BackupOutcome backup = BackUp(keys, registry, platform);
    if (!backup.goOn) {
        return {RestoreResult::Cancelled, false};
    }
    bool allWritten = true;
    for (const SavedValue& value : parsed.values) {
        allWritten &=
            value.data
                ? registry.WriteValue(kHkeyLocalMachine, value.keyPath, value.name, *value.data)
                : registry.DeleteValue(kHkeyLocalMachine, value.keyPath, value.name);
    }
    const RestoreResult result = allWritten ? RestoreResult::Done : RestoreResult::Failed;
    return {result, restart::OfferRestart(platform.prompt, platform.restart,
                                          UndoFileLine(backup.undoFile))};
}

int ExitCode(RestoreResult result) {
    switch (result) {
        case RestoreResult::Done:
            return 0;
        case RestoreResult::Failed:
            return 1;
        case RestoreResult::Cancelled:
            break;
    }
    return 2;
}

}  // namespace quorvel::backup
