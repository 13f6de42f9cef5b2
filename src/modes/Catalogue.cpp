// The resolution catalogue: one constant table that the pages, the composers and the Apply
// checks all walk in the same order.
#include "modes/Catalogue.h"
#include "text/Numbers.h"

namespace quorvel::modes {

namespace {
// The hexadecimal page's band captions lose their colon from this position on.
constexpr std::size_t kFirstCaptionWithoutColon = 15;
}  // namespace

const std::array<Resolution, kResolutionCount> kCatalogue = {{
    {320, 200, Area::Low, false, false, "opt320x200", "cmb320x200"},
    {320, 240, Area::Low, false, false, "opt320x240", "cmb320x240"},
    {400, 300, Area::Low, false, false, "opt400x300", "cmb400x300"},
    {480, 360, Area::Low, false, false, "opt480x360", "cmb480x360"},
    {512, 384, Area::Low, false, false, "opt512x384", "cmb512x384"},
    {640, 400, Area::Low, false, false, "opt640x400", "cmb640x400"},
    {640, 480, Area::High, true, true, "opt640x480", "cmb640x480"},
    {800, 600, Area::High, true, false, "opt800x600", "cmb800x600"},
    {848, 480, Area::High, false, false, "opt848x480", "cmb848x480"},
    {1024, 768, Area::High, true, true, "opt1024x768", "cmb1024x768"},
    {1152, 864, Area::High, false, false, "opt1152x864", "cmb1152x864"},
    {1280, 960, Area::High, true, true, "opt1280x960", "cmb1280x960"},
    {1280, 1024, Area::High, false, false, "opt1280x1024", "cmb1280x1024"},
    {1600, 1024, Area::High, false, false, "opt1600x1024", "cmb1600x1024"},
    {1600, 1200, Area::High, true, true, "opt1600x1200", "cmb1600x1200"},
    {1920, 1080, Area::High, false, false, "opt1920x1080", "cmb1920x1080"},
    {1920, 1200, Area::High, false, false, "opt1920x1200", "cmb1920x1200"},
    {1920, 1440, Area::High, false, false, "opt1920x1440", "cmb1920x1440"},
    {2048, 1536, Area::High, false, false, "opt2048x1536", "cmb2048x1536"},
}};

const std::array<const char*, kHexRateCount + 1> kHexListItems = {
    kNoRate, "60", "70", "72", "75", "85", "100", "120", "140", "144", "150", "170", "200", "240"};

std::string ResolutionText(const Resolution& r) {
    return text::Decimal(r.width) + "x" + text::Decimal(r.height);
}

std::string ModeText(int width, int height, int rate) {
    return ResolutionText({width, height, Area::Low, false, false, nullptr, nullptr}) + " at " +
           text::Decimal(rate) + " Hz";
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
