// The program's command line: nothing opens the main window; "/restore FILE" restores an undo
// file without it; "/?" lists the command line.
#pragma once

#include <string>

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
    "quorvel.exe /?\r\n"
    "Shows this list.";
inline constexpr const char* kUnknownCommandLine = "The command line is not understood: ";
inline constexpr int kExitBadCommandLine = 1;

struct CommandLine {
    enum class Action { Window, Restore, Help, Invalid };
    Action action = Action::Window;
    std::string file;  // for Restore
    std::string text;  // the command line as given, for Invalid
};

// Parses the arguments as WinMain receives them (without the program's name). Switches may start
// with "/" or "-", in any case. Everything after "/restore" names the file, quoted or not, so
// that a path with blanks typed without quotes in Safe Mode still works.
CommandLine ParseCommandLine(const std::string& arguments);

// Runs an action that needs no main window and returns the program's exit code.
int RunCommandLine(const CommandLine& command, platform::Platform& platform);

}  // namespace quorvel::app
