// The hand-made number conversions: what they accept, refuse and print.
#include <gtest/gtest.h>

#include "text/Numbers.h"

namespace quorvel::text {
namespace {

TEST(Numbers, ParseDigitsOnlyAndPrintWithoutTheCLibrary) {
    const std::optional<std::uint32_t> none;
    EXPECT_EQ(ParseDecimal("4294967295"), 4294967295u);
    EXPECT_EQ(ParseHex("ffffFFFF"), 0xFFFFFFFFu);
    for (const char* bad : {"", " 1", "-1", "1.5", "4294967296", "0x10"}) {
        EXPECT_EQ(ParseDecimal(bad), none) << bad;
    }
    EXPECT_EQ(ParseHex("100000000"), none);
    EXPECT_EQ(ParseDecimal("3C"), none);
    EXPECT_EQ(Hex(0xF0), "F0");
    EXPECT_EQ(Hex(0xab, 8, false), "000000ab");
    EXPECT_EQ(Tenths(1071), "107.1");
    EXPECT_EQ(Tenths(7), "0.7");
    EXPECT_EQ(Tenths(-5), "-0.5");
}

}  // namespace
}  // namespace quorvel::text
