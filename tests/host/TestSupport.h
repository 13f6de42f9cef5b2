// Shared test scaffolding: a complete simulated platform with a scripted prompt that fails the
// running test on any box nobody expected.
#pragma once

#include <gtest/gtest.h>

#include <string>

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

struct SimWorld {
    platform::sim::SimRegistry registry;
    platform::sim::ScriptedPrompt prompt;
    platform::sim::SimSystemInfo system;
    platform::sim::SimShell shell;
    platform::sim::SimRestart restart;
    platform::sim::SimFiles files;
    platform::Platform platform{registry, prompt, system, shell, restart, files};

    SimWorld() {
        prompt.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    }

    void Load(const std::string& fixture) {
        std::string error;
        ASSERT_TRUE(registry.ImportRegFile(FixturePath(fixture), &error))
            << fixture << ": " << error;
    }
};

}  // namespace quorvel::testing
