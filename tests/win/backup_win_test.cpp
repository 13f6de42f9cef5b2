// The way back on Wine's real registry and files: the undo file an Apply writes, imported by
// Wine's own reg.exe, and quorvel.exe /restore run as a process of its own, each bring back
// every value of a driver installation that held earlier tables, byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "RegLoad.h"
#include "WindowTesting.h"
#include "host/TestSupport.h"
#include "app/frmMainframe.h"
#include "confirm/Confirm.h"
#include "platform/sim/SimPlatform.h"
#include "platform/win32/Win32Platform.h"

namespace {

namespace p = quorvel::platform;

const char* const kKeys[] = {
    "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0",
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}\\0000"};

// Every value of the two driver keys: "key\name" to its type and bytes.
using Snapshot = std::map<std::string, std::pair<DWORD, std::string>>;

Snapshot Read() {
    Snapshot values;
    for (const char* path : kKeys) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key), 0) << path;
        char name[256];
        BYTE data[1024];
        for (DWORD i = 0, nameSize = sizeof name, size = sizeof data, type = 0;
             RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &size) == 0;
             ++i, nameSize = sizeof name, size = sizeof data) {
            values[std::string(path) + "\\" + name] = {type, std::string(data, data + size)};
        }
        RegCloseKey(key);
    }
    return values;
}

struct Answer {
    const char* title;
    int button;
};

// Runs a program and answers its message boxes in order; returns its exit code.
DWORD RunProgram(std::string commandLine, const std::vector<Answer>& answers = {}) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return ~0u;
    }
    for (const Answer& answer : answers) {
        HWND box = nullptr;
        for (int i = 0; i < 600 && (box = FindWindowA("#32770", answer.title)) == nullptr; ++i) {
            Sleep(100);
        }
        if (box == nullptr) {
            ADD_FAILURE() << "no box \"" << answer.title << "\" from " << commandLine;
            break;
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
        while (IsWindow(box)) {
            Sleep(50);
        }
    }
    DWORD code = ~0u;
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, code);
    }
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// quorvel.exe, built beside the test.
std::string Quorvel() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    const std::string path = program;
    return path.substr(0, path.rfind('\\')) + "\\quorvel.exe";
}

class BackupWinTest
    : public testing::Test,
      protected quorvel::testing::TestPlatform<p::win32::Win32Registry, p::win32::Win32Files> {
  protected:
    void SetUp() override {
        if (!quorvel::testing::DisplayAvailable()) {
            GTEST_SKIP() << "no display: the restore's boxes need one";
        }
        prompt.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        p::sim::SimRegistry machine;
        std::string error;
        ASSERT_TRUE(
            machine.ImportRegFile(QUORVEL_FIXTURES_DIR "/driver-40.41-earlier-tables.reg", &error))
            << error;
        const auto failures = quorvel::tools::CopyToRegistry(machine, p::kHkeyLocalMachine);
        ASSERT_TRUE(failures.empty()) << failures.front();
        // No check after the restart: its RunOnce entry would start this test again at the
        // prefix's next start.
        quorvel::confirm::SetWanted(registry, false);
        form_.Form_Load();
        form_.PickListItem(9, *quorvel::modes::HexItemOf(85));
    }

    void TearDown() override {
        for (const char* key : {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\nv",
                                "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                "{6B1D2F40-8C3E-4A57-9F12-3E5D7A9C0B84}",
                                "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Video\\"
                                "{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}",
                                "HKLM\\SOFTWARE\\Velkora"}) {
            RunProgram(std::string("reg.exe delete \"") + key + "\" /f");
        }
    }

    // Applies 1024x768 at 85 Hz and returns the undo file the completion box names.
    std::string Apply() {
        prompt.Expect("The final frontier", IDYES).Expect("Completion", IDNO);
        form_.cmdApply40_Click();
        const std::string& completion = prompt.Shown().back().text;
        const std::string line = "Undo file:\r\n";
        const std::size_t at = completion.rfind(line);
        return at == std::string::npos ? std::string() : completion.substr(at + line.size());
    }

    quorvel::app::frmMainframe form_{platform};
};

TEST_F(BackupWinTest, RegImportAndTheCommandLineRestoreBringBackEveryValue) {
    const Snapshot before = Read();
    ASSERT_EQ(before.count(std::string(kKeys[0]) + "\\NV10_Modes_Delta"), 1u);

    const std::string undo = Apply();
    ASSERT_FALSE(undo.empty());
    ASSERT_NE(Read(), before);
    EXPECT_EQ(RunProgram("reg.exe import \"" + undo + "\""), 0u);
    EXPECT_EQ(Read(), before);

    const std::string undoAgain = Apply();
    ASSERT_NE(Read(), before);
    EXPECT_EQ(RunProgram("\"" + Quorvel() + "\" /restore \"" + undoAgain + "\"",
                         {{"Restore a backup", IDYES}, {"Completion", IDNO}}),
              0u);
    EXPECT_EQ(Read(), before);
}

// quorvel.exe /apply as a logon script runs it: no box, the values written, code 0, the log kept.
TEST_F(BackupWinTest, TheUnattendedApplyWritesTheTablesAndLogs) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp) + "quorvel-apply-test.log";
    DeleteFileA(log.c_str());
    EXPECT_EQ(
        RunProgram("\"" + Quorvel() + "\" /apply 1024x768@85,800x600@75 /log \"" + log + "\""), 0u);
    const Snapshot after = Read();
    for (const char* key : kKeys) {
        const auto value = after.find(std::string(key) + "\\NV25_Modes_Delta");
        ASSERT_NE(value, after.end()) << key;
        EXPECT_EQ(value->second,
                  std::make_pair(DWORD{REG_SZ}, std::string("S 800x600=804B; 1024x768=8055;", 31)));
    }
    HANDLE file = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char text[8192] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    DeleteFileA(log.c_str());
    EXPECT_NE(std::string(text).find("\r\nExit code 0\r\n"), std::string::npos) << text;
}

}  // namespace

int main(int argc, char** argv) {
    return quorvel::testing::RunWindowTests(argc, argv);
}
