#include "engine/io/KestParFileAdapter.h"

#include "engine/io/KestParKeys.h"
#include "engine/io/detail/KestParItemProcessors.h"
#include "engine/io/detail/KestParReaderTables.h"
#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"
#include "utilities/ZUL_LogMacros.h"
#include "utilities/detail/KestInputFile.h"
#include "utilities/detail/KestParScanner.h"
#include "utilities/detail/KestThreads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <stdexcept>

using namespace KestCmdItemDefs;
using namespace KestParItemProcessors;
using KestCmdDefs::Cmd;

namespace {

using Tables = KestParFileAdapter::Tables;

Tables::Processor processor(KestParFileAdapter::ItemProcessor process, CmdItem fills) {
    return {std::move(process), {fills, fills}, 1};
}
Tables::Processor processor(KestParFileAdapter::ItemProcessor process, CmdItem fills,
                            CmdItem also) {
    return {std::move(process), {fills, also}, 2};
}

std::shared_ptr<const Tables> make_tables(const KestCmdIoConfig& config) {
    auto tables = std::make_shared<Tables>();
    Tables& t = *tables;
    t.enums = config.enum_map;
    for (const auto& [type, name] : config.cmd_names) {
        t.cmd_names.emplace(name, type);
    }
    t.implicit_references.emplace(
        KestCmdDefs::STOP, KestParFileAdapter::ImplicitReference{KestCmdDefs::OPTIMIZE, STOP});
    t.reverse_references.emplace(
        KestCmdDefs::OPT_PARAM,
        KestParFileAdapter::ReverseReference{OPT_PARAM, KestCmdDefs::OPTIMIZE, REFERENCE});
    for (const auto& [kind, name] : config.item_names) {
        if (t.item_processors.contains(name)) {
            continue;
        }
        const CmdItem bound = kind;
        if (kind == KestCmdItemDefs::FILE || kind == ADD_FILE) {
            t.item_processors.emplace(name, processor(
                                                [bound](KestCmd& cmd, const KestParSubCommand& line,
                                                        const EnumMap& enums) {
                                                    process_as_given(bound, cmd, line, enums);
                                                },
                                                bound));
        } else if (kind == REFERENCE) {
            t.item_processors.emplace(name, processor(&process_reference, REFERENCE, COEFFICIENT));
        } else {
            t.item_processors.emplace(
                name,
                processor([bound](KestCmd& cmd, const KestParSubCommand& line,
                                  const EnumMap& enums) { process_upper(bound, cmd, line, enums); },
                          bound));
        }
    }
    // These keys act whatever the configuration says.
    t.item_processors.assign(KestParKeys::le_value, processor(&process_le_value, VALUE, TYPE));
    t.item_processors.assign(KestParKeys::ge_value, processor(&process_ge_value, VALUE, TYPE));
    t.item_processors.assign(KestParKeys::list_begin, processor(&process_list, LIST_BEGIN));
    t.unmatched = processor(&process_unmatched, PLACEHOLDER);

    t.defaults = reader_default_rules();
    for (const auto& rule : config.default_value_rules) {
        t.defaults.AddDefaultValueRule(rule);
    }
    for (KestCmdContainerDefaults::ContainerManipulator manipulator :
         config.container_manipulator_rules) {
        t.defaults.AddContainerManipulatorRule(manipulator);
    }

    t.creators.fill({&create_plain_cmd, false});
    t.creators[KestParKeys::operator_block] = {&create_dresp_cmd, true};
    t.creators[KestCmdDefs::DV] = {&create_dv_cmd, false};
    t.threads = config.threads;
    t.bytes_per_thread = std::max<std::size_t>(config.bytes_per_thread, 1);
    return tables;
}

KestItemSpan span_of(const KestParSubCommand& line) {
    return {{line.line, line.key_column},
            {line.line, line.value_column},
            {line.end_line, line.end_column}};
}

// One line as items of `cmd`; with `positions`, each item it made is recorded with the line's
// span.
void read_line(const Tables& t, const std::wstring& file_name, const KestParSubCommand& line,
               KestCmd& cmd, KestSourceMap* positions) {
    if (line.kind == 0) {
        return;
    }
    const Tables::Processor* found = t.item_processors.find(line.key);
    const Tables::Processor& p = found != nullptr ? *found : t.unmatched;
    std::array<std::size_t, 2> before{};
    if (positions != nullptr) {
        for (std::size_t f = 0; f < p.fill_count; ++f) {
            before[f] = cmd.ItemCount(p.fills[f]);
        }
    }
    try {
        p.process(cmd, line, t.enums);
    } catch (const std::length_error& too_long) {
        // A value too large to hold (an integer list of billions of scattered values): say
        // where it stands instead of failing without a trace.
        throw ZUL_Failure(ZUL_Code(), "[KestParFileAdapter] ",
                          KestFileUtil::display_path(file_name) + ":" + std::to_string(line.line) +
                              ": " + too_long.what());
    }
    if (positions != nullptr) {
        const KestItemSpan span = span_of(line);
        for (std::size_t f = 0; f < p.fill_count; ++f) {
            for (std::size_t i = before[f]; i < cmd.ItemCount(p.fills[f]); ++i) {
                positions->AddItem(p.fills[f], i, span);
            }
        }
    }
}

// What reading one part of a text gave: its commands (with the list of them and their positions
// when asked for), the messages it logged, and the failure that stopped it.
struct PartRead {
    KestCmdContainer commands;
    std::vector<KestCmd*> created;
    KestSourceMap positions;
    std::vector<ZUL_LogMacros::LogRecord> messages;
    std::exception_ptr failure;
};

} // namespace

/// The blocks of a text, or of a part of it, scanned as they are read.
class KestParFileAdapter::ScannedText {
  public:
    explicit ScannedText(std::string_view text) : _scanner(text, false) {}
    ScannedText(std::string_view text, const KestParScanner::Part& part)
        : _scanner(text, part, false) {}
    const KestParCommand* NextBlock() { return _scanner.NextKeyword(_block) ? &_block : nullptr; }
    const KestParSubCommand* NextLine() { return _scanner.NextItem(_line) ? &_line : nullptr; }
    const std::vector<KestParSubCommand>& WholeBlock() {
        _scanner.ReadLines(_block);
        return _block.subCommands;
    }
    std::size_t EndLine() const { return _scanner.EndLine(); }

  private:
    KestParScanner _scanner; // the processors split what they need
    KestParCommand _block;
    KestParSubCommand _line;
};

/// The blocks of a file that the caller tokenized.
class KestParFileAdapter::TokenizedFile {
  public:
    explicit TokenizedFile(const KestParFile& file) : _next(file.begin()), _end(file.end()) {}
    const KestParCommand* NextBlock() {
        if (_next == _end) {
            return nullptr;
        }
        _block = &*_next++;
        _line = 0;
        return _block;
    }
    const KestParSubCommand* NextLine() {
        return _line < _block->subCommands.size() ? &_block->subCommands[_line++] : nullptr;
    }
    const std::vector<KestParSubCommand>& WholeBlock() { return _block->subCommands; }
    std::size_t EndLine() const { return _block->end_line; }

  private:
    KestParFile::const_iterator _next;
    KestParFile::const_iterator _end;
    const KestParCommand* _block = nullptr;
    std::size_t _line = 0;
};

KestParFileAdapter::KestParFileAdapter(const std::wstring& file_name, const KestCmdIoConfig& config)
    : _file_name(file_name), _tables(make_tables(config)) {}

KestParFileAdapter::KestParFileAdapter(const KestParFileAdapter& other) = default;
KestParFileAdapter::KestParFileAdapter(KestParFileAdapter&& other) noexcept = default;
KestParFileAdapter::~KestParFileAdapter() = default;

const KestCmdContainerDefaults& KestParFileAdapter::GetDefaults() const {
    return _tables->defaults;
}

bool KestParFileAdapter::KnowsKeyword(std::string_view keyword) const {
    return _tables->cmd_names.find(keyword) != nullptr;
}

bool KestParFileAdapter::KnowsKey(std::string_view key) const {
    return _tables->item_processors.find(key) != nullptr;
}

void KestParFileAdapter::Parse(KestCmdContainer& container, KestSourceMap* positions) const {
    if (KestThreads::resolve(_tables->threads) > 1) {
        // The text goes before completion, which needs memory of its own.
        const std::string text = KestFileUtil::read_all(_file_name);
        ReadText(text, container, nullptr, positions);
    } else {
        ReadFile(container, positions);
    }
    Complete(container);
}

void KestParFileAdapter::ReadFile(KestCmdContainer& container, KestSourceMap* positions) const {
    // A piece of the file at a time: the blocks up to the last END_ line in hand are read, the
    // rest waits for the next piece. The text starts with a line feed that is not scanned, so
    // that the first bytes of a piece are never taken for a byte-order mark (only those of the
    // file are); the line feed that ends the last END_ line read takes its place.
    constexpr std::size_t piece = file_piece;
    KestInputFile file(_file_name);
    std::string text = "\n";
    KestParScanner::Part part{1, 0, 0};
    if (positions != nullptr) {
        positions->Clear();
    }
    for (bool more = true, first = true; more; first = false) {
        const std::size_t held = text.size();
        text.resize(held + piece);
        text.resize(held + file.Read(text.data() + held, piece));
        if (first && text.compare(1, 3, "\xEF\xBB\xBF") == 0) {
            text.erase(1, 3); // the file's byte-order mark
        }
        more = text.size() > held;
        if (more) {
            // Only the lines that the new bytes end can be new END_ lines.
            const std::size_t from = std::max(part.begin, text.rfind('\n', held - 1) + 1);
            part.end = KestParScanner::LastBoundary(text, from);
            if (part.end == from) {
                continue; // no END_ line yet: the next piece is added to this one
            }
        } else if (text.size() == part.begin) {
            break;
        } else {
            part.end = text.size();
        }
        ScannedText blocks(text, part);
        ReadBlocks(blocks, container, nullptr, positions);
        part.lines_before += KestParScanner::LineCount(text, part);
        text.erase(0, part.end - 1);
    }
}

void KestParFileAdapter::ParseText(std::string_view text, KestCmdContainer& container,
                                   KestSourceMap* positions) const {
    ReadText(text, container, nullptr, positions);
    Complete(container);
}

void KestParFileAdapter::ReadText(std::string_view text, KestCmdContainer& container,
                                  std::vector<KestCmd*>* created, KestSourceMap* positions) const {
    const Tables& t = *_tables;
    const std::size_t threads =
        std::min(KestThreads::resolve(t.threads), text.size() / t.bytes_per_thread);
    if (threads > 1) {
        ReadInParts(text, threads, container, created, positions);
        return;
    }
    if (positions != nullptr) {
        positions->Clear();
    }
    ScannedText blocks(text);
    ReadBlocks(blocks, container, created, positions);
}

void KestParFileAdapter::ReadInParts(std::string_view text, std::size_t threads,
                                     KestCmdContainer& container, std::vector<KestCmd*>* created,
                                     KestSourceMap* positions) const {
    // Many parts per thread, taken in turn, so that parts that take longer than others to read,
    // or a thread held up by other work, leave the others little to wait for at the end (16
    // parts a thread read the 1M job about 10% faster on two threads than 4 did).
    constexpr std::size_t parts_per_thread = 16;
    std::vector<KestParScanner::Part> parts =
        KestParScanner::Split(text, threads * parts_per_thread);
    // Each part numbers its lines after those of the parts before it: the lines of every part
    // but the last are counted on threads, then added up.
    std::vector<std::size_t> lines(parts.size());
    KestThreads::run(parts.size() - 1, threads,
                     [&](std::size_t i) { lines[i] = KestParScanner::LineCount(text, parts[i]); });
    for (std::size_t i = 1; i < parts.size(); ++i) {
        parts[i].lines_before = parts[i - 1].lines_before + lines[i - 1];
    }
    std::vector<PartRead> read(parts.size());
    // A part after one that failed is not needed; those not begun yet are left out.
    std::atomic<std::size_t> first_failed{parts.size()};
    KestThreads::run(parts.size(), threads, [&](std::size_t i) {
        if (first_failed.load() < i) {
            return;
        }
        PartRead& part = read[i];
        ZUL_LogMacros::HeldMessages held;
        try {
            ScannedText blocks(text, parts[i]);
            ReadBlocks(blocks, part.commands, created != nullptr ? &part.created : nullptr,
                       positions != nullptr ? &part.positions : nullptr);
        } catch (...) {
            part.failure = std::current_exception();
            for (std::size_t seen = first_failed.load();
                 i < seen && !first_failed.compare_exchange_weak(seen, i);) {
            }
        }
        part.messages = held.Take();
    });
    // In the order of the text, up to the first failure, as one thread would have left them.
    if (positions != nullptr) {
        positions->Clear();
    }
    for (PartRead& part : read) {
        container.Append(std::move(part.commands));
        if (created != nullptr) {
            created->insert(created->end(), part.created.begin(), part.created.end());
        }
        if (positions != nullptr) {
            positions->Append(std::move(part.positions));
        }
        for (const ZUL_LogMacros::LogRecord& message : part.messages) {
            ZUL_LogMacros::emit(message);
        }
        if (part.failure) {
            std::rethrow_exception(part.failure);
        }
    }
}

void KestParFileAdapter::Read(const KestParFile& file, KestCmdContainer& container,
                              std::vector<KestCmd*>* created, KestSourceMap* positions) const {
    if (positions != nullptr) {
        positions->Clear();
    }
    TokenizedFile blocks(file);
    ReadBlocks(blocks, container, created, positions);
}

void KestParFileAdapter::Complete(KestCmdContainer& container) const {
    ResolveImplicitReferences(container);
    ResolveReverseReferences(container);
    container.CreateReferences();
    _tables->defaults.ApplyRules(container, _tables->enums);
}

template <class Blocks>
void KestParFileAdapter::ReadBlocks(Blocks& blocks, KestCmdContainer& container,
                                    std::vector<KestCmd*>* created,
                                    KestSourceMap* positions) const {
    const Tables& t = *_tables;
    static const std::vector<KestParSubCommand> no_lines;
    while (const KestParCommand* block = blocks.NextBlock()) {
        const Cmd* matched = t.cmd_names.find(block->keyword);
        const Cmd type = matched != nullptr ? *matched : KestCmdDefs::CMD_PLACEHOLDER;
        const Tables::Creator& creator = t.creators[type];
        // Only a creator that looks at the lines gets the block whole; the others read it line
        // by line, so that no more than one line's tokens are held.
        const std::vector<KestParSubCommand>& lines =
            creator.reads_lines ? blocks.WholeBlock() : no_lines;
        KestCmd& cmd = creator.create(block->keyword, type, lines, container, t.enums);
        if (created != nullptr) {
            created->push_back(&cmd);
        }
        if (positions != nullptr) {
            positions->BeginCommand(cmd, {block->line, block->column});
        }
        if (creator.reads_lines) {
            for (const KestParSubCommand& line : lines) {
                read_line(t, _file_name, line, cmd, positions);
            }
        } else {
            while (const KestParSubCommand* line = blocks.NextLine()) {
                read_line(t, _file_name, *line, cmd, positions);
            }
        }
        if (positions != nullptr) {
            positions->EndCommand(blocks.EndLine());
        }
    }
}
