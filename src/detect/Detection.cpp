// Detection of the operating system and the NVIDIA driver, and the generation notice.
#include "detect/Detection.h"

#include "text/Concat.h"
#include "text/Numbers.h"

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

// Walks the device classes; the last "0000" instance whose description equals the service key's
// and whose version text is not empty supplies the version.
std::optional<std::string> FindDriverVersion(registry::mdlRegistry& reg) {
    std::optional<std::string> version;
    std::string strClassName = "SUBKEY";
    for (std::int32_t lngClassIndex = 0; !strClassName.empty(); ++lngClassIndex) {
        strClassName = reg.EnumSubKey(kHkeyLocalMachine, kClassRoot, lngClassIndex);
        if (strClassName.empty()) {
            break;
        }
        if (!registry::IsJoinableName(strClassName)) {
            continue;
        }
        const std::string classKey = text::Concat({kClassRoot, "\\", strClassName, "\\0000"});
        // Each test runs only when the one before held. Both descriptions are read afresh for
        // every comparison, the class key's first, so that their error boxes come in that order.
        if (!reg.KeyExists(kHkeyLocalMachine, classKey) ||
            !reg.ValueExists(kHkeyLocalMachine, classKey, "DriverDesc")) {
            continue;
        }
        const std::string classDescription =
            reg.GetStringValue(kHkeyLocalMachine, classKey, "DriverDesc");
        const std::string serviceDescription =
            reg.GetStringValue(kHkeyLocalMachine, kServiceKey, "Device Description");
        if (classDescription != serviceDescription ||
            !reg.ValueExists(kHkeyLocalMachine, classKey, "DriverVersion")) {
            continue;
        }
        // An empty text (or one whose read failed and was reported) names no version: it
        // must not pass for one and give a 40.41 driver a 28.32 table.
        std::string text = reg.GetStringValue(kHkeyLocalMachine, classKey, "DriverVersion");
        if (!text.empty()) {
            version = std::move(text);
        }
    }
    return version;
}

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

        if (f.driverVersion) {
            f.detonator40 = IsGeneration40(*f.driverVersion);
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

std::optional<std::uint32_t> WindowsDriverRelease(const std::string& version) {
    // Four dot-separated decimal fields, the last of exactly four digits: "6.14.10.4523".
    std::size_t start = 0;
    for (int field = 0; field < 4; ++field) {
        const std::size_t dot = version.find('.', start);
        const bool last = field == 3;
        if (last != (dot == std::string::npos)) {
            return std::nullopt;
        }
        const std::string_view digits =
            std::string_view(version).substr(start, last ? std::string::npos : dot - start);
        const auto value = text::ParseDecimal(digits);
        if (!value || (last && digits.size() != 4)) {
            return std::nullopt;
        }
        if (last) {
            return *value;
        }
        start = dot + 1;
    }
    return std::nullopt;
}

bool IsGeneration40(const std::string& version) {
    if (const auto release = WindowsDriverRelease(version)) {
        return *release >= 4000;
    }
    // A release number as the driver names it ("40.41", "28.32"): only the first character
    // counts, and "4" means the 40.41 generation.
    return !version.empty() && version[0] == '4';
}

std::string VersionCaption(const std::string& version) {
    const auto release = WindowsDriverRelease(version);
    if (!release) {
        return version;
    }
    return text::Concat(
        {version, " (", text::Decimal(*release / 100), ".", text::Decimal(*release % 100, 2), ")"});
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
