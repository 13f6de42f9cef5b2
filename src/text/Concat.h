// Joining texts in one go: a chain of + makes, and cleans up, a temporary for every step. The
// parts are C strings, a constant or a std::string alike, so that passing one costs a pointer;
// the program's texts hold no NUL.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/CStr.h"

namespace quorvel::text {

std::string Concat(std::initializer_list<platform::CStr> parts);

}  // namespace quorvel::text
