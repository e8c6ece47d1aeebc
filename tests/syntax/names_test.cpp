// Where the reader's items come from in the text, and which pieces of the text name a command.
#include "engine/io/KestParDocument.h"
#include "engine/syntax/KestParItemSource.h"

#include <gtest/gtest.h>

using namespace KestCmdItemDefs;

namespace {

const std::string job = "DRESP\n  ID_NAME = volume\n  TYPE = VOLUME\nEND_\n"            // 1-4
                        "DRESP\n  ID_NAME = side\nEND_\n"                               // 5-7
                        "DRESP\n  ID_NAME = sum\n  DEF_TYPE = OPER\n"                   // 8-10
                        "  REFERENCE = DRESP, side\n  REFERENCE = DRESP, volume, 2.0\n" // 11-12
                        "END_\n"                                                        // 13
                        "CONSTRAINT\n  ID_NAME = limit\n  DRESP = volume\n"             // 14-16
                        "  LE_VALUE = 0.3\nEND_\n"                                      // 17-18
                        "OBJ_FUNC\n  ID_NAME = goal\n  DRESP = side, Volume\nEND_\n";   // 19-22

std::vector<std::string> named_at(const KestParDocument& doc, const KestCmd& target) {
    std::vector<std::string> found;
    for (const KestNamePiece& piece :
         pieces_naming(doc.Syntax(), doc.Positions(), doc.Job(), target)) {
        found.push_back(std::to_string(doc.Syntax().Position(piece.span.begin).line) + ":" +
                        std::string(doc.Syntax().Bytes(piece.span)));
    }
    return found;
}

} // namespace

TEST(ItemSource, TellsWholeValuesPiecesAndImpliedItems) {
    const KestParDocument doc(job);
    const KestCmd& sum = doc.Job().GetCommand(KestCmdDefs::OPERATOR, 0);
    const KestCmd& limit = doc.Job().GetCommand(KestCmdDefs::CONSTRAINT, 0);
    const auto source = [&](const KestCmd& cmd, CmdItem kind, std::size_t i) {
        return item_source(doc.Syntax(), doc.Positions(), cmd, kind, i);
    };
    EXPECT_EQ(source(sum, REFERENCE, 0).origin, KestItemOrigin::whole);
    EXPECT_FALSE(source(sum, REFERENCE, 0).shared);
    const KestItemSource second = source(sum, REFERENCE, 1);
    EXPECT_EQ(second.origin, KestItemOrigin::piece);
    EXPECT_EQ(second.piece, 1u);
    EXPECT_TRUE(second.shared);
    // The coefficient of the first reference is implied by the second reference's line.
    EXPECT_EQ(source(sum, COEFFICIENT, 0).origin, KestItemOrigin::implied);
    EXPECT_EQ(source(sum, COEFFICIENT, 0).line, 12u);
    EXPECT_EQ(source(sum, COEFFICIENT, 1).origin, KestItemOrigin::piece);
    EXPECT_EQ(source(sum, COEFFICIENT, 1).piece, 2u);
    EXPECT_EQ(source(limit, VALUE, 0).origin, KestItemOrigin::whole);
    EXPECT_EQ(source(limit, TYPE, 0).origin, KestItemOrigin::implied);
    // The default rules' items were not read.
    ASSERT_TRUE(limit.HasItem(COEFFICIENT));
    EXPECT_EQ(source(limit, COEFFICIENT, 0).origin, KestItemOrigin::unread);
}

TEST(PiecesNaming, FindsNamesOnlyWhereKindsNameCommands) {
    const KestParDocument doc(job);
    const KestCmd& volume = doc.Job().GetCommand(KestCmdDefs::DRESP, 0);
    const KestCmd& side = doc.Job().GetCommand(KestCmdDefs::DRESP, 1);
    // TYPE = VOLUME reads like the name but is a keyword value.
    EXPECT_EQ(named_at(doc, volume),
              (std::vector<std::string>{"12:volume", "16:volume", "21:Volume"}));
    // A reference without a coefficient names its response too.
    EXPECT_EQ(named_at(doc, side), (std::vector<std::string>{"11:side", "21:side"}));

    // A name two commands carry names the first of the job's order only.
    const KestParDocument twice("DRESP\n  ID_NAME = r\nEND_\nDV\n  ID_NAME = r\nEND_\n"
                                "OBJ_FUNC\n  DRESP = r\nEND_\n");
    EXPECT_EQ(named_at(twice, twice.Job().GetCommand(KestCmdDefs::DV, 0)),
              (std::vector<std::string>{"8:r"}));
    EXPECT_TRUE(named_at(twice, twice.Job().GetCommand(KestCmdDefs::DRESP, 0)).empty());
}
