// EDID base blocks as monitors report them: the checks before use, the monitor's name and its
// range limits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::monitor {

inline constexpr std::size_t kEdidBlockSize = 128;

// The display range limits descriptor (tag 0xFD). Zero where the block gives no value.
struct RangeLimits {
    int minVerticalHz = 0;
    int maxVerticalHz = 0;
    int minHorizontalKHz = 0;
    int maxHorizontalKHz = 0;
    int maxPixelClockMHz = 0;
};

struct EdidInfo {
    std::string name;  // the product name descriptor (tag 0xFC); empty when there is none
    std::optional<RangeLimits> limits;
};

// The base block at the start of `bytes` (extension blocks may follow). Nothing when the block
// is short, its fixed header is wrong or its bytes do not sum to 0 modulo 256.
std::optional<EdidInfo> ParseEdid(const std::vector<std::uint8_t>& bytes);

}  // namespace quorvel::monitor
