// Small number conversions done by hand: the program reads and writes a few numbers in fixed
// formats and needs neither locales nor the C library's floating-point parser and printf.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace quorvel::text {

// Decimal digits only (no sign, no blanks), at least one, value at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseDecimal(std::string_view digits);
// Hexadecimal digits only, either case, at least one, value at most 0xFFFFFFFF.
std::optional<std::uint32_t> ParseHex(std::string_view digits);
// Upper- or lower-case hexadecimal, left-padded with zeros to at least `minDigits`.
std::string Hex(std::uint32_t value, int minDigits = 1, bool upperCase = true);
// Decimal, left-padded with zeros to at least `minDigits`: Decimal(7, 2) is "07".
std::string Decimal(std::uint32_t value, int minDigits = 1);
// Three numbers joined with `separator`, each of at least two digits: Joined(2026, 12, 7, "-")
// is "2026-12-07" and Joined(1, 46, 23, ":") is "01:46:23".
std::string Joined(std::uint32_t first, std::uint32_t second, std::uint32_t third,
                   const char* separator);
// The date as the record of applied rates keeps it, "2026-12-07", and with the time as the undo
// file, a saved preview and the log tell it, "2026-12-07 21:04:09".
std::string Date(const platform::SystemTime& time);
std::string DateAndTime(const platform::SystemTime& time);
// A value given in tenths, with one decimal: 1071 -> "107.1", 850 -> "85.0", -5 -> "-0.5".
std::string Tenths(std::int32_t tenths);

}  // namespace quorvel::text
