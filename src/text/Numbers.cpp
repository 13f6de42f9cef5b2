// Hand-made number parsing and formatting.
#include "text/Numbers.h"

#include "text/Text.h"

namespace quorvel::text {

namespace {
std::optional<std::uint32_t> Parse(std::string_view digits, std::uint32_t base) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) {
            return std::nullopt;
        }
        value = value * base + static_cast<std::uint32_t>(digit);
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}
}  // namespace

std::optional<std::uint32_t> ParseDecimal(std::string_view digits) {
    return Parse(digits, 10);
}

std::optional<std::uint32_t> ParseHex(std::string_view digits) {
    return Parse(digits, 16);
}

namespace {

std::string InBase(std::uint32_t value, std::uint32_t base, int minDigits, bool upperCase) {
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % base]);
        value /= base;
    } while (value != 0);
    if (static_cast<int>(text.size()) < minDigits) {
        text.insert(0, static_cast<std::size_t>(minDigits) - text.size(), '0');
    }
    return text;
}

}  // namespace

std::string Hex(std::uint32_t value, int minDigits, bool upperCase) {
    return InBase(value, 16, minDigits, upperCase);
}

std::string Decimal(std::uint32_t value, int minDigits) {
    return InBase(value, 10, minDigits, true);
}

std::string Joined(std::uint32_t first, std::uint32_t second, std::uint32_t third,
                   const char* separator) {
    return Decimal(first, 2) + separator + Decimal(second, 2) + separator + Decimal(third, 2);
}

std::string Date(const platform::SystemTime& time) {
    return Joined(time.year, time.month, time.day, "-");
}

std::string DateAndTime(const platform::SystemTime& time) {
    return Date(time) + " " + Joined(time.hour, time.minute, time.second, ":");
}

std::string Tenths(std::int32_t tenths) {
    const bool negative = tenths < 0;
    // In 32 bits: a 64-bit division would bring libgcc's division routines along.
    const std::uint32_t magnitude = negative ? static_cast<std::uint32_t>(-(tenths + 1)) + 1
                                             : static_cast<std::uint32_t>(tenths);
    std::string text = Decimal(magnitude / 10) + "." + Decimal(magnitude % 10);
    return negative ? "-" + text : text;
}

}  // namespace quorvel::text
