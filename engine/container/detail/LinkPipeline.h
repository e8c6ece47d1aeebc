// link_references for jobs larger than the processor's caches: the same links, made while the
// memory that the next steps need is loaded.
#pragma once

#include "engine/container/detail/NameIndex.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class KestCmd;
class KestCmdItem;

/// Every command, item and index slot sits at the end of a chain of loads (command, its lists,
/// their contents, the item, the index slot of its text), and a load from main memory takes as
/// long as the work on several commands or items. So each load is asked for a fixed distance
/// ahead of its use, in two walks over the commands:
/// - names: the command `4 * command_step` places ahead is loaded; the three steps of
///   KestCmd::Prefetch follow `command_step` places apart, so that each finds the memory of the
///   one before it loaded. First names are read and hashed, and each goes into the index
///   `window` names after its index slot was asked for.
/// - links, a batch of commands at a time: their items are gathered (the commands loaded ahead as
///   before), then linked: the item `item_ahead` places ahead is loaded; the text of the one
///   `window` places ahead is read and its index slot loaded; the current one is linked.
/// Only one batch of items is held at a time: a list of every item of a large job would take
/// tens of megabytes.
class LinkPipeline {
  public:
    /// Links `commands`, those of `batch` commands at a time.
    explicit LinkPipeline(const std::vector<KestCmd*>& commands,
                          std::size_t batch = commands_per_batch);
    /// Commands whose items are linked together: tens of thousands of items, far more than the
    /// distances below, in a list that stays in the processor's caches.
    static constexpr std::size_t commands_per_batch = 4096;

    /// Makes the links of link_references(commands).
    void run();

  private:
    static constexpr std::size_t command_step = 3;
    static constexpr std::size_t window = 8;
    static constexpr std::size_t item_ahead = 16;

    /// A command's first ID_NAME text.
    struct Named {
        std::string_view name;
        std::uint64_t hash = 0;
        const KestCmd* cmd = nullptr;
    };
    class NameFeed;

    /// Asks for the memory of the commands ahead of command `c` of [c, end).
    void load_ahead(std::size_t c, std::size_t end) const;
    void add_names();
    /// Appends the items of the commands in [begin, end) but their ID_NAME items to `items`.
    void gather(std::size_t begin, std::size_t end, std::vector<KestCmdItem*>& items) const;
    void link(const std::vector<KestCmdItem*>& items) const;

    const std::vector<KestCmd*>& _commands;
    std::size_t _batch;
    NameIndex _by_name;
    std::deque<std::string> _made; ///< the names of items that keep no text
};
