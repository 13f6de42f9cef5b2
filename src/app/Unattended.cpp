// "/apply": detection, the checks of the settings pages, the plan, the backup and the writes, each
// step written to the log.
#include "app/Unattended.h"

#include <algorithm>

#include "app/frmMainframe.h"
#include "backup/Backup.h"
#include "detect/Detection.h"
#include "install/Install.h"
#include "modes/Composers.h"
#include "app/MonitorCheck.h"
#include "monitor/Limits.h"
#include "restart/Restart.h"
#include "settings/RateSettings.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"

namespace quorvel::app {

using text::Concat;
using text::kCrLf;

namespace {

constexpr const char* kRefused = "Refused: ";
constexpr const char* kNoGeneration =
    "The driver version was not found: give /generation 28 or /generation 40.";
constexpr const char* kContradiction = "/generation contradicts the driver version found.";
constexpr const char* kNotOnPage = " is not offered by the settings page of this driver.";
constexpr const char* kWarned = "\"Apply\" would warn about ";
constexpr const char* kForceHint = "Give /force to write such rates all the same.";
constexpr const char* kHighArea = "a rate above 85 Hz in the high resolution area";
constexpr const char* kLowArea = "a rate above 75 Hz in the low resolution area";
constexpr const char* kBackupRefused =
    "The undo file could not be made whole, so nothing was written.";

// Every box goes to the log: its title and its text on one line.
class LogPrompt : public platform::IPrompt {
  public:
    explicit LogPrompt(std::string& log) : log_(log) {}
    int Show(const std::string& text, const std::string& title, std::uint32_t style) override {
        std::string flat = text;
        for (std::size_t at = flat.find(kCrLf); at != std::string::npos; at = flat.find(kCrLf)) {
            flat.replace(at, 2, " ");
        }
        log_ += Concat({"Box \"", title, "\": ", flat, kCrLf});
        return (style & 0x0F) == platform::kMbYesNo ? platform::kIdNo : platform::kIdOk;
    }

  private:
    std::string& log_;
};

std::string ModeText(int width, int height, int rate) {
    return Concat(
        {std::to_string(width), "x", std::to_string(height), " at ", std::to_string(rate), " Hz"});
}

// The steps of one run; each adds its lines to the log. `Refuse` ends the run with code 1.
class ApplyRun {
  public:
    ApplyRun(const CommandLine& command, platform::Platform& platform, std::string& log)
        : command_(command),
          platform_(platform),
          log_(log),
          registry_(platform.registry, platform.prompt) {}

    int Run() {
        const platform::SystemTime now = platform_.files.GetLocalTime();
        std::string modes;
        for (const ModeChoice& mode : command_.modes) {
            modes += Concat({modes.empty() ? "" : ",", std::to_string(mode.width), "x",
                             std::to_string(mode.height), "@", std::to_string(mode.rate)});
        }
        Line(Concat({text::Decimal(now.year), "-", text::Decimal(now.month, 2), "-",
                     text::Decimal(now.day, 2), " ", text::Decimal(now.hour, 2), ":",
                     text::Decimal(now.minute, 2), ":", text::Decimal(now.second, 2),
                     "  quorvel.exe /apply ", modes}));
        if (!command_.text.empty()) {
            return Refuse(command_.text);
        }
        const detect::Findings f = detect::GatherSystemInfo(registry_, platform_.system);
        Line(Concat({"Device description: ", f.deviceDescription.value_or("not found")}));
        Line(Concat({"Detonator version: ",
                     f.driverVersion ? detect::VersionCaption(*f.driverVersion) : "not found"}));
        Line(Concat({"Compressed mode format: ", f.formatActive    ? "in use"
                                                 : f.formatCapable ? "capable, not in use"
                                                                   : "not found"}));
        // Without the version the window offers the choice of generation: /generation makes it.
        if (f.settingsTab == detect::SettingsTab::Remove && !f.offerGenerationChoice) {
            return Refuse(f.summary);
        }
        if (!f.detonator40 && !command_.detonator40) {
            return Refuse(kNoGeneration);
        }
        if (f.detonator40 && command_.detonator40 && *f.detonator40 != *command_.detonator40) {
            return Refuse(kContradiction);
        }
        detonator40_ = f.detonator40 ? *f.detonator40 : *command_.detonator40;
        Line(detonator40_ ? "Generation: 40.41, hexadecimal compressed mode format"
                          : "Generation: 28.32, compressed mode format");
        if (!Select() || !CheckWarnings()) {
            return kExitRefused;
        }

        const std::string table =
            detonator40_ ? modes::BuildHexModes(cmb_) : modes::BuildCompressedModes(opt_);
        install::InstallPlan plan = install::PlanInstallation(table, registry_);
        Line(Concat({"Mode table: ", table}));
        if (!f.formatActive) {
            if (command_.formatOn.value_or(true)) {
                install::SwitchFormatOn(plan);
            }
            Line(plan.switchFormatOn ? "Format question: Yes, the format is switched on"
                                     : "Format question: No (/format off)");
        }
        const backup::BackupOutcome saved = backup::BackUp(plan.keys, registry_, platform_);
        if (!saved.goOn) {
            return Refuse(kBackupRefused);
        }
        Line(Concat({"Undo file: ", saved.undoFile}));
        const std::vector<std::string> failed = install::WritePlan(plan, registry_);
        std::size_t values = 0;
        for (const registry::PlannedKey& key : plan.keys) {
            for (const registry::PlannedValue& value : key.values) {
                const std::string path =
                    Concat({registry::kRootName, "\\", key.keyPath, "\\", value.name});
                const bool ok = std::find(failed.begin(), failed.end(), path) == failed.end();
                Line(Concat({ok ? "Written: " : "Failed: ", path}));
                ++values;
            }
        }
        if (!failed.empty()) {
            Line(Concat({std::to_string(failed.size()), " of ", std::to_string(values),
                         " values could not be written; the undo file puts back the others."}));
            return kExitSomeFailed;
        }
        if (command_.reboot) {
            Line("Restarting Windows (/reboot).");
            restart::RebootSystem(platform_.restart, platform_.prompt);
        }
        return kExitApplied;
    }

  private:
    void Line(const std::string& text) { log_ += text + kCrLf; }

    int Refuse(const std::string& why) {
        Line(kRefused + why);
        return kExitRefused;
    }

    // The modes as the settings page of the generation would hold them.
    bool Select() {
        for (const ModeChoice& mode : command_.modes) {
            std::size_t row = 0;
            while (row < modes::kResolutionCount &&
                   (modes::kCatalogue[row].width != mode.width ||
                    modes::kCatalogue[row].height != mode.height)) {
                ++row;
            }
            const auto* index = std::find(modes::kCompressedRates.begin(),
                                          modes::kCompressedRates.end(), mode.rate);
            const std::optional<int> item = modes::HexItemOf(mode.rate);
            if (row == modes::kResolutionCount ||
                (detonator40_ ? !item : index == modes::kCompressedRates.end())) {
                Refuse(ModeText(mode.width, mode.height, mode.rate) + kNotOnPage);
                return false;
            }
            chosen_.push_back({mode.width, mode.height, mode.rate});
            if (detonator40_) {
                cmb_[row] = *item;
            } else {
                opt_[row][static_cast<std::size_t>(index - modes::kCompressedRates.begin())] = true;
            }
        }
        return true;
    }

    // What the window would warn about: the two areas' thresholds and the monitor's limits.
    bool CheckWarnings() {
        std::vector<std::string> warnings;
        const settings::CompressedPage compressed(opt_);
        const settings::HexPage hex(cmb_);
        const settings::IRatePage& page =
            detonator40_ ? static_cast<const settings::IRatePage&>(hex) : compressed;
        if (page.HighAreaRateAbove85()) {
            warnings.push_back(kHighArea);
        }
        if (page.LowAreaRateAbove75()) {
            warnings.push_back(kLowArea);
        }
        MonitorCheck monitor;
        monitor.Read(platform_.registry, registry_);
        const monitor::MonitorLimits& limits = monitor.limits;
        for (const monitor::ChosenMode& mode : chosen_) {
            const std::string ruledOut =
                monitor::RuledOutText(mode.width, mode.height, mode.rateHz, limits);
            if (!ruledOut.empty()) {
                warnings.push_back(ruledOut);
            }
        }
        for (const std::string& warning : warnings) {
            Line(Concat(
                {command_.force ? "Written all the same (/force): " : kRefused, kWarned, warning}));
        }
        if (!warnings.empty() && !command_.force) {
            Line(kForceHint);
            return false;
        }
        return true;
    }

    const CommandLine& command_;
    platform::Platform& platform_;
    std::string& log_;
    registry::mdlRegistry registry_;
    bool detonator40_ = false;
    modes::CompressedSelection opt_{};
    modes::HexSelection cmb_{};
    std::vector<monitor::ChosenMode> chosen_;
};

}  // namespace

int RunApply(const CommandLine& command, platform::Platform& platform) {
    std::string log;
    LogPrompt prompt(log);
    platform::Platform quiet{platform.registry, prompt,           platform.system,
                             platform.shell,    platform.restart, platform.files};
    const int code = ApplyRun(command, quiet, log).Run();
    log += Concat({"Exit code ", std::to_string(code), kCrLf, kCrLf});
    std::string path = command.file;
    if (path.empty()) {
        const std::string folder = backup::UsableBackupFolder(platform.files);
        path = folder.empty() ? std::string() : folder + "\\" + kLogFileName;
    }
    if (!path.empty()) {
        platform.files.WriteToFile(path, log, platform::WriteMode::Append);
    }
    return code;
}

}  // namespace quorvel::app
