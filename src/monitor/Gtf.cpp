// The VESA Generalized Timing Formula, vertical-refresh-driven, with its default parameters.
#include "monitor/Gtf.h"

namespace quorvel::monitor {

namespace {

constexpr double kCellPixels = 8;
constexpr double kMinVerticalPorchLines = 1;
constexpr double kMinVerticalSyncAndBackPorchUs = 550;
// The blanking duty cycle's line: C' and M' from the default C, M, K and J.
constexpr double kC = 40;
constexpr double kM = 600;
constexpr double kK = 128;
constexpr double kJ = 20;
constexpr double kCPrime = (kC - kJ) * kK / 256 + kJ;
constexpr double kMPrime = kK / 256 * kM;

// To the nearest whole number; every quantity rounded here is positive. By hand: the C library's
// round() is built for later processors than the Pentium.
double Round(double value) {
    return static_cast<double>(static_cast<long>(value + 0.5));
}

}  // namespace

ModeNeeds GtfNeeds(int width, int height, int refreshHz) {
    const double activePixels = Round(width / kCellPixels) * kCellPixels;
    const double lines = height;
    const double rate = refreshHz;

    // Estimate the line period from the fixed minimum of vertical sync and back porch, then
    // correct it so that the whole frame comes out at exactly the requested rate.
    const double periodEstimateUs =
        (1 / rate - kMinVerticalSyncAndBackPorchUs / 1e6) / (lines + kMinVerticalPorchLines) * 1e6;
    const double syncAndBackPorchLines = Round(kMinVerticalSyncAndBackPorchUs / periodEstimateUs);
    const double totalLines = lines + syncAndBackPorchLines + kMinVerticalPorchLines;
    const double rateEstimate = 1 / periodEstimateUs / totalLines * 1e6;
    const double periodUs = periodEstimateUs / (rate / rateEstimate);

    const double dutyCyclePercent = kCPrime - kMPrime * periodUs / 1000;
    const double blankPixels =
        Round(activePixels * dutyCyclePercent / (100 - dutyCyclePercent) / (2 * kCellPixels)) *
        (2 * kCellPixels);
    const double totalPixels = activePixels + blankPixels;

    ModeNeeds needs;
    needs.horizontalKHz = 1000 / periodUs;
    needs.pixelClockMHz = totalPixels / periodUs;
    return needs;
}

}  // namespace quorvel::monitor
