// An in-memory registry that behaves like Windows where the program can tell: used by tests,
// the .reg fixtures and the tools.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace quorvel::platform::sim {

using RawValue = RegValue;

enum class RegCall { Open, Create, Enum, Query, Set, Delete, Close, Format };

// One registry call as the program made it.
struct RegCallRecord {
    RegCall call;
    // Full path of the key the call worked on ("HKEY_LOCAL_MACHINE\..."): for open/create the
    // key opened or created (existing parts in their stored casing); empty for Format and for an
    // unknown handle.
    std::string keyPath;
    std::string name;          // subkey (open/create) or value name (query/set); empty otherwise
    std::uint32_t access = 0;  // access requested by open/create
    std::uint32_t index = 0;   // enumeration index; for Format the message identifier
    long status = 0;           // what the call returned (for Format: the count)
    bool withData = false;     // a query that asked for the data, not only type and size
};

// A failure to inject: the first call (or every call, when `repeat`) that matches `call`, and,
// when set, whose key path ends with `keyPathSuffix` and whose name equals `name` (both
// case-insensitive), returns `status` instead of doing its work. A failed close leaves the handle
// open; a failed Format returns 0 with `status` as its last error.
struct RegFailure {
    RegCall call;
    long status = kErrorAccessDenied;
    std::string keyPathSuffix;
    std::optional<std::string> name;
    bool repeat = false;
};

class SimRegistry : public IRegistry {
  public:
    SimRegistry();
    ~SimRegistry() override;

    // IRegistry, with Windows semantics: names are case-insensitive and case-preserving;
    // subkeys enumerate in case-insensitive sorted order; open of a missing key gives 2;
    // a name or data buffer that is too small gives 234; past the last subkey 259; a handle
    // used for what it was not opened for gives 5; a closed or unknown handle gives 6.
    long OpenKeyEx(HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                   HKey* result) override;
    long CreateKeyEx(HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                     HKey* result, std::uint32_t* disposition) override;
    long EnumKeyEx(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                   char* className, std::uint32_t* classSize, FileTime* lastWriteTime) override;
    long QueryValueEx(HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                      std::uint32_t* dataSize) override;
    long SetValueEx(HKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize) override;
    long DeleteValue(HKey key, const char* valueName) override;
    long CloseKey(HKey key) override;
    std::uint32_t FormatSystemMessage(std::uint32_t messageId, char* buffer, std::uint32_t size,
                                      std::uint32_t* lastError) override;

    // .reg files: "Windows Registry Editor Version 5.00" and "REGEDIT4"; string, dword, hex,
    // hex(N) (hex(7) multi-strings included) values, "@" default values, [-key] deletions,
    // line continuations. Root names in full (HKEY_LOCAL_MACHINE) or short (HKLM).
    bool ImportRegText(const std::string& text, std::string* error = nullptr);
    bool ImportRegFile(const std::string& path, std::string* error = nullptr);
    // The subtree under root\path in "Windows Registry Editor Version 5.00" form.
    std::string ExportRegText(HKey root, const std::string& path) const;

    // Replaces every key, value and refusal with a copy of `other`'s (handles, failures, the
    // call log and message texts stay as they are): a loaded fixture, reused without parsing.
    void CopyKeysFrom(const SimRegistry& other);

    // Direct access for set-up and checks: no handles, no injected failures, nothing recorded.
    void PutKey(HKey root, const std::string& path);
    void PutValue(HKey root, const std::string& path, const std::string& name, RawValue value);
    void DeleteKey(HKey root, const std::string& path);  // with its subtree
    // What a restart of Windows does to the registry: every volatile key goes.
    void Restart();
    bool HasKey(HKey root, const std::string& path) const;
    std::optional<RawValue> GetValue(HKey root, const std::string& path,
                                     const std::string& name) const;
    // Value names of a key in the order they were first written.
    std::vector<std::string> ValueNames(HKey root, const std::string& path) const;
    // Subkey names in enumeration order.
    std::vector<std::string> SubKeyNames(HKey root, const std::string& path) const;
    // Every key below `root`, parents first, in enumeration order: its path below the root and
    // its values in first-write order.
    struct KeyDump {
        std::string path;
        std::vector<std::pair<std::string, RawValue>> values;
    };
    std::vector<KeyDump> Dump(HKey root) const;

    // Opening or creating root\path with any right in `deniedAccess` gives access denied (5).
    void DenyAccess(HKey root, const std::string& path, std::uint32_t deniedAccess);
    void InjectFailure(RegFailure failure);
    // Makes the call that will be recorded as Calls()[callNumber] return `status` instead of
    // doing its work (counting from the start or the last ClearCalls).
    void FailCallNumber(std::size_t callNumber, long status);

    // System message texts, as FormatMessage gives them ("...\r\n" included). A code without a
    // text makes FormatSystemMessage return 0 with last error 317; SetFormatFailure forces 0
    // with the given last error for every code.
    void SetMessageText(std::uint32_t code, std::string text);
    void SetFormatFailure(std::optional<std::uint32_t> lastError);

    const std::vector<RegCallRecord>& Calls() const;
    void ClearCalls();
    std::size_t OpenHandleCount() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Convenience constructors for values.
RawValue StringValue(const std::string& text);                     // REG_SZ with its NUL
RawValue DwordValue(std::uint32_t value);                          // REG_DWORD, little-endian
RawValue MultiStringValue(const std::vector<std::string>& parts);  // REG_MULTI_SZ
std::string RootName(HKey root);                                   // "HKEY_LOCAL_MACHINE"

}  // namespace quorvel::platform::sim
