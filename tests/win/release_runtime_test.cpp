// The release's start-up code (command line, static constructors and destructors) and its fatal
// box (allocation failures, broken library preconditions) under a real process start and exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "WindowTesting.h"
#include "app/win32/Fatal.h"

namespace {

using namespace quorvel::app::win32;

// Looks for a box of the process in `param`'s first member and keeps it in the second.
BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
    DWORD owner = 0;
    char className[16] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, className, sizeof className);
    const bool found = owner == s->first && std::string(className) == "#32770";
    s->second = found ? window : nullptr;
    return !found;
}

// Runs the child (built beside this test, its name quoted like a path with blanks) with
// `arguments`, presses OK on the box it shows, and returns the box's text ("" when none) and the
// exit code.
std::pair<std::string, DWORD> RunChild(const std::string& arguments) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string line = path;
    line.replace(line.find_last_of("\\/") + 1, std::string::npos, "release_runtime_child.exe");
    line = "\"" + line + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start " << line;
        return {"", 0};
    }
    std::pair<DWORD, HWND> search{process.dwProcessId, nullptr};
    std::string text;
    for (int wait = 0; wait < 600 && WaitForSingleObject(process.hProcess, 50) != WAIT_OBJECT_0;
         ++wait) {
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.second != nullptr && IsWindowVisible(search.second)) {
            char buffer[256] = {};
            GetDlgItemTextA(search.second, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            PostMessageA(search.second, WM_COMMAND, IDOK, 0);
        }
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        ADD_FAILURE() << arguments << ": the child did not end";
        TerminateProcess(process.hProcess, 99);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {text, exitCode};
}

TEST(ReleaseRuntime, StartsAndEndsAsTheProgramExpects) {
    if (!quorvel::testing::DisplayAvailable()) {
        GTEST_SKIP() << "no display: run under xvfb-run to see the boxes";
    }
    const std::tuple<const char*, std::string, DWORD> cases[] = {
        {"start one \"two three\"", "", 40},  // 40: the destructors ran after WinMain's 0
        {"allocate", kOutOfMemoryText, kFatalExitCode},
        {"grow", kOutOfMemoryText, kFatalExitCode},
        {"at", kInternalErrorText, kFatalExitCode},
    };
    for (const auto& [arguments, box, exitCode] : cases) {
        EXPECT_EQ(RunChild(arguments), std::make_pair(box, exitCode)) << arguments;
    }
}

}  // namespace

int main(int argc, char** argv) {
    return quorvel::testing::RunWindowTests(argc, argv);
}
