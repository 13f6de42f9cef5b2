// The record of applied rates: read, written, compared with the installed tables and with the
// modes the display offers.
#include "applied/Applied.h"

#include "detect/Detection.h"
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
constexpr const char* kNotOfferedByPageOne = " is not offered by this driver's page";
constexpr const char* kNotOfferedByPageMany = " are not offered by this driver's page";
constexpr const char* kRestartHint = ": restart Windows, or check the monitor's limits";

// The recorded rates of `rows`, the resolutions of one rate together as the driver's own table
// groups them, the first four only: "640x480, 800x600 at 85 Hz; 1600x1200 at 72 Hz and 3 more".
std::string List(const Record& record, modes::Rows rows) {
    constexpr int kMostListed = 4;
    std::string list;
    int listed = 0;
    for (std::size_t first = 0; first < modes::kResolutionCount && listed < kMostListed; ++first) {
        if ((rows >> first & 1) == 0) {
            continue;
        }
        const int rate = record.rates[first];
        const char* separator = list.empty() ? "" : "; ";
        for (std::size_t row = first; row < modes::kResolutionCount && listed < kMostListed;
             ++row) {
            if ((rows >> row & 1) != 0 && record.rates[row] == rate) {
                list += separator;
                list += modes::ResolutionText(modes::kCatalogue[row]);
                separator = ", ";
                rows &= ~(modes::Rows{1} << row);
                ++listed;
            }
        }
        list += " at " + text::Decimal(rate) + " Hz";
    }
    std::uint32_t more = 0;
    for (; rows != 0; rows &= rows - 1) {
        ++more;
    }
    if (more != 0) {
        list += " and " + text::Decimal(more) + " more";
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
    const std::string text =
        registry.GetStringValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue);
    Record record;
    record.detonator40 = text == kGeneration40;
    bool any = false;
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        registry::ValueData value;
        if (registry.ReadValue(kHkeyLocalMachine, kAppliedKey,
                               modes::ResolutionText(modes::kCatalogue[row]),
                               &value) == registry::ReadResult::Found) {
            const std::optional<std::uint32_t> rate = registry::DwordOf(value);
            record.rates[row] = rate && *rate < 1000 ? static_cast<int>(*rate) : 0;
            any |= record.rates[row] != 0;
        }
    }
    if (!any || (!record.detonator40 && text != kGeneration28)) {
        return std::nullopt;
    }
    record.date = registry.GetStringValue(kHkeyLocalMachine, kAppliedKey, kDateValue);
    record.driverVersion = registry.GetStringValue(kHkeyLocalMachine, kAppliedKey, kDriverValue);
    return record;
}

void WriteRecord(platform::IRegistry& api, const std::optional<Record>& record) {
    platform::QuietPrompt quiet;
    registry::mdlRegistry registry(api, quiet);
    // Without its generation the rest is no record: it goes first, and comes back last only when
    // every other value was written.
    bool whole = registry.DeleteValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue);
    if (record) {
        registry.CreateKey(kHkeyLocalMachine, kAppliedKey);
    }
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const std::string name = modes::ResolutionText(modes::kCatalogue[row]);
        whole &=
            record && record->rates[row] != 0
                ? registry.SetDwordValue(kHkeyLocalMachine, kAppliedKey, name, record->rates[row])
                : registry.DeleteValue(kHkeyLocalMachine, kAppliedKey, name);
    }
    whole &= record ? registry.SetStringValue(kHkeyLocalMachine, kAppliedKey, kDateValue,
                                              record->date) &&
                          registry.SetStringValue(kHkeyLocalMachine, kAppliedKey, kDriverValue,
                                                  record->driverVersion)
                    : registry.DeleteValue(kHkeyLocalMachine, kAppliedKey, kDateValue) &&
                          registry.DeleteValue(kHkeyLocalMachine, kAppliedKey, kDriverValue);
    if (record && whole) {
        registry.SetStringValue(kHkeyLocalMachine, kAppliedKey, kGenerationValue,
                                record->detonator40 ? kGeneration40 : kGeneration28);
    }
}

std::optional<Record> RecordOf(const std::string& table, const platform::SystemTime& now,
                               const std::optional<std::string>& driverVersion) {
    const modes::DecodedTable decoded = modes::DecodeModes(table);
    if ((decoded.format != modes::TableFormat::Compressed &&
         decoded.format != modes::TableFormat::Hexadecimal) ||
        decoded.rates == modes::Rates{}) {
        return std::nullopt;
    }
    return Record{decoded.format == modes::TableFormat::Hexadecimal, decoded.rates,
                  text::Joined(now.year, now.month, now.day, "-"), driverVersion.value_or("")};
}

void FollowTables(platform::IRegistry& api, const platform::SystemTime& now) {
    platform::QuietPrompt quiet;
    registry::mdlRegistry registry(api, quiet);
    const readback::InstalledTables tables = readback::ReadInstalledTables(registry);
    const readback::InstalledTables::Text* majority = tables.Majority();
    const std::optional<Record> record =
        majority ? RecordOf(majority->text, now, detect::FindDriverVersion(registry))
                 : std::nullopt;
    WriteRecord(api, record);
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
    std::string line = Concat({"Your rates of ", record.date, " are not installed (driver then ",
                               record.driverVersion.empty() ? kNotFound : record.driverVersion,
                               ", now ", driverNow.value_or(kNotFound), ")"});
    if (notOffered != 0) {
        line += Concat({text::kCrLf, List(record, notOffered),
                        // A single row is a single bit.
                        text::OneOrMany((notOffered & (notOffered - 1)) == 0 ? 1 : 2,
                                        kNotOfferedByPageOne, kNotOfferedByPageMany)});
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

InEffect RatesInEffect(const Record& record, platform::ISystemInfo& system) {
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
    return {missing == recorded && count > 1
                ? Concat({"None of ", all, " offered", kRestartHint})
                : Concat({List(record, missing), " not offered", kRestartHint}),
            false};
}

}  // namespace quorvel::applied
