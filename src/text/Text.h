// Small text helpers the program's parsers share: blanks, letters without regard to case (as the
// registry and the command line compare the program's ASCII names) and counted words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel::text {

bool IsBlank(char c);  // a blank or a tab
std::string_view Trim(std::string_view s);
char UpperAscii(char c);
std::string UpperAscii(std::string_view s);
bool SameNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
// The value of a hexadecimal digit of either case, or -1.
int HexDigit(char c);

// "1 value" or "2 values".
std::string Counted(std::size_t count, const char* one, const char* many);
// `one` for a count of 1, else `many`: "is" or "are".
const char* OneOrMany(std::size_t count, const char* one, const char* many);

}  // namespace quorvel::text
