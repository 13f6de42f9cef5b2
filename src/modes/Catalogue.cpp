// The resolution catalogue: one constant table that the pages, the composers and the Apply
// checks all walk in the same order.
#include "modes/Catalogue.h"
#include "text/Numbers.h"

namespace quorvel::modes {

namespace {
// The hexadecimal page's band captions lose their colon from this position on.
constexpr std::size_t kFirstCaptionWithoutColon = 15;
}  // namespace

// clang-format off
const std::array<Resolution, kResolutionCount> kCatalogue = {{
    {320, 200, Area::Low, false, false},
    {320, 240, Area::Low, false, false},
    {400, 300, Area::Low, false, false},
    {480, 360, Area::Low, false, false},
    {512, 384, Area::Low, false, false},
    {640, 400, Area::Low, false, false},
    {640, 480, Area::High, true, true},
    {800, 600, Area::High, true, false},
    {848, 480, Area::High, false, false},
    {1024, 768, Area::High, true, true},
    {1152, 864, Area::High, false, false},
    {1280, 960, Area::High, true, true},
    {1280, 1024, Area::High, false, false},
    {1600, 1024, Area::High, false, false},
    {1600, 1200, Area::High, true, true},
    {1920, 1080, Area::High, false, false},
    {1920, 1200, Area::High, false, false},
    {1920, 1440, Area::High, false, false},
    {2048, 1536, Area::High, false, false},
}};
// clang-format on

const std::array<const char*, kHexRateCount + 1> kHexListItems = {
    kNoRate, "60", "70", "72", "75", "85", "100", "120", "140", "144", "150", "170", "200", "240"};

std::string ResolutionText(const Resolution& r) {
    return text::Decimal(r.width) + "x" + text::Decimal(r.height);
}

std::string ModeText(int width, int height, int rate) {
    return ResolutionText({width, height, Area::Low, false, false}) + " at " + text::Decimal(rate) +
           " Hz";
}

std::size_t RowOf(int width, int height) {
    std::size_t row = 0;
    while (row < kResolutionCount &&
           (kCatalogue[row].width != width || kCatalogue[row].height != height)) {
        ++row;
    }
    return row;
}

PageSelection SelectRates(const Rates& rates, bool detonator40) {
    PageSelection page;
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        const int rate = rates[row];
        if (rate == 0) {
            continue;
        }
        std::size_t index = 0;
        while (index < kCompressedRateCount && kCompressedRates[index] != rate) {
            ++index;
        }
        const std::optional<int> item = HexItemOf(rate);
        if (detonator40 ? !item : index == kCompressedRateCount) {
            page.notOffered |= Rows{1} << row;
        } else if (detonator40) {
            page.cmb[row] = *item;
        } else {
            page.opt[row][index] = true;
        }
    }
    return page;
}

Rates RatesOf(const CompressedSelection& opt) {
    Rates rates{};
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            if (opt[row][index]) {
                rates[row] = kCompressedRates[index];
            }
        }
    }
    return rates;
}

Rates RatesOf(const HexSelection& cmb) {
    Rates rates{};
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        rates[row] = HexItemRate(cmb[row]);
    }
    return rates;
}

std::string HexBandCaption(std::size_t position) {
    if (position >= kResolutionCount) {
        return {};
    }
    std::string caption = ResolutionText(kCatalogue[position]);
    if (position < kFirstCaptionWithoutColon) {
        caption += ":";
    }
    return caption;
}

}  // namespace quorvel::modes
