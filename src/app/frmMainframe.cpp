// The main window's start-up, page switching, menus and the event handlers of its pages.
#include "app/frmMainframe.h"

#include "applied/Applied.h"
#include "backup/Backup.h"
#include "backup/BackupTexts.h"
#include "backup/Restore.h"
#include "change/Change.h"
#include "confirm/Confirm.h"
#include "detect/Detection.h"
#include "install/Install.h"
#include "modes/Composers.h"
#include "settings/RateSettings.h"
#include "text/Concat.h"
#include "text/CrLf.h"

namespace quorvel::app {

using platform::kHkeyLocalMachine;

frmMainframe::frmMainframe(platform::Platform& platform)
    : platform_(platform), registry_(platform.registry, platform.prompt) {
    tbsMain.Add(kTabIntroduction, kTabIntroductionTip);
    tbsMain.Add(kTabSysInfo, kTabSysInfoTip);
    tbsMain.Add(kTabSettings, kTabSettingsTip);
}

void frmMainframe::Form_Load() {
    registry_.CreateKey(kHkeyLocalMachine, kOwnKeyPath);
    registry_.SetStringValue(kHkeyLocalMachine, kOwnKeyPath, kVersionValueName, kVersionText);
    cmb.fill(0);  // "<None>"
    mnuConfirm.checked = confirm::Wanted(platform_.registry);
    GatherSystemInfo();
    monitor.Read(platform_.registry, registry_);
    ShowMonitorLine();
}

void frmMainframe::ShowMonitorLine() {
    lblMonitor.caption = monitor.LineText();
    // Red is for a problem: an EDID that cannot be read, not limits that nobody gave.
    lblMonitor.foreColor =
        !monitor.Known() && monitor.limits.edidUnreadable ? kRed : kFindingColour;
}

void frmMainframe::mnuMonitorLimits_Click() {
    frmMonitorLimits dialog(platform_.prompt, monitor.typed);
    if (dialogs) {
        dialogs->ShowMonitorLimits(dialog);
    }
    if (dialog.accepted) {
        monitor.Type(dialog.typedLimits, registry_);
        ShowMonitorLine();
    }
}

void frmMainframe::GatherSystemInfo() {
    blnCompressedActive = false;
    const detect::Findings f = detect::GatherSystemInfo(registry_, platform_.system);

    const auto found = [](Label& label, const std::string& text) {
        label.caption = text;
        label.foreColor = kFindingColour;
    };
    if (f.isNt) {
        found(lblOS, detect::kOsNt);
    }
    if (f.deviceDescription) {
        found(lblDeviceDesc, *f.deviceDescription);
    }
    if (f.driverVersion) {
        found(lblDetVer, detect::VersionCaption(*f.driverVersion));
    }
    if (f.formatCapable) {
        found(lblFormatCapability, detect::kYes);
    }
    if (f.formatActive) {
        found(lblFormatUsage, detect::kYes);
        blnCompressedActive = true;
    }
    if (f.detonator40) {
        blnDetonator40 = *f.detonator40;
        found(lblFormatHexadecimal, blnDetonator40 ? detect::kYes : detect::kNo);
    }

    if (f.settingsTab == detect::SettingsTab::Remove) {
        if (tbsMain.Count() >= 3) {
            tbsMain.Remove(3);
        }
    } else if (f.settingsTab == detect::SettingsTab::Rename40) {
        tbsMain.Item(3).caption = kTabSettings40;
    }
    lblSummary.caption = f.summary;
    if (f.summaryRed) {
        lblSummary.foreColor = kRed;
    }
    obtVerError40.visible = f.offerGenerationChoice;
    obtVerError28.visible = f.offerGenerationChoice;

    generationKnown_ = f.detonator40.has_value();
    driverVersion_ = f.driverVersion;
    platform::DisplayMode now;
    if (platform_.system.EnumDisplaySettingsA(platform::kEnumCurrentSettings, &now)) {
        lblScreenNow.caption = applied::ScreenText(now);
        lblScreenNow.foreColor = kFindingColour;
    }
    ReadTablesAndRecord();
    ShowTablesAndRecord();
    SelectRecordedRates();
    UpdateMenus();
}

void frmMainframe::ReadTablesAndRecord() {
    installed_ = readback::ReadInstalledTables(registry_);
    record_ = applied::ReadRecord(platform_.registry);
}

bool frmMainframe::RecordInstalled() const {
    // Without a known generation the record's own tells the format the tables must be in.
    return record_ && record_->damaged.empty() &&
           applied::IsInstalled(*record_, installed_,
                                generationKnown_ ? blnDetonator40 : record_->detonator40);
}

void frmMainframe::ShowTablesAndRecord() {
    ShowInstalledTable();
    // A check after the restart that could not put the old rates back says so here until the
    // next change.
    const std::string failed = confirm::Failed(platform_.registry);
    lblApplied.visible = (record_ && !RecordInstalled()) || !failed.empty();
    lblApplied.caption = failed;
    lblRatesInEffect.visible = record_.has_value();
    if (!record_) {
        return;
    }
    const SettingsPage inUse = SettingsPageInUse();
    const modes::Rows notOffered =
        inUse == SettingsPage::None ? 0
                                    : modes::SelectRates(record_->rates, blnDetonator40).notOffered;
    if (!RecordInstalled()) {
        std::string line = applied::NotInstalledText(*record_, driverVersion_, notOffered);
        if (!record_->damaged.empty()) {
            line += text::kCrLf + applied::DamagedText(*record_);
        }
        lblApplied.caption = failed.empty() ? line : text::Concat({failed, text::kCrLf, line});
    }
    applied::InEffect inEffect =
        applied::RatesInEffect(*record_, platform_.system, RecordInstalled());
    lblRatesInEffect.caption = std::move(inEffect.text);
    lblRatesInEffect.foreColor = inEffect.allOffered ? kFindingColour : kRed;
}

void frmMainframe::SelectRecordedRates() {
    if (!record_ || RecordInstalled()) {
        return;
    }
    // A page the user has picked rates on keeps them.
    const modes::PageSelection page = modes::SelectRates(record_->rates, blnDetonator40);
    const SettingsPage inUse = SettingsPageInUse();
    if (inUse == SettingsPage::Hexadecimal && !settings::HexPage(cmb).AnyRateSelected()) {
        cmb = page.cmb;
    } else if (inUse == SettingsPage::Compressed &&
               !settings::CompressedPage(opt).AnyRateSelected()) {
        opt = page.opt;
    }
}

void frmMainframe::ShowInstalledTable() {
    const readback::InstalledLine line = readback::DescribeInstalled(
        installed_, generationKnown_ ? std::optional<bool>(blnDetonator40) : std::nullopt);
    lblInstalledTable.caption = line.text;
    lblInstalledTable.foreColor = line.red ? kRed : kFindingColour;
}

void frmMainframe::UpdateMenus() {
    mnuLoadInstalled.enabled = tbsMain.Count() >= 3;
    mnuPreview.enabled = mnuLoadInstalled.enabled;
}

void frmMainframe::ClickTab(int index) {
    if (index < 1 || index > tbsMain.Count()) {
        return;
    }
    tbsMain.selectedIndex = index;
    tbsMain_Click();
}

void frmMainframe::tbsMain_Click() {
    const int index = tbsMain.selectedIndex;
    if (index < 1 || index > 3) {
        return;
    }
    fmeIntroVisible = index == 1;
    fmeSysInfoVisible = index == 2;
    fmeSettings40Visible = index == 3 && blnDetonator40;
    fmeSettingsVisible = index == 3 && !blnDetonator40;
}

frmMainframe::SettingsPage frmMainframe::SettingsPageInUse() const {
    if (tbsMain.Count() < 3) {
        return SettingsPage::None;
    }
    return blnDetonator40 ? SettingsPage::Hexadecimal : SettingsPage::Compressed;
}

void frmMainframe::EndProgram() {
    aboutBox.reset();
    unloaded = true;
}

void frmMainframe::mnuExit_Click() {
    EndProgram();
}

void frmMainframe::Form_Unload() {
    EndProgram();
}

void frmMainframe::mnuAbout_Click() {
    if (!aboutBox) {
        aboutBox.emplace(platform_.shell);
    }
    if (dialogs) {
        dialogs->ShowAboutBox(*aboutBox);
    }
}

void frmMainframe::ClickGenerationOption(bool detonator40) {
    OptionButton& picked = detonator40 ? obtVerError40 : obtVerError28;
    if (picked.value) {
        return;  // an option button already selected raises no click
    }
    picked.value = true;
    (detonator40 ? obtVerError28 : obtVerError40).value = false;
    if (detonator40) {
        obtVerError40_Click();
    } else {
        obtVerError28_Click();
    }
}

void frmMainframe::obtVerError40_Click() {
    ChooseGeneration(true);
}

void frmMainframe::obtVerError28_Click() {
    ChooseGeneration(false);
}

void frmMainframe::ChooseGeneration(bool detonator40) {
    detect::ShowGenerationNotice(platform_.prompt, detonator40);
    if (tbsMain.Count() == 3) {
        tbsMain.Remove(3);
    }
    blnDetonator40 = detonator40;
    tbsMain.Add(detonator40 ? kTabSettings40 : kTabSettings);
    tbsMain.Item(3).toolTip = kTabSettingsTip;
    generationKnown_ = true;
    ShowTablesAndRecord();
    SelectRecordedRates();
    UpdateMenus();
}

void frmMainframe::mnuLoadInstalled_Click() {
    if (!mnuLoadInstalled.enabled) {
        return;
    }
    installed_ = readback::ReadInstalledTables(registry_);
    ShowInstalledTable();
    const readback::InstalledLoad load = readback::PlanInstalledLoad(installed_, blnDetonator40);
    if (load.changesPage) {
        // As the user would pick them, so that the page's state and the view stay one.
        if (blnDetonator40) {
            for (std::size_t row = 0; row < load.cmb.size(); ++row) {
                PickListItem(row, load.cmb[row]);
            }
        } else {
            cmdDeselect_Click();
            for (std::size_t row = 0; row < load.opt.size(); ++row) {
                for (std::size_t index = 0; index < load.opt[row].size(); ++index) {
                    if (load.opt[row][index]) {
                        ClickRateOption(row, index);
                    }
                }
            }
        }
        ClickTab(3);
    }
    platform_.prompt.Show(load.report, readback::kLoadTitle,
                          platform::kMbOk | platform::kMbIconInformation);
}

void frmMainframe::ClickRateOption(std::size_t row, std::size_t index) {
    settings::ClickRate(opt, row, index);
}

void frmMainframe::PickListItem(std::size_t row, int item) {
    cmb.at(row) = item;
}

void frmMainframe::cmdDeselect_Click() {
    settings::DeselectAll(opt);
}

void frmMainframe::cmdDeselect40_Click() {
    settings::DeselectAll(cmb);
}

void frmMainframe::tmrWarning_Timer() {
    lblWarning.visible = !lblWarning.visible;
}

void frmMainframe::tmrWarning40_Timer() {
    lblWarning40.visible = !lblWarning40.visible;
}

void frmMainframe::cmdApply_Click() {
    if (settings::ConfirmSelection(settings::CompressedPage(opt), platform_.prompt) &&
        monitor.Confirm(ChosenModes(modes::RatesOf(opt)), platform_.prompt)) {
        InstallModeTable(modes::RatesOf(opt));
    }
}

void frmMainframe::cmdApply40_Click() {
    if (settings::ConfirmSelection(settings::HexPage(cmb), platform_.prompt) &&
        monitor.Confirm(ChosenModes(modes::RatesOf(cmb)), platform_.prompt)) {
        InstallModeTable(modes::RatesOf(cmb));
    }
}

// What "Apply" on the settings page in use would write now: the same plan, with the present data,
// and the format switched on as a Yes to the format question would.
void frmMainframe::mnuPreview_Click() {
    if (!mnuPreview.enabled) {
        return;
    }
    const bool any = blnDetonator40 ? settings::HexPage(cmb).AnyRateSelected()
                                    : settings::CompressedPage(opt).AnyRateSelected();
    std::optional<install::InstallPlan> plan;
    if (any) {
        const modes::Rates rates = blnDetonator40 ? modes::RatesOf(cmb) : modes::RatesOf(opt);
        plan = change::PlanChange({rates, blnDetonator40, blnCompressedActive, driverVersion_},
                                  registry_);
        if (!blnCompressedActive) {
            install::SwitchFormatOn(*plan);
        }
        registry::ReadPresentData(plan->keys, registry_);
    }
    frmPreview preview(std::move(plan), !blnCompressedActive, platform_);
    if (dialogs) {
        dialogs->ShowPreview(preview);
    }
}

void frmMainframe::mnuRestore_Click() {
    const std::string path = platform_.files.GetOpenFileNameA(
        backup::kRestoreTitle, backup::kFilterName, backup::kFilterPattern,
        backup::RestoreFolder(registry_, platform_.files));
    if (path.empty()) {
        return;
    }
    if (backup::RestoreBackup(path, registry_, platform_).programEnds) {
        EndProgram();
        return;
    }
    // The restore may have changed the tables and the record the page describes.
    ReadTablesAndRecord();
    ShowTablesAndRecord();
}

void frmMainframe::mnuConfirm_Click() {
    mnuConfirm.checked = !mnuConfirm.checked;
    confirm::SetWanted(platform_.registry, mnuConfirm.checked);
}

void frmMainframe::InstallModeTable(const modes::Rates& rates) {
    change::BoxesAsk ask(platform_);
    const change::Outcome outcome = change::MakeChange(
        {rates, blnDetonator40, blnCompressedActive, driverVersion_, mnuConfirm.checked}, ask,
        platform_);
    if (outcome.programEnds) {
        EndProgram();
    } else if (outcome.written) {
        ReadTablesAndRecord();
        ShowTablesAndRecord();
    }
}

}  // namespace quorvel::app
