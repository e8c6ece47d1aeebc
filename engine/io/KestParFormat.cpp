#include "engine/io/KestParFormat.h"

#include "engine/io/KestCmdIo.h"
#include "engine/io/KestParFileAdapter.h"
#include "utilities/detail/KestParScanner.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view bom = "\xEF\xBB\xBF";

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && is_blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// A line without '=' whose trimmed text starts with END_ in any case: the end of a block, or,
// outside blocks, a line the reader skips.
bool is_end_line(std::string_view trimmed) {
    return trimmed.size() >= 4 &&
           KestCmdIo::to_upper_copy(std::string(trimmed.substr(0, 4))) == "END_" &&
           trimmed.find('=') == std::string_view::npos;
}

// The physical lines of a text as the scanner numbers them, taken in increasing order.
class Lines {
  public:
    explicit Lines(std::string_view text) : _text(text) {}
    /// Line `number`, trimmed, or none past the last line; `number` never decreases from call
    /// to call.
    std::optional<std::string_view> Trimmed(std::size_t number) {
        while (_number < number && _start < _text.size()) {
            const std::size_t end = _text.find('\n', _start);
            _start = end == std::string_view::npos ? _text.size() : end + 1;
            ++_number;
        }
        if (_number != number || _start >= _text.size()) {
            return std::nullopt;
        }
        return trim(_text.substr(_start, _text.find('\n', _start) - _start));
    }

  private:
    std::string_view _text;
    std::size_t _start = 0;
    std::size_t _number = 1;
};

// The output and the blank lines between what it holds.
class Layout {
  public:
    Layout(std::string eol, const KestParFileAdapter& reader)
        : _eol(std::move(eol)), _reader(reader) {}

    /// A comment or a skipped END_ line outside blocks.
    void Loose(std::string_view trimmed) {
        Line(trimmed.front() == '#' ? std::string(trimmed) : End(trimmed));
    }
    /// A blank line outside blocks.
    void Blank() { _blank = true; }
    void Block(const KestParCommand& block, std::string_view end_line);
    std::string Take() { return std::move(_out); }

  private:
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
    void Item(const KestParSubCommand& line);

    std::string _eol;
    const KestParFileAdapter& _reader;
    std::string _out;
    bool _blank = false;
};

void Layout::Block(const KestParCommand& block, std::string_view end_line) {
    Line(_reader.KnowsKeyword(block.keyword) ? KestCmdIo::to_upper_copy(block.keyword)
                                             : block.keyword);
    const std::vector<KestParSubCommand>& lines = block.subCommands;
    // A comment takes the indentation of the line after it: an item's, or the END_'s.
    std::vector<bool> before_item(lines.size() + 1, false);
    for (std::size_t i = lines.size(); i > 0; --i) {
        before_item[i - 1] = lines[i - 1].kind != 0 || before_item[i];
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const KestParSubCommand& line = lines[i];
        if (line.kind == 0) {
            Line(line.value, before_item[i + 1] ? "  " : "");
            continue;
        }
        // A line without '=' right after a value ending with ',' would continue that value.
        const bool has_equals = line.value_column != line.key_column;
        if (!has_equals && i > 0 && lines[i - 1].kind != 0 && !lines[i - 1].value.empty() &&
            lines[i - 1].value.back() == ',') {
            _out += _eol;
        }
        Item(line);
    }
    Line(end_line.empty() ? std::string("END_") : End(end_line));
    _blank = true;
}

void Layout::Item(const KestParSubCommand& line) {
    const std::string_view value = line.value;
    const std::size_t first_end = value.find('\n');
    const std::string_view first = value.substr(0, first_end);
    if (line.value_column == line.key_column) {
        Line(first, "  ");
    } else {
        // The reader compares DEF_TYPE exactly (a DRESP holding "DEF_TYPE = OPER" is an OPERATOR).
        const bool upper =
            _reader.KnowsKey(line.key) && KestCmdIo::to_upper_copy(line.key) != "DEF_TYPE";
        std::string text = upper ? KestCmdIo::to_upper_copy(line.key) : line.key;
        text += line.key.empty() ? "=" : " =";
        if (!first.empty()) {
            text += ' ';
            text += first;
        }
        Line(text, "  ");
    }
    // The lines of a continued value, as the reader keeps them.
    for (std::size_t at = first_end; at != std::string_view::npos;) {
        const std::size_t next = value.find('\n', at + 1);
        Line(value.substr(at + 1, next == std::string_view::npos ? next : next - at - 1));
        at = next;
    }
}

} // namespace

std::string format_par_text(std::string_view text, const KestCmdIoConfig& config) {
    const bool has_bom = text.substr(0, bom.size()) == bom;
    const std::string_view body = text.substr(has_bom ? bom.size() : 0);
    const std::size_t first_end = body.find('\n');
    const bool crlf =
        first_end != std::string_view::npos && first_end > 0 && body[first_end - 1] == '\r';
    const KestParFileAdapter reader(L"<text>", config);
    Layout layout(crlf ? "\r\n" : "\n", reader);
    Lines lines(body);

    // The lines outside blocks from line `from` on, before line `until`.
    const auto loose = [&](std::size_t from, std::size_t until) {
        for (std::size_t n = from; n < until; ++n) {
            const std::optional<std::string_view> line = lines.Trimmed(n);
            if (!line) {
                return;
            }
            if (line->empty()) {
                layout.Blank();
            } else {
                layout.Loose(*line);
            }
        }
    };
    KestParScanner scanner(text, false); // which skips the byte-order mark itself
    KestParCommand block;
    std::size_t next = 1;
    while (scanner.Next(block)) {
        loose(next, block.line);
        // The END_ that closed the block, or none when the end of the text did.
        std::string_view end;
        if (block.end_line != block.line) {
            end = lines.Trimmed(block.end_line).value_or(std::string_view());
            end = is_end_line(end) ? end : std::string_view();
        }
        layout.Block(block, end);
        next = block.end_line + 1;
    }
    loose(next, static_cast<std::size_t>(-1));
    std::string out = layout.Take();
    // A first keyword whose trimmed text starts with the bytes of a byte-order mark keeps them
    // only behind a mark of its own, which the reader skips.
    const bool needs_bom = has_bom || out.compare(0, bom.size(), bom) == 0;
    return needs_bom ? std::string(bom) + out : out;
}
