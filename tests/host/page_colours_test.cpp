// The settings pages' colours: the rates "Apply" warns about are red, row by row, and the rows
// stripe, red for the common 4:3 resolutions.
#include <gtest/gtest.h>

#include "app/PageColours.h"
#include "modes/Catalogue.h"

namespace quorvel::app {
namespace {

TEST(PageColours, RatesAboveTheirAreasThresholdAreRed) {
    // The first red rate of each row: above 75 Hz below 640x480, above 85 Hz from there on.
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const bool low = modes::kCatalogue[row].area == modes::Area::Low;
        for (std::size_t index = 0; index < modes::kCompressedRateCount; ++index) {
            const bool red = index >= (low ? 4u : 5u);
            const Colour expected = row == 1 && index == 4 ? kDarkRed : red ? kRed : kFindingColour;
            EXPECT_EQ(RateCaptionColour(row, index), expected) << row << " " << index;
        }
    }
    EXPECT_EQ(RowColour(0, false), kFaceColour);
    EXPECT_EQ(RowColour(1, false), kShadowColour);
    EXPECT_EQ(RowColour(2, true), kLightRed);
    EXPECT_EQ(RowColour(3, true), kDarkRed);
}

}  // namespace
}  // namespace quorvel::app
