// The settings pages' colours.
#include "app/PageColours.h"

#include "modes/Catalogue.h"

namespace quorvel::app {

Colour RowColour(std::size_t n, bool marked) {
    const bool face = n % 2 == 0;
    if (marked) {
        return face ? kLightRed : kDarkRed;
    }
    return face ? kFaceColour : kShadowColour;
}

Colour RateCaptionColour(std::size_t row, std::size_t index) {
    const modes::Resolution& r = modes::kCatalogue.at(row);
    // 85 Hz at 320x240 has always been drawn in the darker red.
    if (r.width == 320 && r.height == 240 && index == 4) {
        return kDarkRed;
    }
    const int threshold =
        r.area == modes::Area::Low ? modes::kLowAreaThreshold : modes::kHighAreaThreshold;
    return modes::kCompressedRates.at(index) > threshold ? kRed : kFindingColour;
}

}  // namespace quorvel::app
