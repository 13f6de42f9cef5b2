// Installing a mode table into the driver's registry keys, and the restart that follows.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "modes/Catalogue.h"
#include "platform/Prompt.h"
#include "platform/System.h"
#include "registry/mdlRegistry.h"

namespace quorvel::install {

enum class InstallOutcome {
    Returned,     // the window stays open
    ProgramEnds,  // a restart was requested: unload the windows and end the program
};

// Runs after the confirmation and before the first write: none stops the installation with
// nothing written; otherwise a line for the completion box (empty for none).
using BeforeWrite = std::function<std::optional<std::string>()>;

struct InstallInputs {
    bool blnDetonator40 = false;       // selects the composer
    bool blnCompressedActive = false;  // when false, ask whether to switch the format on
    const modes::CompressedSelection& opt;
    const modes::HexSelection& cmb;
    BeforeWrite beforeWrite = nullptr;
};

InstallOutcome InstallModeTable(const InstallInputs& inputs, registry::mdlRegistry& registry,
                                platform::IPrompt& prompt, platform::IRestart& restart);

// The completion box, with `extraLine` after its text when there is one; on Yes, the restart.
InstallOutcome OfferRestart(platform::IPrompt& prompt, platform::IRestart& restart,
                            const std::string& extraLine);

// mdlShutdown: enables the shutdown privilege and requests a reboot; reports a failure in one box.
// Returns true when the reboot request was made.
bool RebootSystem(platform::IRestart& restart, platform::IPrompt& prompt);
void ReportShutdownFailure(platform::IPrompt& prompt);

}  // namespace quorvel::install
