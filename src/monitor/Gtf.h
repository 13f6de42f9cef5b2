// What a mode asks of a monitor, by the VESA Generalized Timing Formula: the model for the CRT
// timings the driver builds from a mode table.
#pragma once

namespace quorvel::monitor {

struct ModeNeeds {
    double horizontalKHz = 0;
    double pixelClockMHz = 0;
};

// A progressive mode of width x height pixels at refreshHz, with the formula's default
// parameters (C = 40 %, M = 600 %/kHz, K = 128, J = 20 %), no margins, 8-pixel cells.
ModeNeeds GtfNeeds(int width, int height, int refreshHz);

}  // namespace quorvel::monitor
