// The program's last resort when it cannot go on (no memory left, a broken library
// precondition): one box, then the end of the process; and the guard that keeps C++ exceptions
// out of the system's code in builds that have them.
#pragma once

namespace quorvel::app::win32 {

inline constexpr const char* kFatalTitle = "Quorvel";
inline constexpr const char* kOutOfMemoryText =
    "There is not enough memory to go on. Quorvel will now close.";
inline constexpr const char* kInternalErrorText =
    "Quorvel has met an internal error and will now close.";
// The process's exit code after a fatal box (the C runtime's abort() uses the same).
inline constexpr unsigned kFatalExitCode = 3;

// Shows `text` in a task-modal stop box, then ends the process with kFatalExitCode. A second
// call while the box is up (the box's own message loop still runs the window's timers) ends the
// process at once.
[[noreturn]] void FatalError(const char* text);

// A std::new_handler: an allocation that cannot be satisfied ends the program with a box.
void OutOfMemory();

// Runs `body` and returns its result; where exceptions exist, one escaping `body` gives
// `onException` instead, since nothing may unwind through a window or dialog procedure. The
// release build has no exceptions: there the library's failures end in FatalError instead.
template <typename Result, typename Body>
Result CallGuarded(Body&& body, Result onException) {
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
    try {
        return body();
    } catch (...) {
        return onException;
    }
#else
    static_cast<void>(onException);
    return body();
#endif
}

}  // namespace quorvel::app::win32
