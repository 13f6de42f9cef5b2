// frmAboutBox: the about box as a portable form: its texts, its links and their handlers.
#pragma once

#include <string>

#include "platform/System.h"

namespace quorvel::app {

inline constexpr const char* kAboutCaption = "About...";
inline constexpr const char* kAboutProduct = "Quorvel";
inline constexpr const char* kAboutVersion = "Version 2.01 E";
inline constexpr const char* kAboutDeveloper = "Developed by Velkora";
inline constexpr const char* kAboutProgrammer = "Programmer/Developer: Tobin Marlowe";
inline constexpr const char* kAboutInternational = "Velkora - International:";
inline constexpr const char* kAboutWebAddress = "http://www.velkora.example.com/";
inline constexpr const char* kAboutProblems = "Problems? -";
inline constexpr const char* kAboutMailAddress = "support@velkora.example.com";
inline constexpr const char* kAboutMailSubject = "?subject=Bug report: Quorvel v2.01 E";

class frmAboutBox {
  public:
    explicit frmAboutBox(platform::IShell& shell) : shell_(shell) {}

    void LbLink_Click();
    void LbMail_Click();

    static std::string WebLink();
    static std::string MailLink();

    // The about box's window handle, handed to the shell as owner; set by the view.
    platform::Handle hWnd = 0;

  private:
    platform::IShell& shell_;
};

}  // namespace quorvel::app
