// Knowing the monitor: EDID blocks, the timing formula, the limits from the device tree or typed
// in, the marks they put on the rates, the typed-in limits dialog and the Apply box.
#include <gtest/gtest.h>

#include <numeric>

#include "TestSupport.h"
#include "app/MonitorCheck.h"
#include "app/frmMainframe.h"
#include "app/frmMonitorLimits.h"
#include "monitor/Edid.h"
#include "monitor/Gtf.h"
#include "monitor/Limits.h"
#include "monitor/MonitorRegistry.h"

namespace quorvel {
namespace {

using monitor::RangeLimits;
using platform::kHkeyLocalMachine;
using platform::kIdNo;
using platform::kIdYes;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kOwnKey = "SOFTWARE\\Velkora\\Quorvel";
constexpr const char* kMonitorFixture = "monitor-70khz.reg";

// An EDID 1.3 base block laid out byte by byte after VESA E-EDID: header, vendor "ORV",
// version, analog input, then four 18-byte descriptors (a detailed timing, a serial number,
// the name, the range limits) and the checksum. While writing these tests, MakeEdid("Orvia 17P",
// {50, 160, 30, 70, 140}) was fed to Debian's edid-decode, which read "Display Product Name: 'Orvia
// 17P'", "Monitor ranges (GTF): 50-160 Hz V, 30-70 kHz H, max dotclock 140 MHz" and "EDID
// conformity: PASS"; the 1.4 blocks below it read as "305-415 Hz V, 285-325 kHz H" (flags 0x0F) and
// "50-415 Hz V, 30-325 kHz H" (flags 0x0A).
Bytes MakeEdid(const std::string& name, std::optional<RangeLimits> r, std::uint8_t rangeFlags = 0,
               std::uint8_t revision = 3) {
    Bytes b = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x3E, 0x56, 0x70, 0x17};
    b.resize(18);
    b.insert(b.end(), {1, revision, 0x0E, 32, 24, 0x78, 0xEB});
    b.resize(35, 0x01);  // colour characteristics, which nothing here reads
    b.resize(38, 0x00);  // no established timings
    b.resize(54, 0x01);  // standard timings: all unused
    // The preferred timing, 1024x768 at 85 Hz: a detailed timing, not a display descriptor.
    b.insert(b.end(), {0xEA, 0x24, 0x00, 0x60, 0x41, 0x00, 0x28, 0x30, 0x30, 0x60, 0x13, 0x00, 0x40,
                       0xF0, 0x10, 0x00, 0x00, 0x1E});
    const auto descriptor = [&b](std::uint8_t tag, std::uint8_t flags, Bytes body) {
        b.insert(b.end(), {0, 0, 0, tag, flags});
        body.resize(13, 0x20);
        b.insert(b.end(), body.begin(), body.end());
    };
    descriptor(0xFF, 0, {'H', '1', 'A', 'K', '5', 0x0A});
    Bytes text(name.begin(), name.end());
    text.push_back(0x0A);
    descriptor(name.empty() ? 0x10 : 0xFC, 0, name.empty() ? Bytes{} : text);
    const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
    descriptor(r ? 0xFD : 0x10, rangeFlags,
               r ? Bytes{u8(r->minVerticalHz), u8(r->maxVerticalHz), u8(r->minHorizontalKHz),
                         u8(r->maxHorizontalKHz), u8(r->maxPixelClockMHz / 10), 0x00, 0x0A}
                 : Bytes{});
    b.push_back(0);  // no extension blocks
    b.push_back(u8(256 - std::accumulate(b.begin(), b.end(), 0) % 256));
    return b;
}

// A parsed block as edid-decode words it: "Orvia 17P: 50-160 Hz V, 30-70 kHz H, 140 MHz".
std::string Decoded(const Bytes& block) {
    const auto info = monitor::ParseEdid(block);
    if (!info) {
        return "refused";
    }
    const auto& r = info->limits;
    return info->name + ": " +
           (!r ? "no limits"
               : std::to_string(r->minVerticalHz) + "-" + std::to_string(r->maxVerticalHz) +
                     " Hz V, " + std::to_string(r->minHorizontalKHz) + "-" +
                     std::to_string(r->maxHorizontalKHz) + " kHz H, " +
                     std::to_string(r->maxPixelClockMHz) + " MHz");
}

TEST(Edid, NameAndRangeLimitsFromAGoodBlockNothingFromABadOne) {
    const RangeLimits limits{50, 160, 30, 70, 140};
    Bytes badHeader = MakeEdid("Orvia 17P", limits);
    badHeader[1] = 0xFE;
    badHeader[127] += 1;  // the checksum still holds
    Bytes badSum = MakeEdid("Orvia 17P", limits);
    badSum[100] ^= 0x01;
    Bytes withExtension = MakeEdid("Orvia 17P", limits);
    withExtension.resize(256, 0xAA);
    Bytes shortBlock = MakeEdid("Orvia 17P", limits);
    shortBlock.pop_back();
    const struct {
        Bytes block;
        const char* decoded;
    } cases[] = {
        {MakeEdid("Orvia 17P", limits), "Orvia 17P: 50-160 Hz V, 30-70 kHz H, 140 MHz"},
        {withExtension, "Orvia 17P: 50-160 Hz V, 30-70 kHz H, 140 MHz"},
        {MakeEdid("", std::nullopt), ": no limits"},
        {MakeEdid("ABCDEFGHIJKLM", std::nullopt), "ABCDEFGHIJKLM: no limits"},
        {MakeEdid("X", limits, 0x0F, 4), "X: 305-415 Hz V, 285-325 kHz H, 140 MHz"},
        {MakeEdid("X", limits, 0x0A, 4), "X: 50-415 Hz V, 30-325 kHz H, 140 MHz"},
        {MakeEdid("X", limits, 0x0F, 3), "X: 50-160 Hz V, 30-70 kHz H, 140 MHz"},
        {badHeader, "refused"},
        {badSum, "refused"},
        {shortBlock, "refused"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decoded(c.block), c.decoded);
    }
}

// Reference values captured once from Debian 12's gtf utility (package xserver-xorg-core
// 2:21.1.7-3+deb12u13), "gtf WIDTH HEIGHT RATE": the "hsync" and "pclk" figures it prints.
TEST(Gtf, AgreesWithTheReferenceWithinATenth) {
    const struct {
        int width, height, rate;
        double kHz, mHz;
    } cases[] = {
        {320, 200, 60, 12.48, 4.19},      {512, 384, 85, 34.34, 22.53},
        {640, 480, 60, 29.82, 23.86},     {640, 480, 120, 61.80, 52.41},
        {800, 600, 100, 63.60, 68.18},    {848, 480, 85, 42.92, 47.39},
        {1024, 768, 85, 68.60, 94.39},    {1152, 864, 100, 91.50, 143.47},
        {1280, 1024, 85, 91.38, 159.36},  {1600, 1200, 85, 107.10, 234.76},
        {1920, 1440, 75, 112.73, 297.59}, {2048, 1536, 240, 425.04, 1230.92},
    };
    for (const auto& c : cases) {
        const monitor::ModeNeeds needs = monitor::GtfNeeds(c.width, c.height, c.rate);
        EXPECT_NEAR(needs.horizontalKHz, c.kHz, 0.1) << c.width << "x" << c.height << "@" << c.rate;
        EXPECT_NEAR(needs.pixelClockMHz, c.mHz, 0.1) << c.width << "x" << c.height << "@" << c.rate;
    }
}

class MonitorTest : public ::testing::Test {
  protected:
    // Another monitor instance under the device tree; in use when it has a Control subkey.
    void AddMonitor(const std::string& model, const Bytes& edid, bool inUse) {
        const std::string path = std::string(monitor::kDisplayEnumRoot) + "\\" + model + "\\1&0";
        world.registry.PutValue(kHkeyLocalMachine, path + "\\Device Parameters", "EDID",
                                {platform::kRegBinary, edid});
        if (inUse) {
            world.registry.PutKey(kHkeyLocalMachine, path + "\\Control");
        }
    }
    void Type(const char* name, std::uint32_t value) {
        world.registry.PutValue(kHkeyLocalMachine, kOwnKey, name, platform::sim::DwordValue(value));
    }
    std::string MonitorLine() {
        return monitor::MonitorLineText(
            monitor::CombineLimits(monitor::ReadMonitorEdids(world.registry).edids,
                                   monitor::ReadTypedLimits(registry, kOwnKey)));
    }
    testing::SimWorld world;
    registry::mdlRegistry registry{world.registry, world.prompt};
};

// Enum keys whose ACLs deny reading, as they do on real systems: no box, and the line says why
// nothing is known.
TEST_F(MonitorTest, MonitorsThatCannotBeReadShowNoBoxAndSaySo) {
    world.Load(kMonitorFixture);
    world.registry.DenyAccess(kHkeyLocalMachine, monitor::kDisplayEnumRoot,
                              platform::kKeyEnumerateSubKeys);
    app::MonitorCheck check;
    check.Read(world.registry, registry);
    EXPECT_EQ(check.LineText(), "EDID unreadable");
    EXPECT_TRUE(world.prompt.Shown().empty());
}

TEST_F(MonitorTest, TheMonitorsInUseGiveTheTightestLimitsAndAllTheirNames) {
    world.Load(kMonitorFixture);
    EXPECT_EQ(MonitorLine(), "Orvia 17P\r\nmax. 70 kHz, 160 Hz, 140 MHz (EDID)");

    AddMonitor("LUM1900", MakeEdid("Lumeta 19", RangeLimits{50, 150, 30, 96, 230}), true);
    AddMonitor("LUM0000", MakeEdid("", RangeLimits{50, 200, 30, 90, 250}), true);
    Bytes broken = MakeEdid("Broken", RangeLimits{50, 60, 30, 31, 30});
    broken[127] += 1;
    AddMonitor("BRK0001", broken, true);
    EXPECT_EQ(MonitorLine(),
              "LUM0000, Lumeta 19, Orvia 17P\r\nmax. 70 kHz, 150 Hz, 140 MHz (EDID)");
}

TEST_F(MonitorTest, WithNoMonitorMarkedInUseEveryListedOneCounts) {
    world.Load(kMonitorFixture);
    world.registry.DeleteKey(
        kHkeyLocalMachine,
        std::string(monitor::kDisplayEnumRoot) + "\\ORV1770\\4&2a0b5f3c&0&80000000&01&00\\Control");
    EXPECT_EQ(MonitorLine(), "Orvia 15S, Orvia 17P\r\nmax. 54 kHz, 120 Hz, 80 MHz (EDID)");
}

TEST(RuledOut, SaysWhatTheModeNeedsAndWhatTheMonitorAllows) {
    monitor::MonitorLimits kHzOnly;
    kHzOnly.maxHorizontalKHz = {70, monitor::Source::TypedIn};
    monitor::MonitorLimits all = kHzOnly;
    all.maxRefreshHz = {160, monitor::Source::Edid};
    all.maxPixelClockMHz = {140, monitor::Source::Edid};
    const struct {
        int width, height, rate;
        const monitor::MonitorLimits& limits;
        const char* text;
    } cases[] = {
        {1600, 1200, 85, kHzOnly, "1600x1200 at 85 Hz needs 107.1 kHz; this monitor allows 70 kHz"},
        {1024, 768, 85, kHzOnly, ""},  // 68.6 kHz
        {1600, 1200, 85, all,
         "1600x1200 at 85 Hz needs 107.1 kHz and 234.8 MHz; this monitor allows 70 kHz and 140 "
         "MHz"},
        {400, 300, 170, all, "400x300 at 170 Hz needs 170 Hz; this monitor allows 160 Hz"},
        {400, 300, 160, all, ""},
        {1600, 1200, 85, monitor::MonitorLimits{}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(monitor::RuledOutText(c.width, c.height, c.rate, c.limits), c.text);
    }
}

class MonitorFormTest : public MonitorTest {
  protected:
    void Start(const char* fixture) {
        world.Load(fixture);
        form.Form_Load();
    }
    std::size_t Row(int width, int height) {
        for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
            if (modes::kCatalogue[row].width == width && modes::kCatalogue[row].height == height) {
                return row;
            }
        }
        return 0;
    }
    app::frmMainframe form{world.platform};
    testing::Dialogs dialogs;
};

TEST_F(MonitorFormTest, MarksTheRuledOutRatesOnBothPages) {
    Start(kMonitorFixture);
    EXPECT_EQ(form.lblMonitor.foreColor, app::kFindingColour);
    const std::size_t row = Row(1600, 1200);
    EXPECT_EQ(form.monitor.OptionRuledOut(Row(1280, 1024), 0), "");  // 63.6 kHz, 108.9 MHz
    EXPECT_EQ(form.monitor.OptionRuledOut(row, 0),
              "1600x1200 at 60 Hz needs 74.5 kHz and 161.0 MHz; this monitor allows 70 kHz and "
              "140 MHz");
    EXPECT_NE(form.monitor.ItemRuledOut(row, 5), "");
    EXPECT_EQ(form.monitor.ItemRuledOut(row, 0), "");  // "<None>"
    // The list explains every rate it draws grey, whichever is selected.
    EXPECT_EQ(form.monitor.ListToolTip(Row(400, 300)),
              "Grey in the list, beyond this monitor's max. 70 kHz, 160 Hz, 140 MHz (EDID):\r\n"
              "170 Hz needs 170 Hz\r\n200 Hz needs 200 Hz\r\n240 Hz needs 83.3 kHz and 240 Hz");
}

TEST_F(MonitorFormTest, NoLimitsKnownWithoutEdidOrWithOutOfRangeTypedValues) {
    Type("MaxHorizontalKHz", 0);
    Type("MaxRefreshHz", 5000);
    Start("driver-40.41.reg");
    EXPECT_EQ(form.lblMonitor.caption, "No limits known");
    // It only informs: red is for problems.
    EXPECT_EQ(form.lblMonitor.foreColor, app::kFindingColour);
    Type("MaxRefreshHz", 85);
    EXPECT_EQ(MonitorLine(), "max. 85 Hz (typed in)");
}

const std::string kBoxClosing =
    "A monitor cannot show a mode beyond its limits: the screen may stay black, and an old "
    "monitor may even be damaged. If the limits are wrong, correct them under \"Monitor "
    "limits...\" in the File menu. Proceed?";

TEST_F(MonitorFormTest, ApplyAsksAfterTheWarningsAndBeforeTheInstallation) {
    Start(kMonitorFixture);
    form.PickListItem(Row(1600, 1200), testing::Item(85));
    form.PickListItem(Row(1024, 768), testing::Item(100));
    form.PickListItem(Row(640, 480), testing::Item(60));
    world.prompt.Expect("Error", kIdYes).Expect("Monitor limits", kIdNo);
    form.cmdApply40_Click();
    ASSERT_EQ(world.prompt.Shown().size(), 2u);
    EXPECT_EQ(world.prompt.Shown()[1].style,
              platform::kMbYesNo | platform::kMbIconHand | platform::kMbDefButton2);
    EXPECT_EQ(world.prompt.Shown()[1].text,
              "WARNING: These modes are beyond the limits known for your monitor:\r\n\r\n"
              "1024x768 at 100 Hz needs 81.4 kHz; this monitor allows 70 kHz\r\n"
              "1600x1200 at 85 Hz needs 107.1 kHz and 234.8 MHz; this monitor allows 70 kHz and "
              "140 MHz\r\n\r\n" +
                  kBoxClosing);

    world.prompt.Clear();
    world.prompt.Expect("Error", kIdYes)
        .Expect("Monitor limits", kIdYes)
        .Expect("The final frontier", kIdNo);
    form.cmdApply40_Click();
    EXPECT_EQ(world.prompt.PendingCount(), 0u);
}

TEST_F(MonitorFormTest, TypedLimitsDriveTheBoxOnTheCompressedPage) {
    Type("MaxRefreshHz", 75);
    Start("driver-28.32.reg");
    EXPECT_EQ(form.lblMonitor.caption, "max. 75 Hz (typed in)");
    form.ClickRateOption(Row(640, 480), 4);  // 85 Hz
    world.prompt.Expect("Monitor limits", kIdNo);
    form.cmdApply_Click();
    ASSERT_EQ(world.prompt.Shown().size(), 1u);
    EXPECT_NE(world.prompt.Shown()[0].text.find(
                  "\r\n\r\n640x480 at 85 Hz needs 85 Hz; this monitor allows 75 Hz\r\n\r\n"),
              std::string::npos);
}

TEST(MonitorLimitsDialog, AcceptsEmptyOrInRangeWholeNumbersAndNamesTheBadField) {
    const char* kHzError =
        "The maximum horizontal frequency must be a whole number from 15 to 250 kHz, or empty.";
    const char* hzError =
        "The maximum refresh rate must be a whole number from 50 to 300 Hz, or empty.";
    using Field = app::frmMonitorLimits::Field;
    const struct {
        const char* kHz;
        const char* hz;
        const char* error;  // nullptr: accepted
        Field focus;
        monitor::TypedLimits accepted;
    } cases[] = {
        {"", "", nullptr, Field::MaxHorizontalKHz, {}},
        {" 70\t", "85", nullptr, Field::MaxHorizontalKHz, {70, 85}},
        {"15", "300", nullptr, Field::MaxHorizontalKHz, {15, 300}},
        {"7x", "", kHzError, Field::MaxHorizontalKHz, {}},
        {"0", "", kHzError, Field::MaxHorizontalKHz, {}},
        {"251", "", kHzError, Field::MaxHorizontalKHz, {}},
        {"70", "49", hzError, Field::MaxRefreshHz, {}},
    };
    for (const auto& c : cases) {
        testing::SimWorld world;
        if (c.error) {
            world.prompt.Expect("Monitor limits", platform::kIdOk);
        }
        app::frmMonitorLimits dialog(world.prompt, {});
        dialog.txtMaxHorizontalKHz = c.kHz;
        dialog.txtMaxRefreshHz = c.hz;
        dialog.cmdOK_Click();
        EXPECT_EQ(dialog.closed, c.error == nullptr) << c.kHz << "/" << c.hz;
        if (c.error) {
            EXPECT_EQ(world.prompt.Shown().at(0).text, c.error);
            EXPECT_EQ(world.prompt.Shown()[0].style,
                      platform::kMbOk | platform::kMbIconExclamation);
            EXPECT_EQ(dialog.focus, c.focus) << c.kHz << "/" << c.hz;
        } else {
            EXPECT_EQ(dialog.typedLimits.maxHorizontalKHz, c.accepted.maxHorizontalKHz);
            EXPECT_EQ(dialog.typedLimits.maxRefreshHz, c.accepted.maxRefreshHz);
        }
    }
}

TEST_F(MonitorFormTest, TheMenuCommandStoresWhatTheDialogAcceptsAndClearsEmptyFields) {
    Start(kMonitorFixture);
    std::string kHz = "64";
    form.dialogs = &dialogs;
    dialogs.limits = [&kHz](app::frmMonitorLimits& dialog) {
        EXPECT_EQ(dialog.txtMaxRefreshHz, "");
        dialog.txtMaxHorizontalKHz = kHz;
        dialog.cmdOK_Click();
    };
    form.mnuMonitorLimits_Click();
    EXPECT_EQ(world.registry.GetValue(kHkeyLocalMachine, kOwnKey, "MaxHorizontalKHz")->data,
              platform::sim::DwordValue(64).data);
    EXPECT_EQ(form.lblMonitor.caption,
              "Orvia 17P\r\nmax. 64 kHz (typed in), 160 Hz, 140 MHz (EDID)");

    kHz = "";
    form.mnuMonitorLimits_Click();
    EXPECT_FALSE(world.registry.GetValue(kHkeyLocalMachine, kOwnKey, "MaxHorizontalKHz"));
    EXPECT_EQ(form.lblMonitor.caption, "Orvia 17P\r\nmax. 70 kHz, 160 Hz, 140 MHz (EDID)");

    dialogs.limits = [](app::frmMonitorLimits& dialog) {
        dialog.txtMaxHorizontalKHz = "50";
        dialog.cmdCancel_Click();
    };
    form.mnuMonitorLimits_Click();
    EXPECT_FALSE(world.registry.GetValue(kHkeyLocalMachine, kOwnKey, "MaxHorizontalKHz"));
}

}  // namespace
}  // namespace quorvel
