// Win32 view of the about box: a modal, owned, fixed-size window showing frmAboutBox.
#pragma once

#include <windows.h>

#include "app/frmAboutBox.h"
#include "app/win32/View.h"

namespace quorvel::app::win32 {

// Shows the about box centred over `owner` and returns when it is closed.
void ShowAboutBox(HWND owner, frmAboutBox& box, const ViewContext& v);

}  // namespace quorvel::app::win32
