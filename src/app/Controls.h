// Portable control state: what the Win32 view draws and what tests look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::app {

// A colour as a Windows program names it: an RGB value or a system colour index.
struct Colour {
    enum class Kind : std::uint8_t { Rgb, System };
    Kind kind = Kind::System;
    std::uint32_t value = 0;  // 0x00BBGGRR for Rgb, a COLOR_* index for System

    static constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return {Kind::Rgb, static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
                               (static_cast<std::uint32_t>(b) << 16)};
    }
    static constexpr Colour System(std::uint32_t index) { return {Kind::System, index}; }
    friend constexpr bool operator==(const Colour& a, const Colour& b) {
        return a.kind == b.kind && a.value == b.value;
    }
    friend constexpr bool operator!=(const Colour& a, const Colour& b) { return !(a == b); }
};

// System colour indices (winuser.h).
inline constexpr std::uint32_t kColorWindow = 5;
inline constexpr std::uint32_t kColorWindowText = 8;
inline constexpr std::uint32_t kColorBtnFace = 15;
inline constexpr std::uint32_t kColorBtnShadow = 16;
inline constexpr std::uint32_t kColorBtnText = 18;

inline constexpr Colour kRed = Colour::Rgb(255, 0, 0);
inline constexpr Colour kLightRed = Colour::Rgb(255, 128, 128);
inline constexpr Colour kDarkRed = Colour::Rgb(192, 0, 0);
// What detection gives a value it found; also a label's default text colour.
inline constexpr Colour kFindingColour = Colour::System(kColorBtnText);
inline constexpr Colour kFaceColour = Colour::System(kColorBtnFace);
inline constexpr Colour kShadowColour = Colour::System(kColorBtnShadow);

struct Label {
    std::string caption;
    Colour foreColor = kFindingColour;
    bool visible = true;
};

struct OptionButton {
    std::string caption;
    bool visible = true;
    bool value = false;
};

struct MenuItem {
    bool enabled = true;  // false: greyed
    bool checked = false;
};

struct Tab {
    std::string caption;
    std::string toolTip;
};

// The common-controls tab strip: tabs indexed from 1, as the program speaks of them.
struct TabStrip {
    std::vector<Tab> tabs;
    int selectedIndex = 1;

    int Count() const { return static_cast<int>(tabs.size()); }
    Tab& Item(int index) { return tabs.at(static_cast<std::size_t>(index - 1)); }
    const Tab& Item(int index) const { return tabs.at(static_cast<std::size_t>(index - 1)); }
    void Remove(int index);
    void Add(std::string caption, std::string toolTip = {});
};

}  // namespace quorvel::app
