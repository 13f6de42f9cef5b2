// The monitor limits dialog: built in memory, its fields forwarded to the form as they change;
// the dialog manager gives it Tab, the mnemonics, Enter for OK and Esc for Cancel.
#include "app/win32/MonitorLimitsView.h"

#include <string>

#include "app/win32/Fatal.h"
#include "app/win32/resource.h"

namespace quorvel::app::win32 {

namespace {

// Client area and controls, in twips.
constexpr int kClientWidth = 4800;
constexpr int kClientHeight = 2400;
constexpr int kMargin = 120;
constexpr int kIntroHeight = 675;
constexpr int kFieldLeft = 3480;
constexpr int kFieldWidth = 1200;
constexpr int kFieldHeight = 315;
constexpr int kLabelHeight = 225;
constexpr int kFirstFieldTop = 915;
constexpr int kFieldPitch = 420;
constexpr int kButtonTop = 1905;
constexpr int kButtonWidth = 1125;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 120;
constexpr int kFieldDigits = 6;

struct LimitsWindow {
    frmMonitorLimits& form;
    const ViewContext& v;
    HWND owner;
    HWND khz = nullptr;
    HWND hz = nullptr;
};

HWND Make(const LimitsWindow& w, HWND dialog, const char* cls, const std::string& text, DWORD style,
          DWORD exStyle, int leftTw, int topTw, int widthTw, int heightTw, int id) {
    return CreateControl(w.v, {dialog, cls, text.c_str(), style, exStyle,
                               ToPixels(w.v, {leftTw, topTw, widthTw, heightTw}), id, w.v.font});
}

void Build(LimitsWindow& w, HWND dialog) {
    const ViewContext& v = w.v;
    SetWindowTextA(dialog, kLimitsDialogCaption);
    PlaceDialog(dialog, v, kClientWidth, kClientHeight, w.owner);

    const int innerWidth = kClientWidth - 2 * kMargin;
    Make(w, dialog, "STATIC", kLimitsDialogIntro, SS_LEFT | SS_NOPREFIX, 0, kMargin, kMargin,
         innerWidth, kIntroHeight, IDC_LIMITSINTRO);
    // Each label comes right before its field, so that its mnemonic moves the focus there.
    struct Field {
        const char* label;
        int labelId;
        int fieldId;
        const std::string& text;
        HWND* hwnd;
    };
    const Field fields[] = {
        {kLimitsKHzLabel, IDC_CAPMAXHORIZONTALKHZ, IDC_TXTMAXHORIZONTALKHZ,
         w.form.txtMaxHorizontalKHz, &w.khz},
        {kLimitsHzLabel, IDC_CAPMAXREFRESHHZ, IDC_TXTMAXREFRESHHZ, w.form.txtMaxRefreshHz, &w.hz},
    };
    int top = kFirstFieldTop;
    for (const Field& f : fields) {
        Make(w, dialog, "STATIC", f.label, SS_LEFTNOWORDWRAP, 0, kMargin,
             top + (kFieldHeight - kLabelHeight) / 2, kFieldLeft - 2 * kMargin, kLabelHeight,
             f.labelId);
        *f.hwnd = Make(w, dialog, "EDIT", f.text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                       kFieldLeft, top, kFieldWidth, kFieldHeight, f.fieldId);
        SendMessageA(*f.hwnd, EM_LIMITTEXT, kFieldDigits, 0);
        top += kFieldPitch;
    }
    const int cancelLeft = kClientWidth - kMargin - kButtonWidth;
    Make(w, dialog, "BUTTON", kLimitsOk, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0,
         cancelLeft - kButtonGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight, IDOK);
    Make(w, dialog, "BUTTON", kLimitsCancel, BS_PUSHBUTTON | WS_TABSTOP, 0, cancelLeft, kButtonTop,
         kButtonWidth, kButtonHeight, IDCANCEL);
}

std::string TextOf(HWND control) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

// Closes the dialog once the form is closed; else the focus goes to the field the form names,
// with its text selected.
void Follow(const LimitsWindow& w, HWND dialog) {
    if (w.form.closed) {
        EndDialog(dialog, w.form.accepted ? IDOK : IDCANCEL);
        return;
    }
    HWND field = w.form.focus == frmMonitorLimits::Field::MaxRefreshHz ? w.hz : w.khz;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
}

INT_PTR HandleMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto& w = *reinterpret_cast<LimitsWindow*>(lParam);
        Build(w, dialog);
        Follow(w, dialog);
        return FALSE;  // the focus is set
    }
    auto* w = reinterpret_cast<LimitsWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!w) {
        return FALSE;
    }
    if (msg == WM_CLOSE) {
        w->form.cmdCancel_Click();
        Follow(*w, dialog);
        return TRUE;
    }
    if (msg != WM_COMMAND) {
        return FALSE;
    }
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (id == IDOK || id == IDCANCEL) {
        (id == IDOK ? w->form.cmdOK_Click() : w->form.cmdCancel_Click());
        Follow(*w, dialog);
    } else if (code == EN_CHANGE && control == w->khz) {
        w->form.txtMaxHorizontalKHz = TextOf(control);
    } else if (code == EN_CHANGE && control == w->hz) {
        w->form.txtMaxRefreshHz = TextOf(control);
    } else if (code == EN_SETFOCUS && (control == w->khz || control == w->hz)) {
        w->form.focus = control == w->hz ? frmMonitorLimits::Field::MaxRefreshHz
                                         : frmMonitorLimits::Field::MaxHorizontalKHz;
    } else {
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK LimitsProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallGuarded([&] { return HandleMessage(dialog, msg, wParam, lParam); },
                       static_cast<INT_PTR>(FALSE));
}

}  // namespace

void ShowMonitorLimits(HWND owner, frmMonitorLimits& form, const ViewContext& v) {
    LimitsWindow w{form, v, owner};
    RunModalDialog(owner, v, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, LimitsProc, &w);
}

}  // namespace quorvel::app::win32
