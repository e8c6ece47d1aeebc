// The edits that turn one text into another, for changes that keep the lines (a rename) or not.
#pragma once

#include "OpenDocument.h"
#include "Protocol.h"

#include <string_view>

namespace kestcmd::lsp {

/// TextEdits that turn the text of `document` into `changed`. When both have as many lines, one
/// edit for each line that differs, over the part between what the two lines share at their
/// start and at their end; otherwise one edit over that part of the whole text. Edits never cut
/// a UTF-8 character.
json edits_between(const OpenDocument& document, std::string_view changed);

} // namespace kestcmd::lsp
