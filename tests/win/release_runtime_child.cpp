// Built the release's way (no exceptions, no RTTI, its own start-up code) and run by
// release_runtime_test: each command line takes one way the release runtime can end.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool constructed = false;
int result = -1;

// Proves the start-up code runs static constructors and, through exit(), the destructors.
struct StaticObject {
    StaticObject() { constructed = true; }
    ~StaticObject() { ExitProcess(40 + static_cast<UINT>(result)); }
} staticObject;

void* volatile keep = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string line = commandLine;
    if (line == "allocate") {
        // Three quarters of the address space: more than any process can have, on 32 bits too.
        const volatile std::size_t more = static_cast<std::size_t>(-1) / 4 * 3;
        keep = new char[more];
    } else if (line == "grow") {
        std::string text;
        text.reserve(text.max_size() + 1);
    } else if (line == "at") {
        std::vector<int> values(2);
        keep = &values.at(values.size());
    }
    const bool arguments = line == "start one \"two three\"" && __argc == 4 &&
                           std::strcmp(__argv[3], "two three") == 0;
    result = constructed && arguments ? 0 : 1;
    return result;
}
