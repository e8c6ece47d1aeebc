#include "document_edits.h"

#include <pybind11/pybind11.h>

#include <optional>

namespace py = pybind11;

namespace kestpy {

namespace {

using KestCmdItemDefs::CmdItem;
using KestCmdItemDefs::default_item_names;

// Whether an edit of `kind` may change a command's name or its block's type (a DRESP block
// holding DEF_TYPE = OPER is an OPERATOR; DEF_TYPE is no item kind, so its line is a
// PLACEHOLDER item).
bool changes_names(CmdItem kind) {
    return kind == KestCmdItemDefs::ID_NAME || kind == KestCmdItemDefs::PLACEHOLDER;
}

// The lines of the block of `ref` that make items of `kind`, in text order: for each line, the
// index of the first item of the kind it makes. None for a command the default rules made.
std::vector<std::size_t> lines_of(DocState& doc, const BlockRef& ref, CmdItem kind) {
    std::vector<std::size_t> items;
    if (ref.made) {
        return items;
    }
    const std::size_t block = doc.IndexOf(ref);
    std::size_t last_line = 0;
    for (const KestSourceMap::ItemPlace& place : doc.Placed().Items(block)) {
        if (place.kind == kind && place.span.key.line != last_line) {
            items.push_back(place.index);
            last_line = place.span.key.line;
        }
    }
    return items;
}

// Removes the lines of `kind` after the first `keep` of them, the last first.
void remove_lines(DocState& doc, const BlockRef& ref, CmdItem kind, std::size_t keep) {
    for (auto lines = lines_of(doc, ref, kind); lines.size() > keep;
         lines = lines_of(doc, ref, kind)) {
        const KestCmd& cmd = doc.ResolveToEdit(ref);
        doc.Run([&](KestParDocument& d) { d.RemoveItem(cmd, kind, lines.back()); });
        doc.Changed(changes_names(kind));
    }
}

} // namespace

void set_key(DocState& doc, const BlockRef& ref, CmdItem kind, const std::string& text) {
    const KestCmd& cmd = doc.ResolveToEdit(ref);
    const std::vector<std::size_t> lines = lines_of(doc, ref, kind);
    // The document refuses a command that the default rules made, and a line whose value is not
    // the kind's alone, before it changes anything; removing lines it has found cannot fail.
    doc.Run([&](KestParDocument& d) {
        if (lines.empty()) {
            d.AddItem(cmd, default_item_names[kind], text);
        } else {
            d.SetValue(cmd, kind, lines.front(), text);
        }
    });
    doc.Changed(changes_names(kind));
    if (lines.size() > 1) {
        remove_lines(doc, ref, kind, 1);
    }
}

void add_line(DocState& doc, const BlockRef& ref, CmdItem kind, const std::string& text) {
    const KestCmd& cmd = doc.ResolveToEdit(ref);
    doc.Run([&](KestParDocument& d) { d.AddItem(cmd, default_item_names[kind], text); });
    doc.Changed(changes_names(kind));
}

void remove_key(DocState& doc, const BlockRef& ref, CmdItem kind) {
    const KestCmd& cmd = doc.Resolve(ref);
    if (!cmd.HasItem(kind)) {
        throw py::key_error(default_item_names[kind]);
    }
    if (lines_of(doc, ref, kind).empty()) {
        // Only the default rules give the key: the document refuses to remove it.
        doc.Run([&](KestParDocument& d) { d.RemoveItem(cmd, kind, 0); });
    }
    remove_lines(doc, ref, kind, 0);
}

BlockRef add_block(DocState& doc, KestCmdDefs::Cmd type,
                   const std::vector<std::pair<std::string, std::string>>& items) {
    const KestSourceMap& positions = doc.Positions();
    std::optional<std::size_t> last;
    for (std::size_t i = positions.CommandCount(); i > 0 && !last; --i) {
        if (positions.Command(i - 1).GetType() == type) {
            last = i - 1;
        }
    }
    const std::size_t index = last ? *last + 1 : positions.CommandCount();
    const KestCmd* after = last ? &positions.Command(*last) : nullptr;
    doc.Run([&](KestParDocument& d) {
        d.AddCommand(KestCmdDefs::get_default_cmd_names()[type], items, after);
    });
    doc.Inserted(index);
    return doc.RefAt(index);
}

void remove_block(DocState& doc, const BlockRef& ref) {
    const KestCmd& cmd = doc.ResolveToEdit(ref);
    const std::optional<std::size_t> index =
        ref.made ? std::nullopt : std::optional(doc.IndexOf(ref));
    doc.Run([&](KestParDocument& d) { d.RemoveCommand(cmd); }); // refuses a made command
    if (index) {
        doc.Removed(*index);
    }
}

void rename_block(DocState& doc, const BlockRef& ref, const std::string& name) {
    const KestCmd& cmd = doc.ResolveToEdit(ref);
    doc.Run([&](KestParDocument& d) { d.RenameCommand(cmd, name); });
    doc.Changed(true);
}

} // namespace kestpy
