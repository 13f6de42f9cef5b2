// The line break of the program's message boxes and of the .reg files it writes and reads.
#pragma once

namespace quorvel::text {

inline constexpr const char* kCrLf = "\r\n";

}  // namespace quorvel::text
