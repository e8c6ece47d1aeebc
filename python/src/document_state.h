// What the Python objects of one Document share: the text with its job (KestParDocument), which
// of its blocks each object stands for, found again after edits that add or remove blocks, and
// its commands by name.
#pragma once

#include "job_state.h"
#include "library_warnings.h"

#include <KestCmdEngine.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestpy {

/// The command a Python object of a document stands for: a block of the text, known by an id
/// that stays with it while blocks are added or removed before it, with where it was last
/// found; or a command that the default rules made, known by its upper-cased name.
struct BlockRef {
    bool made = false;
    std::uint64_t id = 0;
    std::string made_name;
    /// The block's index among the text's blocks after the first `seen` block changes.
    mutable std::size_t index = 0;
    mutable std::size_t seen = 0;
};

class DocState {
  public:
    DocState(KestParDocument doc, std::string name);

    /// What messages call the document: its path, or the name given to loads.
    const std::string& Name() const { return _name; }
    /// The document, for what does not read the text again (its text, saving) or edits it
    /// (through Run).
    const KestParDocument& Doc() const { return _doc; }

    /// The positions and the job of the text as it is now. Reading the text again after an
    /// edit, the library's warnings go to Python (library_warnings.h).
    const KestSourceMap& Positions();
    const KestCmdContainer& Job();
    /// The positions as read last (KestParDocument::PlacedPositions): where the blocks are, with
    /// which names and lines, without reading the text again for values set since. For finding
    /// what to edit, not for reading values.
    const KestSourceMap& Placed();

    /// Runs `edit` with the document; warnings the library logs meanwhile go to Python.
    template <class Edit>
    void Run(Edit edit) {
        HeldWarnings held;
        edit(_doc);
        held.Warn(_name, [&] { return &_doc.Positions(); });
    }
    /// After an edit of values: forgets the completed Job, and the commands by name too when
    /// `names` (the edit may have changed a name or a block's type).
    void Changed(bool names);
    /// After an edit that added a block at `index` of the text's blocks, or removed the block
    /// at `index`.
    void Inserted(std::size_t index);
    void Removed(std::size_t index);

    /// The reference of the text's block at `index`, or of `cmd`, a command of Job().
    BlockRef RefAt(std::size_t index);
    BlockRef RefOf(const KestCmd& cmd);
    /// The index of the block `ref` stands for; throws std::runtime_error when it was removed.
    std::size_t IndexOf(const BlockRef& ref);
    /// The command `ref` stands for, as the text gives it now; throws std::runtime_error when
    /// it is gone.
    const KestCmd& Resolve(const BlockRef& ref);
    /// The command `ref` stands for, as Placed() gives it: for an edit to address.
    const KestCmd& ResolveToEdit(const BlockRef& ref);
    static bool Same(const BlockRef& a, const BlockRef& b);
    static std::size_t Hash(const BlockRef& ref);

    /// The commands whose first ID_NAME is `name`, compared upper-cased as the reader compares
    /// names: blocks of the text (by index, in text order) and commands the default rules made.
    struct Named {
        std::vector<std::size_t> blocks;
        std::vector<const KestCmd*> made;
    };
    Named Find(std::string_view name);
    /// Every upper-cased name of a command, for suggestions.
    std::vector<std::string> Names();

    /// The completed Job of the text as it is now, read once after each change.
    JobPtr CompletedJob();

  private:
    struct BlockChange {
        bool inserted;
        std::size_t index;
    };
    /// The positions that `positions` of the document gives, the warnings of reading the text
    /// again (if it must) going to Python.
    const KestSourceMap& Read(const KestSourceMap& (KestParDocument::*positions)() const);
    /// The blocks by name and the number of blocks of each type, made when first asked for.
    void IndexNames();
    /// The commands the default rules made, few: of types with more commands than blocks.
    std::vector<const KestCmd*> MadeCommands();

    KestParDocument _doc;
    std::string _name;
    JobPtr _job;
    /// Ids of the blocks in text order, made with the first reference to a block; with the
    /// block changes since.
    std::vector<std::uint64_t> _ids;
    bool _ids_made = false;
    std::uint64_t _next_id = 0;
    std::vector<BlockChange> _changes;
    std::unordered_map<std::string, std::vector<std::size_t>> _blocks_by_name;
    std::array<std::size_t, KestCmdDefs::cmd_type_count> _blocks_of_type{};
    bool _names_made = false;
};

using DocPtr = std::shared_ptr<DocState>;

} // namespace kestpy
