// The keys and lines of a parameter file that the reader gives a meaning of its own, whatever
// names its configuration holds.
#pragma once

#include "engine/vocabulary/KestCmdDefs.h"

#include <array>

namespace KestParKeys {

/// "LE_VALUE = v" gives a VALUE item v and the TYPE LESS_EQUAL.
inline constexpr const char* le_value = "LE_VALUE";
/// "GE_VALUE = v" gives a VALUE item v and the TYPE GREATER_EQUAL.
inline constexpr const char* ge_value = "GE_VALUE";
/// "LIST_BEGIN = a, b, ..." gives a LIST_BEGIN item of the pieces as given, one to a line.
inline constexpr const char* list_begin = "LIST_BEGIN";
/// The keys above. Like every key, they match in any case.
inline constexpr std::array<const char*, 3> fixed_keys{le_value, ge_value, list_begin};

/// A block of type `operator_block` holding the line `operator_key = operator_value`, key and
/// value exactly so, is read as an OPERATOR command.
inline constexpr KestCmdDefs::Cmd operator_block = KestCmdDefs::DRESP;
inline constexpr const char* operator_key = "DEF_TYPE";
inline constexpr const char* operator_value = "OPER";

} // namespace KestParKeys
