// The restore sequence.
#include "backup/Restore.h"

#include <algorithm>

#include "applied/Applied.h"
#include "backup/Backup.h"
#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "registry/DriverKeys.h"
#include "restart/Restart.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Text.h"
#include "text/Numbers.h"

namespace quorvel::backup {

using platform::kHkeyLocalMachine;
using registry::kRootName;
using text::Concat;
using text::kCrLf;

namespace {

// Far more than the largest undo file: the tables of a dozen adapters.
constexpr std::size_t kMaxFileSize = 1024 * 1024;

// The file's values as a plan: each key once, in the order the file first names it and spelt as
// it first does (the registry does not tell names apart by case), its values in the file's order.
std::vector<registry::PlannedKey> GroupByKey(const std::vector<SavedValue>& values) {
    std::vector<registry::PlannedKey> keys;
    for (const SavedValue& value : values) {
        auto key = std::find_if(keys.begin(), keys.end(), [&](const registry::PlannedKey& k) {
            return text::SameNoCase(k.keyPath, value.keyPath);
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

void ShowRefusal(platform::IPrompt& prompt, const std::string& path, const Refusal& r) {
    ShowFailure(prompt, Concat({kRefusedIntro, kCrLf, path, kCrLf, kCrLf, kRefusedLine,
                                text::Decimal(r.line), kRefusedLineEnd, kCrLf, r.text, kCrLf, kCrLf,
                                r.reason, kCrLf, kCrLf, kNothingChanged}));
}

// A display key the file names that is not one of this computer's NVIDIA display keys (found as
// the installation finds them): the restore would write into another adapter's key.
std::optional<Refusal> ForeignKey(const std::vector<SavedValue>& values,
                                  registry::mdlRegistry& registry) {
    const std::vector<std::string> displayKeys = registry::DisplayKeys(registry);
    for (const SavedValue& value : values) {
        const auto same = [&](const std::string& key) {
            return text::SameNoCase(key, value.keyPath);
        };
        if (!same(registry::kServiceKey) && !same(applied::kAppliedKey) &&
            std::none_of(displayKeys.begin(), displayKeys.end(), same)) {
            return Refusal{value.keyLine, Concat({"[", kRootName, "\\", value.keyPath, "]"}),
                           kNotThisMachinesKey};
        }
    }
    return std::nullopt;
}

// The system's reason from the text of a registry error box.
std::string ReasonOf(const std::string& box) {
    const std::size_t prefix = std::char_traits<char>::length(registry::kRegistryErrorPrompt);
    std::string reason =
        box.rfind(registry::kRegistryErrorPrompt, 0) == 0 ? box.substr(prefix) : box;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    return reason;
}

}  // namespace

RestoreOutcome RestoreBackup(const std::string& path, registry::mdlRegistry& registry,
                             platform::Platform& platform) {
    std::string text;
    const std::uint32_t error = platform.files.ReadWholeFile(path, kMaxFileSize, &text);
    if (error != 0) {
        ShowFailure(platform.prompt, Concat({kReadFailed, kCrLf, path, kCrLf, kCrLf,
                                             error == platform::kErrorFileTooLarge
                                                 ? kTooLarge
                                                 : SystemText(platform.registry, error)}));
        return {RestoreResult::Failed, false};
    }
    ParsedUndoFile parsed = ParseUndoFile(text);
    if (!parsed.refusal) {
        parsed.refusal = ForeignKey(parsed.values, registry);
    }
    if (parsed.refusal) {
        ShowRefusal(platform.prompt, path, *parsed.refusal);
        return {RestoreResult::Failed, false};
    }

    std::vector<registry::PlannedKey> keys = GroupByKey(parsed.values);
    const std::size_t total = parsed.values.size();
    std::string confirmation =
        Concat({kConfirmIntro, kCrLf, path, kCrLf, kCrLf, text::Counted(total, "value", "values"),
                text::OneOrMany(total, kConfirmOneValue, kConfirmManyValues),
                text::OneOrMany(keys.size(), kConfirmOneKey, kConfirmManyKeys)});
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
    // The writes report into one box at the end, not one box each.
    platform::QuietPrompt collected;
    registry::mdlRegistry quiet(platform.registry, collected);
    std::size_t written = 0;
    std::string failedKeys;
    for (const registry::PlannedKey& key : keys) {
        std::string reason;
        for (const registry::PlannedValue& value : key.values) {
            const bool ok = value.next ? quiet.WriteValue(platform::kHkeyLocalMachine, key.keyPath,
                                                          value.name, *value.next)
                                       : quiet.DeleteValue(platform::kHkeyLocalMachine, key.keyPath,
                                                           value.name);
            written += ok ? 1 : 0;
            if (!ok && reason.empty() && !collected.texts.empty()) {
                reason = ReasonOf(collected.texts.back());
            }
        }
        if (!reason.empty()) {
            failedKeys += Concat({kCrLf, kRootName, "\\", key.keyPath, kCrLf, "  ", reason});
        }
    }
    if (written == total) {
        return {RestoreResult::Done, restart::OfferRestart(platform.prompt, platform.restart,
                                                           UndoFileLine(backup.undoFile))};
    }
    const std::string summary =
        Concat({text::Decimal(written), kPutBackOf, text::Counted(total, "value", "values"),
                text::OneOrMany(written, kPutBackOne, kPutBackMany), kCrLf, kKeysFailed, failedKeys,
                kCrLf, kCrLf});
    if (written == 0) {
        ShowFailure(platform.prompt, summary + kNothingChanged);
        return {RestoreResult::Failed, false};
    }
    const bool restart =
        platform.prompt.Show(summary + kRestartAfterPartial, kRestoreTitle,
                             platform::kMbYesNo | platform::kMbIconExclamation) == platform::kIdYes;
    if (restart) {
        restart::RebootSystem(platform.restart, platform.prompt);
    }
    return {RestoreResult::Failed, restart};
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
