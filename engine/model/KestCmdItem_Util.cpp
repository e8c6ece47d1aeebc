#include "engine/model/KestCmdItem_Util.h"

#include "engine/model/KestCmd.h"

namespace KestCmdItem_Util {

bool has_item_reference_of_type(const KestCmdItem& it, KestCmdDefs::Cmd type) {
    return it.HasReference() && it.GetReference() != nullptr &&
           it.GetReference()->GetType() == type;
}

} // namespace KestCmdItem_Util
