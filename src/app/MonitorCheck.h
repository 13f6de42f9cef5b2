// What the monitor's limits mean for the main window: the limits known (from the monitors' EDIDs
// and typed in), the "Monitor:" line, and the rates of both settings pages that they rule out,
// each with the text that says why.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "modes/Catalogue.h"
#include "monitor/Limits.h"
#include "platform/Registry.h"
#include "registry/mdlRegistry.h"

namespace quorvel::app {

// The modes of the rates chosen, as the limits are checked against them.
std::vector<monitor::ChosenMode> ChosenModes(const modes::Rates& rates);

class MonitorCheck {
  public:
    // Reads the monitors' EDIDs, without ever a box (a failure counts as no information, and the
    // Monitor line says so), and the typed-in limits.
    void Read(platform::IRegistry& api, registry::mdlRegistry& registry);
    // Takes limits the user typed in and keeps them under the program's key.
    void Type(const monitor::TypedLimits& typed, registry::mdlRegistry& registry);

    std::string LineText() const;
    bool Known() const { return limits.Known(); }
    // The "Monitor limits" box for the chosen modes beyond the limits; true to go on.
    bool Confirm(const std::vector<monitor::ChosenMode>& modes, platform::IPrompt& prompt) const;

    // What an option button's or a list item's mode needs and the monitor allows; empty when it
    // is within the limits. Such a caption or item is drawn grey.
    const std::string& OptionRuledOut(std::size_t row, std::size_t index) const;
    const std::string& ItemRuledOut(std::size_t row, std::size_t item) const;
    // A list's tool tip: every rate of its row that the limits rule out, each with why.
    std::string ListToolTip(std::size_t row) const;

    monitor::TypedLimits typed;
    monitor::MonitorLimits limits;

  private:
    void Combine();

    std::vector<monitor::EdidInfo> edids_;
    bool unreadable_ = false;
    std::array<std::array<std::string, modes::kCompressedRateCount>, modes::kResolutionCount>
        optRuledOut_;
    std::array<std::array<std::string, modes::kHexRateCount + 1>, modes::kResolutionCount>
        cmbRuledOut_;
};

}  // namespace quorvel::app
