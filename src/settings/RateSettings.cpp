// The settings pages' three Apply tests, the Apply sequence and the selection handlers.
#include "settings/RateSettings.h"

#include "text/CrLf.h"

namespace quorvel::settings {

using namespace modes;
using namespace platform;

namespace {

using text::kCrLf;

constexpr const char* kHighAreaHeadline =
    "WARNING: You selected a refresh rate above 85 Hz in one of the higher resolutions (640x480 "
    "and above). Windows NT systems or the Detonator driver have problems, providing refresh "
    "rates above 85 Hz. Proceed?";
constexpr const char* kHighAreaClosing =
    "If you don't proceed, you should deselect all selected rates, that are higher than 85 Hz in "
    "the high resolution area and reapply.";
constexpr const char* kLowAreaHeadline =
    "WARNING: You selected a refresh rate above 75 Hz in one of the lower resolutions "
    "(320x200-640x400). This is very dangerous, because the Detonator driver version has some "
    "serious problems with providing more than 75 Hz at these resolutions under Windows "
    "NT/2000/XP. Proceed?";
constexpr const char* kLowAreaClosing =
    "If you don't proceed, you should deselect all selected rates, that are higher than 75 Hz in "
    "the low resolution area and reapply.";

constexpr const char* kSymptomsIntro = "If you proceed, you might experience some symptoms like...";
constexpr const char* kSymptomWrongRate =
    "...still having 60 Hz or not the frequency, you specified.";
constexpr const char* kSymptomMissingMode =
    "...an inability to select a desired resolution in the windows display properties or in a "
    "game or application, because it is not listed anymore.";
constexpr const char* kSymptomPartialScreen =
    "...Direct3D/OpenGL modes might only fill a part of the screen, although fullscreen mode is "
    "active.";
constexpr const char* kSymptomNoBoot =
    "...finally, an inability to boot windows, due to an \"out of range\" error, although the "
    "specified settings are ok for your monitor.";

std::string WarningText(const char* headline, const char* closing) {
    std::string text = headline;
    text += kCrLf;
    text += kCrLf;
    for (const char* symptom :
         {kSymptomsIntro, kSymptomWrongRate, kSymptomMissingMode, kSymptomPartialScreen}) {
        text += symptom;
        text += kCrLf;
    }
    text += kSymptomNoBoot;
    text += kCrLf;
    text += kCrLf;
    text += closing;
    return text;
}

int ThresholdOf(Area area) {
    return area == Area::High ? kHighAreaThreshold : kLowAreaThreshold;
}

bool CompressedAbove(const CompressedSelection& opt, Area area) {
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        if (kCatalogue[row].area != area) {
            continue;
        }
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            if (opt[row][index] && kCompressedRates[index] > ThresholdOf(area)) {
                return true;
            }
        }
    }
    return false;
}

bool HexAbove(const HexSelection& cmb, Area area) {
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        if (kCatalogue[row].area == area && HexItemRate(cmb[row]) > ThresholdOf(area)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CompressedPage::AnyRateSelected() const {
    bool any = false;
    for (const auto& row : opt_) {
        for (bool value : row) {
            any = any || value;
        }
    }
    return any;
}

bool CompressedPage::HighAreaRateAbove85() const {
    return CompressedAbove(opt_, Area::High);
}

bool CompressedPage::LowAreaRateAbove75() const {
    return CompressedAbove(opt_, Area::Low);
}

// A list without any item (before start-up) is not "<None>": it counts as selected.
bool HexPage::AnyRateSelected() const {
    bool allNone = true;
    for (int item : cmb_) {
        allNone = allNone && item == 0;
    }
    return !allNone;
}

bool HexPage::HighAreaRateAbove85() const {
    return HexAbove(cmb_, Area::High);
}

bool HexPage::LowAreaRateAbove75() const {
    return HexAbove(cmb_, Area::Low);
}

std::string HighAreaWarningText() {
    return WarningText(kHighAreaHeadline, kHighAreaClosing);
}

std::string LowAreaWarningText() {
    return WarningText(kLowAreaHeadline, kLowAreaClosing);
}

bool ConfirmSelection(const IRatePage& page, IPrompt& prompt) {
    if (!page.AnyRateSelected()) {
        prompt.Show(kNothingSelectedText, kErrorTitle, kMbOk | kMbIconExclamation);
        return false;
    }
    // A box that could not be shown (answer 0) counts as No.
    if (page.HighAreaRateAbove85() &&
        prompt.Show(HighAreaWarningText(), kErrorTitle, kMbYesNo | kMbIconHand) != kIdYes) {
        return false;
    }
    return !page.LowAreaRateAbove75() ||
           prompt.Show(LowAreaWarningText(), kErrorTitle, kMbYesNo | kMbIconHand) == kIdYes;
}

void ClickRate(CompressedSelection& opt, std::size_t row, std::size_t index) {
    if (row >= kResolutionCount || index >= kCompressedRateCount) {
        return;
    }
    opt[row].fill(false);
    opt[row][index] = true;
}

void DeselectAll(CompressedSelection& opt) {
    for (auto& row : opt) {
        row.fill(false);
    }
}

void DeselectAll(HexSelection& cmb) {
    cmb.fill(0);
}

}  // namespace quorvel::settings
