// The two mode-table composers: the compressed format of the 28.32 driver and the hexadecimal
// compressed format of the 40.41 driver.
#include "modes/Composers.h"

namespace quorvel::modes {

namespace {
// A list rate in upper-case hexadecimal without leading zeros.
std::string HexRate(const char* listText) {
    unsigned value = 0;
    for (const char* c = listText; *c >= '0' && *c <= '9'; ++c) {
        value = value * 10 + static_cast<unsigned>(*c - '0');
    }
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
    for (std::size_t item = 1; item < kHexListItems.size(); ++item) {
        const std::string rate = kHexListItems[item];
        bool groupHasEntries = false;
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            if (selection[row] == rate) {
                table += " " + ResolutionText(kCatalogue[row]);
                groupHasEntries = true;
            }
        }
        if (groupHasEntries) {
            table += "=80" + HexRate(kHexListItems[item]) + ";";
        }
    }
    return table;
}

}  // namespace quorvel::modes
