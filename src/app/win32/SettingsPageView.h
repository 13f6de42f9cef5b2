// Win32 views of the two settings pages (compressed and hexadecimal registry formats).
#pragma once

#include <memory>

#include "app/win32/View.h"

namespace quorvel::app::win32 {

// Control IDs of the settings pages, unique within the main window.
inline constexpr int kRateOptionIdBase = 0x5000;  // + row * 7 + index: the option grid
inline constexpr int kRateListIdBase = 0x5100;    // + row: the drop-down lists
inline constexpr int kDeselectId = 0x5200;
inline constexpr int kApplyId = 0x5201;
inline constexpr int kDeselect40Id = 0x5202;
inline constexpr int kApply40Id = 0x5203;
inline constexpr int kWarningId = 0x5204;
inline constexpr int kWarning40Id = 0x5205;

std::unique_ptr<IPageView> MakeCompressedPageView();
std::unique_ptr<IPageView> MakeHexPageView();

}  // namespace quorvel::app::win32
