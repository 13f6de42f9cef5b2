// The two mode-table decoders: a table text of either format back into the selection of a
// settings page, with every piece of the text that the page cannot show.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "modes/Catalogue.h"

namespace quorvel::modes {

// Told from the text's shape. Empty is "S" alone, which both composers write for no selection.
enum class TableFormat { Empty, Compressed, Hexadecimal, Unknown };

// Why a piece of a table cannot be shown on a settings page.
enum class Unshowable {
    Resolution,  // not one of the catalogue's resolutions
    Rate,        // a rate the page does not offer
    Repeated,    // the resolution was given a rate earlier in the table
    Malformed,   // not an entry of the table's format
};

struct UnshownPiece {
    Unshowable why;
    std::string piece;  // the text it came from: an entry, or a resolution with its group's end
};

// A table read back: what it gives each catalogue resolution, whichever format it is in.
struct DecodedTable {
    TableFormat format = TableFormat::Empty;
    // The rate in Hz (0: none); only rates of the hexadecimal-format lists, which include the
    // seven of the compressed format.
    std::array<int, kResolutionCount> rates{};
    std::array<std::string, kResolutionCount> pieces;  // the text each rate came from
    std::size_t resolutionCount = 0;  // resolutions given a rate, in the catalogue or not
    std::vector<UnshownPiece> unshown;
};

TableFormat FormatOf(std::string_view table);
// Accepts what the composers write and the harmless variants of a hand-edited table:
// lower-case hexadecimal digits, a ";" more or less at the end, extra blanks.
DecodedTable DecodeModes(std::string_view table);

struct CompressedDecoding {
    CompressedSelection selection{};
    std::vector<UnshownPiece> unshown;
};
struct HexDecoding {
    HexSelection selection;
    std::vector<UnshownPiece> unshown;
};
// The selection each page shows for a table of either format; rates the page does not offer
// join what it cannot show. On a composer's own output they give its selection back.
CompressedDecoding CompressedSelectionOf(const DecodedTable& table);
HexDecoding HexSelectionOf(const DecodedTable& table);

}  // namespace quorvel::modes
