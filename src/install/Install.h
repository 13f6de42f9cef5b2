// Installing a mode table into the driver's registry keys, and the restart that follows.
#pragma once

#include "modes/Catalogue.h"
#include "platform/Prompt.h"
#include "platform/System.h"
#include "registry/mdlRegistry.h"

namespace quorvel::install {

enum class InstallOutcome {
    Returned,     // the window stays open
    ProgramEnds,  // a restart was requested: unload the windows and end the program
};

struct InstallInputs {
    bool blnDetonator40 = false;       // selects the composer
    bool blnCompressedActive = false;  // when false, ask whether to switch the format on
    const modes::CompressedSelection& opt;
    const modes::HexSelection& cmb;
};

InstallOutcome InstallModeTable(const InstallInputs& inputs, registry::mdlRegistry& registry,
                                platform::IPrompt& prompt, platform::IRestart& restart);

// mdlShutdown: enables the shutdown privilege and requests a reboot; reports a failure in one box.
// Returns true when the reboot request was made.
bool RebootSystem(platform::IRestart& restart, platform::IPrompt& prompt);
void ReportShutdownFailure(platform::IPrompt& prompt);

}  // namespace quorvel::install
