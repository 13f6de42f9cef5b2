// "/apply": detection, the checks of the settings pages, the plan, the backup and the writes, each
// step written to the log.
#include "app/Unattended.h"

#include <algorithm>

#include "app/frmMainframe.h"
#include "applied/Applied.h"
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
constexpr const char* kNoRecord = "No rates have been applied on this machine: nothing to do.";
constexpr const char* kRecordInstalledStart = "The rates applied on ";
constexpr const char* kRecordInstalledEnd = " are installed: nothing to do.";

// Every box goes to the log: its title and its text on one line.
class LogPrompt : public platform::IPrompt {
  public:
    explicit LogPrompt(std::string& log) : log_(log) {}
    int Show(const std::string& text, platform::CStr title, std::uint32_t style) override {
        std::string flat = text;
        for (std::size_t at = flat.find(kCrLf); at != std::string::npos; at = flat.find(kCrLf)) {
            flat.replace(at, 2, " ");
        }
        log_ += Concat({"Box \"", title.c_str(), "\": ", flat, kCrLf});
        return (style & 0x0F) == platform::kMbYesNo ? platform::kIdNo : platform::kIdOk;
    }

  private:
    std::string& log_;
};

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
        const bool reapply = command_.action == CommandLine::Action::Reapply;
        std::string modes;
        std::string refusal = command_.text;
        for (const ModeChoice& mode : command_.modes) {
            modes += Concat({modes.empty() ? "" : ",", text::Decimal(mode.width), "x",
                             text::Decimal(mode.height), "@", text::Decimal(mode.rate)});
            const std::size_t row = modes::RowOf(mode.width, mode.height);
            if (row < modes::kResolutionCount && mode.rate > 0) {
                rates_[row] = mode.rate;
            } else if (refusal.empty()) {
                refusal = modes::ModeText(mode.width, mode.height, mode.rate) + kNotOnPage;
            }
        }
        Line(Concat({text::Joined(now.year, now.month, now.day, "-"), " ",
                     text::Joined(now.hour, now.minute, now.second, ":"),
                     reapply ? "  quorvel.exe /reapply" : "  quorvel.exe /apply ", modes}));
        if (!refusal.empty()) {
            return Refuse(refusal);
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
        if (reapply && !RecordNotInstalled(f.driverVersion)) {
            return kExitApplied;
        }
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
            Line(Concat({text::Decimal(failed.size()), " of ", text::Decimal(values),
                         " values could not be written; the undo file puts back the others."}));
            return kExitSomeFailed;
        }
        if (const auto record = applied::RecordOf(table, now, f.driverVersion)) {
            applied::WriteRecord(platform_.registry, *record);
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

    // /reapply: the rates of the record, when the tables no longer hold them.
    bool RecordNotInstalled(const std::optional<std::string>& driverNow) {
        const std::optional<applied::Record> record = applied::ReadRecord(platform_.registry);
        if (!record) {
            Line(kNoRecord);
            return false;
        }
        if (applied::IsInstalled(*record, readback::ReadInstalledTables(registry_), detonator40_)) {
            Line(Concat({kRecordInstalledStart, record->date, kRecordInstalledEnd}));
            return false;
        }
        Line(applied::NotInstalledText(*record, driverNow, 0));
        rates_ = record->rates;
        return true;
    }

    // The rates as the settings page of the generation would hold them.
    bool Select() {
        const modes::PageSelection page = modes::SelectRates(rates_, detonator40_);
        if (page.notOffered != 0) {
            std::size_t row = 0;
            while ((page.notOffered >> row & 1) == 0) {
                ++row;
            }
            Refuse(modes::ModeText(modes::kCatalogue[row].width, modes::kCatalogue[row].height,
                                   rates_[row]) +
                   kNotOnPage);
            return false;
        }
        for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
            if (rates_[row] != 0) {
                chosen_.push_back(
                    {modes::kCatalogue[row].width, modes::kCatalogue[row].height, rates_[row]});
            }
        }
        opt_ = page.opt;
        cmb_ = page.cmb;
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
    modes::Rates rates_{};
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
    log += Concat({"Exit code ", text::Decimal(code), kCrLf, kCrLf});
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
