// Shared test scaffolding, for the host tests and the Windows-side ones: the platform the program
// runs on in a test, with a scripted prompt that fails the running test on any box nobody
// expected, and the 26 mode-table value names.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frmMainframe.h"
#include "modes/Catalogue.h"
#include "platform/Platform.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimRegistry.h"

namespace quorvel::testing {

inline std::string FixturePath(const std::string& name) {
    return std::string(QUORVEL_FIXTURES_DIR) + "/" + name;
}

// The item of the hexadecimal-format page's lists that offers `rate`.
inline int Item(int rate) {
    return modes::HexItemOf(rate).value();
}

// The mode-table values in the order the installation writes them, written out here rather than
// taken from the program.
inline const std::vector<std::string> kModesDeltaNames = {
    "CRUSH11_Modes_Delta",  "NV0A_Modes_Delta",   "NV10_Modes_Delta",    "NV10DDR_Modes_Delta",
    "NV10GL_Modes_Delta",   "NV11_Modes_Delta",   "NV11DDR_Modes_Delta", "NV11GL_Modes_Delta",
    "NV11M_Modes_Delta",    "NV15_Modes_Delta",   "NV15BR_Modes_Delta",  "NV15DDR_Modes_Delta",
    "NV15GL_Modes_Delta",   "NV17_Modes_Delta",   "NV17GL_Modes_Delta",  "NV20_1_Modes_Delta",
    "NV20_2_Modes_Delta",   "NV20_3_Modes_Delta", "NV20_Modes_Delta",    "NV25_Modes_Delta",
    "NV25GL_Modes_Delta",   "NV4_Modes_Delta",    "NV5_Modes_Delta",     "NV5M64_Modes_Delta",
    "NV5ULTRA_Modes_Delta", "NVVANTA_Modes_Delta"};

// The registry and the files given (simulated, or Windows' own in a Windows-side test), and
// everything else simulated.
template <typename Registry, typename Files = platform::sim::SimFiles>
struct TestPlatform {
    TestPlatform() {
        prompt.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    }

    Registry registry;
    platform::sim::ScriptedPrompt prompt;
    platform::sim::SimSystemInfo system;
    platform::sim::SimShell shell;
    platform::sim::SimRestart restart;
    Files files;
    platform::Platform platform{registry, prompt, system, shell, restart, files};
};

struct SimWorld : TestPlatform<platform::sim::SimRegistry> {
    void Load(const std::string& fixture) {
        std::string error;
        ASSERT_TRUE(registry.ImportRegFile(FixturePath(fixture), &error))
            << fixture << ": " << error;
    }
};

// The form's dialogs as a test shows them: each does what the test sets, or nothing.
struct Dialogs : app::IModalDialogs {
    std::function<void(app::frmAboutBox&)> about = [](app::frmAboutBox&) {};
    std::function<void(app::frmMonitorLimits&)> limits = [](app::frmMonitorLimits&) {};
    std::function<void(app::frmPreview&)> preview = [](app::frmPreview&) {};
    void ShowAboutBox(app::frmAboutBox& box) override { about(box); }
    void ShowMonitorLimits(app::frmMonitorLimits& dialog) override { limits(dialog); }
    void ShowPreview(app::frmPreview& shown) override { preview(shown); }
};

}  // namespace quorvel::testing
