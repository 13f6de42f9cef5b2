// The installation's plan, its two questions and its writes.
#include "install/Install.h"

#include "registry/DriverKeys.h"
#include "text/CrLf.h"

namespace quorvel::install {

using platform::kHkeyLocalMachine;

namespace {

using registry::kModesDeltaValues;
using registry::kRootName;
using registry::kServiceKey;
using registry::kUseCompressedModeFormat;

using text::kCrLf;

constexpr const char* kFormatQuestionTitle = "Almost there";
constexpr const char* kFormatQuestionText =
    "Your driver is NOT using the compressed mode format. However, it is capable of using it. In "
    "order for the fix to work, compressed mode format must be used. Should the fix turn it on?";

constexpr const char* kConfirmationTitle = "The final frontier";
constexpr const char* kConfirmationTableHeading = "Resolution table:";
constexpr const char* kConfirmationKeyHeading = "Registry key:";
constexpr const char* kConfirmationQuestion =
    "The tool has gathered enough information to alter the refresh rate settings. Note, that this "
    "action will delete your old refresh rate settings. Note also, that resolutions, which were "
    "not given a refresh rate setting by you, might not be available anymore after execution of "
    "this fix. Proceed on your own risk?";

registry::PlannedKey TableKey(const std::string& keyPath, const std::string& strModeTable) {
    registry::PlannedKey key{keyPath, {}};
    for (const char* valueName : kModesDeltaValues) {
        key.values.push_back({valueName, registry::StringData(strModeTable), std::nullopt});
    }
    return key;
}

}  // namespace

InstallPlan PlanInstallation(const std::string& strModeTable, registry::mdlRegistry& registry) {
    InstallPlan plan{strModeTable, {}, kServiceKey, false};
    for (const std::string& path : registry::DisplayKeys(registry)) {
        plan.keys.push_back(TableKey(path, strModeTable));
        plan.strDriverKey = path;
    }
    plan.keys.push_back(TableKey(kServiceKey, strModeTable));
    return plan;
}

void SwitchFormatOn(InstallPlan& plan) {
    if (plan.switchFormatOn) {
        return;
    }
    plan.switchFormatOn = true;
    for (registry::PlannedKey& key : plan.keys) {
        key.values.push_back({kUseCompressedModeFormat, registry::DwordData(1), std::nullopt});
    }
}

void SettleFormat(InstallPlan& plan, bool blnCompressedActive, platform::IPrompt& prompt) {
    if (!blnCompressedActive &&
        prompt.Show(kFormatQuestionText, kFormatQuestionTitle,
                    platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes) {
        SwitchFormatOn(plan);
    }
}

bool ConfirmInstallation(const InstallPlan& plan, platform::IPrompt& prompt) {
    std::string text = kConfirmationTableHeading;
    text += kCrLf;
    text += "\"" + plan.strModeTable + "\"";
    text += kCrLf;
    text += kCrLf;
    text += kConfirmationKeyHeading;
    text += kCrLf;
    text += std::string(kRootName) + "\\" + plan.strDriverKey;
    text += kCrLf;
    text += kCrLf;
    text += kConfirmationQuestion;
    return prompt.Show(text, kConfirmationTitle,
                       platform::kMbYesNo | platform::kMbIconInformation) == platform::kIdYes;
}

std::size_t WritePlan(InstallPlan& plan, registry::mdlRegistry& registry) {
    std::size_t failed = 0;
    for (registry::PlannedKey& key : plan.keys) {
        for (registry::PlannedValue& value : key.values) {
            value.failed =
                !registry.WriteValue(kHkeyLocalMachine, key.keyPath, value.name, *value.next);
            failed += value.failed ? 1 : 0;
        }
    }
    return failed;
}

}  // namespace quorvel::install
