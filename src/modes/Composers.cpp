// The two mode-table composers: the compressed format of the 28.32 driver and the hexadecimal
// compressed format of the 40.41 driver.
#include "modes/Composers.h"

namespace quorvel::modes {

namespace {
// A rate in upper-case hexadecimal without leading zeros.
std::string HexRate(int rate) {
    auto value = static_cast<unsigned>(rate);
    constexpr const char* kDigits = "0123456789ABCDEF";
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return hex;
}
}  // namespace

std::string BuildCompressedModes(const CompressedSelection& selection) {
    std::string table = "S ";
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            if (selection[row][index]) {
                const Resolution& r = kCatalogue[row];
                table += std::to_string(r.width) + "," + std::to_string(r.height) + ",-," +
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
            table += "=80" + HexRate(HexItemRate(item)) + ";";
        }
    }
    return table;
}

}  // namespace quorvel::modes
