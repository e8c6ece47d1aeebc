// The text primitives of a parameter file, on ASCII alone and without a locale: white space,
// upper-casing, trimming, splitting at commas, and the edit distance behind "did you mean".
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace KestText {

/// True for blank, tab, CR, LF, VT and FF; no other byte (none outside ASCII) is white space.
constexpr bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

/// `c` upper-cased if it is a letter a to z; any other byte as it is.
constexpr char to_upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

/// A copy of `text` whose letters before the first zero byte are upper-cased; the rest of the
/// bytes are kept.
KEST_UTILITIES_API std::string to_upper_copy(std::string_view text);

/// `text` without the white space at its end.
constexpr std::string_view trim_end(std::string_view text) {
    while (!text.empty() && is_space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

/// `text` without the white space at both ends.
constexpr std::string_view trim(std::string_view text) {
    while (!text.empty() && is_space(text.front())) {
        text.remove_prefix(1);
    }
    return trim_end(text);
}

/// The pieces of `value` between commas, each trimmed, into `pieces` (whose strings are reused);
/// none for an empty value, and otherwise every piece, empty ones included ("," gives two).
KEST_UTILITIES_API void split_pieces(std::string_view value, std::vector<std::string>& pieces);

/// The number of edits (a byte inserted, removed or replaced) that turn `a` into `b`, counted up
/// to `limit`: a larger number is given as limit + 1. Takes time in the length of `a` times
/// `limit`, so that "did you mean" can try many known words.
KEST_UTILITIES_API std::size_t edit_distance(std::string_view a, std::string_view b,
                                             std::size_t limit);

} // namespace KestText
