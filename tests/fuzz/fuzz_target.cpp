// libFuzzer entry point around one check of the test suite (QUORVEL_FUZZ_CHECK, chosen per target
// by cmake/fuzz.cmake): whatever the check finds broken stops the run, and libFuzzer keeps the
// input. Built by scripts/fuzz where clang is.
#include <cstdio>
#include <cstdlib>

#include "host/ParserChecks.h"
#include "host/Robustness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> broken = quorvel::robustness::QUORVEL_FUZZ_CHECK(data, size);
    for (const std::string& what : broken) {
        std::fprintf(stderr, "broken: %s\n", what.c_str());
    }
    if (!broken.empty()) {
        std::abort();
    }
    return 0;
}
