// frmMainframe: the main window as a portable form. It holds the state of every control the
// program changes and implements every event handler; the Win32 view draws the state and
// forwards the user's events here.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/MonitorCheck.h"
#include "app/frmAboutBox.h"
#include "app/frmMonitorLimits.h"
#include "app/frmPreview.h"
#include "applied/Applied.h"
#include "modes/Catalogue.h"
#include "monitor/Limits.h"
#include "platform/Platform.h"
#include "readback/InstalledTables.h"
#include "registry/DriverKeys.h"
#include "registry/mdlRegistry.h"

namespace quorvel::app {

inline constexpr const char* kMainCaption = "Quorvel v2.01 E";
inline constexpr const char* kOwnKeyPath = registry::kOwnKey;
inline constexpr const char* kVersionValueName = "Version";
inline constexpr const char* kVersionText = "2.01 E";

inline constexpr const char* kTabIntroduction = "Introduction";
inline constexpr const char* kTabIntroductionTip = "Information about this tool";
inline constexpr const char* kTabSysInfo = "System information";
inline constexpr const char* kTabSysInfoTip = "A summary of your system's specifications";
inline constexpr const char* kTabSettings = "Settings";
inline constexpr const char* kTabSettings40 = "Settings 40";
inline constexpr const char* kTabSettingsTip = "Set the refresh rates.";

inline constexpr const char* kWarningText =
    "MAKE SURE, YOUR MONITOR SUPPORTS THE FREQUENCY SETTINGS, YOU ENTERED! I DON'T TAKE THE "
    "RESPONSIBILITY FOR ANY DAMAGE!";
inline constexpr unsigned kWarningBlinkMs = 400;

// The modal dialogs the form opens: the view shows them over its window and returns when they
// are closed (tests bring their own).
class IModalDialogs {
  public:
    virtual void ShowAboutBox(frmAboutBox& box) = 0;
    virtual void ShowMonitorLimits(frmMonitorLimits& dialog) = 0;
    virtual void ShowPreview(frmPreview& preview) = 0;

  protected:
    ~IModalDialogs() = default;
};

class frmMainframe {
  public:
    explicit frmMainframe(platform::Platform& platform);

    // Events, named after their control and event.
    void Form_Load();
    void tbsMain_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuLoadInstalled_Click();
    void mnuMonitorLimits_Click();
    void mnuPreview_Click();
    void mnuRestore_Click();
    void mnuConfirm_Click();
    void Form_Unload();  // the user closed the window
    void obtVerError40_Click();
    void obtVerError28_Click();
    void cmdDeselect_Click();
    void cmdDeselect40_Click();
    void tmrWarning_Timer();
    void tmrWarning40_Timer();
    void cmdApply_Click();
    void cmdApply40_Click();

    // What the controls do by themselves before an event reaches the form: a tab click selects
    // the tab, an option button takes the selection of its group, a list shows the picked item.
    void ClickTab(int index);
    void ClickGenerationOption(bool detonator40);
    void ClickRateOption(std::size_t row, std::size_t index);
    void PickListItem(std::size_t row, int item);

    // Control state.
    TabStrip tbsMain;
    bool fmeIntroVisible = true;
    bool fmeSysInfoVisible = false;
    bool fmeSettingsVisible = false;
    bool fmeSettings40Visible = false;

    Label lblDeviceDesc{"Not found", kRed};
    Label lblDetVer{"Not found", kRed};
    Label lblFormatCapability{"No", kRed};
    Label lblFormatUsage{"No", kRed};
    Label lblFormatHexadecimal{"Not found", kRed};
    Label lblInstalledTable{readback::kNoTableLine, kRed};
    // Under "Installed table:": the rates last applied are not installed (shown only then).
    Label lblApplied{"", kRed, false};
    // How many of the rates last applied the display offers (shown only when they are known).
    Label lblRatesInEffect{"", kRed, false};
    Label lblScreenNow{"Not found", kRed};
    Label lblOS{"Windows 95/98/ME", kRed};
    Label lblSummary{"The fix should work properly.", kFindingColour};
    Label lblMonitor{monitor::kNoLimitsKnown, kRed};
    OptionButton obtVerError40{"Detonator 40.41 or higher", false};
    OptionButton obtVerError28{"Detonator 28.32 or higher", false};

    modes::CompressedSelection opt{};                      // the option buttons' Value, row by row
    modes::HexSelection cmb = modes::ListsWithoutItems();  // the lists' selected items
    Label lblWarning{kWarningText, kRed};
    Label lblWarning40{kWarningText, kRed};

    // "&Load installed rates" and "&Preview changes...": greyed while there is no settings tab.
    MenuItem mnuLoadInstalled{false};
    MenuItem mnuPreview{false};
    // "&Confirm rates after restart": checked, a change arms the check after the restart.
    MenuItem mnuConfirm{true, true};

    // The monitor's limits and the rates they rule out on both settings pages.
    MonitorCheck monitor;

    // Form-level flags.
    bool blnCompressedActive = false;
    bool blnDetonator40 = false;

    // The settings page a click on the settings tab would show now; None without a settings tab.
    enum class SettingsPage { None, Compressed, Hexadecimal };
    SettingsPage SettingsPageInUse() const;

    // The about box while it is loaded.
    std::optional<frmAboutBox> aboutBox;
    // Set by the view while its window exists; without it the dialogs are not shown.
    IModalDialogs* dialogs = nullptr;

    // Set once the window is unloaded and the program is to end.
    bool unloaded = false;

  private:
    void GatherSystemInfo();
    void ChooseGeneration(bool detonator40);
    // Makes the change: the rates into the driver's keys, asked, backed up, written, recorded.
    void InstallModeTable(const modes::Rates& rates);
    void ShowMonitorLine();
    void EndProgram();
    void ShowInstalledTable();
    void UpdateMenus();
    // The installed tables and the record of the rates last applied, as they are now; whether the
    // tables hold the record; the lines that show both and the display's modes; and, when the
    // tables no longer hold the record, its rates selected on the settings page in use.
    void ReadTablesAndRecord();
    bool RecordInstalled() const;
    void ShowTablesAndRecord();
    void SelectRecordedRates();

    platform::Platform& platform_;
    registry::mdlRegistry registry_;
    // What the driver's keys held when last read, and whether the generation is known (found by
    // detection or chosen by hand) so that a table of the other format can be marked.
    readback::InstalledTables installed_;
    bool generationKnown_ = false;
    std::optional<std::string> driverVersion_;
    std::optional<applied::Record> record_;
};

}  // namespace quorvel::app
