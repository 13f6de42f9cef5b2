// frmMonitorLimits: the dialog in which the user types in the monitor's limits, as a portable
// form: its two fields, their check, and OK and Cancel.
#pragma once

#include <string>

#include "monitor/Limits.h"
#include "platform/Prompt.h"

namespace quorvel::app {

inline constexpr const char* kLimitsDialogCaption = "Monitor limits";
inline constexpr const char* kLimitsDialogIntro =
    "If your monitor does not report its limits, or reports them wrongly, type in what its "
    "manual gives. Leave a field empty to use what the monitor reports.";
inline constexpr const char* kLimitsKHzLabel = "Maximum &horizontal frequency (kHz):";
inline constexpr const char* kLimitsHzLabel = "Maximum &refresh rate (Hz):";
inline constexpr const char* kLimitsOk = "OK";
inline constexpr const char* kLimitsCancel = "Cancel";
// The refusal: "The maximum horizontal frequency must be a whole number from 15 to 250 kHz,
// or empty."
inline constexpr const char* kLimitsErrorStart = "The ";
inline constexpr const char* kLimitsKHzName = "maximum horizontal frequency";
inline constexpr const char* kLimitsHzName = "maximum refresh rate";
inline constexpr const char* kLimitsErrorRange = " must be a whole number from ";
inline constexpr const char* kLimitsErrorTo = " to ";
inline constexpr const char* kLimitsErrorEnd = ", or empty.";

class frmMonitorLimits {
  public:
    enum class Field { MaxHorizontalKHz, MaxRefreshHz };

    frmMonitorLimits(platform::IPrompt& prompt, const monitor::TypedLimits& current);

    // Checks both fields; on a bad one shows why, puts the focus there and stays open.
    void cmdOK_Click();
    void cmdCancel_Click();

    std::string txtMaxHorizontalKHz;
    std::string txtMaxRefreshHz;
    Field focus = Field::MaxHorizontalKHz;  // the field that has, or is to get, the focus

    bool closed = false;
    bool accepted = false;             // closed with OK
    monitor::TypedLimits typedLimits;  // what was accepted

  private:
    platform::IPrompt& prompt_;
};

}  // namespace quorvel::app
