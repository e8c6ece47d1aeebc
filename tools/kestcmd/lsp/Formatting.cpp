// textDocument/formatting: the layout of `kestcmd fmt` (format_par_text) as one edit of the
// whole text, or none when the text is laid out already.
#include "Features.h"

namespace kestcmd::lsp {

json formatting(const OpenDocument& document, const json&) {
    const std::string& text = document.Text();
    const std::string laid_out = format_par_text(text);
    if (laid_out == text) {
        return json::array();
    }
    return json::array({text_edit(range_between(document, 0, text.size()), laid_out)});
}

} // namespace kestcmd::lsp
