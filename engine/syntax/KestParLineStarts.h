// Where the lines of a text start, for a reader that asks for a few lines, or for lines in the
// order of the text, without the syntax of every line.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/syntax/KestParSyntax.h"

#include <cstddef>
#include <string_view>
#include <vector>

/// The starts of a text's lines, found as they are first passed. It keeps the start of every
/// `stride`-th line (a few bytes per thousand lines, where KestParSyntax keeps five a line) and
/// of the line asked for last: lines asked for in the order of the text are each passed once,
/// any other costs at most `stride` lines. The text must outlive it and stay unchanged. A
/// look-up moves the line asked for last: one thread at a time, const members included.
class KEST_CMD_ENGINE_API KestParLineStarts {
  public:
    static constexpr std::size_t stride = 32;

    explicit KestParLineStarts(std::string_view text);

    std::string_view Text() const { return _text; }
    /// The offset where line `line` (1-based, as KestParSyntax numbers them) starts; the
    /// text's end past its last line.
    std::size_t Begin(std::size_t line) const;
    /// The line without its line end; empty past the end.
    std::string_view Line(std::size_t line) const;
    /// The syntax of the lines `first` to `last`, the first read as a text's first line is
    /// (right for a stretch that starts at a block's keyword line); or read into `syntax`, a
    /// syntax of the same text, keeping the memory it holds. The lines it passes are known
    /// from then on.
    KestParSyntax Stretch(std::size_t first, std::size_t last) const;
    void ReadStretch(KestParSyntax& syntax, std::size_t first, std::size_t last) const;

  private:
    /// Takes the starts of the lines that `stretch` passed, and of the line after it.
    void Learn(const KestParSyntax& stretch) const;

    std::string_view _text;
    mutable std::vector<std::size_t> _starts; ///< where lines 1, 1 + stride, ... start
    mutable std::size_t _last_line = 1;
    mutable std::size_t _last = 0;
};
