// What the parts of check share while they walk one document: the settings, the places of the
// text, the names of the job for "did you mean", and the findings made so far.
#pragma once

#include "engine/io/KestParCheck.h"
#include "engine/io/detail/CheckPlaces.h"
#include "engine/io/detail/Suggestions.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
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

    /// Adds a finding, unless its code is ignored.
    void Add(KestParDiagnostic finding);
    /// A finding with a fix that replaces its range by `text`.
    static KestParFix Replace(KestTextPosition start, KestTextPosition end, const std::string& text);

    /// The command of one of the types `targets` whose name is closest to `name` (upper case),
    /// or null. The names of each set of types are indexed once, when first asked.
    const KestCmd* ClosestName(const std::vector<KestCmdDefs::Cmd>& targets,
                               const std::string& name);
    /// The first command of one of the types `targets` named `name` (upper case), or null.
    const KestCmd* Named(const std::vector<KestCmdDefs::Cmd>& targets, const std::string& name);

    const KestParDocument& document;
    const KestParCheckSettings& settings;
    CheckPlaces places;
    std::vector<KestParDiagnostic> found;

  private:
    struct Names {
        std::unordered_map<std::string, const KestCmd*> first;
        std::vector<const KestCmd*> commands;
        std::optional<SuggestionIndex> index;
    };
    Names& NamesOf(const std::vector<KestCmdDefs::Cmd>& targets);

    std::map<std::vector<KestCmdDefs::Cmd>, std::unique_ptr<Names>> _names;
};

/// Checks the value of an item against the schema's entry for its key: its reading, its set of
/// keyword values, its bounds, and an integer list's ranges. `key` is the key as written.
void check_value(CheckContext& context, const std::string& key, const KestSchemaKey& entry,
                 const KestCmdItem& item, const KestItemSpan& span);

} // namespace KestCheckDetail
