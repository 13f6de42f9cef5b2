// Win32 view of the check after the restart: a small window of its own, centred and above every
// other, showing frmConfirm.
#pragma once

#include <windows.h>

#include "app/frmConfirm.h"
#include "app/win32/View.h"

namespace quorvel::app::win32 {

class ConfirmView : public IConfirmView {
  public:
    // `dpi` lays the window out as on a screen of that many dots per inch (0: the screen's).
    explicit ConfirmView(HINSTANCE instance, int dpi = 0) : instance_(instance), dpi_(dpi) {}
    void ShowConfirm(frmConfirm& form) override;

  private:
    HINSTANCE instance_;
    int dpi_;
};

}  // namespace quorvel::app::win32
