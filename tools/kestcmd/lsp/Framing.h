// The base protocol's framing: a header of "Name: value" lines, a blank line, then exactly
// Content-Length bytes of content.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace kestcmd::lsp {

/// One read of a framed message.
struct Frame {
    enum Status { message, bad_header, end_of_input } status = end_of_input;
    std::string content; ///< the content of a message (shorter when the input ended inside it)
};

/// Reads the next message from `in`. A header without a valid Content-Length gives bad_header
/// (the next header is read after its blank line); the content is read in pieces, so that a
/// length that the input does not hold costs no more memory than the input.
Frame read_frame(std::istream& in);

/// Writes `content` framed to `out` and flushes it.
void write_frame(std::ostream& out, std::string_view content);

} // namespace kestcmd::lsp
