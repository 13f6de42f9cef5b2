// The restart: the privilege dance before the reboot request, and one failure box for any step
// that fails.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "restart/Restart.h"
#include "platform/sim/SimPlatform.h"

namespace quorvel::restart {
namespace {

using platform::sim::ScriptedPrompt;
using platform::sim::SimRestart;

const std::vector<std::string> kFullSequence = {
    "GetCurrentProcess()", "OpenProcessToken(process,0x28)",
    "LookupPrivilegeValue(,SeShutdownPrivilege)", "AdjustTokenPrivileges(token,0,1,luid,2,16)",
    "ExitWindowsEx(2,0)"};

std::vector<std::string> FirstCalls(std::size_t count) {
    return {kFullSequence.begin(), kFullSequence.begin() + static_cast<std::ptrdiff_t>(count)};
}

void ExpectOneFailureBox(const ScriptedPrompt& prompt) {
    ASSERT_EQ(prompt.Shown().size(), 1u);
    EXPECT_EQ(prompt.Shown()[0].title, "Failure");
    EXPECT_EQ(prompt.Shown()[0].text, "Failed to shut down the system. Please try it manually.");
    EXPECT_EQ(prompt.Shown()[0].style, 0x10u);  // MB_OK | MB_ICONHAND
}

TEST(RebootSystem, EnablesThePrivilegeAndRequestsTheReboot) {
    SimRestart restart;
    ScriptedPrompt prompt;
    EXPECT_TRUE(RebootSystem(restart, prompt));
    EXPECT_EQ(restart.Calls(), kFullSequence);
    EXPECT_TRUE(prompt.Shown().empty());
}

struct FailureCase {
    const char* name;
    bool SimRestart::*failure;
    std::size_t callsMade;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class RebootFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RebootFailures, ShowOneBoxAndStop) {
    SimRestart restart;
    restart.*(GetParam().failure) = true;
    ScriptedPrompt prompt;
    prompt.Expect("Failure", platform::kIdOk);

    EXPECT_FALSE(RebootSystem(restart, prompt));

    EXPECT_EQ(restart.Calls(), FirstCalls(GetParam().callsMade));
    ExpectOneFailureBox(prompt);
}

INSTANTIATE_TEST_SUITE_P(
    Restart, RebootFailures,
    ::testing::Values(FailureCase{"TokenCannotBeOpened", &SimRestart::failOpenToken, 2},
                      FailureCase{"PrivilegeLookupFails", &SimRestart::failLookup, 3},
                      FailureCase{"AdjustmentFails", &SimRestart::failAdjust, 4},
                      // The adjustment succeeds but reports 1300: the token lacks the privilege.
                      FailureCase{"PrivilegeMissing", &SimRestart::privilegeMissing, 4},
                      FailureCase{"RebootRequestRefused", &SimRestart::failExit, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportShutdownFailure, ShowsTheFailureBox) {
    ScriptedPrompt prompt;
    prompt.Expect("Failure", platform::kIdOk);
    ReportShutdownFailure(prompt);
    ExpectOneFailureBox(prompt);
}

}  // namespace
}  // namespace quorvel::restart
