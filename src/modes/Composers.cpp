// The two mode-table composers: the compressed format of the 28.32 driver and the hexadecimal
// compressed format of the 40.41 driver.
#include "modes/Composers.h"

#include "text/Numbers.h"

namespace quorvel::modes {

std::string BuildCompressedModes(const CompressedSelection& selection) {
    std::string table = "S ";
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            if (selection[row][index]) {
                const Resolution& r = kCatalogue[row];
                table += text::Decimal(r.width) + "," + text::Decimal(r.height) + ",-," +
                         kCompressedTokens[index] + ";";
                break;
            }
        }
    }
    // Drops the ";" after the last entry, or the blank after "S" when there is none.
    table.pop_back();
    return table;
}

std::string BuildHexModes(const HexSelection& selection) {
    std::string table = "S";
    for (int item = 1; item <= static_cast<int>(kHexRateCount); ++item) {
        bool groupHasEntries = false;
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            if (selection[row] == item) {
                table += " " + ResolutionText(kCatalogue[row]);
                groupHasEntries = true;
            }
        }
        if (groupHasEntries) {
            table += "=80" + text::Hex(static_cast<std::uint32_t>(HexItemRate(item))) + ";";
        }
    }
    return table;
}

}  // namespace quorvel::modes
