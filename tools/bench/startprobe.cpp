// startprobe: times program start-ups under Windows (or Wine) from a second process, so that the
// program and the bare window are measured the same way, and turns pages for the idle figures.
//
//   startprobe start RUNS PROGRAM...   launch each program RUNS times, alternating; print the
//                                      time from CreateProcess to "shown" and the medians
//   startprobe tab TITLE STEPS         select the tab STEPS to the right in TITLE's tab strip
//
// "Shown" means: the process has a visible top-level window, and no window of its tree has
// anything left to paint (GetUpdateRect on the window and every visible child). Showing a window
// invalidates it and its children in the same step that makes it visible, so the two cannot be
// seen apart. The probe polls every millisecond until both hold. Whether the process has gone
// idle is not asked: work a program does after it has painted (the main window builds pages
// ahead) does not delay what the user sees.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND hwnd, LPARAM param) {
    RECT rc;
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, &rc, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool Painted(HWND top) {
    RECT rc;
    if (GetUpdateRect(top, &rc, FALSE)) {
        return false;
    }
    bool unpainted = false;
    EnumChildWindows(top, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Launches `program`, waits until it is shown, closes it; the time to shown in ms, or -1.
double TimeStart(const std::string& program) {
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "startprobe: cannot start %s (%lu)\n", program.c_str(),
                     GetLastError());
        return -1;
    }
    double ms = -1;
    Search search{pi.dwProcessId, nullptr};
    for (int polls = 0; polls < 60000; ++polls) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "startprobe: %s ended before it was shown\n", program.c_str());
            break;
        }
        search.found = nullptr;
        EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found && Painted(search.found)) {
            LARGE_INTEGER shown;
            QueryPerformanceCounter(&shown);
            ms = Milliseconds(start, shown);
            break;
        }
        Sleep(1);
    }
    if (search.found) {
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Start(int runs, const std::vector<std::string>& programs) {
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < runs; ++run) {
        // Each run starts with another program, so that drift in the machine's load is shared.
        for (std::size_t k = 0; k < programs.size(); ++k) {
            const std::size_t p = (k + static_cast<std::size_t>(run)) % programs.size();
            const double ms = TimeStart(programs[p]);
            if (ms < 0) {
                return 1;
            }
            times[p].push_back(ms);
            std::printf("run %2d  %-16s %8.1f ms\n", run + 1, BaseName(programs[p]).c_str(), ms);
            std::fflush(stdout);
        }
    }
    const double reference = Median(times[0]);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const double median = Median(times[p]);
        std::printf("median  %-16s %8.1f ms   ratio %.2f\n", BaseName(programs[p]).c_str(), median,
                    reference > 0 ? median / reference : 0.0);
    }
    return 0;
}

int Tab(const char* title, int steps) {
    HWND top = nullptr;
    for (int i = 0; i < 300 && !top; ++i) {
        top = FindWindowA(nullptr, title);
        if (!top) {
            Sleep(100);
        }
    }
    HWND tabs = top ? FindWindowExA(top, nullptr, "SysTabControl32", nullptr) : nullptr;
    if (!tabs) {
        std::fprintf(stderr, "startprobe: no tab strip in a window \"%s\"\n", title);
        return 1;
    }
    // Arrow keys move a tab strip's selection and notify its parent, as a user's would.
    for (int i = 0; i < steps; ++i) {
        PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 1);
        PostMessageA(tabs, WM_KEYUP, VK_RIGHT, 0xC0000001);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "start" && argc >= 4) {
        return Start(std::atoi(argv[2]), std::vector<std::string>(argv + 3, argv + argc));
    }
    if (mode == "tab" && argc == 4) {
        return Tab(argv[2], std::atoi(argv[3]));
    }
    std::fprintf(stderr,
                 "usage: startprobe start RUNS PROGRAM...\n"
                 "       startprobe tab TITLE STEPS\n");
    return 2;
}
