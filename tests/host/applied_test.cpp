// The record of applied rates: what start-up makes of it after a driver update, on either
// generation's page; the lines System information shows; "/reapply".
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frmMainframe.h"
#include "applied/Applied.h"
#include "registry/DriverKeys.h"

namespace quorvel::applied {
namespace {

using platform::kHkeyLocalMachine;

constexpr const char* kRestartHint = ": restart Windows, or check the monitor's limits";
constexpr const char* kApplyHint =
    ": the tables no longer hold them; they are selected on the settings page, and \"Apply\" sets "
    "them again";

int RunLine(testing::SimWorld& world, const std::string& arguments) {
    return app::RunCommandLine(app::ParseCommandLine(arguments), world.platform);
}

// A record of 2026-12-01 under 45.23 of the modes given as /apply takes them.
void PutRecord(testing::SimWorld& world, const char* generation, const std::string& modes) {
    Record record{std::string(generation) == "40.41", {}, "2026-12-01", "6.14.10.4523"};
    for (const app::ModeChoice& m : app::ParseCommandLine("/apply " + modes).modes) {
        record.rates[modes::RowOf(m.width, m.height)] = m.rate;
    }
    WriteRecord(world.registry, record);
}

// What the settings page in use shows, in the same form.
std::string Selected(const app::frmMainframe& form) {
    std::string modes;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        int rate = form.blnDetonator40 ? modes::HexItemRate(form.cmb[row]) : 0;
        for (std::size_t index = 0; index < modes::kCompressedRateCount; ++index) {
            rate = !form.blnDetonator40 && form.opt[row][index] ? modes::kCompressedRates[index]
                                                                : rate;
        }
        if (rate != 0) {
            modes += (modes.empty() ? "" : ",") + modes::ResolutionText(modes::kCatalogue[row]) +
                     "@" + std::to_string(rate);
        }
    }
    return modes;
}

TEST(DriverUpdate, IsSaidAndTheRatesAreSelectedUntilTheyAreInstalledAgain) {
    testing::SimWorld world;
    world.Load("updated.reg");
    world.system.currentMode = platform::DisplayMode{1024, 768, 32, 60};
    world.system.offeredModes = {{640, 480, 16, 85}, {1024, 768, 32, 60}};
    app::frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_TRUE(form.lblApplied.visible);
    EXPECT_EQ(form.lblApplied.foreColor, app::kRed);
    EXPECT_EQ(form.lblApplied.caption,
              "Your rates of 2026-12-07 are not installed (driver then 6.14.10.4523, now "
              "6.14.10.5216)");
    EXPECT_EQ(form.lblScreenNow.caption, "1024x768, 32 bit, 60 Hz");
    EXPECT_EQ(form.lblRatesInEffect.caption,
              std::string("800x600, 1024x768 at 85 Hz; 1152x864, 1280x960 at 75 Hz and 2 more "
                          "not offered") +
                  kApplyHint);
    EXPECT_EQ(Selected(form),
              "640x480@85,800x600@85,1024x768@85,1152x864@75,1280x960@75,1280x1024@75,"
              "1600x1200@72");
    EXPECT_TRUE(world.prompt.Shown().empty());  // no box at start

    ASSERT_EQ(RunLine(world, "/reapply"), 0);
    app::frmMainframe again(world.platform);
    again.Form_Load();
    EXPECT_FALSE(again.lblApplied.visible);
    EXPECT_EQ(Selected(again), "");
}

// A record of one generation on a machine of the other.
TEST(DriverUpdate, ToTheOtherGenerationSelectsWhatItsPageOffersAndNamesTheRest) {
    const struct {
        const char* fixture;
        const char* generation;
        const char* recorded;
        const char* secondLine;  // empty: every rate is offered
        const char* selected;
    } cases[] = {
        {"win2000.reg", "40.41", "800x600@85,1024x768@140",
         "1024x768 at 140 Hz is not offered by this driver's page", "800x600@85"},
        {"win2000.reg", "40.41", "640x480@144,800x600@140,1024x768@144,1600x1200@60",
         "640x480, 1024x768 at 144 Hz; 800x600 at 140 Hz are not offered by this driver's page",
         "1600x1200@60"},
        {"xp.reg", "28.32", "640x480@72,1280x1024@100", "", "640x480@72,1280x1024@100"},
        // Under the same driver the tables were taken away: the line says so.
        {"xp.reg", "40.41", "1024x768@85", "", "1024x768@85"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recorded);
        testing::SimWorld world;
        world.Load(c.fixture);
        PutRecord(world, c.generation, c.recorded);
        app::frmMainframe form(world.platform);
        form.Form_Load();
        const std::string& line = form.lblApplied.caption;
        EXPECT_EQ(line.rfind(std::string(c.fixture) == "xp.reg"
                                 ? "Your rates of 2026-12-01 are no longer in the driver's tables"
                                 : "Your rates of 2026-12-01 are not installed (driver then",
                             0),
                  0u)
            << line;
        const std::size_t lineBreak = line.find("\r\n");
        EXPECT_EQ(lineBreak == std::string::npos ? "" : line.substr(lineBreak + 2), c.secondLine);
        EXPECT_EQ(Selected(form), c.selected);
    }
}

TEST(RatesInEffect, SayHowManyOrWhichAreNotOffered) {
    Record record;
    record.rates[modes::RowOf(800, 600)] = 85;
    record.rates[modes::RowOf(1024, 768)] = 85;
    platform::sim::SimSystemInfo display;
    // A restart helps only when the tables hold the rates; when they do not, "Apply" does.
    const struct {
        std::vector<platform::DisplayMode> offered;
        bool installed;
        std::string text;
    } cases[] = {
        {{{1024, 768, 16, 85}, {800, 600, 32, 85}}, true, "2 of 2 offered"},
        {{{1024, 768, 32, 85}, {800, 600, 32, 75}},
         true,
         std::string("800x600 at 85 Hz not offered") + kRestartHint},
        {{{1024, 768, 32, 60}}, true, std::string("None of 2 offered") + kRestartHint},
        {{{1024, 768, 32, 60}}, false, std::string("None of 2 offered") + kApplyHint},
    };
    for (const auto& c : cases) {
        display.offeredModes = c.offered;
        const InEffect inEffect = RatesInEffect(record, display, c.installed);
        EXPECT_EQ(inEffect.text, c.text);
        EXPECT_EQ(inEffect.allOffered, &c == &cases[0]);
    }
    EXPECT_EQ(ScreenText({640, 480, 8, 1}), "640x480, 8 bit");  // the hardware's default rate
}

// "/reapply" on the machine of each case; the log is the default one.
TEST(Reapply, ActsOnlyWhenTheRecordIsNotInstalled) {
    const struct {
        const char* fixture;
        const char* before;  // an "/apply" run first, or rates put in the record
        int exitCode;
        const char* logLine;
        const char* table;  // the service key's tables afterwards
    } cases[] = {
        {"xp.reg", "", 0, "No rates have been applied on this machine: nothing to do.", ""},
        {"xp.reg", "/apply 1024x768@85", 0,
         "The rates applied on 2003-05-17 are installed: nothing to do.", "S 1024x768=8055;"},
        {"win2000.reg", "/apply 1024x768@85", 0,
         "The rates applied on 2003-05-17 are installed: nothing to do.", "S 1024,768,-,-75"},
        {"updated.reg", "", 0,
         "Your rates of 2026-12-07 are not installed (driver then 6.14.10.4523, now 6.14.10.5216)",
         "S 1600x1200=8048; 1152x864 1280x960 1280x1024=804B; 640x480 800x600 1024x768=8055;"},
        {"updated.reg", "1024x768@100", 1, "Give /force to write such rates all the same.", ""},
        // Without a driver version the record's generation serves, as in the window.
        {"no-version.reg", "", 0, "No rates have been applied on this machine: nothing to do.", ""},
        {"no-version.reg", "1024x768@85", 0,
         "Your rates of 2026-12-01 are not installed (driver then 6.14.10.4523, now not found)",
         "S 1024x768=8055;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + " " + c.before);
        testing::SimWorld world;
        world.Load(c.fixture);
        if (std::string(c.before).rfind("/apply", 0) == 0) {
            ASSERT_EQ(RunLine(world, c.before), 0);
        } else if (*c.before) {
            PutRecord(world, "40.41", c.before);
        }
        EXPECT_EQ(RunLine(world, "/reapply"), c.exitCode);
        const std::string log =
            *world.files.File("C:\\Program Files\\Quorvel\\Backups\\Quorvel.log");
        EXPECT_NE(log.find(std::string("\r\n") + c.logLine + "\r\n", log.rfind("/reapply")),
                  std::string::npos)
            << log;
        const auto table =
            world.registry.GetValue(kHkeyLocalMachine, registry::kServiceKey, "NV25_Modes_Delta");
        EXPECT_EQ(table ? std::string(table->data.begin(), table->data.end() - 1) : "", c.table);
        // What was written again is recorded under the driver it was written for.
        if (std::string(c.fixture) == "updated.reg" && c.exitCode == 0) {
            EXPECT_EQ(ReadRecord(world.registry)->driverVersion, "6.14.10.5216");
        }
    }
}

// Entries that cannot be read are named, shown without their contents, and never lost: /reapply
// refuses rather than write the record again without them.
TEST(DamagedRecord, IsNamedAndNeverRewritten) {
    testing::SimWorld world;
    world.Load("updated.reg");
    world.registry.PutValue(kHkeyLocalMachine, kAppliedKey, "640x480",
                            platform::sim::DwordValue(5000));
    world.registry.PutValue(kHkeyLocalMachine, kAppliedKey, "1024x768",
                            platform::sim::StringValue("85"));
    world.registry.PutValue(kHkeyLocalMachine, kAppliedKey, kDateValue,
                            platform::sim::StringValue("2026-12-07\r\nExit code 0"));
    world.registry.PutValue(kHkeyLocalMachine, kAppliedKey, kDriverValue,
                            platform::sim::StringValue(std::string(65536, '6')));
    const std::string record = world.registry.ExportRegText(kHkeyLocalMachine, kAppliedKey);
    app::frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.lblApplied.caption,
              "Your rates of an unknown date are not installed (driver then not found, now "
              "6.14.10.5216)\r\nThe record of the rates applied cannot be read whole: 640x480, "
              "1024x768, Date, DriverVersion");
    EXPECT_EQ(RunLine(world, "/reapply"), 1);
    const std::string log = *world.files.File("C:\\Program Files\\Quorvel\\Backups\\Quorvel.log");
    EXPECT_NE(log.find("\r\nRefused: The record of the rates applied cannot be read whole: "
                       "640x480, 1024x768, Date, DriverVersion. The record is left as it is, so "
                       "that nothing is lost.\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("\r\nExit code 0"), std::string::npos);
    EXPECT_EQ(world.registry.ExportRegText(kHkeyLocalMachine, kAppliedKey), record);
}

// Choosing the generation by hand selects the recorded rates, as start-up does for a known one.
TEST(DriverUpdate, TheGenerationChosenByHandSelectsTheRecordedRates) {
    testing::SimWorld world;
    world.Load("no-version.reg");
    PutRecord(world, "40.41", "800x600@75,1024x768@85");
    app::frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(Selected(form), "");  // no settings page yet
    world.prompt.Expect("Choice of Detoantor version", platform::kIdOk);
    form.ClickGenerationOption(true);
    EXPECT_EQ(Selected(form), "800x600@75,1024x768@85");
}

// Undoing a change puts the record back as it was before it: undoing /reapply keeps the rates
// remembered, and they read as not installed again.
TEST(DriverUpdate, UndoingAReapplyKeepsTheRecord) {
    testing::SimWorld world;
    world.Load("updated.reg");
    const Record before = *ReadRecord(world.registry);
    ASSERT_EQ(RunLine(world, "/reapply"), 0);
    EXPECT_EQ(ReadRecord(world.registry)->driverVersion, "6.14.10.5216");
    world.prompt.Expect("Restore a backup", platform::kIdYes).Expect("Completion", platform::kIdNo);
    const auto& written = world.files.Written();
    const auto undo = std::find_if(written.begin(), written.end(), [](const std::string& path) {
        return path.find("Quorvel-undo-") != std::string::npos;
    });
    ASSERT_NE(undo, written.end());
    ASSERT_EQ(RunLine(world, "/restore \"" + *undo + "\""), 0);
    const std::optional<Record> after = ReadRecord(world.registry);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->rates, before.rates);
    EXPECT_EQ(after->driverVersion, "6.14.10.4523");
    EXPECT_EQ(after->date, "2026-12-07");
    app::frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_TRUE(form.lblApplied.visible);
}

}  // namespace
}  // namespace quorvel::applied
