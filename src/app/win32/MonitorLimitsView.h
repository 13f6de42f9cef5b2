// Win32 view of the monitor limits dialog: a modal dialog over the main window showing
// frmMonitorLimits.
#pragma once

#include <windows.h>

#include "app/frmMonitorLimits.h"
#include "app/win32/View.h"

namespace quorvel::app::win32 {

// Shows the dialog centred over `owner` and returns when it is closed.
void ShowMonitorLimits(HWND owner, frmMonitorLimits& form, const ViewContext& v);

}  // namespace quorvel::app::win32
