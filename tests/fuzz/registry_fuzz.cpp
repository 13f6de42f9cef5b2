// libFuzzer target: random registry trees through start-up, detection and one installation, with
// the checks the seeded loop of the test suite makes. Built by scripts/fuzz where clang is.
#include <cstdio>
#include <cstdlib>

#include "host/Robustness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> broken = quorvel::robustness::CheckRandomTree(data, size);
    for (const std::string& what : broken) {
        std::fprintf(stderr, "broken: %s\n", what.c_str());
    }
    if (!broken.empty()) {
        std::abort();
    }
    return 0;
}
