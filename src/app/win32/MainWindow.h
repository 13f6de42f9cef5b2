// The main window: the real Win32 window over frmMainframe. It draws the form's state and
// hands every user event to the form; it decides nothing itself.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/frmMainframe.h"
#include "app/win32/View.h"

namespace quorvel::app::win32 {

class MainWindow : public IModalDialogs {
  public:
    explicit MainWindow(frmMainframe& form);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Builds the window and its controls from the form's current state and shows it; false
    // when the window could not be created. `dpi` lays it out as on a screen of that many dots
    // per inch (the window tests' other screens); 0 takes the screen's own.
    bool Create(HINSTANCE instance, int showCommand, int dpi = 0);

    // Gives the window the first look at a message from the message loop: Ctrl+Tab and
    // Ctrl+Shift+Tab switch tabs, the dialog manager moves the focus (Tab, arrows, mnemonics).
    // Returns true when the message was consumed.
    bool PreTranslateMessage(MSG& msg);

    // The form's dialogs, modal over this window.
    void ShowAboutBox(frmAboutBox& box) override;
    void ShowMonitorLimits(frmMonitorLimits& dialog) override;
    void ShowPreview(frmPreview& preview) override;

    HWND Handle() const { return hwnd_; }
    const ViewContext& Context() const { return ctx_; }

  private:
    enum Frame { kIntro, kSysInfo, kSettings, kSettings40, kFrameCount };

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnCommand(int id, int code, HWND control);
    LRESULT OnNotify(const NMHDR& hdr);
    void OnToolTipText(const NMHDR& hdr, const std::string& text);
    void OnTimer(UINT_PTR id);
    HBRUSH OnCtlColor(HDC dc, HWND control);
    void OnActivate(bool active);
    void OnDestroy();

    void SelectNextTab(bool forward);
    // Pages are built when first needed: the Introduction page with the window, every other
    // page when it is first shown or, once the window is up, one per blink tick ahead of that.
    bool BuildPage(int frame);
    int NextPageToBuild() const;  // -1 when none waits
    void BuildNextPage();
    void SyncBlinkTimer();
    void Sync();
    void SyncTabs();
    void SyncFrames();
    void KeepFocusVisible();

    frmMainframe& form_;
    ViewContext ctx_;
    HWND hwnd_ = nullptr;
    HWND tabs_ = nullptr;
    HWND frames_[kFrameCount] = {};
    std::unique_ptr<IPageView> pages_[kFrameCount];
    bool built_[kFrameCount] = {};
    bool blinking_ = false;  // the blink timer is set
    DWORD lastTick_ = 0;     // GetTickCount() at the last blink the form was given
    std::vector<std::string> shownTabs_;
    HWND lastFocus_ = nullptr;
    std::string tip_;
    std::wstring wideTip_;
};

}  // namespace quorvel::app::win32
