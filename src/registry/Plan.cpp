// Reading the present data of a plan's values.
#include "registry/Plan.h"

#include <utility>

namespace quorvel::registry {

ValueData StringData(const std::string& text) {
    ValueData value{platform::kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

ValueData DwordData(std::uint32_t number) {
    return {
        platform::kRegDword,
        {static_cast<std::uint8_t>(number & 0xFF), static_cast<std::uint8_t>((number >> 8) & 0xFF),
         static_cast<std::uint8_t>((number >> 16) & 0xFF),
         static_cast<std::uint8_t>(number >> 24)}};
}

std::optional<std::uint32_t> DwordOf(const ValueData& value) {
    if (value.type != platform::kRegDword || value.data.size() != 4) {
        return std::nullopt;
    }
    return value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
           (static_cast<std::uint32_t>(value.data[3]) << 24);
}

void ReadPresentData(std::vector<PlannedKey>& keys, mdlRegistry& registry) {
    for (PlannedKey& key : keys) {
        const bool there = registry.KeyExists(platform::kHkeyLocalMachine, key.keyPath);
        for (PlannedValue& value : key.values) {
            value.present.reset();
            value.unread = !there;
            if (!there) {
                continue;
            }
            ValueData data;
            switch (
                registry.ReadValue(platform::kHkeyLocalMachine, key.keyPath, value.name, &data)) {
                case ReadResult::Found:
                    value.present = std::move(data);
                    break;
                case ReadResult::Missing:
                    break;
                case ReadResult::Failed:
                    value.unread = true;
                    break;
            }
        }
    }
}

}  // namespace quorvel::registry
