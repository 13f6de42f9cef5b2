// Program entry: the one place where the real platform services, the form and the main window
// are put together; then the message loop.
#include <windows.h>

#include <commctrl.h>

#include <new>

#include "app/CommandLine.h"
#include "app/frmMainframe.h"
#include "app/win32/ConfirmView.h"
#include "app/win32/Fatal.h"
#include "app/win32/MainWindow.h"
#include "platform/win32/Win32Platform.h"

namespace {

// InitCommonControlsEx came with comctl32 4.70; NT 4.0 without Internet Explorer 4 has only
// InitCommonControls, so the newer function is looked up rather than imported.
void InitCommonControlsForTabs() {
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    FARPROC proc = comctl ? GetProcAddress(comctl, "InitCommonControlsEx") : nullptr;
    if (proc) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
        // Through void(*)() so that no function-type cast warning is raised.
        if (reinterpret_cast<InitEx>(reinterpret_cast<void (*)()>(proc))(&icc)) {
            return;
        }
    }
    InitCommonControls();
}

int Run(HINSTANCE instance, const char* arguments, int showCommand) {
    using namespace quorvel;
    platform::win32::Win32Registry registry;
    platform::win32::Win32Prompt prompt;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32Shell shell;
    platform::win32::Win32Restart restart;
    platform::win32::Win32Files files;
    platform::Platform services{registry, prompt, system, shell, restart, files};

    const app::CommandLine command = app::ParseCommandLine(arguments != nullptr ? arguments : "");
    if (command.action != app::CommandLine::Action::Window) {
        app::win32::ConfirmView confirm(instance);
        return app::RunCommandLine(command, services, &confirm);
    }
    InitCommonControlsForTabs();

    // Start-up runs before the window exists: its message boxes have no owner.
    app::frmMainframe form(services);
    form.Form_Load();
    if (form.unloaded) {
        return 0;
    }

    app::win32::MainWindow window(form);
    if (!window.Create(instance, showCommand)) {
        return 1;
    }
    prompt.SetOwner(window.Handle());
    files.SetOwner(window.Handle());

    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!window.PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    prompt.SetOwner(nullptr);
    files.SetOwner(nullptr);
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand) {
    // An allocation that cannot be satisfied ends the program with a box; the release's own
    // operator new goes there directly.
    std::set_new_handler(quorvel::app::win32::OutOfMemory);
    return quorvel::app::win32::CallGuarded([&] { return Run(instance, arguments, showCommand); },
                                            1);
}
