// Installing a mode table into the driver's registry keys, as a plan: every key and value it
// will write, the format question, the confirmation, and the writing itself.
#pragma once

#include <string>
#include <vector>

#include "platform/Prompt.h"
#include "registry/Plan.h"
#include "registry/mdlRegistry.h"

namespace quorvel::install {

struct InstallPlan {
    std::string strModeTable;
    // The NVIDIA display keys in enumeration order, then the service key; each with the 26 table
    // values and, when the format is switched on, UseCompressedModeFormat.
    std::vector<registry::PlannedKey> keys;
    std::string strDriverKey;  // the key the confirmation names: the last display key, if any
    bool switchFormatOn = false;
};

// Finds the display keys (one walk) and plans the table into every one and the service key.
InstallPlan PlanInstallation(const std::string& strModeTable, registry::mdlRegistry& registry);

// Adds UseCompressedModeFormat = 1 to every key of the plan.
void SwitchFormatOn(InstallPlan& plan);

// The format question, asked when the driver does not use the compressed mode format yet; a Yes
// switches it on in the plan.
void SettleFormat(InstallPlan& plan, bool blnCompressedActive, platform::IPrompt& prompt);

// The confirmation box naming the table and the key; true on Yes.
bool ConfirmInstallation(const InstallPlan& plan, platform::IPrompt& prompt);

// Writes every value of the plan in its order, its bytes as they stand (SetStringValue and
// SetDwordValue write the same); each failure shows its own box and marks its value failed.
// Returns how many failed.
std::size_t WritePlan(InstallPlan& plan, registry::mdlRegistry& registry);

}  // namespace quorvel::install
