// The lines of a job's text as the reader counts them, for checks of the positions it records.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

/// The lines of `text`: split at LF, the CR of a CRLF dropped, a byte-order mark not part of the
/// first line.
inline std::vector<std::string> lines_of(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        lines.emplace_back(text.substr(0, end));
        if (end < text.size() && !lines.back().empty() && lines.back().back() == '\r') {
            lines.back().pop_back();
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

} // namespace test_support
