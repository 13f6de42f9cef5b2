// The record of the rates last applied, kept under the program's own key, so that a driver update
// that took the tables away is noticed and the rates can be set again; and the rates the display
// offers now.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modes/Catalogue.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "readback/InstalledTables.h"
#include "registry/Plan.h"

namespace quorvel::applied {

// The record's key and values. Each resolution given a rate has a DWORD value named after it
// ("1024x768") holding the rate in Hz.
inline constexpr const char* kAppliedKey = "SOFTWARE\\Velkora\\Quorvel\\Applied";
inline constexpr const char* kGenerationValue = "Generation";  // "40.41" or "28.32"
inline constexpr const char* kDateValue = "Date";              // "2026-12-07"
inline constexpr const char* kDriverValue = "DriverVersion";   // as read then; "" if not found

struct Record {
    bool detonator40 = false;
    modes::Rates rates{};
    std::string date;           // empty when it could not be read
    std::string driverVersion;  // empty when it was not found, or could not be read
    // The names of the entries that could not be read, joined with ", " (empty when none): a rate
    // that is not a number of Hz, a date that is not one, a version that is not a short printable
    // text.
    std::string damaged = {};
};

// Reading and writing never show a box: the record is a convenience. A record without a
// generation this program writes, or with neither a rate nor a damaged entry, reads as none.
std::optional<Record> ReadRecord(platform::IRegistry& api);
void WriteRecord(platform::IRegistry& api, const Record& record);

// The record's values, its generation first, as a plan's key without new data: what an undo
// file saves of the record, so that undoing a change puts the record back as it was. Without a
// generation there is no record, and that one value is all there is to save; the reader of undo
// files takes the names of all of them.
registry::PlannedKey RecordKey(platform::IRegistry& api);
registry::PlannedKey RecordKey();

// "The record of the rates applied cannot be read whole: 1024x768, Date"; empty when it can.
std::string DamagedText(const Record& record);

// Every _Modes_Delta value of the driver's keys holds the record's rates, in the format of the
// generation in effect (a driver ignores a table in the other format).
bool IsInstalled(const Record& record, const readback::InstalledTables& tables, bool detonator40);

// The line under "Installed table:" when the record is not installed, naming the rates the
// page of the generation in effect does not offer.
std::string NotInstalledText(const Record& record, const std::optional<std::string>& driverNow,
                             modes::Rows notOffered);

// "Screen now:": "1024x768, 32 bit, 85 Hz".
std::string ScreenText(const platform::DisplayMode& mode);
// "Rates in effect:": "7 of 7 offered", or the recorded rates the display does not offer (red),
// "None of 7" when it offers none of them; the display's modes are walked once. What helps
// follows: "Apply" when the tables no longer hold the rates (`installed` false), else a restart.
struct InEffect {
    std::string text;
    bool allOffered = false;
};
InEffect RatesInEffect(const Record& record, platform::ISystemInfo& system, bool installed);

}  // namespace quorvel::applied
