// "Load installed rates" and the "Installed table:" line, on installations whose 26 values
// agree, disagree, hold the other generation's format or hold nothing.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/frmMainframe.h"
#include "registry/DriverKeys.h"

namespace quorvel {
namespace {

using platform::kHkeyLocalMachine;
using platform::sim::StringValue;

constexpr const char* kDisplayKey =
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}\\0000";
constexpr const char* kClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{6B1D2F40-8C3E-4A57-9F12-3E5D7A9C0B84}\\0000";
constexpr const char* kTable =
    "S 1600x1200=803C; 1280x1024=804B; 1152x864=8055; 1024x768=8064; 800x600 848x480=8078; "
    "640x480=808C;";

class LoadInstalledTest : public ::testing::Test {
  protected:
    void Start(const char* fixture, const char* driverVersion = nullptr) {
        world.Load(fixture);
        if (driverVersion) {
            world.registry.PutValue(kHkeyLocalMachine, kClassKey, "DriverVersion",
                                    StringValue(driverVersion));
        }
        form.Form_Load();
    }
    // Writes `table` into the first `count` of a key's 26 values.
    void Put(const char* key, const std::string& table, std::size_t count = 26) {
        for (std::size_t i = 0; i < count; ++i) {
            world.registry.PutValue(kHkeyLocalMachine, key, registry::kModesDeltaValues[i],
                                    StringValue(table));
        }
    }
    std::string Load() {
        world.prompt.Expect("Load installed rates", platform::kIdOk);
        form.mnuLoadInstalled_Click();
        EXPECT_EQ(world.prompt.PendingCount(), 0u);
        const auto& box = world.prompt.Shown().back();
        EXPECT_EQ(box.style, platform::kMbOk | platform::kMbIconInformation);
        return box.text;
    }
    testing::SimWorld world;
    app::frmMainframe form{world.platform};
};

TEST_F(LoadInstalledTest, AnAgreeingTableFillsTheListsAndIsReportedResolutionByResolution) {
    Start("installed-40.41.reg");
    EXPECT_EQ(form.lblInstalledTable.caption, "7 resolutions, hexadecimal format");
    EXPECT_EQ(form.lblInstalledTable.foreColor, app::kFindingColour);
    ASSERT_TRUE(form.mnuLoadInstalled.enabled);
    form.PickListItem(0, "60");

    EXPECT_EQ(Load(),
              std::string("Installed table:\r\n\"") + kTable +
                  "\"\r\n\r\nLoaded into the settings page:\r\n640x480: 140 Hz\r\n"
                  "800x600: 120 Hz\r\n848x480: 120 Hz\r\n1024x768: 100 Hz\r\n1152x864: 85 Hz\r\n"
                  "1280x1024: 75 Hz\r\n1600x1200: 60 Hz\r\nEvery other resolution: no rate.");
    modes::HexSelection expected;
    expected.fill("<None>");
    expected[6] = "140";  // 640x480, then in catalogue order
    expected[7] = expected[8] = "120";
    expected[9] = "100";
    expected[10] = "85";
    expected[12] = "75";
    expected[14] = "60";
    EXPECT_EQ(form.cmb, expected);
    EXPECT_TRUE(form.fmeSettings40Visible);
}

TEST_F(LoadInstalledTest, DisagreeingValuesGiveTheTableMostOfThemHold) {
    world.Load("installed-40.41.reg");
    Put(registry::kServiceKey, "S 640x480=8055;");
    Put(kDisplayKey, "S 640x480=8055;", 4);
    world.registry.PutValue(kHkeyLocalMachine, kDisplayKey, registry::kModesDeltaValues[25],
                            StringValue("  "));  // blanks hold no table
    form.Form_Load();
    EXPECT_EQ(form.lblInstalledTable.caption, "1 resolution, hexadecimal format");
    form.PickListItem(9, "100");

    const std::string report = Load();
    EXPECT_NE(report.find("\r\nThe driver's _Modes_Delta values do not all hold the same table; "
                          "this is the one most of them hold (30 of 51).\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(form.cmb[6], "85");
    EXPECT_EQ(form.cmb[9], "<None>");
}

TEST_F(LoadInstalledTest, ATableOfTheOtherFormatIsMarkedAndWhatFitsIsLoaded) {
    Start("installed-40.41.reg", "28.32");
    EXPECT_EQ(form.lblInstalledTable.caption, "7 resolutions, hexadecimal format");
    EXPECT_EQ(form.lblInstalledTable.foreColor, app::kRed);
    form.ClickRateOption(0, 0);

    const std::string report = Load();
    EXPECT_NE(report.find("\r\nThis table is in the hexadecimal compressed mode format of driver "
                          "40.41, but the driver uses the compressed mode format: what fits the "
                          "\"Settings\" page has been loaded.\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\n\r\nNot shown on the settings page:\r\n\"640x480=808C\": a rate "
                          "the page does not offer"),
              std::string::npos)
        << report;
    modes::CompressedSelection expected{};
    expected[7][6] = expected[8][6] = expected[9][5] = expected[10][4] = expected[12][3] =
        expected[14][0] = true;
    EXPECT_EQ(form.opt, expected);
    EXPECT_TRUE(form.fmeSettingsVisible);
}

TEST_F(LoadInstalledTest, NothingInstalledIsSaidAndChangesNothing) {
    Start("driver-40.41.reg");
    EXPECT_EQ(form.lblInstalledTable.caption, "None");
    form.PickListItem(0, "60");
    EXPECT_EQ(Load(), readback::kNothingInstalled);
    EXPECT_EQ(form.cmb[0], "60");
    EXPECT_TRUE(form.fmeIntroVisible);
}

TEST_F(LoadInstalledTest, TheCommandIsGreyedWhileNoSettingsTabExists) {
    Start("no-version.reg");
    EXPECT_FALSE(form.mnuLoadInstalled.enabled);
    form.mnuLoadInstalled_Click();  // no box: the scripted prompt fails the test on one
    world.prompt.Expect("Choice of Detoantor version", platform::kIdOk);
    form.ClickGenerationOption(true);
    EXPECT_TRUE(form.mnuLoadInstalled.enabled);
}

}  // namespace
}  // namespace quorvel
