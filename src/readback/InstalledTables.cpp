// The installed mode tables: read from the driver's keys, tallied, described and loaded.
#include "readback/InstalledTables.h"

#include "registry/DriverKeys.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"

namespace quorvel::readback {

using modes::TableFormat;
using modes::Unshowable;
using platform::kHkeyLocalMachine;

namespace {

using text::Concat;
using text::kCrLf;

constexpr const char* kOneResolution = "1 resolution";
constexpr const char* kResolutions = " resolutions";
constexpr const char* kCompressedFormatLine = ", compressed format";
constexpr const char* kHexFormatLine = ", hexadecimal format";

constexpr const char* kInstalledHeading = "Installed table:";
constexpr const char* kDisagreementStart =
    "The driver's _Modes_Delta values do not all hold the same table; this is the one most of "
    "them hold (";
constexpr const char* kDisagreementOf = " of ";
constexpr const char* kDisagreementEnd = ").";
constexpr const char* kForeignCompressed =
    "This table is in the compressed mode format of driver 28.32, but the driver uses the "
    "hexadecimal compressed mode format: what fits the \"Settings 40\" page has been loaded.";
constexpr const char* kForeignHex =
    "This table is in the hexadecimal compressed mode format of driver 40.41, but the driver "
    "uses the compressed mode format: what fits the \"Settings\" page has been loaded.";
constexpr const char* kNeitherFormat =
    "This text is in neither mode format. The settings page has not been changed.";
constexpr const char* kLoadedHeading = "Loaded into the settings page:";
constexpr const char* kHertz = " Hz";
constexpr const char* kEveryOtherNoRate = "Every other resolution: no rate.";
constexpr const char* kEveryNoRate = "Every resolution: no rate.";
constexpr const char* kUnshownHeading = "Not shown on the settings page:";
constexpr const char* kWhyResolution = "a resolution the page does not list";
constexpr const char* kWhyRate = "a rate the page does not offer";
constexpr const char* kWhyRepeated = "a resolution listed twice; the first entry counts";
constexpr const char* kWhyMalformed = "an entry that cannot be read";

void ReadKey(registry::mdlRegistry& registry, const std::string& key, InstalledTables& tables) {
    for (const char* name : registry::kModesDeltaValues) {
        ++tables.slotCount;
        // Missing values are normal (an earlier tool may have written only some): probe quietly.
        if (!registry.ValueExists(kHkeyLocalMachine, key, name)) {
            continue;
        }
        std::string text = registry.GetStringValue(kHkeyLocalMachine, key, name);
        if (text.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        ++tables.valueCount;
        bool counted = false;
        for (InstalledTables::Text& known : tables.texts) {
            if (known.text == text) {
                ++known.count;
                counted = true;
                break;
            }
        }
        if (!counted) {
            tables.texts.push_back({std::move(text), 1});
        }
    }
}

// Nothing to show and nothing to name: a table whose entries cannot be read is not empty.
bool IsEmpty(const modes::DecodedTable& table) {
    return table.resolutionCount == 0 && table.unshown.empty();
}

// "1024x768: 85 Hz", on a line of its own.
std::string LoadedLine(std::size_t row, int rate) {
    return Concat({kCrLf, modes::ResolutionText(modes::kCatalogue[row]), ": ",
                   text::Decimal(static_cast<std::uint32_t>(rate)), kHertz});
}

const char* WhyText(Unshowable why) {
    switch (why) {
        case Unshowable::Resolution:
            return kWhyResolution;
        case Unshowable::Rate:
            return kWhyRate;
        case Unshowable::Repeated:
            return kWhyRepeated;
        case Unshowable::Malformed:
            break;
    }
    return kWhyMalformed;
}

}  // namespace

const InstalledTables::Text* InstalledTables::Majority() const {
    const Text* most = nullptr;
    for (const Text& t : texts) {
        if (!most || t.count > most->count) {
            most = &t;
        }
    }
    return most;
}

InstalledTables ReadInstalledTables(registry::mdlRegistry& registry) {
    InstalledTables tables;
    for (const std::string& key : registry::DisplayKeys(registry)) {
        ReadKey(registry, key, tables);
    }
    if (registry.KeyExists(kHkeyLocalMachine, registry::kServiceKey)) {
        ReadKey(registry, registry::kServiceKey, tables);
    }
    return tables;
}

bool IsForeignFormat(TableFormat format, bool detonator40) {
    return format == TableFormat::Unknown || (format == TableFormat::Compressed && detonator40) ||
           (format == TableFormat::Hexadecimal && !detonator40);
}

InstalledLine DescribeInstalled(const InstalledTables& tables, std::optional<bool> detonator40) {
    const InstalledTables::Text* majority = tables.Majority();
    if (!majority) {
        return {kNoTableLine, false};
    }
    const modes::DecodedTable table = modes::DecodeModes(majority->text);
    if (table.format == TableFormat::Unknown) {
        return {kUnknownFormatLine, true};
    }
    if (IsEmpty(table)) {
        return {kEmptyTableLine, false};
    }
    InstalledLine line{table.resolutionCount == 1
                           ? std::string(kOneResolution)
                           : Concat({text::Decimal(table.resolutionCount), kResolutions}),
                       detonator40 && IsForeignFormat(table.format, *detonator40)};
    if (table.format == TableFormat::Compressed) {
        line.text += kCompressedFormatLine;
    } else if (table.format == TableFormat::Hexadecimal) {
        line.text += kHexFormatLine;
    }
    return line;
}

InstalledLoad PlanInstalledLoad(const InstalledTables& tables, bool detonator40) {
    InstalledLoad load;
    const InstalledTables::Text* majority = tables.Majority();
    if (!majority) {
        load.report = kNothingInstalled;
        return load;
    }
    const modes::DecodedTable table = modes::DecodeModes(majority->text);
    if (IsEmpty(table)) {
        load.report = Concat({kEmptyTableStart, majority->text, kEmptyTableEnd});
        return load;
    }
    std::string& report = load.report;
    report = Concat({kInstalledHeading, kCrLf, "\"", majority->text, "\""});
    if (majority->count != tables.valueCount) {
        report += Concat({kCrLf, kDisagreementStart, text::Decimal(majority->count),
                          kDisagreementOf, text::Decimal(tables.valueCount), kDisagreementEnd});
    }

    std::vector<modes::UnshownPiece> unshown = table.unshown;
    if (table.format == TableFormat::Unknown) {
        report += Concat({kCrLf, kNeitherFormat});
    } else {
        if (IsForeignFormat(table.format, detonator40)) {
            report += Concat({kCrLf, detonator40 ? kForeignCompressed : kForeignHex});
        }
        load.changesPage = true;
        std::string loaded;
        if (detonator40) {
            modes::HexDecoding page = modes::HexSelectionOf(table);
            load.cmb = page.selection;
            unshown = std::move(page.unshown);
            for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
                if (const int rate = modes::HexItemRate(load.cmb[row])) {
                    loaded += LoadedLine(row, rate);
                }
            }
        } else {
            modes::CompressedDecoding page = modes::CompressedSelectionOf(table);
            load.opt = page.selection;
            unshown = std::move(page.unshown);
            for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
                for (std::size_t index = 0; index < modes::kCompressedRateCount; ++index) {
                    if (load.opt[row][index]) {
                        loaded += LoadedLine(row, modes::kCompressedRates[index]);
                    }
                }
            }
        }
        report += Concat({kCrLf, kCrLf, kLoadedHeading, loaded, kCrLf,
                          loaded.empty() ? kEveryNoRate : kEveryOtherNoRate});
    }
    if (!unshown.empty()) {
        report += Concat({kCrLf, kCrLf, kUnshownHeading});
        for (const modes::UnshownPiece& piece : unshown) {
            report += Concat({kCrLf, "\"", piece.piece, "\": ", WhyText(piece.why)});
        }
    }
    return load;
}

}  // namespace quorvel::readback
