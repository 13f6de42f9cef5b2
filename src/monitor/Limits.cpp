// Combining the monitors' limits, checking modes against them, and the texts.
#include "monitor/Limits.h"

#include <algorithm>
#include <cstdint>

#include "monitor/Gtf.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Text.h"
#include "text/Numbers.h"

namespace quorvel::monitor {

namespace {

using text::Concat;
using text::kCrLf;
constexpr const char* kListSeparator = ", ";

void Tighten(Limit& limit, int value) {
    if (value > 0 && (limit.value == 0 || value < limit.value)) {
        limit = {value, Source::Edid};
    }
}

const char* SourceText(Source source) {
    return source == Source::TypedIn ? kSourceTypedIn : kSourceEdid;
}

// A need in tenths, the precision it is shown in, so that what is shown and what is checked
// agree. Needs are positive; rounded by hand, as the C library's llround() is built for later
// processors than the Pentium.
std::int32_t Tenths(double value) {
    constexpr double kLargest = 2e9;  // far beyond any mode, within 32 bits
    const double tenths = value * 10 + 0.5;
    return static_cast<std::int32_t>(tenths < kLargest ? tenths : kLargest);
}

// Appends `part` to `text`, after `separator` unless `text` is empty.
void Append(std::string& text, const std::string& part, const char* separator) {
    text += Concat({text.empty() ? "" : separator, part});
}

}  // namespace

bool MonitorLimits::Known() const {
    return maxHorizontalKHz.value > 0 || maxRefreshHz.value > 0 || maxPixelClockMHz.value > 0;
}

MonitorLimits CombineLimits(const std::vector<EdidInfo>& monitors, const TypedLimits& typed) {
    MonitorLimits limits;
    for (const EdidInfo& m : monitors) {
        limits.names.push_back(m.name);
        if (m.limits) {
            Tighten(limits.maxHorizontalKHz, m.limits->maxHorizontalKHz);
            Tighten(limits.maxRefreshHz, m.limits->maxVerticalHz);
            Tighten(limits.maxPixelClockMHz, m.limits->maxPixelClockMHz);
        }
    }
    if (typed.maxHorizontalKHz) {
        limits.maxHorizontalKHz = {*typed.maxHorizontalKHz, Source::TypedIn};
    }
    if (typed.maxRefreshHz) {
        limits.maxRefreshHz = {*typed.maxRefreshHz, Source::TypedIn};
    }
    return limits;
}

std::string RuledOutText(int width, int height, int rateHz, const MonitorLimits& limits) {
    const ModeNeeds needs = GtfNeeds(width, height, rateHz);
    std::string needed;
    std::string allowed;
    const auto check = [&](const Limit& limit, std::int32_t tenths, const std::string& shown,
                           const char* unit) {
        if (limit.value > 0 && tenths > limit.value * 10) {
            Append(needed, Concat({shown, unit}), kAnd);
            Append(allowed, Concat({text::Decimal(limit.value), unit}), kAnd);
        }
    };
    const std::int32_t kHz = Tenths(needs.horizontalKHz);
    const std::int32_t mHz = Tenths(needs.pixelClockMHz);
    check(limits.maxHorizontalKHz, kHz, text::Tenths(kHz), kUnitKHz);
    check(limits.maxRefreshHz, rateHz * 10, text::Decimal(rateHz), kUnitHz);
    check(limits.maxPixelClockMHz, mHz, text::Tenths(mHz), kUnitMHz);
    if (needed.empty()) {
        return {};
    }
    return Concat({text::Decimal(width), "x", text::Decimal(height), kModeAt, text::Decimal(rateHz),
                   kUnitHz, kNeeds, needed, kMonitorAllows, allowed});
}

std::string MonitorLineText(const MonitorLimits& limits) {
    std::string text;
    for (std::size_t i = 0; i < limits.names.size(); ++i) {
        const std::string& name = limits.names[i];
        if (!name.empty() && std::find(limits.names.begin(), limits.names.begin() + i, name) ==
                                 limits.names.begin() + i) {
            Append(text, name, kListSeparator);
        }
    }
    if (!text.empty()) {
        text += kCrLf;
    }
    if (!limits.Known()) {
        return text + (limits.edidUnreadable ? kEdidUnreadable : kNoLimitsKnown);
    }
    // "max. 64 kHz, 85 Hz (typed in), 140 MHz (EDID)": each run of one source names it once.
    struct Shown {
        const Limit& limit;
        const char* unit;
    };
    const Shown shown[] = {{limits.maxHorizontalKHz, kUnitKHz},
                           {limits.maxRefreshHz, kUnitHz},
                           {limits.maxPixelClockMHz, kUnitMHz}};
    text += kLimitsPrefix;
    Source run = Source::None;
    for (const Shown& s : shown) {
        if (s.limit.value == 0) {
            continue;
        }
        if (run != Source::None && run != s.limit.source) {
            text += Concat({" (", SourceText(run), ")"});
        }
        text += Concat(
            {run == Source::None ? "" : kListSeparator, text::Decimal(s.limit.value), s.unit});
        run = s.limit.source;
    }
    return text + Concat({" (", SourceText(run), ")"});
}

bool ConfirmWithinLimits(const std::vector<ChosenMode>& modes, const MonitorLimits& limits,
                         platform::IPrompt& prompt) {
    std::string list;
    std::size_t count = 0;
    for (const ChosenMode& m : modes) {
        const std::string ruledOut = RuledOutText(m.width, m.height, m.rateHz, limits);
        if (!ruledOut.empty()) {
            list += Concat({ruledOut, kCrLf});
            ++count;
        }
    }
    if (list.empty()) {
        return true;
    }
    // A rate beyond the monitor's limits may harm it: Enter alone answers No.
    return prompt.Show(Concat({text::OneOrMany(count, kLimitsBoxHeadlineOne, kLimitsBoxHeadline),
                               kCrLf, kCrLf, list, kCrLf, kLimitsBoxClosing}),
                       kLimitsBoxTitle,
                       platform::kMbYesNo | platform::kMbIconHand | platform::kMbDefButton2) ==
           platform::kIdYes;
}

}  // namespace quorvel::monitor
