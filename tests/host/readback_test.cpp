// "Load installed rates" and the "Installed table:" line, on tables that agree, disagree, are
// in the other generation's format, or are missing.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/frmMainframe.h"
#include "registry/DriverKeys.h"

namespace quorvel {
namespace {

constexpr const char* kDisplayKey =
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}\\0000";
constexpr const char* kTable =
    "S 1600x1200=803C; 1280x1024=804B; 1152x864=8055; 1024x768=8064; 800x600 848x480=8078; "
    "640x480=808C;";

class LoadInstalledTest : public ::testing::Test {
  protected:
    // Writes `table` into the first `count` of a key's 26 values.
    void Put(const char* key, const std::string& table, std::size_t count = 26) {
        for (std::size_t i = 0; i < count; ++i) {
            world.registry.PutValue(platform::kHkeyLocalMachine, key,
                                    registry::kModesDeltaValues[i],
                                    platform::sim::StringValue(table));
        }
    }
    std::string Load() {
        world.prompt.Expect("Load installed rates", platform::kIdOk);
        form.mnuLoadInstalled_Click();
        EXPECT_EQ(world.prompt.Shown().back().style,
                  platform::kMbOk | platform::kMbIconInformation);
        return world.prompt.Shown().back().text;
    }
    testing::SimWorld world;
    app::frmMainframe form{world.platform};
};

TEST_F(LoadInstalledTest, AnAgreeingTableFillsTheListsAndIsReportedResolutionByResolution) {
    world.Load("installed-40.41.reg");
    form.Form_Load();
    EXPECT_EQ(form.lblInstalledTable.caption, "7 resolutions, hexadecimal format");
    EXPECT_EQ(form.lblInstalledTable.foreColor, app::kFindingColour);
    form.PickListItem(0, testing::Item(60));
    EXPECT_EQ(Load(),
              std::string("Installed table:\r\n\"") + kTable +
                  "\"\r\n\r\nLoaded into the settings page:\r\n640x480: 140 Hz\r\n"
                  "800x600: 120 Hz\r\n848x480: 120 Hz\r\n1024x768: 100 Hz\r\n1152x864: 85 Hz\r\n"
                  "1280x1024: 75 Hz\r\n1600x1200: 60 Hz\r\nEvery other resolution: no rate.");
    EXPECT_EQ(form.cmb, modes::HexSelectionOf(modes::DecodeModes(kTable)).selection);
    EXPECT_TRUE(form.fmeSettings40Visible);
}

TEST_F(LoadInstalledTest, DisagreeingValuesGiveTheTableMostOfThemHold) {
    world.Load("installed-40.41.reg");
    Put(registry::kServiceKey, "S 640x480=8055;", 25);
    world.registry.PutValue(platform::kHkeyLocalMachine, registry::kServiceKey,
                            registry::kModesDeltaValues[25], platform::sim::StringValue("  "));
    form.Form_Load();
    EXPECT_EQ(form.lblInstalledTable.caption, "1 resolution, hexadecimal format");
    const std::string report = Load();
    EXPECT_NE(report.find("\r\nThe driver's _Modes_Delta values do not all hold the same table; "
                          "this is the one most of them hold (25 of 27).\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(form.cmb[6], testing::Item(85));
}

TEST_F(LoadInstalledTest, ATableOfTheOtherFormatIsMarkedAndWhatFitsIsLoaded) {
    world.Load("driver-28.32.reg");
    Put(kDisplayKey, kTable);
    form.Form_Load();
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
    EXPECT_EQ(form.opt, modes::CompressedSelectionOf(modes::DecodeModes(kTable)).selection);
    EXPECT_TRUE(form.fmeSettingsVisible);
}

TEST_F(LoadInstalledTest, NothingInstalledIsSaidAndChangesNothing) {
    world.Load("driver-40.41.reg");
    form.Form_Load();
    EXPECT_EQ(form.lblInstalledTable.caption, "None");
    form.PickListItem(0, testing::Item(60));
    EXPECT_EQ(Load(), readback::kNothingInstalled);
    EXPECT_EQ(form.cmb[0], testing::Item(60));
    EXPECT_TRUE(form.fmeIntroVisible);
}

// A table without entries reads "empty" and loads nothing.
TEST_F(LoadInstalledTest, AnEmptyTableIsSaidAndChangesNothing) {
    world.Load("driver-40.41.reg");
    for (const char* table : {"S", "S ;"}) {
        SCOPED_TRACE(table);
        Put(kDisplayKey, table);
        Put(registry::kServiceKey, table);
        form.Form_Load();
        EXPECT_EQ(form.lblInstalledTable.caption, "empty");
        form.PickListItem(0, testing::Item(60));
        EXPECT_EQ(Load(), std::string("The installed table (\"") + table +
                              "\") gives no resolution a refresh rate: there is nothing to load. "
                              "The settings page has not been changed.");
        EXPECT_EQ(form.cmb[0], testing::Item(60));
    }
}

// A table whose only entries cannot be read is not empty: it is counted and each entry named.
TEST_F(LoadInstalledTest, ATableOfUnreadableEntriesNamesEachOfThem) {
    world.Load("driver-40.41.reg");
    const struct {
        const char* table;
        const char* line;
        const char* named;
    } cases[] = {
        {"S 640x480=80GG;", "0 resolutions, hexadecimal format",
         "\"640x480=80GG\": an entry that cannot be read"},
        {"S 640x480", "0 resolutions, hexadecimal format",
         "\"640x480\": an entry that cannot be read"},
        {"S 640,480,-,85Hz; 800,600,+,75-", "0 resolutions, compressed format",
         "\"640,480,-,85Hz\": an entry that cannot be read\r\n"
         "\"800,600,+,75-\": an entry that cannot be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        Put(kDisplayKey, c.table);
        Put(registry::kServiceKey, c.table);
        form.Form_Load();
        EXPECT_EQ(form.lblInstalledTable.caption, c.line);
        const std::string report = Load();
        EXPECT_NE(report.find(std::string("\r\n\r\nNot shown on the settings page:\r\n") + c.named),
                  std::string::npos)
            << report;
    }
}

}  // namespace
}  // namespace quorvel
