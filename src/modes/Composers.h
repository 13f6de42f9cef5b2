// The two mode-table composers: pure functions of a settings page's selection.
#pragma once

#include <string>

#include "modes/Catalogue.h"

namespace quorvel::modes {

// The compressed format's rate tokens, by option-button index. The driver reads each token as a
// range around the wanted rate, so none of them spells the rate itself: 60 Hz is "up to 70", the
// others "down to the next lower rate".
inline constexpr std::array<const char*, kCompressedRateCount> kCompressedTokens = {
    "70-", "-60", "-70", "-72", "-75", "-85", "-100"};

// Compressed mode format (driver 28.32): "S 640,480,-,-75;800,600,-,-72", or "S".
std::string BuildCompressedModes(const CompressedSelection& selection);
// Hexadecimal compressed mode format (driver 40.41): "S 800x600=804B; 640x480 1024x768=8055;".
// Groups follow the list order of their rates.
std::string BuildHexModes(const HexSelection& selection);

}  // namespace quorvel::modes
