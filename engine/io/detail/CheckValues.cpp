// The findings on one value: its reading, its keyword value, its bounds, its integer list.
#include "engine/io/detail/CheckContext.h"

#include "engine/model/LumoListText.h"
#include "utilities/KestText.h"

#include <algorithm>
#include <limits>

namespace KestCheckDetail {

namespace {

using R = KestSchemaReading;

// What a message calls a value of `reading` ("an integer").
std::string wanted(R reading, const std::vector<KestCmdDefs::Cmd>& targets) {
    switch (reading) {
    case R::integer:
        return "an integer";
    case R::real:
        return "a number";
    case R::vector3d:
        return "three numbers (x,y,z)";
    case R::text:
        return "a text";
    case R::integer_list:
        return "an integer list";
    case R::list:
        return "a list";
    case R::name:
        return "the name of " + type_list(targets);
    case R::keyword:
        break;
    }
    return "a keyword value";
}

// The readings `item` has besides its text, for a message ("a number, a list").
std::string readings_of(const KestCmdItem& item) {
    std::vector<std::string> names;
    if (item.HasInteger()) {
        names.push_back("an integer");
    } else if (item.HasReal()) {
        names.push_back("a number");
    }
    if (item.HasVector3d()) {
        names.push_back("three numbers");
    }
    if (item.HasEnum()) {
        names.push_back("a keyword value");
    }
    if (item.HasLumoList() && !item.HasInteger()) {
        names.push_back("an integer list");
    }
    if (item.HasList() && item.GetList().size() > 1) {
        names.push_back("a list");
    }
    if (names.empty()) {
        return "it reads as text only";
    }
    std::string out = "it reads as ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return out;
}

// Whether `item` has `reading` as `entry` means it.
bool has_reading(const KestCmdItem& item, R reading, const KestSchemaKey::Reading& entry) {
    switch (reading) {
    case R::integer:
        return item.HasInteger();
    case R::real:
        return item.HasReal();
    case R::vector3d:
        return item.HasVector3d();
    case R::text:
        return true;
    case R::integer_list:
        return item.HasLumoList();
    case R::list:
        return item.HasList();
    case R::name: {
        const KestCmd* target = item.HasReference() ? item.GetReference() : nullptr;
        return target != nullptr && std::find(entry.targets.begin(), entry.targets.end(),
                                              target->GetType()) != entry.targets.end();
    }
    case R::keyword:
        break;
    }
    return item.HasEnum();
}

// Whether a text looks like a number or a list of numbers more than like a name.
bool numeric(std::string_view text) {
    const std::string_view trimmed = KestText::trim(text);
    return !trimmed.empty() && (trimmed.front() == '-' || trimmed.front() == '+' ||
                                (trimmed.front() >= '0' && trimmed.front() <= '9'));
}

class ValueCheck {
  public:
    ValueCheck(CheckContext& context, const std::string& key, const KeyRule& rule,
               const KestCmdItem& item, const KestItemSpan& span)
        : _context(context), _key(key), _rule(rule), _entry(*rule.entry), _item(item), _span(span),
          _text(item.KeptText() ? *item.KeptText() : std::string_view(_copy = item.GetString())) {}

    void Run() {
        const KestSchemaKey::Reading& reading = *_entry.reading;
        const auto met = std::find_if(reading.any_of.begin(), reading.any_of.end(),
                                      [&](R r) { return has_reading(_item, r, reading); });
        if (met == reading.any_of.end()) {
            Unmet(reading);
            return;
        }
        if (*met == R::integer_list) {
            Ranges();
        }
        if (_entry.Takes(R::keyword) && _entry.values) {
            Values(false);
        }
        if (_entry.bounds && _item.HasReal()) {
            Bounds();
        }
    }

  private:
    void Add(const std::string& code, KestSeverity severity, std::string message,
             std::optional<KestParFix> fix = std::nullopt,
             std::vector<KestParRelated> related = {}) {
        // A name stands for the piece of the value that the item holds (an operator's REFERENCE
        // line holds a type, the name and a coefficient).
        const auto [start, end] = code == "unknown-name" || code == "wrong-type"
                                      ? NamePiece()
                                      : std::make_pair(_span.value, _span.value_end);
        _added = _context.Add(
            {start, end, code, severity, std::move(message), std::move(related), std::move(fix)});
    }

    std::string Said() const { return _key + " = " + shown(Written()); }

    const std::vector<KestByteSpan>& Pieces() const {
        if (!_pieces) {
            _pieces = _context.places.Pieces(_span);
        }
        return *_pieces;
    }

    // The range of the piece of the value that the item's name is.
    std::pair<KestTextPosition, KestTextPosition> NamePiece() const {
        return _context.places.Piece(_span, Pieces(), _text);
    }

    const std::string& Written() const {
        if (!_written) {
            _written = _context.places.Value(_span);
        }
        return *_written;
    }

    void Unmet(const KestSchemaKey::Reading& reading) {
        const KestSeverity severity = severity_of(reading.source);
        const bool names = _entry.Takes(R::name);
        if (names && (!numeric(_text) || !_entry.Takes(R::integer_list))) {
            Name(reading, severity);
        } else if (_entry.Takes(R::integer_list) && numeric(_text)) {
            BadList(severity);
        } else if (_entry.Takes(R::keyword) && _entry.values) {
            Values(true);
        } else {
            std::string expected;
            for (std::size_t i = 0; i < reading.any_of.size(); ++i) {
                expected += (i == 0 ? "" : " or ") + wanted(reading.any_of[i], reading.targets);
            }
            Add("wrong-reading", severity,
                Said() + " is not " + expected + ": " + readings_of(_item) + Because(reading));
        }
    }

    // "; the default rules ..." for a reading of the format.
    static std::string Because(const KestSchemaKey::Reading& reading) {
        return reading.source == KestSchemaSource::format && !reading.why.empty()
                   ? " (" + reading.why + ")"
                   : std::string();
    }

    void Name(const KestSchemaKey::Reading& reading, KestSeverity severity) {
        const std::string wanted_types = type_list(reading.targets);
        const KestCmd* named = _item.HasReference() ? _item.GetReference() : nullptr;
        if (named != nullptr) {
            const std::string& type = KestCmdDefs::get_default_cmd_names()[named->GetType()];
            std::string message = Said() + " names the " + type + " " +
                                  shown(_context.places.WrittenName(*named)) + ", not " +
                                  wanted_types;
            if (_context.Named(reading.targets, std::string(_text)) != nullptr) {
                message += " (one of that name exists too, but a name links to the first "
                           "command of that name in the order of the types)";
            }
            std::vector<KestParRelated> related;
            if (const auto range = _context.places.NameRange(*named)) {
                related.push_back({range->first, range->second, "the " + type + " named"});
            }
            Add("wrong-type", severity, message, std::nullopt, std::move(related));
            SuggestLater(reading);
            return;
        }
        std::string message =
            Said() + " names no " + wanted_types.substr(wanted_types.find(' ') + 1) + " of the job";
        // A value of several pieces, one of them a name, is read whole as one name.
        if (Pieces().size() > 1) {
            for (const KestByteSpan& span : Pieces()) {
                const std::string_view piece = _context.places.Bytes(span);
                if (_context.Named(reading.targets, KestText::to_upper_copy(piece)) != nullptr) {
                    message += "; the whole value is read as one name, of which '" + shown(piece) +
                               "' is a piece";
                    Add("unknown-name", severity, message);
                    return;
                }
            }
        }
        Add("unknown-name", severity, message);
        SuggestLater(reading);
    }

    // "Did you mean" a name of the right type, once every name is known.
    void SuggestLater(const KestSchemaKey::Reading& reading) {
        if (_added) {
            const auto [start, end] = NamePiece();
            _context.SuggestLater(reading.targets, std::string(_text), start, end);
        }
    }

    void BadList(KestSeverity severity) {
        std::vector<LumoRunSet::Run> runs;
        using Limits = std::numeric_limits<int>;
        const LumoListText::ReadResult result =
            LumoListText::read(_text, Limits::min(), Limits::max(), 1, runs, false);
        std::string why = "a number is due where another character stands, or is too large";
        if (result.error == LumoListText::ReadResult::bad_separator) {
            why = std::string("'") + shown(std::string(1, result.separator)) +
                  "' stands where ',', '-' or ':' is due";
        } else if (result.error == LumoListText::ReadResult::separator_missing) {
            why = "a separator is missing";
        }
        Add("bad-integer-list", severity, Said() + " is no integer list: " + why);
    }

    // A range that runs away from its end, where an integer list is due (step 0, of which the
    // reader warns wherever it reads a list, is found for every value apart).
    void Ranges() {
        if (_text.find(':') == std::string::npos && _text.find('-', 1) == std::string::npos) {
            return;
        }
        std::vector<LumoRunSet::Run> runs;
        using Limits = std::numeric_limits<int>;
        const LumoListText::ReadResult result =
            LumoListText::read(_text, Limits::min(), Limits::max(), 1, runs, false);
        if (result.away) {
            Add("descending-range", KestSeverity::warning,
                Said() + " has a range that runs down without a negative step: it adds its start "
                         "alone (write the smaller number first, or give the step, as 10-1:-1)");
        }
    }

    void Values(bool no_keyword) {
        const std::vector<std::string>& list = _entry.values->list;
        if (!no_keyword && std::binary_search(_rule.sorted_values.begin(),
                                              _rule.sorted_values.end(), std::string_view(_text))) {
            return;
        }
        // Outside the set: a warning of the set's source, or the reading's error when the value
        // is no keyword at all and the format needs one.
        const KestSeverity severity =
            no_keyword ? severity_of(_entry.reading->source) : severity_of(_entry.values->source);
        std::string message = Said() +
                              (_item.HasEnum() ? " is not one of " : " is no keyword value; ") +
                              _key + " takes ";
        for (std::size_t i = 0; i < list.size(); ++i) {
            message += (i == 0 ? "" : i + 1 == list.size() ? " or " : ", ") + list[i];
        }
        if (no_keyword) {
            message += Because(*_entry.reading);
        }
        const std::string suggestion = closest(_text, list);
        std::optional<KestParFix> fix;
        if (!suggestion.empty()) {
            message += "; did you mean '" + suggestion + "'?";
            fix = CheckContext::Replace(_span.value, _span.value_end, suggestion);
        }
        Add("unknown-value", severity, message, fix);
    }

    void Bounds() {
        const KestSchemaKey::Bounds& bounds = *_entry.bounds;
        const double value = _item.GetReal();
        const auto number = [](double n) {
            std::string text = std::to_string(n);
            text.erase(text.find_last_not_of('0') + 1);
            if (!text.empty() && text.back() == '.') {
                text.pop_back();
            }
            return text;
        };
        if (bounds.min && value < *bounds.min) {
            Add("out-of-range", severity_of(bounds.source),
                Said() + " is below " + number(*bounds.min) + ", the least " + _key + " takes");
        } else if (bounds.max && value > *bounds.max) {
            Add("out-of-range", severity_of(bounds.source),
                Said() + " is above " + number(*bounds.max) + ", the greatest " + _key + " takes");
        }
    }

    CheckContext& _context;
    const std::string& _key;
    const KeyRule& _rule;
    const KestSchemaKey& _entry;
    const KestCmdItem& _item;
    const KestItemSpan& _span;
    std::string _copy;
    std::string_view _text; ///< as the item holds it (upper-cased for most keys)
    mutable std::optional<std::string> _written; ///< as the text writes it, once asked for
    mutable std::optional<std::vector<KestByteSpan>> _pieces;
    /// Whether the last finding was added (not ignored).
    bool _added = false;
};

} // namespace

void check_value(CheckContext& context, const std::string& key, const KeyRule& rule,
                 const KestCmdItem& item, const KestItemSpan& span) {
    if (rule.entry && rule.entry->reading) {
        ValueCheck(context, key, rule, item, span).Run();
    }
}

} // namespace KestCheckDetail
