// The parameter-file reader: blocks become commands, lines become typed items, implied links are
// resolved, names become references and the default rules complete the job.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/defaults/KestCmdContainerDefaults.h"
#include "engine/io/KestCmdIo.h"
#include "engine/io/detail/UpperCaseTable.h"
#include "utilities/KestParFile.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

/// Reads one parameter file into containers. The constructor turns a configuration into look-up
/// tables; Parse may then be called any number of times, each call reading the file anew. The
/// reader rejects nothing: an unknown block keyword becomes a CMD_PLACEHOLDER command, an unknown
/// key a PLACEHOLDER item (its key is not kept).
class KEST_CMD_ENGINE_API KestParFileAdapter : public KestCmdIoAdapter {
  public:
    /// Turns one line into items of a command.
    using ItemProcessor =
        std::function<void(KestCmd&, const KestParSubCommand&, const KestCmdItemDefs::EnumMap&)>;
    /// Creates the command of a block in the container.
    using CmdCreator = KestCmd& (*)(const std::string& keyword, KestCmdDefs::Cmd type,
                                    const std::vector<KestParSubCommand>& lines,
                                    KestCmdContainer& container,
                                    const KestCmdItemDefs::EnumMap& enums);
    /// An owner of type `owner` that receives an `item` reference to the only command of the
    /// referenced type when the job has exactly one of each.
    struct ImplicitReference {
        KestCmdDefs::Cmd owner;
        KestCmdItemDefs::CmdItem item;
    };
    /// A command whose first `name_item` text names commands of type `owner`; each of them
    /// receives an `item` reference back to it.
    struct ReverseReference {
        KestCmdItemDefs::CmdItem item;
        KestCmdDefs::Cmd owner;
        KestCmdItemDefs::CmdItem name_item;
    };

    KestParFileAdapter(const std::wstring& file_name, const KestCmdIoConfig& config);
    KestParFileAdapter(const KestParFileAdapter& other);
    KestParFileAdapter(KestParFileAdapter&& other) noexcept;
    ~KestParFileAdapter();

    /// Adds the commands of the file to `container` (which is not emptied first), then completes
    /// it (Complete). Throws ZUL_Failure, before any command is created, when the file cannot be
    /// read.
    void Parse(KestCmdContainer& container) const;

    /// The first half of Parse on a file tokenized by the caller: one command per block, its lines
    /// turned into items, nothing completed. When `created` is given, it receives the command
    /// made for each block, in file order.
    void Read(const KestParFile& file, KestCmdContainer& container,
              std::vector<KestCmd*>* created = nullptr) const;
    /// The second half of Parse: resolves the links the file implies, links names to commands
    /// (CreateReferences) and applies the default rules.
    void Complete(KestCmdContainer& container) const;

    /// The rules Parse applies: the standard rules, the reader's nine, then the configuration's.
    const KestCmdContainerDefaults& GetDefaults() const { return _defaults; }

  private:
    /// One block, whose keyword matched `type`, as a command with its items.
    KestCmd& ReadBlock(const KestParCommand& block, KestCmdDefs::Cmd type,
                       KestCmdContainer& container) const;
    /// One line as items of `cmd`.
    void ReadLine(const KestParSubCommand& line, KestCmd& cmd) const;
    KestCmdDefs::Cmd MatchCmdName(const std::string& keyword) const;
    const ItemProcessor& MatchCmdItemName(const std::string& key) const;
    KestCmd& CreateCmd(const std::string& keyword, KestCmdDefs::Cmd type,
                       const std::vector<KestParSubCommand>& lines, KestCmdContainer& container,
                       const KestCmdItemDefs::EnumMap& enums) const;
    void ResolveImplicitReferences(KestCmdContainer& container) const;
    void ResolveReverseReferences(KestCmdContainer& container) const;

    std::wstring _file_name;
    UpperCaseTable<KestCmdDefs::Cmd> _cmd_name_map;
    UpperCaseTable<ItemProcessor> _item_processors;
    std::unordered_map<int, ImplicitReference> _implicit_references;
    std::unordered_map<int, ReverseReference> _reverse_references;
    KestCmdItemDefs::EnumMap _enum_map;
    KestCmdContainerDefaults _defaults;
    /// A command creator, and whether it looks at the block's lines (the reader then holds a
    /// whole block before creating its command, instead of reading it line by line).
    struct Creator {
        CmdCreator create;
        bool reads_lines;
    };
    std::unordered_map<int, Creator> _cmd_creators;
};
