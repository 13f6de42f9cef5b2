// Internal to the simulated registry: name folding, the ANSI code page and the .reg text format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/SimRegistry.h"

namespace quorvel::platform::sim::detail {

// The ANSI code page the simulation stands for: Windows-1252.
char16_t AnsiToUnicode(unsigned char c);
std::optional<unsigned char> UnicodeToAnsi(char16_t c);

// A name folded the way the registry compares names: each character in Unicode, upper-cased.
// Ordinal comparison of folded names gives the order RegEnumKeyEx returns subkeys in.
std::u16string FoldName(const std::string& name);
bool NamesEqual(const std::string& a, const std::string& b);

// Splits a key path at backslashes; empty parts (doubled or trailing separators) are dropped.
std::vector<std::string> SplitKeyPath(const std::string& path);

// "HKEY_LOCAL_MACHINE" or "HKLM" (any case) to the predefined handle; 0 when unknown.
HKey RootFromName(const std::string& name);

// One change a .reg file asks for, in file order.
struct RegOp {
    enum class Kind { AddKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::AddKey;
    HKey root = 0;
    std::string path;  // below the root, backslash-separated, no empty parts
    std::string name;  // value name ("" for the default value)
    RawValue value;
};

// Parses .reg text (ANSI, or UTF-16LE with its byte-order mark). Stops at the first error with a
// message naming the line.
bool ParseRegText(const std::string& text, std::vector<RegOp>* ops, std::string* error);

// Export pieces, CRLF line ends included.
inline constexpr const char* kRegFileHeader5 = "Windows Registry Editor Version 5.00";
std::string FormatKeyLine(const std::string& fullPath);
std::string FormatValueLines(const std::string& name, const RawValue& value);

}  // namespace quorvel::platform::sim::detail
