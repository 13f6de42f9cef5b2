// The two mode-table composers: pure functions of a settings page's selection.
#pragma once

#include <string>

#include "modes/Catalogue.h"

namespace quorvel::modes {

// Compressed mode format (driver 28.32): "S 640,480,-,-75;800,600,-,-72", or "S".
std::string BuildCompressedModes(const CompressedSelection& selection);
// Hexadecimal compressed mode format (driver 40.41): "S 800x600=804B; 640x480 1024x768=8055;".
std::string BuildHexModes(const HexSelection& selection);

}  // namespace quorvel::modes
