// regload: writes a .reg fixture into the real registry (used to prepare Wine prefixes).
#include <cstdio>
#include <string>

#include "RegLoad.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: regload FILE.reg\n");
        return 2;
    }
    quorvel::platform::sim::SimRegistry sim;
    std::string error;
    if (!sim.ImportRegFile(argv[1], &error)) {
        std::fprintf(stderr, "regload: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    int failures = 0;
    for (auto root : {quorvel::platform::kHkeyLocalMachine, quorvel::platform::kHkeyCurrentUser}) {
        for (const std::string& failure : quorvel::tools::CopyToRegistry(sim, root)) {
            std::fprintf(stderr, "regload: %s\n", failure.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
