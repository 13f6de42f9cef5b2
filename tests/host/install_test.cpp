// Installing a mode table: which keys are found, what the user is asked, and what ends up in the
// registry, value by value and in order.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "install/Install.h"
#include "modes/Composers.h"
#include "registry/mdlRegistry.h"
#include "restart/Restart.h"

namespace quorvel::install {
namespace {

using platform::kHkeyLocalMachine;
using platform::kIdNo;
using platform::kIdYes;
using platform::sim::DwordValue;
using platform::sim::MultiStringValue;
using platform::sim::RawValue;
using platform::sim::RegCall;
using platform::sim::StringValue;

const std::string kVideoRoot = "SYSTEM\\CurrentControlSet\\Control\\Video";
const std::string kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
const std::string kNvidiaGuid = "{7C1D4A20-5B1E-4E1A-9D3C-2F0B8E6A1C55}";
const std::string kOtherGuid = "{3A9E0F11-0C2D-4B7E-8A61-D5E2B4C7F903}";

using testing::kModesDeltaNames;

constexpr const char* kFormatQuestion =
    "Your driver is NOT using the compressed mode format. However, it is capable of using it. In "
    "order for the fix to work, compressed mode format must be used. Should the fix turn it on?";
constexpr const char* kConfirmationClosing =
    "The tool has gathered enough information to alter the refresh rate settings. Note, that this "
    "action will delete your old refresh rate settings. Note also, that resolutions, which were "
    "not given a refresh rate setting by you, might not be available anymore after execution of "
    "this fix. Proceed on your own risk?";
constexpr const char* kCompletion =
    "If no registry errors occured, everything should be fine. You'll have to reboot the system "
    "for the changes to take effect. Reboot now?";

std::string Confirmation(const std::string& table, const std::string& keyPath) {
    return "Resolution table:\r\n\"" + table + "\"\r\n\r\nRegistry key:\r\nHKEY_LOCAL_MACHINE\\" +
           keyPath + "\r\n\r\n" + kConfirmationClosing;
}

std::string DisplayKey(const std::string& subKey) {
    return kVideoRoot + "\\" + subKey + "\\0000";
}

class InstallTest : public ::testing::Test {
  protected:
    InstallTest() {
        world.registry.PutKey(kHkeyLocalMachine, kVideoRoot);
        world.registry.PutKey(kHkeyLocalMachine, kServiceKey);
        world.registry.SetMessageText(5, "Access is denied.\r\n");
        world.registry.SetMessageText(2, "The system cannot find the file specified.\r\n");
        opt[6][4] = true;  // 640x480 at 85 Hz
        opt[7][3] = true;  // 800x600 at 75 Hz
        cmb.fill(0);
        cmb[9] = testing::Item(85);  // 1024x768
    }

    void AddDisplayKey(const std::string& subKey, RawValue driver) {
        world.registry.PutKey(kHkeyLocalMachine, DisplayKey(subKey));
        world.registry.PutValue(kHkeyLocalMachine, DisplayKey(subKey), "InstalledDisplayDrivers",
                                std::move(driver));
    }

    enum class InstallOutcome { Returned, ProgramEnds };

    // The installation's steps as "Apply" takes them, without the backup.
    InstallOutcome Run(bool detonator40 = false, bool compressedActive = false) {
        InstallPlan plan = PlanInstallation(
            detonator40 ? modes::BuildHexModes(cmb) : modes::BuildCompressedModes(opt),
            registryModule);
        SettleFormat(plan, compressedActive, world.prompt);
        if (!ConfirmInstallation(plan, world.prompt)) {
            return InstallOutcome::Returned;
        }
        WritePlan(plan, registryModule);
        return restart::OfferRestart(world.prompt, world.restart, "") ? InstallOutcome::ProgramEnds
                                                                      : InstallOutcome::Returned;
    }

    // The answers of a user who switches the format on, confirms, and stays in the program.
    void AnswerYesYesThenStay() {
        world.prompt.Expect("Almost there", kIdYes)
            .Expect("The final frontier", kIdYes)
            .Expect("Completion", kIdNo);
    }

    // The values a key holds, in the order they were first written.
    std::vector<std::string> Names(const std::string& keyPath) const {
        return world.registry.ValueNames(kHkeyLocalMachine, keyPath);
    }

    // Checks that `keyPath` holds the table in all 26 values, written in their fixed order, with
    // or without the format switch after them, and nothing else new.
    void ExpectTableWritten(const std::string& keyPath, const std::string& table, bool formatSwitch,
                            std::vector<std::string> existing = {}) {
        SCOPED_TRACE(keyPath);
        std::vector<std::string> expected = std::move(existing);
        expected.insert(expected.end(), kModesDeltaNames.begin(), kModesDeltaNames.end());
        if (formatSwitch) {
            expected.push_back("UseCompressedModeFormat");
        }
        EXPECT_EQ(Names(keyPath), expected);
        for (const std::string& name : kModesDeltaNames) {
            const auto value = world.registry.GetValue(kHkeyLocalMachine, keyPath, name);
            ASSERT_TRUE(value.has_value()) << name;
            EXPECT_EQ(value->type, platform::kRegSz) << name;
            EXPECT_EQ(value->data, StringValue(table).data) << name;
        }
        if (formatSwitch) {
            const auto value =
                world.registry.GetValue(kHkeyLocalMachine, keyPath, "UseCompressedModeFormat");
            ASSERT_TRUE(value.has_value());
            EXPECT_EQ(value->type, platform::kRegDword);
            EXPECT_EQ(value->data, DwordValue(1).data);
        }
    }

    // Key paths of the value writes, in the order they were made, one entry per run of writes.
    std::vector<std::string> WrittenKeysInOrder() const {
        std::vector<std::string> keys;
        for (const auto& call : world.registry.Calls()) {
            if (call.call == RegCall::Set && (keys.empty() || keys.back() != call.keyPath)) {
                keys.push_back(call.keyPath);
            }
        }
        return keys;
    }

    std::size_t SetCallCount() const {
        std::size_t count = 0;
        for (const auto& call : world.registry.Calls()) {
            count += call.call == RegCall::Set ? 1 : 0;
        }
        return count;
    }

    quorvel::testing::SimWorld world;
    registry::mdlRegistry registryModule{world.registry, world.prompt};
    modes::CompressedSelection opt{};
    modes::HexSelection cmb;
    const std::string compressedTable = "S 640,480,-,-75;800,600,-,-72";
    const std::string hexTable = "S 1024x768=8055;";
};

TEST_F(InstallTest, WritesTheCompressedTableIntoDisplayAndServiceKey) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    AnswerYesYesThenStay();

    EXPECT_EQ(Run(), InstallOutcome::Returned);

    const auto& shown = world.prompt.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, kFormatQuestion);
    EXPECT_EQ(shown[0].style, 0x24u);  // MB_YESNO | MB_ICONQUESTION
    EXPECT_EQ(shown[1].text, Confirmation(compressedTable, DisplayKey(kNvidiaGuid)));
    EXPECT_EQ(shown[1].style, 0x44u);  // MB_YESNO | MB_ICONINFORMATION
    EXPECT_EQ(shown[2].text, kCompletion);
    EXPECT_EQ(shown[2].style, 0x24u);

    ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, true, {"InstalledDisplayDrivers"});
    ExpectTableWritten(kServiceKey, compressedTable, true);
    EXPECT_TRUE(world.restart.Calls().empty());
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(InstallTest, Detonator40WritesTheHexTable) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    AnswerYesYesThenStay();

    Run(true);

    ASSERT_EQ(world.prompt.Shown().size(), 3u);
    EXPECT_EQ(world.prompt.Shown()[1].text, Confirmation(hexTable, DisplayKey(kNvidiaGuid)));
    ExpectTableWritten(DisplayKey(kNvidiaGuid), hexTable, true, {"InstalledDisplayDrivers"});
    ExpectTableWritten(kServiceKey, hexTable, true);
}

TEST_F(InstallTest, EmptySelectionIsWrittenAsIs) {
    opt = {};
    world.prompt.Expect("Almost there", kIdNo)
        .Expect("The final frontier", kIdYes)
        .Expect("Completion", kIdNo);
    Run();
    ExpectTableWritten(kServiceKey, "S", false);
}

TEST_F(InstallTest, TwoDisplayKeysAreWrittenInEnumerationOrderAndTheLaterIsNamed) {
    // Created in reverse: enumeration order, not creation order, decides.
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    AddDisplayKey(kOtherGuid, StringValue("nv4_disp"));
    AnswerYesYesThenStay();

    Run();

    ASSERT_EQ(world.prompt.Shown().size(), 3u);
    EXPECT_EQ(world.prompt.Shown()[1].text, Confirmation(compressedTable, DisplayKey(kNvidiaGuid)));
    ExpectTableWritten(DisplayKey(kOtherGuid), compressedTable, true, {"InstalledDisplayDrivers"});
    ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, true, {"InstalledDisplayDrivers"});
    ExpectTableWritten(kServiceKey, compressedTable, true);
    const std::string hklm = "HKEY_LOCAL_MACHINE\\";
    EXPECT_EQ(WrittenKeysInOrder(),
              (std::vector<std::string>{hklm + DisplayKey(kOtherGuid),
                                        hklm + DisplayKey(kNvidiaGuid), hklm + kServiceKey}));
}

struct DriverNameCase {
    const char* name;
    RawValue driver;
    bool matches;
};

void PrintTo(const DriverNameCase& c, std::ostream* os) {
    *os << c.name;
}

RawValue WithTrailingBytes() {
    RawValue value = StringValue("nv4_disp");
    for (char c : std::string("junk")) {
        value.data.push_back(static_cast<std::uint8_t>(c));
    }
    value.data.push_back(0);
    return value;
}

class DriverNames : public InstallTest, public ::testing::WithParamInterface<DriverNameCase> {};

TEST_P(DriverNames, OnlyAnExactFirstStringMatches) {
    AddDisplayKey(kNvidiaGuid, GetParam().driver);
    AnswerYesYesThenStay();

    Run();

    const std::string named = GetParam().matches ? DisplayKey(kNvidiaGuid) : kServiceKey;
    ASSERT_EQ(world.prompt.Shown().size(), 3u);
    EXPECT_EQ(world.prompt.Shown()[1].text, Confirmation(compressedTable, named));
    if (GetParam().matches) {
        ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, true,
                           {"InstalledDisplayDrivers"});
    } else {
        EXPECT_EQ(Names(DisplayKey(kNvidiaGuid)),
                  std::vector<std::string>{"InstalledDisplayDrivers"});
    }
    ExpectTableWritten(kServiceKey, compressedTable, true);
}

INSTANTIATE_TEST_SUITE_P(
    Install, DriverNames,
    ::testing::Values(
        DriverNameCase{"Exact", StringValue("nv4_disp"), true},
        DriverNameCase{"MultiStringFirst", MultiStringValue({"nv4_disp", "vga"}), true},
        DriverNameCase{"MultiStringSecond", MultiStringValue({"vga", "nv4_disp"}), false},
        DriverNameCase{"TextAfterTheFirstNul", WithTrailingBytes(), true},
        DriverNameCase{"UpperCase", StringValue("NV4_DISP"), false},
        DriverNameCase{"OneLetterUpper", StringValue("nv4_Disp"), false},
        DriverNameCase{"FurtherCharacters", StringValue("nv4_disp.dll"), false},
        DriverNameCase{"TrailingBlank", StringValue("nv4_disp "), false},
        DriverNameCase{"OtherDriver", StringValue("ati2dvag"), false},
        DriverNameCase{"Empty", StringValue(""), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallTest, SubkeysWithoutDisplayKeyOrDriverValueAreSkippedSilently) {
    // Both sort before the NVIDIA subkey; the prompt fails the test on any error box.
    world.registry.PutKey(kHkeyLocalMachine,
                          kVideoRoot + "\\{0A000000-0000-0000-0000-000000000000}\\Video");
    world.registry.PutKey(kHkeyLocalMachine, DisplayKey("{0B000000-0000-0000-0000-000000000000}"));
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    AnswerYesYesThenStay();

    Run();

    ASSERT_EQ(world.prompt.Shown().size(), 3u);
    EXPECT_EQ(world.prompt.Shown()[1].text, Confirmation(compressedTable, DisplayKey(kNvidiaGuid)));
    ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, true, {"InstalledDisplayDrivers"});
    EXPECT_TRUE(Names(DisplayKey("{0B000000-0000-0000-0000-000000000000}")).empty());
    EXPECT_TRUE(world.prompt.Unexpected().empty());
}

TEST_F(InstallTest, NoMatchingDisplayKeyNamesAndWritesTheServiceKeyAlone) {
    AddDisplayKey(kOtherGuid, StringValue("ati2dvag"));
    AnswerYesYesThenStay();

    Run();

    ASSERT_EQ(world.prompt.Shown().size(), 3u);
    const std::string confirmation = world.prompt.Shown()[1].text;
    EXPECT_EQ(confirmation, Confirmation(compressedTable, kServiceKey));
    EXPECT_NE(confirmation.find(
                  "\r\nHKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\nv\\Device0\r\n"),
              std::string::npos);
    EXPECT_EQ(WrittenKeysInOrder(), std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + kServiceKey});
    ExpectTableWritten(kServiceKey, compressedTable, true);
}

TEST_F(InstallTest, MissingVideoRootIsNoError) {
    world.registry.DeleteKey(kHkeyLocalMachine, kVideoRoot);
    AnswerYesYesThenStay();

    Run();

    ASSERT_EQ(world.prompt.Shown().size(), 3u);
    EXPECT_EQ(world.prompt.Shown()[1].text, Confirmation(compressedTable, kServiceKey));
    ExpectTableWritten(kServiceKey, compressedTable, true);
}

TEST_F(InstallTest, NoToTheFormatQuestionWritesTablesWithoutTheSwitch) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    world.prompt.Expect("Almost there", kIdNo)
        .Expect("The final frontier", kIdYes)
        .Expect("Completion", kIdNo);

    Run();

    ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, false,
                       {"InstalledDisplayDrivers"});
    ExpectTableWritten(kServiceKey, compressedTable, false);
}

TEST_F(InstallTest, CompressedFormatAlreadyActiveAsksNoQuestionAndWritesNoSwitch) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    world.prompt.Expect("The final frontier", kIdYes).Expect("Completion", kIdNo);

    Run(false, true);

    EXPECT_EQ(world.prompt.Shown().size(), 2u);
    ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, false,
                       {"InstalledDisplayDrivers"});
    ExpectTableWritten(kServiceKey, compressedTable, false);
}

TEST_F(InstallTest, NoToTheConfirmationWritesNothing) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    world.prompt.Expect("Almost there", kIdYes).Expect("The final frontier", kIdNo);

    EXPECT_EQ(Run(), InstallOutcome::Returned);

    EXPECT_EQ(world.prompt.Shown().size(), 2u);
    EXPECT_EQ(SetCallCount(), 0u);
    EXPECT_EQ(Names(DisplayKey(kNvidiaGuid)), std::vector<std::string>{"InstalledDisplayDrivers"});
    EXPECT_TRUE(Names(kServiceKey).empty());
    EXPECT_TRUE(world.restart.Calls().empty());
}

TEST_F(InstallTest, YesToCompletionRequestsTheRebootAndEndsTheProgram) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    world.prompt.Expect("Almost there", kIdYes)
        .Expect("The final frontier", kIdYes)
        .Expect("Completion", kIdYes);

    EXPECT_EQ(Run(), InstallOutcome::ProgramEnds);

    ASSERT_FALSE(world.restart.Calls().empty());
    EXPECT_EQ(world.restart.Calls().back(), "ExitWindowsEx(2,0)");
    EXPECT_EQ(world.prompt.Shown().size(), 3u);
}

TEST_F(InstallTest, ProgramEndsEvenWhenTheRebootCannotBeRequested) {
    world.restart.privilegeMissing = true;
    world.prompt.Expect("Almost there", kIdYes)
        .Expect("The final frontier", kIdYes)
        .Expect("Completion", kIdYes)
        .Expect("Failure", platform::kIdOk);

    EXPECT_EQ(Run(), InstallOutcome::ProgramEnds);

    EXPECT_EQ(world.prompt.PendingCount(), 0u);
    for (const std::string& call : world.restart.Calls()) {
        EXPECT_EQ(call.find("ExitWindowsEx"), std::string::npos);
    }
}

TEST_F(InstallTest, AFailingWriteIsReportedOnceAndTheRestGoesOn) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    world.registry.InjectFailure({RegCall::Set, platform::kErrorAccessDenied,
                                  DisplayKey(kNvidiaGuid), std::string("NV15_Modes_Delta")});
    world.prompt.Expect("Almost there", kIdYes)
        .Expect("The final frontier", kIdYes)
        .Expect("Error", platform::kIdOk)
        .Expect("Completion", kIdNo);

    EXPECT_EQ(Run(), InstallOutcome::Returned);

    EXPECT_EQ(world.prompt.PendingCount(), 0u);
    ASSERT_EQ(world.prompt.Shown().size(), 4u);
    EXPECT_EQ(world.prompt.Shown()[2].text,
              "Unknown Registry-error occured. System-response: Access is denied.\r\n");
    EXPECT_EQ(world.prompt.Shown()[2].style, 0x10u);

    std::vector<std::string> expected = {"InstalledDisplayDrivers"};
    for (const std::string& name : kModesDeltaNames) {
        if (name != "NV15_Modes_Delta") {
            expected.push_back(name);
        }
    }
    expected.push_back("UseCompressedModeFormat");
    EXPECT_EQ(Names(DisplayKey(kNvidiaGuid)), expected);
    ExpectTableWritten(kServiceKey, compressedTable, true);
    EXPECT_EQ(SetCallCount(), 2u * 27u);
}

TEST_F(InstallTest, MissingServiceKeyFailsEveryOneOfItsWrites) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    world.registry.DeleteKey(kHkeyLocalMachine, kServiceKey);
    world.prompt.Expect("Almost there", kIdNo).Expect("The final frontier", kIdYes);
    for (int i = 0; i < 26; ++i) {
        world.prompt.Expect("Error", platform::kIdOk);
    }
    world.prompt.Expect("Completion", kIdNo);

    Run();

    EXPECT_EQ(world.prompt.PendingCount(), 0u);
    ExpectTableWritten(DisplayKey(kNvidiaGuid), compressedTable, false,
                       {"InstalledDisplayDrivers"});
    EXPECT_FALSE(world.registry.HasKey(kHkeyLocalMachine, kServiceKey));
}

TEST_F(InstallTest, RewritingReplacesTheOldTablesInPlace) {
    AddDisplayKey(kNvidiaGuid, StringValue("nv4_disp"));
    for (int run = 0; run < 2; ++run) {
        AnswerYesYesThenStay();
    }
    Run();
    opt = {};
    opt[18][0] = true;  // 2048x1536 at 60 Hz
    Run();
    ExpectTableWritten(DisplayKey(kNvidiaGuid), "S 2048,1536,-,70-", true,
                       {"InstalledDisplayDrivers"});
    EXPECT_EQ(world.prompt.Shown().size(), 6u);  // the format question is asked again
}

}  // namespace
}  // namespace quorvel::install
