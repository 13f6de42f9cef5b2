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
                                  "Settings", detect::kSummarySuccess, false, false}),
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

TEST(Detection, FormatUnsupportedNamesTheVendorsDownloadAddress) {
    EXPECT_EQ(detect::SummaryFormatUnsupported(),
              "CRITICAL: A Detonator driver was found, though it does not support the new "
              "compressed mode format. Please obtain the newest official \"nVidia Detonator "
              "driver\" from \"http://www.nvidia.com/Download/index.aspx\".");
}

// The generation comes from the version's first character alone.
struct GenerationCase {
    const char* version;
    bool detonator40;
    const char* hexLabel;
    const char* tab;
};

class Generation : public ::testing::TestWithParam<GenerationCase> {};

TEST_P(Generation, FromTheFirstCharacterOfTheVersion) {
    const GenerationCase& c = GetParam();
    SimWorld world;
    world.Load("driver-28.32.reg");
    world.registry.PutValue(kHkeyLocalMachine, kFixtureClassKey, "DriverVersion",
                            platform::sim::StringValue(c.version));
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.blnDetonator40, c.detonator40);
    EXPECT_EQ(form.lblDetVer.caption, c.version);
    EXPECT_EQ(form.lblFormatHexadecimal.caption, c.hexLabel);
    ASSERT_EQ(form.tbsMain.Count(), 3);
    EXPECT_EQ(form.tbsMain.Item(3).caption, c.tab);
    EXPECT_EQ(form.tbsMain.Item(3).toolTip, "Set the refresh rates.");
}

INSTANTIATE_TEST_SUITE_P(Versions, Generation,
                         ::testing::Values(GenerationCase{"40.41", true, "Yes", "Settings 40"},
                                           GenerationCase{"4", true, "Yes", "Settings 40"},
                                           GenerationCase{"28.32", false, "No", "Settings"},
                                           GenerationCase{" 40.41", false, "No", "Settings"},
                                           GenerationCase{"61.77", false, "No", "Settings"}));

TEST(Detection, AnEmptyVersionTextIsFoundButDecidesNoGeneration) {
    SimWorld world;
    world.Load("driver-28.32.reg");
    world.registry.PutValue(kHkeyLocalMachine, kFixtureClassKey, "DriverVersion",
                            platform::sim::StringValue(""));
    frmMainframe form(world.platform);
    form.Form_Load();
    EXPECT_EQ(form.lblDetVer.caption, "");
    EXPECT_EQ(form.lblDetVer.foreColor, kFindingColour);
    EXPECT_EQ(form.lblFormatHexadecimal.caption, "Not found");
    EXPECT_FALSE(form.blnDetonator40);
    EXPECT_EQ(form.tbsMain.Count(), 3);
    EXPECT_EQ(form.lblSummary.caption, detect::kSummarySuccess);
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
        for (const auto& text : form.cmb) {
            EXPECT_EQ(text, "<None>");
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
