// What the parts of check share while they walk one document: the settings, the places of the
// text, the names of the job for "did you mean", and the findings made so far.
#pragma once

#include "engine/io/KestParCheck.h"
#include "engine/io/detail/CheckPlaces.h"
#include "engine/io/detail/Suggestions.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace KestCheckDetail {

/// The severity of a finding on a fact of the schema: an error for a fact of the format, a
/// warning for the project's or a user's reading.
KestSeverity severity_of(KestSchemaSource source);

/// `text` for a one-line message: control characters are shown as \xNN.
std::string shown(std::string_view text);

/// "a DRESP", "an OPTIMIZE": a command type for a message.
std::string a_type(KestCmdDefs::Cmd type);
/// "a DRESP or OPERATOR": the command types of `targets` for a message.
std::string type_list(const std::vector<KestCmdDefs::Cmd>& targets);

class CheckContext {
  public:
    CheckContext(const KestParDocument& document, const KestParCheckSettings& settings)
        : document(document), settings(settings), places(document) {}

    /// Adds a finding, unless its code is ignored; answers whether it was added (as the last).
    bool Add(KestParDiagnostic finding);
    /// A finding with a fix that replaces its range by `text`.
    static KestParFix Replace(KestTextPosition start, KestTextPosition end,
                              const std::string& text);

    /// The commands with a name, each as a hash of its type and name (the high 32 bits) and
    /// its index in the document's positions (the low 32), eight bytes a command. The checker
    /// lists them in the order of the text, then sorts them to find names given twice.
    std::vector<std::uint64_t> names;

    /// Asks for "did you mean" for the last finding added: the name closest to `name` (upper
    /// case) among the commands of the types `targets` (which must stay alive until Suggest), to
    /// replace the range [start, end). The suggestions are looked for once every name is known
    /// (Suggest).
    void SuggestLater(const std::vector<KestCmdDefs::Cmd>& targets, std::string name,
                      KestTextPosition start, KestTextPosition end);
    /// Adds "did you mean" and a fix to the findings that asked for it, where a name is close.
    /// Reads the names of the commands from the text.
    void Suggest();

    /// The first command of one of the types `targets` named `name` (upper case), or null.
    const KestCmd* Named(const std::vector<KestCmdDefs::Cmd>& targets, const std::string& name);

    const KestParDocument& document;
    const KestParCheckSettings& settings;
    CheckPlaces places;
    std::vector<KestParDiagnostic> found;

  private:
    struct Pending {
        std::size_t finding;
        const std::vector<KestCmdDefs::Cmd>* targets; ///< a schema entry's, alive for the check
        std::string name;
        KestTextPosition start;
        KestTextPosition end;
    };
    std::vector<Pending> _pending;
    std::map<std::vector<KestCmdDefs::Cmd>, std::unordered_map<std::string, const KestCmd*>>
        _first_named;
};

/// What holds for a key (upper case) in one type of block, worked out once per check.
struct KeyRule {
    std::string key;
    /// The item kind its line makes first (PLACEHOLDER for a key the reader does not know).
    KestCmdItemDefs::CmdItem kind = KestCmdItemDefs::PLACEHOLDER;
    bool known = false;
    /// Whether the block's schema lists the key or is open.
    bool allowed = true;
    std::optional<KestSchemaKey> entry;
    /// The entry's keyword values, sorted for look-ups.
    std::vector<std::string_view> sorted_values;
};

/// Checks the value of an item against the schema's entry for its key: its reading, its set of
/// keyword values, its bounds, and an integer list's ranges. `key` is the key (upper case).
void check_value(CheckContext& context, const std::string& key, const KeyRule& rule,
                 const KestCmdItem& item, const KestItemSpan& span);

} // namespace KestCheckDetail
