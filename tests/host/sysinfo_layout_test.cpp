// The System information page's layout: one value column per group, rows that grow where a
// value wraps and push everything below down, and the summary group filling the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/SysInfoLayout.h"

namespace quorvel::app {
namespace {

constexpr int kChar = 6;   // every character's width, in pixels
constexpr int kLine = 13;  // every line's height

// A font of fixed-width characters that wraps between words, as a static control does.
class FixedFont : public ITextMeasure {
  public:
    TextSize Measure(const std::string& text, bool, int wrapWidth) const override {
        TextSize size;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find("\r\n", start);
            end = end == std::string::npos ? text.size() : end;
            int line = 0;
            std::size_t wordStart = start;
            while (wordStart < end) {
                std::size_t wordEnd = text.find(' ', wordStart);
                wordEnd = wordEnd == std::string::npos || wordEnd > end ? end : wordEnd;
                const int word = static_cast<int>(wordEnd - wordStart) * kChar;
                const int joined = line == 0 ? word : line + kChar + word;
                if (wrapWidth > 0 && line > 0 && joined > wrapWidth) {
                    size.height += kLine;
                    line = word;
                } else {
                    line = joined;
                }
                size.width = std::max(size.width, line);
                wordStart = wordEnd + 1;
            }
            size.height += kLine;
            start = end + 2;
        }
        return size;
    }
};

SysInfoTexts Texts(const std::string& firstValue) {
    SysInfoTexts t;
    t.groups = {{"Driver:", {{"Description:", firstValue}, {"A much longer caption:", "Yes"}}},
                {"General:", {{"System:", "Windows NT/2000/XP"}}}};
    t.summaryCaption = "Summary:";
    t.summary = "The fix should work properly.";
    t.note = "Please mention every error.";
    return t;
}

class SysInfoLayoutTest : public testing::TestWithParam<int> {
  protected:
    SysInfoLayout LayOut(const SysInfoTexts& texts) const {
        return LayOutSysInfo(texts, GetParam(), GetParam(), font_);
    }
    FixedFont font_;
};

TEST_P(SysInfoLayoutTest, EachGroupsValuesStandInOneColumnRightOfItsWidestCaption) {
    const SysInfoLayout l = LayOut(Texts("Short"));
    const int captionLeft = l.groups[0].rows[0].caption.left;
    const int driverColumn = l.groups[0].rows[0].value.left;
    const int generalColumn = l.groups[1].rows[0].value.left;
    EXPECT_EQ(l.groups[0].rows[1].value.left, driverColumn);
    const int gap = driverColumn - (captionLeft + 22 * kChar);  // "A much longer caption:"
    EXPECT_GT(gap, 0);
    EXPECT_EQ(generalColumn - (captionLeft + 7 * kChar), gap);  // "System:"
    for (const SysInfoLayout::Group& g : l.groups) {
        for (const SysInfoLayout::Row& r : g.rows) {
            EXPECT_EQ(r.caption.right, r.value.left);
            EXPECT_EQ(g.frame.right - r.value.right, captionLeft - g.frame.left);
        }
    }
}

TEST_P(SysInfoLayoutTest, AValueTooWideForItsRoomWrapsAndMovesEverythingBelowDown) {
    const SysInfoLayout one = LayOut(Texts("Short"));
    const SysInfoLayout::Row& row = one.groups[0].rows[0];
    // Three words, each as wide as the value's room: one line each.
    const std::string word((row.value.right - row.value.left) / kChar, 'W');
    const SysInfoLayout three = LayOut(Texts(word + " " + word + " " + word));
    const int moved = 3 * kLine - (row.value.bottom - row.value.top);

    EXPECT_EQ(three.groups[0].rows[0].value.bottom - three.groups[0].rows[0].value.top, 3 * kLine);
    EXPECT_EQ(three.groups[0].rows[1].value.top, one.groups[0].rows[1].value.top + moved);
    EXPECT_EQ(three.groups[0].frame.bottom, one.groups[0].frame.bottom + moved);
    EXPECT_EQ(three.groups[1].frame.top, one.groups[1].frame.top + moved);
    EXPECT_EQ(three.groups[1].rows[0].value.top, one.groups[1].rows[0].value.top + moved);
    EXPECT_EQ(three.summaryGroup.frame.top, one.summaryGroup.frame.top + moved);
    EXPECT_EQ(three.summaryGroup.frame.bottom, one.summaryGroup.frame.bottom);
    EXPECT_EQ(three.note, one.note);
}

TEST_P(SysInfoLayoutTest, TheSummaryGroupFillsThePageWithItsNoteAtTheBottom) {
    const SysInfoLayout l = LayOut(Texts("Short"));
    const SysInfoLayout::Group& s = l.summaryGroup;
    EXPECT_EQ(s.frame.bottom, TwipsToPixels(6255 - 60, GetParam()));
    EXPECT_EQ(s.frame.top - l.groups[1].frame.bottom,
              l.groups[1].frame.top - l.groups[0].frame.bottom);
    EXPECT_EQ(l.summary.bottom - l.summary.top, kLine);
    EXPECT_EQ(l.note.bottom - l.note.top, kLine);
    EXPECT_EQ(s.frame.bottom - l.note.bottom,
              l.groups[1].frame.bottom - l.groups[1].rows[0].caption.bottom);
    EXPECT_GT(l.option40.top, l.summary.bottom);
    EXPECT_LT(l.option40.bottom, l.note.top);
    EXPECT_EQ(l.option40.right, l.option28.left);
    EXPECT_EQ(l.option28.top, l.option40.top);
}

INSTANTIATE_TEST_SUITE_P(Dpi, SysInfoLayoutTest, testing::Values(96, 120, 144));

TEST(TwipsToPixels, RoundsAsMulDivDoes) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {{15, 96, 1},      {7, 96, 0},       {8, 96, 1},
                          {5655, 120, 471}, {6735, 144, 674}, {-8, 96, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
}

}  // namespace
}  // namespace quorvel::app
