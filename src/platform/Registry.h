// The registry as the program sees it: the ANSI advapi32 calls it makes, with Win32 status codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::platform {

// A registry key handle. Predefined roots carry the values Windows gives them, sign-extended
// the way the Windows headers do it, so a real HKEY converts without translation.
using HKey = std::uintptr_t;

constexpr HKey MakePredefinedKey(std::uint32_t value) {
    return static_cast<HKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
inline constexpr HKey kHkeyClassesRoot = MakePredefinedKey(0x80000000u);
inline constexpr HKey kHkeyCurrentUser = MakePredefinedKey(0x80000001u);
inline constexpr HKey kHkeyLocalMachine = MakePredefinedKey(0x80000002u);
inline constexpr HKey kHkeyUsers = MakePredefinedKey(0x80000003u);

// Access rights (winnt.h).
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// A value as the registry stores it: its type and its raw bytes.
struct RegValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue& other) const {
        return type == other.type && data == other.data;
    }
    bool operator!=(const RegValue& other) const { return !(*this == other); }
};

// RegCreateKeyEx options and dispositions.
inline constexpr std::uint32_t kRegOptionNonVolatile = 0;
inline constexpr std::uint32_t kRegOptionVolatile = 1;
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// Status codes (winerror.h) the program meets.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorNotAllAssigned = 1300;
inline constexpr long kErrorResourceLangNotFound = 1815;

struct FileTime {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

// Pointer and size arguments follow the Windows contracts: sizes are in/out, in characters for
// names (terminator included on input, excluded on output) and in bytes for value data; a null
// data pointer asks for type and size only.
class IRegistry {
  public:
    virtual ~IRegistry() = default;

    virtual long OpenKeyEx(HKey key, const char* subKey, std::uint32_t options,
                           std::uint32_t access, HKey* result) = 0;
    virtual long CreateKeyEx(HKey key, const char* subKey, std::uint32_t options,
                             std::uint32_t access, HKey* result, std::uint32_t* disposition) = 0;
    virtual long EnumKeyEx(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                           char* className, std::uint32_t* classSize, FileTime* lastWriteTime) = 0;
    virtual long QueryValueEx(HKey key, const char* valueName, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* dataSize) = 0;
    virtual long SetValueEx(HKey key, const char* valueName, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t dataSize) = 0;
    // RegDeleteValueA: needs a handle opened with KEY_SET_VALUE; 2 when there is no such value.
    virtual long DeleteValue(HKey key, const char* valueName) = 0;
    virtual long CloseKey(HKey key) = 0;

    // FormatMessageA with FORMAT_MESSAGE_FROM_SYSTEM alone and language 0: the number of
    // characters written, or 0 with *lastError holding the thread's last error after the call.
    virtual std::uint32_t FormatSystemMessage(std::uint32_t messageId, char* buffer,
                                              std::uint32_t size, std::uint32_t* lastError) = 0;
};

}  // namespace quorvel::platform
