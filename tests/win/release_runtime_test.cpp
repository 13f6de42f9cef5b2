// The release runtime under real process start, message box and exit: the start-up code hands
// WinMain its command line and runs static constructors and destructors; an allocation failure or
// a broken library precondition ends the program with one box and exit code 3.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "WindowTesting.h"
#include "app/win32/Fatal.h"

namespace {

using namespace quorvel::app::win32;

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::string(className) == "#32770" &&
        IsWindowVisible(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// Runs the child with `arguments`, presses OK on the box it shows, and returns the box's text
// ("" when none appeared) and the exit code.
std::pair<std::string, DWORD> RunChild(const std::string& arguments) {
    // The child is built beside this test; its name is quoted like a path with blanks.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string commandLine = path;
    commandLine.replace(commandLine.find_last_of("\\/") + 1, std::string::npos,
                        "release_runtime_child.exe");
    commandLine = "\"" + commandLine + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return {"", 0};
    }
    std::string text;
    for (int wait = 0; wait < 600; ++wait) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            break;
        }
        BoxSearch search{process.dwProcessId, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr) {
            char buffer[256] = {};
            GetDlgItemTextA(search.box, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            PostMessageA(search.box, WM_COMMAND, IDOK, 0);
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
    const struct {
        const char* arguments;
        std::string box;
        DWORD exitCode;
    } cases[] = {
        {"start one \"two three\"", "", 40},  // 40: destructors ran after WinMain's 0
        {"allocate", kOutOfMemoryText, kFatalExitCode},
        {"grow", kOutOfMemoryText, kFatalExitCode},
        {"at", kInternalErrorText, kFatalExitCode},
    };
    for (const auto& c : cases) {
        const auto [box, exitCode] = RunChild(c.arguments);
        EXPECT_EQ(box, c.box) << c.arguments;
        EXPECT_EQ(exitCode, c.exitCode) << c.arguments;
    }
}

}  // namespace

int main(int argc, char** argv) {
    return quorvel::testing::RunWindowTests(argc, argv);
}
