// The undo file and the way back: what the file holds, what the reader refuses, what the user is
// asked when the backup cannot be made, and the restore from the menu and the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frmMainframe.h"
#include "applied/Applied.h"
#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"

namespace quorvel::backup {
namespace {

using platform::kHkeyLocalMachine;
using platform::kIdNo;
using platform::kIdYes;
using registry::ValueData;

const std::string kService = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
const std::string kDisplay =
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}\\0000";
const std::string kProgramFolder = "C:\\Program Files\\Quorvel\\Backups";
const std::string kUndoName = "\\Quorvel-undo-20030517-210409.reg";

ValueData Data(std::uint32_t type, const std::string& bytes) {
    return ValueData{type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

TEST(UndoFile, GivesBackEveryValueByteForByteInRegeditsOwnNotation) {
    std::string binary;
    for (int i = 0; i < 40; ++i) {
        binary += static_cast<char>(i * 7);
    }
    const std::vector<SavedValue> values = {
        {kService, "NV25_Modes_Delta", Data(1, std::string("S 1024x768=8055;\0", 17))},
        {kService, "NV20_Modes_Delta", Data(1, std::string("say \"75\" C:\\t\\ \xE9\xFF\0", 18))},
        {kService, "NV17_Modes_Delta", Data(1, std::string("\0", 1))},
        {kService, "NV15_Modes_Delta", Data(1, "")},
        {kService, "NV11_Modes_Delta", Data(1, std::string("a\0b\r\n\0", 7))},
        {kService, "NV10_Modes_Delta", Data(7, std::string("a\0b\"\\\0\0", 7))},
        {kService, "NV4_Modes_Delta", Data(3, binary)},
        {kService, "NV5_Modes_Delta", Data(2, std::string("%x%\0", 4))},
        {kService, "UseCompressedModeFormat", Data(4, std::string("\x2A\0\0\0", 4))},
        {kDisplay, "NV20_1_Modes_Delta", Data(4, "\x01\x02")},
        {kDisplay, "NV20_2_Modes_Delta", Data(0, "")},
        {kDisplay, "NV20_3_Modes_Delta", Data(0x12345678, "\x01")},
        {kDisplay, "NV0A_Modes_Delta", std::nullopt},
    };
    const std::string text = FormatUndoFile({"made for a test", ""}, values);
    for (const char* line : {
             "REGEDIT4\r\n; made for a test\r\n;\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\",
             "\r\n\"NV20_Modes_Delta\"=\"say \\\"75\\\" C:\\\\t\\\\ \xE9\xFF\"\r\n",
             "\r\n\"NV17_Modes_Delta\"=\"\"\r\n\"NV15_Modes_Delta\"=hex(1):\r\n",
             "\r\n\"NV10_Modes_Delta\"=hex(7):61,00,62,22,5c,00,00\r\n",
             ",70,77,\\\r\n  7e,",  // hex data wrapped after a comma, as regedit does
             "\r\n\"UseCompressedModeFormat\"=dword:0000002a\r\n\r\n[HKEY_LOCAL_MACHINE\\",
             "\r\n\"NV20_1_Modes_Delta\"=hex(4):01,02\r\n\"NV20_2_Modes_Delta\"=hex(0):\r\n",
             "\r\n\"NV20_3_Modes_Delta\"=hex(12345678):01\r\n\"NV0A_Modes_Delta\"=-\r\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_EQ(text.substr(text.size() - 35), "\r\n; End of the Quorvel undo file.\r\n");

    const ParsedUndoFile parsed = ParseUndoFile(text);
    ASSERT_FALSE(parsed.refusal) << parsed.refusal->text << ": " << parsed.refusal->reason;
    ASSERT_EQ(parsed.values.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].name);
        EXPECT_EQ(parsed.values[i].keyPath, values[i].keyPath);
        EXPECT_EQ(parsed.values[i].name, values[i].name);
        ASSERT_EQ(parsed.values[i].data.has_value(), values[i].data.has_value());
        if (values[i].data) {
            EXPECT_EQ(parsed.values[i].data->type, values[i].data->type);
            EXPECT_EQ(parsed.values[i].data->data, values[i].data->data);
        }
    }
}

TEST(UndoFile, RefusesTheWholeFileAtItsFirstUnacceptableLine) {
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kService + "]\r\n";
    const std::string end = "; End of the Quorvel undo file.\r\n";
    const std::string value = "\"NV4_Modes_Delta\"=-\r\n";
    const struct {
        std::string text;
        std::size_t line;
        const char* reason;
    } cases[] = {
        {"", 1, kNotAnUndoFile},
        {"Windows Registry Editor Version 5.00\r\n" + value + end, 1, kNotAnUndoFile},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft]\r\n" + value + end, 2, kForeignKey},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\" + kService + "]\r\n" + value + end, 2, kForeignKey},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\" + kDisplay + "\\Sub]\r\n" + value + end, 2,
         kForeignKey},
        {head + value + "[-HKEY_LOCAL_MACHINE\\" + kService + "]\r\n" + end, 5, kForeignKey},
        {head + "\"ImagePath\"=\"evil.sys\"\r\n" + end, 4, kForeignValue},
        {head + "@=\"x\"\r\n" + end, 4, kDamagedLine},
        {"REGEDIT4\r\n" + value + end, 2, kValueBeforeKey},
        {head + "\"NV4_Modes_Delta\"=\"S 1024x7\r\n" + end, 4, kDamagedLine},
        {head + "\"NV4_Modes_Delta\"=\"a\\nb\"\r\n" + end, 4, kDamagedLine},
        {head + "\"NV4_Modes_Delta\"=\r\n" + end, 4, kDamagedLine},
        {head + "\"NV4_Modes_Delta\"=hex:01,0g\r\n" + end, 4, kDamagedLine},
        {head + "\"NV4_Modes_Delta\"=hex:01,\r\n" + end, 4, kDamagedLine},
        {head + "\"NV4_Modes_Delta\"=hex():01\r\n" + end, 4, kDamagedLine},
        {head + "\"UseCompressedModeFormat\"=dword:123456789\r\n" + end, 4, kDamagedLine},
        {head + std::string("\"NV4_Modes_Delta\"=\"a\0b\"\r\n", 24) + end, 4, kDamagedLine},
        {head + value, 5, kCutOff},
        {head + "\"NV4_Modes_Delta\"=hex:01,\\\r\n", 5, kCutOff},
        {head + value + end + value, 6, kAfterTheEnd},
        {"REGEDIT4\r\n" + end, 3, kNoValues},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ParsedUndoFile parsed = ParseUndoFile(c.text);
        ASSERT_TRUE(parsed.refusal);
        EXPECT_EQ(parsed.refusal->line, c.line);
        EXPECT_EQ(parsed.refusal->reason, c.reason);
        EXPECT_TRUE(parsed.values.empty());
    }
}

class WayBackTest : public ::testing::Test {
  protected:
    WayBackTest() {
        world.Load("driver-40.41-earlier-tables.reg");
        world.registry.SetMessageText(5, "Access is denied.\r\n");
        form.Form_Load();
        form.PickListItem(9, testing::Item(85));
        before = State();
    }

    std::string State() const {
        return world.registry.ExportRegText(kHkeyLocalMachine, kService) +
               world.registry.ExportRegText(kHkeyLocalMachine, kDisplay);
    }

    // Apply with the answers of a user who confirms; `backup` answers the backup question.
    void Apply(std::optional<int> backup = std::nullopt) {
        world.prompt.Expect("The final frontier", kIdYes);
        if (backup) {
            world.prompt.Expect(kBackupTitle, *backup);
        }
        if (backup != kIdNo) {
            world.prompt.Expect("Completion", kIdNo);
        }
        form.cmdApply40_Click();
    }

    int CommandLine(const std::string& arguments) {
        return app::RunCommandLine(app::ParseCommandLine(arguments), world.platform);
    }

    quorvel::testing::SimWorld world;
    app::frmMainframe form{world.platform};
    std::string before;
};

TEST_F(WayBackTest, ApplyNamesTheUndoFileAndTheMenuRestoresIt) {
    Apply();
    // The record of applied rates names what was applied; the restore puts it back as it was
    // before the change: there was none. 1024x768 is row 9.
    EXPECT_EQ(applied::ReadRecord(world.registry)->rates[9], 85);
    const std::string undo = kProgramFolder + kUndoName;
    const std::string& completion = world.prompt.Shown().back().text;
    EXPECT_EQ(completion.substr(completion.rfind("\r\nUndo file:")), "\r\nUndo file:\r\n" + undo);
    ASSERT_NE(State(), before);

    EXPECT_TRUE(form.lblRatesInEffect.visible);

    world.files.openDialogAnswer = undo;
    world.prompt.Expect(kRestoreTitle, kIdYes).Expect("Completion", kIdNo);
    form.mnuRestore_Click();
    // The record is gone, and so are the lines that told of it.
    EXPECT_FALSE(form.lblRatesInEffect.visible);
    EXPECT_FALSE(form.lblApplied.visible);
    EXPECT_EQ(world.files.openDialogCalls.at(0).initialDir, kProgramFolder);
    EXPECT_EQ(world.files.openDialogCalls.at(0).pattern, "*.reg");
    const std::string& confirmation = world.prompt.Shown().at(2).text;
    // The format is on already: the 26 table values of each key, not the switch; and the
    // record's generation, which was not there.
    EXPECT_NE(confirmation.find("53 values"), std::string::npos) << confirmation;
    EXPECT_NE(confirmation.find("\r\nHKEY_LOCAL_MACHINE\\" + kDisplay + "\r\n"), std::string::npos);
    EXPECT_EQ(State(), before);
    EXPECT_FALSE(applied::ReadRecord(world.registry));
    // The restore saved what it overwrote, in a file of its own.
    EXPECT_EQ(world.files.Written().back(),
              kProgramFolder + "\\Quorvel-undo-20030517-210409-2.reg");
}

TEST_F(WayBackTest, WithoutAPlaceForTheUndoFileTheUserDecides) {
    world.files.DenyWrites(kProgramFolder, 5);
    world.files.DenyWrites(world.files.myDocuments, 5);
    Apply(kIdNo);
    const std::string& question = world.prompt.Shown().back().text;
    EXPECT_EQ(question, std::string(kNotWrittenIntro) + "\r\n\r\n" + kProgramFolder +
                            "\r\nAccess is denied.\r\n\r\n" + world.files.myDocuments +
                            "\\Quorvel backups\r\nAccess is denied.\r\n\r\n" + kNotWrittenQuestion);
    EXPECT_EQ(world.prompt.Shown().back().style & 0xF00, platform::kMbDefButton2);  // No on Enter
    EXPECT_EQ(State(), before);

    Apply(kIdYes);
    EXPECT_NE(State(), before);
    EXPECT_EQ(world.prompt.Shown().back().text.find("Undo file"), std::string::npos);
}

TEST_F(WayBackTest, AValueThatCannotBeReadIsNeitherSavedNorMarkedMissing) {
    world.files.DenyWrites(kProgramFolder, 5);
    world.registry.InjectFailure({platform::sim::RegCall::Query, 5, "Device0", "NV5_Modes_Delta"});
    world.prompt.Expect("The final frontier", kIdYes)
        .Expect("Error", platform::kIdOk)
        .Expect(kBackupTitle, kIdYes)
        .Expect("Completion", kIdNo);
    form.cmdApply40_Click();
    const std::string* undo =
        world.files.File(world.files.myDocuments + "\\Quorvel backups" + kUndoName);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(world.prompt.Shown().at(2).text.substr(0, 1), "1");
    EXPECT_NE(undo->find("; Not saved, could not be read: HKEY_LOCAL_MACHINE\\" + kService +
                         "\\NV5_Modes_Delta\r\n"),
              std::string::npos);
    EXPECT_EQ(undo->find("\"NV5_Modes_Delta\""), undo->rfind("\"NV5_Modes_Delta\"=-"));
    EXPECT_EQ(ParseUndoFile(*undo).values.size(), 52u);
}

TEST_F(WayBackTest, TheCommandLineRestoresAndTellsHowItWent) {
    Apply();
    const std::string undo = kProgramFolder + kUndoName;
    world.files.PutFile("C:\\bad.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Run]\r\n");
    const struct {
        std::string arguments;
        std::vector<std::pair<const char*, int>> answers;
        int exitCode;
    } runs[] = {
        {"/restore C:\\bad.reg", {{kRestoreTitle, 1}}, 1},
        {"/restore C:\\missing.reg", {{kRestoreTitle, 1}}, 1},
        {"/restore \"" + undo + "\"", {{kRestoreTitle, kIdNo}}, 2},
        {"/?", {{"Quorvel v2.01 E", 1}}, 0},
        {"/restore", {{"Quorvel v2.01 E", 1}}, 1},
        {"-RESTORE \"" + undo + "\"", {{kRestoreTitle, kIdYes}, {"Completion", kIdNo}}, 0},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.arguments);
        EXPECT_NE(State(), before);
        for (const auto& [title, answer] : run.answers) {
            world.prompt.Expect(title, answer);
        }
        EXPECT_EQ(CommandLine(run.arguments), run.exitCode);
        EXPECT_EQ(world.prompt.PendingCount(), 0u);
    }
    EXPECT_EQ(State(), before);
    EXPECT_EQ(app::ParseCommandLine("").action, app::CommandLine::Action::Window);
}

TEST_F(WayBackTest, FailedWritesOfARestoreAreCountedInOneBox) {
    Apply();
    world.registry.InjectFailure(
        {platform::sim::RegCall::Set, 5, "Device0", std::nullopt, /*repeat=*/true});
    world.prompt.Expect(kRestoreTitle, kIdYes).Expect(kRestoreTitle, kIdNo);
    EXPECT_EQ(CommandLine("/restore \"" + kProgramFolder + kUndoName + "\""), 1);
    EXPECT_EQ(world.prompt.Shown().back().text,
              "47 of 53 values were put back.\r\nThese keys could not be written:\r\n"
              "HKEY_LOCAL_MACHINE\\" +
                  kService +
                  "\r\n  Access is denied.\r\n\r\nRestart Windows now, so that the driver "
                  "reads the values that were put back?");

    // Nothing written: no restart is offered.
    world.registry.InjectFailure(
        {platform::sim::RegCall::Delete, 5, "", std::nullopt, /*repeat=*/true});
    world.registry.InjectFailure(
        {platform::sim::RegCall::Set, 5, "0000", std::nullopt, /*repeat=*/true});
    world.prompt.Expect(kRestoreTitle, kIdYes).Expect(kRestoreTitle, platform::kIdOk);
    EXPECT_EQ(CommandLine("/restore \"" + kProgramFolder + kUndoName + "\""), 1);
    const std::string& none = world.prompt.Shown().back().text;
    EXPECT_EQ(none.rfind("0 of 53 values were put back.", 0), 0u) << none;
    EXPECT_EQ(none.substr(none.size() - 24), "\r\n\r\nNothing was changed.");
    EXPECT_TRUE(world.restart.Calls().empty());
}

// A hand-made or stale file that names another adapter's display key (a VgaSave key here) is
// refused whole, naming the line of that key; so is a file larger than any undo file.
TEST_F(WayBackTest, AFileForAnotherAdaptersKeyOrTooLargeIsRefusedWhole) {
    const std::string vgaSave =
        "SYSTEM\\CurrentControlSet\\Control\\Video\\{0A5E8C11-2B7D-4F31-9E64-7C1D0B3A5F22}\\0000";
    world.registry.PutValue(kHkeyLocalMachine, vgaSave, "InstalledDisplayDrivers",
                            platform::sim::StringValue("vga"));
    std::string file = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kService +
                       "]\r\n\"NV25_Modes_Delta\"=-\r\n\r\n[HKEY_LOCAL_MACHINE\\" + vgaSave +
                       "]\r\n\"NV25_Modes_Delta\"=\"S\"\r\n\r\n" + kEndLine + "\r\n";
    world.files.PutFile("C:\\stale.reg", file);
    world.files.PutFile("C:\\large.reg", std::string(2 * 1024 * 1024, ';'));
    world.prompt.Expect(kRestoreTitle, platform::kIdOk).Expect(kRestoreTitle, platform::kIdOk);
    EXPECT_EQ(CommandLine("/restore C:\\stale.reg"), 1);
    EXPECT_EQ(CommandLine("/restore C:\\large.reg"), 1);
    EXPECT_EQ(world.prompt.Shown().at(0).text,
              std::string(kRefusedIntro) +
                  "\r\nC:\\stale.reg\r\n\r\nLine 6 is not acceptable:\r\n[" +
                  "HKEY_LOCAL_MACHINE\\" + vgaSave + "]\r\n\r\n" + kNotThisMachinesKey +
                  "\r\n\r\n" + kNothingChanged);
    EXPECT_EQ(world.prompt.Shown().at(1).text,
              std::string(kReadFailed) + "\r\nC:\\large.reg\r\n\r\n" + kTooLarge);
    EXPECT_EQ(State(), before);
}

// A display key whose name holds a TAB is saved, read back and restored; one whose name holds a
// line break cannot be saved, and the Backup question says so.
TEST_F(WayBackTest, WhatTheBackupWritesTheRestoreReads) {
    const std::string tabbed = "SYSTEM\\CurrentControlSet\\Control\\Video\\{A\tB}\\0000";
    world.registry.PutValue(kHkeyLocalMachine, tabbed, "InstalledDisplayDrivers",
                            platform::sim::StringValue("nv4_disp"));
    const std::string tabbedBefore = world.registry.ExportRegText(kHkeyLocalMachine, tabbed);
    Apply();
    world.prompt.Expect(kRestoreTitle, kIdYes).Expect("Completion", kIdNo);
    EXPECT_EQ(CommandLine("/restore \"" + kProgramFolder + kUndoName + "\""), 0);
    EXPECT_EQ(State(), before);
    EXPECT_EQ(world.registry.ExportRegText(kHkeyLocalMachine, tabbed), tabbedBefore);

    const std::string broken = "SYSTEM\\CurrentControlSet\\Control\\Video\\{A\nB}\\0000";
    world.registry.PutValue(kHkeyLocalMachine, broken, "InstalledDisplayDrivers",
                            platform::sim::StringValue("nv4_disp"));
    Apply(kIdNo);
    EXPECT_EQ(world.prompt.Shown().back().text.rfind(
                  "26 of the values about to be changed could not be read (the error boxes "
                  "before this one said why), so the undo file cannot put them back:",
                  0),
              0u);
}

// A value of such a key that cannot be read is named in a comment the reader takes; a file that
// names one key in two spellings is written in its own order.
TEST_F(WayBackTest, NamesAndSpellingsOfKeysDoNotBreakTheWayBack) {
    const std::string tabbed = "SYSTEM\\CurrentControlSet\\Control\\Video\\{A\tB}\\0000";
    world.registry.PutValue(kHkeyLocalMachine, tabbed, "InstalledDisplayDrivers",
                            platform::sim::StringValue("nv4_disp"));
    world.registry.InjectFailure(
        {platform::sim::RegCall::Query, 5, "B}\\0000", "NV25_Modes_Delta"});
    world.prompt.Expect("The final frontier", kIdYes)
        .Expect("Error", platform::kIdOk)
        .Expect(kBackupTitle, kIdYes)
        .Expect("Completion", kIdNo);
    form.cmdApply40_Click();
    const std::string* undo = world.files.File(kProgramFolder + kUndoName);
    ASSERT_NE(undo, nullptr);
    EXPECT_NE(undo->find("; Not saved, could not be read: HKEY_LOCAL_MACHINE\\SYSTEM\\"
                         "CurrentControlSet\\Control\\Video\\{A?B}\\0000\\NV25_Modes_Delta\r\n"),
              std::string::npos)
        << *undo;
    EXPECT_FALSE(ParseUndoFile(*undo).refusal);

    std::string upper = kService;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    world.files.PutFile(
        "C:\\spellings.reg",
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\" + kService +
            "]\r\n\"NV25_Modes_Delta\"=\"S first\"\r\n[HKEY_LOCAL_MACHINE\\" + upper +
            "]\r\n\"NV25_Modes_Delta\"=\"S second\"\r\n[HKEY_LOCAL_MACHINE\\" + kService +
            "]\r\n\"NV25_Modes_Delta\"=\"S last\"\r\n" + kEndLine + "\r\n");
    world.prompt.Expect(kRestoreTitle, kIdYes).Expect("Completion", kIdNo);
    EXPECT_EQ(CommandLine("/restore C:\\spellings.reg"), 0);
    EXPECT_EQ(world.registry.GetValue(kHkeyLocalMachine, kService, "NV25_Modes_Delta")->data,
              platform::sim::StringValue("S last").data);
}

// The Open dialog starts where the last undo file went, and a machine without any folder for
// one says so.
TEST_F(WayBackTest, TheLastUndoFolderIsRememberedAndNoFolderIsNamed) {
    world.files.PutFolder(kProgramFolder);
    world.files.DenyWrites(kProgramFolder, 5);
    Apply();
    world.files.openDialogAnswer.clear();
    form.mnuRestore_Click();
    EXPECT_EQ(world.files.openDialogCalls.at(0).initialDir,
              world.files.myDocuments + "\\Quorvel backups");

    world.files.modulePath.clear();
    world.files.myDocuments.clear();
    world.files.profile.clear();
    Apply(kIdNo);
    EXPECT_EQ(world.prompt.Shown().back().text, std::string(kNotWrittenIntro) + "\r\n\r\n" +
                                                    kNoFolderKnown + "\r\n\r\n" +
                                                    kNotWrittenQuestion);
}

TEST_F(WayBackTest, OneValueIsCountedAsOne) {
    world.files.PutFile("C:\\one.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\" + kService +
                                           "]\r\n\"NV25_Modes_Delta\"=-\r\n" + kEndLine + "\r\n");
    world.prompt.Expect(kRestoreTitle, kIdNo);
    EXPECT_EQ(CommandLine("/restore C:\\one.reg"), 2);
    EXPECT_NE(world.prompt.Shown().at(0).text.find(
                  "\r\n\r\n1 value will be put back as it was, in this registry key:\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace quorvel::backup
