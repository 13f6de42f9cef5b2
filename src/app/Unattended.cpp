// "/apply" and "/reapply": the checks of the settings pages, then the change as the window makes
// it, with the switches for answers and every step and box written to the log.
#include "app/Unattended.h"

#include "app/Log.h"
#include "app/MonitorCheck.h"
#include "applied/Applied.h"
#include "backup/Backup.h"
#include "backup/BackupTexts.h"
#include "change/Change.h"
#include "detect/Detection.h"
#include "monitor/Limits.h"
#include "registry/DriverKeys.h"
#include "registry/Plan.h"
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
constexpr const char* kAlreadyInstalled =
    "Already installed: every value holds its new data, so nothing was written.";
constexpr const char* kDamagedRecord = ". The record is left as it is, so that nothing is lost.";
// The change's questions, answered by the switches, and its steps, logged.
class LogAsk : public change::IAsk {
  public:
    LogAsk(const CommandLine& command, Log& log, LogPrompt& prompt, platform::Platform& platform)
        : command_(command), log_(log), prompt_(prompt), platform_(platform) {}

    void SettleFormat(install::InstallPlan& plan) override {
        if (command_.formatOn.value_or(true)) {
            install::SwitchFormatOn(plan);
            log_.Line("Format question: Yes, the format is switched on");
        } else {
            log_.Line("Format question: No (/format off)");
        }
    }

    // A run that would change nothing writes nothing, and makes no undo file: a logon script may
    // run it at every logon.
    bool Confirm(const install::InstallPlan& plan) override {
        log_.Line(Concat({"Mode table: ", plan.strModeTable}));
        std::vector<registry::PlannedKey> keys = plan.keys;
        registry::mdlRegistry registry(platform_.registry, platform_.prompt);
        registry::ReadPresentData(keys, registry);
        for (const registry::PlannedKey& key : keys) {
            for (const registry::PlannedValue& value : key.values) {
                if (value.Changes()) {
                    return true;
                }
            }
        }
        log_.Line(kAlreadyInstalled);
        alreadyInstalled = true;
        return false;
    }

    bool BeforeWriting(const std::string& undoFile) override {
        backedUp = true;
        log_.Line(Concat({"Undo file: ", undoFile}));
        writing = log_.Flush();
        return writing;
    }

    bool Completed(const install::InstallPlan& plan, const std::string&,
                   const std::string& checkLine) override {
        std::size_t values = 0;
        std::size_t failed = 0;
        for (const registry::PlannedKey& key : plan.keys) {
            for (const registry::PlannedValue& value : key.values) {
                log_.Line(Concat({value.failed ? "Failed: " : "Written: ", registry::kRootName,
                                  "\\", key.keyPath, "\\", value.name}));
                ++values;
                failed += value.failed ? 1 : 0;
            }
        }
        if (failed != 0) {
            log_.Line(
                Concat({text::Decimal(failed), " of ", text::Decimal(values),
                        " values could not be written; the undo file puts back the others."}));
        }
        if (!checkLine.empty()) {
            log_.Line(checkLine);
        }
        if (!command_.reboot || failed != 0 || prompt_.failures != 0) {
            return false;
        }
        log_.Line("Restarting Windows (/reboot).");
        log_.Flush();
        restart::RebootSystem(platform_.restart, platform_.prompt);
        return true;
    }

    bool alreadyInstalled = false;  // every value holds its new data already
    bool backedUp = false;          // the backup was made, or the user went on without one
    bool writing = false;           // and the log took every line so far: the values were written

  private:
    const CommandLine& command_;
    Log& log_;
    LogPrompt& prompt_;
    platform::Platform& platform_;
};

// The steps before the change; each adds its lines to the log. `Refuse` ends the run with code 1.
class ApplyRun {
  public:
    ApplyRun(const CommandLine& command, platform::Platform& platform, Log& log, LogPrompt& prompt)
        : command_(command),
          platform_(platform),
          log_(log),
          prompt_(prompt),
          registry_(platform.registry, platform.prompt) {}

    int Run() {
        const bool reapply = command_.action == CommandLine::Action::Reapply;
        if (!command_.text.empty()) {
            return Refuse(command_.text);
        }
        std::optional<applied::Record> record;
        if (reapply) {
            // No record, nothing to do: whatever the machine, a logon script is not to fail.
            record = applied::ReadRecord(platform_.registry);
            if (!record) {
                log_.Line(kNoRecord);
                return kExitApplied;
            }
            if (!record->damaged.empty()) {
                return Refuse(applied::DamagedText(*record) + kDamagedRecord);
            }
            rates_ = record->rates;
        }
        for (const ModeChoice& mode : command_.modes) {
            const std::size_t row = modes::RowOf(mode.width, mode.height);
            if (row >= modes::kResolutionCount || mode.rate <= 0) {
                return Refuse(modes::ModeText(mode.width, mode.height, mode.rate) + kNotOnPage);
            }
            rates_[row] = mode.rate;
        }
        const detect::Findings f = detect::GatherSystemInfo(registry_, platform_.system);
        log_.Line(Concat({"Device description: ", f.deviceDescription.value_or("not found")}));
        log_.Line(
            Concat({"Detonator version: ",
                    f.driverVersion ? detect::VersionCaption(*f.driverVersion) : "not found"}));
        const char* format = "not found";
        if (f.formatActive) {
            format = "in use";
        } else if (f.formatCapable) {
            format = "capable, not in use";
        }
        log_.Line(Concat({"Compressed mode format: ", format}));
        // Without the version the window offers the choice of generation: /generation makes it,
        // or the record's own.
        if (f.settingsTab == detect::SettingsTab::Remove && !f.offerGenerationChoice) {
            return Refuse(f.summary);
        }
        if (f.detonator40 && command_.detonator40 && *f.detonator40 != *command_.detonator40) {
            return Refuse(kContradiction);
        }
        if (f.detonator40) {
            detonator40_ = *f.detonator40;
        } else if (command_.detonator40) {
            detonator40_ = *command_.detonator40;
        } else if (record) {
            detonator40_ = record->detonator40;
        } else {
            return Refuse(kNoGeneration);
        }
        log_.Line(detonator40_ ? "Generation: 40.41, hexadecimal compressed mode format"
                               : "Generation: 28.32, compressed mode format");
        if (record) {
            const readback::InstalledTables tables = readback::ReadInstalledTables(registry_);
            if (applied::IsInstalled(*record, tables, detonator40_)) {
                log_.Line(Concat({kRecordInstalledStart, record->date, kRecordInstalledEnd}));
                return kExitApplied;
            }
            log_.Line(applied::NotInstalledText(*record, f.driverVersion, 0));
        }
        if (!Offered() || !CheckWarnings()) {
            return kExitRefused;
        }

        LogAsk ask(command_, log_, prompt_, platform_);
        const change::Outcome outcome = change::MakeChange(
            {rates_, detonator40_, f.formatActive, f.driverVersion, command_.confirm}, ask,
            platform_);
        if (ask.alreadyInstalled) {
            return kExitApplied;
        }
        if (!ask.backedUp) {
            return Refuse(kBackupRefused);
        }
        if (!ask.writing) {
            return kExitRefused;  // the log could not be written on: standard error says why
        }
        return outcome.failed != 0 || prompt_.failures != 0 ? kExitSomeFailed : kExitApplied;
    }

  private:
    int Refuse(platform::CStr why) {
        log_.Line(Concat({kRefused, why}));
        return kExitRefused;
    }

    // Every rate is one the settings page of the generation offers.
    bool Offered() {
        const modes::PageSelection page = modes::SelectRates(rates_, detonator40_);
        for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
            if ((page.notOffered >> row & 1) != 0) {
                Refuse(modes::ModeText(modes::kCatalogue[row].width, modes::kCatalogue[row].height,
                                       rates_[row]) +
                       kNotOnPage);
                return false;
            }
        }
        return true;
    }

    // What the window would warn about: the two areas' thresholds and the monitor's limits.
    bool CheckWarnings() {
        std::vector<std::string> warnings;
        const modes::PageSelection page = modes::SelectRates(rates_, detonator40_);
        const settings::CompressedPage compressed(page.opt);
        const settings::HexPage hex(page.cmb);
        const settings::IRatePage& shown =
            detonator40_ ? static_cast<const settings::IRatePage&>(hex) : compressed;
        if (shown.HighAreaRateAbove85()) {
            warnings.push_back(kHighArea);
        }
        if (shown.LowAreaRateAbove75()) {
            warnings.push_back(kLowArea);
        }
        MonitorCheck monitor;
        monitor.Read(platform_.registry, registry_);
        for (const monitor::ChosenMode& mode : ChosenModes(rates_)) {
            const std::string ruledOut =
                monitor::RuledOutText(mode.width, mode.height, mode.rateHz, monitor.limits);
            if (!ruledOut.empty()) {
                warnings.push_back(ruledOut);
            }
        }
        for (const std::string& warning : warnings) {
            log_.Line(Concat(
                {command_.force ? "Written all the same (/force): " : kRefused, kWarned, warning}));
        }
        if (!warnings.empty() && !command_.force) {
            log_.Line(kForceHint);
            return false;
        }
        return true;
    }

    const CommandLine& command_;
    platform::Platform& platform_;
    Log& log_;
    LogPrompt& prompt_;
    registry::mdlRegistry registry_;
    bool detonator40_ = false;
    modes::Rates rates_{};
};

}  // namespace

int RunApply(const CommandLine& command, platform::Platform& platform) {
    Log log(platform);
    log.Start(command.arguments);
    if (!log.Open(command.file)) {
        return kExitRefused;
    }
    LogPrompt prompt(log, platform::kIdNo);
    platform::Platform quiet{platform.registry, prompt,           platform.system,
                             platform.shell,    platform.restart, platform.files};
    const int code = ApplyRun(command, quiet, log, prompt).Run();
    log.Line(Concat({"Exit code ", text::Decimal(code), kCrLf}));
    if (!log.Flush() && code == kExitApplied) {
        return kExitSomeFailed;
    }
    return code;
}

}  // namespace quorvel::app
