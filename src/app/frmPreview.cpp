// The preview's text and its .reg file.
#include "app/frmPreview.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "backup/Backup.h"
#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "registry/DriverKeys.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"

namespace quorvel::app {

using text::Concat;
using text::kCrLf;

namespace {

bool SameChange(const registry::PlannedValue& a, const registry::PlannedValue& b) {
    return a.unread == b.unread && a.present == b.present && a.next == b.next;
}

// Each key's values, those that go from the same present data to the same new data together: the
// largest such group of a key in one entry ("* 26 _Modes_Delta values"), every other value in an
// entry of its own.
std::string Describe(const install::InstallPlan& plan, bool formatQuestion) {
    std::string text = kPreviewIntro;
    for (const registry::PlannedKey& key : plan.keys) {
        text += Concat({kCrLf, kCrLf, registry::kRootName, "\\", key.keyPath});
        const std::vector<registry::PlannedValue>& values = key.values;
        std::size_t largest = 0;  // the first value of the largest group
        std::size_t largestSize = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto size = static_cast<std::size_t>(std::count_if(
                values.begin(), values.end(),
                [&](const registry::PlannedValue& v) { return SameChange(v, values[i]); }));
            if (size > largestSize) {
                largest = i;
                largestSize = size;
            }
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            const registry::PlannedValue& value = values[i];
            const bool grouped = largestSize > 1 && SameChange(value, values[largest]);
            if (grouped && i != largest) {
                continue;
            }
            const std::string present = value.unread    ? kPreviewUnread
                                        : value.present ? backup::RegData(*value.present)
                                                        : kPreviewNone;
            const bool ifYes = formatQuestion && value.name == registry::kUseCompressedModeFormat;
            text += Concat({kCrLf, value.Changes() ? "* " : "  ",
                            grouped ? text::Decimal(largestSize) + kPreviewGroup : value.name,
                            kCrLf, kPreviewPresent, present, kCrLf, kPreviewNew,
                            backup::RegData(*value.next), ifYes ? kPreviewIfYes : ""});
        }
    }
    return text;
}

}  // namespace

frmPreview::frmPreview(std::optional<install::InstallPlan> plan, bool formatQuestion,
                       platform::Platform& platform)
    : cmdSaveEnabled(plan.has_value()),
      plan(std::move(plan)),
      formatQuestion_(formatQuestion),
      platform_(platform) {
    txtPlan = this->plan ? Describe(*this->plan, formatQuestion) : kPreviewNothing;
}

void frmPreview::cmdSave_Click() {
    if (!plan) {
        return;
    }
    const std::string path = platform_.files.GetSaveFileNameA(
        kPreviewCaption, kPreviewFilterName, backup::kFilterPattern,
        backup::BackupFolder(platform_.files), kPreviewFileName);
    if (path.empty()) {
        return;
    }
    const platform::SystemTime now = platform_.files.GetLocalTime();
    std::vector<std::string> comments = {
        Concat({backup::kPreviewFileComment, text::DateAndTime(now), "."})};
    if (formatQuestion_ && plan->switchFormatOn) {
        comments.push_back(kPreviewFileFormatComment);
    }
    std::vector<backup::SavedValue> values;
    for (const registry::PlannedKey& key : plan->keys) {
        for (const registry::PlannedValue& value : key.values) {
            values.push_back({key.keyPath, value.name, value.next});
        }
    }
    const std::uint32_t error = platform_.files.WriteToFile(
        path, backup::FormatUndoFile(comments, values), platform::WriteMode::Replace);
    if (error != 0) {
        platform_.prompt.Show(Concat({kPreviewNotWritten, kCrLf, path, kCrLf, kCrLf,
                                      backup::SystemText(platform_.registry, error)}),
                              kPreviewCaption, platform::kMbOk | platform::kMbIconHand);
    }
}

}  // namespace quorvel::app
