// A plan of registry changes: the keys and values about to be written, each with its new data
// and, once read, its present data. Apply shows, backs up and writes one; a restore too.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "registry/mdlRegistry.h"

namespace quorvel::registry {

struct PlannedValue {
    std::string name;
    std::optional<ValueData> next;     // the new data; none: the value is removed
    std::optional<ValueData> present;  // the present data; none: the value is not there
    bool unread = false;               // the present state could not be read
    bool failed = false;               // the new data could not be written

    bool Changes() const { return unread || next != present; }
};

struct PlannedKey {
    std::string keyPath;  // below HKEY_LOCAL_MACHINE
    std::vector<PlannedValue> values;
};

// Reads every value's present data. The values of a key whose probe fails, whatever the reason,
// stay unread: a key the plan writes is either read whole or named as not read.
void ReadPresentData(std::vector<PlannedKey>& keys, mdlRegistry& registry);

}  // namespace quorvel::registry
