// The set of platform services the program is handed at start-up (one composition root).
#pragma once

#include "platform/Files.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace quorvel::platform {

struct Platform {
    IRegistry& registry;
    IPrompt& prompt;
    ISystemInfo& system;
    IShell& shell;
    IRestart& restart;
    IFiles& files;
};

}  // namespace quorvel::platform
