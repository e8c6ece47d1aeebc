#include "engine/io/KestParFormat.h"

#include "engine/io/KestCmdIo.h"
#include "engine/io/KestParFileAdapter.h"
#include "engine/syntax/KestParSyntax.h"
#include "utilities/detail/KestParScanner.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::string_view bom = "\xEF\xBB\xBF";

// The output and the blank lines between what it holds.
class Layout {
  public:
    Layout(const KestParSyntax& syntax, const KestParFileAdapter& reader)
        : _syntax(syntax), _eol(syntax.Eol()), _reader(reader) {}

    /// Lays out every line of the text.
    std::string Take();

  private:
    std::string_view Trimmed(std::size_t line) const {
        return _syntax.Bytes(_syntax.Trimmed(line));
    }
    void Line(std::string_view text, std::string_view indent = {}) {
        if (_blank && !_out.empty()) {
            _out += _eol;
        }
        _blank = false;
        _out += indent;
        _out += text;
        _out += _eol;
    }
    /// An END_ line with its first word upper-cased ("end_dv" gives "END_DV").
    static std::string End(std::string_view trimmed) {
        const std::size_t word = std::min(trimmed.find_first_of(" \t"), trimmed.size());
        return KestCmdIo::to_upper_copy(std::string(trimmed.substr(0, word))) +
               std::string(trimmed.substr(word));
    }
    /// The block whose keyword is on line `keyword`; returns the line after it.
    std::size_t Block(const KestSyntaxBlock& block);
    /// The entry starting at `line`; returns its last line.
    std::size_t Entry(std::size_t line);
    /// Whether the entry before `line` in its block (blank lines skipped) ends with ','.
    bool AfterOpenValue(std::size_t line, std::size_t keyword) const;

    const KestParSyntax& _syntax;
    std::string _eol;
    const KestParFileAdapter& _reader;
    std::string _out;
    bool _blank = false;
};

std::string Layout::Take() {
    const auto& blocks = _syntax.Blocks();
    std::size_t b = 0;
    for (std::size_t l = 1; l <= _syntax.LineCount();) {
        if (b < blocks.size() && blocks[b].keyword_line == l) {
            l = Block(blocks[b++]);
            continue;
        }
        switch (_syntax.Kind(l)) {
        case KestLineKind::blank:
            _blank = true;
            break;
        case KestLineKind::stray_end:
            Line(End(Trimmed(l)));
            break;
        default: // a comment
            Line(Trimmed(l));
            break;
        }
        ++l;
    }
    return std::move(_out);
}

std::size_t Layout::Block(const KestSyntaxBlock& block) {
    const std::string_view keyword = Trimmed(block.keyword_line);
    Line(_reader.KnowsKeyword(keyword) ? KestCmdIo::to_upper_copy(std::string(keyword))
                                       : std::string(keyword));
    const std::size_t last = block.closed ? block.end_line - 1 : block.end_line;
    for (std::size_t l = block.keyword_line + 1; l <= last; ++l) {
        const KestLineKind kind = _syntax.Kind(l);
        if (kind == KestLineKind::comment) {
            // A comment takes the indentation of the line after it: an item's, or the END_'s.
            bool before_item = false;
            for (std::size_t n = l + 1; n <= last && !before_item; ++n) {
                const KestLineKind after = _syntax.Kind(n);
                before_item = after == KestLineKind::item || after == KestLineKind::bare;
            }
            Line(Trimmed(l), before_item ? "  " : "");
        } else if (kind != KestLineKind::blank) {
            // A line without '=' right after a value ending with ',' would continue that value.
            if (kind == KestLineKind::bare && AfterOpenValue(l, block.keyword_line)) {
                _out += _eol;
            }
            l = Entry(l);
        }
    }
    Line(block.closed ? End(Trimmed(block.end_line)) : std::string(KestParSyntax::block_end));
    _blank = true;
    return block.end_line + 1;
}

bool Layout::AfterOpenValue(std::size_t line, std::size_t keyword) const {
    for (std::size_t l = line - 1; l > keyword; --l) {
        const KestLineKind kind = _syntax.Kind(l);
        if (kind != KestLineKind::blank) {
            return kind != KestLineKind::comment && KestParScanner::Continues(Trimmed(l));
        }
    }
    return false;
}

std::size_t Layout::Entry(std::size_t line) {
    const std::string_view first = _syntax.Bytes(_syntax.ValueOnLine(line));
    if (_syntax.Kind(line) == KestLineKind::bare) {
        Line(first, "  ");
    } else {
        const std::string key(_syntax.Bytes(_syntax.Key(line)));
        // The reader compares DEF_TYPE exactly (a DRESP holding "DEF_TYPE = OPER" is an OPERATOR).
        const bool upper = _reader.KnowsKey(key) && KestCmdIo::to_upper_copy(key) != "DEF_TYPE";
        std::string text = upper ? KestCmdIo::to_upper_copy(key) : key;
        text += key.empty() ? "=" : " =";
        if (!first.empty()) {
            text += ' ';
            text += first;
        }
        Line(text, "  ");
    }
    // The lines of a continued value, as the reader keeps them.
    const std::size_t last = _syntax.EntryEnd(line);
    for (std::size_t l = line + 1; l <= last; ++l) {
        const KestSyntaxLine continued = _syntax.Line(l);
        Line(_syntax.Text().substr(continued.begin, continued.last));
    }
    return last;
}

} // namespace

std::string format_par_text(std::string_view text, const KestCmdIoConfig& config) {
    const bool has_bom = text.substr(0, bom.size()) == bom;
    const KestParFileAdapter reader(L"<text>", config);
    const KestParSyntax syntax(text);
    std::string out = Layout(syntax, reader).Take();
    // A first keyword whose trimmed text starts with the bytes of a byte-order mark keeps them
    // only behind a mark of its own, which the reader skips.
    const bool needs_bom = has_bom || out.compare(0, bom.size(), bom) == 0;
    return needs_bom ? std::string(bom) + out : out;
}
