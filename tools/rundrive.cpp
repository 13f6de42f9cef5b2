// rundrive: works the running program's window from a second process, as a user would, so that
// scripts/run can show every page and a whole installation without a Windows machine.
//
//   rundrive [--desktop NAME] [--patience SECONDS] STEP...   with the steps, done in order:
//     tab N                  click the N-th tab (1-based)
//     pick RESOLUTION RATE   choose a rate on the settings page in view ("1024x768 85")
//     drop RESOLUTION        open the drop-down list of that resolution, or close it when open
//     point RESOLUTION RATE  put the mouse pointer on that rate's control, so its tool tip shows
//     click CAPTION          press the visible button with that caption ("Apply")
//     menu CAPTION           choose the menu command with that caption ("&Exit")
//     wait TITLE             wait until a box with that title is open
//     answer TITLE BUTTON    wait for a box with that title and press yes, no, ok or cancel
//     answer-if TITLE BUTTON the same, when that box comes within two seconds
//     type TITLE N TEXT      wait for a box or dialog with that title and put TEXT in its N-th
//                            edit field (1-based), as typing would
//     close                  close the main window
//
// The main window and the boxes are waited for up to --patience seconds (15 by default; an
// emulated PC needs more). Steps on boxes alone work without a main window ("/restore").
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/win32/SettingsPageView.h"
#include "app/win32/resource.h"
#include "modes/Catalogue.h"
#include "text/Numbers.h"

namespace {

using quorvel::app::win32::kRateListIdBase;
using quorvel::app::win32::kRateOptionIdBase;

int patienceMs = 15000;

HWND MainWindow() {
    for (int waited = 0; waited <= patienceMs; waited += 100) {
        if (HWND hwnd = FindWindowA("QuorvelMainframe", nullptr)) {
            return hwnd;
        }
        Sleep(100);
    }
    return nullptr;
}

struct Search {
    int id;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    const bool match =
        s->caption ? std::strcmp(text, s->caption) == 0 : GetDlgCtrlID(hwnd) == s->id;
    if (match && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible descendant of `parent` with the control ID or the caption asked for.
HWND FindChild(HWND parent, int id, const char* caption) {
    Search search{id, caption, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box (dialog class) of this desktop with the given title, waited for up to `ms`.
HWND FindBox(const char* title, int ms) {
    for (int waited = 0; waited <= ms; waited += 100) {
        if (HWND box = FindWindowA("#32770", title)) {
            if (IsWindowVisible(box)) {
                return box;
            }
        }
        Sleep(100);
    }
    return nullptr;
}

BOOL CALLBACK CollectEdit(HWND hwnd, LPARAM param) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    }
    return TRUE;
}

// An edit control tells its dialog of text set from outside as it does of typing (EN_CHANGE).
bool TypeInto(HWND box, const std::string& field, const std::string& text) {
    std::vector<HWND> edits;
    EnumChildWindows(box, CollectEdit, reinterpret_cast<LPARAM>(&edits));
    const auto n = quorvel::text::ParseDecimal(field);
    return n && *n >= 1 && *n <= edits.size() && SetWindowTextA(edits[*n - 1], text.c_str());
}

bool PressBoxButton(HWND box, const std::string& button) {
    const int id = button == "yes"  ? IDYES
                   : button == "no" ? IDNO
                   : button == "ok" ? IDOK
                                    : IDCANCEL;
    HWND control = GetDlgItem(box, id);
    if (!control) {
        return false;
    }
    PostMessageA(control, BM_CLICK, 0, 0);
    // Gone before the next step looks for the next box.
    for (int i = 0; i < 50 && IsWindow(box); ++i) {
        Sleep(100);
    }
    return true;
}

// The menu command with `caption`, searched through the menu bar and its menus.
UINT FindMenuCommand(HMENU menu, const char* caption);

// Wine keeps a menu's items in the process that made it, so another process cannot read them
// (GetMenuItemCount gives -1): the program's own commands are known here by caption as well.
UINT ProgramCommand(HMENU menu, const char* caption) {
    if (UINT id = FindMenuCommand(menu, caption)) {
        return id;
    }
    static const struct {
        const char* caption;
        UINT id;
    } kCommands[] = {{"&Load installed rates", IDM_LOADINSTALLED},
                     {"&Monitor limits...", IDM_MONITORLIMITS},
                     {"&Preview changes...", IDM_PREVIEW},
                     {"&Exit", IDM_EXIT},
                     {"&About...", IDM_ABOUT}};
    for (const auto& command : kCommands) {
        if (std::strcmp(command.caption, caption) == 0) {
            return command.id;
        }
    }
    return 0;
}

UINT FindMenuCommand(HMENU menu, const char* caption) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        char text[256] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (UINT id = FindMenuCommand(sub, caption)) {
                return id;
            }
        } else if (std::strcmp(text, caption) == 0) {
            return GetMenuItemID(menu, i);
        }
    }
    return 0;
}

// The control that holds `rate` for `resolution` on the settings page in view: its drop-down
// list, or its option button. Nothing when the page has neither.
HWND RateControl(HWND main, const std::string& resolution, const std::string& rate) {
    for (std::size_t row = 0; row < quorvel::modes::kResolutionCount; ++row) {
        if (quorvel::modes::ResolutionText(quorvel::modes::kCatalogue[row]) != resolution) {
            continue;
        }
        if (HWND list = FindChild(main, kRateListIdBase + static_cast<int>(row), nullptr)) {
            return list;
        }
        for (std::size_t i = 0; i < quorvel::modes::kCompressedRateCount; ++i) {
            if (std::to_string(quorvel::modes::kCompressedRates[i]) == rate) {
                return FindChild(main, kRateOptionIdBase + static_cast<int>(row * 7 + i), nullptr);
            }
        }
    }
    return nullptr;
}

bool IsList(HWND control) {
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    return lstrcmpiA(cls, "ComboBox") == 0;
}

bool Pick(HWND main, const std::string& resolution, const std::string& rate) {
    HWND control = RateControl(main, resolution, rate);
    if (!control || !IsList(control)) {
        return control && SendMessageA(control, BM_CLICK, 0, 0) == 0;
    }
    const LRESULT index = SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(rate.c_str()));
    if (index == CB_ERR) {
        return false;
    }
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the list tells its parent when the user picks an item.
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return true;
}

bool Drop(HWND main, const std::string& resolution) {
    HWND list = RateControl(main, resolution, "");
    if (!list || !IsList(list)) {
        return false;
    }
    const bool dropped = SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0) != 0;
    SendMessageA(list, CB_SHOWDROPDOWN, dropped ? FALSE : TRUE, 0);
    return true;
}

bool Point(HWND main, const std::string& resolution, const std::string& rate) {
    HWND control = RateControl(main, resolution, rate);
    RECT rc;
    if (!control || !GetWindowRect(control, &rc)) {
        return false;
    }
    // Two moves: a tool tip shows once the pointer rests on its tool.
    SetCursorPos(rc.left + 2, rc.top + 2);
    Sleep(100);
    return SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2) != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string desktopName;
    while (args.size() >= 2 && (args[0] == "--desktop" || args[0] == "--patience")) {
        if (args[0] == "--desktop") {
            desktopName = args[1];
        } else {
            patienceMs = 1000 * static_cast<int>(quorvel::text::ParseDecimal(args[1]).value_or(15));
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (!desktopName.empty()) {
        // The program runs in Wine's desktop window, a desktop of its own: look there, once the
        // program has made it.
        HDESK desktop = nullptr;
        for (int waited = 0; !desktop && waited <= patienceMs; waited += 100) {
            if (!(desktop = OpenDesktopA(desktopName.c_str(), 0, FALSE, GENERIC_ALL))) {
                Sleep(100);
            }
        }
        if (!desktop || !SetThreadDesktop(desktop)) {
            std::fprintf(stderr, "rundrive: cannot use the desktop %s\n", desktopName.c_str());
            return 1;
        }
    }
    HWND main = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& step = args[i];
        const auto next = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : ""; };
        const bool onBoxes =
            step == "wait" || step == "answer" || step == "answer-if" || step == "type";
        if (!onBoxes && !main && !(main = MainWindow())) {
            std::fprintf(stderr, "rundrive: the program's window did not appear\n");
            return 1;
        }
        bool done = true;
        if (step == "tab") {
            HWND tabs = FindChild(main, IDC_TBSMAIN, nullptr);
            // Without TCS_BUTTONS this selects the tab and tells the parent, as a click does.
            const auto tab = quorvel::text::ParseDecimal(next());
            done = tabs && tab && *tab > 0 &&
                   *tab <= static_cast<std::uint32_t>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) &&
                   SendMessageA(tabs, TCM_SETCURFOCUS, *tab - 1, 0) == 0;
        } else if (step == "pick") {
            const std::string resolution = next();
            done = Pick(main, resolution, next());
        } else if (step == "drop") {
            done = Drop(main, next());
        } else if (step == "point") {
            const std::string resolution = next();
            done = Point(main, resolution, next());
        } else if (step == "click") {
            HWND button = FindChild(main, 0, next().c_str());
            done = button && PostMessageA(button, BM_CLICK, 0, 0);
        } else if (step == "menu") {
            const UINT id = ProgramCommand(GetMenu(main), next().c_str());
            done = id != 0 && PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        } else if (step == "wait") {
            done = FindBox(next().c_str(), patienceMs) != nullptr;
        } else if (step == "answer" || step == "answer-if") {
            const std::string title = next();
            const std::string button = next();
            HWND box = FindBox(title.c_str(), step == "answer" ? patienceMs : 2000);
            done = box ? PressBoxButton(box, button) : step == "answer-if";
        } else if (step == "type") {
            const std::string title = next();
            const std::string field = next();
            HWND box = FindBox(title.c_str(), patienceMs);
            done = box && TypeInto(box, field, next());
        } else if (step == "close") {
            done = PostMessageA(main, WM_CLOSE, 0, 0);
        } else {
            done = false;
        }
        if (!done) {
            std::fprintf(stderr, "rundrive: step %zu (%s) failed\n", i + 1, step.c_str());
            return 1;
        }
        Sleep(300);  // let the window repaint before the next step or a screenshot
    }
    return 0;
}
