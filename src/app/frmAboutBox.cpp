// The about box's link handlers.
#include "app/frmAboutBox.h"

namespace quorvel::app {

std::string frmAboutBox::WebLink() {
    return kAboutWebAddress;
}

std::string frmAboutBox::MailLink() {
    return std::string("mailto:") + kAboutMailAddress + kAboutMailSubject;
}

// The shell's result is not examined: without a registered browser or mail program nothing
// happens, and the box stays open either way.
void frmAboutBox::LbLink_Click() {
    shell_.Execute(hWnd, "open", WebLink(), platform::kSwShowNormal);
}

void frmAboutBox::LbMail_Click() {
    shell_.Execute(hWnd, "open", MailLink(), platform::kSwShowNormal);
}

}  // namespace quorvel::app
