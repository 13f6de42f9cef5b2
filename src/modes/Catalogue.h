// The resolution catalogue: the nineteen resolutions in their fixed order, the rate choices of
// both mode formats, the two warning areas, and the selections the settings pages hold.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace quorvel::modes {

inline constexpr std::size_t kResolutionCount = 19;
inline constexpr std::size_t kCompressedRateCount = 7;
inline constexpr std::size_t kHexRateCount = 13;
inline constexpr std::size_t kHexLeftColumnRows = 12;

enum class Area { Low, High };

struct Resolution {
    int width;
    int height;
    Area area;
    bool common43Compressed;  // drawn red on the compressed-format page
    bool common43Hex;         // drawn red on the hexadecimal-format page
    const char* optName;      // option-button array, "opt640x480"
    const char* cmbName;      // drop-down list, "cmb640x480"
};

// Catalogue order: by width, then height (848x480 follows 800x600).
extern const std::array<Resolution, kResolutionCount> kCatalogue;

// Option-button rates of the compressed mode format, by button index.
inline constexpr std::array<int, kCompressedRateCount> kCompressedRates = {60, 70,  72, 75,
                                                                           85, 100, 120};
// Thresholds of the Apply warnings; both strict.
inline constexpr int kLowAreaThreshold = 75;
inline constexpr int kHighAreaThreshold = 85;

// The drop-down list items of the hexadecimal-format page, "<None>" first.
inline constexpr const char* kNoRate = "<None>";
extern const std::array<const char*, kHexRateCount + 1> kHexListItems;

// The option buttons' Value, row by row in catalogue order (none selected at start).
using CompressedSelection = std::array<std::array<bool, kCompressedRateCount>, kResolutionCount>;
// The drop-down lists' texts in catalogue order (empty until start-up sets "<None>").
using HexSelection = std::array<std::string, kResolutionCount>;

// "320x200": row label of the compressed-format page.
std::string ResolutionText(const Resolution& r);
// "320x200:", or without the colon for the last four rows: band caption of the hex page.
std::string HexBandCaption(std::size_t position);

}  // namespace quorvel::modes
