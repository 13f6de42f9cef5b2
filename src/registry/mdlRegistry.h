// mdlRegistry: nine thin registry operations; each reports its own failures in a box and
// returns a neutral result (empty text, 0 or false). The probes KeyExists and ValueExists are
// silent only when what they look for is not there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/CStr.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

namespace quorvel::registry {

using platform::HKey;

inline constexpr const char* kRegistryErrorPrompt =
    "Unknown Registry-error occured. System-response: ";
inline constexpr const char* kRegistryErrorTitle = "Error";
inline constexpr const char* kNoLanguageText = "<No language-ID found for error-message.>";
inline constexpr const char* kUnknownFormatErrorText = "<Unknown FormatMessage-error occured.>";

using ValueData = platform::RegValue;

enum class ReadResult { Found, Missing, Failed };

// A key path or value name, as the registry functions take it.
using Name = platform::CStr;

// A string value as SetStringValue writes it (with its NUL), and a DWORD as SetDwordValue does.
ValueData StringData(const std::string& text);
ValueData DwordData(std::uint32_t number);
// The number a REG_DWORD of four bytes holds; none for any other value.
std::optional<std::uint32_t> DwordOf(const ValueData& value);

class mdlRegistry {
  public:
    mdlRegistry(platform::IRegistry& api, platform::IPrompt& prompt) : api_(api), prompt_(prompt) {}

    // Shows the error box with the system's text for `status`, the code the failing call
    // returned (registry calls return their status instead of setting the last error).
    void ReportRegistryError(long status);

    void CreateKey(HKey hKey, Name strKeyPath);
    std::string EnumSubKey(HKey hKey, Name strKeyPath, std::int32_t lngIndex);
    bool KeyExists(HKey hKey, Name strKeyPath);
    bool ValueExists(HKey hKey, Name strKeyPath, Name strValueName);
    // The two writes also tell the caller whether the value was written; they are WriteValue with
    // the data as a string or a DWORD.
    bool SetDwordValue(HKey hKey, Name strKeyPath, Name strValueName, std::int32_t lngValue);
    bool SetStringValue(HKey hKey, Name strKeyPath, Name strValueName, const std::string& strData);
    std::int32_t GetDwordValue(HKey hKey, Name strKeyPath, Name strValueName);
    std::string GetStringValue(HKey hKey, Name strKeyPath, Name strValueName);

    // Operations beyond the nine, for reading values back exactly and putting them back as they
    // were. Like the probes they are silent about a key or value that is not there (status 2)
    // and report every other failure; they tell the caller whether they succeeded.
    ReadResult ReadValue(HKey hKey, Name strKeyPath, Name strValueName, ValueData* value);
    bool WriteValue(HKey hKey, Name strKeyPath, Name strValueName, const ValueData& value);
    // A value that is already gone (or whose key is) counts as deleted.
    bool DeleteValue(HKey hKey, Name strKeyPath, Name strValueName);

  private:
    // A key this module opened: it is closed when it goes out of scope, or by Close(), which
    // tells whether the close succeeded. A probe's close is silent: it loses nothing the caller
    // relies on, and it is no answer to the probe's question.
    class Key {
      public:
        Key(mdlRegistry& registry, bool reportClose) : registry_(registry), report_(reportClose) {}
        Key(const Key&) = delete;
        Key& operator=(const Key&) = delete;
        ~Key() { Close(); }
        bool Close();
        HKey handle = 0;

      private:
        mdlRegistry& registry_;
        bool report_;
    };

    // Opens strKeyPath with `access` into `key`; reports a failure when `report` is set.
    bool Open(HKey hKey, Name strKeyPath, std::uint32_t access, Key& key, bool report);
    // The probes' report: silent for status 2 (the key or value is not there).
    void ReportUnlessMissing(long status);

    platform::IRegistry& api_;
    platform::IPrompt& prompt_;
};

}  // namespace quorvel::registry
