// The registry operations on the simulated registry: results, neutral results on failure, one
// box per failing call, and every opened key closed again.
#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.h"
#include "registry/mdlRegistry.h"

namespace quorvel {
namespace {

using platform::kHkeyLocalMachine;
using platform::kIdOk;
using platform::sim::RawValue;
using platform::sim::RegCall;
using platform::sim::RegFailure;
using platform::sim::StringValue;
using registry::mdlRegistry;

const char* const kKey = "SOFTWARE\\Test\\Key";

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world.registry.PutValue(kHkeyLocalMachine, kKey, "abc", StringValue("abc"));
        world.registry.PutValue(kHkeyLocalMachine, kKey, "empty", StringValue(""));
        world.registry.PutValue(kHkeyLocalMachine, kKey, "nul",
                                RawValue{platform::kRegSz, {'a', 'b', 0, 'c', 0}});
        world.registry.PutValue(kHkeyLocalMachine, kKey, "one", platform::sim::DwordValue(1));
        world.registry.PutValue(kHkeyLocalMachine, kKey, "minus",
                                platform::sim::DwordValue(0xFFFFFFFFu));
        world.registry.PutValue(kHkeyLocalMachine, kKey, "short",
                                RawValue{platform::kRegBinary, {0x34, 0x12}});
        world.registry.PutValue(kHkeyLocalMachine, kKey, "long",
                                RawValue{platform::kRegBinary, {1, 2, 3, 4, 5}});
        world.registry.PutValue(kHkeyLocalMachine, kKey, "multi",
                                platform::sim::MultiStringValue({"nv4_disp", "vga"}));
        world.registry.PutKey(kHkeyLocalMachine, std::string(kKey) + "\\Beta");
        world.registry.PutKey(kHkeyLocalMachine, std::string(kKey) + "\\alpha");
    }

    // Checks the boxes shown and that every key opened was closed.
    void ExpectBoxes(std::size_t count) {
        EXPECT_EQ(world.prompt.Shown().size(), count);
        EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
    }

    testing::SimWorld world;
    mdlRegistry reg{world.registry, world.prompt};
};

TEST_F(RegistryTest, ReadsWithoutAnyBox) {
    EXPECT_EQ(reg.GetStringValue(kHkeyLocalMachine, kKey, "abc"), "abc");
    EXPECT_EQ(reg.GetStringValue(kHkeyLocalMachine, kKey, "empty"), "");
    EXPECT_EQ(reg.GetStringValue(kHkeyLocalMachine, kKey, "nul"), "ab");
    EXPECT_EQ(reg.GetStringValue(kHkeyLocalMachine, kKey, "multi"), "nv4_disp");
    EXPECT_EQ(reg.GetDwordValue(kHkeyLocalMachine, kKey, "one"), 1);
    EXPECT_EQ(reg.GetDwordValue(kHkeyLocalMachine, kKey, "minus"), -1);
    EXPECT_EQ(reg.GetDwordValue(kHkeyLocalMachine, kKey, "short"), 0x1234);
    EXPECT_TRUE(reg.KeyExists(kHkeyLocalMachine, kKey));
    EXPECT_TRUE(reg.ValueExists(kHkeyLocalMachine, kKey, "long"));
    EXPECT_EQ(reg.EnumSubKey(kHkeyLocalMachine, kKey, 0), "alpha");
    EXPECT_EQ(reg.EnumSubKey(kHkeyLocalMachine, kKey, 1), "Beta");
    ExpectBoxes(0);
}

TEST_F(RegistryTest, TheEndOfAListAndAbsenceAreAnswersNotErrors) {
    EXPECT_EQ(reg.EnumSubKey(kHkeyLocalMachine, kKey, 2), "");
    EXPECT_EQ(reg.EnumSubKey(kHkeyLocalMachine, std::string(kKey) + "\\alpha", 0), "");
    EXPECT_FALSE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\Missing"));
    EXPECT_FALSE(reg.ValueExists(kHkeyLocalMachine, kKey, "missing"));
    ExpectBoxes(0);
}

// Each failing call gives exactly one box and the neutral result.
struct FailureCase {
    const char* name;
    std::function<void(testing::SimWorld&)> arrange;
    std::function<bool(mdlRegistry&)> actReturnsNeutral;
};

class RegistryFailure : public RegistryTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RegistryFailure, OneBoxAndTheNeutralResult) {
    GetParam().arrange(world);
    world.prompt.Expect("Error", kIdOk);
    EXPECT_TRUE(GetParam().actReturnsNeutral(reg));
    ExpectBoxes(1);
    EXPECT_EQ(world.prompt.Shown().at(0).style, platform::kMbOk | platform::kMbIconHand);
}

void Nothing(testing::SimWorld&) {}
void FailCall(testing::SimWorld& w, RegCall call) {
    w.registry.InjectFailure(RegFailure{call, platform::kErrorAccessDenied, "", {}, false});
}
const std::string kMissing = "SOFTWARE\\Missing";

INSTANTIATE_TEST_SUITE_P(
    Operations, RegistryFailure,
    ::testing::Values(
        FailureCase{
            "EnumOnMissingKey", Nothing,
            [](mdlRegistry& r) { return r.EnumSubKey(kHkeyLocalMachine, kMissing, 0).empty(); }},
        FailureCase{
            "EnumCallFails", [](auto& w) { FailCall(w, RegCall::Enum); },
            [](mdlRegistry& r) { return r.EnumSubKey(kHkeyLocalMachine, kKey, 0).empty(); }},
        FailureCase{"ValueExistsOnADeniedKey",
                    [](auto& w) {
                        w.registry.DenyAccess(kHkeyLocalMachine, kKey, platform::kKeyQueryValue);
                    },
                    [](mdlRegistry& r) { return !r.ValueExists(kHkeyLocalMachine, kKey, "x"); }},
        FailureCase{
            "GetStringMissingValue", Nothing,
            [](mdlRegistry& r) { return r.GetStringValue(kHkeyLocalMachine, kKey, "x").empty(); }},
        FailureCase{"GetStringMissingKey", Nothing,
                    [](mdlRegistry& r) {
                        return r.GetStringValue(kHkeyLocalMachine, kMissing, "abc").empty();
                    }},
        FailureCase{"GetStringQueryFails", [](auto& w) { FailCall(w, RegCall::Query); },
                    [](mdlRegistry& r) {
                        return r.GetStringValue(kHkeyLocalMachine, kKey, "abc").empty();
                    }},
        FailureCase{
            "GetDwordMissingValue", Nothing,
            [](mdlRegistry& r) { return r.GetDwordValue(kHkeyLocalMachine, kKey, "x") == 0; }},
        FailureCase{
            "GetDwordMoreThanFourBytes", Nothing,
            [](mdlRegistry& r) { return r.GetDwordValue(kHkeyLocalMachine, kKey, "long") == 0; }},
        FailureCase{"SetStringOnMissingKey", Nothing,
                    [](mdlRegistry& r) {
                        r.SetStringValue(kHkeyLocalMachine, kMissing, "v", "x");
                        return true;
                    }},
        FailureCase{"SetDwordCallFails", [](auto& w) { FailCall(w, RegCall::Set); },
                    [](mdlRegistry& r) {
                        r.SetDwordValue(kHkeyLocalMachine, kKey, "v", 1);
                        return true;
                    }},
        FailureCase{"CreateRefused",
                    [](auto& w) {
                        w.registry.DenyAccess(kHkeyLocalMachine, kKey, platform::kKeyCreateSubKey);
                    },
                    [](mdlRegistry& r) {
                        r.CreateKey(kHkeyLocalMachine, kKey);
                        return true;
                    }}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(RegistryTest, AFailingWriteStillClosesTheKeyAndAFailingCloseHasABoxOfItsOwn) {
    world.registry.InjectFailure(
        RegFailure{RegCall::Set, platform::kErrorAccessDenied, "", {}, false});
    world.registry.InjectFailure(
        RegFailure{RegCall::Close, platform::kErrorInvalidHandle, "", {}, false});
    world.prompt.Expect("Error", kIdOk).Expect("Error", kIdOk);
    reg.SetStringValue(kHkeyLocalMachine, kKey, "v", "x");
    ASSERT_EQ(world.prompt.Shown().size(), 2u);
    EXPECT_EQ(world.prompt.Shown()[0].text,
              "Unknown Registry-error occured. System-response: Access is denied.\r\n");
    EXPECT_EQ(world.prompt.Shown()[1].text,
              "Unknown Registry-error occured. System-response: The handle is invalid.\r\n");
}

// The probes answer "not there" (status 2) silently; any other failure of their open or query
// is reported once and still counts as absent; a failing close loses nothing and stays silent.
TEST_F(RegistryTest, ProbesAreSilentOnlyWhenWhatTheyLookForIsNotThere) {
    struct Case {
        RegCall call;
        long status;  // 0: nothing injected
        const char* key;
        std::size_t boxes;
        bool keyExists;
        bool valueExists;
    };
    const Case cases[] = {
        {RegCall::Open, 0, "SOFTWARE\\Missing", 0, false, false},
        {RegCall::Open, platform::kErrorAccessDenied, kKey, 1, false, false},
        {RegCall::Open, platform::kErrorInvalidHandle, kKey, 1, false, false},
        {RegCall::Query, platform::kErrorFileNotFound, kKey, 0, true, false},
        {RegCall::Query, platform::kErrorAccessDenied, kKey, 1, true, false},
        {RegCall::Query, platform::kErrorMoreData, kKey, 1, true, false},
        {RegCall::Close, platform::kErrorInvalidHandle, kKey, 0, true, true},
    };
    for (const Case& c : cases) {
        for (bool valueProbe : {false, true}) {
            testing::SimWorld w;
            w.registry.PutValue(kHkeyLocalMachine, kKey, "abc", platform::sim::StringValue("x"));
            if (c.status != 0) {
                w.registry.InjectFailure(RegFailure{c.call, c.status, "", {}, false});
            }
            mdlRegistry r(w.registry, w.prompt);
            for (std::size_t i = 0; i < c.boxes; ++i) {
                w.prompt.Expect("Error", kIdOk);
            }
            const bool found = valueProbe ? r.ValueExists(kHkeyLocalMachine, c.key, "abc")
                                          : r.KeyExists(kHkeyLocalMachine, c.key);
            const bool queried = valueProbe || c.call != RegCall::Query;
            SCOPED_TRACE(std::string(valueProbe ? "ValueExists " : "KeyExists ") + c.key + " " +
                         std::to_string(c.status));
            EXPECT_EQ(found, valueProbe ? c.valueExists : c.keyExists);
            EXPECT_EQ(w.prompt.Shown().size(), queried ? c.boxes : 0u);
        }
    }
}

// Reading a value back exactly and putting it back: silent about what is not there, one box for
// anything else, and a result that says which.
TEST_F(RegistryTest, ExactValuesRoundTripAndSayWhetherTheyWorked) {
    registry::ValueData value;
    EXPECT_EQ(reg.ReadValue(kHkeyLocalMachine, kKey, "nul", &value), registry::ReadResult::Found);
    EXPECT_EQ(value.type, platform::kRegSz);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'a', 'b', 0, 'c', 0}));
    EXPECT_TRUE(reg.WriteValue(kHkeyLocalMachine, kKey, "copy", value));
    EXPECT_EQ(world.registry.GetValue(kHkeyLocalMachine, kKey, "copy")->data, value.data);
    EXPECT_EQ(reg.ReadValue(kHkeyLocalMachine, kKey, "empty", &value), registry::ReadResult::Found);
    EXPECT_EQ(value.data, std::vector<std::uint8_t>{0});
    EXPECT_TRUE(reg.WriteValue(kHkeyLocalMachine, kKey, "none", registry::ValueData{}));
    EXPECT_TRUE(world.registry.GetValue(kHkeyLocalMachine, kKey, "none")->data.empty());

    EXPECT_EQ(reg.ReadValue(kHkeyLocalMachine, kKey, "gone", &value),
              registry::ReadResult::Missing);
    EXPECT_EQ(reg.ReadValue(kHkeyLocalMachine, "SOFTWARE\\Missing", "x", &value),
              registry::ReadResult::Missing);
    EXPECT_TRUE(reg.DeleteValue(kHkeyLocalMachine, kKey, "copy"));
    EXPECT_FALSE(world.registry.GetValue(kHkeyLocalMachine, kKey, "copy"));
    EXPECT_TRUE(reg.DeleteValue(kHkeyLocalMachine, kKey, "copy"));
    EXPECT_TRUE(reg.DeleteValue(kHkeyLocalMachine, "SOFTWARE\\Missing", "x"));
    ExpectBoxes(0);

    world.registry.DenyAccess(kHkeyLocalMachine, kKey,
                              platform::kKeyQueryValue | platform::kKeySetValue);
    world.prompt.Expect("Error", kIdOk).Expect("Error", kIdOk).Expect("Error", kIdOk);
    EXPECT_EQ(reg.ReadValue(kHkeyLocalMachine, kKey, "abc", &value), registry::ReadResult::Failed);
    EXPECT_FALSE(reg.WriteValue(kHkeyLocalMachine, kKey, "abc", value));
    EXPECT_FALSE(reg.DeleteValue(kHkeyLocalMachine, kKey, "abc"));
    ExpectBoxes(3);
}

TEST_F(RegistryTest, WritesTheRawBytesWindowsExpects) {
    reg.SetStringValue(kHkeyLocalMachine, kKey, "version", "2.01 E");
    reg.SetStringValue(kHkeyLocalMachine, kKey, "blank", "");
    reg.SetDwordValue(kHkeyLocalMachine, kKey, "abc", -2);  // replaces a string value
    reg.CreateKey(kHkeyLocalMachine, "SOFTWARE\\New\\Deep\\Key");
    ExpectBoxes(0);

    const auto version = world.registry.GetValue(kHkeyLocalMachine, kKey, "version");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->type, platform::kRegSz);
    EXPECT_EQ(version->data, (std::vector<std::uint8_t>{'2', '.', '0', '1', ' ', 'E', 0}));
    const auto blank = world.registry.GetValue(kHkeyLocalMachine, kKey, "blank");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->data, std::vector<std::uint8_t>{0});
    const auto dword = world.registry.GetValue(kHkeyLocalMachine, kKey, "abc");
    ASSERT_TRUE(dword);
    EXPECT_EQ(dword->type, platform::kRegDword);
    EXPECT_EQ(dword->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(world.registry.HasKey(kHkeyLocalMachine, "SOFTWARE\\New\\Deep\\Key"));
}

TEST_F(RegistryTest, EachOperationAsksForTheNarrowestRight) {
    world.registry.ClearCalls();
    reg.CreateKey(kHkeyLocalMachine, kKey);
    reg.EnumSubKey(kHkeyLocalMachine, kKey, 0);
    reg.KeyExists(kHkeyLocalMachine, kKey);
    reg.ValueExists(kHkeyLocalMachine, kKey, "abc");
    reg.SetDwordValue(kHkeyLocalMachine, kKey, "d", 1);
    reg.SetStringValue(kHkeyLocalMachine, kKey, "s", "x");
    reg.GetDwordValue(kHkeyLocalMachine, kKey, "one");
    reg.GetStringValue(kHkeyLocalMachine, kKey, "abc");
    std::vector<std::uint32_t> access;
    for (const auto& call : world.registry.Calls()) {
        if (call.call == RegCall::Open || call.call == RegCall::Create) {
            access.push_back(call.access);
        }
    }
    EXPECT_EQ(access, (std::vector<std::uint32_t>{0x4, 0x8, 0x8, 0x1, 0x2, 0x2, 0x1, 0x1}));
    ExpectBoxes(0);
}

TEST_F(RegistryTest, ALongestSubkeyNameComesBackWhole) {
    const std::string longName(255, 'k');
    world.registry.PutKey(kHkeyLocalMachine, std::string(kKey) + "\\alpha\\" + longName);
    world.registry.PutKey(kHkeyLocalMachine, std::string(kKey) + "\\alpha\\zz");
    EXPECT_EQ(reg.EnumSubKey(kHkeyLocalMachine, std::string(kKey) + "\\alpha", 0), longName);
    EXPECT_EQ(reg.EnumSubKey(kHkeyLocalMachine, std::string(kKey) + "\\alpha", 1), "zz");
    ExpectBoxes(0);
}

// The report shows the system's text for the status the failing call returned.
struct ReportCase {
    const char* name;
    std::function<void(platform::sim::SimRegistry&)> arrange;
    long status;
    std::string expected;
};

class Report : public ::testing::TestWithParam<ReportCase> {};

TEST_P(Report, ShowsTheSystemTextOrAFallback) {
    testing::SimWorld world;
    GetParam().arrange(world.registry);
    world.prompt.Expect("Error", kIdOk);
    mdlRegistry(world.registry, world.prompt).ReportRegistryError(GetParam().status);
    ASSERT_EQ(world.prompt.Shown().size(), 1u);
    EXPECT_EQ(world.prompt.Shown()[0].text,
              "Unknown Registry-error occured. System-response: " + GetParam().expected);
    EXPECT_EQ(world.prompt.Shown()[0].title, "Error");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Report,
    ::testing::Values(ReportCase{"FileNotFound", [](auto&) {}, 2,
                                 "The system cannot find the file specified.\r\n"},
                      ReportCase{"Success", [](auto&) {}, 0,
                                 "The operation completed successfully.\r\n"},
                      ReportCase{"NoLanguage", [](auto& r) { r.SetFormatFailure(1815u); }, 2,
                                 "<No language-ID found for error-message.>"},
                      ReportCase{"OtherFormatFailure", [](auto& r) { r.SetFormatFailure(317u); }, 2,
                                 "<Unknown FormatMessage-error occured.>"},
                      ReportCase{"UnknownCode", [](auto&) {}, 0x7FFF1234,
                                 "<Unknown FormatMessage-error occured.>"}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quorvel
