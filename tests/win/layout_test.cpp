// Every text whole on every screen: at 96, 120 and 144 DPI, with the longest texts a machine
// gives, each visible control of every page, of the about box, of the monitor limits dialog and
// of the preview holds its text, lies inside its parent (and its group frame), no two overlap
// but where a group holds the other, and under a high-contrast scheme no text is drawn in its
// own background colour.
#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "WindowTesting.h"
#include "app/frmMainframe.h"
#include "applied/Applied.h"
#include "app/win32/ConfirmView.h"
#include "app/win32/MainWindow.h"
#include "confirm/Confirm.h"
#include "app/win32/resource.h"
#include "host/TestSupport.h"

namespace {

using Defects = std::vector<std::string>;
// What a test checks on the controls shown at one place (a page, a dialog), named `where`.
using Check = std::function<void(const std::vector<HWND>& shown, const std::string& where)>;

std::string TextOf(HWND w) {
    char text[512] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}
bool Is(HWND w, const char* cls) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return lstrcmpiA(name, cls) == 0;
}
LONG_PTR Style(HWND w) {
    return GetWindowLongPtrA(w, GWL_STYLE);
}
bool IsGroupBox(HWND w) {
    return Is(w, "Button") && (Style(w) & BS_TYPEMASK) == BS_GROUPBOX;
}
bool IsGroup(HWND w) {
    return Is(w, WC_TABCONTROLA) || IsGroupBox(w);
}
// A table's rule: a filled static without text. Rules may cross where a table's lines meet.
bool IsRule(HWND w) {
    const LONG_PTR type = Style(w) & SS_TYPEMASK;
    return Is(w, "Static") && TextOf(w).empty() && type >= SS_BLACKRECT && type <= SS_WHITEFRAME;
}
// It and its parents up to `root` have the visible style (the tests keep the main window hidden).
bool Shown(HWND w, HWND root) {
    for (; w != root; w = GetParent(w)) {
        if (!(Style(w) & WS_VISIBLE)) {
            return false;
        }
    }
    return true;
}
RECT InParent(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
std::string Name(HWND w) {
    return TextOf(w).empty() ? "control #" + std::to_string(GetDlgCtrlID(w))
                             : '"' + TextOf(w) + '"';
}

// DrawText's extent of `text` in the control's font, wrapped at `wrap` pixels when positive.
SIZE Extent(HWND w, const std::string& text, UINT flags, int wrap = 0) {
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
    RECT rc{0, 0, wrap, 0};
    DrawTextA(dc, text.c_str(), -1, &rc,
              DT_CALCRECT | DT_EXPANDTABS | flags | (wrap > 0 ? DT_WORDBREAK : 0));
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return {rc.right, rc.bottom};
}

// Each text the control shows against its room, with the padding and glyphs drawn beside it.
void CheckFit(HWND w, int dpi, const std::string& where, Defects& out) {
    const auto fits = [&](const std::string& what, SIZE need, SIZE room) {
        if (need.cx > room.cx || need.cy > room.cy) {
            out.push_back(where + ": " + what + " needs " + std::to_string(need.cx) + "x" +
                          std::to_string(need.cy) + " px, has " + std::to_string(room.cx) + "x" +
                          std::to_string(room.cy));
        }
    };
    const auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
    RECT c;
    GetClientRect(w, &c);
    const SIZE room{c.right, c.bottom};
    const std::string text = TextOf(w);
    const LONG_PTR style = Style(w);
    if (Is(w, "Static") && !text.empty()) {
        const LONG_PTR type = style & SS_TYPEMASK;
        const bool single = (style & SS_CENTERIMAGE) || type == SS_SIMPLE;
        if (type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) {
            fits(Name(w),
                 Extent(w, text,
                        (style & SS_NOPREFIX ? DT_NOPREFIX : 0) | (single ? DT_SINGLELINE : 0),
                        type <= SS_RIGHT && !single ? room.cx : 0),
                 room);
        }
    } else if (Is(w, "Button") && !text.empty()) {
        const LONG_PTR type = style & BS_TYPEMASK;
        const SIZE e = Extent(w, text, DT_SINGLELINE);
        // A group box's caption starts a little in; a push button has its edges; an option or
        // check box its glyph and gap.
        const int extra = type == BS_GROUPBOX ? px(16) : type <= BS_DEFPUSHBUTTON ? px(8) : px(17);
        fits(Name(w), {e.cx + extra, type == BS_GROUPBOX ? 0 : e.cy}, room);
    } else if (Is(w, "ComboBox")) {
        const int height = static_cast<int>(SendMessageA(w, CB_GETITEMHEIGHT, 0, 0));
        for (LRESULT i = 0, n = SendMessageA(w, CB_GETCOUNT, 0, 0); i < n; ++i) {
            char item[64] = {};
            SendMessageA(w, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            const SIZE e = Extent(w, item, DT_SINGLELINE | DT_NOPREFIX);
            fits(Name(w) + " item \"" + item + '"', {e.cx + 4, e.cy},
                 {room.cx - GetSystemMetrics(SM_CXVSCROLL) - 2, height});
        }
    } else if (Is(w, WC_TABCONTROLA)) {
        for (LRESULT i = 0, n = SendMessageA(w, TCM_GETITEMCOUNT, 0, 0); i < n; ++i) {
            char caption[64] = {};
            TCITEMA item{TCIF_TEXT, 0, 0, caption, sizeof caption, 0, 0};
            SendMessageA(w, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            RECT r{};
            SendMessageA(w, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            const SIZE e = Extent(w, caption, DT_SINGLELINE);
            fits(std::string("tab \"") + caption + '"', {e.cx + px(6), e.cy},
                 {r.right - r.left, r.bottom - r.top});
        }
    }
}

// Two visible siblings overlap only where one is a group that holds the other whole.
void CheckOverlaps(const std::vector<HWND>& shown, const std::string& where, Defects& out) {
    for (HWND a : shown) {
        for (HWND b : shown) {
            RECT ra = InParent(a), rb = InParent(b), common, both;
            if (a >= b || GetParent(a) != GetParent(b) || !IntersectRect(&common, &ra, &rb) ||
                (IsRule(a) && IsRule(b))) {
                continue;
            }
            UnionRect(&both, &ra, &rb);
            if (!(IsGroup(a) && EqualRect(&both, &ra)) && !(IsGroup(b) && EqualRect(&both, &rb))) {
                out.push_back(where + ": " + Name(a) + " and " + Name(b) + " overlap");
            }
        }
    }
}

bool Inside(const RECT& r, const RECT& outer) {
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right &&
           r.bottom <= outer.bottom;
}

// Each control lies inside its parent's client area, and inside the group frame it stands under:
// the nearest frame above it that shares columns with it, as long as no other frame of that
// frame's columns starts between the two. So a row pushed below its frame is found, while a
// button beside a lower frame belongs to none.
void CheckPlaces(const std::vector<HWND>& shown, const std::string& where, Defects& out) {
    const auto sharesColumns = [](const RECT& a, const RECT& b) {
        return a.left < b.right && b.left < a.right;
    };
    for (HWND w : shown) {
        RECT client;
        GetClientRect(GetParent(w), &client);
        const RECT r = InParent(w);
        if (!Inside(r, client)) {
            out.push_back(where + ": " + Name(w) + " reaches out of its parent");
        }
        std::vector<RECT> frames;
        for (HWND g : shown) {
            if (g != w && IsGroupBox(g) && GetParent(g) == GetParent(w)) {
                frames.push_back(InParent(g));
            }
        }
        const RECT* above = nullptr;
        for (const RECT& f : frames) {
            if (f.top <= r.top && sharesColumns(f, r) && (!above || f.top > above->top)) {
                above = &f;
            }
        }
        bool cutOff = false;
        for (const RECT& f : frames) {
            cutOff |= above && f.top > above->top && f.top <= r.top && sharesColumns(f, *above);
        }
        if (!IsGroupBox(w) && above && !cutOff && !Inside(r, *above)) {
            out.push_back(where + ": " + Name(w) + " lies outside its group frame");
        }
    }
}

// The colours a control's parent gives its text and background, as the control asks when it
// paints; an owner-drawn list's items must leave ink other than their background.
void CheckColours(HWND w, const std::string& where, Defects& out) {
    const LONG_PTR type = Style(w) & BS_TYPEMASK;
    HDC dc = CreateCompatibleDC(nullptr);
    if ((Is(w, "Static") || (Is(w, "Button") && type > BS_DEFPUSHBUTTON)) && !TextOf(w).empty()) {
        const auto args = std::make_pair(reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w));
        LRESULT brush = SendMessageA(GetParent(w), WM_CTLCOLORSTATIC, args.first, args.second);
        brush = brush ? brush
                      : DefWindowProcA(GetParent(w), WM_CTLCOLORSTATIC, args.first, args.second);
        LOGBRUSH back{};
        GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof back, &back);
        if (GetTextColor(dc) == back.lbColor || GetTextColor(dc) == GetBkColor(dc)) {
            out.push_back(where + ": " + Name(w) + " is drawn in its background colour");
        }
    } else if (Is(w, "ComboBox") && (Style(w) & CBS_OWNERDRAWFIXED)) {
        HGDIOBJ old = SelectObject(dc, CreateBitmap(64, 24, 1, 32, nullptr));
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
        for (LRESULT i = 0, n = SendMessageA(w, CB_GETCOUNT, 0, 0); i < n; ++i) {
            const UINT id = static_cast<UINT>(GetDlgCtrlID(w));
            DRAWITEMSTRUCT d{ODT_COMBOBOX,       id, static_cast<UINT>(i), ODA_DRAWENTIRE, 0, w, dc,
                             RECT{0, 0, 64, 24}, 0};
            SendMessageA(GetParent(w), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&d));
            bool ink = false;
            for (int p = 0; p < 64 * 24 && !ink; ++p) {
                ink = GetPixel(dc, p % 64, p / 64) != GetPixel(dc, 63, 23);
            }
            if (!ink) {
                out.push_back(where + ": item " + std::to_string(i) + " of " + Name(w) +
                              " is drawn in its background colour");
            }
        }
        DeleteObject(SelectObject(dc, old));
    }
    DeleteDC(dc);
}

void Visit(HWND root, const std::string& where, const Check& check) {
    std::vector<HWND> shown;
    for (HWND w : quorvel::testing::Descendants(root)) {
        if (Shown(w, root)) {
            shown.push_back(w);
        }
    }
    check(shown, where);
}

// A modal dialog is checked from a timer inside its loop, then closed.
struct {
    const char* title;
    const Check* check;
    bool seen;
} modal;

void CALLBACK VisitModal(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dialog = FindWindowA("#32770", modal.title)) {
        KillTimer(nullptr, timer);
        modal.seen = true;
        Visit(dialog, modal.title, *modal.check);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

struct Screen {
    const char* fixture;
    int dpi;
};
void PrintTo(const Screen& s, std::ostream* out) {
    *out << s.fixture << " at " << s.dpi << " DPI";
}

bool tahomaLoaded = true;

class LayoutTest : public testing::TestWithParam<Screen> {
  protected:
    void SetUp() override {
        if (!quorvel::testing::DisplayAvailable()) {
            GTEST_SKIP() << "no display: run under xvfb-run to test the window";
        }
        ASSERT_TRUE(tahomaLoaded) << "Wine's Tahoma is missing from " QUORVEL_WINE_FONTS_DIR;
        world_.Load(GetParam().fixture);
        // The longest mode "Screen now:" can name. A record's line "Rates in effect:" is longest
        // when four resolutions with the most digits, each at a rate of its own, are not offered
        // and the rest are (found by trying every set of the record's rates offered).
        world_.system.currentMode = quorvel::platform::DisplayMode{2048, 1536, 32, 100};
        const char* const notOffered[] = {"1280x960", "1600x1200", "1920x1200", "1920x1440",
                                          "2048x1536"};
        const auto record = quorvel::applied::ReadRecord(world_.registry);
        for (std::size_t row = 0; record && row < quorvel::modes::kResolutionCount; ++row) {
            const quorvel::modes::Resolution& r = quorvel::modes::kCatalogue[row];
            if (std::find(std::begin(notOffered), std::end(notOffered),
                          quorvel::modes::ResolutionText(r)) == std::end(notOffered)) {
                world_.system.offeredModes.push_back(
                    {static_cast<std::uint32_t>(r.width), static_cast<std::uint32_t>(r.height), 32,
                     static_cast<std::uint32_t>(record->rates[row])});
            }
        }
        form_.emplace(world_.platform);
        form_->Form_Load();
        ASSERT_NE(form_->lblScreenNow.caption, "Not found");
        ASSERT_EQ(form_->lblRatesInEffect.visible, record.has_value());
        window_.emplace(*form_);
        ASSERT_TRUE(window_->Create(GetModuleHandleA(nullptr), SW_HIDE, GetParam().dpi));
    }
    void TearDown() override {
        window_.reset();
        quorvel::testing::PumpMessages();
    }

    HWND Main() const { return window_->Handle(); }
    HWND Child(HWND parent, int id) const { return GetDlgItem(parent, id); }

    void ClickTab(int index) {
        HWND tabs = Child(Main(), IDC_TBSMAIN);
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
        NMHDR hdr{tabs, IDC_TBSMAIN, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(Main(), WM_NOTIFY, IDC_TBSMAIN, reinterpret_cast<LPARAM>(&hdr));
    }

    // The controls shown in the main window, on every page it can show and in its dialogs.
    void VisitAll(const Check& check) {
        const int frames[] = {IDC_FMEINTRO, IDC_FMESYSINFO, IDC_FMESETTINGS, IDC_FMESETTINGS40};
        const auto visitPage = [&](const std::string& where) {
            for (int frame : frames) {
                if (Style(Child(Main(), frame)) & WS_VISIBLE) {
                    Visit(Child(Main(), frame), where, check);
                }
            }
        };
        std::vector<HWND> top;
        for (HWND w = GetWindow(Main(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (Style(w) & WS_VISIBLE) {
                top.push_back(w);
            }
        }
        check(top, "main window");
        for (int tab = 1; tab <= SendMessageA(Child(Main(), IDC_TBSMAIN), TCM_GETITEMCOUNT, 0, 0);
             ++tab) {
            ClickTab(tab);
            visitPage("tab " + std::to_string(tab));
        }
        // Without a version the user chooses the generation: both settings pages come into play.
        HWND sysInfo = Child(Main(), IDC_FMESYSINFO);
        if (Style(Child(sysInfo, IDC_OBTVERERROR28)) & WS_VISIBLE) {
            for (int id : {IDC_OBTVERERROR28, IDC_OBTVERERROR40}) {
                world_.prompt.Expect("Choice of Detoantor version", quorvel::platform::kIdOk);
                SendMessageA(Child(sysInfo, id), BM_CLICK, 0, 0);
                ClickTab(3);
                visitPage(id == IDC_OBTVERERROR28 ? "Settings page" : "Settings 40 page");
                ClickTab(2);
            }
        }
        for (const auto& [title, command] : {std::make_pair("About...", IDM_ABOUT),
                                             std::make_pair("Monitor limits", IDM_MONITORLIMITS),
                                             std::make_pair("Preview changes", IDM_PREVIEW)}) {
            modal = {title, &check, false};
            SetTimer(nullptr, 0, 50, VisitModal);
            SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
            EXPECT_TRUE(modal.seen) << title << " did not open";
        }
        // The check after the restart, a window of its own, with the longest "Screen now:".
        quorvel::app::frmConfirm confirm(quorvel::applied::ScreenText(*world_.system.currentMode),
                                         quorvel::confirm::kSeconds);
        modal = {quorvel::app::kMainCaption, &check, false};
        SetTimer(nullptr, 0, 50, VisitModal);
        quorvel::app::win32::ConfirmView(GetModuleHandleA(nullptr), GetParam().dpi)
            .ShowConfirm(confirm);
        EXPECT_TRUE(modal.seen) << "the check after the restart did not open";
    }

    quorvel::testing::SimWorld world_;
    std::optional<quorvel::app::frmMainframe> form_;
    std::optional<quorvel::app::win32::MainWindow> window_;
};

TEST_P(LayoutTest, EveryTextFitsItsControlInItsPlaceAndNoControlsOverlap) {
    Defects defects;
    VisitAll([&](const std::vector<HWND>& shown, const std::string& where) {
        for (HWND w : shown) {
            CheckFit(w, GetParam().dpi, where, defects);
        }
        CheckPlaces(shown, where, defects);
        CheckOverlaps(shown, where, defects);
    });
    EXPECT_THAT(defects, testing::IsEmpty());
}

// Colours do not depend on the DPI: one screen for each fixture.
using HighContrastTest = LayoutTest;

TEST_P(HighContrastTest, NoTextIsDrawnInItsBackgroundColour) {
    // White text on black, as Windows' "High Contrast Black" scheme sets the system colours.
    int which[] = {COLOR_BTNFACE,   COLOR_WINDOW,   COLOR_BTNTEXT,   COLOR_WINDOWTEXT,
                   COLOR_BTNSHADOW, COLOR_GRAYTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    COLORREF scheme[] = {RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
                         RGB(255, 255, 255), RGB(128, 128, 128), RGB(0, 255, 0),
                         RGB(128, 0, 128),   RGB(255, 255, 255)};
    COLORREF saved[std::size(which)];
    for (std::size_t i = 0; i < std::size(which); ++i) {
        saved[i] = GetSysColor(which[i]);
    }
    SetSysColors(static_cast<int>(std::size(which)), which, scheme);
    Defects defects;
    VisitAll([&](const std::vector<HWND>& shown, const std::string& where) {
        for (HWND w : shown) {
            CheckColours(w, where, defects);
        }
    });
    SetSysColors(static_cast<int>(std::size(which)), which, saved);
    EXPECT_THAT(defects, testing::IsEmpty());
}

std::string NameOf(const testing::TestParamInfo<Screen>& info) {
    std::string name;
    for (const char* c = info.param.fixture; *c != '.'; ++c) {
        name += *c == '-' ? '_' : *c;
    }
    return name + "_" + std::to_string(info.param.dpi) + "dpi";
}

INSTANTIATE_TEST_SUITE_P(
    Screens, LayoutTest,
    testing::Values(Screen{"longest-texts.reg", 96}, Screen{"longest-texts.reg", 120},
                    Screen{"longest-texts.reg", 144}, Screen{"no-version.reg", 96},
                    Screen{"no-version.reg", 120}, Screen{"no-version.reg", 144}),
    NameOf);
INSTANTIATE_TEST_SUITE_P(Screens, HighContrastTest,
                         testing::Values(Screen{"longest-texts.reg", 96},
                                         Screen{"no-version.reg", 96}),
                         NameOf);

}  // namespace

int main(int argc, char** argv) {
    // The screens users see under Wine (and scripts/run shows) are drawn in Wine's Tahoma; a
    // fresh test prefix has none, and the font mapper would put in another face.
    for (const char* file : {"/tahoma.ttf", "/tahomabd.ttf"}) {
        tahomaLoaded &=
            AddFontResourceA((std::string("Z:" QUORVEL_WINE_FONTS_DIR) + file).c_str()) > 0;
    }
    return quorvel::testing::RunWindowTests(argc, argv);
}
