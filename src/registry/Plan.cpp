// Reading the present data of a plan's values.
#include "registry/Plan.h"

#include <utility>

namespace quorvel::registry {

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
