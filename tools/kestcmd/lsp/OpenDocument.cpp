#include "OpenDocument.h"

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kestcmd::lsp {

OpenDocument::OpenDocument(std::string text, KestParCheckSettings settings)
    : _index(std::string_view()), _settings(std::move(settings)) {
    Read(std::move(text));
}

void OpenDocument::Read(std::string text) {
    TextIndex index(text);
    // The old job goes first: a large job is never held twice.
    _diagnostics.clear();
    _document.reset();
    _index = std::move(index);
    _text = std::move(text);
    try {
        // The reader refuses a few texts (a list of too many values) with an exception that
        // takes the text with it: it reads a copy, which goes once read.
        _document.emplace(read_document_to_check(_text));
        _unread = false;
        std::string().swap(_text);
    } catch (const std::exception& failure) {
        // The text stays, without a job.
        _document.emplace(std::string());
        _unread = true;
        _diagnostics.push_back(
            {{1, 1}, {1, 1}, "unreadable", KestSeverity::error, failure.what(), {}, {}});
    }
    if (!_unread) {
        _diagnostics = check_par_document(*_document, _settings);
    }
#if defined(__GLIBC__)
    // What reading and checking held for a while goes back to the system.
    malloc_trim(0);
#endif
}

void OpenDocument::Change(std::vector<TextChange> changes) {
    std::string text = Text();
    const TextIndex* index = &_index;
    std::optional<TextIndex> rebuilt;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        TextChange& change = changes[i];
        if (!change.range) {
            text = std::move(change.text);
        } else {
            const std::size_t from = index->Offset(text, change.range->first);
            const std::size_t to = std::max(from, index->Offset(text, change.range->second));
            text.replace(from, to - from, change.text);
        }
        if (i + 1 < changes.size()) {
            index = &rebuilt.emplace(text);
        }
    }
    Read(std::move(text));
}

std::size_t OpenDocument::Offset(KestTextPosition place) const {
    const std::string_view line = _document->Line(place.line);
    if (line.data() == nullptr || _unread) {
        return Text().size();
    }
    const std::size_t start = static_cast<std::size_t>(line.data() - Text().data());
    return start + std::min(place.column == 0 ? 0 : place.column - 1, line.size());
}

Position OpenDocument::ToProtocol(KestTextPosition place) const {
    return At(Offset(place));
}

KestTextPosition OpenDocument::ToReader(Position place) const {
    const std::size_t offset = Offset(place);
    // The reader's lines end at line feeds alone: a lone CR ends a line of the protocol only.
    const std::size_t line = _index.At(Text(), offset).line + 1 - _index.LoneCrBefore(offset);
    const std::string_view text = _document->Line(line);
    const std::size_t start = text.data() == nullptr || _unread
                                  ? Text().size()
                                  : static_cast<std::size_t>(text.data() - Text().data());
    return {line, offset >= start ? offset - start + 1 : 1};
}

} // namespace kestcmd::lsp
