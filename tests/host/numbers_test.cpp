// The hand-made number conversions: what they accept, refuse and print.
#include <gtest/gtest.h>

#include "text/Numbers.h"

namespace quorvel::text {
namespace {

TEST(Numbers, ParsesDigitsAndRefusesEverythingElse) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> decimal;
        std::optional<std::uint32_t> hex;
    } cases[] = {
        {"0", 0u, 0u},
        {"85", 85u, 0x85u},
        {"4294967295", 4294967295u, std::nullopt},
        {"4294967296", std::nullopt, std::nullopt},
        {"ffffffff", std::nullopt, 0xFFFFFFFFu},
        {"100000000", 100000000u, std::nullopt},
        {"3C", std::nullopt, 0x3Cu},
        {"", std::nullopt, std::nullopt},
        {" 1", std::nullopt, std::nullopt},
        {"-1", std::nullopt, std::nullopt},
        {"1.5", std::nullopt, std::nullopt},
        {"0x10", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.decimal) << c.text;
        EXPECT_EQ(ParseHex(c.text), c.hex) << c.text;
    }
}

TEST(Numbers, FormatsHexAndTenths) {
    EXPECT_EQ(Hex(0), "0");
    EXPECT_EQ(Hex(0xF0), "F0");
    EXPECT_EQ(Hex(0xab, 8, false), "000000ab");
    EXPECT_EQ(Hex(0xFFFFFFFFu, 2), "FFFFFFFF");
    EXPECT_EQ(Tenths(1071), "107.1");
    EXPECT_EQ(Tenths(850), "85.0");
    EXPECT_EQ(Tenths(7), "0.7");
    EXPECT_EQ(Tenths(-5), "-0.5");
}

}  // namespace
}  // namespace quorvel::text
