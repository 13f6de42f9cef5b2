// regload: writes a .reg fixture into the real registry (used to prepare Wine prefixes). Keys
// under the video root are created volatile, since Wine rebuilds that key as volatile at every
// start and refuses stable children under it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/SimRegistry.h"

namespace {

using quorvel::platform::HKey;
using quorvel::platform::sim::SimRegistry;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text.c_str(),
                          static_cast<int>(prefix.size()), prefix.c_str(),
                          static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

int failures = 0;

void Copy(const SimRegistry& sim, HKey root, const std::string& path) {
    if (!path.empty()) {
        const bool isVolatile =
            StartsWithNoCase(path, "SYSTEM\\CurrentControlSet\\Control\\Video\\");
        HKEY key = nullptr;
        LONG status = RegCreateKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr,
                                      isVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE,
                                      KEY_SET_VALUE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) {
            std::fprintf(stderr, "regload: cannot create %s (%ld)\n", path.c_str(), status);
            ++failures;
            return;
        }
        for (const std::string& name : sim.ValueNames(root, path)) {
            const auto value = sim.GetValue(root, path, name);
            status = RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, value->type,
                                    value->data.empty() ? nullptr : value->data.data(),
                                    static_cast<DWORD>(value->data.size()));
            if (status != ERROR_SUCCESS) {
                std::fprintf(stderr, "regload: cannot set %s\\%s (%ld)\n", path.c_str(),
                             name.c_str(), status);
                ++failures;
            }
        }
        RegCloseKey(key);
    }
    for (const std::string& sub : sim.SubKeyNames(root, path)) {
        Copy(sim, root, path.empty() ? sub : path + "\\" + sub);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: regload FILE.reg\n");
        return 2;
    }
    SimRegistry sim;
    std::string error;
    if (!sim.ImportRegFile(argv[1], &error)) {
        std::fprintf(stderr, "regload: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const HKey roots[] = {quorvel::platform::kHkeyLocalMachine,
                          quorvel::platform::kHkeyCurrentUser};
    for (HKey root : roots) {
        Copy(sim, root, "");
    }
    return failures == 0 ? 0 : 1;
}
