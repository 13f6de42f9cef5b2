// The registry seam over advapi32's ANSI registry calls and kernel32's FormatMessageA.
#include "platform/win32/Win32Platform.h"

namespace quorvel::platform::win32 {

namespace {

// Sizes and types travel as DWORD (unsigned long), which is a distinct type from std::uint32_t
// even though both are 32 bits: each in/out argument goes through a local copy.
class DwordInOut {
  public:
    explicit DwordInOut(std::uint32_t* target) : target_(target), value_(target ? *target : 0) {}
    ~DwordInOut() {
        if (target_ != nullptr) {
            *target_ = static_cast<std::uint32_t>(value_);
        }
    }
    DwordInOut(const DwordInOut&) = delete;
    DwordInOut& operator=(const DwordInOut&) = delete;
    DWORD* get() { return target_ != nullptr ? &value_ : nullptr; }

  private:
    std::uint32_t* target_;
    DWORD value_;
};

}  // namespace

long Win32Registry::OpenKeyEx(HKey key, const char* subKey, std::uint32_t options,
                              std::uint32_t access, HKey* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened);
    if (result != nullptr) {
        *result = FromHkey(opened);
    }
    return status;
}

long Win32Registry::CreateKeyEx(HKey key, const char* subKey, std::uint32_t options,
                                std::uint32_t access, HKey* result, std::uint32_t* disposition) {
    HKEY created = nullptr;
    DwordInOut disp(disposition);
    const LONG status = RegCreateKeyExA(ToHkey(key), subKey, 0, nullptr, options, access, nullptr,
                                        &created, disp.get());
    if (result != nullptr) {
        *result = FromHkey(created);
    }
    return status;
}

long Win32Registry::EnumKeyEx(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                              char* className, std::uint32_t* classSize, FileTime* lastWriteTime) {
    DwordInOut nameLength(nameSize);
    DwordInOut classLength(classSize);
    FILETIME written = {};
    const LONG status =
        RegEnumKeyExA(ToHkey(key), index, name, nameLength.get(), nullptr, className,
                      classLength.get(), lastWriteTime != nullptr ? &written : nullptr);
    if (status == ERROR_SUCCESS && lastWriteTime != nullptr) {
        lastWriteTime->low = written.dwLowDateTime;
        lastWriteTime->high = written.dwHighDateTime;
    }
    return status;
}

long Win32Registry::QueryValueEx(HKey key, const char* valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* dataSize) {
    DwordInOut valueType(type);
    DwordInOut size(dataSize);
    return RegQueryValueExA(ToHkey(key), valueName, nullptr, valueType.get(), data, size.get());
}

long Win32Registry::SetValueEx(HKey key, const char* valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t dataSize) {
    return RegSetValueExA(ToHkey(key), valueName, 0, type, data, dataSize);
}

long Win32Registry::DeleteValue(HKey key, const char* valueName) {
    return RegDeleteValueA(ToHkey(key), valueName);
}

long Win32Registry::CloseKey(HKey key) {
    return RegCloseKey(ToHkey(key));
}

std::uint32_t Win32Registry::FormatSystemMessage(std::uint32_t messageId, char* buffer,
                                                 std::uint32_t size, std::uint32_t* lastError) {
    const DWORD count =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, messageId, 0, buffer, size, nullptr);
    if (count == 0 && lastError != nullptr) {
        *lastError = GetLastError();
    }
    return count;
}

}  // namespace quorvel::platform::win32
