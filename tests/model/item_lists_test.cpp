// The list that Items hands out is the command's own list of that kind for the command's whole
// life: it sees later additions and erasures, and a move into or out of the command moves items
// (and the type), not lists.
#include "engine/model/KestCmd.h"

#include <gtest/gtest.h>

using namespace KestCmdItemDefs;

namespace {

// A command with one item of each of the first `kinds` kinds; more than four kinds puts lists
// beside the command, more than seven among those found by their kind.
KestCmd command_with_kinds(int kinds, const std::string& text, KestCmdDefs::Cmd type) {
    KestCmd cmd(type);
    for (int k = 0; k < kinds; ++k) {
        cmd.AddStringItem(static_cast<CmdItem>(k), text);
    }
    return cmd;
}

} // namespace

TEST(ItemLists, AListAskedForBeforeItsFirstItemSeesItsItems) {
    KestCmd c(KestCmdDefs::DV);
    const auto& types = c.Items(TYPE);
    const auto& values = c.Items(VALUE);
    c.AddStringItem(TYPE, "SHAPE");
    for (int k = 0; k < item_kind_count; ++k) {
        c.AddStringItem(static_cast<CmdItem>(k), "more");
    }
    EXPECT_EQ(types.size(), 2u);
    EXPECT_EQ(values.size(), 1u);
    EXPECT_EQ(&types, &c.Items(TYPE));
    c.Erase(TYPE, c.begin(TYPE), c.end(TYPE));
    EXPECT_TRUE(types.empty());
    // Asking made a list but no item.
    EXPECT_TRUE(KestCmd(KestCmdDefs::DV).Items(GROUP).empty());
}

TEST(ItemLists, ListsBeyondTheInlineOnesSurviveMovesBothWays) {
    for (const int kinds : {1, 4, 5, 7, 8, item_kind_count}) {
        SCOPED_TRACE(kinds);
        KestCmd a = command_with_kinds(kinds, "a", KestCmdDefs::DV);
        const auto kind = static_cast<CmdItem>(kinds - 1);
        const auto& r = a.Items(kind);
        const auto& unused = a.Items(PLACEHOLDER);
        const int b2_kinds = kinds == 1 ? 2 : kinds - 1;
        KestCmd b2 = command_with_kinds(b2_kinds, "b", KestCmdDefs::GROUP_DEF);
        const auto& b2First = b2.Items(ID_NAME);
        a = std::move(b2);
        // `a` now shows b2's items: one of `kind` only if b2 had that kind.
        EXPECT_EQ(r.size(), kind < b2_kinds ? 1u : 0u);
        EXPECT_TRUE(unused.empty());
        EXPECT_TRUE(b2First.empty());
        EXPECT_EQ(b2.GetType(), KestCmdDefs::cmd_type_count);
        b2.AddStringItem(ID_NAME, "again");
        EXPECT_EQ(b2First.size(), 1u);
        ASSERT_EQ(a.Items(ID_NAME).size(), 1u);
        EXPECT_EQ(a.Item(ID_NAME, 0).GetString(), "b");

        KestCmd c(std::move(a));
        EXPECT_TRUE(r.empty());
        EXPECT_EQ(c.GetType(), KestCmdDefs::GROUP_DEF);
        KestCmd& self = c;
        c = std::move(self);
        EXPECT_EQ(c.Items(ID_NAME).size(), 1u);
        a.AddStringItem(kind, "after");
        EXPECT_EQ(r.size(), 1u);
        EXPECT_EQ(&r, &a.Items(kind));
    }
}

// Kinds come in any order, each finding its own list wherever the command keeps it.
TEST(ItemLists, EveryKindFindsItsOwnItemsInWhateverOrderKindsCome) {
    for (unsigned seed = 0; seed < 50; ++seed) {
        KestCmd cmd(KestCmdDefs::CONSTRAINT);
        std::vector<std::vector<std::string>> expected(item_kind_count);
        unsigned state = seed;
        for (int added = 0; added < 60; ++added) {
            state = state * 1103515245u + 12345u;
            // Few kinds for low seeds, all of them for high ones.
            const auto kind = static_cast<CmdItem>((state >> 16) % (1 + seed % item_kind_count));
            const std::string text = std::to_string(added);
            cmd.AddStringItem(kind, text);
            expected[kind].push_back(text);
        }
        for (int k = 0; k < item_kind_count; ++k) {
            const auto kind = static_cast<CmdItem>(k);
            ASSERT_EQ(cmd.ItemCount(kind), expected[k].size()) << "seed " << seed << ", kind " << k;
            std::vector<std::string> texts;
            for (auto item = cmd.begin(kind); item != cmd.end(kind); ++item) {
                texts.push_back((*item)->GetString());
            }
            EXPECT_EQ(texts, expected[k]);
        }
        EXPECT_EQ(cmd.GetType(), KestCmdDefs::CONSTRAINT);
    }
}
