// Every text whole on every screen: at 96, 120 and 144 DPI, with the longest texts a machine
// gives, each visible control of every page, of the about box and of the monitor limits dialog
// holds its text, no two overlap but where a group holds the other, and under a high-contrast
// scheme no text is drawn in its own background colour.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "WindowTesting.h"
#include "app/frmMainframe.h"
#include "app/win32/MainWindow.h"
#include "app/win32/resource.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimRegistry.h"

namespace {

using quorvel::app::frmMainframe;
using quorvel::app::win32::MainWindow;
namespace sim = quorvel::platform::sim;
namespace platform = quorvel::platform;

std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string TextOf(HWND w) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(w, &text[0], static_cast<int>(text.size()))));
    return text;
}

LONG_PTR StyleOf(HWND w) {
    return GetWindowLongPtrA(w, GWL_STYLE);
}

bool Is(HWND w, const char* cls) {
    return lstrcmpiA(ClassOf(w).c_str(), cls) == 0;
}

bool IsGroupBox(HWND w) {
    return Is(w, "Button") && (StyleOf(w) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A table's rule: a filled static without text. Rules cross each other where a table's lines
// meet; they must not cross anything else.
bool IsRule(HWND w) {
    const LONG_PTR type = StyleOf(w) & SS_TYPEMASK;
    return Is(w, "Static") && TextOf(w).empty() && type >= SS_BLACKRECT && type <= SS_WHITEFRAME;
}

// Shown within `root`: it and every parent up to `root` have the visible style, whether or not
// `root` itself is on the screen (the tests keep the main window hidden).
bool Shown(HWND w, HWND root) {
    for (; w && w != root; w = GetParent(w)) {
        if (!(StyleOf(w) & WS_VISIBLE)) {
            return false;
        }
    }
    return true;
}

RECT RectInParent(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(HWND w) {
    const std::string text = TextOf(w);
    char id[16];
    wsprintfA(id, "#%d", GetDlgCtrlID(w));
    return ClassOf(w) + (text.empty() ? std::string(" ") + id : " \"" + text + "\"");
}

// The extent of `text` in the control's font: DrawText with DT_CALCRECT, wrapped at `wrapWidth`
// pixels when that is positive.
SIZE Extent(HWND w, const std::string& text, UINT flags, int wrapWidth = 0) {
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
    RECT rc{0, 0, wrapWidth, 0};
    DrawTextA(dc, text.c_str(), -1, &rc,
              DT_CALCRECT | DT_EXPANDTABS | flags | (wrapWidth > 0 ? DT_WORDBREAK : 0));
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return SIZE{rc.right, rc.bottom};
}

class Defects {
  public:
    explicit Defects(int dpi) : dpi_(dpi) {}

    // Text fits and overlaps of every control shown within `root`, named `where` in messages.
    void Check(HWND root, const std::string& where) {
        const std::vector<HWND> all = quorvel::testing::Descendants(root);
        std::vector<HWND> shown;
        for (HWND w : all) {
            if (Shown(w, root)) {
                shown.push_back(w);
                CheckFit(w, where);
            }
        }
        for (std::size_t i = 0; i < shown.size(); ++i) {
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                CheckOverlap(shown[i], shown[j], where);
            }
        }
    }

    const std::vector<std::string>& Found() const { return found_; }
    void Add(const std::string& what) { found_.push_back(what); }

  private:
    int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }

    void Need(HWND w, const std::string& where, const std::string& what, SIZE need, SIZE room) {
        if (need.cx > room.cx || need.cy > room.cy) {
            char size[96];
            wsprintfA(size, " needs %dx%d px, has %dx%d", static_cast<int>(need.cx),
                      static_cast<int>(need.cy), static_cast<int>(room.cx),
                      static_cast<int>(room.cy));
            found_.push_back(where + ": " + Describe(w) + what + size);
        }
    }

    void CheckFit(HWND w, const std::string& where) {
        RECT client;
        GetClientRect(w, &client);
        const SIZE room{client.right, client.bottom};
        const LONG_PTR style = StyleOf(w);
        const std::string text = TextOf(w);
        if (Is(w, "Static") && !text.empty()) {
            const LONG_PTR type = style & SS_TYPEMASK;
            if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) {
                return;
            }
            const UINT flags = (style & SS_NOPREFIX ? DT_NOPREFIX : 0) |
                               (style & SS_CENTERIMAGE || type == SS_SIMPLE ? DT_SINGLELINE : 0);
            const bool wraps = type <= SS_RIGHT && !(style & SS_CENTERIMAGE);
            Need(w, where, "", Extent(w, text, flags, wraps ? room.cx : 0), room);
        } else if (Is(w, "Button") && !text.empty()) {
            const LONG_PTR type = style & BS_TYPEMASK;
            const SIZE extent = Extent(w, text, DT_SINGLELINE);
            if (type == BS_GROUPBOX) {
                // The caption starts a few pixels in and keeps the frame's line clear after it.
                Need(w, where, "", SIZE{extent.cx + Scaled(16), 0}, room);
            } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                Need(w, where, "", SIZE{extent.cx + Scaled(8), extent.cy + 4}, room);
            } else {
                // The check or radio glyph and its gap come before the text.
                Need(w, where, "", SIZE{extent.cx + Scaled(17), extent.cy}, room);
            }
        } else if (Is(w, "ComboBox")) {
            const int button = GetSystemMetrics(SM_CXVSCROLL);
            const LRESULT count = SendMessageA(w, CB_GETCOUNT, 0, 0);
            const int itemHeight = static_cast<int>(SendMessageA(w, CB_GETITEMHEIGHT, 0, 0));
            for (LRESULT i = 0; i < count; ++i) {
                char item[64] = {};
                SendMessageA(w, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(item));
                const SIZE extent = Extent(w, item, DT_SINGLELINE | DT_NOPREFIX);
                Need(w, where, std::string(" item \"") + item + "\"",
                     SIZE{extent.cx + 4, extent.cy}, SIZE{room.cx - button - 2, itemHeight});
            }
        } else if (Is(w, "Edit")) {
            const SIZE extent = Extent(w, text.empty() ? "000" : text, DT_SINGLELINE);
            Need(w, where, "", SIZE{extent.cx + 4, extent.cy}, room);
        } else if (Is(w, WC_TABCONTROLA)) {
            const LRESULT count = SendMessageA(w, TCM_GETITEMCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                char caption[64] = {};
                TCITEMA item{};
                item.mask = TCIF_TEXT;
                item.pszText = caption;
                item.cchTextMax = sizeof caption;
                SendMessageA(w, TCM_GETITEMA, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&item));
                RECT r{};
                SendMessageA(w, TCM_GETITEMRECT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&r));
                const SIZE extent = Extent(w, caption, DT_SINGLELINE);
                Need(w, where, std::string(" tab \"") + caption + "\"",
                     SIZE{extent.cx + Scaled(6), extent.cy},
                     SIZE{r.right - r.left, r.bottom - r.top});
            }
        }
    }

    void CheckOverlap(HWND a, HWND b, const std::string& where) {
        if (GetParent(a) != GetParent(b)) {
            return;  // a child lies within its parent; its parent's siblings are checked
        }
        const RECT ra = RectInParent(a);
        const RECT rb = RectInParent(b);
        RECT common;
        if (!IntersectRect(&common, &ra, &rb)) {
            return;
        }
        const auto holds = [](HWND outer, const RECT& ro, const RECT& ri) {
            return (IsGroupBox(outer) || Is(outer, WC_TABCONTROLA)) && Contains(ro, ri);
        };
        if (holds(a, ra, rb) || holds(b, rb, ra) || (IsRule(a) && IsRule(b))) {
            return;
        }
        found_.push_back(where + ": " + Describe(a) + " and " + Describe(b) + " overlap");
    }

    int dpi_;
    std::vector<std::string> found_;
};

// ---- Colours ----------------------------------------------------------------------------------

// White text on black, as Windows' "High Contrast Black" scheme sets the system colours.
const std::pair<int, COLORREF> kHighContrast[] = {
    {COLOR_BTNFACE, RGB(0, 0, 0)},
    {COLOR_WINDOW, RGB(0, 0, 0)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},
    {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
    {COLOR_BTNSHADOW, RGB(128, 128, 128)},
    {COLOR_GRAYTEXT, RGB(0, 255, 0)},
    {COLOR_HIGHLIGHT, RGB(128, 0, 128)},
    {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
    {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
};

class HighContrast {
  public:
    HighContrast() {
        int which[std::size(kHighContrast)];
        COLORREF colours[std::size(kHighContrast)];
        for (std::size_t i = 0; i < std::size(kHighContrast); ++i) {
            which[i] = kHighContrast[i].first;
            colours[i] = kHighContrast[i].second;
            saved_[i] = GetSysColor(which[i]);
        }
        SetSysColors(static_cast<int>(std::size(kHighContrast)), which, colours);
    }
    HighContrast(const HighContrast&) = delete;
    HighContrast& operator=(const HighContrast&) = delete;
    ~HighContrast() {
        int which[std::size(kHighContrast)];
        for (std::size_t i = 0; i < std::size(kHighContrast); ++i) {
            which[i] = kHighContrast[i].first;
        }
        SetSysColors(static_cast<int>(std::size(kHighContrast)), which, saved_);
    }

  private:
    COLORREF saved_[std::size(kHighContrast)];
};

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

// The text and background colours a control's parent gives it, as the control asks when it
// paints; the parent's default where it has no say.
void CheckColours(HWND root, const std::string& where, Defects& defects) {
    for (HWND w : quorvel::testing::Descendants(root)) {
        const LONG_PTR type = StyleOf(w) & BS_TYPEMASK;
        const bool pushButton = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
        if (!Shown(w, root) || TextOf(w).empty() ||
            !(Is(w, "Static") || (Is(w, "Button") && !pushButton))) {
            continue;
        }
        HWND parent = GetParent(w);
        HDC dc = CreateCompatibleDC(nullptr);
        SetBkMode(dc, OPAQUE);
        const auto wParam = reinterpret_cast<WPARAM>(dc);
        const auto lParam = reinterpret_cast<LPARAM>(w);
        LRESULT brush = SendMessageA(parent, WM_CTLCOLORSTATIC, wParam, lParam);
        if (!brush) {
            brush = DefWindowProcA(parent, WM_CTLCOLORSTATIC, wParam, lParam);
        }
        const COLORREF text = GetTextColor(dc);
        const bool opaque = GetBkMode(dc) == OPAQUE;
        if (text == BrushColour(reinterpret_cast<HBRUSH>(brush)) ||
            (opaque && text == GetBkColor(dc))) {
            defects.Add(where + ": " + Describe(w) + " is drawn in its background colour");
        }
        DeleteDC(dc);
    }
    // The owner-drawn lists: every item must leave ink other than its background.
    for (HWND w : quorvel::testing::Descendants(root)) {
        if (!Shown(w, root) || !Is(w, "ComboBox") || !(StyleOf(w) & CBS_OWNERDRAWFIXED)) {
            continue;
        }
        const LRESULT count = SendMessageA(w, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            constexpr int kWidth = 64;
            constexpr int kHeight = 24;
            HDC dc = CreateCompatibleDC(nullptr);
            HBITMAP bitmap = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
            HGDIOBJ old = SelectObject(dc, bitmap);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
            const UINT id = static_cast<UINT>(GetDlgCtrlID(w));
            DRAWITEMSTRUCT d{ODT_COMBOBOX,
                             id,
                             static_cast<UINT>(i),
                             ODA_DRAWENTIRE,
                             0,
                             w,
                             dc,
                             RECT{0, 0, kWidth, kHeight},
                             0};
            SendMessageA(GetParent(w), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&d));
            const COLORREF background = GetPixel(dc, kWidth - 1, kHeight - 1);
            bool ink = false;
            for (int x = 0; x < kWidth && !ink; ++x) {
                for (int y = 0; y < kHeight && !ink; ++y) {
                    ink = GetPixel(dc, x, y) != background;
                }
            }
            if (!ink) {
                char item[64] = {};
                SendMessageA(w, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(item));
                defects.Add(where + ": " + Describe(w) + " item \"" + item +
                            "\" is drawn in its background colour");
            }
            DeleteObject(SelectObject(dc, old));
            DeleteDC(dc);
        }
    }
}

// ---- The walk ---------------------------------------------------------------------------------

struct Screen {
    const char* fixture;
    int dpi;
};

void PrintTo(const Screen& s, std::ostream* out) {
    *out << s.fixture << " at " << s.dpi << " DPI";
}

bool tahomaLoaded = true;

// What a test checks on one window and its children, named in its messages.
using Visit = std::function<void(HWND root, const std::string& name)>;

// A modal dialog is visited from a timer inside its loop, then closed.
struct ModalVisit {
    const char* title = nullptr;
    const Visit* visit = nullptr;
    bool seen = false;
    int ticks = 0;
};
ModalVisit modal;

void CALLBACK VisitModal(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", modal.title);
    if (dialog || ++modal.ticks > 50) {
        KillTimer(nullptr, timer);
    }
    if (dialog) {
        modal.seen = true;
        (*modal.visit)(dialog, modal.title);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

class LayoutTest : public testing::TestWithParam<Screen> {
  protected:
    void SetUp() override {
        if (!quorvel::testing::DisplayAvailable()) {
            GTEST_SKIP() << "no display: run under xvfb-run to test the window";
        }
        ASSERT_TRUE(tahomaLoaded) << "Wine's Tahoma is missing from " QUORVEL_WINE_FONTS_DIR;
        prompt_.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        std::string error;
        ASSERT_TRUE(registry_.ImportRegFile(
            std::string(QUORVEL_FIXTURES_DIR "/") + GetParam().fixture, &error))
            << error;
        system_.SetPlatformId(platform::kVerPlatformWin32Nt);
        form_.emplace(services_);
        form_->Form_Load();
        window_.emplace(*form_);
        ASSERT_TRUE(window_->Create(GetModuleHandleA(nullptr), SW_HIDE, GetParam().dpi));
        quorvel::testing::PumpMessages();
    }

    void TearDown() override {
        window_.reset();
        quorvel::testing::PumpMessages();
    }

    HWND Main() const { return window_->Handle(); }
    HWND Frame(int id) const { return GetDlgItem(Main(), id); }

    void ClickTab(int index) {
        HWND tabs = GetDlgItem(Main(), IDC_TBSMAIN);
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
        NMHDR hdr{tabs, IDC_TBSMAIN, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(Main(), WM_NOTIFY, IDC_TBSMAIN, reinterpret_cast<LPARAM>(&hdr));
        quorvel::testing::PumpMessages();
    }

    // The main window, every page it can show as it is on view, the about box and the monitor
    // limits dialog.
    void VisitAll(const Visit& visit) {
        visit(Main(), "main window");
        const char* names[] = {"Introduction", "System information", "settings page"};
        const int frames[] = {IDC_FMEINTRO, IDC_FMESYSINFO, IDC_FMESETTINGS, IDC_FMESETTINGS40};
        const int tabs =
            static_cast<int>(SendMessageA(GetDlgItem(Main(), IDC_TBSMAIN), TCM_GETITEMCOUNT, 0, 0));
        for (int tab = 1; tab <= tabs; ++tab) {
            ClickTab(tab);
            for (int frame : frames) {
                if (StyleOf(Frame(frame)) & WS_VISIBLE) {
                    visit(Frame(frame), names[tab - 1]);
                }
            }
        }
        // Without a version the user chooses the generation: both settings pages come into play.
        HWND choice28 = GetDlgItem(Frame(IDC_FMESYSINFO), IDC_OBTVERERROR28);
        if (choice28 && (StyleOf(choice28) & WS_VISIBLE)) {
            for (int id : {IDC_OBTVERERROR28, IDC_OBTVERERROR40}) {
                ClickTab(2);
                prompt_.Expect("Choice of Detoantor version", platform::kIdOk);
                SendMessageA(GetDlgItem(Frame(IDC_FMESYSINFO), id), BM_CLICK, 0, 0);
                ClickTab(3);
                const bool hex = id == IDC_OBTVERERROR40;
                visit(Frame(hex ? IDC_FMESETTINGS40 : IDC_FMESETTINGS),
                      hex ? "Settings 40 page" : "Settings page");
            }
        }
        const std::pair<const char*, int> dialogs[] = {{"About...", IDM_ABOUT},
                                                       {"Monitor limits", IDM_MONITORLIMITS}};
        for (const auto& [title, command] : dialogs) {
            modal = ModalVisit{title, &visit};
            SetTimer(nullptr, 0, 50, VisitModal);
            SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
            quorvel::testing::PumpMessages();
            EXPECT_TRUE(modal.seen) << title << " did not open";
        }
    }

    sim::SimRegistry registry_;
    sim::ScriptedPrompt prompt_;
    sim::SimSystemInfo system_;
    sim::SimShell shell_;
    sim::SimRestart restart_;
    sim::SimFiles files_;
    platform::Platform services_{registry_, prompt_, system_, shell_, restart_, files_};
    std::optional<frmMainframe> form_;
    std::optional<MainWindow> window_;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += "\n  " + line;
    }
    return all;
}

std::string NameOf(const testing::TestParamInfo<Screen>& info) {
    std::string name = info.param.fixture;
    name = name.substr(0, name.find('.'));
    for (char& c : name) {
        c = c == '-' ? '_' : c;
    }
    return name + "_" + std::to_string(info.param.dpi) + "dpi";
}

TEST_P(LayoutTest, EveryTextFitsItsControlAndNoControlsOverlap) {
    Defects defects(GetParam().dpi);
    VisitAll([&](HWND root, const std::string& name) { defects.Check(root, name); });
    EXPECT_TRUE(defects.Found().empty()) << Joined(defects.Found());
}

INSTANTIATE_TEST_SUITE_P(
    Screens, LayoutTest,
    testing::Values(Screen{"longest-texts.reg", 96}, Screen{"longest-texts.reg", 120},
                    Screen{"longest-texts.reg", 144}, Screen{"no-version.reg", 96},
                    Screen{"no-version.reg", 120}, Screen{"no-version.reg", 144}),
    NameOf);

// Colours do not depend on the DPI: one screen per fixture, the hexadecimal page with rates the
// monitor rules out, and both settings pages of the manual choice.
using HighContrastTest = LayoutTest;

TEST_P(HighContrastTest, NoTextIsDrawnInItsBackgroundColour) {
    Defects defects(GetParam().dpi);
    const HighContrast scheme;
    VisitAll([&](HWND root, const std::string& name) { CheckColours(root, name, defects); });
    EXPECT_TRUE(defects.Found().empty()) << Joined(defects.Found());
}

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
