// The System information page's layout: one value column per group, rows that grow where a
// value wraps and push everything below down, and the summary group filling the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/SysInfoLayout.h"

namespace quorvel::app {
namespace {

constexpr int kChar = 6;   // every character's width, in pixels
constexpr int kLine = 13;  // every line's height

// A font of fixed-width characters that fills each line to the wrapping width; "\n" breaks a line.
class FixedFont : public ITextMeasure {
  public:
    TextSize Measure(const std::string& text, bool, int wrapWidth) const override {
        TextSize size;
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const int width = static_cast<int>(end - start) * kChar;
            const int lines = wrapWidth > 0 ? std::max(1, (width + wrapWidth - 1) / wrapWidth) : 1;
            size.width = std::max(size.width, std::min(width, wrapWidth > 0 ? wrapWidth : width));
            size.height += lines * kLine;
            start = end + 1;
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
    const Rect& value = one.groups[0].rows[0].value;
    const SysInfoLayout two =
        LayOut(Texts(std::string((value.right - value.left) / kChar + 1, 'W')));
    const int moved = 2 * kLine - (value.bottom - value.top);

    EXPECT_EQ(two.groups[0].rows[0].value.bottom - two.groups[0].rows[0].value.top, 2 * kLine);
    EXPECT_EQ(two.groups[0].rows[1].value.top, one.groups[0].rows[1].value.top + moved);
    EXPECT_EQ(two.groups[1].frame.top, one.groups[1].frame.top + moved);
    EXPECT_EQ(two.summaryGroup.frame.top, one.summaryGroup.frame.top + moved);
    EXPECT_EQ(two.summaryGroup.frame.bottom, one.summaryGroup.frame.bottom);
    EXPECT_EQ(two.note, one.note);
}

TEST_P(SysInfoLayoutTest, AValueWithoutCaptionIsAsWideAsItsGroupAndAHiddenRowTakesNoRoom) {
    SysInfoTexts texts = Texts("Short");
    texts.groups[0].rows.insert(texts.groups[0].rows.begin(), {"", "A line of its own"});
    texts.groups[0].rows.push_back({"Hidden:", "", false});
    const SysInfoLayout l = LayOut(texts);
    EXPECT_EQ(l.groups[0].rows[0].value.left, l.groups[0].rows[1].caption.left);
    EXPECT_EQ(l.groups[0].rows[3].value.top, l.groups[0].rows[3].value.bottom);
    EXPECT_EQ(l.groups[0].frame.bottom, LayOut(Texts("Short")).groups[0].frame.bottom +
                                            l.groups[0].rows[1].value.top -
                                            l.groups[0].rows[0].value.top);
}

INSTANTIATE_TEST_SUITE_P(Dpi, SysInfoLayoutTest, testing::Values(96, 120, 144));

// The page as the longest texts fill it at 96 DPI, where Tahoma's lines are 13 pixels too: the
// tight spacing runs the summary into the note.
TEST(SysInfoLayout, ThePageOfTheLongestTextsKeepsItsSummaryAboveTheNote) {
    const auto lines = [](int count) {
        std::string text = "W";
        for (int i = 1; i < count; ++i) {
            text += "\nW";
        }
        return text;
    };
    SysInfoTexts t;
    t.groups = {{"Driver information:",
                 {{"Device description:", lines(2)},
                  {"Detonator version:", lines(1)},
                  {"Capability of using compressed mode format:", lines(1)},
                  {"Uses compressed mode format:", lines(1)},
                  {"Uses hexadecimal compressed mode format:", lines(1)},
                  {"Installed table:", lines(3)},
                  {"", lines(2)}}},
                {"General:",
                 {{"Operating system:", lines(1)},
                  {"Screen now:", lines(1)},
                  {"Rates in effect:", lines(4)},
                  {"Monitor:", lines(3)}}}};
    t.summaryCaption = "Summary:";
    t.summary = lines(3);
    t.note = lines(2);
    const SysInfoLayout l = LayOutSysInfo(t, 96, 96, FixedFont());
    EXPECT_LE(l.summary.bottom, l.note.top);
}

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
