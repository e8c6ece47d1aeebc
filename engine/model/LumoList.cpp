#include "engine/model/LumoList.h"

bool is_lumo_list(const std::string& text) {
    LumoList<int> trial;
    return trial.TryRead(text).error == LumoListText::ReadResult::none;
}
