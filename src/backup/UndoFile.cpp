// Writing and reading the undo file.
#include "backup/UndoFile.h"

#include <cstdint>

#include "applied/Applied.h"
#include "backup/BackupTexts.h"
#include "registry/DriverKeys.h"
#include "registry/Plan.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::backup {

using registry::kRootName;
using text::Concat;
using text::kCrLf;

namespace {

// regedit breaks hex data after a comma once a line reaches this width.
constexpr std::size_t kWrapColumn = 76;
constexpr std::size_t kShownLineLength = 100;

using text::SameNoCase;
using text::StartsWithNoCase;

// The value's name as the program writes it, when it is one the program manages in that key.
std::optional<std::string> ManagedName(const std::string& keyPath, const std::string& name) {
    if (SameNoCase(keyPath, applied::kAppliedKey)) {
        for (const char* value :
             {applied::kGenerationValue, applied::kDateValue, applied::kDriverValue}) {
            if (SameNoCase(name, value)) {
                return std::string(value);
            }
        }
        for (const modes::Resolution& resolution : modes::kCatalogue) {
            const std::string value = modes::ResolutionText(resolution);
            if (SameNoCase(name, value)) {
                return value;
            }
        }
        return std::nullopt;
    }
    if (SameNoCase(name, registry::kUseCompressedModeFormat)) {
        return std::string(registry::kUseCompressedModeFormat);
    }
    for (const char* managed : registry::kModesDeltaValues) {
        if (SameNoCase(name, managed)) {
            return std::string(managed);
        }
    }
    return std::nullopt;
}

void AppendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

// Data that the "text" form gives back byte for byte: one terminating NUL, and no other
// character that would end or break the line.
bool IsPlainString(const registry::ValueData& value) {
    if (value.type != platform::kRegSz || value.data.empty() || value.data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] < 0x20 || value.data[i] == 0x7F) {
            return false;
        }
    }
    return true;
}

void AppendValue(std::string& out, const SavedValue& saved) {
    std::string line;
    AppendQuoted(line, saved.name);
    line += '=';
    if (!saved.data) {
        out += Concat({line, "-", kCrLf});
        return;
    }
    const std::string data = RegData(*saved.data);
    if (data[0] == '"' || data[0] == 'd') {
        out += Concat({line, data, kCrLf});
        return;
    }
    // Bytes, broken after a comma as regedit does.
    std::size_t start = 0;
    while (start < data.size()) {
        const std::size_t comma = data.find(',', start);
        const std::size_t end = comma == std::string::npos ? data.size() : comma + 1;
        if (line.size() + (end - start) > kWrapColumn) {
            out += Concat({line, "\\", kCrLf});
            line = "  ";
        }
        line += data.substr(start, end - start);
        start = end;
    }
    out += line + kCrLf;
}

}  // namespace

std::string RegData(const registry::ValueData& value) {
    std::string data;
    if (IsPlainString(value)) {
        AppendQuoted(data, std::string(value.data.begin(), value.data.end() - 1));
        return data;
    }
    if (const std::optional<std::uint32_t> number = registry::DwordOf(value)) {
        return "dword:" + text::Hex(*number, 8, false);
    }
    data = value.type == platform::kRegBinary ? "hex:"
                                              : "hex(" + text::Hex(value.type, 1, false) + "):";
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        data += text::Hex(value.data[i], 2, false);
        if (i + 1 < value.data.size()) {
            data += ',';
        }
    }
    return data;
}

namespace {

class Reader {
  public:
    explicit Reader(const std::string& text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines_.push_back(std::move(line));
            start = end + 1;
        }
        // The break that ends the last line starts no line of its own.
        if (lines_.size() > 1 && lines_.back().empty()) {
            lines_.pop_back();
        }
    }

    ParsedUndoFile Read() {
        if (lines_.front() != kRegHeader) {
            return Refuse(0, kNotAnUndoFile);
        }
        bool ended = false;
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            const std::string& line = lines_[index_];
            // A key's name may hold any character but a line break (a TAB, say).
            if (HasControlCharacter(line) && line[0] != '[') {
                return Refuse(index_, kDamagedLine);
            }
            if (ended) {
                if (!line.empty()) {
                    return Refuse(index_, kAfterTheEnd);
                }
                continue;
            }
            if (line == kEndLine) {
                ended = true;
                continue;
            }
            if (line.empty()) {
                continue;
            }
            const std::size_t first = index_;
            const char* problem = kDamagedLine;
            if (line[0] == ';') {
                problem = line.rfind(kPreviewFileComment, 2) == 2 ? kSavedPreview : nullptr;
            } else if (line[0] == '[') {
                problem = ReadKey(line);
            } else if (line[0] == '"') {
                problem = ReadValue(line);
            }
            if (problem != nullptr) {
                return Refuse(problem == kCutOff ? lines_.size() : first, problem);
            }
        }
        if (!ended) {
            return Refuse(lines_.size(), kCutOff);
        }
        if (result_.values.empty()) {
            return Refuse(lines_.size(), kNoValues);
        }
        return std::move(result_);
    }

  private:
    static bool HasControlCharacter(const std::string& line) {
        for (char c : line) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                return true;
            }
        }
        return false;
    }

    ParsedUndoFile Refuse(std::size_t index, const char* reason) {
        ParsedUndoFile refused;
        std::string shown = index < lines_.size() ? lines_[index] : kEndOfFile;
        for (char& c : shown) {
            c = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
        }
        if (shown.size() > kShownLineLength) {
            shown = shown.substr(0, kShownLineLength) + "...";
        }
        refused.refusal = Refusal{index + 1, shown, reason};
        return refused;
    }

    const char* ReadKey(const std::string& line) {
        const std::string root = std::string(kRootName) + "\\";
        if (line.back() != ']' || !StartsWithNoCase(line.substr(1), root)) {
            return kForeignKey;
        }
        const std::string path = line.substr(1 + root.size(), line.size() - 2 - root.size());
        if (!IsManagedKey(path)) {
            return kForeignKey;
        }
        key_ = path;
        keyLine_ = index_ + 1;
        return nullptr;
    }

    // A quoted text with regedit's two escapes, from `pos` (at the opening quote) to just past
    // the closing one.
    static std::optional<std::string> Quoted(const std::string& line, std::size_t& pos) {
        if (pos >= line.size() || line[pos] != '"') {
            return std::nullopt;
        }
        std::string text;
        for (++pos; pos < line.size(); ++pos) {
            char c = line[pos];
            if (c == '"') {
                ++pos;
                return text;
            }
            if (c == '\\') {
                if (++pos == line.size() || (line[pos] != '\\' && line[pos] != '"')) {
                    return std::nullopt;
                }
                c = line[pos];
            }
            text += c;
        }
        return std::nullopt;
    }

    const char* ReadValue(const std::string& line) {
        std::size_t pos = 0;
        const auto name = Quoted(line, pos);
        if (!name || pos >= line.size() || line[pos] != '=') {
            return kDamagedLine;
        }
        const auto managed = ManagedName(key_.value_or(""), *name);
        if (!managed) {
            return kForeignValue;
        }
        if (!key_) {
            return kValueBeforeKey;
        }
        SavedValue saved{*key_, *managed, std::nullopt, keyLine_};
        const std::string data = line.substr(pos + 1);
        if (data != "-") {
            registry::ValueData value;
            if (const char* problem = ReadData(data, &value)) {
                return problem;
            }
            saved.data = std::move(value);
        }
        result_.values.push_back(std::move(saved));
        return nullptr;
    }

    const char* ReadData(const std::string& data, registry::ValueData* value) {
        if (data.empty()) {
            return kDamagedLine;
        }
        if (data.front() == '"') {
            std::size_t pos = 0;
            const auto text = Quoted(data, pos);
            if (!text || pos != data.size()) {
                return kDamagedLine;
            }
            value->type = platform::kRegSz;
            value->data.assign(text->begin(), text->end());
            value->data.push_back(0);
            return nullptr;
        }
        if (StartsWithNoCase(data, "dword:")) {
            const std::string digits = data.substr(6);
            const auto number = text::ParseHex(digits);
            if (!number || digits.size() > 8) {
                return kDamagedLine;
            }
            *value = registry::DwordData(*number);
            return nullptr;
        }
        std::size_t colon = data.find(':');
        if (StartsWithNoCase(data, "hex:")) {
            value->type = platform::kRegBinary;
        } else if (StartsWithNoCase(data, "hex(") && colon != std::string::npos && colon > 5 &&
                   data[colon - 1] == ')' && colon - 5 <= 8) {
            const auto type = text::ParseHex(data.substr(4, colon - 5));
            if (!type) {
                return kDamagedLine;
            }
            value->type = *type;
        } else {
            return kDamagedLine;
        }
        std::string bytes = data.substr(colon + 1);
        while (!bytes.empty() && bytes.back() == '\\') {
            bytes.pop_back();
            if (++index_ >= lines_.size()) {
                return kCutOff;
            }
            const std::string& next = lines_[index_];
            if (HasControlCharacter(next)) {
                return kDamagedLine;
            }
            const std::size_t start = next.find_first_not_of(' ');
            bytes += start == std::string::npos ? std::string() : next.substr(start);
        }
        for (std::size_t pos = 0; pos < bytes.size(); pos += 3) {
            const auto byte = text::ParseHex(bytes.substr(pos, 2));
            if (!byte || pos + 2 > bytes.size() ||
                (pos + 2 < bytes.size() && (bytes[pos + 2] != ',' || pos + 3 == bytes.size()))) {
                return kDamagedLine;
            }
            value->data.push_back(static_cast<std::uint8_t>(*byte));
        }
        return nullptr;
    }

    std::vector<std::string> lines_;
    std::size_t index_ = 0;
    std::optional<std::string> key_;
    std::size_t keyLine_ = 0;
    ParsedUndoFile result_;
};

}  // namespace

bool IsManagedKey(const std::string& keyPath) {
    if (SameNoCase(keyPath, registry::kServiceKey) || SameNoCase(keyPath, applied::kAppliedKey)) {
        return true;
    }
    const std::string video = std::string(registry::kVideoRoot) + "\\";
    const std::string display = "\\0000";
    if (!StartsWithNoCase(keyPath, video) || keyPath.size() <= video.size() + display.size() ||
        !SameNoCase(keyPath.substr(keyPath.size() - display.size()), display)) {
        return false;
    }
    const std::string adapter =
        keyPath.substr(video.size(), keyPath.size() - video.size() - display.size());
    return adapter.find('\\') == std::string::npos;
}

std::string FormatUndoFile(const std::vector<std::string>& comments,
                           const std::vector<SavedValue>& values) {
    std::string out = std::string(kRegHeader) + kCrLf;
    for (const std::string& comment : comments) {
        out += Concat({comment.empty() ? ";" : "; ", comment, kCrLf});
    }
    const std::string* key = nullptr;
    for (const SavedValue& saved : values) {
        if (key == nullptr || *key != saved.keyPath) {
            key = &saved.keyPath;
            out += Concat({kCrLf, "[", kRootName, "\\", saved.keyPath, "]", kCrLf});
        }
        AppendValue(out, saved);
    }
    return out + Concat({kCrLf, kEndLine, kCrLf});
}

ParsedUndoFile ParseUndoFile(const std::string& text) {
    return Reader(text).Read();
}

}  // namespace quorvel::backup
