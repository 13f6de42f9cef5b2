// The main window's start-up, page switching, menus and the event handlers of its pages.
#include "app/frmMainframe.h"

#include "applied/Applied.h"
#include "backup/Backup.h"
#include "backup/BackupTexts.h"
#include "backup/Restore.h"
#include "detect/Detection.h"
#include "install/Install.h"
#include "modes/Composers.h"
#include "restart/Restart.h"
#include "settings/RateSettings.h"

namespace quorvel::app {

using platform::kHkeyLocalMachine;

namespace {

std::vector<monitor::ChosenMode> ChosenModes(const modes::CompressedSelection& opt) {
    std::vector<monitor::ChosenMode> chosen;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        for (std::size_t index = 0; index < modes::kCompressedRateCount; ++index) {
            if (opt[row][index]) {
                chosen.push_back({modes::kCatalogue[row].width, modes::kCatalogue[row].height,
                                  modes::kCompressedRates[index]});
            }
        }
    }
    return chosen;
}

std::vector<monitor::ChosenMode> ChosenModes(const modes::HexSelection& cmb) {
    std::vector<monitor::ChosenMode> chosen;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        if (const int rate = modes::HexItemRate(cmb[row])) {
            chosen.push_back({modes::kCatalogue[row].width, modes::kCatalogue[row].height, rate});
        }
    }
    return chosen;
}

}  // namespace

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
    GatherSystemInfo();
    monitor.Read(platform_.registry, registry_);
    ShowMonitorLine();
}

void frmMainframe::ShowMonitorLine() {
    lblMonitor.caption = monitor.LineText();
    lblMonitor.foreColor = monitor.Known() ? kFindingColour : kRed;
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
    installed_ = readback::ReadInstalledTables(registry_);
    ShowInstalledTable();
    UpdateMenus();
    CheckApplied();
}

void frmMainframe::CheckApplied() {
    platform::DisplayMode now;
    if (platform_.system.EnumDisplaySettingsA(platform::kEnumCurrentSettings, &now)) {
        lblScreenNow.caption = applied::ScreenText(now);
        lblScreenNow.foreColor = kFindingColour;
    }
    const std::optional<applied::Record> record = applied::ReadRecord(platform_.registry);
    if (!record) {
        return;
    }
    applied::InEffect inEffect = applied::RatesInEffect(*record, platform_.system);
    lblRatesInEffect.caption = std::move(inEffect.text);
    lblRatesInEffect.foreColor = inEffect.allOffered ? kFindingColour : kRed;
    lblRatesInEffect.visible = true;
    const bool detonator40 = generationKnown_ ? blnDetonator40 : record->detonator40;
    if (applied::IsInstalled(*record, installed_, detonator40)) {
        return;
    }
    const modes::PageSelection page = modes::SelectRates(record->rates, blnDetonator40);
    const SettingsPage inUse = SettingsPageInUse();
    lblApplied.caption = applied::NotInstalledText(
        *record, driverVersion_, inUse == SettingsPage::None ? 0 : page.notOffered);
    lblApplied.visible = true;
    if (inUse == SettingsPage::Hexadecimal) {
        cmb = page.cmb;
    } else if (inUse == SettingsPage::Compressed) {
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
    ShowInstalledTable();
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
        monitor.Confirm(ChosenModes(opt), platform_.prompt)) {
        InstallModeTable(modes::BuildCompressedModes(opt));
    }
}

void frmMainframe::cmdApply40_Click() {
    if (settings::ConfirmSelection(settings::HexPage(cmb), platform_.prompt) &&
        monitor.Confirm(ChosenModes(cmb), platform_.prompt)) {
        InstallModeTable(modes::BuildHexModes(cmb));
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
        plan = install::PlanInstallation(
            blnDetonator40 ? modes::BuildHexModes(cmb) : modes::BuildCompressedModes(opt),
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
    // The restore may have changed the tables the "Installed table:" line describes, and the
    // record follows them.
    installed_ = readback::ReadInstalledTables(registry_);
    ShowInstalledTable();
    lblApplied.visible = false;
    CheckApplied();
}

void frmMainframe::InstallModeTable(const std::string& strModeTable) {
    install::InstallPlan plan = install::PlanInstallation(strModeTable, registry_);
    install::SettleFormat(plan, blnCompressedActive, platform_.prompt);
    if (!install::ConfirmInstallation(plan, platform_.prompt)) {
        return;
    }
    const backup::BackupOutcome saved = backup::BackUp(plan.keys, registry_, platform_);
    if (!saved.goOn) {
        return;
    }
    if (install::WritePlan(plan, registry_).empty()) {
        if (const auto record =
                applied::RecordOf(strModeTable, platform_.files.GetLocalTime(), driverVersion_)) {
            applied::WriteRecord(platform_.registry, *record);
        }
        lblApplied.visible = false;  // the tables hold the rates now
    }
    if (restart::OfferRestart(platform_.prompt, platform_.restart,
                              backup::UndoFileLine(saved.undoFile))) {
        EndProgram();
    }
}

}  // namespace quorvel::app
