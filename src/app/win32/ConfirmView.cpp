// The check after the restart: built in memory, counted down by a timer of one second. Neither
// button is the default: Enter presses only the button that has the focus, which starts on Undo,
// so that keys pressed blind undo rather than keep; Esc and the close box undo too.
#include "app/win32/ConfirmView.h"

#include "app/frmMainframe.h"
#include "app/win32/Fatal.h"
#include "app/win32/resource.h"

namespace quorvel::app::win32 {

namespace {

// Client area and controls, in twips.
constexpr int kClientWidth = 5400;
constexpr int kClientHeight = 2205;
constexpr int kMargin = 180;
constexpr int kLineHeight = 225;
constexpr int kLinePitch = 270;
constexpr int kButtonTop = 1140;
constexpr int kButtonWidth = 2400;
constexpr int kButtonHeight = 375;
constexpr int kCountdownTop = 1695;
constexpr UINT_PTR kTimerCountdown = 1;
constexpr UINT kSecond = 1000;

struct ConfirmWindow {
    frmConfirm& form;
    const ViewContext& v;
    HWND countdown = nullptr;
};

HWND Make(const ConfirmWindow& w, HWND dialog, const char* cls, const char* text, DWORD style,
          int leftTw, int topTw, int widthTw, int heightTw, int id, HFONT font) {
    return CreateControl(w.v, {dialog, cls, text, style, 0,
                               ToPixels(w.v, {leftTw, topTw, widthTw, heightTw}), id, font});
}

void Build(ConfirmWindow& w, HWND dialog) {
    const ViewContext& v = w.v;
    SetWindowTextA(dialog, kMainCaption);
    PlaceDialog(dialog, v, kClientWidth, kClientHeight, nullptr);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const int width = kClientWidth - 2 * kMargin;
    const DWORD label = SS_LEFT | SS_NOPREFIX;
    Make(w, dialog, "STATIC", kConfirmChanged, label, kMargin, kMargin, width, kLineHeight,
         IDC_CONFIRMCHANGED, v.font);
    Make(w, dialog, "STATIC", w.form.lblScreen.c_str(), label, kMargin, kMargin + kLinePitch, width,
         kLineHeight, IDC_CONFIRMSCREEN, v.font);
    Make(w, dialog, "STATIC", kConfirmQuestion, label, kMargin, kMargin + 2 * kLinePitch, width,
         kLineHeight, IDC_CONFIRMQUESTION, v.boldFont);
    Make(w, dialog, "BUTTON", kConfirmKeep, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kMargin,
         kButtonTop, kButtonWidth, kButtonHeight, IDC_CMDKEEP, v.font);
    HWND undo = Make(w, dialog, "BUTTON", kConfirmUndo, BS_PUSHBUTTON | WS_TABSTOP,
                     kClientWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight,
                     IDC_CMDUNDO, v.font);
    w.countdown = Make(w, dialog, "STATIC", w.form.lblCountdown.c_str(), label, kMargin,
                       kCountdownTop, width, kLineHeight, IDC_CONFIRMCOUNTDOWN, v.font);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(undo), TRUE);
    SetForegroundWindow(dialog);
    SetTimer(dialog, kTimerCountdown, kSecond, nullptr);
}

// Mirrors the count, and closes the window once the form has its answer.
void Follow(const ConfirmWindow& w, HWND dialog) {
    SetWindowTextA(w.countdown, w.form.lblCountdown.c_str());
    if (w.form.answer != frmConfirm::Answer::None) {
        KillTimer(dialog, kTimerCountdown);
        EndDialog(dialog, IDOK);
    }
}

INT_PTR HandleMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Build(*reinterpret_cast<ConfirmWindow*>(lParam), dialog);
        return FALSE;  // the focus is set
    }
    auto* w = reinterpret_cast<ConfirmWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!w) {
        return FALSE;
    }
    switch (msg) {
        case WM_TIMER:
            w->form.tmrCountdown_Timer();
            break;
        case WM_CLOSE:
            w->form.Form_Unload();
            break;
        case WM_COMMAND:
            // IDOK comes from Enter with no button focused: it presses nothing.
            if (LOWORD(wParam) == IDC_CMDKEEP) {
                w->form.cmdKeep_Click();
            } else if (LOWORD(wParam) == IDC_CMDUNDO) {
                w->form.cmdUndo_Click();
            } else if (LOWORD(wParam) == IDCANCEL) {
                w->form.Form_Unload();
            } else {
                return FALSE;
            }
            break;
        default:
            return FALSE;
    }
    Follow(*w, dialog);
    return TRUE;
}

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallGuarded([&] { return HandleMessage(dialog, msg, wParam, lParam); },
                       static_cast<INT_PTR>(FALSE));
}

}  // namespace

void ConfirmView::ShowConfirm(frmConfirm& form) {
    ViewContext v;
    v.instance = instance_;
    {
        const ScopedDC screen(nullptr);
        v.dpiX = dpi_ > 0 ? dpi_ : GetDeviceCaps(screen, LOGPIXELSX);
        v.dpiY = dpi_ > 0 ? dpi_ : GetDeviceCaps(screen, LOGPIXELSY);
    }
    CreateFonts(v);
    ConfirmWindow w{form, v};
    // Without a window there is nobody to answer: the count ends as if nobody had.
    if (RunModalDialog(nullptr, v, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, ConfirmProc,
                       &w) <= 0) {
        while (form.answer == frmConfirm::Answer::None) {
            form.tmrCountdown_Timer();
        }
    }
    DestroyFonts(v);
}

}  // namespace quorvel::app::win32
