// Modal message boxes: text, title and MessageBox style in, the button pressed out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/CStr.h"

namespace quorvel::platform {

// MessageBox styles (winuser.h).
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbYesNo = 0x04;
inline constexpr std::uint32_t kMbIconHand = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
// The second button (No) is the default: for questions whose Yes risks the monitor or the way
// back, so that Enter alone never takes that path.
inline constexpr std::uint32_t kMbDefButton2 = 0x100;

// MessageBox results.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class IPrompt {
  public:
    virtual ~IPrompt() = default;
    // Shows a modal box over the program's active window and returns the button pressed
    // (0 when the box could not be shown).
    virtual int Show(const std::string& text, CStr title, std::uint32_t style) = 0;
};

// Shows nothing: keeps each box's text and answers as a careful user would, OK, or No to a
// question. For what must never show a box, and for boxes gathered into one.
class QuietPrompt : public IPrompt {
  public:
    int Show(const std::string& text, CStr, std::uint32_t style) override {
        texts.push_back(text);
        return (style & 0x0F) == kMbYesNo ? kIdNo : kIdOk;
    }
    std::vector<std::string> texts;
};

}  // namespace quorvel::platform
