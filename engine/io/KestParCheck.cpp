#include "engine/io/KestParCheck.h"

#include "engine/io/KestParKeys.h"
#include "engine/io/detail/CheckContext.h"
#include "engine/model/LumoListText.h"
#include "utilities/KestText.h"
#include "utilities/ZUL_LogMacros.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <unordered_map>

using namespace KestCmdItemDefs;
using namespace KestCheckDetail;

namespace {

const std::vector<std::string>& keyword_names() {
    static const std::vector<std::string> names(KestCmdDefs::get_default_cmd_names().begin(),
                                                KestCmdDefs::get_default_cmd_names().end());
    return names;
}

const std::vector<std::string>& key_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> keys(default_item_names.begin(), default_item_names.end());
        keys.insert(keys.end(), KestParKeys::fixed_keys.begin(), KestParKeys::fixed_keys.end());
        return keys;
    }();
    return names;
}

// The item kind that a line of `key` (upper case) makes first: its own, VALUE for the keys that
// give a bound, PLACEHOLDER for a key the reader does not know.
CmdItem kind_of_key(std::string_view key) {
    static const std::unordered_map<std::string_view, CmdItem> kinds = [] {
        std::unordered_map<std::string_view, CmdItem> table;
        for (int kind = 0; kind < item_kind_count; ++kind) {
            table.emplace(default_item_names[kind], static_cast<CmdItem>(kind));
        }
        table.emplace(KestParKeys::le_value, VALUE);
        table.emplace(KestParKeys::ge_value, VALUE);
        return table;
    }();
    const auto found = kinds.find(key);
    return found == kinds.end() ? PLACEHOLDER : found->second;
}

// Whether the reader knows `key` (upper case): an item kind or a key of its own.
bool known_key(std::string_view key) {
    return kind_of_key(key) != PLACEHOLDER || key == default_item_names[PLACEHOLDER] ||
           key == KestParKeys::list_begin;
}

// "A, B or C".
std::string listed(const std::vector<std::string>& names) {
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return out;
}

class Checker {
  public:
    Checker(const KestParDocument& document, const KestParCheckSettings& settings)
        : _context(document, settings), _schema(settings.schema), _positions(document.Positions()) {
    }

    std::vector<KestParDiagnostic> Run() {
        const std::size_t count = _positions.CommandCount();
        _context.names.reserve(count);
        if (count > 0) {
            PrefetchTargets(0);
        }
        for (std::size_t c = 0; c < count; ++c) {
            if (c + 1 < count) {
                PrefetchTargets(c + 1);
            }
            CheckBlock(c);
        }
        _context.Suggest();
        CheckNamesGivenTwice();
        std::vector<KestParDiagnostic> found = std::move(_context.found);
        const auto earlier = [](const KestParDiagnostic& a, const KestParDiagnostic& b) {
            return a.start < b.start;
        };
        // Blocks are checked in the order of the text; names given twice are found at the end.
        if (!std::is_sorted(found.begin(), found.end(), earlier)) {
            std::stable_sort(found.begin(), found.end(), earlier);
        }
        return found;
    }

  private:
    void Add(KestTextPosition start, KestTextPosition end, const char* code, KestSeverity severity,
             std::string message, std::optional<KestParFix> fix = {},
             std::vector<KestParRelated> related = {}) {
        _context.Add(
            {start, end, code, severity, std::move(message), std::move(related), std::move(fix)});
    }

    // The commands that the items of the c-th block name are asked for a block ahead of their
    // check, which reads their type: in a large job each is a load from main memory.
    void PrefetchTargets(std::size_t c) const {
#if defined(__GNUC__) || defined(__clang__)
        const KestCmd& cmd = _positions.Command(c);
        _positions.ForEachItem(c, [&cmd](const KestSourceMap::ItemPlace& place) {
            if (const KestCmd* target = cmd.Item(place.kind, place.index).GetReference()) {
                // The type stands in the command's first 64 bytes, which may reach into a
                // second cache line.
                __builtin_prefetch(target);
                __builtin_prefetch(reinterpret_cast<const char*>(target) + 63);
            }
        });
#else
        (void)c;
#endif
    }

    // One block: its keyword and END_, its lines, then its name and the keys it lacks. Its
    // items are walked once, without a list of them (a block of half a million lines would
    // take tens of megabytes).
    void CheckBlock(std::size_t c) {
        const KestCmd& cmd = _positions.Command(c);
        const CheckPlaces::Block block = _context.places.ReadBlock(c);
        const std::string keyword = KestText::to_upper_copy(block.written);
        const auto& cmd_names = KestCmdDefs::get_default_cmd_names();
        if (cmd.GetType() == KestCmdDefs::CMD_PLACEHOLDER &&
            keyword != cmd_names[KestCmdDefs::CMD_PLACEHOLDER]) {
            const std::string suggestion = closest(keyword, keyword_names());
            Add(block.keyword, block.keyword_end, "unknown-keyword", KestSeverity::warning,
                "unknown block keyword '" + shown(block.written) + "', read as CMD_PLACEHOLDER" +
                    DidYouMean(suggestion),
                Replacing(block.keyword, block.keyword_end, suggestion));
        }
        if (!block.closed) {
            const auto [at, text] = _context.places.AppendLine(KestParSyntax::block_end);
            Add(block.keyword, block.keyword_end, "unclosed-block", KestSeverity::warning,
                "block '" + shown(block.written) + "' is still open at the end of the text",
                KestParFix{"Add END_", at, at, text});
        }
        CheckLines(c, cmd, keyword);
        CheckName(c, cmd, block);
        for (const KeyRule* rule : Required(cmd.GetType())) {
            if (std::none_of(_seen.begin(), _seen.end(),
                             [&](const Seen& given) { return given.rule == rule; })) {
                Add(block.keyword, block.keyword_end, "required-key",
                    severity_of(rule->entry->required->source),
                    "block '" + shown(block.written) + "' has no " + rule->key + ", which " +
                        a_type(cmd.GetType()) + " needs");
            }
        }
    }

    // The rules of the keys that a block of `type` must give, worked out on first use.
    const std::vector<const KeyRule*>& Required(KestCmdDefs::Cmd type) {
        std::optional<std::vector<const KeyRule*>>& required = _required[type];
        if (!required) {
            required.emplace();
            if (const KestSchemaBlock* block = _schema.Block(type)) {
                for (const auto& [key, own] : block->keys) {
                    const KeyRule& rule = RuleOf(type, key);
                    if (rule.entry->required && rule.entry->required->on) {
                        required->push_back(&rule);
                    }
                }
            }
        }
        return *required;
    }
    std::array<std::optional<std::vector<const KeyRule*>>, KestCmdDefs::cmd_type_count> _required;

    void CheckName(std::size_t c, const KestCmd& cmd, const CheckPlaces::Block& block) {
        if (!cmd.HasItem(ID_NAME)) {
            Add(block.keyword, block.keyword_end, "missing-name", KestSeverity::information,
                "block '" + shown(block.written) + "' has no ID_NAME; nothing can refer to it");
            return;
        }
        std::string copy;
        const std::uint64_t h =
            std::hash<std::string_view>()(NameOf(cmd, copy)) * 31 + cmd.GetType();
        _context.names.push_back((h ^ (h >> 32)) << 32 | static_cast<std::uint32_t>(c));
    }

    // A command's first name as its item keeps it (most do), or a copy in `copy`: no list of
    // every name's text.
    static std::string_view NameOf(const KestCmd& cmd, std::string& copy) {
        const KestCmdItem& name = cmd.Item(ID_NAME, 0);
        if (const std::optional<std::string_view> kept = name.KeptText()) {
            return *kept;
        }
        return copy = name.GetString();
    }

    // Names given twice: sorted by hash and then by the order of the text, a command whose name
    // an earlier one of its type has follows it in a run of equal hashes.
    void CheckNamesGivenTwice() {
        std::vector<std::uint64_t>& names = _context.names;
        std::sort(names.begin(), names.end());
        const auto command = [&](std::size_t i) {
            return static_cast<std::size_t>(names[i] & 0xFFFFFFFFu);
        };
        for (std::size_t run = 0; run < names.size();) {
            std::size_t end = run + 1;
            while (end < names.size() && names[end] >> 32 == names[run] >> 32) {
                ++end;
            }
            for (std::size_t i = run + 1; i < end; ++i) {
                const KestCmd& later = _positions.Command(command(i));
                std::string later_copy;
                const std::string_view later_name = NameOf(later, later_copy);
                for (std::size_t j = run; j < i; ++j) {
                    const KestCmd& first = _positions.Command(command(j));
                    std::string first_copy;
                    if (first.GetType() == later.GetType() &&
                        NameOf(first, first_copy) == later_name) {
                        const auto [start, end_at] = _context.places.NameRange(command(i));
                        const auto [first_start, first_end] = _context.places.NameRange(command(j));
                        Add(start, end_at, "duplicate-name", KestSeverity::warning,
                            a_type(later.GetType()) + " named '" + shown(later_name) +
                                "' already stands at line " +
                                std::to_string(_positions.Span(command(j)).keyword.line) +
                                "; only the first is ever linked",
                            std::nullopt,
                            {{first_start, first_end, "the name is first given here"}});
                        break;
                    }
                }
            }
            run = end;
        }
    }

    // The lines of the c-th block.
    void CheckLines(std::size_t c, const KestCmd& cmd, const std::string& keyword) {
        _seen.clear();
        // The items that one line made (LE_VALUE gives VALUE and TYPE) are looked at at once.
        std::vector<KestSourceMap::ItemPlace> line;
        _positions.ForEachItem(c, [&](const KestSourceMap::ItemPlace& place) {
            if (!line.empty() && place.span.key.line != line.front().span.key.line) {
                CheckLine(cmd, keyword, line.data(), line.data() + line.size());
                line.clear();
            }
            line.push_back(place);
        });
        if (!line.empty()) {
            CheckLine(cmd, keyword, line.data(), line.data() + line.size());
        }
    }

    void CheckLine(const KestCmd& cmd, const std::string& keyword,
                   const KestSourceMap::ItemPlace* first, const KestSourceMap::ItemPlace* end) {
        const KestItemSpan& span = first->span;
        const CheckPlaces::ItemLine line = _context.places.LineOf(span);
        const KestCmdItem& made = cmd.Item(first->kind, first->index);
        ZeroStep(line.written_key, made, span);
        if (!line.has_equals) {
            Add(span.key, span.value_end, "missing-equals", KestSeverity::error,
                "line without '=' (a forgotten END_?) is read as PLACEHOLDER = " +
                    shown(_context.places.Value(span)));
            return;
        }
        if (line.written_key.empty()) {
            Add(span.key, span.value_end, "missing-key", KestSeverity::warning,
                "line without a key before its '=' is read as PLACEHOLDER = " +
                    shown(_context.places.Value(span)));
            return;
        }
        const KestCmdDefs::Cmd type = cmd.GetType();
        const KeyRule& rule = RuleOf(type, first->kind, line.written_key);
        const std::string& key = rule.key;
        // DEF_TYPE = OPER is read by a DRESP block (which it makes an OPERATOR), not as an item.
        if (!rule.known &&
            !(key == KestParKeys::operator_key &&
              keyword == KestCmdDefs::get_default_cmd_names()[KestParKeys::operator_block])) {
            const std::string suggestion = closest(key, KeysOf(_schema.Block(type)));
            Add(line.key, line.key_end, "unknown-key", KestSeverity::warning,
                "unknown key '" + shown(line.written_key) + "', its value is read as PLACEHOLDER" +
                    DidYouMean(suggestion),
                Replacing(line.key, line.key_end, suggestion));
            return;
        }
        if (!rule.allowed) {
            const KestSchemaBlock& block = *_schema.Block(type);
            const std::string suggestion = closest(key, KeysOf(&block));
            Add(line.key, line.key_end, "key-not-allowed", severity_of(block.closed.source),
                key + " is no key of " + a_type(type) + " (it takes " + listed(KeysOf(&block)) +
                    ")" + DidYouMean(suggestion),
                Replacing(line.key, line.key_end, suggestion));
        }
        if (!rule.entry) {
            return;
        }
        const KestSchemaKey& entry = *rule.entry;
        const auto seen = std::find_if(_seen.begin(), _seen.end(),
                                       [&](const Seen& given) { return given.rule == &rule; });
        if (seen == _seen.end()) {
            _seen.push_back({&rule, line.key, line.key_end});
        } else if (!(entry.repeats && entry.repeats->on)) {
            Add(line.key, line.key_end, "repeated-key",
                entry.repeats ? severity_of(entry.repeats->source) : KestSeverity::warning,
                key + " is given again; only the first " + key + " of a block counts", std::nullopt,
                {{seen->start, seen->end, "first given here"}});
        }
        const KestSourceMap::ItemPlace* place = std::find_if(
            first, end, [&](const KestSourceMap::ItemPlace& p) { return p.kind == rule.kind; });
        if (place == end) {
            place = first;
        }
        check_value(_context, key, rule, cmd.Item(place->kind, place->index), span);
    }

    // The reader warns of a range with step 0 in any value it reads as an integer list.
    void ZeroStep(std::string_view key, const KestCmdItem& item, const KestItemSpan& span) {
        const std::optional<std::string_view> text = item.KeptText();
        if (!text || text->find(':') == std::string_view::npos) {
            return;
        }
        std::vector<LumoRunSet::Run> runs;
        using Limits = std::numeric_limits<int>;
        if (LumoListText::read(*text, Limits::min(), Limits::max(), 1, runs, false).warned) {
            Add(span.value, span.value_end, "zero-step", KestSeverity::warning,
                (key.empty() ? std::string() : shown(key) + " = ") + shown(*text) +
                    " has a range with step 0, which adds its start alone");
        }
    }

    std::vector<std::string> KeysOf(const KestSchemaBlock* block) const {
        if (block == nullptr || block->keys.empty()) {
            return key_names();
        }
        std::vector<std::string> keys;
        for (const auto& [key, entry] : block->keys) {
            keys.push_back(key);
        }
        return keys;
    }

    static std::string DidYouMean(const std::string& suggestion) {
        return suggestion.empty() ? std::string() : "; did you mean '" + suggestion + "'?";
    }

    static std::optional<KestParFix> Replacing(KestTextPosition start, KestTextPosition end,
                                               const std::string& suggestion) {
        if (suggestion.empty()) {
            return std::nullopt;
        }
        return CheckContext::Replace(start, end, suggestion);
    }

    CheckContext _context;
    const KestJobSchema& _schema;
    const KestSourceMap& _positions;
    /// What holds for `key` (upper case) in a block of `type`, worked out on first use.
    const KeyRule& RuleOf(KestCmdDefs::Cmd type, const std::string& key) {
        auto& rules = _rules[type];
        const auto found = rules.find(key);
        if (found != rules.end()) {
            return found->second;
        }
        KeyRule rule;
        rule.key = key;
        rule.kind = kind_of_key(key);
        rule.known = known_key(key);
        rule.allowed = _schema.Allows(type, key);
        rule.entry = _schema.Key(type, key);
        if (rule.entry && rule.entry->values) {
            rule.sorted_values.assign(rule.entry->values->list.begin(),
                                      rule.entry->values->list.end());
            std::sort(rule.sorted_values.begin(), rule.sorted_values.end());
        }
        return rules.emplace(key, std::move(rule)).first->second;
    }
    std::array<std::unordered_map<std::string, KeyRule>, KestCmdDefs::cmd_type_count> _rules;
    /// The rule of a line's key (as written), found through the kind of the item the line made
    /// first where the key is that kind's name (most lines), and by the key's text otherwise.
    const KeyRule& RuleOf(KestCmdDefs::Cmd type, CmdItem kind, std::string_view written) {
        const std::string& name = default_item_names[kind];
        const bool named = kind != PLACEHOLDER && name.size() == written.size() &&
                           std::equal(name.begin(), name.end(), written.begin(),
                                      [](char a, char b) { return a == KestText::to_upper(b); });
        if (!named) {
            return RuleOf(type, KestText::to_upper_copy(written));
        }
        const KeyRule*& rule = _by_kind[type][kind];
        if (rule == nullptr) {
            rule = &RuleOf(type, name);
        }
        return *rule;
    }
    std::array<std::array<const KeyRule*, item_kind_count>, KestCmdDefs::cmd_type_count> _by_kind{};
    /// The keys of the current block, with where each was first given.
    struct Seen {
        const KeyRule* rule;
        KestTextPosition start;
        KestTextPosition end;
    };
    std::vector<Seen> _seen;
};

} // namespace

std::vector<KestParDiagnostic> check_par_document(const KestParDocument& document,
                                                  const KestParCheckSettings& settings) {
    return Checker(document, settings).Run();
}

KestParDocument read_document_to_check(std::string text, std::wstring file_name,
                                       const KestCmdIoConfig& config) {
    std::vector<ZUL_LogMacros::LogRecord> records;
    std::optional<KestParDocument> document;
    {
        ZUL_LogMacros::HeldMessages held;
        document.emplace(std::move(text), std::move(file_name), config);
        records = held.Take();
    }
    for (const ZUL_LogMacros::LogRecord& record : records) {
        if (record.file != LumoListText::log_source) {
            ZUL_LogMacros::emit(record);
        }
    }
    return std::move(*document);
}
