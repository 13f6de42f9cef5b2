// The check after the restart, on the simulated machine: an Apply arms it (or not), a logon runs
// the RunOnce entry as Windows would, and the check keeps, undoes or waits.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "confirm/Confirm.h"
#include "registry/DriverKeys.h"

namespace quorvel::confirm {
namespace {

using app::frmConfirm;
using platform::kHkeyLocalMachine;
using platform::kIdNo;
using platform::kIdYes;

enum class Before {
    Nothing,
    OptOut,
    FolderRefused,
    SecondChange,
    Logoff,
    UndoFileGone,
    UndoFileDamaged,
    WritesFail
};

struct Case {
    const char* name;
    Before before;
    frmConfirm::Answer answer;  // None: nobody answers until the count ends
    bool armed;
    bool asked;  // the window was shown
    int exitCode;
    bool tablesBack;       // the driver's values are as before the change
    bool windowsRestarts;  // a restart was requested
    const char* logLine;   // a line of the log; "" when nothing ran
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

struct Answering : app::IConfirmView {
    frmConfirm::Answer answer = frmConfirm::Answer::None;
    bool shown = false;
    void ShowConfirm(frmConfirm& form) override {
        shown = true;
        if (answer == frmConfirm::Answer::Keep) {
            form.cmdKeep_Click();
        } else if (answer == frmConfirm::Answer::Undo) {
            form.Form_Unload();  // Esc
        }
        while (form.answer == frmConfirm::Answer::None) {
            form.tmrCountdown_Timer();
        }
    }
};

class CheckAfterRestart : public ::testing::TestWithParam<Case> {
  protected:
    std::string Drivers() const {
        return world.registry.ExportRegText(kHkeyLocalMachine, registry::kServiceKey);
    }
    std::string Entry() const {
        const auto value = world.registry.GetValue(kHkeyLocalMachine, kRunOnceKey, kRunOnceValue);
        return value ? std::string(value->data.begin(), value->data.end() - 1) : "";
    }
    testing::SimWorld world;
};

TEST_P(CheckAfterRestart, KeepsUndoesOrWaits) {
    const Case& c = GetParam();
    world.Load("xp.reg");
    world.registry.SetMessageText(5, "Access is denied.\r\n");
    app::frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_TRUE(form.mnuConfirm.checked);
    if (c.before == Before::OptOut) {
        form.mnuConfirm_Click();
        EXPECT_FALSE(Wanted(world.registry));
    }
    if (c.before == Before::FolderRefused) {
        world.files.DenyWrites("C:\\WINDOWS\\Quorvel", 5);
    }
    const std::string before = Drivers();
    form.PickListItem(9, testing::Item(85));
    world.prompt.Expect("Almost there", kIdYes)
        .Expect("The final frontier", kIdYes)
        .Expect("Completion", kIdNo);
    form.cmdApply40_Click();
    const std::string completion = world.prompt.Shown().back().text;
    if (c.before == Before::SecondChange) {
        // A second change before the restart: an undo goes back to before the first.
        form.PickListItem(9, testing::Item(75));
        world.prompt.Expect("Almost there", kIdYes)
            .Expect("The final frontier", kIdYes)
            .Expect("Completion", kIdNo);
        form.cmdApply40_Click();
    }
    const std::string entry = Entry();
    EXPECT_EQ(!entry.empty(), c.armed) << entry;
    if (c.before == Before::OptOut) {
        EXPECT_EQ(completion.find("After the restart"), std::string::npos);
    } else if (c.before == Before::FolderRefused) {
        EXPECT_NE(completion.find("\r\nThe check after the restart could not be set up: Access "
                                  "is denied.\r\n"),
                  std::string::npos)
            << completion;
    } else {
        EXPECT_NE(completion.find(std::string("\r\n") + kArmedLine + "\r\n"), std::string::npos)
            << completion;
        // What runs at the next administrator's logon, program and file, lies where only
        // administrators and SYSTEM may change it.
        const std::string undo = "C:\\WINDOWS\\Quorvel\\Quorvel-undo-20030517-210409.reg";
        EXPECT_EQ(entry, "\"C:\\WINDOWS\\Quorvel\\quorvel.exe\" /confirm \"" + undo + "\"");
        EXPECT_TRUE(world.files.AdminOnly("C:\\WINDOWS\\Quorvel\\quorvel.exe"));
        EXPECT_TRUE(world.files.AdminOnly(undo));
        if (c.before == Before::UndoFileGone) {
            world.files.RemoveFile(undo);
        } else if (c.before == Before::UndoFileDamaged) {
            world.files.PutFile(undo, "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Run]\r\n");
        }
    }
    if (!c.armed) {
        return;
    }
    if (c.before == Before::WritesFail) {
        world.registry.InjectFailure(
            {platform::sim::RegCall::Set, 5, "Device0", std::nullopt, /*repeat=*/true});
    }
    if (c.before != Before::Logoff) {
        world.registry.Restart();
    }
    // The logon: Windows deletes the entry, then runs its command.
    platform::QuietPrompt quiet;
    registry::mdlRegistry(world.registry, quiet)
        .DeleteValue(kHkeyLocalMachine, kRunOnceKey, kRunOnceValue);
    Answering view;
    view.answer = c.answer;
    const std::string arguments = entry.substr(entry.find(" /confirm") + 1);
    EXPECT_EQ(app::RunCommandLine(app::ParseCommandLine(arguments), world.platform, &view),
              c.exitCode);
    EXPECT_EQ(view.shown, c.asked);
    EXPECT_EQ(Drivers() == before, c.tablesBack);
    EXPECT_EQ(!world.restart.Calls().empty(), c.windowsRestarts);
    const std::string log = *world.files.File("C:\\Program Files\\Quorvel\\Backups\\Quorvel.log");
    EXPECT_NE(log.find(std::string("\r\n") + c.logLine + "\r\n"), std::string::npos) << log;
    // A logoff arms the check again; after it ran, nothing is pending.
    EXPECT_EQ(Entry() == entry, c.before == Before::Logoff);
    EXPECT_EQ(Pending(world.registry).empty(), c.before != Before::Logoff);
    // A check that could not put the old rates back says so at the window's next start.
    app::frmMainframe next(world.platform);
    next.Form_Load();
    const bool failed = c.exitCode != 0;
    EXPECT_EQ(next.lblApplied.visible &&
                  next.lblApplied.caption.find("The check after the restart of 2003-05-17 could "
                                               "not put the old rates back") == 0,
              failed)
        << next.lblApplied.caption;
}

using A = frmConfirm::Answer;

INSTANTIATE_TEST_SUITE_P(
    Decisions, CheckAfterRestart,
    ::testing::Values(
        Case{"Kept", Before::Nothing, A::Keep, true, true, 0, false, false, "Kept the new rates."},
        Case{"Undone", Before::Nothing, A::Undo, true, true, 0, true, true,
             "Undo: the old rates come back."},
        Case{"NoAnswer", Before::Nothing, A::None, true, true, 0, true, true,
             "No answer within 15 seconds: the old rates come back."},
        Case{"SecondChangeUndoneToBeforeTheFirst", Before::SecondChange, A::None, true, true, 0,
             true, true, "No answer within 15 seconds: the old rates come back."},
        Case{"LogoffOnly", Before::Logoff, A::None, true, false, 0, false, false,
             "Windows has not restarted since the change: the check waits for the next start."},
        Case{"UndoFileGone", Before::UndoFileGone, A::None, true, true, 1, false, false,
             "No answer within 15 seconds: the old rates come back."},
        Case{"UndoFileRefused", Before::UndoFileDamaged, A::Undo, true, true, 1, false, false,
             "Undo: the old rates come back."},
        Case{"RestorePartlyFails", Before::WritesFail, A::None, true, true, 1, false, true,
             "No answer within 15 seconds: the old rates come back."},
        Case{"OptedOut", Before::OptOut, A::None, false, false, 0, false, false, ""},
        Case{"FolderNotForAdministratorsAlone", Before::FolderRefused, A::None, false, false, 0,
             false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The count goes once a second, tells the seconds left, and ends with no answer; an answer before
// the end stays the answer.
TEST(ConfirmForm, CountsDownAndTakesTheFirstAnswer) {
    frmConfirm form("1024x768, 32 bit, 85 Hz", kSeconds);
    EXPECT_EQ(form.lblScreen, "Screen now: 1024x768, 32 bit, 85 Hz");
    EXPECT_EQ(form.lblCountdown, "The old rates come back in 15 seconds.");
    for (int i = 0; i < 14; ++i) {
        form.tmrCountdown_Timer();
    }
    EXPECT_EQ(form.lblCountdown, "The old rates come back in 1 second.");
    EXPECT_EQ(form.answer, A::None);
    form.tmrCountdown_Timer();
    EXPECT_EQ(form.answer, A::NoAnswer);
    form.cmdKeep_Click();
    EXPECT_EQ(form.answer, A::NoAnswer);
}

}  // namespace
}  // namespace quorvel::confirm
