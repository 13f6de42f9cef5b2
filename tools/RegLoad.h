// Writes the keys and values of a simulated registry into the real one. Keys under the video
// root are created volatile: Wine rebuilds that key as volatile at every start and refuses
// stable children under it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/sim/SimRegistry.h"

namespace quorvel::tools {

// Returns the failures, one line each; empty when everything was written.
inline std::vector<std::string> CopyToRegistry(const platform::sim::SimRegistry& sim,
                                               platform::HKey root, const std::string& path = {}) {
    std::vector<std::string> failures;
    if (!path.empty()) {
        static const std::string kVideoRoot = "SYSTEM\\CURRENTCONTROLSET\\CONTROL\\VIDEO\\";
        std::string upper = path;
        CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
        const bool isVolatile = upper.compare(0, kVideoRoot.size(), kVideoRoot) == 0;
        HKEY key = nullptr;
        LONG status = RegCreateKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr,
                                      isVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE,
                                      KEY_SET_VALUE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) {
            failures.push_back("cannot create " + path + " (" + std::to_string(status) + ")");
            return failures;
        }
        for (const std::string& name : sim.ValueNames(root, path)) {
            const auto value = sim.GetValue(root, path, name);
            status = RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, value->type,
                                    value->data.empty() ? nullptr : value->data.data(),
                                    static_cast<DWORD>(value->data.size()));
            if (status != ERROR_SUCCESS) {
                failures.push_back("cannot set " + path + "\\" + name + " (" +
                                   std::to_string(status) + ")");
            }
        }
        RegCloseKey(key);
    }
    for (const std::string& sub : sim.SubKeyNames(root, path)) {
        auto more = CopyToRegistry(sim, root, path.empty() ? sub : path + "\\" + sub);
        failures.insert(failures.end(), more.begin(), more.end());
    }
    return failures;
}

}  // namespace quorvel::tools
