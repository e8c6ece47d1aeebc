// A job file that the client has open: its text as the client holds it, the job read from it,
// the problems found in it, and the conversion between the reader's places and the protocol's.
#pragma once

#include "TextIndex.h"

#include <KestCmdEngine.h>

#include <optional>
#include <string>
#include <vector>

namespace kestcmd::lsp {

/// A change of the text: the range [from, to) becomes `text`; the whole text when no range.
struct TextChange {
    std::optional<std::pair<Position, Position>> range;
    std::string text;
};

class OpenDocument {
  public:
    /// Reads `text` and checks it with `settings`.
    explicit OpenDocument(std::string text, KestParCheckSettings settings = KestParCheckSettings());
    OpenDocument(const OpenDocument&) = delete;
    OpenDocument& operator=(const OpenDocument&) = delete;

    /// The document read from the text; an empty one when the text could not be read.
    const KestParDocument& Document() const { return *_document; }
    const std::string& Text() const { return _unread ? _text : _document->Text(); }
    /// What check_par_document finds in the text, in the order of the text; for a text that
    /// could not be read, one "unreadable" problem at its start that says why.
    const std::vector<KestParDiagnostic>& Diagnostics() const { return _diagnostics; }
    /// What the text is checked with.
    const KestParCheckSettings& Settings() const { return _settings; }

    /// Applies `changes` in order (each to the text the ones before it left) and reads the text
    /// again.
    void Change(std::vector<TextChange> changes);

    /// The protocol's place of a place of the reader.
    Position ToProtocol(KestTextPosition place) const;
    /// The reader's place of a place of the protocol (clamped to the text).
    KestTextPosition ToReader(Position place) const;
    /// The byte offset of a place of the reader, or of the protocol.
    std::size_t Offset(KestTextPosition place) const;
    std::size_t Offset(Position place) const { return _index.Offset(Text(), place); }
    Position At(std::size_t offset) const { return _index.At(Text(), offset); }

  private:
    void Read(std::string text);

    /// The text, kept only when reading it failed.
    std::string _text;
    bool _unread = false;
    std::optional<KestParDocument> _document;
    TextIndex _index;
    KestParCheckSettings _settings;
    std::vector<KestParDiagnostic> _diagnostics;
};

} // namespace kestcmd::lsp
