#include "engine/io/detail/KestParItemProcessors.h"

#include "engine/io/KestParKeys.h"
#include "utilities/KestStringUtil.h"
#include "utilities/KestText.h"

#include <algorithm>

using namespace KestCmdItemDefs;

namespace KestParItemProcessors {

void process_upper(CmdItem kind, KestCmd& cmd, const KestParSubCommand& line,
                   const EnumMap& enums) {
    KestCmdIo::cmd_value_to_upper_processor(kind, cmd, line.getValueLine(), enums);
}

void process_as_given(CmdItem kind, KestCmd& cmd, const KestParSubCommand& line,
                      const EnumMap& enums) {
    KestCmdIo::cmd_value_processor(kind, cmd, line.getValueLine(), enums);
}

void process_reference(KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
    if (cmd.GetType() == KestCmdDefs::OPERATOR) {
        std::vector<std::string> pieces;
        KestText::split_pieces(line.getValueLine(), pieces);
        if (pieces.size() >= 3) {
            while (cmd.ItemCount(COEFFICIENT) < cmd.ItemCount(REFERENCE)) {
                cmd.AddAutoItem(COEFFICIENT, "1.0", enums);
            }
            KestCmdIo::cmd_value_to_upper_processor(REFERENCE, cmd, pieces[1], enums);
            KestCmdIo::cmd_value_to_upper_processor(COEFFICIENT, cmd, pieces[2], enums);
            return;
        }
    }
    KestCmdIo::cmd_value_to_upper_processor(REFERENCE, cmd, line.getValueLine(), enums);
}

int origin_piece(KestCmdDefs::Cmd type, const std::vector<CmdItem>& made, std::size_t i,
                 std::size_t piece_count) {
    constexpr int whole = -1;
    constexpr int implied = -2;
    if (made.size() == 1) {
        return whole;
    }
    const auto has = [&](CmdItem kind) {
        return std::find(made.begin(), made.end(), kind) != made.end();
    };
    if (type == KestCmdDefs::OPERATOR && has(REFERENCE) && piece_count >= 3) {
        // The reference is piece 1 and the last coefficient piece 2; coefficients before it are
        // the "1.0" of earlier references without one.
        if (made[i] == REFERENCE) {
            return 1;
        }
        const bool last_coefficient = std::find(made.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                                made.end(), COEFFICIENT) == made.end();
        return made[i] == COEFFICIENT && last_coefficient ? 2 : implied;
    }
    // LE_VALUE and GE_VALUE: the VALUE is the value, the TYPE is implied.
    return made[i] == VALUE ? whole : implied;
}

void process_le_value(KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
    KestCmdIo::cmd_value_processor(VALUE, cmd, line.getValueLine(), enums);
    cmd.AddAutoItem(TYPE, "LESS_EQUAL", enums);
}

void process_ge_value(KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
    KestCmdIo::cmd_value_processor(VALUE, cmd, line.getValueLine(), enums);
    cmd.AddAutoItem(TYPE, "GREATER_EQUAL", enums);
}

void process_list(KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
    std::vector<std::string> pieces;
    KestText::split_pieces(line.getValueLine(), pieces);
    std::string joined;
    KestStringUtil::Concat(joined, pieces, ",\n  ");
    KestCmdIo::cmd_value_processor(LIST_BEGIN, cmd, joined, enums);
}

void process_unmatched(KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
    KestCmdIo::cmd_value_processor(PLACEHOLDER, cmd, line.getValueLine(), enums);
}

KestCmd& create_plain_cmd(const std::string&, KestCmdDefs::Cmd type,
                          const std::vector<KestParSubCommand>&, KestCmdContainer& container,
                          const EnumMap&) {
    return container.CreateCommand(type);
}

KestCmd& create_dresp_cmd(const std::string&, KestCmdDefs::Cmd type,
                          const std::vector<KestParSubCommand>& lines, KestCmdContainer& container,
                          const EnumMap&) {
    for (const KestParSubCommand& line : lines) {
        if (line.key == KestParKeys::operator_key &&
            line.getValueLine() == KestParKeys::operator_value) {
            return container.CreateCommand(KestCmdDefs::OPERATOR);
        }
    }
    return container.CreateCommand(type);
}

KestCmd& create_dv_cmd(const std::string& keyword, KestCmdDefs::Cmd type,
                       const std::vector<KestParSubCommand>&, KestCmdContainer& container,
                       const EnumMap& enums) {
    KestCmd& cmd = container.CreateCommand(type);
    const std::string upper = KestText::to_upper_copy(keyword);
    if (upper != "DV_TOPO" && upper != "DV_SHAPE") {
        return cmd;
    }
    const EnumValue wanted = upper == "DV_TOPO" ? EV_DENSITY : EV_NODAL_VECTOR;
    const std::string preferred = upper == "DV_TOPO" ? "DENSITY" : "NODAL_VECTOR";
    // Every text of the value types to it; take the natural name when the map has it, else the
    // smallest text, so that the result does not depend on the map's order.
    const auto found = enums.find(preferred);
    std::string name = found != enums.end() && found->second == wanted ? preferred : "";
    for (const auto& [text, value] : enums) {
        if (name != preferred && value == wanted && (name.empty() || text < name)) {
            name = text;
        }
    }
    if (!name.empty()) {
        cmd.AddAutoItem(TYPE, name, enums);
    }
    return cmd;
}

} // namespace KestParItemProcessors
