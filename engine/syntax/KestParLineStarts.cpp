#include "engine/syntax/KestParLineStarts.h"

#include <algorithm>

KestParLineStarts::KestParLineStarts(std::string_view text)
    : _text(text), _last(KestParSyntax::TextBegin(text)) {
    _starts.push_back(_last);
}

std::size_t KestParLineStarts::Begin(std::size_t line) const {
    const std::size_t kept =
        std::min((std::max<std::size_t>(line, 1) - 1) / stride, _starts.size() - 1);
    std::size_t at_line = kept * stride + 1;
    std::size_t at = _starts[kept];
    if (_last_line <= line && _last_line > at_line) {
        at_line = _last_line;
        at = _last;
    }
    while (at_line < line && at < _text.size()) {
        const std::size_t feed = _text.find('\n', at);
        at = feed == std::string_view::npos ? _text.size() : feed + 1;
        ++at_line;
        if ((at_line - 1) % stride == 0 && (at_line - 1) / stride == _starts.size()) {
            _starts.push_back(at);
        }
    }
    _last_line = at_line;
    _last = at;
    return at;
}

std::string_view KestParLineStarts::Line(std::size_t line) const {
    if (line == 0) {
        return {};
    }
    const KestParSyntax one = Stretch(line, line);
    return one.LineCount() < line ? std::string_view() : one.Bytes(one.Content(line));
}

KestParSyntax KestParLineStarts::Stretch(std::size_t first, std::size_t last) const {
    KestParSyntax stretch(_text, Begin(first), first, last);
    Learn(stretch);
    return stretch;
}

void KestParLineStarts::ReadStretch(KestParSyntax& syntax, std::size_t first,
                                    std::size_t last) const {
    syntax.ReadStretch(Begin(first), first, last);
    Learn(syntax);
}

void KestParLineStarts::Learn(const KestParSyntax& stretch) const {
    // Begin(first) knew every kept start up to the stretch's first line, unless the text ended
    // before it.
    if (_last_line != stretch.FirstLine()) {
        return;
    }
    const std::size_t after = stretch.LineCount() + 1;
    for (std::size_t line = _starts.size() * stride + 1; line <= after; line += stride) {
        _starts.push_back(line < after ? stretch.Line(line).begin : stretch.End());
    }
    _last_line = after;
    _last = stretch.End();
}
