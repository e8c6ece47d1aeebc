#include "LenientJson.h"

#include "TextIndex.h"

#include <string>
#include <utility>
#include <vector>

namespace kestcmd::lsp {

namespace {

// A byte b that stands outside a valid UTF-8 character goes through the JSON reader as the
// private-use character U+10FF00 + b and comes back as b. The four bytes of a character that is
// itself in U+10FF00..U+10FFFF go through the same way, one by one, so that every such character
// comes back as the bytes it was.
bool stands_for_bytes(std::string_view text, std::size_t at, std::size_t length) {
    return length == 4 && static_cast<unsigned char>(text[at]) == 0xF4 &&
           static_cast<unsigned char>(text[at + 1]) == 0x8F &&
           static_cast<unsigned char>(text[at + 2]) >= 0xBC;
}

void append_escaped_byte(std::string& out, unsigned char byte) {
    out += '\xF4';
    out += '\x8F';
    out += static_cast<char>(0xBC | byte >> 6);
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

std::string escaped(std::string_view content) {
    std::string out;
    out.reserve(content.size() + content.size() / 8);
    for (std::size_t at = 0; at < content.size();) {
        const std::size_t length = utf8_length(content, at);
        if (length == 0 || stands_for_bytes(content, at, length)) {
            const std::size_t count = length == 0 ? 1 : length;
            for (std::size_t i = 0; i < count; ++i) {
                append_escaped_byte(out, static_cast<unsigned char>(content[at + i]));
            }
            at += count;
        } else {
            out.append(content, at, length);
            at += length;
        }
    }
    return out;
}

void unescape(std::string& text) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8_length(text, at);
        if (length == 4 && stands_for_bytes(text, at, length)) {
            text[kept++] =
                static_cast<char>((static_cast<unsigned char>(text[at + 2]) & 0x03) << 6 |
                                  (static_cast<unsigned char>(text[at + 3]) & 0x3F));
            at += 4;
        } else {
            for (std::size_t end = at + (length == 0 ? 1 : length); at < end;) {
                text[kept++] = text[at++];
            }
        }
    }
    text.resize(kept);
}

// Every string in `root`, walked with a list of its own rather than a recursion, which a message
// of many nested arrays would take past the end of the stack.
void unescape_strings(nlohmann::json& root) {
    std::vector<nlohmann::json*> left{&root};
    while (!left.empty()) {
        nlohmann::json& value = *left.back();
        left.pop_back();
        if (value.is_string()) {
            unescape(value.get_ref<std::string&>());
        } else if (value.is_structured()) {
            for (nlohmann::json& element : value) {
                left.push_back(&element);
            }
        }
    }
}

} // namespace

bool nested_deeper_than(const nlohmann::json& root, std::size_t levels) {
    std::vector<std::pair<const nlohmann::json*, std::size_t>> left{{&root, 0}};
    while (!left.empty()) {
        const auto [value, depth] = left.back();
        left.pop_back();
        if (value->is_structured()) {
            if (depth == levels) {
                return true;
            }
            for (const nlohmann::json& element : *value) {
                left.emplace_back(&element, depth + 1);
            }
        }
    }
    return false;
}

nlohmann::json parse_lenient(std::string_view content) {
    nlohmann::json message = nlohmann::json::parse(content, nullptr, false);
    if (!message.is_discarded()) {
        return message;
    }
    message = nlohmann::json::parse(escaped(content), nullptr, false);
    if (!message.is_discarded()) {
        unescape_strings(message);
    }
    return message;
}

} // namespace kestcmd::lsp
