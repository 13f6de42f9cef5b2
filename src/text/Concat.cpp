// Joining texts.
#include "text/Concat.h"

#include <cstring>

namespace quorvel::text {

std::string Concat(std::initializer_list<platform::CStr> parts) {
    std::size_t size = 0;
    for (platform::CStr part : parts) {
        size += std::strlen(part.c_str());
    }
    std::string text;
    text.reserve(size);
    for (platform::CStr part : parts) {
        text += part.c_str();
    }
    return text;
}

}  // namespace quorvel::text
