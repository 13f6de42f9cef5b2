// The completion box that offers the restart.
#include "restart/Restart.h"

#include "text/CrLf.h"

namespace quorvel::restart {

namespace {
constexpr const char* kCompletionText =
    "If no registry errors occured, everything should be fine. You'll have to reboot the system "
    "for the changes to take effect. Reboot now?";
}  // namespace

bool OfferRestart(platform::IPrompt& prompt, platform::IRestart& restart,
                  const std::string& extraLine) {
    const std::string text = extraLine.empty() ? std::string(kCompletionText)
                                               : kCompletionText + (text::kCrLf + extraLine);
    if (prompt.Show(text, kCompletionTitle, platform::kMbYesNo | platform::kMbIconQuestion) !=
        platform::kIdYes) {
        return false;
    }
    // The program ends even when the restart could not be requested; the box has said so.
    RebootSystem(restart, prompt);
    return true;
}

}  // namespace quorvel::restart
