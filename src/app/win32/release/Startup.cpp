// The release's entry point, in place of MinGW's start-up code: that code comes prebuilt for the
// Pentium Pro and runs a CMOV at every start, while it looks for the arguments on the command
// line. This one does what the program needs of it: the C runtime's argument variables, the
// static constructors, WinMain, and exit(), which runs the destructors queued with atexit.
// The constructors are run here too, rather than by libmingw32's prebuilt __main.
#include <windows.h>

#include <cstdlib>

extern "C" {
// msvcrt.dll, present in every version since Windows NT 3.1.
struct MsvcrtStartupInfo {
    int newMode;
};
int __cdecl __getmainargs(int* argc, char*** argv, char*** environment, int expandWildcards,
                          MsvcrtStartupInfo* info);
void __cdecl __set_app_type(int type);
// The linker's lists of static constructors and destructors: -1, the entries, then 0.
extern void (*__CTOR_LIST__[])();
extern void (*__DTOR_LIST__[])();
}

namespace {

constexpr int kGuiApp = 2;  // msvcrt's _GUI_APP: its run-time errors appear in a box

// What WinMain receives as its command line: the text after the program's name, which may be
// quoted and hold blanks. Bytes above 127 are ANSI characters, not blanks.
char* ArgumentsOf(char* commandLine) {
    auto* p = reinterpret_cast<unsigned char*>(commandLine);
    bool quoted = false;
    while (*p > ' ' || (*p != 0 && quoted)) {
        if (*p == '"') {
            quoted = !quoted;
        }
        ++p;
    }
    while (*p != 0 && *p <= ' ') {
        ++p;
    }
    return reinterpret_cast<char*>(p);
}

void __cdecl RunDestructors() {
    for (void (**destructor)() = __DTOR_LIST__ + 1; *destructor != nullptr; ++destructor) {
        (*destructor)();
    }
}

// The constructors run last entry first, as the linker lists them in reverse dependency order.
void RunConstructors() {
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) {
        ++count;
    }
    for (; count > 0; --count) {
        __CTOR_LIST__[count]();
    }
    atexit(RunDestructors);
}

}  // namespace

// MinGW's exe start-up code supplies atexit() (the import library does not); msvcrt's _onexit
// keeps the list that exit() runs.
extern "C" int __cdecl atexit(void(__cdecl* function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}

// The loader calls the entry point with whatever stack alignment it has; link-time optimisation
// must keep it, although nothing in the program calls it.
extern "C" [[gnu::used, gnu::force_align_arg_pointer]] void WinMainCRTStartup() {
    __set_app_type(kGuiApp);
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    MsvcrtStartupInfo info{0};
    __getmainargs(&argc, &argv, &environment, 0, &info);
    RunConstructors();

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), show));
}
