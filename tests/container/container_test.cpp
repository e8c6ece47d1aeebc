#include "engine/container/KestCmdContainer.h"
#include "engine/container/KestCmdContainerIterator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace KestCmdDefs;
using Seen = std::vector<const KestCmd*>;

namespace {

Seen visit(const KestCmdContainer& c) {
    Seen seen;
    for (KestCmdContainerIterator it = c.begin(); it != c.end(); ++it) {
        seen.push_back(&*it);
    }
    return seen;
}

} // namespace

TEST(Container, LookUpsFallBackToTheFirstCommandOrTheSharedEmptyOne) {
    KestCmdContainer c;
    const KestCmd& fallback = c.GetCommand(DV, 0);
    EXPECT_EQ(fallback.GetType(), CMD_PLACEHOLDER);
    EXPECT_FALSE(fallback.HasItem(KestCmdItemDefs::ID_NAME));
    EXPECT_EQ(&KestCmdContainer().GetCommand(STOP, 5), &fallback); // shared by all containers
    EXPECT_FALSE(c.HasCommand(DV));

    KestCmd& a = c.CreateCommand(DV);
    KestCmd& b = c.CreateCommand(DV);
    EXPECT_EQ(&c.GetCommand(DV, 1), &b);
    EXPECT_EQ(&static_cast<const KestCmdContainer&>(c).GetCommand(DV, 2), &a);
    EXPECT_EQ(c.GetNumberOfCommands(DV), 2u);
    EXPECT_EQ(std::vector<KestCmd*>(c.GetCommandBegin(DV), c.GetCommandEnd(DV)),
              (std::vector<KestCmd*>{&a, &b}));
    // Commands keep their address while the container grows.
    for (int i = 0; i < 1000; ++i) {
        c.CreateCommand(DV);
    }
    EXPECT_EQ(a.GetType(), DV);
    EXPECT_EQ(&c.GetCommand(DV, 1), &b);
}

TEST(Container, IteratesTypesInOrderThenCreationOrderAndEndsStayEnds) {
    KestCmdContainer c;
    EXPECT_TRUE(c.begin() == c.end());
    KestCmd& x = c.CreateCommand(DV);
    KestCmd& y = c.CreateCommand(MODEL_INPUT);
    KestCmd& z = c.CreateCommand(CMD_PLACEHOLDER);
    EXPECT_EQ(visit(c), (Seen{&y, &x, &z}));

    KestCmdContainerIterator at_end = c.begin();
    KestCmdContainerIterator moved_on = c.begin();
    ++moved_on;
    EXPECT_TRUE(at_end != moved_on);
    EXPECT_TRUE(KestCmdContainerIterator(c) == c.begin());
    at_end.end();
    moved_on.end(); // two end iterators are equal whatever position they kept
    EXPECT_TRUE(at_end == moved_on && at_end == c.end());
    ++at_end;
    EXPECT_TRUE(at_end == c.end());
    KestCmdContainer other;
    EXPECT_FALSE(other.end() == KestCmdContainer().end());
    EXPECT_FALSE(c.end() == other.end());
}

TEST(Container, MovesTransferOwnership) {
    KestCmdContainer a;
    KestCmd& first = a.CreateCommand(DRESP);
    a.CreateCommand(GROUP_DEF);
    const Seen order = visit(a);
    KestCmdContainer b(std::move(a));
    EXPECT_EQ(visit(b), order);
    EXPECT_TRUE(visit(a).empty());
    EXPECT_FALSE(a.HasCommand(DRESP));

    KestCmdContainer& self = b;
    b = std::move(self);
    EXPECT_EQ(visit(b), order);
    KestCmdContainer c;
    c.CreateCommand(STOP);
    c = std::move(b);
    EXPECT_EQ(visit(c), order);
    EXPECT_EQ(&c.GetCommand(DRESP, 0), &first);
    EXPECT_TRUE(visit(b).empty());
    b.CreateCommand(STOP); // a moved-from container can be reused
    EXPECT_EQ(b.GetNumberOfCommands(STOP), 1u);
}
