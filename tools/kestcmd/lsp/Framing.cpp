#include "Framing.h"

#include <algorithm>
#include <cctype>

namespace kestcmd::lsp {

namespace {

// The value of a "Content-Length: N" header line (any case, blanks around N), or nothing.
std::optional<std::size_t> content_length(std::string_view line) {
    constexpr std::string_view name = "content-length:";
    if (line.size() < name.size() ||
        !std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        })) {
        return std::nullopt;
    }
    line.remove_prefix(name.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        line.remove_prefix(1);
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    if (line.empty() || line.size() > 18) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (char c : line) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

} // namespace

Frame read_frame(std::istream& in) {
    Frame frame;
    std::optional<std::size_t> length;
    bool any_line = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            if (!any_line) {
                continue; // blank lines between messages
            }
            break;
        }
        any_line = true;
        if (const auto value = content_length(line)) {
            length = value;
        }
    }
    if (!any_line) {
        return frame; // end of input
    }
    if (!in || !length) {
        frame.status = in ? Frame::bad_header : Frame::end_of_input;
        return frame;
    }
    constexpr std::size_t piece = 1 << 16;
    for (std::size_t left = *length; left > 0 && in;) {
        const std::size_t take = std::min(left, piece);
        const std::size_t had = frame.content.size();
        frame.content.resize(had + take);
        in.read(frame.content.data() + had, static_cast<std::streamsize>(take));
        frame.content.resize(had + static_cast<std::size_t>(in.gcount()));
        left -= take;
    }
    frame.status = frame.content.size() == *length ? Frame::message : Frame::end_of_input;
    return frame;
}

void write_frame(std::ostream& out, std::string_view content) {
    out << "Content-Length: " << content.size() << "\r\n\r\n" << content;
    out.flush();
}

} // namespace kestcmd::lsp
