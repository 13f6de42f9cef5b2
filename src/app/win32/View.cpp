// The borderless container panel that holds the pages and their control groups, and the
// program's fonts.
#include "app/win32/View.h"

namespace quorvel::app::win32 {

namespace {

// ---- Fonts ------------------------------------------------------------------------------------

constexpr const char* kDesignFace = "Tahoma";
constexpr const char* kBoldFallbackFace = "Arial";
// Wine's Tahoma has bold pictures only at the sizes of its bitmap strikes; at others its bold
// face draws the regular outlines with wider spacing. So a face counts as having a bold weight
// where a sample set in bold blackens clearly more pixels than the same sample set regular.
constexpr char kSample[] = "Driver information: Refresh rate settings";
constexpr int kSampleWidth = 512;  // pixels; a multiple of 16, so rows need no padding
constexpr int kSampleHeight = 40;

HFONT FaceFont(const char* face, int dpiY, int pointsTimes100, bool bold, bool underline) {
    return CreateFontA(-MulDiv(pointsTimes100, dpiY, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                       FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

// The black pixels of the sample in `font`, drawn into the monochrome bitmap selected in `dc`.
int Ink(HDC dc, HBITMAP bitmap, HFONT font) {
    unsigned char bits[kSampleWidth / 8 * kSampleHeight];
    HGDIOBJ old = SelectObject(dc, font);
    RECT rc{0, 0, kSampleWidth, kSampleHeight};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, kSample, sizeof kSample - 1, nullptr);
    SelectObject(dc, old);
    int ink = 0;
    if (GetBitmapBits(bitmap, sizeof bits, bits) == sizeof bits) {
        for (unsigned char byte : bits) {
            for (; byte != 0xFF; byte = static_cast<unsigned char>(byte | (byte + 1))) {
                ++ink;  // one clear bit, a black pixel, per round
            }
        }
    }
    return ink;
}

// Whether `face` draws bold at every one of `sizes`; with `present`, also that the font mapper
// gave the face itself rather than a stand-in.
bool HasBold(HDC dc, HBITMAP bitmap, const char* face, int dpiY, std::initializer_list<int> sizes,
             bool present) {
    for (int size : sizes) {
        HFONT regular = FaceFont(face, dpiY, size, false, false);
        HFONT bold = FaceFont(face, dpiY, size, true, false);
        char got[LF_FACESIZE] = {};
        HGDIOBJ old = SelectObject(dc, regular);
        GetTextFaceA(dc, LF_FACESIZE, got);
        SelectObject(dc, old);
        const int light = Ink(dc, bitmap, regular);
        const int heavy = Ink(dc, bitmap, bold);
        DeleteObject(regular);
        DeleteObject(bold);
        if ((present && lstrcmpiA(got, face) != 0) || heavy * 8 <= light * 9) {
            return false;
        }
    }
    return true;
}

// ---- Panels -----------------------------------------------------------------------------------

constexpr const char* kPanelClass = "QuorvelPanel";

// The background colour lives in the panel's user data: an RGB value as it is, a system colour
// index with kSystemFlag set (an RGB value never reaches that bit).
constexpr LONG_PTR kSystemFlag = 0x40000000;

LONG_PTR EncodeColour(const Colour& c) {
    return c.kind == Colour::Kind::System ? (kSystemFlag | static_cast<LONG_PTR>(c.value))
                                          : static_cast<LONG_PTR>(c.value);
}

void FillBackground(HWND panel, HDC dc, const RECT& rc) {
    const LONG_PTR data = GetWindowLongPtrA(panel, GWLP_USERDATA);
    if (data & kSystemFlag) {
        FillRect(dc, &rc, GetSysColorBrush(static_cast<int>(data & ~kSystemFlag)));
        return;
    }
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(data));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

// A group box draws only its frame and caption, and the panel's WS_CLIPCHILDREN keeps the panel
// from painting under it: whatever was on the screen before would show through. Group boxes in
// a panel therefore fill their inside in the panel's colour, around their visible siblings.
constexpr const char* kGroupProcProperty = "QuorvelGroupBoxProc";
constexpr LONG_PTR kButtonTypeMask = 0x0F;

LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kGroupProcProperty));
    if (msg == WM_ERASEBKGND) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND panel = GetParent(hwnd);
        const int saved = SaveDC(dc);
        for (HWND s = GetWindow(panel, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
            if (s != hwnd && IsWindowVisible(s)) {
                RECT r;
                GetWindowRect(s, &r);
                MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
                ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            }
        }
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillBackground(panel, dc, rc);
        RestoreDC(dc, saved);
        return 1;
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kGroupProcProperty);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

void MakeGroupBoxOpaque(HWND child) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0 ||
        (GetWindowLongPtrA(child, GWL_STYLE) & kButtonTypeMask) != BS_GROUPBOX ||
        GetPropA(child, kGroupProcProperty)) {
        return;
    }
    SetPropA(child, kGroupProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(child, GWLP_WNDPROC)));
    SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc));
}

// GetAncestor(GA_ROOT) is missing on NT 4.0 before SP4.
HWND TopLevelOf(HWND window) {
    while (window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) {
        window = GetParent(window);
    }
    return window;
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillBackground(hwnd, reinterpret_cast<HDC>(wParam), rc);
            return 1;
        }
        case WM_PARENTNOTIFY:
            if (LOWORD(wParam) == WM_CREATE) {
                MakeGroupBoxOpaque(reinterpret_cast<HWND>(lParam));
            }
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            HWND top = TopLevelOf(hwnd);
            if (top && top != hwnd) {
                const LRESULT result = SendMessageA(top, msg, wParam, lParam);
                const bool isColour = msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
                if (!isColour || result != 0) {
                    return result;
                }
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

Face ChooseFace(int dpiY, std::initializer_list<int> boldPointsTimes100) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(kSampleWidth, kSampleHeight, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    const char* chosen = nullptr;
    if (HasBold(dc, bitmap, kDesignFace, dpiY, boldPointsTimes100, true)) {
        chosen = kDesignFace;
    } else if (HasBold(dc, bitmap, kBoldFallbackFace, dpiY, boldPointsTimes100, false)) {
        chosen = kBoldFallbackFace;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    Face face;
    if (chosen) {
        lstrcpynA(face.name, chosen, LF_FACESIZE);
    } else {
        LOGFONTA gui{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
        lstrcpynA(face.name, gui.lfFaceName, LF_FACESIZE);
    }
    return face;
}

HFONT MakeFont(const Face& face, int dpiY, int pointsTimes100, bool bold, bool underline) {
    return FaceFont(face.name, dpiY, pointsTimes100, bold, underline);
}

void CreateFonts(ViewContext& v) {
    if (v.font) {
        return;
    }
    v.face = ChooseFace(v.dpiY, {825});
    v.font = MakeFont(v.face, v.dpiY, 825, false, false);
    v.boldFont = MakeFont(v.face, v.dpiY, 825, true, false);
    v.boldUnderlineFont = MakeFont(v.face, v.dpiY, 825, true, true);
}

void DestroyFonts(ViewContext& v) {
    for (HFONT* f : {&v.font, &v.boldFont, &v.boldUnderlineFont}) {
        if (*f) {
            DeleteObject(*f);
            *f = nullptr;
        }
    }
}

bool RegisterClassOnce(const WNDCLASSEXA& wc) {
    WNDCLASSEXA known{};
    known.cbSize = sizeof known;
    return GetClassInfoExA(wc.hInstance, wc.lpszClassName, &known) || RegisterClassExA(&wc) != 0;
}

bool RegisterPanelClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClass;
    return RegisterClassOnce(wc);
}

HWND CreatePanel(HWND parent, const ViewContext& v, int leftTw, int topTw, int widthTw,
                 int heightTw, Colour background, int id, bool visible) {
    const int left = TwipsX(v, leftTw);
    const int top = TwipsY(v, topTw);
    // Edges rounded from twips, so that neighbouring panels meet without gaps.
    const int width = TwipsX(v, leftTw + widthTw) - left;
    const int height = TwipsY(v, topTw + heightTw) - top;
    HWND panel = CreateWindowExA(
        WS_EX_CONTROLPARENT, kPanelClass, "",
        WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, left, top, width,
        height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), v.instance, nullptr);
    if (panel) {
        SetWindowLongPtrA(panel, GWLP_USERDATA, EncodeColour(background));
    }
    return panel;
}

void PlaceDialog(HWND dialog, const ViewContext& v, int clientWidthTw, int clientHeightTw,
                 HWND owner) {
    RECT frame{0, 0, TwipsX(v, clientWidthTw), TwipsY(v, clientHeightTw)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT own;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (!owner || !GetWindowRect(owner, &own)) {
        own = work;
    }
    int left = (own.left + own.right - width) / 2;
    int top = (own.top + own.bottom - height) / 2;
    if (left + width > work.right) {
        left = work.right - width;
    }
    if (top + height > work.bottom) {
        top = work.bottom - height;
    }
    if (left < work.left) {
        left = work.left;
    }
    if (top < work.top) {
        top = work.top;
    }
    SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ToPixels(const ViewContext& v, const TwipsRect& r) {
    const int left = TwipsX(v, r.left);
    const int top = TwipsY(v, r.top);
    const int right = TwipsX(v, r.left + r.width);
    const int bottom = TwipsY(v, r.top + r.height);
    return {left, top, right > left ? right : left + 1, bottom > top ? bottom : top + 1};
}

HWND CreateControl(const ViewContext& v, const ControlArgs& a) {
    HWND control = CreateWindowExA(
        a.exStyle, a.cls, a.text, WS_CHILD | (a.hidden ? 0 : WS_VISIBLE) | a.style, a.rect.left,
        a.rect.top, a.rect.right - a.rect.left, a.rect.bottom - a.rect.top, a.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)), v.instance, nullptr);
    if (control && a.font) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(a.font), FALSE);
    }
    return control;
}

INT_PTR RunModalDialog(HWND owner, const ViewContext& v, DWORD style, DLGPROC proc, void* param) {
    // The title too is set at WM_INITDIALOG, so the template needs no Unicode text.
    struct alignas(4) Template {
        DLGTEMPLATE dialog;
        WORD menu;
        WORD windowClass;
        WORD title;
    };
    Template t{};
    t.dialog.style = style;
    return DialogBoxIndirectParamA(v.instance, &t.dialog, owner, proc,
                                   reinterpret_cast<LPARAM>(param));
}

bool IsOnScreen(HWND window) {
    return IsWindowVisible(window) && !IsIconic(TopLevelOf(window));
}

void SetPanelBackground(HWND panel, Colour background) {
    const LONG_PTR data = EncodeColour(background);
    if (GetWindowLongPtrA(panel, GWLP_USERDATA) != data) {
        SetWindowLongPtrA(panel, GWLP_USERDATA, data);
        // The children draw their backgrounds in the panel's colour too.
        RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

}  // namespace quorvel::app::win32
