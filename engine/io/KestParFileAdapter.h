// The parameter-file reader: blocks become commands, lines become typed items, implied links are
// resolved, names become references and the default rules complete the job.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/defaults/KestCmdContainerDefaults.h"
#include "engine/io/KestCmdIo.h"
#include "engine/io/KestSourceMap.h"
#include "utilities/KestParFile.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// Reads parameter files, or their text, into containers. The constructor turns a configuration
/// into look-up tables; Parse may then be called any number of times, each call reading the file
/// anew. The reader rejects nothing: an unknown block keyword becomes a CMD_PLACEHOLDER command,
/// an unknown key a PLACEHOLDER item (its key is not kept).
///
/// Every way of reading runs one loop over the blocks: ParseText and Parse scan text (Parse reads
/// its file first), Read walks a file tokenized by the caller. When a KestSourceMap is given, the
/// loop records where each command and each item it reads stands in the text (the map is
/// cleared first); without one it records nothing.
///
/// Text is read on the configuration's threads: it is split into parts after END_ lines, a few
/// per thread, each part read by the loop on one of the threads into commands of its own, and
/// the parts are then added to the container in the order of the text, with their positions and
/// the warnings they logged, up to the first part that failed, whose failure is then raised. The
/// job is the same as one thread gives.
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
    /// opened, and when reading it fails (after the commands of the text read before). On one
    /// thread the file is read `file_piece` bytes at a time, each piece up to its last END_ line
    /// read before the next, so that the text of a large file is never held whole; on more, it
    /// is read whole and released before completion.
    void Parse(KestCmdContainer& container, KestSourceMap* positions = nullptr) const;
    static constexpr std::size_t file_piece = std::size_t{1} << 20;
    /// The same for `text`, the content of a parameter file: the job that Parse of a file holding
    /// these bytes gives, with the same failures (messages name the adapter's file name).
    void ParseText(std::string_view text, KestCmdContainer& container,
                   KestSourceMap* positions = nullptr) const;

    /// The first half of Parse on a file tokenized by the caller: one command per block, its lines
    /// turned into items, nothing completed. When `created` is given, it receives the command
    /// made for each block, in file order.
    void Read(const KestParFile& file, KestCmdContainer& container,
              std::vector<KestCmd*>* created = nullptr, KestSourceMap* positions = nullptr) const;
    /// The first half of ParseText.
    void ReadText(std::string_view text, KestCmdContainer& container,
                  std::vector<KestCmd*>* created = nullptr,
                  KestSourceMap* positions = nullptr) const;
    /// The second half of Parse: resolves the links the file implies, links names to commands
    /// (CreateReferences) and applies the default rules.
    void Complete(KestCmdContainer& container) const;

    /// The rules Parse applies: the reader's rules (reader_default_rules), then the
    /// configuration's.
    const KestCmdContainerDefaults& GetDefaults() const;

    /// Whether the reader takes `keyword` for a command type, and `key` for a key it acts on (an
    /// item kind's name, LE_VALUE, GE_VALUE or LIST_BEGIN), both compared upper-cased.
    bool KnowsKeyword(std::string_view keyword) const;
    bool KnowsKey(std::string_view key) const;

    /// The reader's look-up tables; their definition is internal to the library.
    struct Tables;

  private:
    class ScannedText;
    class TokenizedFile;

    /// The one reading loop: every block of `blocks` as a command with its items.
    template <class Blocks>
    void ReadBlocks(Blocks& blocks, KestCmdContainer& container, std::vector<KestCmd*>* created,
                    KestSourceMap* positions) const;
    /// ReadText of the adapter's file, read a piece at a time.
    void ReadFile(KestCmdContainer& container, KestSourceMap* positions) const;
    /// ReadText on `threads` threads.
    void ReadInParts(std::string_view text, std::size_t threads, KestCmdContainer& container,
                     std::vector<KestCmd*>* created, KestSourceMap* positions) const;
    void ResolveImplicitReferences(KestCmdContainer& container) const;
    void ResolveReverseReferences(KestCmdContainer& container) const;

    std::wstring _file_name;
    /// Built by the constructor and never changed, so copies of an adapter share them.
    std::shared_ptr<const Tables> _tables;
};
