// The .reg text format (regedit's "Windows Registry Editor Version 5.00" and "REGEDIT4"), the
// ANSI code page and registry name folding for the simulated registry.
#include "platform/sim/RegText.h"

#include "text/Numbers.h"
#include "text/Text.h"

#include <cctype>
#include <cstdio>

namespace quorvel::platform::sim::detail {

namespace {

// Windows-1252 0x80..0x9F; the five bytes the code page leaves undefined map to the C1 controls,
// as MultiByteToWideChar maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t UpcaseChar(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<char16_t>(c - 0x20);
    }
    switch (c) {
        case 0xB5:
            return 0x039C;
        case 0xFF:
            return 0x0178;
        case 0x0153:
            return 0x0152;
        case 0x0161:
            return 0x0160;
        case 0x017E:
            return 0x017D;
        default:
            return c;
    }
}

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

using text::HexDigit;
using text::IsBlank;
using text::StartsWithNoCase;

std::string TrimLeft(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) {
        ++i;
    }
    return s.substr(i);
}

std::string TrimRight(std::string s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.pop_back();
    }
    return s;
}

// 1 to maxDigits hex digits and nothing else.
bool ParseHexNumber(const std::string& s, std::size_t maxDigits, std::uint32_t* value) {
    const std::optional<std::uint32_t> parsed =
        s.size() <= maxDigits ? text::ParseHex(s) : std::nullopt;
    if (parsed) {
        *value = *parsed;
    }
    return parsed.has_value();
}

bool Fail(std::string* error, std::size_t line, const std::string& what) {
    if (error != nullptr) {
        *error = "line " + std::to_string(line) + ": " + what;
    }
    return false;
}

std::string CodePointText(char16_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// UTF-16LE (after its byte-order mark) or ANSI bytes to ANSI text.
bool DecodeText(const std::string& raw, std::string* out, std::string* error) {
    const auto byte = [&raw](std::size_t i) { return static_cast<unsigned char>(raw[i]); };
    if (raw.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
        return Fail(error, 1, "UTF-16 big-endian text is not supported");
    }
    if (raw.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        std::size_t line = 1;
        if (raw.size() % 2 != 0) {
            return Fail(error, 1, "UTF-16 text with an odd number of bytes");
        }
        for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
            const auto c = static_cast<char16_t>(byte(i) | (byte(i + 1) << 8));
            const auto ansi = UnicodeToAnsi(c);
            if (!ansi) {
                return Fail(error, line,
                            "character " + CodePointText(c) + " has no ANSI equivalent");
            }
            if (c == u'\n') {
                ++line;
            }
            out->push_back(static_cast<char>(*ansi));
        }
        return true;
    }
    const bool utf8Bom = raw.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF;
    out->assign(raw, utf8Bom ? 3 : 0, std::string::npos);
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        lines.push_back(current);
    }
    return lines;
}

// A quoted name or string starting at s[*pos] == '"'. Only \\ and \" are escapes, as regedit
// writes them.
bool ParseQuoted(const std::string& s, std::size_t* pos, std::string* out, std::string* why) {
    std::size_t i = *pos + 1;
    out->clear();
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            *pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
                out->push_back(s[i + 1]);
                i += 2;
                continue;
            }
            *why = i + 1 < s.size() ? std::string("unknown escape sequence \\") + s[i + 1]
                                    : std::string("unknown escape sequence \\");
            return false;
        }
        out->push_back(c);
        ++i;
    }
    *why = "missing closing quote";
    return false;
}

bool ParseHexBytes(const std::string& list, std::vector<std::uint8_t>* bytes, std::string* why) {
    bytes->clear();
    std::string rest = TrimRight(TrimLeft(list));
    if (rest.empty()) {
        return true;
    }
    if (rest.back() == ',') {
        rest.pop_back();  // a trailing comma is harmless
    }
    std::size_t start = 0;
    while (true) {
        std::size_t comma = rest.find(',', start);
        const bool last = comma == std::string::npos;
        if (last) {
            comma = rest.size();
        }
        const std::string token = TrimRight(TrimLeft(rest.substr(start, comma - start)));
        std::uint32_t value = 0;
        if (!ParseHexNumber(token, 2, &value)) {
            *why = token.empty() ? std::string("empty byte in hex data")
                                 : "bad byte \"" + token + "\" in hex data";
            return false;
        }
        bytes->push_back(static_cast<std::uint8_t>(value));
        if (last) {
            return true;
        }
        start = comma + 1;
    }
}

// Version 5.00 files hold string-typed hex data in UTF-16LE, as the registry stores it; the
// ANSI calls see it in the ANSI code page.
bool NarrowUtf16(const std::vector<std::uint8_t>& wide, std::vector<std::uint8_t>* ansi,
                 std::string* why) {
    if (wide.size() % 2 != 0) {
        *why = "string data of an odd number of bytes";
        return false;
    }
    ansi->clear();
    for (std::size_t i = 0; i < wide.size(); i += 2) {
        const auto c = static_cast<char16_t>(wide[i] | (wide[i + 1] << 8));
        const auto b = UnicodeToAnsi(c);
        if (!b) {
            *why = "character " + CodePointText(c) + " has no ANSI equivalent";
            return false;
        }
        ansi->push_back(*b);
    }
    return true;
}

bool ParseValueData(const std::string& data, bool version5, RegOp* op, std::string* why) {
    if (data == "-") {
        op->kind = RegOp::Kind::DeleteValue;
        return true;
    }
    op->kind = RegOp::Kind::SetValue;
    if (!data.empty() && data[0] == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!ParseQuoted(data, &pos, &text, why)) {
            return false;
        }
        if (pos != data.size()) {
            *why = "unexpected text after the closing quote";
            return false;
        }
        op->value.type = kRegSz;
        op->value.data.assign(text.begin(), text.end());
        op->value.data.push_back(0);
        return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
        std::uint32_t value = 0;
        if (!ParseHexNumber(data.substr(6), 8, &value)) {
            *why = "bad dword \"" + data.substr(6) + "\"";
            return false;
        }
        op->value = DwordValue(value);
        return true;
    }
    if (StartsWithNoCase(data, "hex")) {
        std::size_t pos = 3;
        std::uint32_t type = kRegBinary;
        if (pos < data.size() && data[pos] == '(') {
            const std::size_t close = data.find(')', pos);
            if (close == std::string::npos ||
                !ParseHexNumber(data.substr(pos + 1, close - pos - 1), 8, &type)) {
                *why = "bad type in \"" +
                       data.substr(0, close == std::string::npos ? pos + 1 : close + 1) + "\"";
                return false;
            }
            pos = close + 1;
        }
        if (pos >= data.size() || data[pos] != ':') {
            *why = "expected ':' after hex";
            return false;
        }
        std::vector<std::uint8_t> bytes;
        if (!ParseHexBytes(data.substr(pos + 1), &bytes, why)) {
            return false;
        }
        op->value.type = type;
        if (version5 && IsStringType(type)) {
            return NarrowUtf16(bytes, &op->value.data, why);
        }
        op->value.data = std::move(bytes);
        return true;
    }
    *why = "unrecognised value data \"" + data + "\"";
    return false;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    return out;
}

// Holds exactly one NUL, at its end, and no line break: regedit can write it as "...".
bool IsPlainString(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') {
            return false;
        }
    }
    return true;
}

}  // namespace

char16_t AnsiToUnicode(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : static_cast<char16_t>(c);
}

std::optional<unsigned char> UnicodeToAnsi(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<unsigned char>(c);
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::u16string FoldName(const std::string& name) {
    std::u16string folded;
    folded.reserve(name.size());
    for (char c : name) {
        folded.push_back(UpcaseChar(AnsiToUnicode(static_cast<unsigned char>(c))));
    }
    return folded;
}

bool NamesEqual(const std::string& a, const std::string& b) {
    return a.size() == b.size() && FoldName(a) == FoldName(b);
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

HKey RootFromName(const std::string& name) {
    struct RootName {
        const char* full;
        const char* brief;
        HKey key;
    };
    static const RootName kRoots[] = {
        {"HKEY_CLASSES_ROOT", "HKCR", kHkeyClassesRoot},
        {"HKEY_CURRENT_USER", "HKCU", kHkeyCurrentUser},
        {"HKEY_LOCAL_MACHINE", "HKLM", kHkeyLocalMachine},
        {"HKEY_USERS", "HKU", kHkeyUsers},
    };
    for (const RootName& root : kRoots) {
        if (NamesEqual(name, root.full) || NamesEqual(name, root.brief)) {
            return root.key;
        }
    }
    return 0;
}

bool ParseRegText(const std::string& text, std::vector<RegOp>* ops, std::string* error) {
    std::string decoded;
    if (!DecodeText(text, &decoded, error)) {
        return false;
    }
    const std::vector<std::string> lines = SplitLines(decoded);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('\0') != std::string::npos) {
            return Fail(error, i + 1, "NUL character in the text");
        }
    }

    std::size_t i = 0;
    while (i < lines.size() && TrimRight(lines[i]).empty()) {
        ++i;
    }
    const std::string header = i < lines.size() ? TrimRight(lines[i]) : std::string();
    bool version5 = false;
    if (header == kRegFileHeader5) {
        version5 = true;
    } else if (header != "REGEDIT4") {
        return Fail(error, i + 1,
                    "not a registry file: expected \"Windows Registry Editor Version 5.00\" or "
                    "\"REGEDIT4\"");
    }

    bool inKey = false;
    bool inDeletedKey = false;
    HKey root = 0;
    std::string path;
    for (++i; i < lines.size(); ++i) {
        const std::size_t number = i + 1;
        const std::string line = TrimRight(TrimLeft(lines[i]));
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                return Fail(error, number, "missing ']' at the end of the key line");
            }
            std::string inner = line.substr(1, line.size() - 2);
            const bool remove = !inner.empty() && inner[0] == '-';
            if (remove) {
                inner.erase(0, 1);
            }
            const std::size_t slash = inner.find('\\');
            const std::string rootName = inner.substr(0, slash);
            root = RootFromName(rootName);
            if (root == 0) {
                return Fail(error, number, "unknown root key \"" + rootName + "\"");
            }
            path.clear();
            if (slash != std::string::npos) {
                for (const std::string& part : SplitKeyPath(inner.substr(slash + 1))) {
                    path += (path.empty() ? "" : "\\") + part;
                }
            }
            RegOp op;
            op.root = root;
            op.path = path;
            if (remove) {
                if (path.empty()) {
                    return Fail(error, number, "a root key cannot be deleted");
                }
                op.kind = RegOp::Kind::DeleteKey;
            }
            ops->push_back(std::move(op));
            inKey = !remove;
            inDeletedKey = remove;
            continue;
        }

        RegOp op;
        op.root = root;
        op.path = path;
        std::size_t pos = 0;
        std::string why;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] == '"') {
            if (!ParseQuoted(line, &pos, &op.name, &why)) {
                return Fail(error, number, why + " in the value name");
            }
        } else {
            return Fail(error, number, "expected a value name in quotes or @");
        }
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != '=') {
            return Fail(error, number, "expected '=' after the value name");
        }
        ++pos;
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        std::string data = line.substr(pos);
        if (StartsWithNoCase(data, "hex")) {
            // Long hex data goes on over lines that end in a backslash.
            while (!data.empty() && data.back() == '\\') {
                data.pop_back();
                if (i + 1 >= lines.size()) {
                    return Fail(error, number, "the value goes on past the end of the file");
                }
                ++i;
                data += TrimRight(TrimLeft(lines[i]));
            }
        }
        if (!ParseValueData(data, version5, &op, &why)) {
            return Fail(error, number, why);
        }
        if (!inKey) {
            if (inDeletedKey) {
                continue;  // regedit ignores the values of a key it deletes
            }
            return Fail(error, number, "value outside a key section");
        }
        ops->push_back(std::move(op));
    }
    return true;
}

std::string FormatKeyLine(const std::string& fullPath) {
    return "[" + fullPath + "]\r\n";
}

std::string FormatValueLines(const std::string& name, const RawValue& value) {
    std::string out = name.empty() ? std::string("@=") : "\"" + Escape(name) + "\"=";
    const std::vector<std::uint8_t>& data = value.data;
    if (value.type == kRegSz && IsPlainString(data)) {
        return out + "\"" + Escape(std::string(data.begin(), data.end() - 1)) + "\"\r\n";
    }
    char text[32];
    if (value.type == kRegDword && data.size() == 4) {
        const std::uint32_t dword = data[0] | (data[1] << 8) | (data[2] << 16) |
                                    (static_cast<std::uint32_t>(data[3]) << 24);
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(dword));
        return out + text + "\r\n";
    }
    std::vector<std::uint8_t> bytes;
    if (IsStringType(value.type)) {
        for (std::uint8_t b : data) {
            const char16_t c = AnsiToUnicode(b);
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        }
    } else {
        bytes = data;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        std::snprintf(text, sizeof text, "hex(%x):", static_cast<unsigned>(value.type));
        out += text;
    }
    // regedit keeps lines within 80 columns, going on after a comma with a backslash.
    std::size_t column = out.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(text, sizeof text, "%02x%s", static_cast<unsigned>(bytes[i]),
                      i + 1 < bytes.size() ? "," : "");
        const std::string piece = text;
        if (i > 0 && column + piece.size() + 1 > 80) {
            out += "\\\r\n  ";
            column = 2;
        }
        out += piece;
        column += piece.size();
    }
    return out + "\r\n";
}

}  // namespace quorvel::platform::sim::detail
