// link_references for jobs larger than the processor's caches: the same links, made while the
// memory that the next steps need is loaded.
#pragma once

#include "engine/container/detail/NameIndex.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class KestCmd;
class KestCmdItem;

/// Every command, item and index slot sits at the end of a chain of loads (command, its lists,
/// their contents, the item, the index slot of its text), and a load from main memory takes as
/// long as the work on several commands or items. So each load is asked for a fixed distance
/// ahead of its use, in two walks:
/// - commands: the command `4 * command_step` places ahead is loaded; the three steps of
///   KestCmd::Prefetch follow `command_step` places apart, so that each finds the memory of the
///   one before it loaded. A name is hashed when it is read and its index slot loaded; it joins the
///   index `window` commands later. The items to link are collected on the way.
/// - items: the item `item_ahead` places ahead is loaded; the text of the one `window` places
///   ahead is read and its index slot loaded; the current one is linked.
class LinkPipeline {
  public:
    explicit LinkPipeline(const std::vector<KestCmd*>& commands);
    /// Makes the links of link_references(commands).
    void run();

  private:
    static constexpr std::size_t command_step = 3;
    static constexpr std::size_t window = 8;
    static constexpr std::size_t item_ahead = 16;

    /// A name read, waiting for its slot to arrive.
    struct Named {
        std::string name;
        std::uint64_t hash = 0;
        const KestCmd* cmd = nullptr;
    };
    /// An item's text read, and whether it may be a name (then its hash).
    struct Looked {
        std::string_view text;
        std::string made; ///< the text of an item that keeps none
        bool candidate = false;
        std::uint64_t hash = 0;
    };

    /// Indexes the first name of every command and collects the items to link.
    void index_names();
    /// Links every collected item whose text is a name.
    void link_items();
    /// Reads the text of collected item `i` into its place of `_looked`.
    void read_text(std::size_t i);

    const std::vector<KestCmd*>& _commands;
    NameIndex _by_name;
    std::vector<KestCmdItem*> _items;
    std::array<Named, window> _pending;
    std::array<Looked, window> _looked;
};
