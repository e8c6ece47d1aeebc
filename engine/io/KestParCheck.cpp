#include "engine/io/KestParCheck.h"

#include "engine/io/KestParKeys.h"
#include "engine/io/detail/CheckContext.h"
#include "engine/model/LumoListText.h"
#include "utilities/KestText.h"
#include "utilities/ZUL_LogMacros.h"

#include <algorithm>
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
    if (key == KestParKeys::le_value || key == KestParKeys::ge_value) {
        return VALUE;
    }
    const auto found = std::find(default_item_names.begin(), default_item_names.end(), key);
    return found == default_item_names.end()
               ? PLACEHOLDER
               : static_cast<CmdItem>(found - default_item_names.begin());
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
        : _context(document, settings), _schema(settings.schema),
          _positions(document.Positions()) {}

    std::vector<KestParDiagnostic> Run() {
        for (std::size_t c = 0; c < _positions.CommandCount(); ++c) {
            CheckBlock(c);
        }
        std::vector<KestParDiagnostic> found = std::move(_context.found);
        std::stable_sort(found.begin(), found.end(),
                         [](const KestParDiagnostic& a, const KestParDiagnostic& b) {
                             return a.start < b.start;
                         });
        return found;
    }

  private:
    void Add(KestTextPosition start, KestTextPosition end, const char* code,
             KestSeverity severity, std::string message, std::optional<KestParFix> fix = {},
             std::vector<KestParRelated> related = {}) {
        _context.Add({start, end, code, severity, std::move(message), std::move(related),
                      std::move(fix)});
    }

    // One block: its keyword, END_ and name, then its lines.
    void CheckBlock(std::size_t c) {
        const KestCmd& cmd = _positions.Command(c);
        const CheckPlaces::Block block = _context.places.BlockOf(c);
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
            const auto [at, text] = _context.places.AppendLine("END_");
            Add(block.keyword, block.keyword_end, "unclosed-block", KestSeverity::warning,
                "block '" + shown(block.written) + "' is still open at the end of the text",
                KestParFix{"Add END_", at, at, text});
        }
        CheckName(cmd, block);
        CheckLines(c, cmd, keyword);
        if (const KestSchemaBlock* entry = _schema.Block(cmd.GetType())) {
            for (const auto& [key, rule] : entry->keys) {
                if (rule.required && rule.required->on && _seen.count(key) == 0) {
                    Add(block.keyword, block.keyword_end, "missing-key",
                        severity_of(rule.required->source),
                        "block '" + shown(block.written) + "' has no " + key + ", which " +
                            a_type(cmd.GetType()) + " needs");
                }
            }
        }
    }

    void CheckName(const KestCmd& cmd, const CheckPlaces::Block& block) {
        if (!cmd.HasItem(ID_NAME)) {
            Add(block.keyword, block.keyword_end, "missing-name", KestSeverity::information,
                "block '" + shown(block.written) + "' has no ID_NAME; nothing can refer to it");
            return;
        }
        const auto range = _context.places.NameRange(cmd);
        const std::string name = cmd.Item(ID_NAME, 0).GetString();
        std::string key(1, static_cast<char>(cmd.GetType()));
        key += name;
        const auto first =
            _first_of_name.emplace(std::move(key), FirstName{block.keyword.line, *range});
        if (!first.second) {
            const FirstName& given = first.first->second;
            Add(range->first, range->second, "duplicate-name", KestSeverity::warning,
                a_type(cmd.GetType()) + " named '" + shown(name) + "' already stands at line " +
                    std::to_string(given.line) + "; only the first is ever linked",
                std::nullopt,
                {{given.name.first, given.name.second, "the name is first given here"}});
        }
    }

    void CheckLines(std::size_t c, const KestCmd& cmd, const std::string& keyword) {
        _seen.clear();
        const std::vector<KestSourceMap::ItemPlace> places = _positions.Items(c);
        for (std::size_t i = 0; i < places.size();) {
            // The items that one line made (LE_VALUE gives VALUE and TYPE) are looked at once.
            std::size_t next = i + 1;
            while (next < places.size() && places[next].span.key.line == places[i].span.key.line) {
                ++next;
            }
            CheckLine(cmd, keyword, places.data() + i, places.data() + next);
            i = next;
        }
    }

    void CheckLine(const KestCmd& cmd, const std::string& keyword,
                   const KestSourceMap::ItemPlace* first, const KestSourceMap::ItemPlace* end) {
        const KestItemSpan& span = first->span;
        const CheckPlaces::Line line = _context.places.LineOf(span);
        const KestCmdItem& made = cmd.Item(first->kind, first->index);
        ZeroStep(line.written_key, made, span);
        if (!line.has_equals) {
            Add(span.key, span.value_end, "missing-equals", KestSeverity::error,
                "line without '=' (a forgotten END_?) is read as PLACEHOLDER = " +
                    shown(_context.places.Value(span)));
            return;
        }
        if (line.written_key.empty()) {
            Add(span.key, span.value_end, "unknown-key", KestSeverity::warning,
                "line without a key before '=' is read as PLACEHOLDER = " +
                    shown(_context.places.Value(span)));
            return;
        }
        const std::string key = KestText::to_upper_copy(line.written_key);
        const KestCmdDefs::Cmd type = cmd.GetType();
        const KestSchemaBlock* block = _schema.Block(type);
        const bool operator_line = key == KestParKeys::operator_key &&
                                   keyword == KestCmdDefs::get_default_cmd_names()[KestParKeys::operator_block];
        if (kind_of_key(key) == PLACEHOLDER && key != "PLACEHOLDER" && !operator_line &&
            std::find(key_names().begin(), key_names().end(), key) == key_names().end()) {
            const std::string suggestion = closest(key, KeysOf(block));
            Add(line.key, line.key_end, "unknown-key", KestSeverity::warning,
                "unknown key '" + shown(line.written_key) + "', its value is read as PLACEHOLDER" +
                    DidYouMean(suggestion),
                Replacing(line.key, line.key_end, suggestion));
            return;
        }
        if (block != nullptr && !_schema.Allows(type, key)) {
            const std::string suggestion = closest(key, KeysOf(block));
            Add(line.key, line.key_end, "key-not-allowed", severity_of(block->closed.source),
                key + " is no key of " + a_type(type) + " (it takes " + listed(KeysOf(block)) +
                    ")" + DidYouMean(suggestion),
                Replacing(line.key, line.key_end, suggestion));
        }
        const std::optional<KestSchemaKey> entry = _schema.Key(type, key);
        if (!entry) {
            return;
        }
        const auto seen = _seen.emplace(key, std::make_pair(line.key, line.key_end));
        if (!seen.second && !(entry->repeats && entry->repeats->on)) {
            Add(line.key, line.key_end, "repeated-key",
                entry->repeats ? severity_of(entry->repeats->source) : KestSeverity::warning,
                key + " is given again; only the first " + key + " of a block counts", std::nullopt,
                {{seen.first->second.first, seen.first->second.second, "first given here"}});
        }
        const CmdItem kind = kind_of_key(key);
        const KestSourceMap::ItemPlace* place = std::find_if(
            first, end, [&](const KestSourceMap::ItemPlace& p) { return p.kind == kind; });
        if (place == end) {
            place = first;
        }
        check_value(_context, key, *entry, cmd.Item(place->kind, place->index), span);
    }

    // The reader warns of a range with step 0 in any value it reads as an integer list.
    void ZeroStep(const std::string& key, const KestCmdItem& item, const KestItemSpan& span) {
        const std::string* text = item.KeptString();
        if (text == nullptr || text->find(':') == std::string::npos) {
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
    /// The first command of each type and name ("type byte" + name): its block's line and the
    /// range of its name.
    struct FirstName {
        std::size_t line;
        std::pair<KestTextPosition, KestTextPosition> name;
    };
    std::unordered_map<std::string, FirstName> _first_of_name;
    /// The keys of the current block, with where each was first given.
    std::map<std::string, std::pair<KestTextPosition, KestTextPosition>, std::less<>> _seen;
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
