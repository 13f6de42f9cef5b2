// The resolution catalogue: the nineteen resolutions in their fixed order, the rate choices of
// both mode formats, the two warning areas, and the selections the settings pages hold.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <cstdint>

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
};

// Catalogue order: by width, then height (848x480 follows 800x600).
extern const std::array<Resolution, kResolutionCount> kCatalogue;

// The names of each row's controls in catalogue order: its option-button array on the
// compressed-format page and its drop-down list on the hexadecimal-format page (frmMainframe's
// opt[row] and cmb[row]). The program needs no names at run time.
struct ControlNames {
    const char* opt;
    const char* cmb;
};
inline constexpr std::array<ControlNames, kResolutionCount> kControlNames = {{
    {"opt320x200", "cmb320x200"},     {"opt320x240", "cmb320x240"},
    {"opt400x300", "cmb400x300"},     {"opt480x360", "cmb480x360"},
    {"opt512x384", "cmb512x384"},     {"opt640x400", "cmb640x400"},
    {"opt640x480", "cmb640x480"},     {"opt800x600", "cmb800x600"},
    {"opt848x480", "cmb848x480"},     {"opt1024x768", "cmb1024x768"},
    {"opt1152x864", "cmb1152x864"},   {"opt1280x960", "cmb1280x960"},
    {"opt1280x1024", "cmb1280x1024"}, {"opt1600x1024", "cmb1600x1024"},
    {"opt1600x1200", "cmb1600x1200"}, {"opt1920x1080", "cmb1920x1080"},
    {"opt1920x1200", "cmb1920x1200"}, {"opt1920x1440", "cmb1920x1440"},
    {"opt2048x1536", "cmb2048x1536"},
}};

// Option-button rates of the compressed mode format, by button index.
inline constexpr std::array<int, kCompressedRateCount> kCompressedRates = {60, 70,  72, 75,
                                                                           85, 100, 120};
// Thresholds of the Apply warnings; both strict.
inline constexpr int kLowAreaThreshold = 75;
inline constexpr int kHighAreaThreshold = 85;

// The drop-down list items of the hexadecimal-format page, "<None>" first, and the rates of
// the others, in the same order.
inline constexpr const char* kNoRate = "<None>";
extern const std::array<const char*, kHexRateCount + 1> kHexListItems;
inline constexpr std::array<int, kHexRateCount> kHexRates = {60,  70,  72,  75,  85,  100, 120,
                                                             140, 144, 150, 170, 200, 240};

// The option buttons' Value, row by row in catalogue order (none selected at start).
using CompressedSelection = std::array<std::array<bool, kCompressedRateCount>, kResolutionCount>;
// The drop-down lists' selected items in catalogue order: 0 is "<None>", 1 and up the rates;
// kNoItem while a list has no item selected (until start-up sets "<None>").
inline constexpr int kNoItem = -1;
using HexSelection = std::array<int, kResolutionCount>;
constexpr HexSelection ListsWithoutItems() {
    HexSelection lists{};
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        lists[row] = kNoItem;
    }
    return lists;
}
// A list item's rate in Hz: 0 for "<None>" and for no item.
constexpr int HexItemRate(int item) {
    return item >= 1 && item <= static_cast<int>(kHexRateCount)
               ? kHexRates[static_cast<std::size_t>(item - 1)]
               : 0;
}
// The list item of a rate in Hz; none for a rate the lists do not offer.
constexpr std::optional<int> HexItemOf(int rate) {
    for (int item = 1; item <= static_cast<int>(kHexRateCount); ++item) {
        if (HexItemRate(item) == rate) {
            return item;
        }
    }
    return std::nullopt;
}

// "320x200": row label of the compressed-format page.
std::string ResolutionText(const Resolution& r);
// "1024x768 at 85 Hz".
std::string ModeText(int width, int height, int rate);
// The catalogue row of a resolution; kResolutionCount for one the catalogue does not hold.
std::size_t RowOf(int width, int height);

// A rate in Hz for each catalogue row, 0 for none: what a table gives, whichever its format.
using Rates = std::array<int, kResolutionCount>;
// A set of catalogue rows: bit `row` for each.
using Rows = std::uint32_t;
// Rates as the settings page of a generation holds them, with the rows whose rate that page does
// not offer (those rows stay unselected).
struct PageSelection {
    CompressedSelection opt{};
    HexSelection cmb{};
    Rows notOffered = 0;
};
PageSelection SelectRates(const Rates& rates, bool detonator40);
// The rates a page's selection gives: SelectRates turned round.
Rates RatesOf(const CompressedSelection& opt);
Rates RatesOf(const HexSelection& cmb);
// "320x200:", or without the colon for the last four rows: band caption of the hex page.
std::string HexBandCaption(std::size_t position);

}  // namespace quorvel::modes
