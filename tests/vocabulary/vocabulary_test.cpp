// The keyword map against the list it is made from, and the item kinds that name commands.
#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdEnumValues.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <gtest/gtest.h>

#include <string>

using namespace KestCmdItemDefs;

TEST(Vocabulary, EnumMapHoldsEveryKeywordUnderItsEnumeratorAndNothingElse) {
    const EnumMap map = create_enum_map();
    std::size_t listed = 0;
    const auto expect = [&](const std::string& text, EnumValue value) {
        ++listed;
        const auto found = map.find(text);
        EXPECT_EQ(found != map.end() ? found->second : EV_UNSET, value) << text;
    };
#define KEST_X(text, value) expect(#text, EV_##text);
    KEST_ENUM_VALUES(KEST_X)
#undef KEST_X
    EXPECT_EQ(map.size(), listed); // no text is listed twice
}

TEST(Vocabulary, KindsThatNameCommandsAreThoseNamedLikeACommandType) {
    std::vector<std::string> naming;
    for (int k = 0; k < item_kind_count; ++k) {
        const KestCmdDefs::Cmd type = KestCmdDefs::named_type(static_cast<CmdItem>(k));
        if (type != KestCmdDefs::CMD_PLACEHOLDER) {
            naming.push_back(default_item_names[k] + ">" +
                             KestCmdDefs::get_default_cmd_names()[type]);
        }
    }
    EXPECT_EQ(naming, (std::vector<std::string>{
                          "DRESP>DRESP", "DV>DV", "OBJ_FUNC>OBJ_FUNC", "CONSTRAINT>CONSTRAINT",
                          "DV_CONSTRAINT>DV_CONSTRAINT", "STOP>STOP", "MESH_SMOOTH>MESH_SMOOTH",
                          "OPT_PARAM>OPT_PARAM", "DV_UPDATE_PARAM>DV_UPDATE_PARAM"}));
}
