#include "TextEdits.h"

#include <algorithm>

namespace kestcmd::lsp {

namespace {

bool inside_character(std::string_view text, std::size_t at) {
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// The edit that turns `before`, standing at byte `base` of the document's text, into `after`.
json middle_edit(const OpenDocument& document, std::size_t base, std::string_view before,
                 std::string_view after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) {
        ++prefix;
    }
    while (prefix > 0 && (inside_character(before, prefix) || inside_character(after, prefix))) {
        --prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    while (suffix > 0 && (inside_character(before, before.size() - suffix) ||
                          inside_character(after, after.size() - suffix))) {
        --suffix;
    }
    return text_edit(range_between(document, base + prefix, base + before.size() - suffix),
                     std::string(after.substr(prefix, after.size() - suffix - prefix)));
}

} // namespace

json edits_between(const OpenDocument& document, std::string_view changed) {
    const std::string_view text = document.Text();
    json edits = json::array();
    if (std::count(text.begin(), text.end(), '\n') !=
        std::count(changed.begin(), changed.end(), '\n')) {
        edits.push_back(middle_edit(document, 0, text, changed));
        return edits;
    }
    for (std::size_t a = 0, b = 0;;) {
        const std::size_t line_end = std::min(text.find('\n', a), text.size());
        const std::size_t changed_end = std::min(changed.find('\n', b), changed.size());
        const std::string_view before = text.substr(a, line_end - a);
        const std::string_view after = changed.substr(b, changed_end - b);
        if (before != after) {
            edits.push_back(middle_edit(document, a, before, after));
        }
        if (line_end == text.size()) {
            return edits;
        }
        a = line_end + 1;
        b = changed_end + 1;
    }
}

} // namespace kestcmd::lsp
