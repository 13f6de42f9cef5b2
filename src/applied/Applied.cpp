// The record of applied rates: read, written, compared with the installed tables and with the
// modes the display offers.
#include "applied/Applied.h"

#include "modes/Decoders.h"
#include "platform/Prompt.h"
#include "registry/Plan.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::applied {

using platform::kHkeyLocalMachine;
using text::Concat;

namespace {

constexpr const char* kGeneration40 = "40.41";
constexpr const char* kGeneration28 = "28.32";
constexpr const char* kNotFound = "not found";
constexpr const char* kUnknownDate = "an unknown date";
constexpr const char* kNotOfferedByPageOne = " is not offered by this driver's page";
constexpr const char* kNotOfferedByPageMany = " are not offered by this driver's page";
constexpr const char* kRestartHint = ": restart Windows, or check the monitor's limits";
constexpr const char* kApplyHint =
    ": the tables no longer hold them; they are selected on the settings page, and \"Apply\" "
    "sets them again";
constexpr const char* kRemoved = " are no longer in the driver's tables";
constexpr const char* kDamaged = "The record of the rates applied cannot be read whole: ";

// No monitor shows a rate this high; a larger number is not a rate the program wrote.
constexpr std::uint32_t kHighestRate = 1000;
// A version as detection reads it is a short text: "6.14.10.4523".
constexpr std::size_t kLongestVersion = 64;

bool Has(modes::Rows rows, std::size_t row) {
    return (rows >> row & 1) != 0;
}

std::size_t Count(modes::Rows rows) {
    std::size_t count = 0;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        count += Has(rows, row) ? 1 : 0;
    }
    return count;
}

bool IsDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9')) {
            return false;
        }
    }
    return true;
}

bool IsShortPrintable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return text.size() <= kLongestVersion;
}

void Damaged(Record& record, platform::CStr name) {
    record.damaged += Concat({record.damaged.empty() ? "" : ", ", name});
}

// The recorded rates of `rows`, the resolutions of one rate together as the driver's own table
// groups them, the first four only: "640x480, 800x600 at 85 Hz; 1600x1200 at 72 Hz and 3 more".
std::string List(const Record& record, modes::Rows rows) {
    constexpr std::size_t kMostListed = 4;
    std::array<bool, modes::kResolutionCount> named{};
    std::size_t listed = 0;
    std::string list;
    for (std::size_t first = 0; first < modes::kResolutionCount && listed < kMostListed; ++first) {
        if (!Has(rows, first) || named[first]) {
            continue;
        }
        std::string group;
        for (std::size_t row = first; row < modes::kResolutionCount && listed < kMostListed;
             ++row) {
            if (Has(rows, row) && !named[row] && record.rates[row] == record.rates[first]) {
                group += Concat(
                    {group.empty() ? "" : ", ", modes::ResolutionText(modes::kCatalogue[row])});
                named[row] = true;
                ++listed;
            }
        }
        list += Concat(
            {list.empty() ? "" : "; ", group, " at ", text::Decimal(record.rates[first]), " Hz"});
    }
    const std::size_t more = Count(rows) - listed;
    if (more != 0) {
        list += Concat({" and ", text::Decimal(more), " more"});
    }
    return list;
}

}  // namespace

std::optional<Record> ReadRecord(platform::IRegistry& api) {
    platform::QuietPrompt quiet;
    registry::mdlRegistry registry(api, quiet);
    // Without its generation there is no record: one silent probe when there is none.
    if (!registry.ValueExists(kHkeyLocalMachine, kAppliedKey, kGenerationValue)) {
        return std::nullopt;
    }
    const std::string generation =
        registry.GetStringValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue);
    if (generation != kGeneration40 && generation != kGeneration28) {
        return std::nullopt;
    }
    Record record;
    record.detonator40 = generation == kGeneration40;
    bool any = false;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const std::string name = modes::ResolutionText(modes::kCatalogue[row]);
        registry::ValueData value;
        const registry::ReadResult read =
            registry.ReadValue(kHkeyLocalMachine, kAppliedKey, name, &value);
        if (read == registry::ReadResult::Missing) {
            continue;
        }
        const std::optional<std::uint32_t> rate =
            read == registry::ReadResult::Found ? registry::DwordOf(value) : std::nullopt;
        if (rate && *rate > 0 && *rate < kHighestRate) {
            record.rates[row] = static_cast<int>(*rate);
            any = true;
        } else {
            Damaged(record, name);
        }
    }
    record.date = registry.GetStringValue(kHkeyLocalMachine, kAppliedKey, kDateValue);
    if (!IsDate(record.date)) {
        record.date.clear();
        Damaged(record, kDateValue);
    }
    record.driverVersion = registry.GetStringValue(kHkeyLocalMachine, kAppliedKey, kDriverValue);
    if (!IsShortPrintable(record.driverVersion)) {
        record.driverVersion.clear();
        Damaged(record, kDriverValue);
    }
    if (!any && record.damaged.empty()) {
        return std::nullopt;
    }
    return record;
}

void WriteRecord(platform::IRegistry& api, const Record& record) {
    platform::QuietPrompt quiet;
    registry::mdlRegistry registry(api, quiet);
    // Without its generation the rest is no record: it goes first, and comes back last only when
    // every other value was written.
    bool whole = registry.DeleteValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue);
    registry.CreateKey(kHkeyLocalMachine, kAppliedKey);
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const std::string name = modes::ResolutionText(modes::kCatalogue[row]);
        const int rate = record.rates[row];
        const bool written =
            rate != 0 ? registry.SetDwordValue(kHkeyLocalMachine, kAppliedKey, name, rate)
                      : registry.DeleteValue(kHkeyLocalMachine, kAppliedKey, name);
        if (!written) {
            whole = false;
        }
    }
    if (!registry.SetStringValue(kHkeyLocalMachine, kAppliedKey, kDateValue, record.date) ||
        !registry.SetStringValue(kHkeyLocalMachine, kAppliedKey, kDriverValue,
                                 record.driverVersion)) {
        whole = false;
    }
    if (whole) {
        registry.SetStringValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue,
                                record.detonator40 ? kGeneration40 : kGeneration28);
    }
}

registry::PlannedKey RecordKey(platform::IRegistry& api) {
    platform::QuietPrompt quiet;
    registry::mdlRegistry registry(api, quiet);
    registry::PlannedKey key = RecordKey();
    if (!registry.ValueExists(kHkeyLocalMachine, kAppliedKey, kGenerationValue)) {
        key.values.resize(1);
    }
    return key;
}

registry::PlannedKey RecordKey() {
    registry::PlannedKey key{kAppliedKey, {}};
    for (const char* name : {kGenerationValue, kDateValue, kDriverValue}) {
        key.values.push_back({name, std::nullopt, std::nullopt});
    }
    for (const modes::Resolution& resolution : modes::kCatalogue) {
        key.values.push_back({modes::ResolutionText(resolution), std::nullopt, std::nullopt});
    }
    return key;
}

std::string DamagedText(const Record& record) {
    return record.damaged.empty() ? std::string() : kDamaged + record.damaged;
}

bool IsInstalled(const Record& record, const readback::InstalledTables& tables, bool detonator40) {
    if (tables.valueCount == 0 || tables.valueCount != tables.slotCount) {
        return false;
    }
    for (const readback::InstalledTables::Text& t : tables.texts) {
        const modes::DecodedTable decoded = modes::DecodeModes(t.text);
        if (decoded.format !=
                (detonator40 ? modes::TableFormat::Hexadecimal : modes::TableFormat::Compressed) ||
            decoded.rates != record.rates) {
            return false;
        }
    }
    return true;
}

std::string NotInstalledText(const Record& record, const std::optional<std::string>& driverNow,
                             modes::Rows notOffered) {
    const char* date = record.date.empty() ? kUnknownDate : record.date.c_str();
    // Under the same driver nothing but a removal explains it.
    std::string line =
        !record.driverVersion.empty() && driverNow == record.driverVersion
            ? Concat({"Your rates of ", date, kRemoved})
            : Concat({"Your rates of ", date, " are not installed (driver then ",
                      record.driverVersion.empty() ? kNotFound : record.driverVersion, ", now ",
                      driverNow.value_or(kNotFound), ")"});
    if (notOffered != 0) {
        line += Concat(
            {text::kCrLf, List(record, notOffered),
             text::OneOrMany(Count(notOffered), kNotOfferedByPageOne, kNotOfferedByPageMany)});
    }
    return line;
}

std::string ScreenText(const platform::DisplayMode& mode) {
    std::string text = Concat({text::Decimal(mode.width), "x", text::Decimal(mode.height), ", ",
                               text::Decimal(mode.bitsPerPel), " bit"});
    if (mode.frequency > 1) {
        text += Concat({", ", text::Decimal(mode.frequency), " Hz"});
    }
    return text;
}

InEffect RatesInEffect(const Record& record, platform::ISystemInfo& system, bool installed) {
    modes::Rows recorded = 0;
    modes::Rows offered = 0;
    platform::DisplayMode mode;
    // A driver offers a few hundred modes; the bound only guards against one that never ends.
    for (std::uint32_t n = 0; n < 4096 && system.EnumDisplaySettingsA(n, &mode); ++n) {
        for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
            if (mode.width == static_cast<std::uint32_t>(modes::kCatalogue[row].width) &&
                mode.height == static_cast<std::uint32_t>(modes::kCatalogue[row].height) &&
                mode.frequency == static_cast<std::uint32_t>(record.rates[row])) {
                offered |= modes::Rows{1} << row;
            }
        }
    }
    std::uint32_t count = 0;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        recorded |= modes::Rows{record.rates[row] != 0} << row;
        count += record.rates[row] != 0;
    }
    const modes::Rows missing = recorded & ~offered;
    const std::string all = text::Decimal(count);
    if (missing == 0) {
        return {Concat({all, " of ", all, " offered"}), true};
    }
    // Right after a driver update, before the restart, none is: the list would only be long.
    const char* hint = installed ? kRestartHint : kApplyHint;
    return {missing == recorded && count > 1
                ? Concat({"None of ", all, " offered", hint})
                : Concat({List(record, missing), " not offered", hint}),
            false};
}

}  // namespace quorvel::applied
