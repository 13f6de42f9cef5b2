// The main window's form: page switching, the manual generation choice, the menus and the
// handlers of the settings pages, driven as a user's clicks would drive them.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/frmMainframe.h"
#include "detect/Detection.h"

namespace quorvel {
namespace {

using app::frmMainframe;
using platform::kHkeyLocalMachine;
using platform::kIdNo;
using platform::kIdOk;
using platform::kIdYes;

struct Pages {
    bool intro, sysInfo, settings, settings40;
    friend bool operator==(const Pages& a, const Pages& b) {
        return a.intro == b.intro && a.sysInfo == b.sysInfo && a.settings == b.settings &&
               a.settings40 == b.settings40;
    }
};
std::ostream& operator<<(std::ostream& os, const Pages& p) {
    return os << p.intro << p.sysInfo << p.settings << p.settings40;
}
Pages Visible(const frmMainframe& f) {
    return {f.fmeIntroVisible, f.fmeSysInfoVisible, f.fmeSettingsVisible, f.fmeSettings40Visible};
}

class MainframeTest : public ::testing::Test {
  protected:
    void Start(const char* fixture) {
        world.Load(fixture);
        form.Form_Load();
    }
    testing::SimWorld world;
    frmMainframe form{world.platform};
};

TEST_F(MainframeTest, TabsShowOnePageEachAndTheSettingsTabFollowsTheFlag) {
    Start("driver-40.41.reg");
    EXPECT_EQ(Visible(form), (Pages{true, false, false, false}));
    form.ClickTab(3);
    EXPECT_EQ(Visible(form), (Pages{false, false, false, true}));
    form.ClickTab(2);
    EXPECT_EQ(Visible(form), (Pages{false, true, false, false}));
    form.ClickTab(1);
    EXPECT_EQ(Visible(form), (Pages{true, false, false, false}));
    EXPECT_EQ(form.SettingsPageInUse(), frmMainframe::SettingsPage::Hexadecimal);

    testing::SimWorld world28;
    world28.Load("driver-28.32.reg");
    frmMainframe form28(world28.platform);
    form28.Form_Load();
    form28.ClickTab(3);
    EXPECT_EQ(Visible(form28), (Pages{false, false, true, false}));
    EXPECT_EQ(form28.SettingsPageInUse(), frmMainframe::SettingsPage::Compressed);
}

TEST_F(MainframeTest, WithoutASettingsTabOnlyTheFirstTwoPagesAreReachable) {
    Start("none.reg");
    ASSERT_EQ(form.tbsMain.Count(), 2);
    EXPECT_EQ(form.SettingsPageInUse(), frmMainframe::SettingsPage::None);
    form.ClickTab(3);
    EXPECT_EQ(Visible(form), (Pages{true, false, false, false}));
    form.ClickTab(2);
    EXPECT_EQ(Visible(form), (Pages{false, true, false, false}));
}

TEST_F(MainframeTest, ManualChoiceRecreatesTheSettingsTabForEachPick) {
    Start("no-version.reg");
    ASSERT_EQ(form.tbsMain.Count(), 2);
    EXPECT_FALSE(form.mnuLoadInstalled.enabled);
    form.ClickTab(2);

    struct Pick {
        bool forty;
        const char* firstLine;
        const char* caption;
        Pages page;
    };
    const Pick picks[] = {
        {true, detect::kChoice40Line, "Settings 40", {false, false, false, true}},
        {false, detect::kChoice28Line, "Settings", {false, false, true, false}},
        {true, detect::kChoice40Line, "Settings 40", {false, false, false, true}},
    };
    for (const Pick& p : picks) {
        world.prompt.Expect("Choice of Detoantor version", kIdOk);
        form.ClickGenerationOption(p.forty);
        const auto& box = world.prompt.Shown().back();
        EXPECT_EQ(box.text, std::string(p.firstLine) + "\r\n\r\n" + detect::kChoiceWarning);
        EXPECT_EQ(box.style, platform::kMbOk | platform::kMbIconHand);
        ASSERT_EQ(form.tbsMain.Count(), 3);
        EXPECT_EQ(form.tbsMain.Item(3).caption, p.caption);
        EXPECT_EQ(form.tbsMain.Item(3).toolTip, "Set the refresh rates.");
        EXPECT_EQ(form.blnDetonator40, p.forty);
        EXPECT_TRUE(form.mnuLoadInstalled.enabled);
        EXPECT_EQ(form.SettingsPageInUse(), p.forty ? frmMainframe::SettingsPage::Hexadecimal
                                                    : frmMainframe::SettingsPage::Compressed);
        // The System information page stays in view until the user clicks a tab.
        EXPECT_EQ(Visible(form), (Pages{false, true, false, false}));
        form.ClickTab(3);
        EXPECT_EQ(Visible(form), p.page);
        form.ClickTab(2);
    }
    // Summary and buttons stay as detection left them.
    EXPECT_EQ(form.lblSummary.caption, detect::SummaryVersionMissing());
    EXPECT_TRUE(form.obtVerError28.visible);
    EXPECT_TRUE(form.obtVerError40.visible);
}

TEST_F(MainframeTest, ReclickingTheSelectedGenerationRaisesNoNotice) {
    Start("no-version.reg");
    world.prompt.Expect("Choice of Detoantor version", kIdOk);
    form.ClickGenerationOption(false);
    form.ClickGenerationOption(false);
    EXPECT_EQ(world.prompt.Shown().size(), 1u);
    EXPECT_TRUE(form.obtVerError28.value);
    EXPECT_FALSE(form.obtVerError40.value);
}

TEST_F(MainframeTest, TheManualChoiceDecidesTheComposerAndKeepsBothSelections) {
    Start("no-version.reg");
    form.ClickRateOption(6, 4);               // 640x480 at 85 Hz on the option grid
    form.PickListItem(9, testing::Item(85));  // 1024x768 at 85 Hz in the lists
    const std::string service = detect::kServiceKey;
    const struct {
        bool forty;
        const char* table;
    } runs[] = {{true, "S 1024x768=8055;"}, {false, "S 640,480,-,-75"}};
    for (const auto& run : runs) {
        world.prompt.Expect("Choice of Detoantor version", kIdOk);
        form.ClickGenerationOption(run.forty);
        world.prompt.Expect("The final frontier", kIdYes).Expect("Completion", kIdNo);
        if (run.forty) {
            form.cmdApply40_Click();
        } else {
            form.cmdApply_Click();
        }
        const auto value = world.registry.GetValue(kHkeyLocalMachine, service, "NV25_Modes_Delta");
        ASSERT_TRUE(value);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(value->data.data())), run.table);
        EXPECT_TRUE(form.opt[6][4]);
        EXPECT_EQ(form.cmb[9], testing::Item(85));
        EXPECT_FALSE(form.unloaded);
    }
    EXPECT_EQ(world.prompt.PendingCount(), 0u);
}

TEST_F(MainframeTest, TheWarningsBlinkIndependently) {
    Start("driver-28.32.reg");
    const bool before40 = form.lblWarning40.visible;
    for (int tick = 1; tick <= 3; ++tick) {
        form.tmrWarning_Timer();
        EXPECT_EQ(form.lblWarning.visible, tick % 2 == 0);
    }
    EXPECT_EQ(form.lblWarning40.visible, before40);
    form.tmrWarning40_Timer();
    EXPECT_NE(form.lblWarning40.visible, before40);
}

TEST_F(MainframeTest, DeselectAllClearsOnlyItsOwnPage) {
    Start("driver-28.32.reg");
    form.ClickRateOption(0, 1);
    form.ClickRateOption(18, 6);
    form.PickListItem(3, testing::Item(240));
    form.cmdDeselect_Click();
    for (const auto& row : form.opt) {
        for (bool v : row) {
            EXPECT_FALSE(v);
        }
    }
    EXPECT_EQ(form.cmb[3], testing::Item(240));
    form.ClickRateOption(2, 2);
    form.cmdDeselect40_Click();
    for (int item : form.cmb) {
        EXPECT_EQ(item, 0);  // "<None>"
    }
    EXPECT_TRUE(form.opt[2][2]);
    // With nothing left, Apply refuses.
    form.cmdDeselect_Click();
    world.prompt.Expect("Error", kIdOk);
    form.cmdApply_Click();
    EXPECT_EQ(world.prompt.Shown().back().text, "You did not specify any refresh rate to set.");
}

TEST_F(MainframeTest, ExitUnloadsTheAboutBoxAndTheWindowWithoutAQuestion) {
    Start("driver-40.41.reg");
    form.mnuExit_Click();
    EXPECT_TRUE(form.unloaded);
    EXPECT_FALSE(form.aboutBox.has_value());

    frmMainframe withAbout(world.platform);
    int shown = 0;
    testing::Dialogs counting;
    counting.about = [&](app::frmAboutBox&) { ++shown; };
    withAbout.dialogs = &counting;
    withAbout.mnuAbout_Click();
    withAbout.mnuAbout_Click();
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(withAbout.aboutBox.has_value());
    withAbout.Form_Unload();
    EXPECT_FALSE(withAbout.aboutBox.has_value());
    EXPECT_TRUE(withAbout.unloaded);
    EXPECT_TRUE(world.prompt.Shown().empty());
}

TEST_F(MainframeTest, AYesToTheRestartEndsTheProgramAfterTheReboot) {
    Start("driver-40.41.reg");
    form.PickListItem(9, testing::Item(85));
    form.aboutBox.emplace(world.shell);
    world.prompt.Expect("The final frontier", kIdYes).Expect("Completion", kIdYes);
    form.cmdApply40_Click();
    EXPECT_TRUE(form.unloaded);
    EXPECT_FALSE(form.aboutBox.has_value());
    EXPECT_EQ(world.restart.Calls().back().rfind("ExitWindowsEx", 0), 0u);
}

TEST(AboutBox, EachLinkClickMakesOneShellCallAndTheBoxStays) {
    testing::SimWorld world;
    app::frmAboutBox box(world.shell);
    box.hWnd = 0x1234;
    box.LbLink_Click();
    box.LbMail_Click();
    box.LbMail_Click();
    const auto& calls = world.shell.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].file, "http://www.velkora.example.com/");
    EXPECT_EQ(calls[1].file,
              "mailto:support@velkora.example.com?subject=Bug report: Quorvel v2.01 E");
    EXPECT_EQ(calls[2].file, calls[1].file);
    for (const auto& c : calls) {
        EXPECT_EQ(c.owner, 0x1234u);
        EXPECT_EQ(c.operation, "open");
        EXPECT_EQ(c.showCommand, 1);
    }
}

}  // namespace
}  // namespace quorvel
