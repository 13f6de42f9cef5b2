// The monitor's limits as the settings pages and the System information page show them.
#include "app/MonitorCheck.h"

#include <utility>

#include "monitor/MonitorRegistry.h"
#include "registry/DriverKeys.h"
#include "text/CrLf.h"

namespace quorvel::app {

std::vector<monitor::ChosenMode> ChosenModes(const modes::Rates& rates) {
    std::vector<monitor::ChosenMode> chosen;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        if (rates[row] != 0) {
            chosen.push_back(
                {modes::kCatalogue[row].width, modes::kCatalogue[row].height, rates[row]});
        }
    }
    return chosen;
}

void MonitorCheck::Read(platform::IRegistry& api, registry::mdlRegistry& registry) {
    monitor::MonitorsRead read = monitor::ReadMonitorEdids(api);
    edids_ = std::move(read.edids);
    unreadable_ = read.unreadable;
    typed = monitor::ReadTypedLimits(registry, registry::kOwnKey);
    Combine();
}

void MonitorCheck::Type(const monitor::TypedLimits& limitsTyped, registry::mdlRegistry& registry) {
    typed = limitsTyped;
    // The limits hold for this run even when they cannot be stored; the registry says why.
    monitor::WriteTypedLimits(registry, registry::kOwnKey, typed);
    Combine();
}

void MonitorCheck::Combine() {
    limits = monitor::CombineLimits(edids_, typed);
    limits.edidUnreadable = unreadable_;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const modes::Resolution& r = modes::kCatalogue[row];
        for (std::size_t index = 0; index < modes::kCompressedRateCount; ++index) {
            optRuledOut_[row][index] =
                monitor::RuledOutText(r.width, r.height, modes::kCompressedRates[index], limits);
        }
        for (std::size_t item = 0; item < cmbRuledOut_[row].size(); ++item) {
            const int rate = modes::HexItemRate(static_cast<int>(item));
            cmbRuledOut_[row][item] =
                rate ? monitor::RuledOutText(r.width, r.height, rate, limits) : std::string();
        }
    }
}

std::string MonitorCheck::LineText() const {
    return monitor::MonitorLineText(limits);
}

bool MonitorCheck::Confirm(const std::vector<monitor::ChosenMode>& modes,
                           platform::IPrompt& prompt) const {
    return monitor::ConfirmWithinLimits(modes, limits, prompt);
}

const std::string& MonitorCheck::OptionRuledOut(std::size_t row, std::size_t index) const {
    return optRuledOut_.at(row).at(index);
}

const std::string& MonitorCheck::ItemRuledOut(std::size_t row, std::size_t item) const {
    return cmbRuledOut_.at(row).at(item);
}

std::string MonitorCheck::ListToolTip(std::size_t row) const {
    // The limits once at the top, and each rate's needs: "85 Hz needs 107.1 kHz".
    const std::string line = LineText();
    const std::string allowed = line.substr(line.rfind('\n') + 1);
    const std::size_t modeAt = modes::ResolutionText(modes::kCatalogue.at(row)).size() +
                               std::string(monitor::kModeAt).size();
    std::string tip;
    for (const std::string& reason : cmbRuledOut_.at(row)) {
        if (!reason.empty()) {
            tip += (tip.empty() ? monitor::kRuledOutListHeading + allowed + ":" : "") +
                   (text::kCrLf +
                    reason.substr(modeAt, reason.find(monitor::kMonitorAllows) - modeAt));
        }
    }
    return tip;
}

}  // namespace quorvel::app
