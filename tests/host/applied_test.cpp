// The record of applied rates: what start-up makes of it after a driver update, on either
// generation's page; the lines System information shows; "/reapply"; and a restore's record.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frmMainframe.h"
#include "applied/Applied.h"
#include "registry/DriverKeys.h"

namespace quorvel::applied {
namespace {

using platform::kHkeyLocalMachine;
using Rates = std::vector<std::pair<std::size_t, int>>;  // catalogue row, rate

constexpr std::size_t k640x480 = 6;
constexpr std::size_t k800x600 = 7;
constexpr std::size_t k1024x768 = 9;
constexpr std::size_t k1280x1024 = 12;
constexpr std::size_t k1600x1200 = 14;

const char* const kNotOfferedNow = " not offered: restart Windows, or check the monitor's limits";

// Replaces the fixture's record, as an earlier run would have left it.
void PutRecord(platform::sim::SimRegistry& registry, const char* generation, const Rates& rates) {
    Record record{std::string(generation) == "40.41", {}, "2026-12-01", "6.14.10.4523"};
    for (const auto& [row, rate] : rates) {
        record.rates[row] = rate;
    }
    WriteRecord(registry, record);
    if (std::string(generation) != "40.41" && std::string(generation) != "28.32") {
        registry.PutValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue,
                          platform::sim::StringValue(generation));
    }
}

std::string Table(const testing::SimWorld& world) {
    const auto value =
        world.registry.GetValue(kHkeyLocalMachine, registry::kServiceKey, "NV25_Modes_Delta");
    return value ? std::string(value->data.begin(), value->data.end() - 1) : "";
}

TEST(DriverUpdate, IsSaidUnderTheInstalledTableAndTheRatesAreSelectedAgain) {
    testing::SimWorld world;
    world.Load("updated.reg");
    world.system.currentMode = platform::DisplayMode{1024, 768, 32, 60};
    world.system.offeredModes = {{640, 480, 16, 85}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
    app::frmMainframe form(world.platform);
    form.Form_Load();

    EXPECT_TRUE(form.lblApplied.visible);
    EXPECT_EQ(form.lblApplied.foreColor, app::kRed);
    EXPECT_EQ(form.lblApplied.caption,
              "Your rates of 2026-12-07 are not installed (driver then 6.14.10.4523, now "
              "6.14.10.5216)");
    EXPECT_EQ(form.lblScreenNow.caption, "1024x768, 32 bit, 60 Hz");
    EXPECT_EQ(form.lblRatesInEffect.foreColor, app::kRed);
    EXPECT_EQ(form.lblRatesInEffect.caption,
              std::string("800x600, 1024x768 at 85 Hz; 1152x864, 1280x960 at 75 Hz and 2 more") +
                  kNotOfferedNow);
    const int expected[modes::kResolutionCount] = {0,  0,  0,  0, 0,  0, 85, 85, 0, 85,
                                                   75, 75, 75, 0, 72, 0, 0,  0,  0};
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        EXPECT_EQ(modes::HexItemRate(form.cmb[row]), expected[row]) << row;
    }
    EXPECT_TRUE(world.prompt.Shown().empty());  // no box at start
}

// A record of one generation on a machine of the other: the rates its page offers are selected,
// the others named on the line.
struct ConversionCase {
    const char* name;
    const char* fixture;
    const char* generation;
    Rates rates;
    std::string secondLine;  // empty: every rate is offered
    Rates selected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.name;
}

class Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, SelectsWhatThePageOffersAndNamesTheRest) {
    const ConversionCase& c = GetParam();
    testing::SimWorld world;
    world.Load(c.fixture);
    PutRecord(world.registry, c.generation, c.rates);
    app::frmMainframe form(world.platform);
    form.Form_Load();

    const std::string& line = form.lblApplied.caption;
    EXPECT_EQ(line.substr(0, line.find(" (driver then")),
              "Your rates of 2026-12-01 are not installed");
    const std::size_t lineBreak = line.find("\r\n");
    EXPECT_EQ(lineBreak == std::string::npos ? "" : line.substr(lineBreak + 2), c.secondLine);
    Rates shown;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const int rate = form.blnDetonator40 ? modes::HexItemRate(form.cmb[row]) : 0;
        for (std::size_t index = 0; index < modes::kCompressedRateCount; ++index) {
            if (!form.blnDetonator40 && form.opt[row][index]) {
                shown.emplace_back(row, modes::kCompressedRates[index]);
            }
        }
        if (rate != 0) {
            shown.emplace_back(row, rate);
        }
    }
    EXPECT_EQ(shown, c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Generations, Conversion,
    ::testing::Values(ConversionCase{"HexadecimalOnACompressedPage",
                                     "win2000.reg",
                                     "40.41",
                                     {{k800x600, 85}, {k1024x768, 140}},
                                     "1024x768 at 140 Hz is not offered by this driver's page",
                                     {{k800x600, 85}}},
                      ConversionCase{
                          "SeveralNotOffered",
                          "win2000.reg",
                          "40.41",
                          {{k640x480, 144}, {k800x600, 140}, {k1024x768, 144}, {k1600x1200, 60}},
                          "640x480, 1024x768 at 144 Hz; 800x600 at 140 Hz are not offered by "
                          "this driver's page",
                          {{k1600x1200, 60}}},
                      ConversionCase{"CompressedOnAHexadecimalPage",
                                     "xp.reg",
                                     "28.32",
                                     {{k640x480, 72}, {k1280x1024, 100}},
                                     "",
                                     {{k640x480, 72}, {k1280x1024, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Record, ThatIsInstalledChangesNothingOnScreen) {
    testing::SimWorld world;
    world.Load("xp.reg");
    EXPECT_EQ(
        app::RunCommandLine(app::ParseCommandLine("/apply 1024x768@85,800x600@75"), world.platform),
        0);
    world.system.offeredModes = {{800, 600, 16, 75}, {1024, 768, 32, 85}};
    app::frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_FALSE(form.lblApplied.visible);
    EXPECT_EQ(form.cmb, modes::HexSelection{});
    EXPECT_EQ(form.lblRatesInEffect.caption, "2 of 2 offered");
    EXPECT_EQ(form.lblRatesInEffect.foreColor, app::kFindingColour);
    EXPECT_EQ(form.lblScreenNow.caption, "Not found");  // the display did not answer
}

TEST(Record, OfAnotherProgramOrWithoutRatesIsNone) {
    testing::SimWorld world;
    world.Load("xp.reg");
    PutRecord(world.registry, "45.23", {{k1024x768, 85}});
    EXPECT_FALSE(ReadRecord(world.registry));
    PutRecord(world.registry, "40.41", {});
    EXPECT_FALSE(ReadRecord(world.registry));
    world.registry.PutValue(kHkeyLocalMachine, kAppliedKey, "1024x768",
                            platform::sim::StringValue("85"));
    EXPECT_FALSE(ReadRecord(world.registry));
}

TEST(RatesInEffect, SayHowManyOrWhichAreNotOffered) {
    Record record;
    record.rates[k800x600] = 85;
    record.rates[k1024x768] = 85;
    platform::sim::SimSystemInfo display;
    const struct {
        std::vector<platform::DisplayMode> offered;
        const char* text;
    } cases[] = {
        {{{1024, 768, 16, 85}, {800, 600, 32, 85}}, "2 of 2 offered"},
        {{{1024, 768, 32, 85}, {800, 600, 32, 75}},
         "800x600 at 85 Hz not offered: restart Windows, or check the monitor's limits"},
        {{{1024, 768, 32, 60}},
         "None of 2 offered: restart Windows, or check the monitor's limits"},
    };
    for (const auto& c : cases) {
        display.offeredModes = c.offered;
        const InEffect inEffect = RatesInEffect(record, display);
        EXPECT_EQ(inEffect.text, c.text);
        EXPECT_EQ(inEffect.allOffered, c.offered.size() == 2 && c.offered[1].frequency == 85);
    }
}

TEST(ScreenText, LeavesOutTheHardwaresDefaultRate) {
    EXPECT_EQ(ScreenText({1024, 768, 32, 85}), "1024x768, 32 bit, 85 Hz");
    EXPECT_EQ(ScreenText({640, 480, 8, 1}), "640x480, 8 bit");
}

// "/reapply" on the machine of each case; the log is the default one.
struct ReapplyCase {
    const char* name;
    const char* fixture;
    const char* before;  // an "/apply" run first, or a record put in; null: none
    int exitCode;
    const char* logLine;
    const char* table;  // the service key's tables afterwards
};

void PrintTo(const ReapplyCase& c, std::ostream* os) {
    *os << c.name;
}

class Reapply : public ::testing::TestWithParam<ReapplyCase> {};

TEST_P(Reapply, ActsOnlyWhenTheRecordIsNotInstalled) {
    const ReapplyCase& c = GetParam();
    testing::SimWorld world;
    world.Load(c.fixture);
    if (c.before && std::string(c.before).rfind("/apply", 0) == 0) {
        ASSERT_EQ(app::RunCommandLine(app::ParseCommandLine(c.before), world.platform), 0);
    } else if (c.before) {
        PutRecord(world.registry, "40.41", {{k1024x768, 100}});
    }
    EXPECT_EQ(app::RunCommandLine(app::ParseCommandLine("/reapply"), world.platform), c.exitCode);
    const std::string* log = world.files.File("C:\\Program Files\\Quorvel\\Backups\\Quorvel.log");
    ASSERT_NE(log, nullptr);
    const std::string run = log->substr(log->rfind("quorvel.exe /reapply"));
    EXPECT_NE(run.find(std::string("\r\n") + c.logLine + "\r\n"), std::string::npos) << run;
    EXPECT_EQ(Table(world), c.table);
}

INSTANTIATE_TEST_SUITE_P(
    Unattended, Reapply,
    ::testing::Values(
        ReapplyCase{"NothingRecorded", "xp.reg", nullptr, 0,
                    "No rates have been applied on this machine: nothing to do.", ""},
        ReapplyCase{"Installed", "xp.reg", "/apply 1024x768@85", 0,
                    "The rates applied on 2003-05-17 are installed: nothing to do.",
                    "S 1024x768=8055;"},
        ReapplyCase{"TakenAwayByADriverUpdate", "updated.reg", nullptr, 0,
                    "Your rates of 2026-12-07 are not installed (driver then 6.14.10.4523, now "
                    "6.14.10.5216)",
                    "S 1600x1200=8048; 1152x864 1280x960 1280x1024=804B; 640x480 800x600 "
                    "1024x768=8055;"},
        ReapplyCase{"RefusedAsApplyWould", "updated.reg", "a rate above 85 Hz", 1,
                    "Give /force to write such rates all the same.", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reapply, RecordsTheDriverItWroteFor) {
    testing::SimWorld world;
    world.Load("updated.reg");
    ASSERT_EQ(app::RunCommandLine(app::ParseCommandLine("/reapply /log C:\\q.log"), world.platform),
              0);
    const std::optional<Record> record = ReadRecord(world.registry);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->driverVersion, "6.14.10.5216");
    EXPECT_EQ(record->date, "2003-05-17");
    EXPECT_TRUE(record->detonator40);
    EXPECT_EQ(app::RunCommandLine(app::ParseCommandLine("/reapply /log C:\\q.log"), world.platform),
              0);
    EXPECT_NE(world.files.File("C:\\q.log")->find("are installed: nothing to do."),
              std::string::npos);
}

}  // namespace
}  // namespace quorvel::applied
