// The program's command line: nothing opens the main window; "/restore FILE" restores an undo
// file without it; "/apply MODES ..." applies rates unattended; "/?" lists the command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/frmConfirm.h"
#include "platform/Platform.h"

namespace quorvel::app {

inline constexpr const char* kUsage =
    "quorvel.exe\r\n"
    "Opens the main window.\r\n"
    "\r\n"
    "quorvel.exe /restore FILE\r\n"
    "Puts back the refresh rate settings saved in the undo file FILE, without the main window. "
    "Exit code 0 when every value was written, 1 when the file was refused or a value could not "
    "be written, 2 when the answer was No.\r\n"
    "\r\n"
    "quorvel.exe /apply 1024x768@85,800x600@85 [/generation 28|40] [/format on|off] "
    "[/reboot|/noreboot] [/log FILE] [/force] [/confirm]\r\n"
    "Sets the rates as \"Apply\" would, without a window; logs to FILE (Quorvel.log in the backup "
    "folder). Exit code 0 when every value was written, 1 when refused, 3 when some failed. "
    "/confirm: after the restart, ask whether the screen can be read.\r\n"
    "\r\n"
    "quorvel.exe /reapply [the switches of /apply]\r\n"
    "Sets the rates last applied again when a driver update took them away; does nothing when "
    "they are installed. Logs and exits as /apply.\r\n"
    "\r\n"
    "quorvel.exe /confirm FILE\r\n"
    "Run by Windows once after a restart that follows a change: asks whether the screen can be "
    "read, and puts back the undo file FILE when nobody answers.\r\n"
    "\r\n"
    "quorvel.exe /?\r\n"
    "Shows this list.";
inline constexpr const char* kUnknownCommandLine = "The command line is not understood: ";
inline constexpr int kExitBadCommandLine = 1;

// The refusals of /apply's arguments; each names what it refuses.
inline constexpr const char* kApplyNeedsModes =
    "/apply needs the modes to set, such as 1024x768@85,800x600@85.";
inline constexpr const char* kApplyBadMode = "Not a mode of the form 1024x768@85: ";
inline constexpr const char* kApplyTwice = "A resolution is given twice: ";
inline constexpr const char* kApplyBadGeneration = "/generation takes 28 or 40.";
inline constexpr const char* kApplyBadFormat = "/format takes on or off.";
inline constexpr const char* kApplyNoLogFile = "/log needs a file name.";
inline constexpr const char* kApplyRebootBoth = "/reboot and /noreboot cannot both be given.";
inline constexpr const char* kApplyUnknown = "Not understood: ";

struct ModeChoice {
    int width = 0;
    int height = 0;
    int rate = 0;
};

struct CommandLine {
    enum class Action { Window, Restore, Help, Apply, Reapply, Confirm, Invalid };
    Action action = Action::Window;
    // Restore, Confirm: the undo file; Apply: the log file (empty: the default one)
    std::string file;
    std::string text;  // Invalid: the command line as given; Apply: why it is refused, if it is
    std::string arguments;  // the command line as given, for the log

    // Apply's modes and switches.
    std::vector<ModeChoice> modes;
    std::optional<bool> detonator40;  // /generation 40 or 28
    std::optional<bool> formatOn;     // /format on or off
    bool reboot = false;
    bool force = false;
    bool confirm = false;  // /confirm: arm the check after the restart
};

// Parses the arguments as WinMain receives them (without the program's name). Switches may start
// with "/" or "-", in any case. Everything after "/restore" names the file, quoted or not, so
// that a path with blanks typed without quotes in Safe Mode still works. /apply's arguments are
// separated by blanks; a file name with blanks is quoted.
CommandLine ParseCommandLine(const std::string& arguments);

// Runs an action that needs no main window and returns the program's exit code; `view` shows
// the check after the restart (none: nobody answers it).
int RunCommandLine(const CommandLine& command, platform::Platform& platform,
                   IConfirmView* view = nullptr);

}  // namespace quorvel::app
