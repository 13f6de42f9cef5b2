// "/apply": its arguments, its refusals and exit codes, and its log, on simulated machines. No
// box may be shown: the world's prompt fails the test on any.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/Unattended.h"
#include "registry/DriverKeys.h"

namespace quorvel::app {
namespace {

using platform::kHkeyLocalMachine;
using platform::sim::RegCall;

struct ParseCase {
    const char* line;
    std::string refusal;  // empty: accepted
    std::size_t modes;
    std::optional<bool> detonator40;
    std::optional<bool> formatOn;
    bool reboot;
    std::string log;
};

TEST(ApplyArguments, AreReadOrRefusedNamingWhat) {
    const ParseCase cases[] = {
        {"/apply 1024x768@85,800x600@100", "", 2, {}, {}, false, ""},
        {"-APPLY 1024X768@85, 800x600@100 /Generation 40 /format off /reboot /force", "", 2, true,
         false, true, ""},
        {"/apply 640x480@60 /noreboot /log \"C:\\My logs\\q.log\"",
         "",
         1,
         {},
         {},
         false,
         "C:\\My logs\\q.log"},
        {"/apply", kApplyNeedsModes, 0, {}, {}, false, ""},
        {"/apply /force", kApplyNeedsModes, 0, {}, {}, false, ""},
        {"/apply 1024x768", std::string(kApplyBadMode) + "1024x768", 0, {}, {}, false, ""},
        {"/apply 1024x768@85Hz",
         std::string(kApplyBadMode) + "1024x768@85Hz",
         0,
         {},
         {},
         false,
         ""},
        {"/apply 1024x768@-85", std::string(kApplyBadMode) + "1024x768@-85", 0, {}, {}, false, ""},
        {"/apply 1024x768@85,1024x768@100",
         std::string(kApplyTwice) + "1024x768@100",
         2,
         {},
         {},
         false,
         ""},
        {"/apply 1024x768@85 /generation 41", kApplyBadGeneration, 1, {}, {}, false, ""},
        {"/apply 1024x768@85 /format", kApplyBadFormat, 1, {}, {}, false, ""},
        {"/apply 1024x768@85 /log", kApplyNoLogFile, 1, {}, {}, false, ""},
        {"/apply 1024x768@85 /reboot /noreboot", kApplyRebootBoth, 1, {}, {}, false, ""},
        {"/apply 1024x768@85 /quiet", std::string(kApplyUnknown) + "/quiet", 1, {}, {}, false, ""},
        {"/apply 1024x768@85 /FORMAT On", "", 1, {}, true, false, ""},
        {"/apply 1024x768@85 /log /force", kApplyNoLogFile, 1, {}, {}, false, ""},
        {"/reapply /noreboot /log q.log", "", 0, {}, {}, false, "q.log"},
        {"/reapply 1024x768@85", std::string(kApplyUnknown) + "1024x768@85", 0, {}, {}, false, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLine command = ParseCommandLine(c.line);
        EXPECT_EQ(command.action, std::string(c.line).find("reapply") == std::string::npos
                                      ? CommandLine::Action::Apply
                                      : CommandLine::Action::Reapply);
        EXPECT_EQ(command.text, c.refusal);
        if (c.refusal.empty()) {
            EXPECT_EQ(command.modes.size(), c.modes);
            EXPECT_EQ(command.detonator40, c.detonator40);
            EXPECT_EQ(command.formatOn, c.formatOn);
            EXPECT_EQ(command.reboot, c.reboot);
            EXPECT_EQ(command.file, c.log);
        }
    }
    const CommandLine two = ParseCommandLine("/apply 1024x768@85,800x600@100");
    EXPECT_EQ(two.modes[1].width, 800);
    EXPECT_EQ(two.modes[1].rate, 100);
}

struct RunCase {
    const char* name;
    const char* fixture;
    const char* arguments;
    int exitCode;
    const char* logLine;  // a line the log must hold
    const char* table;    // what the service key's tables hold afterwards; null: unchanged
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr const char* kLogPath = "C:\\Program Files\\Quorvel\\Backups\\Quorvel.log";

class ApplyRuns : public ::testing::TestWithParam<RunCase> {
  protected:
    int Run(const char* fixture, const std::string& arguments) {
        world.Load(fixture);
        before = world.registry.ExportRegText(kHkeyLocalMachine, registry::kServiceKey);
        return RunCommandLine(ParseCommandLine(arguments), world.platform);
    }
    std::string Log() const {
        const std::string* log = world.files.File(kLogPath);
        return log ? *log : std::string();
    }
    std::string Table() const {
        const auto value =
            world.registry.GetValue(kHkeyLocalMachine, registry::kServiceKey, "NV25_Modes_Delta");
        return value ? std::string(value->data.begin(), value->data.end() - 1) : "";
    }
    testing::SimWorld world;
    std::string before;
};

TEST_P(ApplyRuns, ExitWithTheirCodeAndLogWhy) {
    const RunCase& c = GetParam();
    EXPECT_EQ(Run(c.fixture, std::string("/apply ") + c.arguments), c.exitCode);
    const std::string log = Log();
    EXPECT_NE(log.find(std::string("\r\n") + c.logLine + "\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\r\nExit code " + std::to_string(c.exitCode) + "\r\n"), std::string::npos);
    if (c.table) {
        EXPECT_EQ(Table(), c.table);
    } else {
        EXPECT_EQ(world.registry.ExportRegText(kHkeyLocalMachine, registry::kServiceKey), before);
    }
    EXPECT_TRUE(world.restart.Calls().empty());
}

const char* const kHexTable = "S 800x600=804B; 1024x768=8055;";

INSTANTIATE_TEST_SUITE_P(
    Unattended, ApplyRuns,
    ::testing::Values(
        RunCase{"Applied", "xp.reg", "1024x768@85,800x600@75", 0,
                "Format question: Yes, the format is switched on", kHexTable},
        RunCase{"FormatLeftOff", "xp.reg", "1024x768@85,800x600@75 /format off", 0,
                "Format question: No (/format off)", kHexTable},
        RunCase{"Compressed", "win2000.reg", "1024x768@85", 0,
                "Generation: 28.32, compressed mode format", "S 1024,768,-,-75"},
        RunCase{"NoDriver", "none.reg", "1024x768@85", 1,
                "Refused: CRITICAL: The Detonator driver was not found on your system. This "
                "patch does only work with the \"nVidia Detonator driver\" and it was tested with "
                "the official version.",
                nullptr},
        RunCase{"NoVersion", "no-version.reg", "1024x768@85", 1,
                "Refused: The driver version was not found: give /generation 28 or /generation "
                "40.",
                nullptr},
        RunCase{"NoVersionGenerationGiven", "no-version.reg", "1024x768@85 /generation 40", 0,
                "Generation: 40.41, hexadecimal compressed mode format", "S 1024x768=8055;"},
        RunCase{"GenerationContradicted", "xp.reg", "1024x768@85 /generation 28", 1,
                "Refused: /generation contradicts the driver version found.", nullptr},
        RunCase{"RateNotOnThePage", "win2000.reg", "1024x768@140", 1,
                "Refused: 1024x768 at 140 Hz is not offered by the settings page of this driver.",
                nullptr},
        RunCase{"ResolutionNotOnThePage", "xp.reg", "1280x720@60", 1,
                "Refused: 1280x720 at 60 Hz is not offered by the settings page of this driver.",
                nullptr},
        RunCase{"Warned", "xp.reg", "1024x768@100", 1,
                "Refused: \"Apply\" would warn about a rate above 85 Hz in the high resolution "
                "area",
                nullptr},
        RunCase{"WarnedAndForced", "xp.reg", "1024x768@100,640x400@85 /force", 0,
                "Written all the same (/force): \"Apply\" would warn about a rate above 75 Hz in "
                "the low resolution area",
                "S 640x400=8055; 1024x768=8064;"},
        RunCase{"BeyondTheMonitor", "monitor-70khz.reg", "1600x1200@85", 1,
                "Give /force to write such rates all the same.", nullptr},
        RunCase{"BadArguments", "xp.reg", "1024x768", 1,
                "Refused: Not a mode of the form 1024x768@85: 1024x768", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyRuns, WithoutABackupNothingIsWritten) {
    world.files.DenyWrites(world.files.myDocuments, 5);
    world.files.DenyWrites("C:\\Program Files\\Quorvel\\Backups", 5);
    EXPECT_EQ(Run("xp.reg", "/apply 1024x768@85 /log C:\\q.log"), 1);
    const std::string log = *world.files.File("C:\\q.log");
    EXPECT_NE(log.find("\r\nRefused: The undo file could not be made whole, so nothing was "
                       "written.\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(world.registry.ExportRegText(kHkeyLocalMachine, registry::kServiceKey), before);
}

TEST_F(ApplyRuns, AFailedWriteGivesThreeAndNamesTheValue) {
    world.registry.InjectFailure(
        {RegCall::Set, 5, registry::kServiceKey, std::string("NV15_Modes_Delta")});
    EXPECT_EQ(Run("xp.reg", "/apply 1024x768@85 /reboot /log C:\\q.log"), 3);
    const std::string log = *world.files.File("C:\\q.log");
    EXPECT_NE(log.find("\r\nFailed: HKEY_LOCAL_MACHINE\\" + std::string(registry::kServiceKey) +
                       "\\NV15_Modes_Delta\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\r\n1 of 54 values could not be written"), std::string::npos);
    EXPECT_NE(log.find("\r\nBox \"Error\": Unknown Registry-error occured."), std::string::npos);
    EXPECT_TRUE(world.restart.Calls().empty());  // /reboot only after a full success
}

// Before anything is changed the log must take its first lines, in the file given or in a backup
// folder; when it cannot, the run says why on standard error and changes nothing.
TEST_F(ApplyRuns, ALogThatCannotBeWrittenStopsTheRunBeforeAnyChange) {
    world.registry.SetMessageText(5, "Access is denied.\r\n");
    world.files.PutFolder("C:\\Locked");
    world.files.DenyWrites("C:\\Locked", 5);
    EXPECT_EQ(Run("xp.reg", "/apply 1024x768@85 /log C:\\Locked\\q.log"), 1);
    EXPECT_EQ(world.files.standardError,
              "Quorvel changed nothing: its log could not be written:\r\n\r\nC:\\Locked\\q.log\r\n"
              "Access is denied.\r\n");
    world.files.standardError.clear();
    world.files.DenyWrites("C:\\Program Files\\Quorvel\\Backups", 5);
    world.files.DenyWrites(world.files.myDocuments, 5);
    EXPECT_EQ(RunCommandLine(ParseCommandLine("/apply 1024x768@85"), world.platform), 1);
    EXPECT_NE(world.files.standardError.find("\r\n\r\n" + world.files.myDocuments +
                                             "\\Quorvel backups\r\nAccess is denied."),
              std::string::npos)
        << world.files.standardError;
    EXPECT_EQ(world.registry.ExportRegText(kHkeyLocalMachine, registry::kServiceKey), before);
    EXPECT_TRUE(world.files.Written().empty());
}

// A second run of the same /apply changes nothing: no write, no undo file, exit code 0.
TEST_F(ApplyRuns, AChangeAlreadyMadeWritesNothing) {
    const auto undoFiles = [&] {
        const auto& written = world.files.Written();
        return std::count_if(written.begin(), written.end(), [](const std::string& path) {
            return path.find("Quorvel-undo-") != std::string::npos;
        });
    };
    ASSERT_EQ(Run("xp.reg", "/apply 1024x768@85"), 0);
    ASSERT_EQ(undoFiles(), 1);
    world.registry.ClearCalls();
    EXPECT_EQ(RunCommandLine(ParseCommandLine("/apply 1024x768@85"), world.platform), 0);
    EXPECT_NE(Log().find("\r\nAlready installed: every value holds its new data, so nothing was "
                         "written.\r\nExit code 0\r\n"),
              std::string::npos)
        << Log();
    for (const auto& call : world.registry.Calls()) {
        EXPECT_NE(call.call, RegCall::Set) << call.keyPath << " " << call.name;
    }
    EXPECT_EQ(undoFiles(), 1);
}

TEST_F(ApplyRuns, RebootsAfterAFullSuccessAndAppendsToTheLog) {
    world.files.PutFile(kLogPath, "earlier runs\r\n");
    // The log says so before Windows is asked to restart.
    std::string logAtRestart;
    world.restart.onExitWindows = [&] { logAtRestart = Log(); };
    EXPECT_EQ(Run("xp.reg", "/apply 1024x768@85 /reboot"), 0);
    EXPECT_NE(logAtRestart.find("\r\nRestarting Windows (/reboot).\r\n"), std::string::npos)
        << logAtRestart;
    // The first line of a run says when, where, as whom, and the command line as given.
    EXPECT_EQ(Log().rfind("earlier runs\r\n2003-05-17 21:04:09  ANN-PC (Ann)  quorvel.exe /apply "
                          "1024x768@85 /reboot\r\n",
                          0),
              0u)
        << Log();
    ASSERT_FALSE(world.restart.Calls().empty());
    EXPECT_EQ(world.restart.Calls().back(), "ExitWindowsEx(2,0)");
}

}  // namespace
}  // namespace quorvel::app
