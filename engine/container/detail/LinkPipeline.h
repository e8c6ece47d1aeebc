// link_references for jobs larger than the processor's caches: the same links, made while the
// memory that the next steps need is loaded, on one thread or several.
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
/// ahead of its use, in three walks:
/// - gather, over the commands: the command `4 * command_step` places ahead is loaded; the three
///   steps of KestCmd::Prefetch follow `command_step` places apart, so that each finds the
///   memory of the one before it loaded. First names are read and hashed, and the items to link
///   collected.
/// - fill: a name's index slot is loaded `window` names before it is added. On one thread the
///   names go into the index as the gather walk reads them, and no list of them is kept.
/// - link, over the items gathered: the item `item_ahead` places ahead is loaded; the text of
///   the one `window` places ahead is read and its index slot loaded; the current one is linked.
///
/// With several threads, the commands are cut into a few runs per thread, gathered and linked
/// each on a thread; the index is cut into shards by hash, each filled on its thread with the
/// names of its shard in iteration order, so the first command of a name wins as in one index.
class LinkPipeline {
  public:
    /// Links made on up to `threads` threads (0: one per core), one for every `per_thread`
    /// commands at most.
    LinkPipeline(const std::vector<KestCmd*>& commands, std::size_t threads = 1,
                 std::size_t per_thread = commands_per_thread);
    /// Below this many commands a thread, a thread takes longer to start than its share.
    static constexpr std::size_t commands_per_thread = 16384;

    /// Makes the links of link_references(commands).
    void run();

  private:
    static constexpr std::size_t command_step = 3;
    static constexpr std::size_t window = 8;
    static constexpr std::size_t item_ahead = 16;
    /// Runs a thread takes in turn, so that a thread held up by other work on the machine leaves
    /// its share to the others.
    static constexpr std::size_t runs_per_thread = 4;

    /// A command's first ID_NAME text.
    struct Named {
        std::string_view name;
        std::uint64_t hash = 0;
        const KestCmd* cmd = nullptr;
    };
    class NameFeed;
    /// What the walk over one run of commands gathers.
    struct Run {
        std::vector<Named> names;     ///< with more than one thread only
        std::deque<std::string> made; ///< the names of items that keep no text
        std::vector<KestCmdItem*> items;
    };

    /// Gathers the commands in [begin, end) into `run`, their names into `names` if given.
    void gather(std::size_t begin, std::size_t end, Run& run, NameFeed* names) const;
    void fill(std::size_t shard);
    void link(const std::vector<KestCmdItem*>& items) const;

    const std::vector<KestCmd*>& _commands;
    std::size_t _threads;
    std::vector<Run> _runs;
    ShardedNameIndex _by_name;
};
