// The scripted message boxes, the simulated shell and the simulated restart sequence.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace {

using namespace quorvel::platform;
using namespace quorvel::platform::sim;

TEST(ScriptedPrompt, AnswersExpectedBoxesInOrderAndRecordsThem) {
    ScriptedPrompt prompt;
    std::vector<std::string> complaints;
    prompt.onUnexpected = [&](const std::string& what) { complaints.push_back(what); };
    prompt.Expect("Format", kIdYes).Expect("Confirmation", kIdNo);

    EXPECT_EQ(prompt.Show("Switch it on?", "Format", kMbYesNo | kMbIconQuestion), kIdYes);
    EXPECT_EQ(prompt.Show("Write it?", "Confirmation", kMbYesNo | kMbIconInformation), kIdNo);
    EXPECT_EQ(prompt.PendingCount(), 0u);
    ASSERT_EQ(prompt.Shown().size(), 2u);
    EXPECT_EQ(prompt.Shown()[0].text, "Switch it on?");
    EXPECT_EQ(prompt.Shown()[0].style, kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(prompt.Shown()[1].answer, kIdNo);
    EXPECT_TRUE(prompt.Unexpected().empty());
    EXPECT_TRUE(complaints.empty());
}

struct UnexpectedCase {
    const char* label;
    std::vector<std::string> script;
    const char* title;
    std::uint32_t style;
    int answer;
    std::size_t pendingAfter;
};

TEST(ScriptedPrompt, UnexpectedBoxesAreReportedAndAnsweredSafely) {
    const UnexpectedCase cases[] = {
        {"OK box, empty script", {}, "Error", kMbOk | kMbIconHand, kIdOk, 0},
        {"Yes/No box, empty script", {}, "Warning", kMbYesNo | kMbIconHand, kIdNo, 0},
        {"wrong title", {"Completion"}, "Error", kMbOk | kMbIconHand, kIdOk, 1},
        {"wrong title, Yes/No", {"Completion"}, "Format", kMbYesNo | kMbIconQuestion, kIdNo, 1},
    };
    for (const UnexpectedCase& c : cases) {
        ScriptedPrompt prompt;
        std::vector<std::string> complaints;
        prompt.onUnexpected = [&](const std::string& what) { complaints.push_back(what); };
        for (const std::string& title : c.script) {
            prompt.Expect(title, kIdYes);
        }
        EXPECT_EQ(prompt.Show("some text", c.title, c.style), c.answer) << c.label;
        EXPECT_EQ(prompt.PendingCount(), c.pendingAfter) << c.label;
        ASSERT_EQ(prompt.Unexpected().size(), 1u) << c.label;
        EXPECT_EQ(prompt.Unexpected()[0].title, c.title) << c.label;
        EXPECT_EQ(prompt.Shown().size(), 1u) << c.label;
        ASSERT_EQ(complaints.size(), 1u) << c.label;
        EXPECT_NE(complaints[0].find(c.title), std::string::npos) << complaints[0];
        EXPECT_NE(complaints[0].find("some text"), std::string::npos) << complaints[0];
        if (!c.script.empty()) {
            EXPECT_NE(complaints[0].find(c.script[0]), std::string::npos) << complaints[0];
        }
    }
    ScriptedPrompt prompt;
    prompt.Expect("A", kIdYes);
    prompt.Show("x", "B", kMbOk);
    prompt.Clear();
    EXPECT_EQ(prompt.PendingCount(), 0u);
    EXPECT_TRUE(prompt.Shown().empty());
    EXPECT_TRUE(prompt.Unexpected().empty());
}

TEST(SimShell, RecordsEachOpenAndReturnsTheConfiguredResult) {
    SimShell shell;
    EXPECT_EQ(shell.Execute(0x10, "open", "http://example.invalid/", kSwShowNormal), 42);
    shell.result = 2;  // ERROR_FILE_NOT_FOUND, as ShellExecute reports a failure
    EXPECT_EQ(shell.Execute(0, "open", "mailto:a@b.invalid", kSwShowNormal), 2);
    ASSERT_EQ(shell.Calls().size(), 2u);
    EXPECT_EQ(shell.Calls()[0].owner, 0x10u);
    EXPECT_EQ(shell.Calls()[0].operation, "open");
    EXPECT_EQ(shell.Calls()[1].file, "mailto:a@b.invalid");
    EXPECT_EQ(shell.Calls()[1].showCommand, kSwShowNormal);
}

// The restart sequence as a program makes it: each step only after the previous one worked.
struct SequenceResult {
    bool adjusted = false;
    std::uint32_t lastError = 0xFFFF;
    bool exited = false;
};

SequenceResult RunRestart(IRestart& restart) {
    SequenceResult result;
    Handle token = 0;
    if (!restart.OpenProcessToken(restart.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery,
                                  &token)) {
        return result;
    }
    TokenPrivilegesOne state;
    if (!restart.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &state.luid)) {
        return result;
    }
    state.privilegeCount = 1;
    state.attributes = kSePrivilegeEnabled;
    TokenPrivilegesOne previous;
    std::uint32_t length = 0;
    result.adjusted = restart.AdjustTokenPrivileges(token, false, state, 16, &previous, &length,
                                                    &result.lastError);
    if (!result.adjusted || result.lastError == 1300) {
        return result;
    }
    result.exited = restart.ExitWindowsEx(kEwxReboot, 0);
    return result;
}

struct RestartCase {
    const char* label;
    std::function<void(SimRestart&)> configure;
    std::size_t callCount;
    bool adjusted;
    std::uint32_t lastError;
    bool exited;
};

TEST(SimRestart, EachStepFailsOnRequestAndEveryCallIsRecorded) {
    const std::vector<std::string> fullSequence = {
        "GetCurrentProcess()",
        "OpenProcessToken(process,0x28)",
        "LookupPrivilegeValue(,SeShutdownPrivilege)",
        "AdjustTokenPrivileges(token,0,1,luid,2,16)",
        "ExitWindowsEx(2,0)",
    };
    const RestartCase cases[] = {
        {"all steps work", [](SimRestart&) {}, 5, true, 0, true},
        {"token refused", [](SimRestart& r) { r.failOpenToken = true; }, 2, false, 0xFFFF, false},
        {"lookup fails", [](SimRestart& r) { r.failLookup = true; }, 3, false, 0xFFFF, false},
        {"adjustment fails", [](SimRestart& r) { r.failAdjust = true; }, 4, false, 5, false},
        {"privilege missing", [](SimRestart& r) { r.privilegeMissing = true; }, 4, true, 1300,
         false},
        {"reboot refused", [](SimRestart& r) { r.failExit = true; }, 5, true, 0, false},
    };
    for (const RestartCase& c : cases) {
        SimRestart restart;
        c.configure(restart);
        const SequenceResult result = RunRestart(restart);
        EXPECT_EQ(result.adjusted, c.adjusted) << c.label;
        EXPECT_EQ(result.lastError, c.lastError) << c.label;
        EXPECT_EQ(result.exited, c.exited) << c.label;
        EXPECT_EQ(restart.Calls(), std::vector<std::string>(fullSequence.begin(),
                                                            fullSequence.begin() + c.callCount))
            << c.label;
    }
}

TEST(SimRestart, WrongArgumentsFailAndShowInTheRecord) {
    SimRestart restart;
    Handle token = 0;
    EXPECT_FALSE(restart.OpenProcessToken(0x1234, 0x20, &token));
    Luid luid;
    EXPECT_FALSE(restart.LookupPrivilegeValueA("remote", "SeDebugPrivilege", &luid));
    TokenPrivilegesOne state;
    state.privilegeCount = 1;
    state.luid = Luid{0x14, 0};
    std::uint32_t lastError = 0;
    EXPECT_FALSE(
        restart.AdjustTokenPrivileges(0x1234, false, state, 16, nullptr, nullptr, &lastError));
    EXPECT_EQ(lastError, 6u);
    TokenPrivilegesOne previous;
    std::uint32_t length = 0;
    EXPECT_FALSE(
        restart.AdjustTokenPrivileges(0x100, true, state, 8, &previous, &length, &lastError));
    EXPECT_EQ(lastError, 122u);
    EXPECT_EQ(length, 16u);
    EXPECT_EQ(restart.Calls(), (std::vector<std::string>{
                                   "OpenProcessToken(0x1234,0x20)",
                                   "LookupPrivilegeValue(remote,SeDebugPrivilege)",
                                   "AdjustTokenPrivileges(0x1234,0,1,luid(0x14,0),0,16)",
                                   "AdjustTokenPrivileges(token,1,1,luid(0x14,0),0,8)",
                               }));
}

}  // namespace
