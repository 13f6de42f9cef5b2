// frmPreview: the "Preview changes" dialog as a portable form. It lists, key by key, every value
// that "Apply" would write now (the same plan that Apply writes), and saves it as a .reg file.
#pragma once

#include <optional>
#include <string>

#include "install/Install.h"
#include "platform/Platform.h"

namespace quorvel::app {

inline constexpr const char* kPreviewCaption = "Preview changes";
inline constexpr const char* kPreviewSave = "&Save as .reg...";
inline constexpr const char* kPreviewClose = "Close";
inline constexpr const char* kPreviewIntro =
    "What \"Apply\" would write now, key by key.\r\nA * marks each value that would change.";
inline constexpr const char* kPreviewNothing =
    "No refresh rate is selected, so \"Apply\" would write nothing.";
inline constexpr const char* kPreviewPresent = "      present: ";
inline constexpr const char* kPreviewNew = "      new:     ";
inline constexpr const char* kPreviewNone = "(none)";
inline constexpr const char* kPreviewGroup = " _Modes_Delta values";  // after their number
inline constexpr const char* kPreviewUnread = "(could not be read)";
inline constexpr const char* kPreviewIfYes = " (if you answer Yes to the format question)";
inline constexpr const char* kPreviewFileName = "Quorvel-changes.reg";
inline constexpr const char* kPreviewFilterName = "Registration files (*.reg)";
inline constexpr const char* kPreviewFileFormatComment =
    "UseCompressedModeFormat is set as if the format question is answered Yes.";
inline constexpr const char* kPreviewNotWritten = "The file could not be written:";

class frmPreview {
  public:
    // `plan` holds its values' present data; none when nothing is selected. `formatQuestion`:
    // the plan switches the format on only if the user answers Yes to the format question.
    frmPreview(std::optional<install::InstallPlan> plan, bool formatQuestion,
               platform::Platform& platform);

    // Asks for a file name and writes the plan there as a REGEDIT4 file; a failure shows a box.
    void cmdSave_Click();

    std::string txtPlan;  // the dialog's text, lines joined with CR LF
    bool cmdSaveEnabled = false;
    const std::optional<install::InstallPlan> plan;

  private:
    bool formatQuestion_;
    platform::Platform& platform_;
};

}  // namespace quorvel::app
