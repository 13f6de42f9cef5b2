// The settings pages and the about box as real windows: controls, colours and events, driven
// in-process against the simulated platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "WindowTesting.h"
#include "host/TestSupport.h"
#include "app/PageColours.h"
#include "app/frmMainframe.h"
#include "app/win32/AboutBoxView.h"
#include "app/win32/SettingsPageView.h"
#include "app/win32/View.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimRegistry.h"

namespace {

namespace p = quorvel::platform;
namespace sim = quorvel::platform::sim;
using quorvel::app::frmAboutBox;
using quorvel::app::frmMainframe;
using quorvel::app::win32::IPageView;
using quorvel::app::win32::ViewContext;
using quorvel::testing::Descendants;
namespace w = quorvel::app::win32;

constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
constexpr const char* kDisplayKey =
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}\\0000";

// Fixture installations: a 28.32 driver with its format on, a 40.41 driver with it off.
constexpr const char* kDriver2832 = "driver-28.32.reg";
constexpr const char* kDriver4041FormatOff = "driver-40.41-format-off.reg";

using quorvel::testing::kModesDeltaNames;

const std::array<const char*, 19> kResolutions = {
    "320x200",   "320x240",   "400x300",   "480x360",   "512x384",  "640x400",   "640x480",
    "800x600",   "848x480",   "1024x768",  "1152x864",  "1280x960", "1280x1024", "1600x1024",
    "1600x1200", "1920x1080", "1920x1200", "1920x1440", "2048x1536"};

const char* const kWarning =
    "MAKE SURE, YOUR MONITOR SUPPORTS THE FREQUENCY SETTINGS, YOU ENTERED! I DON'T TAKE THE "
    "RESPONSIBILITY FOR ANY DAMAGE!";

// --- Window helpers -----------------------------------------------------------------------------

std::string TextOf(HWND hwnd) {
    char buffer[512] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string ClassOf(HWND hwnd) {
    char buffer[64] = {};
    GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// The controls of a page as created: class, caption and ID read once (each read is a round
// trip to the window manager under Wine).
struct Child {
    HWND hwnd;
    std::string cls;
    std::string text;
    int id;
};

std::vector<Child> Snapshot(HWND root) {
    std::vector<Child> children;
    for (HWND h : Descendants(root)) {
        children.push_back({h, ClassOf(h), TextOf(h), GetDlgCtrlID(h)});
    }
    return children;
}

std::vector<HWND> Matching(const std::vector<Child>& children, const char* cls,
                           const std::string& text) {
    std::vector<HWND> found;
    for (const Child& c : children) {
        if (lstrcmpiA(c.cls.c_str(), cls) == 0 && c.text == text) {
            found.push_back(c.hwnd);
        }
    }
    return found;
}

HWND Unique(const std::vector<HWND>& found) {
    return found.size() == 1 ? found.front() : nullptr;
}

RECT RectIn(HWND hwnd, HWND reference) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The colours drawn on screen where `control` lies, read through its parent so that they can
// be read while the control is hidden (a DC without DCX_USESTYLE does not clip children).
std::set<COLORREF> InksUnder(HWND control) {
    HWND parent = GetParent(control);
    const RECT rc = RectIn(control, parent);
    std::set<COLORREF> found;
    HDC dc = GetDCEx(parent, nullptr, DCX_CACHE);
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) {
            found.insert(GetPixel(dc, x, y));
        }
    }
    ReleaseDC(parent, dc);
    return found;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool Checked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool TabStop(HWND control) {
    return (GetWindowLongPtrA(control, GWL_STYLE) & WS_TABSTOP) != 0;
}

// What a page view answers to WM_CTLCOLORSTATIC for one control.
struct Painted {
    bool handled;
    COLORREF text;
    COLORREF back;
};

Painted PaintOf(IPageView& view, const frmMainframe& form, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    HBRUSH brush = view.OnCtlColor(form, dc, control);
    LOGBRUSH lb{};
    if (brush) {
        GetObjectA(brush, sizeof lb, &lb);
    }
    const COLORREF text = GetTextColor(dc);
    DeleteDC(dc);
    return {brush != nullptr, text, lb.lbColor};
}

// The colour a panel erases its background in.
COLORREF BackgroundOf(HWND panel) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(4, 4, 1, 32, nullptr));
    SendMessageA(panel, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const COLORREF colour = GetPixel(dc, 0, 0);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return colour;
}

// Counts the messages that change a control's look, per target window.
struct ChangeLog {
    std::vector<std::pair<HWND, UINT>> entries;
    std::size_t Count(UINT msg) const {
        std::size_t n = 0;
        for (const auto& e : entries) {
            n += e.second == msg ? 1 : 0;
        }
        return n;
    }
};
ChangeLog* g_changes = nullptr;

LRESULT CALLBACK ChangeHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_changes) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        switch (cwp->message) {
            case BM_SETCHECK:
            case CB_SETCURSEL:
            case WM_SETTEXT:
            case WM_SHOWWINDOW:
            case WM_SETFONT:
                g_changes->entries.emplace_back(cwp->hwnd, cwp->message);
                break;
            default:
                break;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ChangeRecorder {
  public:
    explicit ChangeRecorder(ChangeLog& log) {
        log.entries.clear();
        g_changes = &log;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, ChangeHook, nullptr, GetCurrentThreadId());
    }
    ~ChangeRecorder() {
        UnhookWindowsHookEx(hook_);
        g_changes = nullptr;
    }
    bool Active() const { return hook_ != nullptr; }

  private:
    HHOOK hook_;
};

// --- The host window: stands in for the main window around one page ----------------------------

struct Host {
    frmMainframe* form = nullptr;
    IPageView* view = nullptr;
    std::size_t commandsSeen = 0;
};

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<Host*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host && host->form && host->view) {
        switch (msg) {
            case WM_COMMAND:
                if (host->view->OnCommand(*host->form, LOWORD(wParam), HIWORD(wParam),
                                          reinterpret_cast<HWND>(lParam))) {
                    ++host->commandsSeen;
                    host->view->Sync(*host->form);
                    return 0;
                }
                break;
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
                if (HBRUSH brush =
                        host->view->OnCtlColor(*host->form, reinterpret_cast<HDC>(wParam),
                                               reinterpret_cast<HWND>(lParam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
                break;
            default:
                break;
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// One simulated machine with the program's form on it.
struct World : quorvel::testing::TestPlatform<sim::SimRegistry> {
    explicit World(const std::string& fixture) {
        std::string error;
        imported = registry.ImportRegFile(std::string(QUORVEL_FIXTURES_DIR "/") + fixture, &error);
        EXPECT_TRUE(imported) << error;
    }

    frmMainframe form{platform};
    bool imported = false;

    std::string String(const char* key, const char* name) const {
        const auto value = registry.GetValue(p::kHkeyLocalMachine, key, name);
        if (!value || value->type != p::kRegSz || value->data.empty()) {
            return "<missing>";
        }
        return std::string(value->data.begin(), value->data.end() - 1);
    }

    std::vector<std::string> ModesDeltaNames(const char* key) const {
        std::vector<std::string> names;
        for (const std::string& n : registry.ValueNames(p::kHkeyLocalMachine, key)) {
            if (n.size() > 12 && n.compare(n.size() - 12, 12, "_Modes_Delta") == 0) {
                names.push_back(n);
            }
        }
        return names;
    }
};

class WindowTest : public testing::Test {
  protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            GTEST_SKIP() << "no display";
        }
        instance_ = GetModuleHandleA(nullptr);
        HDC screen = GetDC(nullptr);
        if (!screen) {
            GTEST_SKIP() << "no display";
        }
        v_.instance = instance_;
        v_.dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        v_.dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        v_.font = MakeFont(false, false);
        v_.boldFont = MakeFont(true, false);
        v_.boldUnderlineFont = MakeFont(true, true);

        ASSERT_TRUE(w::RegisterPanelClass(instance_));
        WNDCLASSA wc{};
        if (!GetClassInfoA(instance_, "QuorvelTestHost", &wc)) {
            wc.lpfnWndProc = HostProc;
            wc.hInstance = instance_;
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "QuorvelTestHost";
            ASSERT_TRUE(RegisterClassA(&wc));
        }
        // One host window for the whole run: under a display without a window manager Wine
        // waits two seconds for every top-level window it hides.
        static HWND shared = nullptr;
        if (!shared) {
            RECT frame{0, 0, w::TwipsX(v_, 5895), w::TwipsY(v_, 6735)};
            const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
            AdjustWindowRectEx(&frame, style, FALSE, 0);
            shared = CreateWindowExA(0, "QuorvelTestHost", "Settings window test", style, 40, 40,
                                     frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                     nullptr, instance_, nullptr);
        }
        window_ = shared;
        if (!window_) {
            GTEST_SKIP() << "no window can be created here";
        }
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host_));
        page_ = w::CreatePanel(window_, v_, 120, 360, 5655, 6255, quorvel::app::kFaceColour);
        ASSERT_NE(page_, nullptr);
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        Pump();
    }

    void TearDown() override {
        if (window_) {
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        }
        if (page_) {
            DestroyWindow(page_);
        }
        for (HFONT f : {v_.font, v_.boldFont, v_.boldUnderlineFont}) {
            if (f) {
                DeleteObject(f);
            }
        }
    }

    HFONT MakeFont(bool bold, bool underline) const {
        return CreateFontA(-MulDiv(825, v_.dpiY, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                           underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           "Tahoma");
    }

    // Builds the page on the simulated machine, loads the form and shows its state.
    void Open(std::unique_ptr<IPageView> view, const std::string& fixture) {
        world_ = std::make_unique<World>(fixture);
        ASSERT_TRUE(world_->imported);
        world_->form.Form_Load();
        view_ = std::move(view);
        view_->Create(page_, v_);
        host_.form = &world_->form;
        host_.view = view_.get();
        view_->Sync(world_->form);
        children_ = Snapshot(page_);
        for (const Child& c : children_) {
            if (c.id != 0) {
                byId_[c.id] = c.hwnd;
            }
        }
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
        Pump();
        // Start-up gives the driver of the fixture its page.
        ASSERT_TRUE(world_->prompt.Shown().empty());
    }

    frmMainframe& Form() { return world_->form; }

    HWND ById(int id) const {
        const auto it = byId_.find(id);
        return it == byId_.end() ? nullptr : it->second;
    }

    HWND Option(std::size_t row, std::size_t index) const {
        return ById(w::kRateOptionIdBase + static_cast<int>(row * 7 + index));
    }

    HWND List(std::size_t row) const { return ById(w::kRateListIdBase + static_cast<int>(row)); }

    std::vector<HWND> All(const char* cls, const std::string& text) const {
        return Matching(children_, cls, text);
    }

    HWND One(const char* cls, const std::string& text) const { return Unique(All(cls, text)); }

    // What a drop-down list does when the user picks an item.
    void Pick(std::size_t row, int item) {
        HWND list = List(row);
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    std::string ListText(std::size_t row) const { return TextOf(List(row)); }

    COLORREF Sys(int index) const { return GetSysColor(index); }

    HINSTANCE instance_ = nullptr;
    ViewContext v_;
    HWND window_ = nullptr;
    HWND page_ = nullptr;
    Host host_;
    std::unique_ptr<World> world_;
    std::unique_ptr<IPageView> view_;
    std::vector<Child> children_;
    std::map<int, HWND> byId_;
};

// --- Compressed-format page ---------------------------------------------------------------------

class CompressedPageTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        Open(w::MakeCompressedPageView(), kDriver2832);
    }
};

TEST_F(CompressedPageTest, ShowsItsCaptionsAndAGridOfIndependentRows) {
    for (const char* caption : {"Refresh rate settings:", "ATTENTION:", "Deselect all", "Apply"}) {
        EXPECT_NE(One("Button", caption), nullptr) << caption;
    }
    for (const char* caption :
         {"Res. (in Px):", "Refresh rate (in Hz): (Red means: Common 4:3 resolution)", kWarning}) {
        EXPECT_NE(One("Static", caption), nullptr) << caption;
    }

    const std::array<const char*, 7> rates = {"60", "70", "72", "75", "85", "100", "120"};
    std::set<HWND> rowParents;
    int previousTop = -1;
    for (std::size_t row = 0; row < 19; ++row) {
        SCOPED_TRACE(kResolutions[row]);
        HWND label = One("Static", kResolutions[row]);
        ASSERT_NE(label, nullptr);
        const RECT labelRect = RectIn(label, page_);
        EXPECT_GT(labelRect.top, previousTop);  // catalogue order, top to bottom
        previousTop = labelRect.top;

        HWND rowParent = nullptr;
        int previousLeft = labelRect.right;
        for (std::size_t index = 0; index < 7; ++index) {
            HWND button = Option(row, index);
            ASSERT_NE(button, nullptr) << index;
            EXPECT_EQ(TextOf(button), rates[index]);
            const LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
            EXPECT_EQ((style & WS_GROUP) != 0, index == 0);
            EXPECT_EQ((style & WS_TABSTOP) != 0, index == 0);
            const RECT r = RectIn(button, page_);
            EXPECT_GT(r.left, previousLeft);  // left to right, right of the label
            previousLeft = r.left;
            EXPECT_LT(r.top, labelRect.bottom);  // on the label's line
            EXPECT_GT(r.bottom, labelRect.top);
            EXPECT_FALSE(Checked(button));
            if (index == 0) {
                rowParent = GetParent(button);
            }
            EXPECT_EQ(GetParent(button), rowParent);
        }
        EXPECT_NE(rowParent, page_);
        rowParents.insert(rowParent);
    }
    EXPECT_EQ(rowParents.size(), 19u);

    const RECT deselect = RectIn(One("Button", "Deselect all"), page_);
    const RECT apply = RectIn(One("Button", "Apply"), page_);
    const RECT attention = RectIn(One("Button", "ATTENTION:"), page_);
    const RECT grid = RectIn(One("Button", "Refresh rate settings:"), page_);
    EXPECT_GT(apply.top, deselect.top);
    EXPECT_GT(apply.bottom - apply.top, deselect.bottom - deselect.top);
    EXPECT_GE(deselect.left, attention.right);
    EXPECT_GE(attention.top, grid.bottom);
    EXPECT_LE(apply.bottom, w::TwipsY(v_, 6255));
}

// The view paints each row and caption in the colours of the pages' table (pinned on the host).
TEST_F(CompressedPageTest, RowsAndRateCaptionsCarryTheirColours) {
    const COLORREF text = Sys(COLOR_BTNTEXT);
    const COLORREF red = RGB(255, 0, 0);
    for (std::size_t row = 0; row < quorvel::modes::kResolutionCount; ++row) {
        const auto& resolution = quorvel::modes::kCatalogue[row];
        SCOPED_TRACE(quorvel::modes::ResolutionText(resolution));
        const COLORREF back =
            w::ToColorRef(quorvel::app::RowColour(row, resolution.common43Compressed));
        const Painted label = PaintOf(
            *view_, Form(), One("Static", quorvel::modes::ResolutionText(resolution).c_str()));
        ASSERT_TRUE(label.handled);
        EXPECT_EQ(label.back, back);
        EXPECT_EQ(label.text, text);
        for (std::size_t index = 0; index < 7; ++index) {
            const Painted button = PaintOf(*view_, Form(), Option(row, index));
            ASSERT_TRUE(button.handled) << index;
            EXPECT_EQ(button.back, back) << index;
            EXPECT_EQ(button.text, w::ToColorRef(quorvel::app::RateCaptionColour(row, index)))
                << index;
        }
    }

    const Painted attention = PaintOf(*view_, Form(), One("Button", "ATTENTION:"));
    EXPECT_EQ(attention.text, red);
    const Painted warning = PaintOf(*view_, Form(), One("Static", kWarning));
    EXPECT_EQ(warning.text, red);
    // Controls of other pages are left to the window.
    EXPECT_FALSE(PaintOf(*view_, Form(), window_).handled);
}

TEST_F(CompressedPageTest, ClicksOnTheButtonsSelectOneRatePerRow) {
    SendMessageA(Option(6, 4), BM_CLICK, 0, 0);   // 640x480 at 85
    SendMessageA(Option(0, 1), BM_CLICK, 0, 0);   // 320x200 at 70
    SendMessageA(Option(0, 5), BM_CLICK, 0, 0);   // then 100 in the same row
    SendMessageA(Option(18, 6), BM_CLICK, 0, 0);  // 2048x1536 at 120

    quorvel::modes::CompressedSelection expected{};
    expected[6][4] = true;
    expected[0][5] = true;
    expected[18][6] = true;
    EXPECT_EQ(Form().opt, expected);
    for (std::size_t row = 0; row < 19; ++row) {
        for (std::size_t index = 0; index < 7; ++index) {
            EXPECT_EQ(Checked(Option(row, index)), expected[row][index]) << row << "/" << index;
        }
    }
    // Selected from the form's side: the row's one tab stop moves to the selection.
    Form().opt[5][3] = true;
    view_->Sync(Form());
    for (std::size_t index = 0; index < 7; ++index) {
        EXPECT_EQ(Checked(Option(5, index)), index == 3) << index;
        EXPECT_EQ(TabStop(Option(5, index)), index == 3) << index;
    }

    SendMessageA(One("Button", "Deselect all"), BM_CLICK, 0, 0);
    EXPECT_EQ(Form().opt, quorvel::modes::CompressedSelection{});
    for (std::size_t row = 0; row < 19; ++row) {
        for (std::size_t index = 0; index < 7; ++index) {
            EXPECT_FALSE(Checked(Option(row, index))) << row << "/" << index;
            // Tab still reaches every row once, through its first button.
            EXPECT_EQ(TabStop(Option(row, index)), index == 0) << row << "/" << index;
        }
    }
}

TEST_F(CompressedPageTest, ApplyWritesTheTableOfTheClickedRates) {
    HWND apply = One("Button", "Apply");
    world_->prompt.Expect("Error", p::kIdOk);
    SendMessageA(apply, BM_CLICK, 0, 0);
    ASSERT_EQ(world_->prompt.Shown().size(), 1u);
    EXPECT_EQ(world_->prompt.Shown()[0].text, "You did not specify any refresh rate to set.");
    EXPECT_TRUE(world_->ModesDeltaNames(kServiceKey).empty());

    SendMessageA(Option(6, 4), BM_CLICK, 0, 0);  // 640x480 at 85
    SendMessageA(Option(7, 3), BM_CLICK, 0, 0);  // 800x600 at 75
    world_->prompt.Clear();
    world_->prompt.Expect("The final frontier", p::kIdYes).Expect("Completion", p::kIdNo);
    SendMessageA(apply, BM_CLICK, 0, 0);
    EXPECT_EQ(world_->prompt.PendingCount(), 0u);

    const std::string table = "S 640,480,-,-75;800,600,-,-72";
    for (const char* key : {kDisplayKey, kServiceKey}) {
        SCOPED_TRACE(key);
        const std::vector<std::string> names = world_->ModesDeltaNames(key);
        ASSERT_EQ(names.size(), 26u);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i], kModesDeltaNames[i]);
            EXPECT_EQ(world_->String(key, kModesDeltaNames[i].c_str()), table);
        }
    }
    EXPECT_FALSE(Form().unloaded);
    EXPECT_TRUE(Checked(Option(6, 4)));  // the selection stays
}

TEST_F(CompressedPageTest, SyncChangesOnlyWhatTheFormChanged) {
    HWND warning = One("Static", kWarning);
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(IsWindowVisible(warning));
    ChangeLog log;
    ChangeRecorder recorder(log);
    ASSERT_TRUE(recorder.Active());

    view_->Sync(Form());
    EXPECT_TRUE(log.entries.empty());

    // The blink draws at once, without waiting for a WM_PAINT: blank, then the red text.
    const COLORREF red = w::ToColorRef(Form().lblWarning.foreColor);
    Form().tmrWarning_Timer();
    view_->Sync(Form());
    EXPECT_FALSE(IsWindowVisible(warning));
    EXPECT_EQ(InksUnder(warning).count(red), 0u);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].first, warning);
    EXPECT_EQ(log.entries[0].second, static_cast<UINT>(WM_SHOWWINDOW));

    log.entries.clear();
    Form().tmrWarning_Timer();
    Form().opt[3][2] = true;
    view_->Sync(Form());
    EXPECT_TRUE(IsWindowVisible(warning));
    EXPECT_EQ(InksUnder(warning).count(red), 1u);
    EXPECT_TRUE(Checked(Option(3, 2)));
    EXPECT_EQ(log.Count(BM_SETCHECK), 1u);
    EXPECT_EQ(log.Count(WM_SHOWWINDOW), 1u);
    EXPECT_EQ(log.Count(WM_SETTEXT), 0u);

    // A click changes the row by itself: the form's echo of it costs no further message.
    log.entries.clear();
    SendMessageA(Option(3, 5), BM_CLICK, 0, 0);
    const std::size_t byTheClick = log.Count(BM_SETCHECK);
    view_->Sync(Form());
    EXPECT_EQ(log.Count(BM_SETCHECK), byTheClick);
    EXPECT_FALSE(Checked(Option(3, 2)));
    EXPECT_TRUE(Form().opt[3][5]);

    // The warning keeps blinking while another page is on view, without drawing anything; the
    // page shows its current state when it appears (the main window syncs it then).
    ShowWindow(page_, SW_HIDE);
    log.entries.clear();
    Form().tmrWarning_Timer();
    view_->Sync(Form());
    EXPECT_TRUE(log.entries.empty());
    ShowWindow(page_, SW_SHOW);
    view_->Sync(Form());
    EXPECT_FALSE(Form().lblWarning.visible);
    EXPECT_FALSE(IsWindowVisible(warning));
}

// --- Hexadecimal-format page --------------------------------------------------------------------

class HexPageTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        Open(w::MakeHexPageView(), kDriver4041FormatOff);
    }
};

struct BandLook {
    const char* caption;
    COLORREF back;
};

TEST_F(HexPageTest, ShowsTwoColumnsOfColouredBandsWithTheirLists) {
    const COLORREF face = Sys(COLOR_BTNFACE);
    const COLORREF shadow = Sys(COLOR_BTNSHADOW);
    const COLORREF light = RGB(255, 128, 128);
    const COLORREF dark = RGB(192, 0, 0);
    const std::array<BandLook, 19> bands = {{
        {"320x200:", face},   {"320x240:", shadow},   {"400x300:", face},    {"480x360:", shadow},
        {"512x384:", face},   {"640x400:", shadow},   {"640x480:", light},   {"800x600:", shadow},
        {"848x480:", face},   {"1024x768:", dark},    {"1152x864:", face},   {"1280x960:", dark},
        {"1280x1024:", face}, {"1600x1024:", shadow}, {"1600x1200:", light}, {"1920x1080", shadow},
        {"1920x1200", face},  {"1920x1440", shadow},  {"2048x1536", face},
    }};
    const std::array<const char*, 14> items = {"<None>", "60",  "70",  "72",  "75",  "85",  "100",
                                               "120",    "140", "144", "150", "170", "200", "240"};

    for (const char* caption : {"Refresh rate settings:", "ATTENTION:", "Deselect all", "Apply"}) {
        EXPECT_NE(One("Button", caption), nullptr) << caption;
    }
    EXPECT_EQ(All("Static", "Res. (in Px):").size(), 2u);
    EXPECT_EQ(All("Static", "Refr. Rates (in Hz):").size(), 2u);
    HWND legend = One("Static", "(Red means: Common 4:3 resolution)");
    ASSERT_NE(legend, nullptr);

    RECT previous{};
    for (std::size_t row = 0; row < bands.size(); ++row) {
        SCOPED_TRACE(bands[row].caption);
        HWND band = One("Static", bands[row].caption);
        ASSERT_NE(band, nullptr);
        const Painted look = PaintOf(*view_, Form(), band);
        ASSERT_TRUE(look.handled);
        EXPECT_EQ(look.back, bands[row].back);
        EXPECT_EQ(look.text, Sys(COLOR_BTNTEXT));

        HWND list = List(row);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(GetWindowLongPtrA(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 14);
        for (int i = 0; i < 14; ++i) {
            char item[32] = {};
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            EXPECT_STREQ(item, items[static_cast<std::size_t>(i)]);
        }
        EXPECT_EQ(ListText(row), "<None>");  // set by start-up

        // The list lies in its band: the caption left of the table's rule, the list on a panel
        // of the band's colour right of it. Rows run down the left column, then the right one.
        const RECT b = RectIn(band, page_);
        HWND holder = GetParent(list);
        const RECT h = RectIn(holder, page_);
        const RECT l = RectIn(list, page_);
        EXPECT_EQ(BackgroundOf(holder), bands[row].back);
        EXPECT_EQ(h.top, b.top);
        EXPECT_EQ(h.bottom, b.bottom);
        EXPECT_GT(h.left, b.right);
        EXPECT_GE(l.top, h.top);
        EXPECT_LE(l.bottom, h.bottom);
        EXPECT_GT(l.left, h.left);
        EXPECT_LE(l.right, h.right);
        if (row == 12) {
            EXPECT_GE(b.left, previous.right);
            EXPECT_LT(b.top, previous.top);
        } else if (row > 0) {
            EXPECT_EQ(b.left, previous.left);
            EXPECT_GE(b.top, previous.bottom);
        }
        if (row == 18) {
            EXPECT_GE(RectIn(legend, page_).top, b.bottom);
            EXPECT_EQ(RectIn(legend, page_).left, b.left);
        }
        previous = b;
    }
    EXPECT_EQ(PaintOf(*view_, Form(), One("Button", "ATTENTION:")).text, RGB(255, 0, 0));
    EXPECT_EQ(PaintOf(*view_, Form(), One("Static", kWarning)).text, RGB(255, 0, 0));
    const RECT deselect = RectIn(One("Button", "Deselect all"), page_);
    const RECT apply = RectIn(One("Button", "Apply"), page_);
    EXPECT_GT(apply.top, deselect.top);
    EXPECT_GT(apply.bottom - apply.top, deselect.bottom - deselect.top);
}

TEST_F(HexPageTest, PicksReachTheFormAndApplyWritesTheirTable) {
    Pick(9, 5);   // 1024x768 at 85
    Pick(0, 13);  // 320x200 at 240
    Pick(0, 4);   // then 75
    EXPECT_EQ(Form().cmb[9], quorvel::testing::Item("85"));
    EXPECT_EQ(Form().cmb[0], quorvel::testing::Item("75"));
    EXPECT_EQ(Form().cmb[1], quorvel::testing::Item("<None>"));

    world_->prompt.Expect("Almost there", p::kIdYes)
        .Expect("The final frontier", p::kIdYes)
        .Expect("Completion", p::kIdNo);
    SendMessageA(One("Button", "Apply"), BM_CLICK, 0, 0);
    EXPECT_EQ(world_->prompt.PendingCount(), 0u);

    const std::string table = "S 320x200=804B; 1024x768=8055;";
    for (const char* key : {kDisplayKey, kServiceKey}) {
        SCOPED_TRACE(key);
        const std::vector<std::string> names = world_->ModesDeltaNames(key);
        ASSERT_EQ(names.size(), 26u);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i], kModesDeltaNames[i]);
            EXPECT_EQ(world_->String(key, kModesDeltaNames[i].c_str()), table);
        }
        const auto format =
            world_->registry.GetValue(p::kHkeyLocalMachine, key, "UseCompressedModeFormat");
        ASSERT_TRUE(format.has_value());
        EXPECT_EQ(format->data, sim::DwordValue(1).data);
    }

    SendMessageA(One("Button", "Deselect all"), BM_CLICK, 0, 0);
    for (std::size_t row = 0; row < 19; ++row) {
        EXPECT_EQ(Form().cmb[row], quorvel::testing::Item("<None>"));
        EXPECT_EQ(ListText(row), "<None>") << row;
    }
}

TEST_F(HexPageTest, SyncShowsTheFormsTextsAndBlinksOnlyTheWarning) {
    HWND warning = One("Static", kWarning);
    ASSERT_NE(warning, nullptr);
    ChangeLog log;
    ChangeRecorder recorder(log);
    ASSERT_TRUE(recorder.Active());

    Form().tmrWarning40_Timer();
    view_->Sync(Form());
    EXPECT_FALSE(IsWindowVisible(warning));
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].first, warning);

    log.entries.clear();
    Form().cmb[4] = quorvel::modes::kNoItem;
    Form().cmb[17] = quorvel::testing::Item("240");
    view_->Sync(Form());
    EXPECT_EQ(SendMessageA(List(4), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(ListText(17), "240");
    EXPECT_EQ(log.Count(CB_SETCURSEL), 2u);
    EXPECT_EQ(log.Count(WM_SHOWWINDOW), 0u);

    // The user's own pick is already on screen: syncing it back sends nothing.
    log.entries.clear();
    Pick(2, 6);
    EXPECT_EQ(log.Count(CB_SETCURSEL), 1u);  // the pick itself
    view_->Sync(Form());
    EXPECT_EQ(log.Count(CB_SETCURSEL), 1u);
    EXPECT_EQ(Form().cmb[2], quorvel::testing::Item("100"));
}

// --- About box ----------------------------------------------------------------------------------

struct AboutRun {
    frmAboutBox* box = nullptr;
    sim::SimShell* shell = nullptr;
    HWND owner = nullptr;
    ViewContext v;
    bool useEscape = false;
    bool inspected = false;
    HWND dialog = nullptr;
};
AboutRun* g_about = nullptr;

HWND FindStatic(HWND dialog, const char* text) {
    return Unique(Matching(Snapshot(dialog), "Static", text));
}

void InspectAboutBox(AboutRun& run) {
    HWND dialog = reinterpret_cast<HWND>(run.box->hWnd);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(IsWindow(dialog));
    run.dialog = dialog;
    EXPECT_EQ(TextOf(dialog), "About...");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), run.owner);
    EXPECT_FALSE(IsWindowEnabled(run.owner));  // modal
    const LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, w::TwipsX(run.v, 4455));
    EXPECT_EQ(client.bottom, w::TwipsY(run.v, 2895));
    RECT own;
    RECT box;
    GetWindowRect(run.owner, &own);
    GetWindowRect(dialog, &box);
    EXPECT_NEAR((box.left + box.right) / 2, (own.left + own.right) / 2, 2);
    EXPECT_NEAR((box.top + box.bottom) / 2, (own.top + own.bottom) / 2, 2);

    for (const char* text : {"Quorvel", "Version 2.01 E", "Developed by Velkora",
                             "Velkora - International:", "Problems? -",
                             "http://www.velkora.example.com/", "support@velkora.example.com"}) {
        EXPECT_NE(FindStatic(dialog, text), nullptr) << text;
    }
    HWND programmer = nullptr;
    for (HWND h : Descendants(dialog)) {
        if (TextOf(h).rfind("Programmer/Developer: ", 0) == 0) {
            programmer = h;
        }
    }
    EXPECT_NE(programmer, nullptr);

    // The mail link shares the "Problems? -" row, to its right.
    HWND problems = FindStatic(dialog, "Problems? -");
    HWND mail = FindStatic(dialog, "support@velkora.example.com");
    HWND link = FindStatic(dialog, "http://www.velkora.example.com/");
    ASSERT_NE(mail, nullptr);
    ASSERT_NE(link, nullptr);
    ASSERT_NE(problems, nullptr);
    EXPECT_EQ(RectIn(mail, dialog).top, RectIn(problems, dialog).top);
    // At 1680 twips, unless the font draws the address wider than its label: then it moves left
    // just enough to stay whole.
    GetClientRect(dialog, &client);
    const RECT mailRect = RectIn(mail, dialog);
    EXPECT_EQ(mailRect.left, std::min<LONG>(w::TwipsX(run.v, 1680),
                                            client.right - (mailRect.right - mailRect.left)));
    EXPECT_EQ(RectIn(problems, dialog).left, w::TwipsX(run.v, 600));
    EXPECT_EQ(RectIn(problems, dialog).top, w::TwipsY(run.v, 2520));
    EXPECT_NE(GetWindowLongPtrA(link, GWL_STYLE) & SS_NOTIFY, 0);

    const auto click = [&](HWND control) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), STN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    };
    click(link);
    ASSERT_EQ(run.shell->Calls().size(), 1u);
    EXPECT_EQ(run.shell->Calls()[0].file, "http://www.velkora.example.com/");
    EXPECT_EQ(run.shell->Calls()[0].operation, "open");
    EXPECT_EQ(run.shell->Calls()[0].owner, reinterpret_cast<p::Handle>(dialog));
    click(mail);
    ASSERT_EQ(run.shell->Calls().size(), 2u);
    EXPECT_EQ(run.shell->Calls()[1].file,
              "mailto:support@velkora.example.com?subject=Bug report: Quorvel v2.01 E");
    click(problems);  // not a link
    EXPECT_EQ(run.shell->Calls().size(), 2u);
    EXPECT_TRUE(IsWindow(dialog));  // the links leave the box open
}

void CALLBACK AboutTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    AboutRun& run = *g_about;
    run.inspected = true;
    InspectAboutBox(run);
    HWND dialog = reinterpret_cast<HWND>(run.box->hWnd);
    if (!dialog) {
        return;
    }
    if (run.useEscape) {
        PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(dialog, WM_KEYUP, VK_ESCAPE, 0);
    } else {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

// Whatever goes wrong above, the modal loop must end.
void CALLBACK AboutWatchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_about && g_about->box->hWnd) {
        ADD_FAILURE() << "the about box did not close";
        EndDialog(reinterpret_cast<HWND>(g_about->box->hWnd), 0);
    }
}

class AboutBoxTest : public WindowTest, public testing::WithParamInterface<bool> {};

TEST_P(AboutBoxTest, OpensModallyCarriesItsTextsAndLinksAndCloses) {
    sim::SimShell shell;
    frmAboutBox box(shell);
    AboutRun run;
    run.box = &box;
    run.shell = &shell;
    run.owner = window_;
    run.v = v_;
    run.useEscape = GetParam();
    g_about = &run;
    SetTimer(nullptr, 0, 100, AboutTimer);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, AboutWatchdog);

    w::ShowAboutBox(window_, box, v_);

    KillTimer(nullptr, watchdog);
    g_about = nullptr;
    EXPECT_TRUE(run.inspected);
    EXPECT_FALSE(IsWindow(run.dialog));
    EXPECT_EQ(box.hWnd, 0u);
    EXPECT_TRUE(IsWindowEnabled(window_));
    EXPECT_EQ(shell.Calls().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(ClosedBy, AboutBoxTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Escape" : "CloseBox";
                         });

}  // namespace
