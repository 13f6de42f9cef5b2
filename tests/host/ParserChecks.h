// What must hold whatever bytes reach the parsers of what users and other programs hand us: the
// undo file and the restore it drives, EDID blocks, mode tables and the command line. Shared by
// the fuzz targets and the seeded loops of the test suite, so free of GoogleTest. Each check
// takes the bytes as the parser's input and returns what broke (empty when all held).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::robustness {

// The bytes as an undo file, restored on the dual-head XP installation (tests/fixtures) with
// every question answered Yes: a refused file changes nothing; an accepted one is restored value
// by value where its keys are, and nothing else changes; its values, written again and read back,
// come back byte for byte.
std::vector<std::string> CheckRestore(const std::uint8_t* bytes, std::size_t size);

// The bytes as an EDID (and, with its header put in place and its checksum mended, once more, so
// that the descriptors are reached): taken exactly when the block is whole and sound, the same
// without what follows the base block, and with a name and limits that a block can give.
std::vector<std::string> CheckEdid(const std::uint8_t* bytes, std::size_t size);

// The bytes as a mode table: its selections hold only rates the pages offer; and the selections
// it decodes to, and one drawn from the bytes, give themselves back through either composer.
std::vector<std::string> CheckModeTables(const std::uint8_t* bytes, std::size_t size);

// The bytes as the command line: an /apply it accepts has modes, none of them twice, and reads
// the same when written out again; so does the file of a /restore.
std::vector<std::string> CheckCommandLine(const std::uint8_t* bytes, std::size_t size);

}  // namespace quorvel::robustness
