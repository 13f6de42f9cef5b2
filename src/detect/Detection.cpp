// Detection of the operating system and the NVIDIA driver, and the generation notice.
#include "detect/Detection.h"

namespace quorvel::detect {

using platform::kHkeyLocalMachine;

std::string SummaryFormatUnsupported() {
    return std::string(
               "CRITICAL: A Detonator driver was found, though it does not support the new "
               "compressed mode format. Please obtain the newest official \"nVidia Detonator "
               "driver\" from \"") +
           kDriverDownloadAddress + "\".";
}

std::string SummaryVersionMissing() {
    return "CRITICAL: Somehow the detonator driver was detected, but the fix tool could not parse "
           "the registry for its version.\r\n\r\nAnyway, it is possible to choose refresh rates, "
           "but therefore you have to manually choose the detonator version that is most "
           "appropriate for you:";
}

namespace {

// Walks the device classes; the last "0000" instance whose description equals the service key's
// supplies the version.
std::optional<std::string> FindDriverVersion(registry::mdlRegistry& reg) {
    std::optional<std::string> version;
    std::string strClassName = "SUBKEY";
    for (std::int32_t lngClassIndex = 0; !strClassName.empty(); ++lngClassIndex) {
        strClassName = reg.EnumSubKey(kHkeyLocalMachine, kClassRoot, lngClassIndex);
        if (strClassName.empty()) {
            break;
        }
        const std::string classKey = std::string(kClassRoot) + "\\" + strClassName + "\\0000";
        // Each test runs only when the one before held; the description is read afresh for
        // every comparison.
        if (reg.KeyExists(kHkeyLocalMachine, classKey) &&
            reg.ValueExists(kHkeyLocalMachine, classKey, "DriverDesc") &&
            reg.GetStringValue(kHkeyLocalMachine, classKey, "DriverDesc") ==
                reg.GetStringValue(kHkeyLocalMachine, kServiceKey, "Device Description") &&
            reg.ValueExists(kHkeyLocalMachine, classKey, "DriverVersion")) {
            version = reg.GetStringValue(kHkeyLocalMachine, classKey, "DriverVersion");
        }
    }
    return version;
}

}  // namespace

Findings GatherSystemInfo(registry::mdlRegistry& reg, platform::ISystemInfo& system) {
    Findings f;
    bool blnDriverMissing = false;
    bool blnFormatUnsupported = false;
    bool blnFormatInactive = false;

    f.isNt = system.GetPlatformId() == platform::kVerPlatformWin32Nt;

    if (!reg.KeyExists(kHkeyLocalMachine, kServiceKey)) {
        blnDriverMissing = true;
    } else {
        f.deviceDescription =
            reg.GetStringValue(kHkeyLocalMachine, kServiceKey, "Device Description");
        f.driverVersion = FindDriverVersion(reg);

        if (reg.ValueExists(kHkeyLocalMachine, kServiceKey, registry::kUseCompressedModeFormat)) {
            f.formatCapable = true;
            f.formatActive = reg.GetDwordValue(kHkeyLocalMachine, kServiceKey,
                                               registry::kUseCompressedModeFormat) == 1;
            blnFormatInactive = !f.formatActive;
        } else {
            blnFormatUnsupported = true;
        }

        // Only the first character counts: "4" means the 40.41 generation.
        if (f.driverVersion && !f.driverVersion->empty()) {
            f.detonator40 = (*f.driverVersion)[0] == '4';
        }
    }
    const bool blnVersionMissing = !blnDriverMissing && !f.driverVersion;

    if (f.detonator40.value_or(false)) {
        f.settingsTab = SettingsTab::Rename40;
    }
    const bool critical = !f.isNt || blnDriverMissing || blnFormatUnsupported || blnVersionMissing;
    if (critical) {
        f.settingsTab = SettingsTab::Remove;
        f.summaryRed = true;
    }
    if (!f.isNt) {
        f.summary = kSummaryNotNt;
    } else if (blnDriverMissing) {
        f.summary = kSummaryDriverMissing;
    } else if (blnFormatUnsupported) {
        f.summary = SummaryFormatUnsupported();
    } else {
        if (blnVersionMissing) {
            f.summary = SummaryVersionMissing();
            f.offerGenerationChoice = true;
        }
        if (blnFormatInactive) {
            f.summary = kSummaryFormatInactive;
            f.summaryRed = true;
        }
    }
    return f;
}

std::string GenerationNoticeText(bool detonator40) {
    return std::string(detonator40 ? kChoice40Line : kChoice28Line) + "\r\n\r\n" + kChoiceWarning;
}

void ShowGenerationNotice(platform::IPrompt& prompt, bool detonator40) {
    // The notice informs; its answer changes nothing.
    prompt.Show(GenerationNoticeText(detonator40), kChoiceTitle,
                platform::kMbOk | platform::kMbIconHand);
}

}  // namespace quorvel::detect
