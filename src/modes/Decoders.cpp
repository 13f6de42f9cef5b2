// The mode-table decoders: the compressed and the hexadecimal compressed mode format read back.
#include "modes/Decoders.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "modes/Composers.h"
#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::modes {

namespace {

// The group end "=80XX": a flag byte of 0x80, then the rate.
constexpr std::uint32_t kHexRateFlag = 0x80;
constexpr std::size_t kHexValueDigits = 4;

using text::IsBlank;
using text::Trim;

// The pieces between separators, trimmed; with `dropEmpty`, pieces of blanks alone are left out.
std::vector<std::string_view> Split(std::string_view s, char separator, bool dropEmpty) {
    std::vector<std::string_view> pieces;
    while (true) {
        const std::size_t at = s.find(separator);
        const std::string_view piece = Trim(s.substr(0, at));
        if (!piece.empty() || !dropEmpty) {
            pieces.push_back(piece);
        }
        if (at == std::string_view::npos) {
            return pieces;
        }
        s.remove_prefix(at + 1);
    }
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    for (std::string_view piece : Split(s, ' ', true)) {
        for (std::string_view word : Split(piece, '\t', true)) {
            words.push_back(word);
        }
    }
    return words;
}

// What follows the "S", or nothing when the text does not begin with one.
std::optional<std::string_view> Body(std::string_view table) {
    table = Trim(table);
    if (table.empty() || table.front() != 'S') {
        return std::nullopt;
    }
    return Trim(table.substr(1));
}

// A compressed-format rate token: digits with a "-" before or after them. Those other than the
// seven tokens ("-120", "85-") are well formed but name no rate of either page.
bool IsRangeToken(std::string_view token) {
    if (token.size() >= 2 && token.front() == '-') {
        return text::ParseDecimal(token.substr(1)).has_value();
    }
    if (token.size() >= 2 && token.back() == '-') {
        return text::ParseDecimal(token.substr(0, token.size() - 1)).has_value();
    }
    return false;
}

std::optional<std::size_t> CatalogueRow(std::uint32_t width, std::uint32_t height) {
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        if (static_cast<std::uint32_t>(kCatalogue[row].width) == width &&
            static_cast<std::uint32_t>(kCatalogue[row].height) == height) {
            return row;
        }
    }
    return std::nullopt;
}

class Decoder {
  public:
    explicit Decoder(TableFormat format) { table_.format = format; }

    void Compressed(std::string_view entry) {
        const std::vector<std::string_view> fields = Split(entry, ',', false);
        if (fields.size() != 4 || fields[2] != "-") {
            return Unshown(Unshowable::Malformed, entry);
        }
        const auto width = text::ParseDecimal(fields[0]);
        const auto height = text::ParseDecimal(fields[1]);
        if (!width || !height) {
            return Unshown(Unshowable::Malformed, entry);
        }
        int rate = 0;
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            if (fields[3] == kCompressedTokens[index]) {
                rate = kCompressedRates[index];
            }
        }
        if (rate == 0 && !IsRangeToken(fields[3])) {
            return Unshown(Unshowable::Malformed, entry);
        }
        Set(*width, *height, rate, entry);
    }

    void HexGroup(std::string_view group) {
        const std::size_t equals = group.find('=');
        if (equals == std::string_view::npos) {
            return Unshown(Unshowable::Malformed, group);
        }
        const std::string_view value = Trim(group.substr(equals + 1));
        // Anything but four hexadecimal digits reads as 0, which lacks the flag.
        const std::uint32_t number =
            value.size() == kHexValueDigits ? text::ParseHex(value).value_or(0) : 0;
        const std::vector<std::string_view> items = Words(group.substr(0, equals));
        if ((number >> 8) != kHexRateFlag || items.empty()) {
            return Unshown(Unshowable::Malformed, group);
        }
        const int rate = static_cast<int>(number & 0xFF);
        for (std::string_view item : items) {
            const std::size_t x = item.find('x');
            const auto width = text::ParseDecimal(item.substr(0, x));
            const auto height =
                x == std::string_view::npos ? std::nullopt : text::ParseDecimal(item.substr(x + 1));
            if (!width || !height) {
                Unshown(Unshowable::Malformed, item);
                continue;
            }
            Set(*width, *height, HexItemOf(rate) ? rate : 0,
                std::string(item) + "=" + std::string(value));
        }
    }

    void Unshown(Unshowable why, std::string_view piece) {
        table_.unshown.push_back({why, std::string(piece)});
    }

    DecodedTable Result() { return std::move(table_); }

  private:
    // One resolution given a rate (0: a rate no page offers).
    void Set(std::uint32_t width, std::uint32_t height, int rate, std::string_view piece) {
        for (const auto& seen : seen_) {
            if (seen.first == width && seen.second == height) {
                return Unshown(Unshowable::Repeated, piece);
            }
        }
        seen_.emplace_back(width, height);
        ++table_.resolutionCount;
        const std::optional<std::size_t> row = CatalogueRow(width, height);
        if (!row) {
            return Unshown(Unshowable::Resolution, piece);
        }
        if (rate == 0) {
            return Unshown(Unshowable::Rate, piece);
        }
        table_.rates[*row] = rate;
        table_.pieces[*row] = std::string(piece);
    }

    DecodedTable table_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> seen_;
};

}  // namespace

TableFormat FormatOf(std::string_view table) {
    const std::optional<std::string_view> body = Body(table);
    if (!body) {
        return TableFormat::Unknown;
    }
    if (body->find_first_not_of(" \t;") == std::string_view::npos) {
        return TableFormat::Empty;
    }
    if (body->find('=') != std::string_view::npos) {
        return TableFormat::Hexadecimal;
    }
    if (body->find(',') != std::string_view::npos) {
        return TableFormat::Compressed;
    }
    return body->find('x') != std::string_view::npos ? TableFormat::Hexadecimal
                                                     : TableFormat::Unknown;
}

DecodedTable DecodeModes(std::string_view table) {
    const TableFormat format = FormatOf(table);
    Decoder decoder(format);
    if (format == TableFormat::Unknown) {
        decoder.Unshown(Unshowable::Malformed, Trim(table));
    } else if (format != TableFormat::Empty) {
        for (std::string_view piece : Split(*Body(table), ';', true)) {
            if (format == TableFormat::Compressed) {
                decoder.Compressed(piece);
            } else {
                decoder.HexGroup(piece);
            }
        }
    }
    return decoder.Result();
}

CompressedDecoding CompressedSelectionOf(const DecodedTable& table) {
    const PageSelection page = SelectRates(table.rates, false);
    CompressedDecoding decoding{page.opt, table.unshown};
    for (std::size_t row = 0; row < kResolutionCount; ++row) {
        if (page.notOffered >> row & 1) {
            decoding.unshown.push_back({Unshowable::Rate, table.pieces[row]});
        }
    }
    return decoding;
}

HexDecoding HexSelectionOf(const DecodedTable& table) {
    // The decoded rates are those of the lists: the page offers every one.
    return {SelectRates(table.rates, true).cmb, table.unshown};
}

}  // namespace quorvel::modes
