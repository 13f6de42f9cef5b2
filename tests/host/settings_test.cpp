// The settings pages' Apply tests and selection handlers, and every path through the Apply
// sequence with its exact boxes.
#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "modes/Catalogue.h"
#include "platform/Prompt.h"
#include "settings/RateSettings.h"

namespace quorvel::settings {
namespace {

using modes::CompressedSelection;
using modes::HexSelection;

constexpr const char* kNothingSelected = "You did not specify any refresh rate to set.";

const std::string kSymptoms =
    "If you proceed, you might experience some symptoms like...\r\n"
    "...still having 60 Hz or not the frequency, you specified.\r\n"
    "...an inability to select a desired resolution in the windows display properties or in a "
    "game or application, because it is not listed anymore.\r\n"
    "...Direct3D/OpenGL modes might only fill a part of the screen, although fullscreen mode is "
    "active.\r\n"
    "...finally, an inability to boot windows, due to an \"out of range\" error, although the "
    "specified settings are ok for your monitor.";

const std::string kHighWarning =
    "WARNING: You selected a refresh rate above 85 Hz in one of the higher resolutions (640x480 "
    "and above). Windows NT systems or the Detonator driver have problems, providing refresh "
    "rates above 85 Hz. Proceed?\r\n\r\n" +
    kSymptoms +
    "\r\n\r\nIf you don't proceed, you should deselect all selected rates, that are higher than "
    "85 Hz in the high resolution area and reapply.";

const std::string kLowWarning =
    "WARNING: You selected a refresh rate above 75 Hz in one of the lower resolutions "
    "(320x200-640x400). This is very dangerous, because the Detonator driver version has some "
    "serious problems with providing more than 75 Hz at these resolutions under Windows "
    "NT/2000/XP. Proceed?\r\n\r\n" +
    kSymptoms +
    "\r\n\r\nIf you don't proceed, you should deselect all selected rates, that are higher than "
    "75 Hz in the low resolution area and reapply.";

struct Box {
    std::string text;
    std::string title;
    std::uint32_t style;
};

// Answers boxes in order from a list; a box beyond the list fails the test.
class AnsweringPrompt : public platform::IPrompt {
  public:
    explicit AnsweringPrompt(std::deque<int> answers) : answers_(std::move(answers)) {}
    int Show(const std::string& text, platform::CStr titleText, std::uint32_t style) override {
        const std::string title = titleText.c_str();
        shown.push_back({text, title, style});
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected box: " << title;
            return platform::kIdNo;
        }
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    std::vector<Box> shown;

  private:
    std::deque<int> answers_;
};

// Answers the three tests from fixed values and records which were asked, in order.
class FixedPage : public IRatePage {
  public:
    FixedPage(bool any, bool high, bool low) : any_(any), high_(high), low_(low) {}
    bool AnyRateSelected() const override { return Ask("any", any_); }
    bool HighAreaRateAbove85() const override { return Ask("high", high_); }
    bool LowAreaRateAbove75() const override { return Ask("low", low_); }
    mutable std::vector<std::string> asked;

  private:
    bool Ask(const char* test, bool answer) const {
        asked.push_back(test);
        return answer;
    }
    bool any_, high_, low_;
};

std::size_t Row(int width, int height) {
    for (std::size_t i = 0; i < modes::kCatalogue.size(); ++i) {
        if (modes::kCatalogue[i].width == width && modes::kCatalogue[i].height == height) {
            return i;
        }
    }
    ADD_FAILURE() << width << "x" << height;
    return 0;
}

HexSelection AllNone() {
    HexSelection s;
    s.fill(0);
    return s;
}

int Item(int rate) {
    return modes::HexItemOf(rate).value();
}

TEST(WarningTexts, AreExact) {
    EXPECT_EQ(HighAreaWarningText(), kHighWarning);
    EXPECT_EQ(LowAreaWarningText(), kLowWarning);
}

enum Outcome { Installs, DoesNotInstall };
constexpr int kYes = platform::kIdYes;
constexpr int kNo = platform::kIdNo;
constexpr std::uint32_t kWarningStyle = 20;

struct ApplyCase {
    const char* name;
    bool any, high, low;
    std::deque<int> answers;
    std::vector<std::string> expectedBoxes;  // "nothing", "high" or "low"
    std::vector<std::string> expectedTests;
    Outcome outcome;
};

void PrintTo(const ApplyCase& c, std::ostream* os) {
    *os << c.name;
}

class ApplyPaths : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyPaths, ShowsTheBoxesAndInstallsOnlyAfterYes) {
    const ApplyCase& c = GetParam();
    FixedPage page(c.any, c.high, c.low);
    AnsweringPrompt prompt(c.answers);
    const int installs = ConfirmSelection(page, prompt) ? 1 : 0;

    ASSERT_EQ(prompt.shown.size(), c.expectedBoxes.size());
    for (std::size_t i = 0; i < c.expectedBoxes.size(); ++i) {
        const Box& box = prompt.shown[i];
        EXPECT_EQ(box.title, "Error");
        if (c.expectedBoxes[i] == "nothing") {
            EXPECT_EQ(box.text, kNothingSelected);
            EXPECT_EQ(box.style, 48u);
        } else {
            EXPECT_EQ(box.text, c.expectedBoxes[i] == "high" ? kHighWarning : kLowWarning);
            EXPECT_EQ(box.style, kWarningStyle);
        }
    }
    EXPECT_EQ(page.asked, c.expectedTests);
    EXPECT_EQ(installs, c.outcome == Installs ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Apply, ApplyPaths,
    ::testing::Values(
        ApplyCase{"NothingSelected",
                  false,
                  true,
                  true,
                  {platform::kIdOk},
                  {"nothing"},
                  {"any"},
                  DoesNotInstall},
        ApplyCase{"NoWarning", true, false, false, {}, {}, {"any", "high", "low"}, Installs},
        ApplyCase{"HighYes", true, true, false, {kYes}, {"high"}, {"any", "high", "low"}, Installs},
        ApplyCase{"HighNo", true, true, false, {kNo}, {"high"}, {"any", "high"}, DoesNotInstall},
        ApplyCase{"LowYes", true, false, true, {kYes}, {"low"}, {"any", "high", "low"}, Installs},
        ApplyCase{
            "LowNo", true, false, true, {kNo}, {"low"}, {"any", "high", "low"}, DoesNotInstall},
        ApplyCase{"BothYesYes",
                  true,
                  true,
                  true,
                  {kYes, kYes},
                  {"high", "low"},
                  {"any", "high", "low"},
                  Installs},
        ApplyCase{"BothYesNo",
                  true,
                  true,
                  true,
                  {kYes, kNo},
                  {"high", "low"},
                  {"any", "high", "low"},
                  DoesNotInstall},
        // The low-area test is not even made after a No.
        ApplyCase{"BothNo", true, true, true, {kNo}, {"high"}, {"any", "high"}, DoesNotInstall},
        // Only Yes leads on: a box that could not be shown answers 0.
        ApplyCase{
            "HighBoxFailed", true, true, false, {0}, {"high"}, {"any", "high"}, DoesNotInstall},
        ApplyCase{"LowBoxFailed",
                  true,
                  false,
                  true,
                  {0},
                  {"low"},
                  {"any", "high", "low"},
                  DoesNotInstall}),
    [](const auto& info) { return std::string(info.param.name); });

// The compressed page's tests for one button selected alone: only 100 and 120 Hz in the high
// area and 85 Hz and up in the low area count, whatever the row.
TEST(CompressedPage, EachButtonAloneRaisesOnlyItsAreaWarning) {
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const bool lowRow = row < 6;  // 320x200 to 640x400
        for (std::size_t index = 0; index < 7; ++index) {
            CompressedSelection opt{};
            opt[row][index] = true;
            const CompressedPage page(opt);
            SCOPED_TRACE(modes::ResolutionText(modes::kCatalogue[row]) + " index " +
                         std::to_string(index));
            EXPECT_TRUE(page.AnyRateSelected());
            EXPECT_EQ(page.HighAreaRateAbove85(), !lowRow && index >= 5);
            EXPECT_EQ(page.LowAreaRateAbove75(), lowRow && index >= 4);
        }
    }
    CompressedSelection none{};
    const CompressedPage page(none);
    EXPECT_FALSE(page.AnyRateSelected());
    EXPECT_FALSE(page.HighAreaRateAbove85());
    EXPECT_FALSE(page.LowAreaRateAbove75());
}

TEST(CompressedPage, LastButtonOfLastRowCounts) {
    CompressedSelection opt{};
    opt[18][6] = true;
    EXPECT_TRUE(CompressedPage(opt).AnyRateSelected());
    EXPECT_TRUE(CompressedPage(opt).HighAreaRateAbove85());
}

struct HexTestCase {
    std::vector<std::pair<std::size_t, int>> items;
    bool any, high, low;
};

TEST(HexPage, TestsCompareRatesAsNumbers) {
    const std::size_t r320x200 = Row(320, 200), r640x400 = Row(640, 400), r640x480 = Row(640, 480),
                      r848x480 = Row(848, 480), r1024x768 = Row(1024, 768),
                      r2048x1536 = Row(2048, 1536);
    const std::vector<HexTestCase> cases = {
        {{}, false, false, false},
        {{{r1024x768, Item(85)}}, true, false, false},
        {{{r1024x768, Item(100)}}, true, true, false},
        {{{r848x480, Item(100)}}, true, true, false},
        {{{r848x480, Item(85)}}, true, false, false},
        {{{r640x400, Item(75)}}, true, false, false},
        {{{r640x400, Item(85)}}, true, false, true},
        {{{r320x200, Item(85)}}, true, false, true},
        {{{r320x200, Item(240)}, {r2048x1536, Item(240)}}, true, true, true},
        {{{r640x480, Item(60)}, {r320x200, Item(60)}}, true, false, false},
        // Items the lists never hold count as no rate, but not as "<None>".
        {{{r640x480, 14}}, true, false, false},
        {{{r320x200, modes::kNoItem}}, true, false, false},
    };
    for (const HexTestCase& c : cases) {
        HexSelection cmb = AllNone();
        std::string label;
        for (const auto& [row, item] : c.items) {
            cmb[row] = item;
            label += modes::ResolutionText(modes::kCatalogue[row]) + "=" +
                     std::to_string(modes::HexItemRate(item)) + " ";
        }
        const HexPage page(cmb);
        EXPECT_EQ(page.AnyRateSelected(), c.any) << label;
        EXPECT_EQ(page.HighAreaRateAbove85(), c.high) << label;
        EXPECT_EQ(page.LowAreaRateAbove75(), c.low) << label;
    }
}

TEST(HexPage, EveryHighRateOfTheListsIsCaught) {
    for (int item = 1; item < static_cast<int>(modes::kHexListItems.size()); ++item) {
        const int value = std::stoi(modes::kHexListItems[static_cast<std::size_t>(item)]);
        HexSelection cmb = AllNone();
        cmb[Row(1920, 1440)] = item;
        cmb[Row(480, 360)] = item;
        const HexPage page(cmb);
        EXPECT_EQ(page.HighAreaRateAbove85(), value > 85) << value;
        EXPECT_EQ(page.LowAreaRateAbove75(), value > 75) << value;
    }
}

TEST(HexPage, OnlyAllNoneMeansNothingSelected) {
    HexSelection cmb = modes::ListsWithoutItems();  // before start-up: no item, not "<None>"
    EXPECT_TRUE(HexPage(cmb).AnyRateSelected());
    cmb = AllNone();
    EXPECT_FALSE(HexPage(cmb).AnyRateSelected());
    cmb[18] = Item(60);
    EXPECT_TRUE(HexPage(cmb).AnyRateSelected());
}

TEST(ApplyWithPages, CompressedHighAndLowRatesAskBothInOrder) {
    CompressedSelection opt{};
    ClickRate(opt, Row(640, 480), 5);  // 100 Hz
    ClickRate(opt, Row(320, 200), 4);  // 85 Hz
    AnsweringPrompt prompt({kYes, kNo});
    const int installs = ConfirmSelection(CompressedPage(opt), prompt) ? 1 : 0;
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].text, kHighWarning);
    EXPECT_EQ(prompt.shown[1].text, kLowWarning);
    EXPECT_EQ(installs, 0);
}

TEST(ApplyWithPages, RatesAtTheThresholdsInstallAtOnce) {
    CompressedSelection opt{};
    ClickRate(opt, Row(640, 480), 4);  // 85 Hz
    ClickRate(opt, Row(640, 400), 3);  // 75 Hz
    AnsweringPrompt prompt({});
    int installs = ConfirmSelection(CompressedPage(opt), prompt) ? 1 : 0;
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(installs, 1);

    HexSelection cmb = AllNone();
    cmb[Row(1024, 768)] = Item(85);
    cmb[Row(640, 400)] = Item(75);
    installs += ConfirmSelection(HexPage(cmb), prompt) ? 1 : 0;
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(installs, 2);
}

TEST(ApplyWithPages, SelectionIsLeftAsItWas) {
    CompressedSelection opt{};
    ClickRate(opt, Row(800, 600), 6);
    const CompressedSelection before = opt;
    AnsweringPrompt prompt({kNo});
    ConfirmSelection(CompressedPage(opt), prompt);
    EXPECT_EQ(opt, before);
}

TEST(Selection, ClickMovesTheRowsSelectionOnly) {
    CompressedSelection opt{};
    ClickRate(opt, Row(800, 600), 2);
    ClickRate(opt, Row(1024, 768), 1);  // 70 Hz
    ClickRate(opt, Row(1024, 768), 5);  // then 100 Hz
    const std::array<bool, 7> only5 = {false, false, false, false, false, true, false};
    const std::array<bool, 7> only2 = {false, false, true, false, false, false, false};
    EXPECT_EQ(opt[Row(1024, 768)], only5);
    EXPECT_EQ(opt[Row(800, 600)], only2);
    ClickRate(opt, Row(1024, 768), 5);  // clicking the selected button keeps it
    EXPECT_EQ(opt[Row(1024, 768)], only5);
}

TEST(Selection, DeselectAllClearsEveryRow) {
    CompressedSelection opt{};
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        ClickRate(opt, row, row % 7);
    }
    DeselectAll(opt);
    EXPECT_EQ(opt, CompressedSelection{});
    AnsweringPrompt prompt({platform::kIdOk});
    EXPECT_FALSE(ConfirmSelection(CompressedPage(opt), prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, kNothingSelected);

    HexSelection cmb;
    cmb.fill(Item(120));
    DeselectAll(cmb);
    EXPECT_EQ(cmb, AllNone());
}

}  // namespace
}  // namespace quorvel::settings
