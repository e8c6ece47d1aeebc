#include "TextIndex.h"

#include <algorithm>
#include <stdexcept>

namespace kestcmd::lsp {

namespace {

bool continuation(std::string_view bytes, std::size_t at, unsigned char low = 0x80,
                  unsigned char high = 0xBF) {
    if (at >= bytes.size()) {
        return false;
    }
    const auto byte = static_cast<unsigned char>(bytes[at]);
    return byte >= low && byte <= high;
}

// The length in bytes of the character at `at` and its UTF-16 code units; {1, 1} for a byte
// that starts no valid character.
std::pair<std::size_t, std::size_t> character_at(std::string_view bytes, std::size_t at) {
    const std::size_t length = utf8_length(bytes, at);
    return {length == 0 ? 1 : length, length == 4 ? 2 : 1};
}

} // namespace

std::size_t utf8_length(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF && continuation(bytes, at + 1)) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        // No overlong forms (E0 80..9F) and no surrogates (ED A0..BF).
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        if (continuation(bytes, at + 1, low, high) && continuation(bytes, at + 2)) {
            return 3;
        }
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        if (continuation(bytes, at + 1, low, high) && continuation(bytes, at + 2) &&
            continuation(bytes, at + 3)) {
            return 4;
        }
    }
    return 0;
}

std::size_t utf16_length(std::string_view bytes) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto [length, count] = character_at(bytes, at);
        at += length;
        units += count;
    }
    return units;
}

std::size_t utf16_to_bytes(std::string_view line, std::size_t units) {
    std::size_t at = 0;
    while (at < line.size() && units > 0) {
        const auto [length, count] = character_at(line, at);
        at += length;
        units -= std::min(units, count);
    }
    return at;
}

TextIndex::TextIndex(std::string_view text) {
    if (text.size() > UINT32_MAX) {
        throw std::length_error("a text of 4 GiB or more");
    }
    _starts.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    _starts.push_back(0);
    std::size_t cr = text.find('\r');
    for (std::size_t at = 0;;) {
        if (cr != std::string_view::npos && cr < at) {
            cr = text.find('\r', at);
        }
        at = std::min(cr, text.find('\n', at));
        if (at == std::string_view::npos) {
            break;
        }
        if (at == cr && at + 1 < text.size() && text[at + 1] == '\n') {
            ++at; // CRLF: the line ends after the LF
        } else if (at == cr) {
            _lone_cr.push_back(static_cast<std::uint32_t>(at));
        }
        _starts.push_back(static_cast<std::uint32_t>(++at));
    }
}

std::string_view TextIndex::LineText(std::string_view text, std::size_t line) const {
    const std::size_t start = _starts[line];
    std::size_t end = line + 1 < _starts.size() ? _starts[line + 1] : text.size();
    if (end > start && text[end - 1] == '\n') {
        --end;
    }
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    return text.substr(start, end - start);
}

std::size_t TextIndex::Offset(std::string_view text, Position place) const {
    if (place.line >= _starts.size()) {
        return text.size();
    }
    return _starts[place.line] + utf16_to_bytes(LineText(text, place.line), place.character);
}

Position TextIndex::At(std::string_view text, std::size_t offset) const {
    offset = std::min(offset, text.size());
    const auto after = std::upper_bound(_starts.begin(), _starts.end(), offset);
    const std::size_t line = static_cast<std::size_t>(after - _starts.begin()) - 1;
    const std::string_view bytes = LineText(text, line);
    const std::size_t column = std::min(offset - _starts[line], bytes.size());
    return {line, utf16_length(bytes.substr(0, column))};
}

std::size_t TextIndex::LoneCrBefore(std::size_t offset) const {
    return static_cast<std::size_t>(std::lower_bound(_lone_cr.begin(), _lone_cr.end(), offset) -
                                    _lone_cr.begin());
}

} // namespace kestcmd::lsp
