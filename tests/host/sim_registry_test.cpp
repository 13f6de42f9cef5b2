// The simulated registry against the Windows behaviour the program depends on, and its .reg files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/sim/SimRegistry.h"

namespace {

using namespace quorvel::platform;
using namespace quorvel::platform::sim;
using namespace std::string_literals;

constexpr long kErrorBadPathname = 161;
constexpr long kErrorNoAccess = 998;
constexpr long kErrorBadKey = 1010;
constexpr long kErrorKeyDeleted = 1018;
constexpr long kErrorChildMustBeVolatile = 1021;

RawValue Raw(std::uint32_t type, const std::string& bytes) {
    RawValue value;
    value.type = type;
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

// "type:hex bytes", so that a mismatch shows both sides readably.
std::string Describe(const std::optional<RawValue>& value) {
    if (!value) {
        return "(missing)";
    }
    std::string text = std::to_string(value->type) + ":";
    for (std::uint8_t b : value->data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", b);
        text += hex;
    }
    return text;
}

class SimRegistryTest : public ::testing::Test {
  protected:
    long Open(const std::string& path, std::uint32_t access, HKey* key) {
        return reg.OpenKeyEx(kHkeyLocalMachine, path.c_str(), 0, access, key);
    }
    HKey OpenOrFail(const std::string& path, std::uint32_t access) {
        HKey key = 0;
        EXPECT_EQ(Open(path, access, &key), kErrorSuccess) << path;
        return key;
    }
    std::vector<std::string> Enumerate(HKey key) {
        std::vector<std::string> names;
        for (std::uint32_t index = 0;; ++index) {
            char name[256];
            std::uint32_t size = sizeof name;
            const long status = reg.EnumKeyEx(key, index, name, &size, nullptr, nullptr, nullptr);
            if (status != kErrorSuccess) {
                EXPECT_EQ(status, kErrorNoMoreItems);
                return names;
            }
            names.emplace_back(name, size);
        }
    }

    SimRegistry reg;
};

struct OpenCase {
    const char* label;
    HKey root;
    const char* subKey;
    std::uint32_t access;
    long expected;
};

TEST_F(SimRegistryTest, OpenKeyExGivesWindowsStatusCodes) {
    reg.PutKey(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Video");
    reg.PutKey(kHkeyLocalMachine, "SOFTWARE\\Locked");
    reg.DenyAccess(kHkeyLocalMachine, "software\\locked", kKeySetValue);
    reg.PutKey(kHkeyClassesRoot, "CLSID");
    const OpenCase cases[] = {
        {"exact", kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Video", kKeyRead, 0},
        {"other case", kHkeyLocalMachine, "system\\CURRENTCONTROLSET\\control\\video", kKeyRead, 0},
        {"trailing backslashes", kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\\\", kKeyRead, 0},
        {"missing key", kHkeyLocalMachine, "SYSTEM\\Nothing", kKeyRead, kErrorFileNotFound},
        {"missing parent", kHkeyLocalMachine, "Nothing\\Video", kKeyRead, kErrorFileNotFound},
        {"other root", kHkeyCurrentUser, "SYSTEM", kKeyRead, kErrorFileNotFound},
        {"leading backslash", kHkeyLocalMachine, "\\SYSTEM", kKeyRead, kErrorBadPathname},
        {"leading backslash under HKCR", kHkeyClassesRoot, "\\CLSID", kKeyRead, 0},
        {"denied right", kHkeyLocalMachine, "SOFTWARE\\Locked", kKeySetValue, kErrorAccessDenied},
        {"denied right among others", kHkeyLocalMachine, "SOFTWARE\\Locked", kKeyAllAccess,
         kErrorAccessDenied},
        {"generic write maps to set", kHkeyLocalMachine, "SOFTWARE\\Locked", 0x40000000u,
         kErrorAccessDenied},
        {"right not denied", kHkeyLocalMachine, "SOFTWARE\\Locked", kKeyRead, 0},
        {"unknown handle", 0x4321, "SYSTEM", kKeyRead, kErrorInvalidHandle},
        {"null handle", 0, "SYSTEM", kKeyRead, kErrorInvalidHandle},
    };
    for (const OpenCase& c : cases) {
        HKey key = 0xDEAD;
        EXPECT_EQ(reg.OpenKeyEx(c.root, c.subKey, 0, c.access, &key), c.expected) << c.label;
        if (c.expected == kErrorSuccess) {
            EXPECT_NE(key, 0u) << c.label;
            EXPECT_EQ(reg.CloseKey(key), kErrorSuccess) << c.label;
        } else {
            EXPECT_EQ(key, 0u) << c.label;
        }
        EXPECT_EQ(reg.OpenHandleCount(), 0u) << c.label;
    }
    HKey key = 0;
    EXPECT_EQ(reg.OpenKeyEx(kHkeyLocalMachine, "SYSTEM", 0, kKeyRead, nullptr),
              kErrorInvalidParameter);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "SYSTEM", 0, kKeyRead, nullptr, nullptr),
              kErrorBadKey);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "\\SYSTEM", 0, kKeyRead, &key, nullptr),
              kErrorBadPathname);
}

TEST_F(SimRegistryTest, HandlesAreCountedAndCheckedLikeWindowsHandles) {
    reg.PutKey(kHkeyLocalMachine, "SOFTWARE");
    // A predefined key with no subkey comes back as itself; closing it succeeds and costs nothing.
    HKey root = 0;
    EXPECT_EQ(reg.OpenKeyEx(kHkeyLocalMachine, nullptr, 0, kKeyRead, &root), kErrorSuccess);
    EXPECT_EQ(root, kHkeyLocalMachine);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
    EXPECT_EQ(reg.CloseKey(kHkeyLocalMachine), kErrorSuccess);

    const HKey first = OpenOrFail("SOFTWARE", kKeyRead);
    HKey again = 0;
    EXPECT_EQ(reg.OpenKeyEx(first, "", 0, kKeyQueryValue, &again), kErrorSuccess);
    EXPECT_NE(again, first);
    EXPECT_EQ(reg.OpenHandleCount(), 2u);
    EXPECT_EQ(reg.CloseKey(again), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(first), kErrorSuccess);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);

    // A closed handle is dead for every call, and is never handed out again.
    std::uint32_t size = 0;
    char name[8];
    std::uint32_t nameSize = sizeof name;
    HKey sub = 0;
    const std::uint8_t byte = 1;
    EXPECT_EQ(reg.CloseKey(first), kErrorInvalidHandle);
    EXPECT_EQ(reg.QueryValueEx(first, "x", nullptr, nullptr, &size), kErrorInvalidHandle);
    EXPECT_EQ(reg.SetValueEx(first, "x", kRegBinary, &byte, 1), kErrorInvalidHandle);
    EXPECT_EQ(reg.EnumKeyEx(first, 0, name, &nameSize, nullptr, nullptr, nullptr),
              kErrorInvalidHandle);
    EXPECT_EQ(reg.OpenKeyEx(first, "", 0, kKeyRead, &sub), kErrorInvalidHandle);
    const HKey later = OpenOrFail("SOFTWARE", kKeyRead);
    EXPECT_NE(later, first);
    EXPECT_NE(later, again);
    reg.CloseKey(later);
}

struct AccessCase {
    std::uint32_t access;
    long enumStatus;
    long queryStatus;
    long setStatus;
};

TEST_F(SimRegistryTest, EachHandleAllowsOnlyWhatItWasOpenedFor) {
    reg.PutKey(kHkeyLocalMachine, "K\\Sub");
    reg.PutValue(kHkeyLocalMachine, "K", "V", DwordValue(1));
    const AccessCase cases[] = {
        {kKeyQueryValue, kErrorAccessDenied, 0, kErrorAccessDenied},
        {kKeyEnumerateSubKeys, 0, kErrorAccessDenied, kErrorAccessDenied},
        {kKeySetValue, kErrorAccessDenied, kErrorAccessDenied, 0},
        {kKeyCreateSubKey, kErrorAccessDenied, kErrorAccessDenied, kErrorAccessDenied},
        {kKeyRead, 0, 0, kErrorAccessDenied},
        {kKeyAllAccess, 0, 0, 0},
        {0x80000000u /* GENERIC_READ */, 0, 0, kErrorAccessDenied},
        {0x02000000u /* MAXIMUM_ALLOWED */, 0, 0, 0},
    };
    for (const AccessCase& c : cases) {
        const HKey key = OpenOrFail("K", c.access);
        char name[16];
        std::uint32_t nameSize = sizeof name;
        std::uint32_t size = 0;
        const std::uint8_t data[4] = {2, 0, 0, 0};
        EXPECT_EQ(reg.EnumKeyEx(key, 0, name, &nameSize, nullptr, nullptr, nullptr), c.enumStatus)
            << std::hex << c.access;
        EXPECT_EQ(reg.QueryValueEx(key, "V", nullptr, nullptr, &size), c.queryStatus)
            << std::hex << c.access;
        EXPECT_EQ(reg.SetValueEx(key, "V", kRegDword, data, 4), c.setStatus)
            << std::hex << c.access;
        reg.CloseKey(key);
    }
    // A create hands out exactly the rights it was asked for, whatever the parent handle had.
    HKey created = 0;
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "K", 0, kKeyCreateSubKey, &created, nullptr),
              kErrorSuccess);
    const std::uint8_t byte = 0;
    EXPECT_EQ(reg.SetValueEx(created, "V", kRegBinary, &byte, 1), kErrorAccessDenied);
    reg.CloseKey(created);
}

TEST_F(SimRegistryTest, SubkeysEnumerateInUppercaseOrdinalOrderWithTheirOwnCasing) {
    for (const char* name : {"beta", "_under", "Alpha", "ab", "ALPHA2", "Zed", "a_b", "b"}) {
        reg.PutKey(kHkeyLocalMachine, std::string("Root\\") + name);
    }
    // Upper-case folding puts '_' (0x5F) after the letters; lower-case folding would not.
    const std::vector<std::string> expected = {"ab", "Alpha", "ALPHA2", "a_b",
                                               "b",  "beta",  "Zed",    "_under"};
    const HKey key = OpenOrFail("root", kKeyEnumerateSubKeys);
    EXPECT_EQ(Enumerate(key), expected);
    EXPECT_EQ(reg.SubKeyNames(kHkeyLocalMachine, "ROOT"), expected);

    std::uint32_t disposition = 0;
    HKey same = 0;
    EXPECT_EQ(reg.CreateKeyEx(key, "ALPHA", 0, kKeyRead, &same, &disposition), kErrorSuccess);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    EXPECT_EQ(Enumerate(key), expected);
    reg.CloseKey(same);
    reg.CloseKey(key);
}

// Enumeration keeps its place between calls: indices asked in order, out of order or after any
// change of the key's children must still name the right subkey.
TEST_F(SimRegistryTest, EnumerationByIndexFollowsEveryChangeOfTheChildren) {
    for (const char* name : {"b", "d", "f", "h"}) {
        reg.PutKey(kHkeyLocalMachine, std::string("Walk\\") + name);
    }
    const HKey key = OpenOrFail("Walk", kKeyRead | kKeyCreateSubKey);
    const auto at = [&](std::uint32_t index) {
        char name[256];
        std::uint32_t size = sizeof name;
        const long status = reg.EnumKeyEx(key, index, name, &size, nullptr, nullptr, nullptr);
        return status == kErrorSuccess ? std::string(name, size) : "#" + std::to_string(status);
    };
    EXPECT_EQ(Enumerate(key), (std::vector<std::string>{"b", "d", "f", "h"}));
    const std::pair<std::uint32_t, const char*> jumps[] = {
        {2, "f"}, {0, "b"}, {3, "h"}, {1, "d"}, {4, "#259"}, {3, "h"}, {2, "f"}};
    for (const auto& [index, name] : jumps) {
        EXPECT_EQ(at(index), name) << "index " << index;
    }

    struct Change {
        const char* label;
        std::uint32_t place;  // the index enumerated just before the change
        std::function<void()> apply;
        std::vector<std::string> after;
    };
    const Change changes[] = {
        {"a key put before the place",
         2,
         [&] { reg.PutKey(kHkeyLocalMachine, "Walk\\c"); },
         {"b", "c", "d", "f", "h"}},
        {"a key created through a handle",
         4,
         [&] {
             HKey created = 0;
             EXPECT_EQ(reg.CreateKeyEx(key, "a", 0, kKeyRead, &created, nullptr), kErrorSuccess);
             reg.CloseKey(created);
         },
         {"a", "b", "c", "d", "f", "h"}},
        {"the key at the place deleted",
         3,
         [&] { reg.DeleteKey(kHkeyLocalMachine, "Walk\\d"); },
         {"a", "b", "c", "f", "h"}},
        {"an import deleting one key and adding another",
         2,
         [&] {
             EXPECT_TRUE(
                 reg.ImportRegText("REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\Walk\\b]\r\n"
                                   "[HKEY_LOCAL_MACHINE\\Walk\\e]\r\n"));
         },
         {"a", "c", "e", "f", "h"}},
    };
    for (const Change& change : changes) {
        at(change.place);
        change.apply();
        EXPECT_EQ(at(change.place), change.after[change.place]) << change.label;
        EXPECT_EQ(Enumerate(key), change.after) << change.label;
    }
    reg.CloseKey(key);
}

struct EnumSizeCase {
    std::size_t nameLength;
    std::uint32_t nameSize;
    bool withClass;
    std::uint32_t classSize;
    long expected;
};

TEST_F(SimRegistryTest, EnumKeyExCountsBufferSizesTheWindowsWay) {
    const EnumSizeCase cases[] = {
        {4, 5, false, 0, 0},               // name and terminator fit exactly
        {4, 4, false, 0, kErrorMoreData},  // no room for the terminator
        {4, 0, false, 0, kErrorMoreData},
        {254, 255, true, 255, 0},  // the longest name a 255 buffer takes
        {255, 255, true, 255, kErrorMoreData},
        {255, 256, true, 255, 0},
        {4, 5, true, 0, kErrorMoreData},  // the empty class still needs its terminator
        {4, 5, true, 1, 0},
    };
    for (const EnumSizeCase& c : cases) {
        const std::string name(c.nameLength, 'n');
        reg.DeleteKey(kHkeyLocalMachine, "E");
        reg.PutKey(kHkeyLocalMachine, "E\\" + name);
        const HKey key = OpenOrFail("E", kKeyEnumerateSubKeys);
        std::vector<char> buffer(300, '#');
        std::vector<char> classBuffer(300, '#');
        std::uint32_t nameSize = c.nameSize;
        std::uint32_t classSize = c.classSize;
        FileTime written;
        const long status = reg.EnumKeyEx(key, 0, buffer.data(), &nameSize,
                                          c.withClass ? classBuffer.data() : nullptr,
                                          c.withClass ? &classSize : nullptr, &written);
        EXPECT_EQ(status, c.expected) << c.nameLength << "/" << c.nameSize;
        if (status == kErrorSuccess) {
            EXPECT_EQ(nameSize, c.nameLength);
            EXPECT_EQ(std::string(buffer.data()), name);
            if (c.withClass) {
                EXPECT_EQ(classSize, 0u);
                EXPECT_EQ(classBuffer[0], '\0');
            }
        } else {
            EXPECT_EQ(nameSize, c.nameSize) << "a failed call leaves the size alone";
            EXPECT_EQ(buffer[0], '#') << "a failed call copies nothing";
        }
        std::uint32_t size = 300;
        EXPECT_EQ(reg.EnumKeyEx(key, 1, buffer.data(), &size, nullptr, nullptr, nullptr),
                  kErrorNoMoreItems);
        EXPECT_EQ(reg.EnumKeyEx(key, 0, nullptr, &size, nullptr, nullptr, nullptr),
                  kErrorInvalidParameter);
        reg.CloseKey(key);
    }
}

struct QueryCase {
    const char* label;
    const char* valueName;
    bool withData;
    std::uint32_t bufferSize;
    long expected;
    std::uint32_t sizeAfter;
};

TEST_F(SimRegistryTest, QueryValueExReportsTypeAndSizeAndRefusesShortBuffers) {
    reg.PutValue(kHkeyLocalMachine, "Q", "Text", StringValue("abc"));
    reg.PutValue(kHkeyLocalMachine, "Q", "", StringValue("default"));
    const QueryCase cases[] = {
        {"size only", "Text", false, 0, 0, 4},
        {"short buffer", "Text", true, 3, kErrorMoreData, 4},
        {"exact buffer", "Text", true, 4, 0, 4},
        {"large buffer", "Text", true, 64, 0, 4},
        {"names ignore case", "tEXT", true, 4, 0, 4},
        {"missing value", "Other", true, 64, kErrorFileNotFound, 64},
        {"null name is the default", nullptr, true, 64, 0, 8},
        {"empty name is the default", "", false, 0, 0, 8},
    };
    const HKey key = OpenOrFail("Q", kKeyQueryValue);
    for (const QueryCase& c : cases) {
        std::uint8_t buffer[64];
        std::memset(buffer, 0xEE, sizeof buffer);
        std::uint32_t size = c.bufferSize;
        std::uint32_t type = 99;
        EXPECT_EQ(reg.QueryValueEx(key, c.valueName, &type, c.withData ? buffer : nullptr, &size),
                  c.expected)
            << c.label;
        EXPECT_EQ(size, c.sizeAfter) << c.label;
        if (c.expected == kErrorSuccess) {
            EXPECT_EQ(type, kRegSz) << c.label;
        }
        if (c.expected == kErrorSuccess && c.withData) {
            EXPECT_EQ(std::memcmp(buffer, c.sizeAfter == 4 ? "abc" : "default", c.sizeAfter), 0)
                << c.label;
        } else {
            EXPECT_EQ(buffer[0], 0xEE) << c.label << ": nothing written";
        }
    }
    std::uint8_t buffer[4];
    EXPECT_EQ(reg.QueryValueEx(key, "Text", nullptr, buffer, nullptr), kErrorInvalidParameter);
    EXPECT_EQ(reg.QueryValueEx(key, "Text", nullptr, nullptr, nullptr), kErrorSuccess);
    reg.CloseKey(key);
}

TEST_F(SimRegistryTest, SetValueExStoresRawBytesAndReplacesInPlace) {
    reg.PutKey(kHkeyLocalMachine, "S");
    const HKey s = OpenOrFail("S", kKeySetValue | kKeyQueryValue);
    const std::uint8_t unterminated[3] = {'a', 'b', 'c'};
    const std::uint8_t dword[4] = {7, 0, 0, 0};
    EXPECT_EQ(reg.SetValueEx(s, "First", kRegSz, unterminated, 3), kErrorSuccess);
    EXPECT_EQ(reg.SetValueEx(s, "Second", kRegBinary, nullptr, 0), kErrorSuccess);
    EXPECT_EQ(reg.SetValueEx(s, "FIRST", kRegDword, dword, 4), kErrorSuccess);
    EXPECT_EQ(reg.SetValueEx(s, "Third", kRegBinary, nullptr, 2), kErrorNoAccess);

    EXPECT_EQ(reg.ValueNames(kHkeyLocalMachine, "S"),
              (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(Describe(reg.GetValue(kHkeyLocalMachine, "S", "first")), "4: 07 00 00 00");
    EXPECT_EQ(Describe(reg.GetValue(kHkeyLocalMachine, "S", "Second")), "3:");

    // A string stored without its terminator comes back as stored, as on Windows.
    EXPECT_EQ(reg.SetValueEx(s, "Second", kRegSz, unterminated, 3), kErrorSuccess);
    std::uint8_t buffer[8] = {};
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(reg.QueryValueEx(s, "Second", nullptr, buffer, &size), kErrorSuccess);
    EXPECT_EQ(size, 3u);
    reg.CloseKey(s);
}

TEST_F(SimRegistryTest, CreateKeyExCreatesParentsAndRespectsRefusals) {
    HKey key = 0;
    std::uint32_t disposition = 0;
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "SOFTWARE\\Velkora\\Quorvel", 0, kKeyCreateSubKey,
                              &key, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    EXPECT_TRUE(reg.HasKey(kHkeyLocalMachine, "software\\velkora"));
    reg.CloseKey(key);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "SOFTWARE\\VELKORA\\QUORVEL", 0, kKeyCreateSubKey,
                              &key, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    reg.CloseKey(key);

    // A parent that refuses new subkeys, and a key that refuses the rights asked for.
    reg.PutKey(kHkeyLocalMachine, "Closed");
    reg.DenyAccess(kHkeyLocalMachine, "Closed", kKeyCreateSubKey);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "Closed\\A\\B", 0, kKeyAllAccess, &key, nullptr),
              kErrorAccessDenied);
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "Closed\\A"));
    reg.DenyAccess(kHkeyLocalMachine, "Open\\Refusing", kKeySetValue);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "Open\\Refusing", 0, kKeySetValue, &key, nullptr),
              kErrorAccessDenied);
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "Open"));

    // A stable key cannot live under a volatile one (Wine's Control\Video).
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "Video", kRegOptionVolatile, kKeyAllAccess, &key,
                              nullptr),
              kErrorSuccess);
    reg.CloseKey(key);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "Video\\0000", 0, kKeyAllAccess, &key, nullptr),
              kErrorChildMustBeVolatile);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "Video\\0000", kRegOptionVolatile, kKeyAllAccess,
                              &key, nullptr),
              kErrorSuccess);
    reg.CloseKey(key);
    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "Video\\0000", 0, kKeyAllAccess, &key, nullptr),
              kErrorSuccess);
    reg.CloseKey(key);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST_F(SimRegistryTest, HandleToADeletedKeyFailsUntilClosed) {
    reg.PutValue(kHkeyLocalMachine, "Gone\\Child", "V", DwordValue(1));
    const HKey parent = OpenOrFail("Gone", kKeyAllAccess);
    const HKey child = OpenOrFail("Gone\\Child", kKeyAllAccess);
    reg.DeleteKey(kHkeyLocalMachine, "GONE");
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "Gone\\Child"));

    std::uint32_t size = 0;
    char name[16];
    std::uint32_t nameSize = sizeof name;
    HKey sub = 0;
    EXPECT_EQ(reg.QueryValueEx(child, "V", nullptr, nullptr, &size), kErrorKeyDeleted);
    EXPECT_EQ(reg.SetValueEx(child, "V", kRegBinary, nullptr, 0), kErrorKeyDeleted);
    EXPECT_EQ(reg.EnumKeyEx(parent, 0, name, &nameSize, nullptr, nullptr, nullptr),
              kErrorKeyDeleted);
    EXPECT_EQ(reg.OpenKeyEx(parent, "Child", 0, kKeyRead, &sub), kErrorKeyDeleted);

    // A key made again under the same name is a new key; the old handle still sees the old one.
    reg.PutValue(kHkeyLocalMachine, "Gone\\Child", "V", DwordValue(2));
    EXPECT_EQ(reg.QueryValueEx(child, "V", nullptr, nullptr, &size), kErrorKeyDeleted);
    EXPECT_EQ(reg.CloseKey(child), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(parent), kErrorSuccess);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST_F(SimRegistryTest, FormatSystemMessageGivesWindowsTextsWithinTheBuffer) {
    const std::pair<std::uint32_t, const char*> texts[] = {
        {0, "The operation completed successfully.\r\n"},
        {2, "The system cannot find the file specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {6, "The handle is invalid.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {234, "More data is available.\r\n"},
        {259, "No more data is available.\r\n"},
        {1018,
         "Illegal operation attempted on a registry key that has been marked for "
         "deletion.\r\n"},
    };
    for (const auto& text : texts) {
        const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(text.second));
        std::vector<char> buffer(2048, '#');
        std::uint32_t lastError = 99;
        EXPECT_EQ(reg.FormatSystemMessage(text.first, buffer.data(), length + 1, &lastError),
                  length);
        EXPECT_STREQ(buffer.data(), text.second);
        EXPECT_EQ(reg.FormatSystemMessage(text.first, buffer.data(), length, &lastError), 0u);
        EXPECT_EQ(lastError, 122u) << text.first;
    }
    char buffer[2048];
    std::uint32_t lastError = 0;
    EXPECT_EQ(reg.FormatSystemMessage(123456, buffer, sizeof buffer, &lastError), 0u);
    EXPECT_EQ(lastError, 317u);

    reg.SetMessageText(5, "Zugriff verweigert\r\n");
    EXPECT_EQ(reg.FormatSystemMessage(5, buffer, sizeof buffer, &lastError), 20u);
    reg.SetFormatFailure(1815u);
    EXPECT_EQ(reg.FormatSystemMessage(5, buffer, sizeof buffer, &lastError), 0u);
    EXPECT_EQ(lastError, 1815u);
    reg.SetFormatFailure(std::nullopt);
    EXPECT_EQ(reg.FormatSystemMessage(0, buffer, sizeof buffer, &lastError), 39u);
}

TEST_F(SimRegistryTest, InjectedFailuresHitOnlyTheMatchingCallAndDoNoWork) {
    reg.PutKey(kHkeyLocalMachine, "SYSTEM\\Services\\nv\\Device0");
    reg.InjectFailure({RegCall::Open, kErrorAccessDenied, "nv\\DEVICE0", std::nullopt, false});
    reg.InjectFailure({RegCall::Create, 1450, "", std::nullopt, false});
    reg.InjectFailure({RegCall::Set, kErrorAccessDenied, "", "_Modes_Delta", true});
    reg.InjectFailure({RegCall::Close, kErrorInvalidHandle, "Device0", std::nullopt, false});
    reg.InjectFailure({RegCall::Format, 1815, "", std::nullopt, false});

    HKey key = 0;
    EXPECT_EQ(Open("SYSTEM\\Services", kKeyRead, &key), kErrorSuccess) << "path does not match";
    reg.CloseKey(key);
    EXPECT_EQ(Open("system\\services\\NV\\device0", kKeyRead, &key), kErrorAccessDenied);
    EXPECT_EQ(key, 0u);

    EXPECT_EQ(reg.CreateKeyEx(kHkeyLocalMachine, "New", 0, kKeyAllAccess, &key, nullptr), 1450);
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "New"));

    key = OpenOrFail("SYSTEM\\Services\\nv\\Device0", kKeyAllAccess);
    const std::uint8_t byte = 1;
    EXPECT_EQ(reg.SetValueEx(key, "Other", kRegBinary, &byte, 1), kErrorSuccess);
    EXPECT_EQ(reg.SetValueEx(key, "_modes_delta", kRegBinary, &byte, 1), kErrorAccessDenied);
    EXPECT_EQ(reg.SetValueEx(key, "_Modes_Delta", kRegBinary, &byte, 1), kErrorAccessDenied)
        << "a repeating failure stays";
    EXPECT_FALSE(reg.GetValue(kHkeyLocalMachine, "SYSTEM\\Services\\nv\\Device0", "_Modes_Delta"));

    // A failed close leaves the handle open; the next close releases it.
    EXPECT_EQ(reg.CloseKey(key), kErrorInvalidHandle);
    EXPECT_EQ(reg.OpenHandleCount(), 1u);
    EXPECT_EQ(reg.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);

    char buffer[256];
    std::uint32_t lastError = 0;
    EXPECT_EQ(reg.FormatSystemMessage(5, buffer, sizeof buffer, &lastError), 0u);
    EXPECT_EQ(lastError, 1815u);
    EXPECT_EQ(reg.FormatSystemMessage(5, buffer, sizeof buffer, &lastError), 19u);
}

TEST_F(SimRegistryTest, CallsRecordFullPathsInStoredCasingAndResults) {
    reg.PutValue(kHkeyLocalMachine, "SOFTWARE\\Velkora", "Version", StringValue("2.01 E"));
    reg.ClearCalls();
    HKey key = 0;
    reg.OpenKeyEx(kHkeyLocalMachine, "software\\velkora\\Missing", 0, kKeyQueryValue, &key);
    key = OpenOrFail("software\\VELKORA", kKeyEnumerateSubKeys | kKeyQueryValue);
    std::uint32_t size = 0;
    reg.QueryValueEx(key, "version", nullptr, nullptr, &size);
    char name[8];
    std::uint32_t nameSize = sizeof name;
    reg.EnumKeyEx(key, 3, name, &nameSize, nullptr, nullptr, nullptr);
    reg.CloseKey(key);

    const std::vector<RegCallRecord>& calls = reg.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].call, RegCall::Open);
    EXPECT_EQ(calls[0].keyPath, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Velkora\\Missing");
    EXPECT_EQ(calls[0].name, "software\\velkora\\Missing");
    EXPECT_EQ(calls[0].access, kKeyQueryValue);
    EXPECT_EQ(calls[0].status, kErrorFileNotFound);
    EXPECT_EQ(calls[1].keyPath, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Velkora");
    EXPECT_EQ(calls[1].status, kErrorSuccess);
    EXPECT_EQ(calls[2].call, RegCall::Query);
    EXPECT_EQ(calls[2].keyPath, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Velkora");
    EXPECT_EQ(calls[2].name, "version");
    EXPECT_EQ(calls[3].call, RegCall::Enum);
    EXPECT_EQ(calls[3].index, 3u);
    EXPECT_EQ(calls[3].status, kErrorNoMoreItems);
    EXPECT_EQ(calls[4].call, RegCall::Close);
    EXPECT_EQ(calls[4].keyPath, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Velkora");
    reg.ClearCalls();
    EXPECT_TRUE(reg.Calls().empty());
}

// --- .reg files -------------------------------------------------------------------------------

struct ValueLineCase {
    const char* header;
    const char* line;
    const char* name;
    RawValue expected;
};

TEST(RegImport, ReadsEveryValueForm) {
    const char* v5 = "Windows Registry Editor Version 5.00";
    const ValueLineCase cases[] = {
        {v5, R"("s"="a\\b\"c")", "s", Raw(kRegSz, "a\\b\"c\0"s)},
        {v5, R"(@="default")", "", Raw(kRegSz, "default\0"s)},
        {v5, R"("e"="")", "e", Raw(kRegSz, "\0"s)},
        {v5, R"("d" = dword:0000000a)", "d", Raw(kRegDword, "\x0a\0\0\0"s)},
        {v5, R"("d"=dword:FFFFFFFF)", "d", Raw(kRegDword, "\xff\xff\xff\xff"s)},
        {v5, R"("b"=hex:01,ff,00)", "b", Raw(kRegBinary, "\x01\xff\0"s)},
        {v5, R"("b"=hex:)", "b", Raw(kRegBinary, "")},
        {v5, R"("n"=hex(0):)", "n", Raw(kRegNone, "")},
        {v5, R"("q"=hex(b):01,00,00,00,00,00,00,00)", "q", Raw(11, "\x01\0\0\0\0\0\0\0"s)},
        // Version 5.00 writes string types in UTF-16LE; the ANSI calls see them narrowed.
        {v5, R"("m"=hex(7):61,00,00,00,e9,00,00,00,00,00)", "m", Raw(kRegMultiSz, "a\0\xe9\0\0"s)},
        {v5, R"("x"=hex(2):25,00,41,00,25,00,00,00)", "x", Raw(kRegExpandSz, "%A%\0"s)},
        {v5, R"("z"=hex(1):ac,20,00,00)", "z", Raw(kRegSz, "\x80\0"s)},
        {v5, "\"c\"=hex:01,02,\\\r\n  03,\\\n\t04", "c", Raw(kRegBinary, "\x01\x02\x03\x04")},
        {"REGEDIT4", R"("m"=hex(7):61,00,00)", "m", Raw(kRegMultiSz, "a\0\0"s)},
        {"REGEDIT4", R"("s"="text")", "s", Raw(kRegSz, "text\0"s)},
    };
    for (const ValueLineCase& c : cases) {
        SimRegistry reg;
        std::string error;
        const std::string text =
            std::string(c.header) + "\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n" + c.line + "\r\n";
        ASSERT_TRUE(reg.ImportRegText(text, &error)) << c.line << ": " << error;
        EXPECT_EQ(Describe(reg.GetValue(kHkeyLocalMachine, "K", c.name)), Describe(c.expected))
            << c.line;
    }
}

TEST(RegImport, AppliesKeysDeletionsShortRootsAndComments) {
    SimRegistry reg;
    reg.PutValue(kHkeyLocalMachine, "Old\\Sub", "V", DwordValue(1));
    reg.PutValue(kHkeyCurrentUser, "Keep", "Drop", DwordValue(1));
    reg.PutValue(kHkeyCurrentUser, "Keep", "Stay", DwordValue(2));
    const std::string text =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "; a comment\n"
        "[-HKEY_LOCAL_MACHINE\\Old]\n"
        "\"Ignored\"=\"values of a deleted key\"\n"
        "[HKLM\\New\\Empty]\n"
        "[hkcu\\Keep]\n"
        "  \"Drop\"=-\n"
        "\"Missing\"=-\n"
        "[-HKLM\\NotThere]\n";
    std::string error;
    ASSERT_TRUE(reg.ImportRegText(text, &error)) << error;
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "Old"));
    EXPECT_TRUE(reg.HasKey(kHkeyLocalMachine, "New\\Empty"));
    EXPECT_EQ(reg.ValueNames(kHkeyCurrentUser, "Keep"), std::vector<std::string>{"Stay"});
}

TEST(RegImport, ReadsUtf16WithByteOrderMark) {
    const std::string ansi =
        "Windows Registry Editor Version "
        "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"s\"=\"caf\xe9\"\r\n";
    std::string wide = "\xff\xfe";
    for (unsigned char c : ansi) {
        wide += static_cast<char>(c);
        wide += '\0';
    }
    SimRegistry reg;
    std::string error;
    ASSERT_TRUE(reg.ImportRegText(wide, &error)) << error;
    EXPECT_EQ(Describe(reg.GetValue(kHkeyLocalMachine, "K", "s")),
              Describe(Raw(kRegSz, "caf\xe9\0"s)));

    // U+4E2D has no Windows-1252 equivalent; it sits on line 4.
    std::string bad = wide.substr(0, wide.size() - 6) + "\x2d\x4e\"\0\r\0\n\0"s;
    EXPECT_FALSE(reg.ImportRegText(bad, &error));
    EXPECT_EQ(error.rfind("line 4:", 0), 0u) << error;
}

struct BadFileCase {
    const char* text;
    const char* errorStart;
};

TEST(RegImport, RejectsMalformedFilesNamingTheLineAndChangingNothing) {
    const BadFileCase cases[] = {
        {"REGEDIT5\r\n", "line 1:"},
        {"[HKEY_LOCAL_MACHINE\\K]\r\n", "line 1:"},
        {"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_BOGUS\\K]\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K\r\n", "line 2:"},
        {"Windows Registry Editor Version 5.00\r\n\"v\"=dword:1\r\n", "line 2:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=dword:123456789\r\n",
         "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=dword:xyz\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=hex:01,zz\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=hex:01,,02\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=\"open\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=\"a\\n\"\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\nv=\"a\"\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=hex(7):61,00,00\r\n",
         "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"v\"=hex:01,\\\r\n", "line 3:"},
        {"Windows Registry Editor Version 5.00\r\n[-HKLM]\r\n", "line 2:"},
    };
    for (const BadFileCase& c : cases) {
        SimRegistry reg;
        const std::string text = std::string(c.text);
        std::string error;
        EXPECT_FALSE(reg.ImportRegText(text, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.errorStart, 0), 0u) << c.text << " gave: " << error;
        EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "K")) << c.text;
    }
}

TEST(RegExport, RoundTripsEveryKindOfValueExactly) {
    SimRegistry original;
    const std::string bigBinary = [] {
        std::string bytes;
        for (int i = 0; i < 200; ++i) {
            bytes += static_cast<char>(i);
        }
        return bytes;
    }();
    const std::pair<const char*, RawValue> values[] = {
        {"Plain", StringValue("text with \"quotes\" and \\backslashes\\")},
        {"", StringValue("the default")},
        {"Quote\"In\\Name", StringValue("")},
        {"Ansi", StringValue("caf\xe9 \x80")},
        {"EmbeddedNul", Raw(kRegSz, "ab\0cd\0"s)},
        {"Unterminated", Raw(kRegSz, "abc")},
        {"LineBreak", Raw(kRegSz, "one\r\ntwo\0"s)},
        {"Empty", Raw(kRegSz, "")},
        {"Dword", DwordValue(0x8000000a)},
        {"ShortDword", Raw(kRegDword, "\x01\x02\x03")},
        {"Binary", Raw(kRegBinary, bigBinary)},
        {"Multi", MultiStringValue({"nv4_disp", "second"})},
        {"Expand", Raw(kRegExpandSz, "%SystemRoot%\\x\0"s)},
        {"None", Raw(kRegNone, "")},
        {"Qword", Raw(11, "\x01\x02\x03\x04\x05\x06\x07\x08")},
    };
    for (const auto& value : values) {
        original.PutValue(kHkeyLocalMachine, "SOFTWARE\\Test\\Values", value.first, value.second);
    }
    original.PutKey(kHkeyLocalMachine, "SOFTWARE\\Test\\zeta\\Empty");
    original.PutKey(kHkeyLocalMachine, "SOFTWARE\\Test\\Alpha");
    original.PutKey(kHkeyLocalMachine, "SOFTWARE\\Outside");

    const std::string text = original.ExportRegText(kHkeyLocalMachine, "software\\test");
    SimRegistry copy;
    std::string error;
    ASSERT_TRUE(copy.ImportRegText(text, &error)) << error << "\n" << text;
    EXPECT_EQ(copy.ExportRegText(kHkeyLocalMachine, "SOFTWARE\\Test"), text);
    EXPECT_FALSE(copy.HasKey(kHkeyLocalMachine, "SOFTWARE\\Outside"));
    EXPECT_TRUE(copy.HasKey(kHkeyLocalMachine, "SOFTWARE\\Test\\zeta\\Empty"));
    for (const auto& value : values) {
        EXPECT_EQ(Describe(copy.GetValue(kHkeyLocalMachine, "SOFTWARE\\Test\\Values", value.first)),
                  Describe(value.second))
            << value.first;
    }
    EXPECT_EQ(copy.ValueNames(kHkeyLocalMachine, "SOFTWARE\\Test\\Values"),
              original.ValueNames(kHkeyLocalMachine, "SOFTWARE\\Test\\Values"));

    // The forms regedit writes, sections in enumeration order, lines within 80 columns.
    EXPECT_EQ(
        text.rfind(
            "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n",
            0),
        0u);
    EXPECT_NE(text.find("\r\n@=\"the default\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"Dword\"=dword:8000000a\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"Multi\"=hex(7):6e,00,76,00,34,00,"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"Binary\"=hex:00,01,"), std::string::npos);
    EXPECT_LT(text.find("Test\\Alpha]"), text.find("Test\\Values]"));
    EXPECT_LT(text.find("Test\\Values]"), text.find("Test\\zeta]"));
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    }
}

TEST(RegImport, LoadsTheDriverFixtureAsTheAnsiCallsSeeIt) {
    SimRegistry reg;
    std::string error;
    ASSERT_TRUE(reg.ImportRegFile(std::string(QUORVEL_FIXTURES_DIR) + "/driver-40.41.reg", &error))
        << error;
    const auto keys =
        reg.SubKeyNames(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Video");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(
        Describe(reg.GetValue(kHkeyLocalMachine,
                              "SYSTEM\\CurrentControlSet\\Control\\Video\\" + keys[0] + "\\0000",
                              "InstalledDisplayDrivers")),
        Describe(MultiStringValue({"nv4_disp"})));
    EXPECT_FALSE(
        reg.ImportRegFile(std::string(QUORVEL_FIXTURES_DIR) + "/no-such-file.reg", &error));
}

}  // namespace
