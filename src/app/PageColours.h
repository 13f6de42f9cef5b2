// The colours of the settings pages' rows and rate captions, as one portable table the view
// only reads: rows in alternating stripes, red for the common 4:3 resolutions; the rates that
// "Apply" warns about (above the area's threshold) in red.
#pragma once

#include <cstddef>

#include "app/Controls.h"

namespace quorvel::app {

// The stripe of the n-th row of a column, and its red variant for a marked row.
Colour RowColour(std::size_t n, bool marked);
// The caption of option button `index` of catalogue row `row` on the compressed-format page.
Colour RateCaptionColour(std::size_t row, std::size_t index);

}  // namespace quorvel::app
