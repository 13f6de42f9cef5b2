// The settings pages' colours, row by row: the stripes, red for the common 4:3 resolutions, and
// the rates "Apply" warns about (above 75 Hz below 640x480, above 85 Hz from there on) in red.
#include <gtest/gtest.h>

#include <array>

#include "app/PageColours.h"
#include "modes/Catalogue.h"

namespace quorvel::app {
namespace {

struct RowLook {
    Colour back;
    std::array<Colour, 7> captions;
};

TEST(PageColours, EveryRowAndRateCaptionOfTheCompressedPage) {
    const Colour face = kFaceColour;
    const Colour shadow = kShadowColour;
    const Colour text = kFindingColour;
    const std::array<Colour, 7> low = {text, text, text, text, kRed, kRed, kRed};
    const std::array<Colour, 7> high = {text, text, text, text, text, kRed, kRed};
    const std::array<RowLook, 19> rows = {{
        {face, low},       {shadow, {text, text, text, text, kDarkRed, kRed, kRed}},
        {face, low},       {shadow, low},
        {face, low},       {shadow, low},
        {kLightRed, high}, {kDarkRed, high},
        {face, high},      {kDarkRed, high},
        {face, high},      {kDarkRed, high},
        {face, high},      {shadow, high},
        {kLightRed, high}, {shadow, high},
        {face, high},      {shadow, high},
        {face, high},
    }};
    for (std::size_t row = 0; row < rows.size(); ++row) {
        SCOPED_TRACE(modes::ResolutionText(modes::kCatalogue[row]));
        EXPECT_EQ(RowColour(row, modes::kCatalogue[row].common43Compressed), rows[row].back);
        for (std::size_t index = 0; index < 7; ++index) {
            EXPECT_EQ(RateCaptionColour(row, index), rows[row].captions[index]) << index;
        }
    }
}

}  // namespace
}  // namespace quorvel::app
