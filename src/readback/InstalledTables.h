// Reading back the mode tables the driver's keys hold, and loading them into a settings page.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modes/Catalogue.h"
#include "modes/Decoders.h"
#include "registry/mdlRegistry.h"

namespace quorvel::readback {

// Every distinct text the driver's _Modes_Delta values hold, with how many values hold it.
struct InstalledTables {
    struct Text {
        std::string text;
        int count = 0;
    };
    std::vector<Text> texts;  // in the order first read
    int valueCount = 0;       // values holding a table
    int slotCount = 0;        // values read: 26 for each key

    // The text most values hold (the first read on a tie); null when no value holds one.
    const Text* Majority() const;
};

// Reads the 26 values of every NVIDIA display key, then of the service key, in the order the
// installation writes them. A value that is missing or holds only blanks holds no table.
InstalledTables ReadInstalledTables(registry::mdlRegistry& registry);

// A table in the other generation's format, or in neither format.
bool IsForeignFormat(modes::TableFormat format, bool detonator40);

// The System information page's "Installed table:" line.
struct InstalledLine {
    std::string text;  // "7 resolutions, hexadecimal format", or "None"
    bool red = false;  // the format does not match the generation, when that is known
};
InstalledLine DescribeInstalled(const InstalledTables& tables, std::optional<bool> detonator40);

// What "Load installed rates" does to the settings page of the generation in effect.
struct InstalledLoad {
    bool changesPage = false;
    modes::CompressedSelection opt{};  // for the compressed-format page
    modes::HexSelection cmb{};         // for the hexadecimal-format page
    std::string report;                // the information box's text
};
InstalledLoad PlanInstalledLoad(const InstalledTables& tables, bool detonator40);

inline constexpr const char* kLoadTitle = "Load installed rates";
inline constexpr const char* kNoTableLine = "None";
inline constexpr const char* kUnknownFormatLine = "Unknown format";
inline constexpr const char* kEmptyTableLine = "empty";
inline constexpr const char* kEmptyTableStart = "The installed table (\"";
inline constexpr const char* kEmptyTableEnd =
    "\") gives no resolution a refresh rate: there is nothing to load. The settings page has not "
    "been changed.";
inline constexpr const char* kNothingInstalled =
    "None of the driver's _Modes_Delta values holds a refresh rate table. The settings page has "
    "not been changed.";

}  // namespace quorvel::readback
