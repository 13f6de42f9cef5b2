// simbench: detection and installation time per subkey on the simulated registry, for a 40.41
// driver among N device classes and N display adapters.
//
//   simbench N...   one line per N: the median time per subkey of one detection (the walk over
//                   the class keys) and of one installation (two walks over the video keys and
//                   the writes)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "detect/Detection.h"
#include "install/Install.h"
#include "modes/Composers.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimRegistry.h"
#include "registry/DriverKeys.h"
#include "registry/mdlRegistry.h"
#include "restart/Restart.h"

namespace {

using namespace quorvel;
using platform::kHkeyLocalMachine;

struct World {
    platform::sim::SimRegistry registry;
    platform::sim::ScriptedPrompt prompt;
    platform::sim::SimSystemInfo system;
    platform::sim::SimRestart restart;
    registry::mdlRegistry reg{registry, prompt};
    bool unexpectedBox = false;

    explicit World(std::size_t subkeys) {
        using platform::sim::DwordValue;
        using platform::sim::MultiStringValue;
        using platform::sim::StringValue;
        const std::string classRoot = std::string(registry::kClassRoot) + "\\";
        const std::string videoRoot = std::string(registry::kVideoRoot) + "\\";
        const std::string service = registry::kServiceKey;
        const std::string description = "NVIDIA GeForce4 Ti 4200";
        registry.PutValue(kHkeyLocalMachine, service, "Device Description",
                          StringValue(description));
        registry.PutValue(kHkeyLocalMachine, service, registry::kUseCompressedModeFormat,
                          DwordValue(0));
        // The driver's own keys come first in the enumeration, then N - 1 others each.
        for (std::size_t i = 0; i < subkeys; ++i) {
            const std::string number = std::to_string(1000000000000ull + i).substr(1);
            const std::string name = "{00000000-0000-0000-0000-" + number + "}";
            const bool nvidia = i == 0;
            const std::string classKey = classRoot + name + "\\0000";
            registry.PutValue(kHkeyLocalMachine, classKey, "DriverDesc",
                              StringValue(nvidia ? description : "Standard device " + number));
            registry.PutValue(kHkeyLocalMachine, classKey, "DriverVersion",
                              StringValue(nvidia ? "40.41" : "5.1.2600.0"));
            registry.PutValue(kHkeyLocalMachine, videoRoot + name + "\\0000",
                              registry::kInstalledDisplayDrivers,
                              MultiStringValue({nvidia ? registry::kNvidiaDisplayDriver : "vga"}));
        }
        prompt.onUnexpected = [this](const std::string& what) {
            std::fprintf(stderr, "simbench: unexpected box: %s\n", what.c_str());
            unexpectedBox = true;
        };
    }
};

// The median of `runs` timings of `work`, in microseconds; `reset` runs untimed before each.
double MedianMicroseconds(int runs, const std::function<void()>& reset,
                          const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        reset();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: simbench N...\n");
        return 2;
    }
    for (int a = 1; a < argc; ++a) {
        const std::size_t n = std::strtoul(argv[a], nullptr, 10);
        if (n == 0) {
            std::fprintf(stderr, "simbench: %s is not a number of subkeys\n", argv[a]);
            return 2;
        }
        World world(n);
        const int runs = n <= 1000 ? 21 : n <= 10000 ? 5 : 3;
        const auto clear = [&world] {
            world.registry.ClearCalls();
            world.prompt.Clear();
        };
        bool found = true;
        const double detection = MedianMicroseconds(runs, clear, [&world, &found] {
            const detect::Findings f = detect::GatherSystemInfo(world.reg, world.system);
            found = found && f.driverVersion && *f.driverVersion == "40.41";
        });
        modes::HexSelection cmb{};
        cmb[9] = *modes::HexItemOf(85);
        const auto answer = [&world] {
            world.registry.ClearCalls();
            world.prompt.Clear();
            world.prompt.Expect("Almost there", platform::kIdYes)
                .Expect("The final frontier", platform::kIdYes)
                .Expect("Completion", platform::kIdNo);
        };
        const double installation = MedianMicroseconds(runs, answer, [&] {
            install::InstallPlan plan =
                install::PlanInstallation(modes::BuildHexModes(cmb), world.reg);
            install::SettleFormat(plan, false, world.prompt);
            if (install::ConfirmInstallation(plan, world.prompt)) {
                install::WritePlan(plan, world.reg);
                restart::OfferRestart(world.prompt, world.restart, "");
            }
        });
        if (!found || world.unexpectedBox) {
            std::fprintf(stderr, "simbench: the driver was not %s at %zu subkeys\n",
                         found ? "installed as expected" : "detected", n);
            return 1;
        }
        std::printf("%7zu subkeys   detection %8.2f us/subkey   installation %8.2f us/subkey\n", n,
                    detection / static_cast<double>(n), installation / static_cast<double>(n));
        std::fflush(stdout);
    }
    return 0;
}
