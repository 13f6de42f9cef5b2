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
    int Show(const std::string& text, const std::string& title, std::uint32_t style) override {
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
    s.fill("<None>");
    return s;
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
    int installs = 0;
    ApplySelection(page, prompt, [&] { ++installs; });

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
    std::vector<std::pair<std::size_t, std::string>> texts;
    bool any, high, low;
};

TEST(HexPage, TestsCompareRatesAsNumbers) {
    const std::size_t r320x200 = Row(320, 200), r640x400 = Row(640, 400), r640x480 = Row(640, 480),
                      r848x480 = Row(848, 480), r1024x768 = Row(1024, 768),
                      r2048x1536 = Row(2048, 1536);
    const std::vector<HexTestCase> cases = {
        {{}, false, false, false},
        {{{r1024x768, "85"}}, true, false, false},
        {{{r1024x768, "100"}}, true, true, false},  // "100" sorts before "85" as text
        {{{r848x480, "100"}}, true, true, false},
        {{{r848x480, "85"}}, true, false, false},
        {{{r640x400, "75"}}, true, false, false},
        {{{r640x400, "85"}}, true, false, true},
        {{{r320x200, "85"}}, true, false, true},
        {{{r320x200, "240"}, {r2048x1536, "240"}}, true, true, true},
        {{{r640x480, "60"}, {r320x200, "60"}}, true, false, false},
        // Texts the lists never hold: not a number counts as not above.
        {{{r640x480, "abc"}}, true, false, false},
        {{{r320x200, "<none>"}}, true, false, false},
    };
    for (const HexTestCase& c : cases) {
        HexSelection cmb = AllNone();
        std::string label;
        for (const auto& [row, text] : c.texts) {
            cmb[row] = text;
            label += modes::ResolutionText(modes::kCatalogue[row]) + "=" + text + " ";
        }
        const HexPage page(cmb);
        EXPECT_EQ(page.AnyRateSelected(), c.any) << label;
        EXPECT_EQ(page.HighAreaRateAbove85(), c.high) << label;
        EXPECT_EQ(page.LowAreaRateAbove75(), c.low) << label;
    }
}

TEST(HexPage, EveryHighRateOfTheListsIsCaught) {
    for (std::size_t item = 1; item < modes::kHexListItems.size(); ++item) {
        const std::string rate = modes::kHexListItems[item];
        const int value = std::stoi(rate);
        HexSelection cmb = AllNone();
        cmb[Row(1920, 1440)] = rate;
        cmb[Row(480, 360)] = rate;
        const HexPage page(cmb);
        EXPECT_EQ(page.HighAreaRateAbove85(), value > 85) << rate;
        EXPECT_EQ(page.LowAreaRateAbove75(), value > 75) << rate;
    }
}

TEST(HexPage, OnlyAllNoneMeansNothingSelected) {
    HexSelection cmb{};  // the lists before start-up set them: empty, not "<None>"
    EXPECT_TRUE(HexPage(cmb).AnyRateSelected());
    cmb = AllNone();
    EXPECT_FALSE(HexPage(cmb).AnyRateSelected());
    cmb[18] = "60";
    EXPECT_TRUE(HexPage(cmb).AnyRateSelected());
}

TEST(ApplyWithPages, CompressedHighAndLowRatesAskBothInOrder) {
    CompressedSelection opt{};
    ClickRate(opt, Row(640, 480), 5);  // 100 Hz
    ClickRate(opt, Row(320, 200), 4);  // 85 Hz
    AnsweringPrompt prompt({kYes, kNo});
    int installs = 0;
    ApplySelection(CompressedPage(opt), prompt, [&] { ++installs; });
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
    int installs = 0;
    ApplySelection(CompressedPage(opt), prompt, [&] { ++installs; });
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(installs, 1);

    HexSelection cmb = AllNone();
    cmb[Row(1024, 768)] = "85";
    cmb[Row(640, 400)] = "75";
    ApplySelection(HexPage(cmb), prompt, [&] { ++installs; });
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(installs, 2);
}

TEST(ApplyWithPages, SelectionIsLeftAsItWas) {
    CompressedSelection opt{};
    ClickRate(opt, Row(800, 600), 6);
    const CompressedSelection before = opt;
    AnsweringPrompt prompt({kNo});
    ApplySelection(CompressedPage(opt), prompt, [] {});
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
    ApplySelection(CompressedPage(opt), prompt, [] { ADD_FAILURE() << "installed"; });
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, kNothingSelected);

    HexSelection cmb;
    cmb.fill("120");
    DeselectAll(cmb);
    EXPECT_EQ(cmb, AllNone());
}

}  // namespace
}  // namespace quorvel::settings
