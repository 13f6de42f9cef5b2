// Win32 views of the Introduction and System information pages.
#pragma once

#include <memory>

#include "app/win32/View.h"

namespace quorvel::app::win32 {

std::unique_ptr<IPageView> MakeIntroPageView();
std::unique_ptr<IPageView> MakeSysInfoPageView();

}  // namespace quorvel::app::win32
