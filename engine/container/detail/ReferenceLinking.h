// The linking rule of KestCmdContainer::CreateReferences, as a walk over a job's commands.
#pragma once

#include "engine/model/KestCmdItem.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// Links every item of every kind but ID_NAME whose text is the first ID_NAME text of one of
/// `commands` to the first of them, in the order given, that carries it.
void link_references(const std::vector<KestCmd*>& commands);

/// The text of `item`: the one it keeps, or its GetString copied into `scratch`.
inline std::string_view text_of(const KestCmdItem& item, std::string& scratch) {
    if (const std::optional<std::string_view> kept = item.KeptText()) {
        return *kept;
    }
    scratch = item.GetString();
    return scratch;
}
