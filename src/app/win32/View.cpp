// The borderless container panel that holds the pages and their control groups.
#include "app/win32/View.h"

namespace quorvel::app::win32 {

namespace {

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

bool RegisterPanelClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, kPanelClass, &wc)) {
        return true;
    }
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClass;
    return RegisterClassA(&wc) != 0;
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
