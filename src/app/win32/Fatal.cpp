// The fatal box and the out-of-memory handler.
#include "app/win32/Fatal.h"

#include <windows.h>

namespace quorvel::app::win32 {

void FatalError(const char* text) {
    // The only state of its own: the process is ending and nothing else may show a box.
    static bool entered = false;
    if (!entered) {
        entered = true;
        MessageBoxA(nullptr, text, kFatalTitle, MB_OK | MB_ICONHAND | MB_TASKMODAL);
    }
    ExitProcess(kFatalExitCode);
}

void OutOfMemory() {
    FatalError(kOutOfMemoryText);
}

}  // namespace quorvel::app::win32
