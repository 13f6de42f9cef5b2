// Where Windows keeps what it knows of the monitors, and where the program keeps the limits the
// user typed in; both read and written through the registry operations.
#pragma once

#include <string>
#include <vector>

#include "monitor/Edid.h"
#include "monitor/Limits.h"
#include "registry/mdlRegistry.h"

namespace quorvel::monitor {

// One subkey per monitor model, one below it per instance Windows has seen; an instance in use
// has a (volatile) "Control" subkey, and its "Device Parameters" key holds the EDID.
inline constexpr const char* kDisplayEnumRoot = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY";
inline constexpr const char* kControlSubKey = "Control";
inline constexpr const char* kDeviceParametersSubKey = "Device Parameters";
inline constexpr const char* kEdidValue = "EDID";

// The typed-in limits, REG_DWORD values under the program's own key.
inline constexpr const char* kMaxHorizontalKHzValue = "MaxHorizontalKHz";
inline constexpr const char* kMaxRefreshHzValue = "MaxRefreshHz";

struct MonitorsRead {
    std::vector<EdidInfo> edids;
    bool unreadable = false;  // a key or value could not be read: there may be more
};

// The valid EDIDs of the monitors in use, or of every monitor listed when none is marked in use.
// A monitor without a name descriptor is named after its model key. Reading monitors is an extra
// and never shows a box: a registry failure counts as no information, and is said in
// `unreadable`. (The ACLs of the Enum keys are tight on real systems.)
MonitorsRead ReadMonitorEdids(platform::IRegistry& api);

// A stored value that is not a DWORD within the accepted range counts as not typed in.
TypedLimits ReadTypedLimits(registry::mdlRegistry& registry, const std::string& ownKey);
// Writes the typed-in limits; a limit left out is deleted.
void WriteTypedLimits(registry::mdlRegistry& registry, const std::string& ownKey,
                      const TypedLimits& typed);

}  // namespace quorvel::monitor
