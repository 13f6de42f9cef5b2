// System and driver detection: what the System information page shows, the two flags and the
// fate of the settings tab; and the manual choice of the driver generation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Prompt.h"
#include "platform/System.h"
#include "registry/DriverKeys.h"
#include "registry/mdlRegistry.h"

namespace quorvel::detect {

using registry::kClassRoot;
using registry::kServiceKey;
inline constexpr const char* kDriverDownloadAddress = "http://www.nvidia.com/Download/index.aspx";

inline constexpr const char* kSummarySuccess = "The fix should work properly.";
inline constexpr const char* kSummaryNotNt =
    "CRITICAL: You need a Windows NT platform such as NT/2000/XP to run this tool, since the 60 Hz "
    "bug does not exist on Non-NT operatings systems.";
inline constexpr const char* kSummaryDriverMissing =
    "CRITICAL: The Detonator driver was not found on your system. This patch does only work with "
    "the \"nVidia Detonator driver\" and it was tested with the official version.";
std::string SummaryFormatUnsupported();
std::string SummaryVersionMissing();
inline constexpr const char* kSummaryFormatInactive =
    "WARNING: Your driver does not have the new compressed mode format activated. The tool can "
    "activate it, but take it as a warning.";

inline constexpr const char* kOsNt = "Windows NT/2000/XP";
inline constexpr const char* kYes = "Yes";
inline constexpr const char* kNo = "No";

enum class SettingsTab { Keep, Rename40, Remove };

// What one detection run found. Absent optionals mean "not found": the label keeps its design
// text in red.
struct Findings {
    bool isNt = false;
    std::optional<std::string> deviceDescription;  // read when the service key exists
    std::optional<std::string> driverVersion;      // read from the last matching class key
                                                   // that has a non-empty version text
    bool formatCapable = false;                    // UseCompressedModeFormat exists
    bool formatActive = false;                     // ... and holds 1
    std::optional<bool> detonator40;               // from the version (IsGeneration40)
    SettingsTab settingsTab = SettingsTab::Keep;
    std::string summary = kSummarySuccess;
    bool summaryRed = false;
    bool offerGenerationChoice = false;
};

Findings GatherSystemInfo(registry::mdlRegistry& registry, platform::ISystemInfo& system);
// The driver's version text, as GatherSystemInfo finds it.
std::optional<std::string> FindDriverVersion(registry::mdlRegistry& registry);

// On Windows 2000 and XP a display driver's version is the INF's four-part version, and NVIDIA
// puts the release in its last field: "6.14.10.4523" is release 45.23. The release in
// hundredths (4523) for a text of that form, nothing for any other text.
std::optional<std::uint32_t> WindowsDriverRelease(const std::string& version);
// The 40.41 generation: a four-part version naming release 40.00 or later, or a release number
// whose first character is "4".
bool IsGeneration40(const std::string& version);
// What "Detonator version:" shows: the text as read, and the release of a four-part version in
// brackets, "6.14.10.4523 (45.23)".
std::string VersionCaption(const std::string& version);

// The manual generation choice: the notice shown before the settings tab is re-created.
inline constexpr const char* kChoiceTitle = "Choice of Detoantor version";
inline constexpr const char* kChoice40Line =
    "This will enable the \"Settings 40\" page, which will allow you to set refresh rates.";
inline constexpr const char* kChoice28Line =
    "This will enable the \"Settings\" page, which will allow you to set refresh rates.";
inline constexpr const char* kChoiceWarning =
    "IF YOU ARE NOT SURE, WHICH DETONATOR VERSION IS INSTALLED, CHOOSING A WRONG VERSION AND "
    "EXECUTING THE FIX WOULD INCREASE THE RISK OF HARDWARE DAMAGE! I WILL NOT TAKE ANY "
    "RESPONSIBILITY!";
std::string GenerationNoticeText(bool detonator40);
void ShowGenerationNotice(platform::IPrompt& prompt, bool detonator40);

}  // namespace quorvel::detect
