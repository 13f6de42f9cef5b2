// The resolution catalogue and both mode-table composers: the documented tables and the syntax
// rules the driver depends on.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "modes/Catalogue.h"
#include "modes/Composers.h"
#include "modes/Decoders.h"

namespace quorvel::modes {
namespace {

// Catalogue position (0-based) of a resolution, found by name so tests read as the user sees them.
std::size_t Row(int width, int height) {
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        if (kCatalogue[i].width == width && kCatalogue[i].height == height) {
            return i;
        }
    }
    ADD_FAILURE() << width << "x" << height << " is not in the catalogue";
    return 0;
}

// Option-button index of a compressed-format rate.
std::size_t Index(int rate) {
    for (std::size_t i = 0; i < kCompressedRates.size(); ++i) {
        if (kCompressedRates[i] == rate) {
            return i;
        }
    }
    ADD_FAILURE() << rate << " Hz is not a compressed-format rate";
    return 0;
}

struct Pick {
    int width;
    int height;
    int rate;
};

CompressedSelection Compressed(const std::vector<Pick>& picks) {
    CompressedSelection s{};
    for (const Pick& p : picks) {
        s[Row(p.width, p.height)][Index(p.rate)] = true;
    }
    return s;
}

HexSelection Hex(const std::vector<Pick>& picks) {
    HexSelection s{};  // "<None>"
    for (const Pick& p : picks) {
        s[Row(p.width, p.height)] = HexItemOf(p.rate).value();
    }
    return s;
}

// A small deterministic generator, so failures reproduce.
class Lcg {
  public:
    explicit Lcg(std::uint32_t start) : state_(start) {}
    std::uint32_t Next(std::uint32_t bound) {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

  private:
    std::uint32_t state_;
};

TEST(Catalogue, ListsNineteenResolutionsByWidthThenHeight) {
    const std::vector<std::pair<int, int>> expected = {
        {320, 200},   {320, 240},   {400, 300},   {480, 360},   {512, 384},
        {640, 400},   {640, 480},   {800, 600},   {848, 480},   {1024, 768},
        {1152, 864},  {1280, 960},  {1280, 1024}, {1600, 1024}, {1600, 1200},
        {1920, 1080}, {1920, 1200}, {1920, 1440}, {2048, 1536}};
    ASSERT_EQ(kCatalogue.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(kCatalogue[i].width, expected[i].first) << "position " << i + 1;
        EXPECT_EQ(kCatalogue[i].height, expected[i].second) << "position " << i + 1;
    }
}

TEST(Catalogue, AreasSplitAfter640x400) {
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        EXPECT_EQ(kCatalogue[i].area, i < 6 ? Area::Low : Area::High)
            << ResolutionText(kCatalogue[i]);
    }
    EXPECT_EQ(kCatalogue[Row(848, 480)].area, Area::High);
    EXPECT_EQ(kCatalogue[Row(640, 400)].area, Area::Low);
}

TEST(Catalogue, ControlNamesCarryTheResolution) {
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        EXPECT_EQ(std::string(kControlNames[row].opt), "opt" + ResolutionText(kCatalogue[row]));
        EXPECT_EQ(std::string(kControlNames[row].cmb), "cmb" + ResolutionText(kCatalogue[row]));
    }
    EXPECT_EQ(ResolutionText(kCatalogue[0]), "320x200");
    EXPECT_EQ(ResolutionText(kCatalogue[18]), "2048x1536");
}

TEST(Catalogue, Common43MarkingDiffersOnlyAt800x600) {
    const std::set<std::string> compressed = {"640x480", "800x600", "1024x768", "1280x960",
                                              "1600x1200"};
    const std::set<std::string> hex = {"640x480", "1024x768", "1280x960", "1600x1200"};
    for (const Resolution& r : kCatalogue) {
        EXPECT_EQ(r.common43Compressed, compressed.count(ResolutionText(r)) == 1)
            << ResolutionText(r);
        EXPECT_EQ(r.common43Hex, hex.count(ResolutionText(r)) == 1) << ResolutionText(r);
    }
}

TEST(Catalogue, HexBandCaptionsLoseTheColonOnTheLastFourRows) {
    const std::vector<std::string> expected = {
        "320x200:",  "320x240:",  "400x300:",   "480x360:",   "512x384:",
        "640x400:",  "640x480:",  "800x600:",   "848x480:",   "1024x768:",
        "1152x864:", "1280x960:", "1280x1024:", "1600x1024:", "1600x1200:",
        "1920x1080", "1920x1200", "1920x1440",  "2048x1536"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(HexBandCaption(i), expected[i]);
    }
}

TEST(Catalogue, RateLists) {
    EXPECT_EQ(kCompressedRates, (std::array<int, 7>{60, 70, 72, 75, 85, 100, 120}));
    const std::vector<std::string> items(kHexListItems.begin(), kHexListItems.end());
    EXPECT_EQ(items, (std::vector<std::string>{"<None>", "60", "70", "72", "75", "85", "100", "120",
                                               "140", "144", "150", "170", "200", "240"}));
}

struct CompressedCase {
    const char* name;
    std::vector<Pick> picks;
    std::string expected;
};

void PrintTo(const CompressedCase& c, std::ostream* os) {
    *os << c.name;
}

class CompressedExamples : public ::testing::TestWithParam<CompressedCase> {};

TEST_P(CompressedExamples, ComposesTheTable) {
    EXPECT_EQ(BuildCompressedModes(Compressed(GetParam().picks)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Composers, CompressedExamples,
    ::testing::Values(CompressedCase{"TwoRows",
                                     {{640, 480, 85}, {800, 600, 75}},
                                     "S 640,480,-,-75;800,600,-,-72"},
                      CompressedCase{"SixtyIsUpToSeventy", {{1024, 768, 60}}, "S 1024,768,-,70-"},
                      CompressedCase{"FirstAndLast",
                                     {{320, 200, 120}, {2048, 1536, 70}},
                                     "S 320,200,-,-100;2048,1536,-,-60"},
                      CompressedCase{"Nothing", {}, "S"},
                      CompressedCase{"CatalogueOrderNotPickOrder",
                                     {{848, 480, 72}, {800, 600, 100}, {320, 240, 60}},
                                     "S 320,240,-,70-;800,600,-,-85;848,480,-,-70"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Composers, CompressedTokenForEveryButton) {
    const std::vector<std::string> tokens = {"70-", "-60", "-70", "-72", "-75", "-85", "-100"};
    for (std::size_t index = 0; index < tokens.size(); ++index) {
        CompressedSelection s{};
        s[Row(1280, 1024)][index] = true;
        EXPECT_EQ(BuildCompressedModes(s), "S 1280,1024,-," + tokens[index]) << "index " << index;
    }
}

TEST(Composers, CompressedAllAt120IsTheLongestTable) {
    CompressedSelection s{};
    for (auto& row : s) {
        row[6] = true;
    }
    const std::string expected =
        "S 320,200,-,-100;320,240,-,-100;400,300,-,-100;480,360,-,-100;512,384,-,-100;"
        "640,400,-,-100;640,480,-,-100;800,600,-,-100;848,480,-,-100;1024,768,-,-100;"
        "1152,864,-,-100;1280,960,-,-100;1280,1024,-,-100;1600,1024,-,-100;1600,1200,-,-100;"
        "1920,1080,-,-100;1920,1200,-,-100;1920,1440,-,-100;2048,1536,-,-100";
    const std::string table = BuildCompressedModes(s);
    EXPECT_EQ(table, expected);
    EXPECT_EQ(table.size(), 303u);
}

TEST(Composers, CompressedLowerIndexDecidesWhenTwoAreSet) {
    CompressedSelection s{};
    s[Row(640, 480)][Index(100)] = true;
    s[Row(640, 480)][Index(72)] = true;
    s[Row(800, 600)][Index(120)] = true;
    s[Row(800, 600)][Index(60)] = true;
    EXPECT_EQ(BuildCompressedModes(s), "S 640,480,-,-70;800,600,-,70-");
}

// Over many random selections, the table read back entry by entry: one well-formed entry per
// selected row, in catalogue order, joined by single ";" and never closed by one.
TEST(Composers, CompressedSyntaxHoldsForRandomSelections) {
    const std::vector<std::string> tokens = {"70-", "-60", "-70", "-72", "-75", "-85", "-100"};
    Lcg random(7);
    for (int round = 0; round < 500; ++round) {
        CompressedSelection s{};
        std::vector<std::size_t> selectedRows;
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            if (random.Next(3) != 0) {
                s[row][random.Next(7)] = true;
                selectedRows.push_back(row);
            }
        }
        const std::string table = BuildCompressedModes(s);
        SCOPED_TRACE(table);
        EXPECT_NE(table.back(), ';');
        EXPECT_EQ(table.find(";;"), std::string::npos);
        EXPECT_LE(table.size(), 303u);
        if (selectedRows.empty()) {
            EXPECT_EQ(table, "S");
            continue;
        }
        ASSERT_EQ(table.compare(0, 2, "S "), 0);
        std::vector<std::string> entries;
        for (std::size_t start = 2, end = 0; start <= table.size(); start = end + 1) {
            end = table.find(';', start);
            if (end == std::string::npos) {
                end = table.size();
            }
            entries.push_back(table.substr(start, end - start));
        }
        ASSERT_EQ(entries.size(), selectedRows.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::size_t row = selectedRows[i];
            const std::string prefix = std::to_string(kCatalogue[row].width) + "," +
                                       std::to_string(kCatalogue[row].height) + ",-,";
            ASSERT_EQ(entries[i].compare(0, prefix.size(), prefix), 0) << entries[i];
            std::size_t index = 0;
            while (!s[row][index]) {
                ++index;
            }
            EXPECT_EQ(entries[i].substr(prefix.size()), tokens[index]);
        }
    }
}

struct HexCase {
    const char* name;
    std::vector<Pick> picks;
    std::string expected;
};

void PrintTo(const HexCase& c, std::ostream* os) {
    *os << c.name;
}

class HexExamples : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexExamples, ComposesTheTable) {
    EXPECT_EQ(BuildHexModes(Hex(GetParam().picks)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Composers, HexExamples,
    ::testing::Values(HexCase{"GroupsAscendByRate",
                              {{640, 480, 85}, {800, 600, 75}, {1024, 768, 85}},
                              "S 800x600=804B; 640x480 1024x768=8055;"},
                      HexCase{"OneHundredFifty", {{1920, 1080, 150}}, "S 1920x1080=8096;"},
                      HexCase{"LowestRateFirst",
                              {{2048, 1536, 60}, {320, 200, 240}},
                              "S 2048x1536=803C; 320x200=80F0;"},
                      HexCase{"Nothing", {}, "S"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Composers, HexGroupEndForEveryRate) {
    const std::vector<std::pair<int, std::string>> ends = {
        {60, "=803C;"},  {70, "=8046;"},  {72, "=8048;"},  {75, "=804B;"},  {85, "=8055;"},
        {100, "=8064;"}, {120, "=8078;"}, {140, "=808C;"}, {144, "=8090;"}, {150, "=8096;"},
        {170, "=80AA;"}, {200, "=80C8;"}, {240, "=80F0;"}};
    for (const auto& [rate, end] : ends) {
        EXPECT_EQ(BuildHexModes(Hex({{512, 384, rate}})), "S 512x384" + end) << rate;
    }
}

TEST(Composers, HexAllAt60IsOneGroup) {
    HexSelection s;
    s.fill(HexItemOf(60).value());
    EXPECT_EQ(BuildHexModes(s),
              "S 320x200 320x240 400x300 480x360 512x384 640x400 640x480 800x600 848x480 "
              "1024x768 1152x864 1280x960 1280x1024 1600x1024 1600x1200 1920x1080 1920x1200 "
              "1920x1440 2048x1536=803C;");
}

TEST(Composers, HexLeavesOutItemsThatAreNotARate) {
    HexSelection s{};
    s[0] = kNoItem;  // a list before start-up filled it
    s[1] = static_cast<int>(kHexListItems.size());
    s[2] = -2;
    EXPECT_EQ(BuildHexModes(s), "S");
    s[6] = HexItemOf(72).value();
    EXPECT_EQ(BuildHexModes(s), "S 640x480=8048;");
}

TEST(Composers, HexOneResolutionPerRateIsTheLongestTable) {
    // Thirteen groups of one, and the remaining six resolutions spread over them.
    HexSelection s;
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        s[row] = static_cast<int>(1 + row % kHexRateCount);
    }
    const std::string table = BuildHexModes(s);
    EXPECT_EQ(table.size(), 248u) << table;
}

// Over many random selections, the table read back group by group: rates ascending, resolutions
// in catalogue order within a group, every selected resolution exactly once under its own rate,
// and ";" always followed by a blank except at the end.
TEST(Composers, HexSyntaxHoldsForRandomSelections) {
    Lcg random(11);
    for (int round = 0; round < 500; ++round) {
        HexSelection s;
        for (int& item : s) {
            item = static_cast<int>(random.Next(static_cast<std::uint32_t>(kHexListItems.size())));
        }
        const std::string table = BuildHexModes(s);
        SCOPED_TRACE(table);
        ASSERT_EQ(table[0], 'S');
        EXPECT_LE(table.size(), 248u);
        if (table.size() > 1) {
            EXPECT_EQ(table.back(), ';');
        }
        for (std::size_t pos = table.find(';'); pos != std::string::npos && pos + 1 < table.size();
             pos = table.find(';', pos + 1)) {
            EXPECT_EQ(table[pos + 1], ' ');
        }

        std::vector<std::string> found(kResolutionCount, "<None>");
        long previousRate = -1;
        std::size_t start = 1;
        while (start < table.size()) {
            const std::size_t end = table.find(';', start);
            ASSERT_NE(end, std::string::npos);
            const std::string group = table.substr(start, end - start);
            const std::size_t equals = group.find("=80");
            ASSERT_NE(equals, std::string::npos) << group;
            const std::string hexRate = group.substr(equals + 3);
            ASSERT_EQ(hexRate.size(), 2u);
            for (char c : hexRate) {
                EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << hexRate;
            }
            const long rate = std::stol(hexRate, nullptr, 16);
            EXPECT_GT(rate, previousRate);
            previousRate = rate;
            long previousRow = -1;
            std::size_t item = 0;
            while (item < equals) {
                ASSERT_EQ(group[item], ' ');
                std::size_t next = group.find(' ', item + 1);
                if (next == std::string::npos || next > equals) {
                    next = equals;
                }
                const std::string name = group.substr(item + 1, next - item - 1);
                long row = -1;
                for (std::size_t r = 0; r < kResolutionCount; ++r) {
                    if (ResolutionText(kCatalogue[r]) == name) {
                        row = static_cast<long>(r);
                    }
                }
                ASSERT_GE(row, 0) << name;
                EXPECT_GT(row, previousRow);
                previousRow = row;
                EXPECT_EQ(found[row], "<None>") << name << " in two groups";
                found[row] = std::to_string(rate);
                item = next;
            }
            start = end + 1;
        }
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            EXPECT_EQ(found[row], kHexListItems[static_cast<std::size_t>(s[row])])
                << ResolutionText(kCatalogue[row]);
        }
    }
}

// A decoded table in one line: format, the rates it gives, what it cannot show, the count.
std::string Describe(const DecodedTable& t) {
    static const char* const kFormats[] = {"empty", "compressed", "hex", "unknown"};
    static const char* const kWhy[] = {"resolution", "rate", "repeated", "malformed"};
    std::string s = kFormats[static_cast<int>(t.format)];
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        if (t.rates[row] != 0) {
            s += " " + ResolutionText(kCatalogue[row]) + "@" + std::to_string(t.rates[row]);
        }
    }
    for (const UnshownPiece& u : t.unshown) {
        s += std::string(" ") + kWhy[static_cast<int>(u.why)] + "[" + u.piece + "]";
    }
    return s + " (" + std::to_string(t.resolutionCount) + ")";
}

TEST(Decoders, ReadTheComposersTablesTheirVariantsAndWhatNoPageShows) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"S 640,480,-,-75;800,600,-,-72", "compressed 640x480@85 800x600@75 (2)"},
        {"S 1024,768,-,70-", "compressed 1024x768@60 (1)"},
        {"S 320,200,-,-100;2048,1536,-,-60", "compressed 320x200@120 2048x1536@70 (2)"},
        {"S", "empty (0)"},
        {" S ; ", "empty (0)"},
        {"S 800x600=804B; 640x480 1024x768=8055;", "hex 640x480@85 800x600@75 1024x768@85 (3)"},
        {"S 1920x1080=8096;", "hex 1920x1080@150 (1)"},
        {"S 2048x1536=803C; 320x200=80F0;", "hex 320x200@240 2048x1536@60 (2)"},
        // Lower-case digits, no final ";", extra blanks and tabs.
        {"  S 800x600=804b;640x480 \t 1024x768 = 8055 ",
         "hex 640x480@85 800x600@75 1024x768@85 (3)"},
        {"S640,480,-,-75 ; 800 , 600 ,-, -72;", "compressed 640x480@85 800x600@75 (2)"},
        {"S 1366x768=8055; 640x480=8050; 800x600 800x600=803C; 1024x768=80G0; 1152x864; "
         "x600=8055; 320x200=8155",
         "hex 800x600@60 resolution[1366x768=8055] rate[640x480=8050] repeated[800x600=803C] "
         "malformed[1024x768=80G0] malformed[1152x864] malformed[x600] malformed[320x200=8155] "
         "(3)"},
        {"S 1366,768,-,-75;640,480,-,-120;640,480,-,-60;800,600,-;800,600,*,-60;1024,768,-,60",
         "compressed resolution[1366,768,-,-75] rate[640,480,-,-120] repeated[640,480,-,-60] "
         "malformed[800,600,-] malformed[800,600,*,-60] malformed[1024,768,-,60] (2)"},
        {"nv4_disp", "unknown malformed[nv4_disp] (0)"},
        {"S 640 480", "unknown malformed[S 640 480] (0)"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Describe(DecodeModes(text)), expected) << text;
    }
}

// The property on a table of selections: nothing, every row at one rate, and rows cycling
// through the rates with gaps; decoding the composed text gives the selection back.
TEST(Decoders, GiveBackEverySelectionTheComposersWrite) {
    for (std::size_t shift = 0; shift <= 2 * kHexRateCount; ++shift) {
        CompressedSelection opt{};
        HexSelection cmb;
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            const bool set = shift != 0 && (shift % 2 == 0 || (row + shift) % 3 != 0);
            const std::size_t rate = shift % 2 == 0 ? shift / 2 : row + shift;
            opt[row][rate % kCompressedRateCount] = set;
            cmb[row] = set ? static_cast<int>(1 + rate % kHexRateCount) : 0;
        }
        const CompressedDecoding backOpt =
            CompressedSelectionOf(DecodeModes(BuildCompressedModes(opt)));
        const HexDecoding backCmb = HexSelectionOf(DecodeModes(BuildHexModes(cmb)));
        EXPECT_EQ(backOpt.selection, opt) << BuildCompressedModes(opt);
        EXPECT_EQ(backCmb.selection, cmb) << BuildHexModes(cmb);
        EXPECT_TRUE(backOpt.unshown.empty() && backCmb.unshown.empty()) << shift;
    }
    // Each page takes what fits of the other format.
    EXPECT_EQ(HexSelectionOf(DecodeModes("S 640,480,-,-75;800,600,-,70-")).selection,
              Hex({{640, 480, 85}, {800, 600, 60}}));
}

}  // namespace
}  // namespace quorvel::modes
