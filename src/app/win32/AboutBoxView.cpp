// The about box window: a modal dialog built in memory, its labels, lines and two links.
#include "app/win32/AboutBoxView.h"

#include <array>
#include <vector>

#include "app/win32/Fatal.h"

namespace quorvel::app::win32 {

namespace {

// IDC_HAND is declared only for WINVER 0x0500; Windows 95 and NT 4.0 do not have the cursor.
constexpr WORD kHandCursorId = 32649;
constexpr int kLinkId = 100;
constexpr int kMailId = 101;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRedText = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kLightBlue = RGB(128, 128, 255);
constexpr COLORREF kNavy = RGB(0, 0, 128);

// Client area and control positions in twips.
constexpr int kClientWidth = 4455;
constexpr int kClientHeight = 2895;

enum class FontKind { Title, Small, Heading, Text, TextBoldUnderline, Link };

struct FontDesc {
    int pointsTimes100;
    bool bold;
    bool underline;
};

constexpr std::array<FontDesc, 6> kFonts = {{
    {1425, false, false},  // Title
    {825, false, false},   // Small
    {1200, true, true},    // Heading
    {975, false, false},   // Text
    {975, true, true},     // TextBoldUnderline
    {975, false, true},    // Link
}};

struct LabelDesc {
    const char* text;
    int left, top, width, height;
    COLORREF colour;
    FontKind font;
    bool centred;
    int id;
};

// Four labels end 15 twips short of the design's geometry, where it lets them reach one pixel
// into the next label: an opaque label would paint over its neighbour's text.
const std::array<LabelDesc, 8> kLabels = {{
    {kAboutProduct, 720, 120, 3615, 360, kRedText, FontKind::Title, false, 0},
    {kAboutVersion, 720, 480, 3615, 255, kRedText, FontKind::Small, false, 0},
    {kAboutDeveloper, 120, 960, 4215, 360, kLightBlue, FontKind::Heading, true, 0},
    {kAboutProgrammer, 120, 1320, 4215, 255, kGreen, FontKind::Text, true, 0},
    {kAboutInternational, 120, 1800, 4215, 240, kLightBlue, FontKind::TextBoldUnderline, true, 0},
    {kAboutWebAddress, 1200, 2040, 2055, 255, kBlue, FontKind::Link, true, kLinkId},
    {kAboutProblems, 600, 2520, 1080, 255, kGreen, FontKind::Text, false, 0},
    {kAboutMailAddress, 1680, 2520, 2295, 255, kBlue, FontKind::Link, false, kMailId},
}};

// The three navy lines: left end, right end, height.
constexpr std::array<int, 3> kLineTops = {840, 1680, 2400};
constexpr int kLineLeft = 120;
constexpr int kLineRight = 4320;

struct AboutWindow {
    AboutWindow(frmAboutBox& b, const ViewContext& view, HWND o) : box(b), v(view), owner(o) {}
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;
    ~AboutWindow() {
        for (HFONT f : fonts) {
            if (f) {
                DeleteObject(f);
            }
        }
        if (navy) {
            DeleteObject(navy);
        }
    }

    frmAboutBox& box;
    const ViewContext& v;
    HWND owner;
    std::array<HFONT, kFonts.size()> fonts{};
    std::array<HWND, std::size(kLabels)> labels{};  // kLabels' controls, in their order
    std::vector<HWND> lines;
    HWND link = nullptr;
    HWND mail = nullptr;
    HBRUSH navy = nullptr;
    HCURSOR hand = nullptr;
};

int TextWidth(HWND control, HFONT font, const char* text) {
    const ScopedDC dc(control, font);
    SIZE size{};
    return dc && GetTextExtentPoint32A(dc, text, lstrlenA(text), &size) ? size.cx : 0;
}

// A link address wider than its label grows the label (around its centre, or to the right for
// left-aligned text) rather than being cut off; it stays inside the client area.
void FitToText(HWND control, const LabelDesc& desc, HFONT font, int clientWidth) {
    RECT rc;
    GetWindowRect(control, &rc);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
    const int needed = TextWidth(control, font, desc.text) + 2;
    if (needed <= rc.right - rc.left) {
        return;
    }
    int left = desc.centred ? (rc.left + rc.right - needed) / 2 : rc.left;
    if (left + needed > clientWidth) {
        left = clientWidth - needed;
    }
    if (left < 0) {
        left = 0;
    }
    SetWindowPos(control, nullptr, left, rc.top, needed, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MakeStatic(AboutWindow& w, HWND dialog, const char* text, DWORD style, int leftTw, int topTw,
                int widthTw, int heightTw, int id) {
    return CreateControl(w.v, {dialog, "STATIC", text, SS_NOPREFIX | style, 0,
                               ToPixels(w.v, {leftTw, topTw, widthTw, heightTw}), id, nullptr});
}

void Build(AboutWindow& w, HWND dialog) {
    const ViewContext& v = w.v;
    SetWindowTextA(dialog, kAboutCaption);

    PlaceDialog(dialog, v, kClientWidth, kClientHeight, w.owner);

    HICON icon = LoadIconA(v.instance, MAKEINTRESOURCEA(1));
    if (!icon) {
        icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    }
    HANDLE smallIcon =
        LoadImageA(v.instance, MAKEINTRESOURCEA(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(smallIcon ? smallIcon : icon));
    HWND image = MakeStatic(w, dialog, "", SS_ICON | SS_CENTERIMAGE, 120, 240, 480, 480, 0);
    SendMessageA(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);

    // The box's own face: its headings are bold at sizes the main window does not use.
    const Face face = ChooseFace(v.dpiY, {975, 1200});
    for (std::size_t i = 0; i < kFonts.size(); ++i) {
        w.fonts[i] =
            MakeFont(face, v.dpiY, kFonts[i].pointsTimes100, kFonts[i].bold, kFonts[i].underline);
    }
    const int clientWidth = TwipsX(v, kClientWidth);
    for (std::size_t i = 0; i < std::size(kLabels); ++i) {
        const LabelDesc& desc = kLabels[i];
        const bool isLink = desc.id != 0;
        const DWORD style = (desc.centred ? SS_CENTER : SS_LEFT) | (isLink ? SS_NOTIFY : 0);
        HWND label = MakeStatic(w, dialog, desc.text, style, desc.left, desc.top, desc.width,
                                desc.height, desc.id);
        HFONT font = w.fonts[static_cast<std::size_t>(desc.font)];
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        w.labels[i] = label;
        if (isLink) {
            FitToText(label, desc, font, clientWidth);
            (desc.id == kLinkId ? w.link : w.mail) = label;
        }
    }
    for (int top : kLineTops) {
        w.lines.push_back(
            MakeStatic(w, dialog, "", SS_LEFT, kLineLeft, top, kLineRight - kLineLeft, 15, 0));
    }
    w.navy = CreateSolidBrush(kNavy);
    w.hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(kHandCursorId));
    if (!w.hand) {
        w.hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    }
}

INT_PTR HandleMessage(AboutWindow& w, HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(lParam);
            HDC dc = reinterpret_cast<HDC>(wParam);
            for (HWND line : w.lines) {
                if (control == line) {
                    return reinterpret_cast<INT_PTR>(w.navy);
                }
            }
            COLORREF colour = kRedText;
            for (std::size_t i = 0; i < std::size(kLabels); ++i) {
                colour = w.labels[i] == control ? kLabels[i].colour : colour;
            }
            SetTextColor(dc, colour);
            SetBkColor(dc, kBlack);
            return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
        }
        case WM_SETCURSOR: {
            HWND under = reinterpret_cast<HWND>(wParam);
            if (under && (under == w.link || under == w.mail)) {
                SetCursor(w.hand);
                SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        }
        case WM_COMMAND: {
            HWND control = reinterpret_cast<HWND>(lParam);
            const int code = HIWORD(wParam);
            if (control && code == STN_CLICKED && control == w.link) {
                w.box.LbLink_Click();
            } else if (control && code == STN_CLICKED && control == w.mail) {
                w.box.LbMail_Click();
            } else if (!control && LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);  // Esc
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_CLOSE:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            w.box.hWnd = 0;
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto handle = [&]() -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            auto* w = reinterpret_cast<AboutWindow*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            w->box.hWnd = reinterpret_cast<platform::Handle>(dialog);
            Build(*w, dialog);
            return TRUE;
        }
        auto* w = reinterpret_cast<AboutWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
        return w ? HandleMessage(*w, dialog, msg, wParam, lParam) : FALSE;
    };
    return CallGuarded(handle, static_cast<INT_PTR>(FALSE));
}

}  // namespace

void ShowAboutBox(HWND owner, frmAboutBox& box, const ViewContext& v) {
    AboutWindow w(box, v, owner);
    RunModalDialog(owner, v, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, AboutProc, &w);
}

}  // namespace quorvel::app::win32
