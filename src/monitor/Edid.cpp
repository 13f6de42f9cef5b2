// EDID base block parsing, after the VESA E-EDID layout (versions 1.3 and 1.4).
#include "monitor/Edid.h"

namespace quorvel::monitor {

namespace {

constexpr std::uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
// The four 18-byte descriptors; one that starts with a zero pixel clock is a display
// descriptor whose tag is its fourth byte.
constexpr std::size_t kDescriptorOffsets[4] = {54, 72, 90, 108};
constexpr std::size_t kDescriptorSize = 18;
constexpr std::uint8_t kTagName = 0xFC;
constexpr std::uint8_t kTagRangeLimits = 0xFD;

// A descriptor's text: up to 13 bytes, ended by a line feed and padded with blanks.
std::string DescriptorText(const std::uint8_t* d) {
    std::string text;
    for (std::size_t i = 5; i < kDescriptorSize && d[i] >= 0x20; ++i) {
        text += static_cast<char>(d[i]);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

RangeLimits DescriptorLimits(const std::uint8_t* d, bool version14) {
    // EDID 1.4 adds 255 to a rate above 255 through flags in byte 4, reserved before.
    const int flags = version14 ? d[4] : 0;
    const auto offset = [flags](int shift, bool forMinimum) {
        const int bits = (flags >> shift) & 0x03;
        return (forMinimum ? bits == 0x03 : bits >= 0x02) ? 255 : 0;
    };
    RangeLimits r;
    r.minVerticalHz = d[5] + offset(0, true);
    r.maxVerticalHz = d[6] + offset(0, false);
    r.minHorizontalKHz = d[7] + offset(2, true);
    r.maxHorizontalKHz = d[8] + offset(2, false);
    r.maxPixelClockMHz = d[9] * 10;
    return r;
}

}  // namespace

std::optional<EdidInfo> ParseEdid(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kEdidBlockSize) {
        return std::nullopt;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < kEdidBlockSize; ++i) {
        if (i < sizeof kHeader && bytes[i] != kHeader[i]) {
            return std::nullopt;
        }
        sum += bytes[i];
    }
    if (sum % 256 != 0) {
        return std::nullopt;
    }
    const bool version14 = bytes[18] > 1 || (bytes[18] == 1 && bytes[19] >= 4);
    EdidInfo info;
    for (std::size_t offset : kDescriptorOffsets) {
        const std::uint8_t* d = &bytes[offset];
        if (d[0] != 0 || d[1] != 0 || d[2] != 0) {
            continue;  // a detailed timing
        }
        if (d[3] == kTagName && info.name.empty()) {
            info.name = DescriptorText(d);
        } else if (d[3] == kTagRangeLimits && !info.limits) {
            info.limits = DescriptorLimits(d, version14);
        }
    }
    return info;
}

}  // namespace quorvel::monitor
