// The Python objects that stand for a command or an item: of a Job, whose commands keep their
// address for the job's whole life, or of a Document, whose commands are found again after every
// edit. Each holds its job or document, which lives as long as any of them.
#pragma once

#include "document_state.h"
#include "job_state.h"

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>
#include <variant>

namespace kestpy {

/// A command of a Job.
struct Command {
    JobPtr state;
    const KestCmd* cmd;

    /// The command; throws std::runtime_error while another thread changes the job.
    const KestCmd& get() const {
        check_not_changing(*state);
        return *cmd;
    }
};

/// A command of a Document: one of its text's blocks, or one the default rules made.
struct DocumentCommand {
    DocPtr doc;
    BlockRef block;

    /// The command as the document's text now gives it; throws std::runtime_error for a block
    /// that was removed, or a command the rules no longer make.
    const KestCmd& get() const { return doc->Resolve(block); }
};

/// The command that `cmd`, a command of `doc`'s job, is.
DocumentCommand document_command(const DocPtr& doc, const KestCmd& cmd);

/// An item, known by its command, kind and index: completion may replace an item in its place,
/// and an edit of a document may give the place another value.
struct Value {
    std::variant<Command, DocumentCommand> owner;
    KestCmdItemDefs::CmdItem kind;
    std::size_t index;

    const KestCmd& command() const;
    /// The item; throws std::runtime_error while another thread changes the job, or when the
    /// place holds no item any more.
    const KestCmdItem& get() const;
    /// Where the item's line stands in the text, if it has one.
    std::optional<KestItemSpan> span() const;
    /// What messages call the job or document.
    const std::string& source() const;
};

/// A new kestcmd.Value for `value`.
pybind11::object make_value(Value value);
/// The Value that `object` is, or null for another object.
const Value* value_in(pybind11::handle object);
/// The text of `value` as the reader stored it.
std::string value_text_of(const Value& value);

/// An integer list, kept as its runs.
struct IntList {
    LumoList<int> list;
};

/// The IntList of `values`: an object with the buffer protocol holding integers (a numpy array
/// of ints) or an iterable of ints, in any order, duplicates allowed. TypeError for anything
/// else (bool and float elements too), ValueError for a value out of the range of int.
IntList int_list_of(pybind11::handle values);

/// The compact notation of `list`, on one line.
std::string int_list_text(const IntList& list);

} // namespace kestpy
