// The look-up tables of the parameter-file reader, built once by its constructor.
#pragma once

#include "engine/io/KestParFileAdapter.h"
#include "engine/io/detail/UpperCaseTable.h"

#include <array>
#include <unordered_map>

struct KestParFileAdapter::Tables {
    /// How a key's lines become items, and the item kinds that turns them into (so that the
    /// reader knows which items a line made, for their positions).
    struct Processor {
        ItemProcessor process;
        std::array<KestCmdItemDefs::CmdItem, 2> fills;
        std::size_t fill_count;
    };
    /// A command creator, and whether it looks at the block's lines (the reader then holds a
    /// whole block before creating its command, instead of reading it line by line).
    struct Creator {
        CmdCreator create;
        bool reads_lines;
    };

    UpperCaseTable<KestCmdDefs::Cmd> cmd_names;
    UpperCaseTable<Processor> item_processors;
    /// For a key that no name matches.
    Processor unmatched;
    /// By command type.
    std::array<Creator, KestCmdDefs::cmd_type_count> creators;
    std::unordered_map<int, ImplicitReference> implicit_references;
    std::unordered_map<int, ReverseReference> reverse_references;
    KestCmdItemDefs::EnumMap enums;
    KestCmdContainerDefaults defaults;
    /// As the configuration gave them.
    std::size_t threads;
    std::size_t bytes_per_thread;
};
