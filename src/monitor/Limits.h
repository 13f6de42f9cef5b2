// The monitor's limits (from its EDID or typed in by the user), the modes they rule out, and
// the texts that say so: the System information line, the tool tips and the Apply box.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "monitor/Edid.h"
#include "platform/Prompt.h"

namespace quorvel::monitor {

inline constexpr const char* kSourceEdid = "EDID";
inline constexpr const char* kSourceTypedIn = "typed in";
inline constexpr const char* kNoLimitsKnown = "No limits known";
inline constexpr const char* kEdidUnreadable = "EDID unreadable";
inline constexpr const char* kLimitsPrefix = "max. ";
inline constexpr const char* kModeAt = " at ";
inline constexpr const char* kNeeds = " needs ";
inline constexpr const char* kMonitorAllows = "; this monitor allows ";
inline constexpr const char* kAnd = " and ";
inline constexpr const char* kUnitKHz = " kHz";
inline constexpr const char* kUnitHz = " Hz";
inline constexpr const char* kUnitMHz = " MHz";
// A list's tool tip: "Grey in the list, beyond this monitor's max. 70 kHz, 160 Hz (EDID):", then a
// line for each rate, "85 Hz needs 107.1 kHz".
inline constexpr const char* kRuledOutListHeading = "Grey in the list, beyond this monitor's ";

inline constexpr const char* kLimitsBoxTitle = "Monitor limits";
inline constexpr const char* kLimitsBoxHeadline =
    "WARNING: These modes are beyond the limits known for your monitor:";
inline constexpr const char* kLimitsBoxHeadlineOne =
    "WARNING: This mode is beyond the limits known for your monitor:";
inline constexpr const char* kLimitsBoxClosing =
    "A monitor cannot show a mode beyond its limits: the screen may stay black, and an old "
    "monitor may even be damaged. If the limits are wrong, correct them under \"Monitor "
    "limits...\" in the File menu. Proceed?";

// What the user may type in as limits; anything outside is refused.
inline constexpr int kMinTypedKHz = 15;
inline constexpr int kMaxTypedKHz = 250;
inline constexpr int kMinTypedHz = 50;
inline constexpr int kMaxTypedHz = 300;

enum class Source { None, Edid, TypedIn };

struct Limit {
    int value = 0;  // 0 while unknown
    Source source = Source::None;
};

struct MonitorLimits {
    std::vector<std::string> names;  // the monitors whose EDIDs were read
    Limit maxHorizontalKHz;
    Limit maxRefreshHz;
    Limit maxPixelClockMHz;
    bool edidUnreadable = false;  // the monitors could not all be read

    bool Known() const;
};

// Limits typed in by the user; each one may be left out.
struct TypedLimits {
    std::optional<int> maxHorizontalKHz;
    std::optional<int> maxRefreshHz;
};

// The tightest limits over every monitor; a typed limit replaces the EDIDs' one.
MonitorLimits CombineLimits(const std::vector<EdidInfo>& monitors, const TypedLimits& typed);

// Empty when the mode is within the limits, else what it needs and what the monitor allows:
// "1600x1200 at 85 Hz needs 107.1 kHz; this monitor allows 70 kHz".
std::string RuledOutText(int width, int height, int rateHz, const MonitorLimits& limits);

// The "Monitor:" line: the names, then the limits with their source, or "No limits known" (or
// "EDID unreadable" when reading the monitors failed).
std::string MonitorLineText(const MonitorLimits& limits);

struct ChosenMode {
    int width;
    int height;
    int rateHz;
};

// Shows the "Monitor limits" box when any chosen mode is beyond the limits; false when the
// user answered anything but Yes.
bool ConfirmWithinLimits(const std::vector<ChosenMode>& modes, const MonitorLimits& limits,
                         platform::IPrompt& prompt);

}  // namespace quorvel::monitor
