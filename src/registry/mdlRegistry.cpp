// The registry operations and their error report.
#include "registry/mdlRegistry.h"

#include <vector>

namespace quorvel::registry {

using namespace platform;

namespace {
// Subkey names may be 255 characters; the buffer holds them and the terminator.
constexpr std::uint32_t kNameBufferSize = 256;
constexpr std::uint32_t kClassBufferSize = 255;
constexpr std::uint32_t kErrorTextSize = 2048;
}  // namespace

ValueData StringData(const std::string& text) {
    ValueData value{kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

ValueData DwordData(std::uint32_t number) {
    return {
        kRegDword,
        {static_cast<std::uint8_t>(number & 0xFF), static_cast<std::uint8_t>((number >> 8) & 0xFF),
         static_cast<std::uint8_t>((number >> 16) & 0xFF),
         static_cast<std::uint8_t>(number >> 24)}};
}

std::optional<std::uint32_t> DwordOf(const ValueData& value) {
    if (value.type != kRegDword || value.data.size() != 4) {
        return std::nullopt;
    }
    return value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
           (static_cast<std::uint32_t>(value.data[3]) << 24);
}

void mdlRegistry::ReportRegistryError(long status) {
    std::vector<char> buffer(kErrorTextSize, '\0');
    std::uint32_t formatError = 0;
    const std::uint32_t count = api_.FormatSystemMessage(
        static_cast<std::uint32_t>(status), buffer.data(), kErrorTextSize, &formatError);
    std::string text;
    if (count > 0) {
        text.assign(buffer.data(), count < kErrorTextSize ? count : kErrorTextSize);
    } else if (formatError == static_cast<std::uint32_t>(kErrorResourceLangNotFound)) {
        text = kNoLanguageText;
    } else {
        text = kUnknownFormatErrorText;
    }
    prompt_.Show(kRegistryErrorPrompt + text, kRegistryErrorTitle, kMbOk | kMbIconHand);
}

bool mdlRegistry::Open(HKey hKey, Name strKeyPath, std::uint32_t access, Key& key, bool report) {
    const long status = api_.OpenKeyEx(hKey, strKeyPath.c_str(), 0, access, &key.handle);
    if (status != kErrorSuccess) {
        if (report) {
            ReportRegistryError(status);
        }
        return false;
    }
    return true;
}

void mdlRegistry::ReportUnlessMissing(long status) {
    // "Not there" is the probe's answer; anything else (access denied, a bad handle...) is a
    // failure the user must see, or a refused key would pass for a missing one.
    if (status != kErrorFileNotFound) {
        ReportRegistryError(status);
    }
}

bool mdlRegistry::Key::Close() {
    if (handle == 0) {
        return true;
    }
    const long status = registry_.api_.CloseKey(handle);
    handle = 0;
    if (status != kErrorSuccess && report_) {
        registry_.ReportRegistryError(status);
    }
    return status == kErrorSuccess;
}

void mdlRegistry::CreateKey(HKey hKey, Name strKeyPath) {
    Key key(*this, true);
    std::uint32_t disposition = 0;
    const long status = api_.CreateKeyEx(hKey, strKeyPath.c_str(), kRegOptionNonVolatile,
                                         kKeyCreateSubKey, &key.handle, &disposition);
    if (status != kErrorSuccess) {
        key.handle = 0;
        ReportRegistryError(status);
    }
}

std::string mdlRegistry::EnumSubKey(HKey hKey, Name strKeyPath, std::int32_t lngIndex) {
    Key key(*this, true);
    if (!Open(hKey, strKeyPath, kKeyEnumerateSubKeys, key, true)) {
        return {};
    }
    char name[kNameBufferSize] = {};
    char className[kClassBufferSize] = {};
    std::uint32_t nameSize = kNameBufferSize;
    std::uint32_t classSize = kClassBufferSize;
    FileTime lastWrite;
    const long status = api_.EnumKeyEx(key.handle, static_cast<std::uint32_t>(lngIndex), name,
                                       &nameSize, className, &classSize, &lastWrite);
    std::string result;
    if (status == kErrorSuccess) {
        result.assign(name, nameSize < kNameBufferSize ? nameSize : kNameBufferSize);
    } else if (status != kErrorNoMoreItems) {
        ReportRegistryError(status);
    }
    return result;
}

bool mdlRegistry::KeyExists(HKey hKey, Name strKeyPath) {
    Key key(*this, false);
    const long status =
        api_.OpenKeyEx(hKey, strKeyPath.c_str(), 0, kKeyEnumerateSubKeys, &key.handle);
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
        return false;
    }
    return true;
}

bool mdlRegistry::ValueExists(HKey hKey, Name strKeyPath, Name strValueName) {
    Key key(*this, false);
    long status = api_.OpenKeyEx(hKey, strKeyPath.c_str(), 0, kKeyQueryValue, &key.handle);
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
        return false;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    status = api_.QueryValueEx(key.handle, strValueName.c_str(), &type, nullptr, &size);
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
    }
    return status == kErrorSuccess;
}

bool mdlRegistry::SetDwordValue(HKey hKey, Name strKeyPath, Name strValueName,
                                std::int32_t lngValue) {
    return WriteValue(hKey, strKeyPath, strValueName,
                      DwordData(static_cast<std::uint32_t>(lngValue)));
}

bool mdlRegistry::SetStringValue(HKey hKey, Name strKeyPath, Name strValueName,
                                 const std::string& strData) {
    return WriteValue(hKey, strKeyPath, strValueName, StringData(strData));
}

std::int32_t mdlRegistry::GetDwordValue(HKey hKey, Name strKeyPath, Name strValueName) {
    Key key(*this, true);
    if (!Open(hKey, strKeyPath, kKeyQueryValue, key, true)) {
        return 0;
    }
    // Up to four bytes of any type, as they lie in a zeroed buffer.
    ValueData data{kRegDword, {0, 0, 0, 0}};
    std::uint32_t size = 4;
    std::uint32_t type = 0;
    std::int32_t result = 0;
    const long status =
        api_.QueryValueEx(key.handle, strValueName.c_str(), &type, data.data.data(), &size);
    if (status == kErrorSuccess) {
        result = static_cast<std::int32_t>(*DwordOf(data));
    } else {
        ReportRegistryError(status);
    }
    return result;
}

std::string mdlRegistry::GetStringValue(HKey hKey, Name strKeyPath, Name strValueName) {
    Key key(*this, true);
    if (!Open(hKey, strKeyPath, kKeyQueryValue, key, true)) {
        return {};
    }
    std::string result;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    long status = api_.QueryValueEx(key.handle, strValueName.c_str(), &type, nullptr, &size);
    if (status != kErrorSuccess) {
        ReportRegistryError(status);
    } else {
        std::vector<std::uint8_t> data(size);
        // The size asked for above: a value that grew in between fails with 234, as on Windows.
        status = api_.QueryValueEx(key.handle, strValueName.c_str(), &type,
                                   size > 0 ? data.data() : nullptr, &size);
        if (size == 0 && status == kErrorSuccess) {
            // An empty value: nothing to read.
        } else if (status != kErrorSuccess) {
            ReportRegistryError(status);
        } else {
            const std::size_t length = size < data.size() ? size : data.size();
            std::size_t end = 0;
            while (end < length && data[end] != 0) {
                ++end;
            }
            result.assign(reinterpret_cast<const char*>(data.data()), end);
        }
    }
    return result;
}

ReadResult mdlRegistry::ReadValue(HKey hKey, Name strKeyPath, Name strValueName, ValueData* value) {
    Key key(*this, false);
    long status = api_.OpenKeyEx(hKey, strKeyPath.c_str(), 0, kKeyQueryValue, &key.handle);
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
        return status == kErrorFileNotFound ? ReadResult::Missing : ReadResult::Failed;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    status = api_.QueryValueEx(key.handle, strValueName.c_str(), &type, nullptr, &size);
    std::vector<std::uint8_t> data(size);
    if (status == kErrorSuccess && size > 0) {
        status = api_.QueryValueEx(key.handle, strValueName.c_str(), &type, data.data(), &size);
        data.resize(size < data.size() ? size : data.size());
    }
    // As with the probes, a failing close (silent) loses nothing the caller relies on.
    ReadResult result = ReadResult::Found;
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
        result = status == kErrorFileNotFound ? ReadResult::Missing : ReadResult::Failed;
    } else {
        value->type = type;
        value->data = std::move(data);
    }
    return result;
}

bool mdlRegistry::WriteValue(HKey hKey, Name strKeyPath, Name strValueName,
                             const ValueData& value) {
    Key key(*this, true);
    if (!Open(hKey, strKeyPath, kKeySetValue, key, true)) {
        return false;
    }
    const long status = api_.SetValueEx(key.handle, strValueName.c_str(), value.type,
                                        value.data.empty() ? nullptr : value.data.data(),
                                        static_cast<std::uint32_t>(value.data.size()));
    if (status != kErrorSuccess) {
        ReportRegistryError(status);
    }
    return key.Close() && status == kErrorSuccess;
}

bool mdlRegistry::DeleteValue(HKey hKey, Name strKeyPath, Name strValueName) {
    Key key(*this, true);
    long status = api_.OpenKeyEx(hKey, strKeyPath.c_str(), 0, kKeySetValue, &key.handle);
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
        return status == kErrorFileNotFound;
    }
    status = api_.DeleteValue(key.handle, strValueName.c_str());
    if (status != kErrorSuccess) {
        ReportUnlessMissing(status);
    }
    return key.Close() && (status == kErrorSuccess || status == kErrorFileNotFound);
}

}  // namespace quorvel::registry
