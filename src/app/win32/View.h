// Shared pieces of the Win32 view: twips conversion, fonts, the borderless container panel
// and the interface each page view implements.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "app/Controls.h"
#include "app/frmMainframe.h"

namespace quorvel::app::win32 {

// A window's face. Tahoma where it draws bold at every size the window sets in bold: a bold
// caption must stay bold, so otherwise Arial (or what the font mapper puts in its place), and
// the dialog font's face only where neither draws bold.
struct Face {
    char name[LF_FACESIZE] = {};
};
Face ChooseFace(int dpiY, std::initializer_list<int> boldPointsTimes100);
HFONT MakeFont(const Face& face, int dpiY, int pointsTimes100, bool bold, bool underline);

// Fonts and screen metrics shared by every control of the main window and its dialogs.
struct ViewContext {
    HINSTANCE instance = nullptr;
    int dpiX = 96;
    int dpiY = 96;
    Face face;                          // chosen for 8.25 pt bold
    HFONT font = nullptr;               // 8.25 pt
    HFONT boldFont = nullptr;           // 8.25 pt bold
    HFONT boldUnderlineFont = nullptr;  // 8.25 pt bold underlined
};

// The context's face and its three fonts, for the context's DPI.
void CreateFonts(ViewContext& v);
void DestroyFonts(ViewContext& v);

// Twips to pixels at the screen's real DPI (15 twips per pixel at 96 DPI).
inline int TwipsX(const ViewContext& v, int twips) {
    return MulDiv(twips, v.dpiX, 1440);
}
inline int TwipsY(const ViewContext& v, int twips) {
    return MulDiv(twips, v.dpiY, 1440);
}

inline COLORREF ToColorRef(const Colour& c) {
    return c.kind == Colour::Kind::Rgb ? static_cast<COLORREF>(c.value)
                                       : GetSysColor(static_cast<int>(c.value));
}

// A borderless child container (the program's frames without caption and its row groups),
// created visible or hidden.
// It paints its background in `background` and forwards WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*
// and WM_DRAWITEM to its top-level window, so one window procedure sees every control's events.
// Registered once by RegisterPanelClass; `background` is kept in the panel's user data.
bool RegisterPanelClass(HINSTANCE instance);
// Registers a window class unless this program has registered it already.
bool RegisterClassOnce(const WNDCLASSEXA& wc);
HWND CreatePanel(HWND parent, const ViewContext& v, int leftTw, int topTw, int widthTw,
                 int heightTw, Colour background, int id = 0, bool visible = true);
void SetPanelBackground(HWND panel, Colour background);

// Gives a dialog a client area of the size in twips and puts it in the middle of its owner (of
// the work area without one), kept inside the work area.
void PlaceDialog(HWND dialog, const ViewContext& v, int clientWidthTw, int clientHeightTw,
                 HWND owner);

// A window's DC (the screen's for none), with `font` selected while it lives; the font is put
// back and the DC released at the end of the scope.
class ScopedDC {
  public:
    explicit ScopedDC(HWND window, HFONT font = nullptr)
        : window_(window),
          dc_(GetDC(window)),
          old_(dc_ && font ? SelectObject(dc_, font) : nullptr) {}
    ScopedDC(const ScopedDC&) = delete;
    ScopedDC& operator=(const ScopedDC&) = delete;
    ~ScopedDC() {
        if (dc_) {
            if (old_) {
                SelectObject(dc_, old_);
            }
            ReleaseDC(window_, dc_);
        }
    }
    operator HDC() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_;
};

// A control's place in twips from its parent's client origin.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};
// In pixels; edges are converted rather than sizes, so that neighbours meet at any DPI, and a
// control is at least one pixel each way.
RECT ToPixels(const ViewContext& v, const TwipsRect& r);

// Every child control of the program is made here: WS_CHILD, WS_VISIBLE unless `hidden`, and
// `style`, at `rect` (pixels), with `font` when there is one.
struct ControlArgs {
    HWND parent = nullptr;
    const char* cls = "STATIC";
    const char* text = "";
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    int id = 0;
    HFONT font = nullptr;
    bool hidden = false;  // shown later, when the form's state says so
};
HWND CreateControl(const ViewContext& v, const ControlArgs& args);

// Runs a modal dialog from a template without controls: `proc` makes them at WM_INITDIALOG (in
// pixels from twips), where lParam is `param`, and sets the title. Returns EndDialog's result.
INT_PTR RunModalDialog(HWND owner, const ViewContext& v, DWORD style, DLGPROC proc, void* param);

// Whether `window` can be seen: it and all its parents are visible and its top-level window is
// not minimised.
bool IsOnScreen(HWND window);

// A page of the main window: creates its controls inside its page frame, forwards the user's
// events on them to the form, and mirrors the form's state.
class IPageView {
  public:
    virtual ~IPageView() = default;
    virtual void Create(HWND pageFrame, const ViewContext& v) = 0;
    // Returns true when the command came from one of this page's controls.
    virtual bool OnCommand(frmMainframe& form, int id, int code, HWND control) = 0;
    // Colours of this page's STATIC and BUTTON controls: returns a brush for the background
    // (and sets the DC's text colour), or nullptr when the control is not this page's.
    virtual HBRUSH OnCtlColor(const frmMainframe& form, HDC dc, HWND control) = 0;
    // Updates the controls whose state differs from the form's; nothing else is touched.
    virtual void Sync(const frmMainframe& form) = 0;
    // Draws an owner-drawn control of this page; false when the control is not this page's.
    virtual bool OnDrawItem(const frmMainframe&, const DRAWITEMSTRUCT&) { return false; }
    // The tool tip text of one of this page's controls; empty for none.
    virtual std::string ToolTip(const frmMainframe&, HWND) const { return {}; }
};

}  // namespace quorvel::app::win32
