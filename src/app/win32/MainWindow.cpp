// The main window: window class, layout of the tab strip and the four page frames, message
// dispatch to the form, and the redraw of what the form changed.
#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include "app/win32/AboutBoxView.h"
#include "app/win32/Fatal.h"
#include "app/win32/MonitorLimitsView.h"
#include "app/win32/PreviewView.h"
#include "app/win32/PagesView.h"
#include "app/win32/SettingsPageView.h"
#include "app/win32/resource.h"

namespace quorvel::app::win32 {

namespace {

constexpr const char* kMainClass = "QuorvelMainframe";
constexpr const char* kMenuFile = "&File";
constexpr const char* kMenuLoadInstalled = "&Load installed rates";
constexpr const char* kMenuMonitorLimits = "&Monitor limits...";
constexpr const char* kMenuPreview = "&Preview changes...";
constexpr const char* kMenuRestore = "&Restore a backup...";
constexpr const char* kMenuConfirm = "&Confirm rates after restart";
constexpr const char* kMenuExit = "&Exit";
constexpr const char* kMenuAbout = "&About...";

// Client area and page frames, in twips.
constexpr int kClientWidthTw = 5895;
constexpr int kClientHeightTw = 6735;
constexpr int kFrameLeftTw = 120;
constexpr int kFrameTopTw = 360;
constexpr int kFrameWidthTw = 5655;
constexpr int kFrameHeightTw = 6255;

// One timer blinks both warnings: they share the 400 ms rhythm, and one tick wakes the program
// half as often as two. It rests while no warning can be seen and no page waits to be built.
constexpr UINT_PTR kTimerWarning = IDT_WARNING;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

bool IsWithin(HWND ancestor, HWND window) {
    return window && (window == ancestor || IsChild(ancestor, window));
}

}  // namespace

MainWindow::MainWindow(frmMainframe& form) : form_(form) {}

MainWindow::~MainWindow() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
    form_.dialogs = nullptr;
    DestroyFonts(ctx_);
}

bool MainWindow::Create(HINSTANCE instance, int showCommand, int dpi) {
    ctx_.instance = instance;
    if (!ctx_.font) {
        const ScopedDC screen(nullptr);
        ctx_.dpiX = dpi > 0 ? dpi : GetDeviceCaps(screen, LOGPIXELSX);
        ctx_.dpiY = dpi > 0 ? dpi : GetDeviceCaps(screen, LOGPIXELSY);
        CreateFonts(ctx_);
    }
    if (!RegisterPanelClass(instance)) {
        return false;
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUORVEL), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (!RegisterClassOnce(wc)) {
        return false;
    }
    HMENU menuBar = CreateMenu();
    HMENU fileMenu = CreatePopupMenu();
    AppendMenuA(fileMenu, MF_STRING, IDM_LOADINSTALLED, kMenuLoadInstalled);
    AppendMenuA(fileMenu, MF_STRING, IDM_PREVIEW, kMenuPreview);
    AppendMenuA(fileMenu, MF_STRING, IDM_MONITORLIMITS, kMenuMonitorLimits);
    AppendMenuA(fileMenu, MF_STRING, IDM_CONFIRM, kMenuConfirm);
    AppendMenuA(fileMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(fileMenu, MF_STRING, IDM_RESTORE, kMenuRestore);
    AppendMenuA(fileMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(fileMenu, MF_STRING, IDM_EXIT, kMenuExit);
    AppendMenuA(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), kMenuFile);
    AppendMenuA(menuBar, MF_STRING, IDM_ABOUT, kMenuAbout);

    RECT rc{0, 0, TwipsX(ctx_, kClientWidthTw), TwipsY(ctx_, kClientHeightTw)};
    const SIZE client{rc.right, rc.bottom};
    AdjustWindowRectEx(&rc, kStyle, TRUE, kExStyle);
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;

    if (!CreateWindowExA(kExStyle, kMainClass, kMainCaption, kStyle, left, top, width, height,
                         nullptr, menuBar, instance, this)) {
        DestroyMenu(menuBar);
        return false;
    }

    // A menu bar that wraps onto a second line makes the client area shorter than planned.
    RECT got{};
    GetClientRect(hwnd_, &got);
    if (got.right != client.cx || got.bottom != client.cy) {
        SetWindowPos(hwnd_, nullptr, 0, 0, width + client.cx - got.right,
                     height + client.cy - got.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    form_.dialogs = this;
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

void MainWindow::ShowAboutBox(frmAboutBox& box) {
    win32::ShowAboutBox(hwnd_, box, ctx_);
}

void MainWindow::ShowMonitorLimits(frmMonitorLimits& dialog) {
    win32::ShowMonitorLimits(hwnd_, dialog, ctx_);
}

void MainWindow::ShowPreview(frmPreview& preview) {
    win32::ShowPreview(hwnd_, preview, ctx_);
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
    if (!hwnd_ || !IsWithin(hwnd_, msg.hwnd)) {
        return false;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        SelectNextTab(GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // An exception escaping a handler drops the event.
    return CallGuarded([&] { return self->HandleMessage(msg, wParam, lParam); },
                       static_cast<LRESULT>(msg == WM_CREATE ? -1 : 0));
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (msg) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (auto& page : pages_) {
                if (page && page->OnDrawItem(form_, item)) {
                    return TRUE;
                }
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush =
                    OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_WINDOWPOSCHANGED:
            // A page's blinking warning is not drawn while the window is hidden or minimised;
            // it catches up when the window appears again.
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags &
                (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
                Sync();
            }
            break;
        case WM_SIZE:  // minimised or restored
            Sync();
            break;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_SETFOCUS:
            OnActivate(true);
            return 0;
        case WM_SYSCOLORCHANGE:
            SendMessageA(tabs_, msg, wParam, lParam);
            break;
        case WM_CLOSE:
            form_.Form_Unload();
            Sync();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            tabs_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool MainWindow::OnCreate() {
    // A window without minimize and maximize boxes keeps only Move and Close on its system menu.
    if (HMENU system = GetSystemMenu(hwnd_, FALSE)) {
        for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) {
            DeleteMenu(system, command, MF_BYCOMMAND);
        }
    }

    tabs_ = CreateWindowExA(
        0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_TOOLTIPS,
        0, 0, TwipsX(ctx_, kClientWidthTw), TwipsY(ctx_, kClientHeightTw), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TBSMAIN)), ctx_.instance, nullptr);
    if (!tabs_) {
        return false;
    }
    SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(ctx_.font), FALSE);

    pages_[kIntro] = MakeIntroPageView();
    pages_[kSysInfo] = MakeSysInfoPageView();
    pages_[kSettings] = MakeCompressedPageView();
    pages_[kSettings40] = MakeHexPageView();
    if (!BuildPage(kIntro)) {
        return false;
    }
    lastTick_ = GetTickCount();
    Sync();
    return true;
}

bool MainWindow::BuildPage(int frame) {
    static constexpr int kFrameIds[kFrameCount] = {IDC_FMEINTRO, IDC_FMESYSINFO, IDC_FMESETTINGS,
                                                   IDC_FMESETTINGS40};
    if (built_[frame]) {
        return true;
    }
    // Hidden until SyncFrames shows it on top of the tab strip, whose WS_CLIPSIBLINGS keeps it
    // from painting over the frame.
    frames_[frame] = CreatePanel(hwnd_, ctx_, kFrameLeftTw, kFrameTopTw, kFrameWidthTw,
                                 kFrameHeightTw, kFaceColour, kFrameIds[frame], false);
    if (!frames_[frame]) {
        return false;
    }
    pages_[frame]->Create(frames_[frame], ctx_);
    built_[frame] = true;
    return true;
}

int MainWindow::NextPageToBuild() const {
    if (!built_[kSysInfo]) {
        return kSysInfo;
    }
    // The settings page of the generation in use; the other one only if the manual choice
    // selects it.
    switch (form_.SettingsPageInUse()) {
        case frmMainframe::SettingsPage::Compressed:
            return built_[kSettings] ? -1 : kSettings;
        case frmMainframe::SettingsPage::Hexadecimal:
            return built_[kSettings40] ? -1 : kSettings40;
        case frmMainframe::SettingsPage::None:
            break;
    }
    return -1;
}

void MainWindow::BuildNextPage() {
    const int next = NextPageToBuild();
    if (next >= 0) {
        BuildPage(next);
    }
}

// A resting timer costs the idle program nothing; Wine wakes the program and its server for
// every tick. When it starts again, the form first gets the ticks it missed, so that a warning
// appears in the state it would have had.
void MainWindow::SyncBlinkTimer() {
    const bool warningInSight =
        (form_.fmeSettingsVisible || form_.fmeSettings40Visible) && IsOnScreen(hwnd_);
    const bool wanted = warningInSight || NextPageToBuild() >= 0;
    if (wanted == blinking_) {
        return;
    }
    blinking_ = wanted;
    if (!wanted) {
        KillTimer(hwnd_, kTimerWarning);
        return;
    }
    const DWORD missed = (GetTickCount() - lastTick_) / kWarningBlinkMs;
    if (missed % 2 != 0) {
        form_.tmrWarning_Timer();
        form_.tmrWarning40_Timer();
    }
    lastTick_ += missed * kWarningBlinkMs;
    SetTimer(hwnd_, kTimerWarning, kWarningBlinkMs, nullptr);
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (!control) {
        // Menu commands; the dialog manager's IDOK and IDCANCEL for Enter and Esc land here too.
        if (id == IDM_EXIT) {
            form_.mnuExit_Click();
        } else if (id == IDM_LOADINSTALLED) {
            form_.mnuLoadInstalled_Click();
        } else if (id == IDM_ABOUT) {
            form_.mnuAbout_Click();
        } else if (id == IDM_MONITORLIMITS) {
            form_.mnuMonitorLimits_Click();
        } else if (id == IDM_PREVIEW) {
            form_.mnuPreview_Click();
        } else if (id == IDM_RESTORE) {
            form_.mnuRestore_Click();
        } else if (id == IDM_CONFIRM) {
            form_.mnuConfirm_Click();
        } else {
            return;
        }
    } else {
        for (int i = 0; i < kFrameCount; ++i) {
            if (built_[i] && pages_[i]->OnCommand(form_, id, code, control)) {
                break;
            }
        }
    }
    Sync();
}

LRESULT MainWindow::OnNotify(const NMHDR& hdr) {
    if (hdr.hwndFrom == tabs_ && hdr.code == TCN_SELCHANGE) {
        form_.ClickTab(static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)) + 1);
        Sync();
        return 0;
    }
    if (hdr.code != TTN_GETDISPINFOA && hdr.code != TTN_GETDISPINFOW) {
        return 0;
    }
    if (hdr.hwndFrom == reinterpret_cast<HWND>(SendMessageA(tabs_, TCM_GETTOOLTIPS, 0, 0))) {
        const int index = static_cast<int>(hdr.idFrom) + 1;
        if (index >= 1 && index <= form_.tbsMain.Count()) {
            OnToolTipText(hdr, form_.tbsMain.Item(index).toolTip);
        }
        return 0;
    }
    // The pages' tools are identified by their window handles.
    const auto tool = reinterpret_cast<HWND>(hdr.idFrom);
    if (!IsWindow(tool) || !IsChild(hwnd_, tool)) {
        return 0;
    }
    for (auto& page : pages_) {
        const std::string text = page ? page->ToolTip(form_, tool) : std::string();
        if (!text.empty()) {
            OnToolTipText(hdr, text);
            break;
        }
    }
    return 0;
}

void MainWindow::OnToolTipText(const NMHDR& hdr, const std::string& text) {
    // The text must outlive this message: the tool tip reads it after the reply.
    tip_ = text;
    if (hdr.code == TTN_GETDISPINFOA) {
        auto& info = *reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(&hdr));
        info.hinst = nullptr;
        info.lpszText = &tip_[0];
        return;
    }
    // Tool tips may ask in Unicode even of an ANSI window.
    const int length = MultiByteToWideChar(CP_ACP, 0, tip_.c_str(), -1, nullptr, 0);
    wideTip_.assign(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, tip_.c_str(), -1, &wideTip_[0], length);
    auto& info = *reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&hdr));
    info.hinst = nullptr;
    info.lpszText = &wideTip_[0];
}

void MainWindow::OnTimer(UINT_PTR id) {
    if (id != kTimerWarning) {
        return;
    }
    lastTick_ = GetTickCount();
    form_.tmrWarning_Timer();
    form_.tmrWarning40_Timer();
    // Timer messages come only when no input or painting waits, so a page built here never
    // holds up the user.
    BuildNextPage();
    Sync();
}

HBRUSH MainWindow::OnCtlColor(HDC dc, HWND control) {
    for (int i = 0; i < kFrameCount; ++i) {
        if (HBRUSH brush = built_[i] ? pages_[i]->OnCtlColor(form_, dc, control) : nullptr) {
            return brush;
        }
    }
    return nullptr;
}

void MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    // A plain window does not give the focus back to its controls as a dialog does.
    if (lastFocus_ && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_)) {
        SetFocus(lastFocus_);
    } else if (tabs_) {
        SetFocus(tabs_);
    }
}

void MainWindow::OnDestroy() {
    KillTimer(hwnd_, kTimerWarning);
    form_.dialogs = nullptr;
    PostQuitMessage(0);
}

void MainWindow::SelectNextTab(bool forward) {
    const int count = form_.tbsMain.Count();
    if (count == 0) {
        return;
    }
    const int current = form_.tbsMain.selectedIndex;
    const int next = forward ? current % count + 1 : (current + count - 2) % count + 1;
    form_.ClickTab(next);
    Sync();
}

void MainWindow::Sync() {
    // Nothing to draw before OnCreate has made the frames (WM_SIZE comes during creation).
    if (!hwnd_ || !built_[kIntro]) {
        return;
    }
    if (form_.unloaded) {
        DestroyWindow(hwnd_);
        return;
    }
    SyncTabs();
    SyncFrames();
    // Menu items are drawn only when their menu opens: setting the state each time is free.
    EnableMenuItem(GetMenu(hwnd_), IDM_LOADINSTALLED,
                   MF_BYCOMMAND | (form_.mnuLoadInstalled.enabled ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(GetMenu(hwnd_), IDM_PREVIEW,
                   MF_BYCOMMAND | (form_.mnuPreview.enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(GetMenu(hwnd_), IDM_CONFIRM,
                  MF_BYCOMMAND | (form_.mnuConfirm.checked ? MF_CHECKED : MF_UNCHECKED));
    SyncBlinkTimer();
    for (int i = 0; i < kFrameCount; ++i) {
        if (built_[i]) {
            pages_[i]->Sync(form_);
        }
    }
}

void MainWindow::SyncTabs() {
    const std::vector<Tab>& wanted = form_.tbsMain.tabs;
    std::size_t same = 0;
    while (same < shownTabs_.size() && same < wanted.size() &&
           shownTabs_[same] == wanted[same].caption) {
        ++same;
    }
    if (same != shownTabs_.size() || same != wanted.size()) {
        for (std::size_t i = shownTabs_.size(); i > same; --i) {
            SendMessageA(tabs_, TCM_DELETEITEM, i - 1, 0);
        }
        shownTabs_.resize(same);
        for (std::size_t i = same; i < wanted.size(); ++i) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(wanted[i].caption.c_str());
            SendMessageA(tabs_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
            shownTabs_.push_back(wanted[i].caption);
        }
    }
    const int selected = form_.tbsMain.selectedIndex - 1;
    if (selected >= 0 && selected < static_cast<int>(wanted.size()) &&
        SendMessageA(tabs_, TCM_GETCURSEL, 0, 0) != selected) {
        SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

void MainWindow::SyncFrames() {
    const bool wanted[kFrameCount] = {form_.fmeIntroVisible, form_.fmeSysInfoVisible,
                                      form_.fmeSettingsVisible, form_.fmeSettings40Visible};
    const auto shown = [this](int i) {
        return (GetWindowLongPtrA(frames_[i], GWL_STYLE) & WS_VISIBLE) != 0;
    };
    // The new page goes on top of the old one before that is hidden, so nothing behind them is
    // exposed and repainted in between.
    for (int i = 0; i < kFrameCount; ++i) {
        if (wanted[i] && !shown(i)) {
            BuildPage(i);
            SetWindowPos(frames_[i], HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
    }
    for (int i = 0; i < kFrameCount; ++i) {
        if (!wanted[i] && shown(i)) {
            ShowWindow(frames_[i], SW_HIDE);
        }
    }
    KeepFocusVisible();
}

void MainWindow::KeepFocusVisible() {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus) && !IsWindowVisible(focus)) {
        SetFocus(tabs_);
    }
}

}  // namespace quorvel::app::win32
