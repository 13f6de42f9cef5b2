// Drives the real main window in-process over the simulated platform: the tab strip, the page
// frames, the System information labels, the generation choice, the keyboard and the ways out.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "WindowTesting.h"
#include "host/TestSupport.h"
#include "app/frmMainframe.h"
#include "app/win32/MainWindow.h"
#include "app/win32/SettingsPageView.h"
#include "app/win32/resource.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimRegistry.h"

namespace {

using quorvel::app::frmMainframe;
using quorvel::app::win32::MainWindow;
namespace sim = quorvel::platform::sim;
namespace platform = quorvel::platform;

constexpr const char* kChoiceTitle = "Choice of Detoantor version";

class MainWindowTest : public testing::Test,
                       protected quorvel::testing::TestPlatform<sim::SimRegistry> {
  protected:
    void SetUp() override {
        if (!quorvel::testing::DisplayAvailable()) {
            GTEST_SKIP() << "no display: run under xvfb-run to test the window";
        }
        prompt.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    }

    void TearDown() override {
        window_.reset();
        Pump();
    }

    // Hidden by default: without a window manager Wine waits up to two seconds for a shown
    // top-level window to be withdrawn.
    void Load(const char* fixture, std::uint32_t platformId = platform::kVerPlatformWin32Nt,
              int showCommand = SW_HIDE) {
        std::string error;
        ASSERT_TRUE(registry.ImportRegFile(std::string(QUORVEL_FIXTURES_DIR "/") + fixture, &error))
            << error;
        system.SetPlatformId(platformId);
        form_.emplace(platform);
        form_->Form_Load();
        window_.emplace(*form_);
        ASSERT_TRUE(window_->Create(GetModuleHandleA(nullptr), showCommand));
        Pump();
        quit_ = false;
    }

    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit_ = true;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    HWND Main() const { return window_->Handle(); }
    HWND Tabs() const { return GetDlgItem(Main(), IDC_TBSMAIN); }
    HWND SysInfo(int id) const { return GetDlgItem(GetDlgItem(Main(), IDC_FMESYSINFO), id); }
    // A list lies on its row's band, a panel of the hexadecimal page.
    HWND Settings40(int id) const {
        for (HWND w : quorvel::testing::Descendants(GetDlgItem(Main(), IDC_FMESETTINGS40))) {
            if (GetDlgCtrlID(w) == id) {
                return w;
            }
        }
        return nullptr;
    }

    int TabCount() const { return static_cast<int>(SendMessageA(Tabs(), TCM_GETITEMCOUNT, 0, 0)); }

    std::string TabCaption(int index) const {
        char text[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(Tabs(), TCM_GETITEMA, static_cast<WPARAM>(index - 1),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    // What the tab control does when the user clicks a tab.
    void ClickTab(int index) {
        SendMessageA(Tabs(), TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
        NMHDR hdr{Tabs(), IDC_TBSMAIN, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(Main(), WM_NOTIFY, IDC_TBSMAIN, reinterpret_cast<LPARAM>(&hdr));
        Pump();
    }

    static bool Shown(HWND window) {
        return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    }

    // The one page frame shown, or 0 when none or more than one is.
    int VisibleFrame() const {
        int shown = 0;
        for (int id : {IDC_FMEINTRO, IDC_FMESYSINFO, IDC_FMESETTINGS, IDC_FMESETTINGS40}) {
            if (Shown(GetDlgItem(Main(), id))) {
                if (shown != 0) {
                    return 0;
                }
                shown = id;
            }
        }
        return shown;
    }

    static std::string Text(HWND window) {
        char text[1024] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    // The text colour the window gives a System information label when it paints.
    COLORREF LabelColour(int id) {
        HWND label = SysInfo(id);
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageA(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(label));
        const COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }

    void ClickOption(int id) {
        SendMessageA(SysInfo(id), BM_CLICK, 0, 0);
        Pump();
    }

    bool Checked(int id) const {
        return SendMessageA(SysInfo(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    std::optional<frmMainframe> form_;
    std::optional<MainWindow> window_;
    bool quit_ = false;
};

struct DetectionCase {
    const char* fixture;
    std::uint32_t platformId;
    const char* settingsTab;  // nullptr: removed
    const char* driverVersion;
    const char* hexadecimal;
    const char* os;
    const char* summaryStart;
    bool choiceOffered;
};

class DetectionShown : public MainWindowTest, public testing::WithParamInterface<DetectionCase> {};

TEST_P(DetectionShown, OnTheSystemInformationPageAndTheTabStrip) {
    const DetectionCase& c = GetParam();
    Load(c.fixture, c.platformId);

    EXPECT_EQ(VisibleFrame(), IDC_FMEINTRO);
    ASSERT_EQ(TabCount(), c.settingsTab ? 3 : 2);
    EXPECT_EQ(TabCaption(1), "Introduction");
    EXPECT_EQ(TabCaption(2), "System information");
    if (c.settingsTab) {
        EXPECT_EQ(TabCaption(3), c.settingsTab);
    }

    ClickTab(2);
    EXPECT_EQ(VisibleFrame(), IDC_FMESYSINFO);
    EXPECT_EQ(Text(SysInfo(IDC_LBLDETVER)), c.driverVersion);
    EXPECT_EQ(Text(SysInfo(IDC_LBLFORMATHEXADECIMAL)), c.hexadecimal);
    EXPECT_EQ(Text(SysInfo(IDC_LBLOS)), c.os);
    EXPECT_EQ(Text(SysInfo(IDC_LBLSUMMARY)).rfind(c.summaryStart, 0), 0u)
        << Text(SysInfo(IDC_LBLSUMMARY));
    EXPECT_EQ(Shown(SysInfo(IDC_OBTVERERROR40)), c.choiceOffered);
    EXPECT_EQ(Shown(SysInfo(IDC_OBTVERERROR28)), c.choiceOffered);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, DetectionShown,
    testing::Values(
        DetectionCase{"driver-40.41-format-off.reg", platform::kVerPlatformWin32Nt, "Settings 40",
                      "40.41", "Yes", "Windows NT/2000/XP", "WARNING:", false},
        DetectionCase{"driver-28.32.reg", platform::kVerPlatformWin32Nt, "Settings", "28.32", "No",
                      "Windows NT/2000/XP", "The fix should work properly.", false},
        DetectionCase{"no-version.reg", platform::kVerPlatformWin32Nt, nullptr, "Not found",
                      "Not found", "Windows NT/2000/XP", "CRITICAL: Somehow", true},
        DetectionCase{"driver-28.32.reg", platform::kVerPlatformWin32Windows, nullptr, "28.32",
                      "No", "Windows 95/98/ME", "CRITICAL: You need a Windows NT", false},
        DetectionCase{"none.reg", platform::kVerPlatformWin32Nt, nullptr, "Not found", "Not found",
                      "Windows NT/2000/XP", "CRITICAL: The Detonator driver", false}));

TEST_F(MainWindowTest, FoundValuesTakeTheButtonTextColourAndMissingOnesStayRed) {
    Load("driver-40.41-format-off.reg");
    ClickTab(2);
    EXPECT_EQ(Text(SysInfo(IDC_LBLDEVICEDESC)), "NVIDIA GeForce4 Ti 4200");
    EXPECT_EQ(LabelColour(IDC_LBLDEVICEDESC), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(LabelColour(IDC_LBLDETVER), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(Text(SysInfo(IDC_LBLFORMATUSAGE)), "No");
    EXPECT_EQ(LabelColour(IDC_LBLFORMATUSAGE), RGB(255, 0, 0));
    EXPECT_EQ(LabelColour(IDC_LBLSUMMARY), RGB(255, 0, 0));
}

TEST_F(MainWindowTest, TabClicksShowOnePageEach) {
    Load("driver-40.41.reg");
    const std::pair<int, int> clicks[] = {{2, IDC_FMESYSINFO}, {3, IDC_FMESETTINGS40},
                                          {1, IDC_FMEINTRO},   {3, IDC_FMESETTINGS40},
                                          {2, IDC_FMESYSINFO}, {1, IDC_FMEINTRO}};
    for (const auto& [tab, frame] : clicks) {
        ClickTab(tab);
        EXPECT_EQ(VisibleFrame(), frame) << "after a click on tab " << tab;
        EXPECT_EQ(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0), tab - 1);
    }
}

TEST_F(MainWindowTest, TheSettingsTabOfA28DriverShowsTheCompressedPage) {
    Load("driver-28.32.reg");
    ClickTab(3);
    EXPECT_EQ(VisibleFrame(), IDC_FMESETTINGS);
}

TEST_F(MainWindowTest, WithTwoTabsOnlyIntroductionAndSystemInformationAreShown) {
    Load("none.reg");
    ASSERT_EQ(TabCount(), 2);
    EXPECT_TRUE(GetMenuState(GetMenu(Main()), IDM_LOADINSTALLED, MF_BYCOMMAND) & MF_GRAYED);
    ClickTab(2);
    EXPECT_EQ(VisibleFrame(), IDC_FMESYSINFO);
    ClickTab(1);
    EXPECT_EQ(VisibleFrame(), IDC_FMEINTRO);
}

TEST_F(MainWindowTest, LoadInstalledRatesPicksTheHexadecimalTableInTheRealLists) {
    Load("installed-40.41.reg");
    ClickTab(2);
    EXPECT_EQ(Text(SysInfo(IDC_LBLINSTALLEDTABLE)), "7 resolutions, hexadecimal format");
    EXPECT_FALSE(GetMenuState(GetMenu(Main()), IDM_LOADINSTALLED, MF_BYCOMMAND) & MF_GRAYED);
    prompt.Expect("Load installed rates", platform::kIdOk);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(IDM_LOADINSTALLED, 0), 0);
    Pump();
    ASSERT_EQ(VisibleFrame(), IDC_FMESETTINGS40);
    ASSERT_EQ(form_->cmb[6], quorvel::testing::Item("140"));  // the host tests pin the rest
    for (int row = 0; row < 19; ++row) {
        HWND list = Settings40(quorvel::app::win32::kRateListIdBase + row);
        char text[16] = {};
        SendMessageA(list, CB_GETLBTEXT, SendMessageA(list, CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, quorvel::modes::kHexListItems[static_cast<std::size_t>(form_->cmb[row])])
            << "row " << row;
    }
}

TEST_F(MainWindowTest, TheGenerationChoiceRecreatesTheSettingsTab) {
    Load("no-version.reg");
    ASSERT_EQ(TabCount(), 2);
    ClickTab(2);

    prompt.Expect(kChoiceTitle, platform::kIdOk);
    ClickOption(IDC_OBTVERERROR40);
    ASSERT_EQ(TabCount(), 3);
    EXPECT_EQ(TabCaption(3), "Settings 40");
    EXPECT_TRUE(Checked(IDC_OBTVERERROR40));
    EXPECT_FALSE(Checked(IDC_OBTVERERROR28));
    EXPECT_EQ(VisibleFrame(), IDC_FMESYSINFO) << "the choice does not switch the page";
    ClickTab(3);
    EXPECT_EQ(VisibleFrame(), IDC_FMESETTINGS40);

    ClickTab(2);
    prompt.Expect(kChoiceTitle, platform::kIdOk);
    ClickOption(IDC_OBTVERERROR28);
    ASSERT_EQ(TabCount(), 3);
    EXPECT_EQ(TabCaption(3), "Settings");
    EXPECT_FALSE(Checked(IDC_OBTVERERROR40));
    EXPECT_TRUE(Checked(IDC_OBTVERERROR28));
    ClickTab(3);
    EXPECT_EQ(VisibleFrame(), IDC_FMESETTINGS);
    EXPECT_EQ(prompt.PendingCount(), 0u);
    EXPECT_EQ(prompt.Shown().size(), 2u);
}

TEST_F(MainWindowTest, TabToolTipsComeFromTheForm) {
    Load("driver-40.41.reg");
    HWND tips = reinterpret_cast<HWND>(SendMessageA(Tabs(), TCM_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    const char* expected[] = {"Information about this tool",
                              "A summary of your system's specifications",
                              "Set the refresh rates."};
    for (UINT_PTR i = 0; i < 3; ++i) {
        NMTTDISPINFOA info{};
        info.hdr = NMHDR{tips, i, static_cast<UINT>(TTN_GETDISPINFOA)};
        SendMessageA(Main(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(info.lpszText, nullptr);
        EXPECT_STREQ(info.lpszText, expected[i]);
    }
}

TEST_F(MainWindowTest, TheMonitorLineAndAMarkedRateOnTheRealPages) {
    Load("monitor-70khz.reg");
    ClickTab(2);
    EXPECT_EQ(Text(SysInfo(IDC_LBLMONITOR)), "Orvia 17P\r\nmax. 70 kHz, 160 Hz, 140 MHz (EDID)");
    EXPECT_EQ(LabelColour(IDC_LBLMONITOR), GetSysColor(COLOR_BTNTEXT));
    ClickTab(3);
    const int id = quorvel::app::win32::kRateListIdBase + 9;  // 1024x768
    HWND list = Settings40(id);
    NMTTDISPINFOA info{};
    info.hdr =
        NMHDR{nullptr, reinterpret_cast<UINT_PTR>(list), static_cast<UINT>(TTN_GETDISPINFOA)};
    info.uFlags = TTF_IDISHWND;
    SendMessageA(Main(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::string(info.lpszText), form_->monitor.ListToolTip(9));
    // The list draws "85" (68.6 kHz) in the window text colour and "100" (81.4 kHz) in grey.
    const auto inks = [&](UINT item) {
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateBitmap(40, 16, 1, 32, nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
        DRAWITEMSTRUCT d{ODT_COMBOBOX, static_cast<UINT>(id), item, ODA_DRAWENTIRE, 0, list,
                         dc,           RECT{0, 0, 40, 16},    0};
        SendMessageA(Main(), WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&d));
        std::set<COLORREF> found;
        for (int x = 0; x < 40; ++x) {
            for (int y = 0; y < 16; ++y) {
                found.insert(GetPixel(dc, x, y));
            }
        }
        DeleteObject(SelectObject(dc, old));
        DeleteDC(dc);
        return found;
    };
    EXPECT_EQ(inks(5).count(GetSysColor(COLOR_WINDOWTEXT)), 1u);
    EXPECT_EQ(inks(5).count(GetSysColor(COLOR_GRAYTEXT)), 0u);
    EXPECT_EQ(inks(6).count(GetSysColor(COLOR_GRAYTEXT)), 1u);
}

int ticks;

void CALLBACK TypeLimitsAndPressEnter(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", "Monitor limits");
    HWND field = GetDlgItem(dialog, IDC_TXTMAXHORIZONTALKHZ);
    if (!dialog || ++ticks > 20) {
        KillTimer(nullptr, timer);
        if (dialog) {
            PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return;
    }
    if (ticks == 1) {
        EXPECT_EQ(GetFocus(), field);
        SetWindowTextA(field, "64");
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
    }
}

// Works the real dialog from a timer inside its modal loop: the focus starts in the first field,
// typing reaches the form, and Enter presses OK. A dialog that stays open is closed with Esc.
TEST_F(MainWindowTest, TheMonitorLimitsDialogTakesTypedLimitsWithEnter) {
    Load("monitor-70khz.reg");
    ticks = 0;
    SetTimer(nullptr, 0, 100, TypeLimitsAndPressEnter);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(IDM_MONITORLIMITS, 0), 0);
    EXPECT_LT(ticks, 20) << "the dialog did not close with Enter";
    ClickTab(2);
    EXPECT_EQ(Text(SysInfo(IDC_LBLMONITOR)),
              "Orvia 17P\r\nmax. 64 kHz (typed in), 160 Hz, 140 MHz (EDID)");
}

TEST_F(MainWindowTest, CtrlTabCyclesThroughTheTabsBothWays) {
    Load("driver-40.41.reg");
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{Tabs(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    const int forward[] = {IDC_FMESYSINFO, IDC_FMESETTINGS40, IDC_FMEINTRO};
    for (int frame : forward) {
        EXPECT_TRUE(window_->PreTranslateMessage(msg));
        EXPECT_EQ(VisibleFrame(), frame);
    }
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(window_->PreTranslateMessage(msg));
    EXPECT_EQ(VisibleFrame(), IDC_FMESETTINGS40);
    EXPECT_EQ(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0), 2);
    SetKeyboardState(saved);
}

TEST_F(MainWindowTest, OneTimerBlinksBothWarnings) {
    Load("driver-40.41.reg");
    for (bool visible : {false, true, false}) {
        SendMessageA(Main(), WM_TIMER, IDT_WARNING, 0);
        EXPECT_EQ(form_->lblWarning.visible, visible);
        EXPECT_EQ(form_->lblWarning40.visible, visible);
    }
}

// The blink timer rests while no warning can be seen and no page waits to be built ahead.
TEST_F(MainWindowTest, TheBlinkRestsWhileNoWarningCanBeSeen) {
    Load("driver-40.41.reg", platform::kVerPlatformWin32Nt, SW_SHOWNOACTIVATE);
    // The blinks the form gets while messages are pumped for up to `ms`, until `enough` came.
    const auto blinks = [this](DWORD ms, int enough) {
        int count = 0;
        bool last = form_->lblWarning40.visible;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms && count < enough;) {
            Pump();
            Sleep(10);
            if (form_->lblWarning40.visible != last) {
                last = !last;
                ++count;
            }
        }
        return count;
    };
    ASSERT_EQ(blinks(10000, 2), 2) << "two ticks build the pages ahead";
    EXPECT_EQ(blinks(1000, 1), 0) << "on the Introduction page";
    ClickTab(3);
    EXPECT_EQ(blinks(10000, 1), 1) << "on the settings page";
    ClickTab(2);
    EXPECT_EQ(blinks(1000, 1), 0) << "on the System information page";
}

// Only the Introduction page is built with the window; another page when it is first shown or,
// ahead of that, one per blink tick: the System information page, then the settings page of the
// generation in use, the other one only once the manual choice selects it.
class PageBuildingTest : public MainWindowTest {
  protected:
    void Start(const char* fixture) {
        Load(fixture);
        KillTimer(Main(), IDT_WARNING);  // the test gives the ticks
    }
    void Tick() { SendMessageA(Main(), WM_TIMER, IDT_WARNING, 0); }
    std::string Built() const {
        std::string pages;
        for (int id : {IDC_FMEINTRO, IDC_FMESYSINFO, IDC_FMESETTINGS, IDC_FMESETTINGS40}) {
            pages += GetWindow(GetDlgItem(Main(), id), GW_CHILD) ? '1' : '0';
        }
        return pages;
    }
};

TEST_F(PageBuildingTest, OnFirstShowOrOnePerTickAhead) {
    Start("driver-28.32.reg");
    EXPECT_EQ(Built(), "1000");
    ClickTab(3);
    EXPECT_EQ(Built(), "1010");
    Tick();
    EXPECT_EQ(Built(), "1110");
    Tick();
    EXPECT_EQ(Built(), "1110");
}

TEST_F(PageBuildingTest, TheOtherSettingsPageWhenTheManualChoiceSelectsIt) {
    Start("no-version.reg");
    Tick();
    Tick();
    EXPECT_EQ(Built(), "1100");
    prompt.Expect(kChoiceTitle, platform::kIdOk);
    ClickOption(IDC_OBTVERERROR40);
    Tick();
    EXPECT_EQ(Built(), "1101");
}

TEST_F(MainWindowTest, AboutOpensTheAboutBoxThroughTheForm) {
    Load("driver-40.41.reg");
    ASSERT_TRUE(form_->dialogs) << "the window provides the modal about box";
    int shown = 0;
    quorvel::testing::Dialogs counting;
    counting.about = [&](quorvel::app::frmAboutBox&) { ++shown; };
    form_->dialogs = &counting;
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(form_->aboutBox.has_value());
    EXPECT_TRUE(IsWindow(Main()));
}

TEST_F(MainWindowTest, ExitEndsTheWindowAndTheMessageLoop) {
    Load("driver-40.41.reg", platform::kVerPlatformWin32Nt, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(Main()));
    HWND main = Main();
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    Pump();
    EXPECT_TRUE(form_->unloaded);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(quit_);
}

TEST_F(MainWindowTest, ClosingTheWindowUnloadsTheForm) {
    Load("driver-28.32.reg");
    HWND main = Main();
    SendMessageA(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(form_->unloaded);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(quit_);
}

TEST_F(MainWindowTest, EnterAndEscapeFromTheDialogManagerDoNotEndTheProgram) {
    Load("driver-28.32.reg");
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Pump();
    EXPECT_FALSE(form_->unloaded);
    EXPECT_TRUE(IsWindow(Main()));
}

TEST_F(MainWindowTest, TheClientAreaHasItsSizeInTwipsAtTheScreensDpi) {
    Load("driver-28.32.reg");
    const auto& v = window_->Context();
    RECT rc{};
    GetClientRect(Main(), &rc);
    EXPECT_EQ(rc.right, MulDiv(5895, v.dpiX, 1440));
    EXPECT_EQ(rc.bottom, MulDiv(6735, v.dpiY, 1440));
    const LONG_PTR style = GetWindowLongPtrA(Main(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(Text(Main()), "Quorvel v2.01 E");
}

}  // namespace

int main(int argc, char** argv) {
    return quorvel::testing::RunWindowTests(argc, argv);
}
