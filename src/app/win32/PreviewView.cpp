// The preview dialog: the plan's text, read-only and scrollable in both directions, filling a
// dialog the user can resize, with "Save as .reg..." and "Close" (the default, and Esc) below it.
#include "app/win32/PreviewView.h"

#include "app/win32/Fatal.h"
#include "app/win32/resource.h"

namespace quorvel::app::win32 {

namespace {

// The client area as the dialog opens, and its parts, in twips.
constexpr int kClientWidth = 8400;
constexpr int kClientHeight = 6000;
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1500;
constexpr int kButtonHeight = 375;
// The text is set in a fixed-pitch face, so that the lines of data line up.
constexpr int kTextPointsTimes100 = 900;

struct PreviewWindow {
    frmPreview& form;
    const ViewContext& v;
    HWND owner;
    HWND text = nullptr;
    HWND save = nullptr;
    HWND close = nullptr;
    HFONT fixed = nullptr;
    POINT smallest{};  // the dialog's smallest size: the size it opens with, halved
};

HWND Make(const PreviewWindow& w, HWND dialog, const char* cls, const char* text, DWORD style,
          DWORD exStyle, int id, HFONT font) {
    // Placed by Layout once all are made.
    return CreateControl(w.v, {dialog, cls, text, style, exStyle, RECT{}, id, font});
}

// The text fills the dialog above the buttons, which keep their size in the lower right corner.
void Layout(const PreviewWindow& w, HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    const int margin = TwipsX(w.v, kMargin);
    const int buttonWidth = TwipsX(w.v, kButtonWidth);
    const int buttonHeight = TwipsY(w.v, kButtonHeight);
    const int buttonTop = client.bottom - margin - buttonHeight;
    const int closeLeft = client.right - margin - buttonWidth;
    constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(w.close, nullptr, closeLeft, buttonTop, buttonWidth, buttonHeight, kPlace);
    SetWindowPos(w.save, nullptr, closeLeft - margin - buttonWidth, buttonTop, buttonWidth,
                 buttonHeight, kPlace);
    SetWindowPos(w.text, nullptr, margin, margin, client.right - 2 * margin, buttonTop - 2 * margin,
                 kPlace);
}

void Build(PreviewWindow& w, HWND dialog) {
    const ViewContext& v = w.v;
    SetWindowTextA(dialog, kPreviewCaption);
    PlaceDialog(dialog, v, kClientWidth, kClientHeight, w.owner);
    RECT frame;
    GetWindowRect(dialog, &frame);
    w.smallest = {(frame.right - frame.left) / 2, (frame.bottom - frame.top) / 2};

    w.fixed = CreateFontA(-MulDiv(kTextPointsTimes100, v.dpiY, 7200), 0, 0, 0, FW_NORMAL, FALSE,
                          FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    w.text = Make(w, dialog, "EDIT", "",
                  ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                      WS_HSCROLL | WS_TABSTOP | WS_GROUP,
                  WS_EX_CLIENTEDGE, IDC_TXTPLAN, w.fixed ? w.fixed : v.font);
    SendMessageA(w.text, EM_LIMITTEXT, 0, 0);
    SetWindowTextA(w.text, w.form.txtPlan.c_str());
    w.save = Make(w, dialog, "BUTTON", kPreviewSave,
                  BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP | (w.form.cmdSaveEnabled ? 0 : WS_DISABLED),
                  0, IDC_CMDSAVEPLAN, v.font);
    w.close = Make(w, dialog, "BUTTON", kPreviewClose, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDCANCEL,
                   v.font);
    Layout(w, dialog);
}

INT_PTR HandleMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto& w = *reinterpret_cast<PreviewWindow*>(lParam);
        Build(w, dialog);
        // The focus in the text, to scroll it with the keys, without selecting all of it.
        SetFocus(w.text);
        SendMessageA(w.text, EM_SETSEL, 0, 0);
        return FALSE;
    }
    auto* w = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!w) {
        return FALSE;
    }
    switch (msg) {
        case WM_SIZE:
            Layout(*w, dialog);
            return TRUE;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = w->smallest;
            return TRUE;
        case WM_CTLCOLORSTATIC:
            // A read-only text keeps the window colour, as a document does.
            if (reinterpret_cast<HWND>(lParam) == w->text) {
                SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            return FALSE;
        case WM_DESTROY:
            if (w->fixed) {
                DeleteObject(w->fixed);
            }
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_CMDSAVEPLAN) {
                w->form.cmdSave_Click();
            } else if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallGuarded([&] { return HandleMessage(dialog, msg, wParam, lParam); },
                       static_cast<INT_PTR>(FALSE));
}

}  // namespace

void ShowPreview(HWND owner, frmPreview& form, const ViewContext& v) {
    PreviewWindow w{form, v, owner};
    RunModalDialog(
        owner, v,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME,
        PreviewProc, &w);
}

}  // namespace quorvel::app::win32
