// A C string parameter: takes a constant or a std::string alike, so that a caller naming a
// registry key, a value or a box's title by a constant builds no string for it. Only for
// parameters: it points into its argument, which must outlive the call.
#pragma once

#include <string>

namespace quorvel::platform {

class CStr {
  public:
    CStr(const char* text) : text_(text) {}                 // NOLINT: converts implicitly by design
    CStr(const std::string& text) : text_(text.c_str()) {}  // NOLINT
    const char* c_str() const { return text_; }

  private:
    const char* text_;
};

}  // namespace quorvel::platform
