// The "Preview changes" dialog of the main window.
#pragma once

#include <windows.h>

#include "app/frmPreview.h"
#include "app/win32/View.h"

namespace quorvel::app::win32 {

// Shows the dialog centred over `owner` and returns when it is closed.
void ShowPreview(HWND owner, frmPreview& form, const ViewContext& v);

}  // namespace quorvel::app::win32
