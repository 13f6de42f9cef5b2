// Registry tests against the real advapi32: mdlRegistry's success and failure paths, and the
// Windows behaviour that the simulated registry copies.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "registry/mdlRegistry.h"

namespace {

namespace p = quorvel::platform;
using p::HKey;
using p::win32::FromHkey;
using p::win32::ToHkey;
using p::win32::Win32Registry;
using quorvel::registry::mdlRegistry;

constexpr const char* kTestKey = "Software\\QuorvelTest";
const std::string kScratch = std::string(kTestKey) + "\\Scratch";

// ---- Direct advapi32 access for set-up and checks, independent of the code under test ----

bool DeleteTree(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) {
        return false;
    }
    // Index 0 every time: each deletion moves the remaining subkeys down.
    for (;;) {
        char name[512];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            !DeleteTree(key, name)) {
            break;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

LONG RawPutKey(HKEY root, const std::string& path, DWORD options = REG_OPTION_NON_VOLATILE) {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS,
                                        nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        RegCloseKey(key);
    }
    return status;
}

// Creates `name` below root\parentPath through a handle of the parent: ANSI paths longer than
// 260 characters fail with 234 under Wine, so long names are only reachable this way.
LONG RawPutChild(HKEY root, const std::string& parentPath, const std::string& name) {
    HKEY parent = nullptr;
    LONG status = RegOpenKeyExA(root, parentPath.c_str(), 0, KEY_CREATE_SUB_KEY, &parent);
    if (status == ERROR_SUCCESS) {
        status = RawPutKey(parent, name);
        RegCloseKey(parent);
    }
    return status;
}

LONG RawPutValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                 const std::string& bytes) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status =
            RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    return status;
}

struct Stored {
    DWORD type;
    std::string bytes;
};

std::optional<Stored> RawGetValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<Stored> result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string bytes(size, '\0');
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]),
                             &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            result = Stored{type, bytes};
        }
    }
    RegCloseKey(key);
    return result;
}

bool RawKeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string SystemText(DWORD code) {
    char buffer[2048] = {};
    const DWORD count = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer,
                                       sizeof buffer, nullptr);
    return std::string(buffer, count);
}

std::string Dword(std::uint32_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                       static_cast<char>((value >> 16) & 0xFF),
                       static_cast<char>((value >> 24) & 0xFF)};
}

class RegistryWinTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { RemoveTestKeys(); }
    void SetUp() override {
        prompt.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    }
    void TearDown() override { RemoveTestKeys(); }

    static void RemoveTestKeys() {
        DeleteTree(HKEY_CURRENT_USER, kTestKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kTestKey);
    }

    void ExpectErrorBox() { prompt.Expect(quorvel::registry::kRegistryErrorTitle, p::kIdOk); }
    // The expected box came, alone, with the system's text for `status`; forgets it.
    void CheckErrorBox(long status) {
        EXPECT_EQ(prompt.PendingCount(), 0u);
        ASSERT_EQ(prompt.Shown().size(), 1u);
        const p::sim::ShownBox& box = prompt.Shown().front();
        EXPECT_EQ(box.text, std::string(quorvel::registry::kRegistryErrorPrompt) +
                                SystemText(static_cast<DWORD>(status)));
        EXPECT_EQ(box.style, p::kMbOk | p::kMbIconHand);
        prompt.Clear();
    }
    void ExpectNoBox() {
        EXPECT_TRUE(prompt.Shown().empty());
        prompt.Clear();
    }

    Win32Registry api;
    p::sim::ScriptedPrompt prompt;
    mdlRegistry reg{api, prompt};
};

// ---- mdlRegistry against the real registry, under each writable root ----

struct Root {
    const char* name;
    HKEY key;
};
void PrintTo(const Root& root, std::ostream* out) {
    *out << root.name;
}

class MdlRegistryWinTest : public RegistryWinTest, public testing::WithParamInterface<Root> {
  protected:
    void SetUp() override {
        RegistryWinTest::SetUp();
        const LONG status = RawPutKey(root(), kScratch);
        if (status == ERROR_ACCESS_DENIED) {
            GTEST_SKIP() << GetParam().name << " is not writable here";
        }
        ASSERT_EQ(status, ERROR_SUCCESS);
    }
    HKEY root() const { return GetParam().key; }
    HKey hroot() const { return FromHkey(GetParam().key); }
    std::string Path(const std::string& sub) const { return kScratch + "\\" + sub; }
};

TEST_P(MdlRegistryWinTest, CreateKeyMakesMissingParentsAndOpensExistingKeysQuietly) {
    reg.CreateKey(hroot(), Path("A\\B\\C"));
    ExpectNoBox();
    EXPECT_TRUE(RawKeyExists(root(), Path("A\\B\\C")));
    reg.CreateKey(hroot(), Path("A\\B\\C"));
    ExpectNoBox();
    // Non-volatile: a stable child can go below it.
    EXPECT_EQ(RawPutKey(root(), Path("A\\B\\C\\D")), ERROR_SUCCESS);
}

TEST_P(MdlRegistryWinTest, CreateKeyBelowAVolatileKeyShowsOneBox) {
    ASSERT_EQ(RawPutKey(root(), Path("Vol"), REG_OPTION_VOLATILE), ERROR_SUCCESS);
    ExpectErrorBox();
    reg.CreateKey(hroot(), Path("Vol\\Stable"));
    CheckErrorBox(ERROR_CHILD_MUST_BE_VOLATILE);
    EXPECT_FALSE(RawKeyExists(root(), Path("Vol\\Stable")));
}

TEST_P(MdlRegistryWinTest, EnumSubKeyWalksSubkeysThenEndsWithoutABox) {
    for (const char* name : {"gamma", "Alpha", "beta"}) {
        ASSERT_EQ(RawPutKey(root(), Path(name)), ERROR_SUCCESS);
    }
    const std::vector<std::string> expected = {"Alpha", "beta", "gamma", ""};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reg.EnumSubKey(hroot(), kScratch, static_cast<std::int32_t>(i)), expected[i])
            << "index " << i;
    }
    EXPECT_EQ(reg.EnumSubKey(hroot(), Path("Alpha"), 0), "");
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, EnumSubKeyReturnsNamesOfUpTo255CharactersWhole) {
    for (std::size_t length : {1u, 254u, 255u}) {
        SCOPED_TRACE(length);
        const std::string parent = Path("Long" + std::to_string(length));
        const std::string name(length, 'k');
        ASSERT_EQ(RawPutKey(root(), parent), ERROR_SUCCESS);
        ASSERT_EQ(RawPutChild(root(), parent, name), ERROR_SUCCESS);
        EXPECT_EQ(reg.EnumSubKey(hroot(), parent, 0), name);
        ExpectNoBox();
    }
}

TEST_P(MdlRegistryWinTest, EnumSubKeyOfAMissingKeyShowsOneBox) {
    ExpectErrorBox();
    EXPECT_EQ(reg.EnumSubKey(hroot(), Path("Missing"), 0), "");
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
}

TEST_P(MdlRegistryWinTest, EnumSubKeyReportsANameTooLongForItsBuffer) {
    // Windows refuses key names over 255 characters, so this failure cannot arise there; Wine
    // takes 256 and so lets the enumeration's own failure path run.
    const std::string name(256, 'k');
    if (RawPutChild(root(), kScratch, name) != ERROR_SUCCESS) {
        GTEST_SKIP() << "key names over 255 characters are refused here";
    }
    ExpectErrorBox();
    EXPECT_EQ(reg.EnumSubKey(hroot(), kScratch, 0), "");
    CheckErrorBox(ERROR_MORE_DATA);
}

TEST_P(MdlRegistryWinTest, KeyExistsAnswersWithoutABox) {
    ASSERT_EQ(RawPutKey(root(), Path("Present")), ERROR_SUCCESS);
    EXPECT_TRUE(reg.KeyExists(hroot(), Path("Present")));
    EXPECT_TRUE(reg.KeyExists(hroot(), Path("PRESENT")));
    EXPECT_FALSE(reg.KeyExists(hroot(), Path("Missing")));
    EXPECT_FALSE(reg.KeyExists(hroot(), Path("Missing\\Deeper")));
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, ValueExistsForAnyTypeAndSizeAndQuietlyFalseForAMissingValue) {
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const Case cases[] = {
        {"Dword", REG_DWORD, Dword(1)},
        {"Text", REG_SZ, std::string("abc", 4)},
        {"Empty", REG_BINARY, ""},
        {"Big", REG_BINARY, std::string(4096, 'x')},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(RawPutValue(root(), kScratch, c.name, c.type, c.bytes), ERROR_SUCCESS);
        EXPECT_TRUE(reg.ValueExists(hroot(), kScratch, c.name)) << c.name;
    }
    EXPECT_FALSE(reg.ValueExists(hroot(), kScratch, "Missing"));
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, ValueExistsOnAMissingKeyIsQuietlyFalse) {
    EXPECT_FALSE(reg.ValueExists(hroot(), Path("Missing"), "Value"));
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, ValuesReadBackExactlyAndDeleteQuietlyWhenAlreadyGone) {
    const std::string bytes("a\0b\xE9\0\0", 6);
    ASSERT_EQ(RawPutValue(root(), kScratch, "Multi", REG_BINARY, bytes), ERROR_SUCCESS);
    quorvel::registry::ValueData value;
    ASSERT_EQ(reg.ReadValue(hroot(), kScratch, "Multi", &value),
              quorvel::registry::ReadResult::Found);
    EXPECT_EQ(value.type, static_cast<std::uint32_t>(REG_BINARY));
    EXPECT_EQ(std::string(value.data.begin(), value.data.end()), bytes);
    EXPECT_TRUE(reg.WriteValue(hroot(), kScratch, "Copy", value));
    EXPECT_TRUE(reg.DeleteValue(hroot(), kScratch, "Multi"));
    EXPECT_TRUE(reg.DeleteValue(hroot(), kScratch, "Multi"));
    EXPECT_EQ(reg.ReadValue(hroot(), kScratch, "Multi", &value),
              quorvel::registry::ReadResult::Missing);
    EXPECT_EQ(reg.ReadValue(hroot(), kScratch, "Copy", &value),
              quorvel::registry::ReadResult::Found);
    EXPECT_EQ(std::string(value.data.begin(), value.data.end()), bytes);
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, SetDwordValueStoresFourLittleEndianBytesReplacingAnyType) {
    const std::int32_t values[] = {1, -2, INT32_MIN, 0x12345678};
    ASSERT_EQ(RawPutValue(root(), kScratch, "Value", REG_SZ, std::string("text", 5)),
              ERROR_SUCCESS);
    for (std::int32_t value : values) {
        reg.SetDwordValue(hroot(), kScratch, "Value", value);
        const auto stored = RawGetValue(root(), kScratch, "Value");
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(stored->bytes, Dword(static_cast<std::uint32_t>(value))) << value;
        EXPECT_EQ(reg.GetDwordValue(hroot(), kScratch, "Value"), value);
    }
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, SetStringValueStoresTheTextAndItsTerminatorReplacingAnyType) {
    struct Case {
        std::string text;
        std::string bytes;
    };
    const Case cases[] = {
        {"", std::string(1, '\0')},
        {"2.01 E", std::string("2.01 E", 7)},
        {"S 1024x768=8055;", std::string("S 1024x768=8055;", 17)},
    };
    ASSERT_EQ(RawPutValue(root(), kScratch, "Value", REG_DWORD, Dword(7)), ERROR_SUCCESS);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        reg.SetStringValue(hroot(), kScratch, "Value", c.text);
        const auto stored = RawGetValue(root(), kScratch, "Value");
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(stored->bytes, c.bytes);
        EXPECT_EQ(reg.GetStringValue(hroot(), kScratch, "Value"), c.text);
    }
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, SettersOnAMissingKeyShowOneBoxAndCreateNothing) {
    ExpectErrorBox();
    reg.SetDwordValue(hroot(), Path("Missing"), "Value", 1);
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
    ExpectErrorBox();
    reg.SetStringValue(hroot(), Path("Missing"), "Value", "x");
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(RawKeyExists(root(), Path("Missing")));
}

TEST_P(MdlRegistryWinTest, SettersReportARefusedWriteOnce) {
    // Value names are limited to 16383 characters: the open succeeds and the write fails.
    const std::string name(16384, 'v');
    const LONG refused = RawPutValue(root(), kScratch, name, REG_DWORD, Dword(1));
    ASSERT_NE(refused, ERROR_SUCCESS);
    ExpectErrorBox();
    reg.SetDwordValue(hroot(), kScratch, name, 1);
    CheckErrorBox(refused);
    ExpectErrorBox();
    reg.SetStringValue(hroot(), kScratch, name, "x");
    CheckErrorBox(refused);
}

TEST_P(MdlRegistryWinTest, GetDwordValueReadsUpToFourBytesOfAnyType) {
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"One", REG_DWORD, Dword(1), 1},
        {"MinusOne", REG_DWORD, Dword(0xFFFFFFFFu), -1},
        {"TwoBytes", REG_BINARY, std::string("\x34\x12", 2), 0x1234},
        {"Text", REG_SZ, std::string("ab", 3), 0x6261},
        {"Empty", REG_BINARY, "", 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(RawPutValue(root(), kScratch, c.name, c.type, c.bytes), ERROR_SUCCESS);
        EXPECT_EQ(reg.GetDwordValue(hroot(), kScratch, c.name), c.expected) << c.name;
    }
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, GetDwordValueFailuresShowOneBoxAndGiveZero) {
    ASSERT_EQ(RawPutValue(root(), kScratch, "FiveBytes", REG_BINARY, "\x01\x02\x03\x04\x05"),
              ERROR_SUCCESS);
    ExpectErrorBox();
    EXPECT_EQ(reg.GetDwordValue(hroot(), kScratch, "FiveBytes"), 0);
    CheckErrorBox(ERROR_MORE_DATA);
    ExpectErrorBox();
    EXPECT_EQ(reg.GetDwordValue(hroot(), kScratch, "Missing"), 0);
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
    ExpectErrorBox();
    EXPECT_EQ(reg.GetDwordValue(hroot(), Path("Missing"), "Value"), 0);
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
}

TEST_P(MdlRegistryWinTest, GetStringValueReadsUpToTheFirstNul) {
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"Abc", REG_SZ, std::string("abc", 4), "abc"},
        {"EmptyText", REG_SZ, std::string(1, '\0'), ""},
        {"InnerNul", REG_SZ, std::string("ab\0cd", 6), "ab"},
        {"DriverList", REG_MULTI_SZ, std::string("nv4_disp\0vga\0", 14), "nv4_disp"},
        {"Expandable", REG_EXPAND_SZ, std::string("%SystemRoot%", 13), "%SystemRoot%"},
        {"NoNul", REG_BINARY, "xyz", "xyz"},
        {"NoData", REG_BINARY, "", ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(RawPutValue(root(), kScratch, c.name, c.type, c.bytes), ERROR_SUCCESS);
        EXPECT_EQ(reg.GetStringValue(hroot(), kScratch, c.name), c.expected) << c.name;
    }
    ExpectNoBox();
}

TEST_P(MdlRegistryWinTest, GetStringValueFailuresShowOneBoxAndGiveEmptyText) {
    ExpectErrorBox();
    EXPECT_EQ(reg.GetStringValue(hroot(), kScratch, "Missing"), "");
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
    ExpectErrorBox();
    EXPECT_EQ(reg.GetStringValue(hroot(), Path("Missing"), "Value"), "");
    CheckErrorBox(ERROR_FILE_NOT_FOUND);
}

INSTANTIATE_TEST_SUITE_P(Roots, MdlRegistryWinTest,
                         testing::Values(Root{"HKCU", HKEY_CURRENT_USER},
                                         Root{"HKLM", HKEY_LOCAL_MACHINE}),
                         [](const testing::TestParamInfo<Root>& info) {
                             return std::string(info.param.name);
                         });

// ---- Operations on handles: invalid roots and the error report itself ----

TEST_F(RegistryWinTest, AnInvalidRootShowsOneBoxPerOperation) {
    const HKey invalid = 0;
    ExpectErrorBox();
    reg.CreateKey(invalid, "Key");
    CheckErrorBox(ERROR_INVALID_HANDLE);
    ExpectErrorBox();
    EXPECT_EQ(reg.EnumSubKey(invalid, "Key", 0), "");
    CheckErrorBox(ERROR_INVALID_HANDLE);
    ExpectErrorBox();
    EXPECT_FALSE(reg.ValueExists(invalid, "Key", "Value"));
    CheckErrorBox(ERROR_INVALID_HANDLE);
    ExpectErrorBox();
    EXPECT_EQ(reg.GetStringValue(invalid, "Key", "Value"), "");
    CheckErrorBox(ERROR_INVALID_HANDLE);
    // A probe is silent only about a key that is not there.
    ExpectErrorBox();
    EXPECT_FALSE(reg.KeyExists(invalid, "Key"));
    CheckErrorBox(ERROR_INVALID_HANDLE);
}

TEST_F(RegistryWinTest, ErrorBoxCarriesTheSystemTextOfTheGivenStatus) {
    const long codes[] = {0, 2, 5, 6, 87, 234, 259, 1018, 1021};
    for (long code : codes) {
        SCOPED_TRACE(code);
        const std::string text = SystemText(static_cast<DWORD>(code));
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        // The status decides, not whatever the thread's last error happens to be.
        SetLastError(ERROR_ACCESS_DENIED);
        ExpectErrorBox();
        reg.ReportRegistryError(code);
        CheckErrorBox(code);
    }
}

TEST_F(RegistryWinTest, ErrorBoxForACodeWithoutSystemText) {
    const DWORD unknown = 0x2000FFFF;
    char buffer[64];
    ASSERT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, unknown, 0, buffer, sizeof buffer,
                             nullptr),
              0u);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    ExpectErrorBox();
    reg.ReportRegistryError(static_cast<long>(unknown));
    ASSERT_EQ(prompt.Shown().size(), 1u);
    EXPECT_EQ(prompt.Shown()[0].text, std::string(quorvel::registry::kRegistryErrorPrompt) +
                                          quorvel::registry::kUnknownFormatErrorText);
}

// ---- Facts of the real registry that the simulated one relies on ----

class RegistryFactsWinTest : public RegistryWinTest {
  protected:
    void SetUp() override {
        RegistryWinTest::SetUp();
        ASSERT_EQ(RawPutKey(HKEY_CURRENT_USER, kScratch), ERROR_SUCCESS);
        ASSERT_EQ(api.OpenKeyEx(FromHkey(HKEY_CURRENT_USER), kScratch.c_str(), 0, p::kKeyAllAccess,
                                &scratch),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        api.CloseKey(scratch);
        RegistryWinTest::TearDown();
    }

    long EnumName(HKey key, std::uint32_t index, std::string* name, std::uint32_t bufferSize) {
        std::vector<char> buffer(bufferSize + 1, '#');
        std::uint32_t size = bufferSize;
        const long status =
            api.EnumKeyEx(key, index, buffer.data(), &size, nullptr, nullptr, nullptr);
        name->assign(buffer.data(), status == 0 ? size : 0);
        return status;
    }

    HKey scratch = 0;
};

TEST_F(RegistryFactsWinTest, PredefinedRootsConvertUnchanged) {
    EXPECT_EQ(FromHkey(HKEY_CLASSES_ROOT), p::kHkeyClassesRoot);
    EXPECT_EQ(FromHkey(HKEY_CURRENT_USER), p::kHkeyCurrentUser);
    EXPECT_EQ(FromHkey(HKEY_LOCAL_MACHINE), p::kHkeyLocalMachine);
    EXPECT_EQ(FromHkey(HKEY_USERS), p::kHkeyUsers);
    EXPECT_EQ(ToHkey(p::kHkeyLocalMachine), HKEY_LOCAL_MACHINE);
}

// Every call returns its status and leaves the thread's last error as it was.
TEST_F(RegistryFactsWinTest, StatusCodesAndLastErrorUntouched) {
    ASSERT_EQ(RawPutKey(HKEY_CURRENT_USER, kScratch + "\\abcdef"), ERROR_SUCCESS);
    ASSERT_EQ(RawPutKey(HKEY_CURRENT_USER, kScratch + "\\Vol", REG_OPTION_VOLATILE), ERROR_SUCCESS);
    ASSERT_EQ(RawPutValue(HKEY_CURRENT_USER, kScratch, "Dword", REG_DWORD, Dword(5)),
              ERROR_SUCCESS);

    struct Case {
        const char* what;
        std::function<long(Win32Registry&, HKey)> call;
        long expected;
    };
    const Case cases[] = {
        {"open of an existing key",
         [](Win32Registry& api, HKey key) {
             HKey opened = 0;
             const long status = api.OpenKeyEx(key, "abcdef", 0, p::kKeyRead, &opened);
             api.CloseKey(opened);
             return status;
         },
         ERROR_SUCCESS},
        {"open of a missing key",
         [](Win32Registry& api, HKey key) {
             HKey opened = 0;
             return api.OpenKeyEx(key, "Missing", 0, p::kKeyRead, &opened);
         },
         ERROR_FILE_NOT_FOUND},
        {"open below a missing key",
         [](Win32Registry& api, HKey key) {
             HKey opened = 0;
             return api.OpenKeyEx(key, "Missing\\Deeper", 0, p::kKeyRead, &opened);
         },
         ERROR_FILE_NOT_FOUND},
        {"create of a stable key below a volatile one",
         [](Win32Registry& api, HKey key) {
             HKey created = 0;
             return api.CreateKeyEx(key, "Vol\\Stable", p::kRegOptionNonVolatile, p::kKeyAllAccess,
                                    &created, nullptr);
         },
         ERROR_CHILD_MUST_BE_VOLATILE},
        {"enumeration of the last subkey",
         [](Win32Registry& api, HKey key) {
             char name[256];
             std::uint32_t size = sizeof name;
             return api.EnumKeyEx(key, 1, name, &size, nullptr, nullptr, nullptr);
         },
         ERROR_SUCCESS},
        {"enumeration past the last subkey",
         [](Win32Registry& api, HKey key) {
             char name[256];
             std::uint32_t size = sizeof name;
             return api.EnumKeyEx(key, 2, name, &size, nullptr, nullptr, nullptr);
         },
         ERROR_NO_MORE_ITEMS},
        {"name buffer without room for the terminator",
         [](Win32Registry& api, HKey key) {
             char name[6];
             std::uint32_t size = sizeof name;  // "abcdef" needs 7
             return api.EnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr);
         },
         ERROR_MORE_DATA},
        {"query of a missing value",
         [](Win32Registry& api, HKey key) {
             std::uint32_t type = 0;
             std::uint32_t size = 0;
             return api.QueryValueEx(key, "Missing", &type, nullptr, &size);
         },
         ERROR_FILE_NOT_FOUND},
        {"data buffer too small",
         [](Win32Registry& api, HKey key) {
             std::uint8_t data[2];
             std::uint32_t size = sizeof data;
             return api.QueryValueEx(key, "Dword", nullptr, data, &size);
         },
         ERROR_MORE_DATA},
        {"set of a value",
         [](Win32Registry& api, HKey key) {
             const std::uint8_t data[4] = {1, 0, 0, 0};
             return api.SetValueEx(key, "New", p::kRegDword, data, 4);
         },
         ERROR_SUCCESS},
        {"close of a closed handle",
         [](Win32Registry& api, HKey key) {
             HKey opened = 0;
             api.OpenKeyEx(key, "abcdef", 0, p::kKeyRead, &opened);
             api.CloseKey(opened);
             return api.CloseKey(opened);
         },
         ERROR_INVALID_HANDLE},
        {"handle 0 as the parent",
         [](Win32Registry& api, HKey) {
             HKey opened = 0;
             return api.OpenKeyEx(0, "Software", 0, p::kKeyRead, &opened);
         },
         ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0xBEEF);
        EXPECT_EQ(c.call(api, scratch), c.expected);
        EXPECT_EQ(GetLastError(), 0xBEEFu);
    }
}

TEST_F(RegistryFactsWinTest, AccessRightsAreCheckedOnTheHandleUsed) {
    ASSERT_EQ(RawPutKey(HKEY_CURRENT_USER, kScratch + "\\Sub"), ERROR_SUCCESS);
    ASSERT_EQ(RawPutValue(HKEY_CURRENT_USER, kScratch, "Value", REG_DWORD, Dword(1)),
              ERROR_SUCCESS);
    enum class Op { Enum, Query, QueryMissing, Set };
    struct Case {
        std::uint32_t access;
        Op op;
        long expected;
    };
    const Case cases[] = {
        {p::kKeyQueryValue, Op::Query, ERROR_SUCCESS},
        {p::kKeyQueryValue, Op::Enum, ERROR_ACCESS_DENIED},
        {p::kKeyQueryValue, Op::Set, ERROR_ACCESS_DENIED},
        {p::kKeySetValue, Op::Set, ERROR_SUCCESS},
        {p::kKeySetValue, Op::Query, ERROR_ACCESS_DENIED},
        // The right is checked before the name is looked up.
        {p::kKeySetValue, Op::QueryMissing, ERROR_ACCESS_DENIED},
        {p::kKeySetValue, Op::Enum, ERROR_ACCESS_DENIED},
        {p::kKeyEnumerateSubKeys, Op::Enum, ERROR_SUCCESS},
        {p::kKeyEnumerateSubKeys, Op::Query, ERROR_ACCESS_DENIED},
        {p::kKeyEnumerateSubKeys, Op::Set, ERROR_ACCESS_DENIED},
        {p::kKeyCreateSubKey, Op::Enum, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "access " << c.access << ", op " << static_cast<int>(c.op));
        HKey key = 0;
        ASSERT_EQ(api.OpenKeyEx(FromHkey(HKEY_CURRENT_USER), kScratch.c_str(), 0, c.access, &key),
                  ERROR_SUCCESS);
        char name[256];
        std::uint32_t size = sizeof name;
        std::uint8_t data[4] = {2, 0, 0, 0};
        std::uint32_t dataSize = sizeof data;
        long status = 0;
        switch (c.op) {
            case Op::Enum:
                status = api.EnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr);
                break;
            case Op::Query:
                status = api.QueryValueEx(key, "Value", nullptr, data, &dataSize);
                break;
            case Op::QueryMissing:
                status = api.QueryValueEx(key, "Missing", nullptr, data, &dataSize);
                break;
            case Op::Set:
                status = api.SetValueEx(key, "Value", p::kRegDword, data, 4);
                break;
        }
        EXPECT_EQ(status, c.expected);
        EXPECT_EQ(api.CloseKey(key), ERROR_SUCCESS);
    }
}

TEST_F(RegistryFactsWinTest, EnumerationCountsNameBuffersInCharactersWithTheTerminator) {
    const std::string name(255, 'n');
    ASSERT_EQ(RawPutChild(HKEY_CURRENT_USER, kScratch, name), ERROR_SUCCESS);

    char buffer[257];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    std::uint32_t size = 256;
    ASSERT_EQ(api.EnumKeyEx(scratch, 0, buffer, &size, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(size, 255u);  // without the terminator
    EXPECT_EQ(std::string(buffer, size), name);
    EXPECT_EQ(buffer[255], '\0');

    // One short: nothing is written and the size is left alone.
    std::fill(std::begin(buffer), std::end(buffer), '#');
    size = 255;
    EXPECT_EQ(api.EnumKeyEx(scratch, 0, buffer, &size, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(size, 255u);
    EXPECT_EQ(buffer[0], '#');
}

TEST_F(RegistryFactsWinTest, NamesAreCaseInsensitiveAndCasePreserving) {
    HKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(api.CreateKeyEx(scratch, "MixedCase", 0, p::kKeyAllAccess, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, p::kRegCreatedNewKey);
    const std::uint8_t data[4] = {9, 0, 0, 0};
    EXPECT_EQ(api.SetValueEx(key, "ValueName", p::kRegDword, data, 4), ERROR_SUCCESS);
    api.CloseKey(key);

    ASSERT_EQ(api.CreateKeyEx(scratch, "MIXEDCASE", 0, p::kKeyAllAccess, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, p::kRegOpenedExistingKey);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(api.QueryValueEx(key, "VALUENAME", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, p::kRegDword);
    EXPECT_EQ(size, 4u);
    api.CloseKey(key);

    std::string name;
    ASSERT_EQ(EnumName(scratch, 0, &name, 256), ERROR_SUCCESS);
    EXPECT_EQ(name, "MixedCase");
}

TEST_F(RegistryFactsWinTest, SubkeysEnumerateInCaseInsensitiveOrder) {
    for (const char* created : {"gamma", "Delta", "alpha", "Beta", "ALPHA2"}) {
        ASSERT_EQ(RawPutKey(HKEY_CURRENT_USER, kScratch + "\\" + created), ERROR_SUCCESS);
    }
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; EnumName(scratch, i, &name, 256) == ERROR_SUCCESS; ++i) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "ALPHA2", "Beta", "Delta", "gamma"}));
}

TEST_F(RegistryFactsWinTest, ValuesKeepTheirTypeAndBytes) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string bytes;
    };
    const Case cases[] = {
        {"Binary", p::kRegBinary, std::string("\x00\x01\x00\xff", 4)},
        {"ShortDword", p::kRegDword, std::string("\x34\x12", 2)},
        {"Multi", p::kRegMultiSz, std::string("nv4_disp\0vga\0\0", 14)},
        {"InnerNul", p::kRegSz, std::string("ab\0cd", 6)},
        {"NoBytes", p::kRegSz, ""},
        {"Expand", p::kRegExpandSz, std::string("%a%", 4)},
        {"Typeless", p::kRegNone, "raw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(api.SetValueEx(scratch, c.name, c.type,
                                 reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                                 static_cast<std::uint32_t>(c.bytes.size())),
                  ERROR_SUCCESS);
        std::uint32_t type = 0xFFFF;
        std::uint32_t size = 0;
        ASSERT_EQ(api.QueryValueEx(scratch, c.name, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        ASSERT_EQ(size, c.bytes.size());
        std::string read(size + 1, '#');
        ASSERT_EQ(api.QueryValueEx(scratch, c.name, &type,
                                   reinterpret_cast<std::uint8_t*>(&read[0]), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(read.substr(0, size), c.bytes);
    }
    // A too-small buffer learns the size it needs.
    std::uint8_t small[3];
    std::uint32_t size = sizeof small;
    EXPECT_EQ(api.QueryValueEx(scratch, "Multi", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 14u);
}

// NT quirk, kept by Wine: a string set without its terminator gets one when the byte after the
// counted data is a NUL.
TEST_F(RegistryFactsWinTest, AStringSetWithoutItsTerminatorGainsOne) {
    const char text[] = "abc";
    ASSERT_EQ(api.SetValueEx(scratch, "Unterminated", p::kRegSz,
                             reinterpret_cast<const std::uint8_t*>(text), 3),
              ERROR_SUCCESS);
    const auto stored = RawGetValue(HKEY_CURRENT_USER, kScratch, "Unterminated");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->bytes, std::string("abc", 4));
}

TEST_F(RegistryFactsWinTest, SystemMessagesEndWithALineBreak) {
    char buffer[2048];
    std::uint32_t lastError = 0;
    const std::uint32_t count = api.FormatSystemMessage(2, buffer, sizeof buffer, &lastError);
    ASSERT_GT(count, 2u);
    EXPECT_EQ(std::string(buffer, count), SystemText(2));
    EXPECT_EQ(std::string(buffer + count - 2, 2), "\r\n");
    EXPECT_EQ(buffer[count], '\0');
}

TEST_F(RegistryFactsWinTest, FormatFailuresReportTheLastError) {
    struct Case {
        const char* what;
        std::uint32_t code;
        std::uint32_t size;
        std::uint32_t expectedError;
    };
    const Case cases[] = {
        {"code without text", 0x2000FFFF, 2048, ERROR_MR_MID_NOT_FOUND},
        {"buffer too small", 2, 5, ERROR_INSUFFICIENT_BUFFER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<char> buffer(c.size);
        std::uint32_t lastError = 0;
        EXPECT_EQ(api.FormatSystemMessage(c.code, buffer.data(), c.size, &lastError), 0u);
        EXPECT_EQ(lastError, c.expectedError);
    }
}

}  // namespace
