// The undo file: a REGEDIT4 file that regedit imports by double-click, written and read back by
// the program. Its reader is strict: it accepts only the values the program manages.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "registry/mdlRegistry.h"

namespace quorvel::backup {

// One managed value as it was: its key below HKEY_LOCAL_MACHINE, its name, and its type and
// bytes, or none when the value was not there.
struct SavedValue {
    std::string keyPath;
    std::string name;
    std::optional<registry::ValueData> data;
    std::size_t keyLine = 0;  // read from a file: the line of its key, 1-based
};

// REGEDIT4 text with CR LF line ends: the comments, then one section per run of values of the
// same key, then the end line. Strings are written as regedit writes them when that gives back
// the same bytes, DWORDs as dword:, anything else as hex(N): bytes; a missing value as =-.
std::string FormatUndoFile(const std::vector<std::string>& comments,
                           const std::vector<SavedValue>& values);

// A value's data as a .reg line gives it, on one line: "text", dword:0000004b or hex(N):...
std::string RegData(const registry::ValueData& value);

struct Refusal {
    std::size_t line = 0;  // 1-based; one past the last line when the file ends too early
    std::string text;      // the line as it can be shown in a box
    std::string reason;
};

struct ParsedUndoFile {
    std::vector<SavedValue> values;  // empty when refused
    std::optional<Refusal> refusal;
};

ParsedUndoFile ParseUndoFile(const std::string& text);

// A key below HKEY_LOCAL_MACHINE that the installation writes: the service key, or a display key
// (the video root, one subkey, "0000"). Compared as the registry compares names.
bool IsManagedKey(const std::string& keyPath);

}  // namespace quorvel::backup
