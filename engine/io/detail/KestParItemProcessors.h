// The item processors and command creators of the parameter-file reader.
#pragma once

#include "engine/io/KestParFileAdapter.h"

namespace KestParItemProcessors {

/// The value text, upper-cased, as an item of `kind`.
void process_upper(KestCmdItemDefs::CmdItem kind, KestCmd& cmd, const KestParSubCommand& line,
                   const KestCmdItemDefs::EnumMap& enums);
/// The value text as given, as an item of `kind`.
void process_as_given(KestCmdItemDefs::CmdItem kind, KestCmd& cmd, const KestParSubCommand& line,
                      const KestCmdItemDefs::EnumMap& enums);
/// A REFERENCE line; in an OPERATOR block "REFERENCE = type, name, coefficient" gives the
/// reference and its coefficient, and earlier references without one get "1.0".
void process_reference(KestCmd& cmd, const KestParSubCommand& line,
                       const KestCmdItemDefs::EnumMap& enums);
/// "LE_VALUE = v": VALUE v and TYPE LESS_EQUAL.
void process_le_value(KestCmd& cmd, const KestParSubCommand& line,
                      const KestCmdItemDefs::EnumMap& enums);
/// "GE_VALUE = v": VALUE v and TYPE GREATER_EQUAL.
void process_ge_value(KestCmd& cmd, const KestParSubCommand& line,
                      const KestCmdItemDefs::EnumMap& enums);
/// "LIST_BEGIN = ...": the pieces joined by ",\n  ", as given.
void process_list(KestCmd& cmd, const KestParSubCommand& line,
                  const KestCmdItemDefs::EnumMap& enums);
/// An unknown key: its value text as given, as a PLACEHOLDER item.
void process_unmatched(KestCmd& cmd, const KestParSubCommand& line,
                       const KestCmdItemDefs::EnumMap& enums);

/// The piece of its line's value that the i-th of the `made` items one line made in a command
/// of `type` was read from, as the processors above read it: -1 for the whole value, -2 for
/// none (an item the line implies), else the piece's index. `made` lists the kinds in the order
/// of their lists; `piece_count` is the number of pieces of the value.
int origin_piece(KestCmdDefs::Cmd type, const std::vector<KestCmdItemDefs::CmdItem>& made,
                 std::size_t i, std::size_t piece_count);

/// A command of the block's type.
KestCmd& create_plain_cmd(const std::string& keyword, KestCmdDefs::Cmd type,
                          const std::vector<KestParSubCommand>& lines, KestCmdContainer& container,
                          const KestCmdItemDefs::EnumMap& enums);
/// An OPERATOR when the block holds "DEF_TYPE = OPER", else a command of the block's type.
KestCmd& create_dresp_cmd(const std::string& keyword, KestCmdDefs::Cmd type,
                          const std::vector<KestParSubCommand>& lines, KestCmdContainer& container,
                          const KestCmdItemDefs::EnumMap& enums);
/// A DV; a DV_TOPO or DV_SHAPE block also gets the TYPE of density or nodal-vector variables.
KestCmd& create_dv_cmd(const std::string& keyword, KestCmdDefs::Cmd type,
                       const std::vector<KestParSubCommand>& lines, KestCmdContainer& container,
                       const KestCmdItemDefs::EnumMap& enums);

} // namespace KestParItemProcessors
