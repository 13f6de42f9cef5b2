// Joining texts in one go: a chain of + makes, and cleans up, a temporary for every step.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel::text {

std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace quorvel::text
