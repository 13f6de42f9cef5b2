// The log of the runs without a window (/apply, /reapply, /confirm), and the prompt that writes
// every box into it instead of showing it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Platform.h"

namespace quorvel::app {

// Lines gathered in memory and appended to the file at the points the run chooses (before
// anything is changed, before a restart, at the end), so that it is never behind what was done.
class Log {
  public:
    explicit Log(platform::Platform& platform) : platform_(platform) {}

    // The first line of a run: when, where, as whom, and the command line as given.
    void Start(const std::string& arguments);
    void Line(platform::CStr text);
    // Appends the lines so far to `file`, or to Quorvel.log in the first backup folder that takes
    // them; false, with the reason on standard error, when none does.
    bool Open(const std::string& file);
    // Appends what is not yet in the file; false, with the reason on standard error, when it
    // cannot.
    bool Flush();

  private:
    std::uint32_t Write(const std::string& path);

    platform::Platform& platform_;
    std::string path_;
    std::string pending_;
};

// Every box goes to the log, its title and its text on one line, and is written at once; OK is
// the answer, and `questionAnswer` (Yes or No) to a question. A stop box is a failure the exit
// code must tell.
class LogPrompt : public platform::IPrompt {
  public:
    LogPrompt(Log& log, int questionAnswer) : log_(log), questionAnswer_(questionAnswer) {}
    int Show(const std::string& text, platform::CStr title, std::uint32_t style) override;
    std::size_t failures = 0;

  private:
    Log& log_;
    int questionAnswer_;
};

}  // namespace quorvel::app
