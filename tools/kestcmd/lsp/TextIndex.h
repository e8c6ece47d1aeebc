// Lines of a text as the protocol counts them (a line ends at LF, CRLF or a lone CR) and
// characters as UTF-16 code units, the protocol's default position encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestcmd::lsp {

/// A place as the protocol gives it: a 0-based line and a 0-based UTF-16 code unit of that line.
struct Position {
    std::size_t line = 0;
    std::size_t character = 0;
};

/// The length in bytes of the valid UTF-8 character at byte `at` of `bytes`, or 0 when the byte
/// there starts none (no overlong forms, no surrogates, nothing above U+10FFFF).
std::size_t utf8_length(std::string_view bytes, std::size_t at);

/// The UTF-16 code units of `bytes` read as UTF-8: one for each character of up to three bytes,
/// two for one of four; each byte of an invalid sequence counts as one.
std::size_t utf16_length(std::string_view bytes);

/// The number of bytes of `line` that its first `units` UTF-16 code units take: all of it when
/// it has fewer; a place inside a character of four bytes goes to the character's end.
std::size_t utf16_to_bytes(std::string_view line, std::size_t units);

/// Where the protocol's lines of one text start, and where the lone CRs stand (which end a line
/// for the protocol but not for the reader). Offsets take four bytes each: texts are below 4 GiB.
class TextIndex {
  public:
    explicit TextIndex(std::string_view text);

    /// The byte offset of `place` in `text`: a line past the end is the end of the text, a
    /// character past the end of its line the end of the line (before its line end).
    std::size_t Offset(std::string_view text, Position place) const;
    /// The place of the byte at `offset` (at most the text's size).
    Position At(std::string_view text, std::size_t offset) const;
    /// The number of lone CRs before `offset`.
    std::size_t LoneCrBefore(std::size_t offset) const;

  private:
    /// The bytes of line `line` without its line end.
    std::string_view LineText(std::string_view text, std::size_t line) const;

    std::vector<std::uint32_t> _starts;
    std::vector<std::uint32_t> _lone_cr;
};

} // namespace kestcmd::lsp
