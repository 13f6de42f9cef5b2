// The walk over the NVIDIA display keys under the video root.
#include "registry/DriverKeys.h"

#include <cstdint>

namespace quorvel::registry {

using platform::kHkeyLocalMachine;

namespace {
constexpr const char* kDisplaySubKey = "\\0000";
// Any non-empty name: it only gets the enumeration loop started.
constexpr const char* kSubKeyPlaceholder = "SUBKEY";
}  // namespace

bool IsJoinableName(const std::string& name) {
    return name.find('\0') == std::string::npos;
}

std::vector<std::string> DisplayKeys(mdlRegistry& registry) {
    std::vector<std::string> keys;
    if (!registry.KeyExists(kHkeyLocalMachine, kVideoRoot)) {
        return keys;
    }
    std::int32_t lngSubKeyIndex = 0;
    std::string strSubKey = kSubKeyPlaceholder;
    while (!strSubKey.empty()) {
        strSubKey = registry.EnumSubKey(kHkeyLocalMachine, kVideoRoot, lngSubKeyIndex);
        if (strSubKey.empty()) {
            break;
        }
        ++lngSubKeyIndex;
        if (!IsJoinableName(strSubKey)) {
            continue;
        }
        const std::string candidate = std::string(kVideoRoot) + "\\" + strSubKey + kDisplaySubKey;
        // GetStringValue stops at the first NUL, so a multi-string matches on its first string.
        if (registry.KeyExists(kHkeyLocalMachine, candidate) &&
            registry.ValueExists(kHkeyLocalMachine, candidate, kInstalledDisplayDrivers) &&
            registry.GetStringValue(kHkeyLocalMachine, candidate, kInstalledDisplayDrivers) ==
                kNvidiaDisplayDriver) {
            keys.push_back(candidate);
        }
    }
    return keys;
}

}  // namespace quorvel::registry
