// Reading the monitors' EDIDs from the device tree, and the typed-in limits.
#include "monitor/MonitorRegistry.h"

#include <cstdint>
#include <utility>

#include "registry/DriverKeys.h"
#include "registry/Plan.h"
#include "text/Concat.h"

namespace quorvel::monitor {

using platform::kHkeyLocalMachine;

namespace {

// Each subkey name of `path` that can be joined into a path; none when the key is missing.
std::vector<std::string> SubKeys(registry::mdlRegistry& registry, const std::string& path) {
    std::vector<std::string> names;
    if (registry.KeyExists(kHkeyLocalMachine, path)) {
        for (std::int32_t index = 0;; ++index) {
            const std::string name = registry.EnumSubKey(kHkeyLocalMachine, path, index);
            if (name.empty()) {
                break;
            }
            if (registry::IsJoinableName(name)) {
                names.push_back(name);
            }
        }
    }
    return names;
}

std::optional<int> ReadTyped(registry::mdlRegistry& registry, const std::string& ownKey,
                             const char* name, int min, int max) {
    registry::ValueData value;
    if (registry.ReadValue(kHkeyLocalMachine, ownKey, name, &value) !=
        registry::ReadResult::Found) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> number = registry::DwordOf(value);
    if (!number || *number < static_cast<std::uint32_t>(min) ||
        *number > static_cast<std::uint32_t>(max)) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

void WriteTyped(registry::mdlRegistry& registry, const std::string& ownKey, const char* name,
                const std::optional<int>& value) {
    if (value) {
        registry.SetDwordValue(kHkeyLocalMachine, ownKey, name, *value);
    } else {
        registry.DeleteValue(kHkeyLocalMachine, ownKey, name);
    }
}

}  // namespace

MonitorsRead ReadMonitorEdids(platform::IRegistry& api) {
    platform::QuietPrompt quiet;
    registry::mdlRegistry registry(api, quiet);
    std::vector<EdidInfo> inUse;
    std::vector<EdidInfo> listed;
    bool anyInUse = false;
    for (const std::string& model : SubKeys(registry, kDisplayEnumRoot)) {
        const std::string modelPath = text::Concat({kDisplayEnumRoot, "\\", model});
        for (const std::string& instance : SubKeys(registry, modelPath)) {
            const std::string path = text::Concat({modelPath, "\\", instance, "\\"});
            const bool used =
                registry.KeyExists(kHkeyLocalMachine, text::Concat({path, kControlSubKey}));
            anyInUse = anyInUse || used;
            registry::ValueData value;
            if (registry.ReadValue(kHkeyLocalMachine, text::Concat({path, kDeviceParametersSubKey}),
                                   kEdidValue, &value) != registry::ReadResult::Found) {
                continue;
            }
            std::optional<EdidInfo> edid = ParseEdid(value.data);
            if (!edid) {
                continue;
            }
            if (edid->name.empty()) {
                edid->name = model;
            }
            (used ? inUse : listed).push_back(std::move(*edid));
        }
    }
    return {std::move(anyInUse ? inUse : listed), !quiet.texts.empty()};
}

TypedLimits ReadTypedLimits(registry::mdlRegistry& registry, const std::string& ownKey) {
    TypedLimits typed;
    typed.maxHorizontalKHz =
        ReadTyped(registry, ownKey, kMaxHorizontalKHzValue, kMinTypedKHz, kMaxTypedKHz);
    typed.maxRefreshHz = ReadTyped(registry, ownKey, kMaxRefreshHzValue, kMinTypedHz, kMaxTypedHz);
    return typed;
}

void WriteTypedLimits(registry::mdlRegistry& registry, const std::string& ownKey,
                      const TypedLimits& typed) {
    WriteTyped(registry, ownKey, kMaxHorizontalKHzValue, typed.maxHorizontalKHz);
    WriteTyped(registry, ownKey, kMaxRefreshHzValue, typed.maxRefreshHz);
}

}  // namespace quorvel::monitor
