// Start-up and detection on fixture machines: the verdict, the findings on the System
// information page, the flags and the settings tab.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/frmMainframe.h"
#include "detect/Detection.h"

namespace quorvel {
namespace {

using app::frmMainframe;
using app::kFindingColour;
using app::kRed;
using platform::kHkeyLocalMachine;
using platform::kVerPlatformWin32Nt;
using platform::kVerPlatformWin32Windows;
using testing::SimWorld;

const char* const kService = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
// The adapter's class instance in the fixtures.
const char* const kFixtureClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{6B1D2F40-8C3E-4A57-9F12-3E5D7A9C0B84}\\0000";

struct VerdictCase {
    const char* name;
    const char* fixture;
    std::uint32_t platformId;
    const char* settingsTab;  // nullptr: removed
    std::string summary;
    bool summaryRed;
    bool choiceOffered;
};

class Verdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, SettingsTabSummaryAndChoice) {
    const VerdictCase& c = GetParam();
    SimWorld world;
    world.Load(c.fixture);
    world.system.SetPlatformId(c.platformId);
    frmMainframe form(world.platform);
    form.Form_Load();

    if (c.settingsTab) {
        ASSERT_EQ(form.tbsMain.Count(), 3);
        EXPECT_EQ(form.tbsMain.Item(3).caption, c.settingsTab);
    } else {
        EXPECT_EQ(form.tbsMain.Count(), 2);
    }
    EXPECT_EQ(form.lblSummary.caption, c.summary);
    EXPECT_EQ(form.lblSummary.foreColor, c.summaryRed ? kRed : kFindingColour);
    EXPECT_EQ(form.obtVerError40.visible, c.choiceOffered);
    EXPECT_EQ(form.obtVerError28.visible, c.choiceOffered);
    EXPECT_TRUE(world.prompt.Shown().empty());
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
    // Detection never changes the page in view.
    EXPECT_TRUE(form.fmeIntroVisible);
    EXPECT_EQ(form.tbsMain.selectedIndex, 1);
}

INSTANTIATE_TEST_SUITE_P(
    OutcomeRows, Verdict,
    ::testing::Values(VerdictCase{"NotNt", "driver-40.41.reg", kVerPlatformWin32Windows, nullptr,
                                  detect::kSummaryNotNt, true, false},
                      VerdictCase{"NoServiceKey", "none.reg", kVerPlatformWin32Nt, nullptr,
                                  detect::kSummaryDriverMissing, true, false},
                      VerdictCase{"NoFormatValue", "format-unsupported.reg", kVerPlatformWin32Nt,
                                  nullptr, detect::SummaryFormatUnsupported(), true, false},
                      VerdictCase{"NoVersionFormatOn", "no-version.reg", kVerPlatformWin32Nt,
                                  nullptr, detect::SummaryVersionMissing(), true, true},
                      VerdictCase{"NoVersionFormatOff", "no-version-format-off.reg",
                                  kVerPlatformWin32Nt, nullptr, detect::kSummaryFormatInactive,
                                  true, true},
                      VerdictCase{"VersionFormatOff", "driver-40.41-format-off.reg",
                                  kVerPlatformWin32Nt, "Settings 40",
                                  detect::kSummaryFormatInactive, true, false},
                      VerdictCase{"VersionFormatOn40", "driver-40.41.reg", kVerPlatformWin32Nt,
                                  "Settings 40", detect::kSummarySuccess, false, false},
                      VerdictCase{"VersionFormatOn28", "driver-28.32.reg", kVerPlatformWin32Nt,
                                  "Settings", detect::kSummarySuccess, false, false},
                      VerdictCase{"Windows2000", "win2000.reg", kVerPlatformWin32Nt, "Settings",
                                  detect::kSummarySuccess, false, false},
                      VerdictCase{"WindowsXp", "xp.reg", kVerPlatformWin32Nt, "Settings 40",
                                  detect::kSummaryFormatInactive, true, false},
                      VerdictCase{"WindowsXpDualHead", "xp-dualhead.reg", kVerPlatformWin32Nt,
                                  "Settings 40", detect::kSummarySuccess, false, false}),
    [](const ::testing::TestParamInfo<VerdictCase>& info) { return info.param.name; });

TEST(Detection, FillsTheFindingsOfA4041DriverInTheFindingColour) {
    SimWorld world;
    world.Load("driver-40.41-format-off.reg");
    frmMainframe form(world.platform);
    form.Form_Load();

    const struct {
        const app::Label& label;
        const char* caption;
        app::Colour colour;
    } expected[] = {
        {form.lblOS, "Windows NT/2000/XP", kFindingColour},
        {form.lblDeviceDesc, "NVIDIA GeForce4 Ti 4200", kFindingColour},
        {form.lblDetVer, "40.41", kFindingColour},
        {form.lblFormatCapability, "Yes", kFindingColour},
        {form.lblFormatUsage, "No", kRed},
        {form.lblFormatHexadecimal, "Yes", kFindingColour},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.label.caption, e.caption);
        EXPECT_EQ(e.label.foreColor, e.colour) << e.caption;
    }
    EXPECT_TRUE(form.blnDetonator40);
    EXPECT_FALSE(form.blnCompressedActive);
}

TEST(Detection, NothingFoundLeavesTheDesignTextsInRed) {
    SimWorld world;
    world.Load("none.reg");
    world.system.SetPlatformId(kVerPlatformWin32Windows);
    frmMainframe form(world.platform);
    form.Form_Load();
    for (const app::Label* l :
         {&form.lblOS, &form.lblDeviceDesc, &form.lblDetVer, &form.lblFormatCapability,
          &form.lblFormatUsage, &form.lblFormatHexadecimal}) {
        EXPECT_EQ(l->foreColor, kRed) << l->caption;
    }
    EXPECT_EQ(form.lblOS.caption, "Windows 95/98/ME");
    EXPECT_EQ(form.lblDetVer.caption, "Not found");
    EXPECT_EQ(form.lblFormatHexadecimal.caption, "Not found");
    EXPECT_EQ(form.lblSummary.caption, detect::kSummaryNotNt);
}

// The texts users see, pinned once against their literal spelling.
TEST(Detection, SummaryAndNoticeTextsAreSpelledAsShipped) {
    const std::string notice =
        " page, which will allow you to set refresh rates.\r\n\r\nIF YOU ARE NOT SURE, WHICH "
        "DETONATOR VERSION IS INSTALLED, CHOOSING A WRONG VERSION AND EXECUTING THE FIX WOULD "
        "INCREASE THE RISK OF HARDWARE DAMAGE! I WILL NOT TAKE ANY RESPONSIBILITY!";
    const std::pair<std::string, std::string> texts[] = {
        {detect::kSummarySuccess, "The fix should work properly."},
        {detect::kSummaryNotNt,
         "CRITICAL: You need a Windows NT platform such as NT/2000/XP to run this tool, since the "
         "60 Hz bug does not exist on Non-NT operatings systems."},
        {detect::kSummaryDriverMissing,
         "CRITICAL: The Detonator driver was not found on your system. This patch does only work "
         "with the \"nVidia Detonator driver\" and it was tested with the official version."},
        {detect::SummaryFormatUnsupported(),
         "CRITICAL: A Detonator driver was found, though it does not support the new compressed "
         "mode format. Please obtain the newest official \"nVidia Detonator driver\" from "
         "\"http://www.nvidia.com/Download/index.aspx\"."},
        {detect::SummaryVersionMissing(),
         "CRITICAL: Somehow the detonator driver was detected, but the fix tool could not parse "
         "the registry for its version.\r\n\r\nAnyway, it is possible to choose refresh rates, "
         "but therefore you have to manually choose the detonator version that is most "
         "appropriate for you:"},
        {detect::kSummaryFormatInactive,
         "WARNING: Your driver does not have the new compressed mode format activated. The tool "
         "can activate it, but take it as a warning."},
        {detect::GenerationNoticeText(true), "This will enable the \"Settings 40\"" + notice},
        {detect::GenerationNoticeText(false), "This will enable the \"Settings\"" + notice},
        {detect::kChoiceTitle, "Choice of Detoantor version"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(t.first, t.second);
    }
}

// A four-part Windows version names its release in the last field; any other text counts by
// its first character.
struct GenerationCase {
    const char* version;
    bool detonator40;
    const char* caption;
};

class Generation : public ::testing::TestWithParam<GenerationCase> {};

TEST_P(Generation, FromTheReleaseOrTheFirstCharacter) {
    const GenerationCase& c = GetParam();
    SimWorld world;
    world.Load("driver-28.32.reg");
    world.registry.PutValue(kHkeyLocalMachine, kFixtureClassKey, "DriverVersion",
                            platform::sim::StringValue(c.version));
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.blnDetonator40, c.detonator40);
    EXPECT_EQ(form.lblDetVer.caption, c.caption);
    EXPECT_EQ(form.lblFormatHexadecimal.caption, c.detonator40 ? "Yes" : "No");
    ASSERT_EQ(form.tbsMain.Count(), 3);
    EXPECT_EQ(form.tbsMain.Item(3).caption, c.detonator40 ? "Settings 40" : "Settings");
    EXPECT_EQ(form.tbsMain.Item(3).toolTip, "Set the refresh rates.");
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Generation,
    ::testing::Values(GenerationCase{"40.41", true, "40.41"}, GenerationCase{"4", true, "4"},
                      GenerationCase{"28.32", false, "28.32"},
                      GenerationCase{" 40.41", false, " 40.41"},
                      GenerationCase{"61.77", false, "61.77"},
                      GenerationCase{"6.14.10.4523", true, "6.14.10.4523 (45.23)"},
                      GenerationCase{"6.14.10.4000", true, "6.14.10.4000 (40.00)"},
                      GenerationCase{"6.14.10.3999", false, "6.14.10.3999 (39.99)"},
                      GenerationCase{"5.13.01.2832", false, "5.13.01.2832 (28.32)"},
                      GenerationCase{"4.13.01.0712", false, "4.13.01.0712 (7.12)"},
                      // Not the four-part form: the first character decides.
                      GenerationCase{"4.14.10.452", true, "4.14.10.452"},
                      GenerationCase{"6.14.10.45230", false, "6.14.10.45230"},
                      GenerationCase{"6.14.4523", false, "6.14.4523"},
                      GenerationCase{"6.14.10.45a3", false, "6.14.10.45a3"},
                      GenerationCase{"6..10.4523", false, "6..10.4523"},
                      GenerationCase{"6.14.10.4523.", false, "6.14.10.4523."}));

// An empty version text, or one whose read failed, is no version: the same verdict as when no
// class key matches at all.
TEST(Detection, AnEmptyOrUnreadableVersionCountsAsMissing) {
    for (bool readFails : {false, true}) {
        SimWorld world;
        world.Load("driver-40.41.reg");
        if (readFails) {
            world.registry.InjectFailure(
                platform::sim::RegFailure{platform::sim::RegCall::Query, platform::kErrorMoreData,
                                          "\\0000", std::string("DriverVersion"), false});
            world.prompt.Expect("Error", platform::kIdOk);
        } else {
            world.registry.PutValue(kHkeyLocalMachine, kFixtureClassKey, "DriverVersion",
                                    platform::sim::StringValue(""));
        }
        frmMainframe form(world.platform);
        form.Form_Load();
        EXPECT_EQ(form.lblDetVer.caption, "Not found");
        EXPECT_EQ(form.lblDetVer.foreColor, kRed);
        EXPECT_EQ(form.lblFormatHexadecimal.caption, "Not found");
        EXPECT_EQ(form.tbsMain.Count(), 2);
        EXPECT_EQ(form.lblSummary.caption, detect::SummaryVersionMissing());
        EXPECT_TRUE(form.obtVerError40.visible);
        EXPECT_EQ(world.prompt.PendingCount(), 0u);
    }
}

// Without the class the fixtures add for Wine, the real layout alone: the display class's first
// instance, among two dozen other classes and a second adapter's instance.
TEST(Detection, FindsTheVersionInTheDisplayClassOfARealLayout) {
    for (const char* fixture : {"win2000.reg", "xp.reg"}) {
        SimWorld world;
        world.Load(fixture);
        world.registry.DeleteKey(kHkeyLocalMachine,
                                 "SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                 "{6B1D2F40-8C3E-4A57-9F12-3E5D7A9C0B84}");
        frmMainframe form(world.platform);
        form.Form_Load();
        EXPECT_EQ(form.lblDetVer.caption, std::string(fixture) == "xp.reg"
                                              ? "6.14.10.4523 (45.23)"
                                              : "5.13.01.2832 (28.32)");
        EXPECT_EQ(form.blnDetonator40, std::string(fixture) == "xp.reg");
    }
}

TEST(Detection, TheClassEnumeratedLastSuppliesTheVersion) {
    SimWorld world;
    world.Load("driver-28.32.reg");
    // Sorts after the display class, so it is examined later.
    const std::string later =
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{FFFF0000-0000-0000-0000-000000000001}\\0000";
    world.registry.PutValue(kHkeyLocalMachine, later, "DriverDesc",
                            platform::sim::StringValue("NVIDIA GeForce4 Ti 4200"));
    world.registry.PutValue(kHkeyLocalMachine, later, "DriverVersion",
                            platform::sim::StringValue("41.09"));
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.lblDetVer.caption, "41.09");
    EXPECT_TRUE(form.blnDetonator40);
}

TEST(Detection, ADescriptionDifferingOnlyInCaseDoesNotMatch) {
    SimWorld world;
    world.Load("driver-28.32.reg");
    world.registry.PutValue(kHkeyLocalMachine, kFixtureClassKey, "DriverDesc",
                            platform::sim::StringValue("nvidia geforce4 ti 4200"));
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.lblDetVer.caption, "Not found");
    EXPECT_EQ(form.tbsMain.Count(), 2);
    EXPECT_TRUE(form.obtVerError40.visible);
}

TEST(Detection, AFormatValueOtherThanOneCountsAsInactive) {
    for (std::uint32_t value : {0u, 2u, 0xFFFFFFFFu}) {
        SimWorld world;
        world.Load("driver-28.32.reg");
        world.registry.PutValue(kHkeyLocalMachine, kService, "UseCompressedModeFormat",
                                platform::sim::DwordValue(value));
        frmMainframe form(world.platform);
        form.Form_Load();
        EXPECT_EQ(form.lblFormatCapability.caption, "Yes") << value;
        EXPECT_EQ(form.lblFormatUsage.caption, "No") << value;
        EXPECT_FALSE(form.blnCompressedActive) << value;
        EXPECT_EQ(form.lblSummary.caption, detect::kSummaryFormatInactive) << value;
        EXPECT_EQ(form.tbsMain.Count(), 3) << value;
    }
}

TEST(Detection, AMissingDescriptionIsReportedAtEachReadAndMatchesAnEmptyClassDescription) {
    SimWorld world;
    world.Load("driver-28.32.reg");
    world.registry.DeleteKey(kHkeyLocalMachine, kService);
    world.registry.PutValue(kHkeyLocalMachine, kService, "UseCompressedModeFormat",
                            platform::sim::DwordValue(1));
    world.registry.PutValue(kHkeyLocalMachine, kFixtureClassKey, "DriverDesc",
                            platform::sim::StringValue(""));
    // One box for the description itself, one for the comparison with the one class key
    // that has a DriverDesc.
    world.prompt.Expect("Error", platform::kIdOk).Expect("Error", platform::kIdOk);
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.lblDeviceDesc.caption, "");
    EXPECT_EQ(form.lblDeviceDesc.foreColor, kFindingColour);
    EXPECT_EQ(form.lblDetVer.caption, "28.32");
    EXPECT_EQ(world.prompt.PendingCount(), 0u);
}

TEST(Detection, AClassKeyThatCannotBeReadIsReportedAndPassedOver) {
    SimWorld world;
    world.Load("driver-28.32.reg");
    world.registry.DenyAccess(kHkeyLocalMachine, kFixtureClassKey, platform::kKeyQueryValue);
    world.prompt.Expect("Error", platform::kIdOk);
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.lblDetVer.caption, "Not found");
    EXPECT_EQ(form.lblSummary.caption, detect::SummaryVersionMissing());
}

TEST(StartUp, WritesTheVersionRecordOnEveryStartWithoutAMessage) {
    SimWorld world;
    world.Load("driver-28.32.reg");
    for (int start = 0; start < 2; ++start) {
        frmMainframe form(world.platform);
        form.Form_Load();
        const auto value =
            world.registry.GetValue(kHkeyLocalMachine, "SOFTWARE\\Velkora\\Quorvel", "Version");
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, platform::kRegSz);
        EXPECT_EQ(std::string(value->data.begin(), value->data.end()), std::string("2.01 E\0", 7));
        for (int item : form.cmb) {
            EXPECT_EQ(item, 0);  // "<None>"
        }
    }
    EXPECT_TRUE(world.prompt.Shown().empty());
}

TEST(StartUp, ARefusedVersionRecordIsReportedAndStartUpGoesOn) {
    SimWorld world;
    world.Load("driver-40.41.reg");
    world.registry.PutKey(kHkeyLocalMachine, "SOFTWARE\\Velkora\\Quorvel");
    world.registry.DenyAccess(kHkeyLocalMachine, "SOFTWARE\\Velkora\\Quorvel",
                              platform::kKeyCreateSubKey | platform::kKeySetValue);
    world.prompt.Expect("Error", platform::kIdOk).Expect("Error", platform::kIdOk);
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(world.prompt.Shown().at(0).text,
              "Unknown Registry-error occured. System-response: Access is denied.\r\n");
    EXPECT_EQ(form.tbsMain.Item(3).caption, "Settings 40");
}

}  // namespace
}  // namespace quorvel
