// The preview of "Apply": the plan it shows is what Apply then writes, value by value, and the
// .reg file it saves holds the same values.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/frmMainframe.h"
#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "registry/DriverKeys.h"
#include "platform/sim/SimRegistry.h"

namespace quorvel {
namespace {

using app::frmMainframe;
using app::frmPreview;
using platform::kHkeyLocalMachine;
using platform::kIdNo;
using platform::kIdYes;
using platform::sim::RegCall;

struct Family {
    const char* fixture;
    std::size_t keys;     // display keys and the service key
    bool formatQuestion;  // the format is off: the preview switches it on "if you answer Yes"
};

class PreviewMatchesApply : public ::testing::TestWithParam<Family> {
  protected:
    PreviewMatchesApply() {
        world.Load(GetParam().fixture);
        form.Form_Load();
        form.dialogs = &dialogs;
        dialogs.preview = [this](frmPreview& preview) {
            shown = preview.plan;
            text = preview.txtPlan;
        };
    }

    void Pick() {
        if (form.blnDetonator40) {
            form.PickListItem(7, testing::Item(75));
            form.PickListItem(9, testing::Item(85));
        } else {
            form.ClickRateOption(7, 3);
            form.ClickRateOption(9, 4);
        }
    }

    testing::SimWorld world;
    frmMainframe form{world.platform};
    testing::Dialogs dialogs;
    std::optional<install::InstallPlan> shown;
    std::string text;
};

TEST_P(PreviewMatchesApply, ThePlanShownIsWhatApplyWrites) {
    Pick();
    form.mnuPreview_Click();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->keys.size(), GetParam().keys);
    EXPECT_EQ(shown->switchFormatOn, GetParam().formatQuestion);

    world.registry.ClearCalls();
    if (GetParam().formatQuestion) {
        world.prompt.Expect("Almost there", kIdYes);
    }
    world.prompt.Expect("The final frontier", kIdYes).Expect("Completion", kIdNo);
    form.blnDetonator40 ? form.cmdApply40_Click() : form.cmdApply_Click();
    ASSERT_EQ(world.prompt.PendingCount(), 0u);

    std::size_t planned = 0;
    for (const registry::PlannedKey& key : shown->keys) {
        for (const registry::PlannedValue& value : key.values) {
            SCOPED_TRACE(key.keyPath + "\\" + value.name);
            ++planned;
            const auto written =
                world.registry.GetValue(kHkeyLocalMachine, key.keyPath, value.name);
            ASSERT_TRUE(written && value.next);
            EXPECT_EQ(written->type, value.next->type);
            EXPECT_EQ(written->data, value.next->data);
            // The present data shown is what the undo file saved before the write.
            EXPECT_FALSE(value.unread);
        }
    }
    std::size_t writes = 0;
    // Besides the plan: the program's own key and the entry of the check after the restart.
    for (const auto& call : world.registry.Calls()) {
        const bool ownKey = call.keyPath.find(registry::kOwnKey) != std::string::npos ||
                            call.keyPath.find("RunOnce") != std::string::npos;
        writes += call.call == RegCall::Set && !ownKey ? 1 : 0;
    }
    EXPECT_EQ(writes, planned);
    const std::string* undo = world.files.File(world.files.Written().at(0));
    ASSERT_NE(undo, nullptr);
    const auto saved = backup::ParseUndoFile(*undo).values;
    // Then the record of applied rates as it was: without a generation, there was none.
    ASSERT_EQ(saved.size(), planned + 1);
    EXPECT_EQ(saved.back().name, "Generation");
    std::size_t i = 0;
    for (const registry::PlannedKey& key : shown->keys) {
        for (const registry::PlannedValue& value : key.values) {
            EXPECT_EQ(saved[i].keyPath, key.keyPath);
            EXPECT_EQ(saved[i].data, value.present) << value.name;
            ++i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RealShapes, PreviewMatchesApply,
                         ::testing::Values(Family{"win2000.reg", 2, false},
                                           Family{"xp.reg", 2, true},
                                           Family{"xp-dualhead.reg", 3, false}),
                         [](const ::testing::TestParamInfo<Family>& info) {
                             std::string name = info.param.fixture;
                             name = name.substr(0, name.find('.'));
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

class PreviewTest : public ::testing::Test {
  protected:
    void Open(const char* fixture, int rate) {
        world.Load(fixture);
        form.Form_Load();
        if (rate != 0) {
            form.PickListItem(9, testing::Item(rate));
        }
        form.dialogs = &dialogs;
        dialogs.preview = [this](frmPreview& preview) {
            text = preview.txtPlan;
            saveEnabled = preview.cmdSaveEnabled;
            preview.cmdSave_Click();
        };
        world.registry.ClearCalls();
        form.mnuPreview_Click();
    }
    testing::SimWorld world;
    frmMainframe form{world.platform};
    testing::Dialogs dialogs;
    std::string text;
    bool saveEnabled = false;
};

// Values of a key that change alike are one entry; one that differs from them is named. The saved
// file holds every value, marked so that the restore refuses it.
TEST_F(PreviewTest, GroupsLikeChangesMarksTheFormatSwitchAndSavesEveryValue) {
    world.files.saveDialogAnswer = "C:\\plan.reg";
    const std::string table = "\"S 1024x768=8055;\"";
    world.registry.PutValue(kHkeyLocalMachine, registry::kServiceKey, "NV5_Modes_Delta",
                            platform::sim::StringValue("S 1024x768=8055;"));
    Open("xp.reg", 85);
    const std::string change = "\r\n      present: (none)\r\n      new:     " + table + "\r\n";
    EXPECT_NE(text.find("\r\n* 26 _Modes_Delta values" + change), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n* 25 _Modes_Delta values" + change), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n  NV5_Modes_Delta\r\n      present: " + table), std::string::npos);
    EXPECT_NE(text.find("\r\n* UseCompressedModeFormat\r\n      present: dword:00000000\r\n"
                        "      new:     dword:00000001 (if you answer Yes to the format "
                        "question)"),
              std::string::npos)
        << text;
    ASSERT_EQ(world.files.saveDialogCalls.size(), 1u);
    EXPECT_EQ(world.files.saveDialogCalls[0].fileName, "Quorvel-changes.reg");
    const std::string* saved = world.files.File("C:\\plan.reg");
    ASSERT_NE(saved, nullptr);
    const backup::ParsedUndoFile refused = backup::ParseUndoFile(*saved);
    ASSERT_TRUE(refused.refusal);
    EXPECT_EQ(refused.refusal->line, 2u);
    EXPECT_EQ(refused.refusal->reason, backup::kSavedPreview);
    // Without its mark, as regedit reads it, the file holds every value.
    std::string unmarked = *saved;
    unmarked.erase(unmarked.find("\r\n;"), unmarked.find("\r\n", 12) - unmarked.find("\r\n;"));
    const backup::ParsedUndoFile parsed = backup::ParseUndoFile(unmarked);
    ASSERT_FALSE(parsed.refusal);
    ASSERT_EQ(parsed.values.size(), 2u * 27u);
    EXPECT_EQ(backup::RegData(*parsed.values[0].data), table);
    EXPECT_EQ(backup::RegData(*parsed.values[26].data), "dword:00000001");
    // Nothing was written into the registry.
    for (const auto& call : world.registry.Calls()) {
        EXPECT_NE(call.call, RegCall::Set);
    }
}

TEST_F(PreviewTest, WithNothingSelectedSaysSoAndSavesNothing) {
    Open("xp.reg", 0);
    EXPECT_EQ(text, app::kPreviewNothing);
    EXPECT_FALSE(saveEnabled);
    EXPECT_TRUE(world.files.saveDialogCalls.empty());
}

TEST_F(PreviewTest, AFileThatCannotBeWrittenIsReported) {
    world.files.saveDialogAnswer = "C:\\Locked\\plan.reg";
    world.files.PutFolder("C:\\Locked");
    world.files.DenyWrites("C:\\Locked", 5);
    world.registry.SetMessageText(5, "Access is denied.\r\n");
    world.prompt.Expect(app::kPreviewCaption, platform::kIdOk);
    Open("xp.reg", 85);
    EXPECT_EQ(world.prompt.Shown().at(0).text,
              "The file could not be written:\r\nC:\\Locked\\plan.reg\r\n\r\nAccess is denied.");
}

}  // namespace
}  // namespace quorvel
