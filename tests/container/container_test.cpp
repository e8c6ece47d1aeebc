#include "engine/container/KestCmdContainer.h"
#include "engine/container/KestCmdContainerIterator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace KestCmdDefs;
using KestCmdItemDefs::ID_NAME;

namespace {

std::vector<const KestCmd*> visit(const KestCmdContainer& c) {
    std::vector<const KestCmd*> seen;
    for (KestCmdContainerIterator it = c.begin(); it != c.end(); ++it) {
        seen.push_back(&*it);
    }
    return seen;
}

} // namespace

TEST(Container, LookUpsFallBackToTheFirstCommandOrTheSharedEmptyOne) {
    KestCmdContainer c;
    EXPECT_TRUE(c.begin() == c.end());
    for (int t = 0; t < cmd_type_count; ++t) {
        EXPECT_EQ(c.GetNumberOfCommands(static_cast<Cmd>(t)), 0u);
        EXPECT_FALSE(c.HasCommand(static_cast<Cmd>(t)));
    }
    const KestCmd& fallback = c.GetCommand(DV, 0);
    EXPECT_EQ(fallback.GetType(), CMD_PLACEHOLDER);
    EXPECT_FALSE(fallback.HasItem(ID_NAME));
    EXPECT_EQ(&c.GetCommand(DV, 5), &fallback);
    EXPECT_EQ(&KestCmdContainer().GetCommand(STOP, 0), &fallback); // shared by all containers

    KestCmd& a = c.CreateCommand(DV);
    KestCmd& b = c.CreateCommand(DV);
    EXPECT_EQ(&c.GetCommand(DV, 0), &a);
    EXPECT_EQ(&c.GetCommand(DV, 1), &b);
    EXPECT_EQ(&c.GetCommand(DV, 2), &a);
    EXPECT_EQ(&static_cast<const KestCmdContainer&>(c).GetCommand(DV, 99), &a);
    EXPECT_EQ(c.GetNumberOfCommands(DV), 2u);
    EXPECT_EQ(std::vector<KestCmd*>(c.GetCommandBegin(DV), c.GetCommandEnd(DV)),
              (std::vector<KestCmd*>{&a, &b}));

    // References stay valid while the list grows.
    for (int i = 0; i < 1000; ++i) {
        c.CreateCommand(DV);
    }
    EXPECT_EQ(a.GetType(), DV);
    EXPECT_EQ(&c.GetCommand(DV, 1), &b);
}

TEST(Container, IteratesTypesInOrderThenCreationOrder) {
    KestCmdContainer c;
    KestCmd& x = c.CreateCommand(DV);
    KestCmd& y = c.CreateCommand(MODEL_INPUT);
    KestCmd& z = c.CreateCommand(DV);
    EXPECT_EQ(visit(c), (std::vector<const KestCmd*>{&y, &x, &z}));
    EXPECT_EQ(c.begin()->GetType(), MODEL_INPUT);

    KestCmdContainer last_only;
    KestCmd& p = last_only.CreateCommand(CMD_PLACEHOLDER);
    KestCmdContainerIterator it = last_only.begin();
    EXPECT_EQ(&*it, &p);
    ++it;
    EXPECT_TRUE(it == last_only.end());
    ++it; // the end stays the end
    EXPECT_TRUE(it == last_only.end());
}

TEST(Container, IteratorEqualityRules) {
    KestCmdContainer c;
    c.CreateCommand(OPTIMIZE);
    c.CreateCommand(STOP);
    KestCmdContainerIterator from_begin = c.begin();
    KestCmdContainerIterator moved_on = c.begin();
    ++moved_on;
    EXPECT_TRUE(from_begin != moved_on);
    // Two end iterators are equal whatever position they kept.
    from_begin.end();
    moved_on.end();
    EXPECT_TRUE(from_begin == moved_on);
    EXPECT_TRUE(from_begin == c.end());
    EXPECT_TRUE(KestCmdContainerIterator(c) == c.begin());

    KestCmdContainer other;
    EXPECT_FALSE(other.end() == KestCmdContainer().end());
    EXPECT_FALSE(c.end() == other.end());
}

TEST(Container, MovesTransferOwnership) {
    KestCmdContainer a;
    KestCmd& first = a.CreateCommand(DRESP);
    KestCmd& second = a.CreateCommand(GROUP_DEF);
    const std::vector<const KestCmd*> order = visit(a);

    KestCmdContainer b(std::move(a));
    EXPECT_EQ(visit(b), order);
    EXPECT_TRUE(a.begin() == a.end());
    EXPECT_FALSE(a.HasCommand(DRESP));

    KestCmdContainer& self = b;
    b = std::move(self);
    EXPECT_EQ(visit(b), order);

    KestCmdContainer c;
    c.CreateCommand(STOP);
    c = std::move(b);
    EXPECT_FALSE(c.HasCommand(STOP));
    EXPECT_EQ(&c.GetCommand(DRESP, 0), &first);
    EXPECT_EQ(&c.GetCommand(GROUP_DEF, 0), &second);
    EXPECT_TRUE(b.begin() == b.end());
    b.CreateCommand(STOP); // a moved-from container can be reused
    EXPECT_EQ(b.GetNumberOfCommands(STOP), 1u);
}
