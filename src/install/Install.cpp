// InstallModeTable: composes the mode table, finds the NVIDIA display keys, asks the user, writes
// the table into every key and offers the restart.
#include "install/Install.h"

#include <cstdint>
#include <string>

#include "modes/Composers.h"
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

constexpr const char* kCompletionTitle = "Completion";
constexpr const char* kCompletionText =
    "If no registry errors occured, everything should be fine. You'll have to reboot the system "
    "for the changes to take effect. Reboot now?";

void WriteModeTable(registry::mdlRegistry& registry, const std::string& strKeyPath,
                    const std::string& strModeTable, bool blnSwitchOnCompressed) {
    for (const char* valueName : kModesDeltaValues) {
        registry.SetStringValue(kHkeyLocalMachine, strKeyPath, valueName, strModeTable);
    }
    if (blnSwitchOnCompressed) {
        registry.SetDwordValue(kHkeyLocalMachine, strKeyPath, kUseCompressedModeFormat, 1);
    }
}

std::string ConfirmationText(const std::string& strModeTable, const std::string& strDriverKey) {
    std::string text = kConfirmationTableHeading;
    text += kCrLf;
    text += "\"" + strModeTable + "\"";
    text += kCrLf;
    text += kCrLf;
    text += kConfirmationKeyHeading;
    text += kCrLf;
    text += std::string(kRootName) + "\\" + strDriverKey;
    text += kCrLf;
    text += kCrLf;
    text += kConfirmationQuestion;
    return text;
}

}  // namespace

InstallOutcome InstallModeTable(const InstallInputs& inputs, registry::mdlRegistry& registry,
                                platform::IPrompt& prompt, platform::IRestart& restart) {
    std::string strDriverKey = kServiceKey;
    const std::string strModeTable = inputs.blnDetonator40
                                         ? modes::BuildHexModes(inputs.cmb)
                                         : modes::BuildCompressedModes(inputs.opt);

    registry::ForEachDisplayKey(registry, [&](const std::string& path) { strDriverKey = path; });

    bool blnSwitchOnCompressed = false;
    if (!inputs.blnCompressedActive) {
        blnSwitchOnCompressed =
            prompt.Show(kFormatQuestionText, kFormatQuestionTitle,
                        platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
    }

    if (prompt.Show(ConfirmationText(strModeTable, strDriverKey), kConfirmationTitle,
                    platform::kMbYesNo | platform::kMbIconInformation) != platform::kIdYes) {
        return InstallOutcome::Returned;
    }

    std::string completionLine;
    if (inputs.beforeWrite) {
        const std::optional<std::string> line = inputs.beforeWrite();
        if (!line) {
            return InstallOutcome::Returned;
        }
        completionLine = *line;
    }

    registry::ForEachDisplayKey(registry, [&](const std::string& path) {
        strDriverKey = path;
        WriteModeTable(registry, strDriverKey, strModeTable, blnSwitchOnCompressed);
    });
    WriteModeTable(registry, kServiceKey, strModeTable, blnSwitchOnCompressed);
    return OfferRestart(prompt, restart, completionLine);
}

InstallOutcome OfferRestart(platform::IPrompt& prompt, platform::IRestart& restart,
                            const std::string& extraLine) {
    const std::string text =
        extraLine.empty() ? std::string(kCompletionText) : kCompletionText + (kCrLf + extraLine);
    if (prompt.Show(text, kCompletionTitle, platform::kMbYesNo | platform::kMbIconQuestion) !=
        platform::kIdYes) {
        return InstallOutcome::Returned;
    }
    // The program ends even when the restart could not be requested; the box has said so.
    RebootSystem(restart, prompt);
    return InstallOutcome::ProgramEnds;
}

}  // namespace quorvel::install
