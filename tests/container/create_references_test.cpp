#include "engine/container/KestCmdContainer.h"
#include "engine/container/KestCmdContainerIterator.h"
#include "engine/container/detail/LinkPipeline.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace KestCmdItemDefs;

namespace {

const EnumMap& enums() {
    static const EnumMap map = create_enum_map();
    return map;
}

// The linking walk in its plain form: for every item, search all commands in iteration order.
void create_references_by_search(KestCmdContainer& c) {
    for (KestCmd& cmd : c) {
        for (int kind = TYPE; kind < item_kind_count; ++kind) {
            const auto k = static_cast<CmdItem>(kind);
            for (std::size_t i = 0; i < cmd.Items(k).size(); ++i) {
                const std::string text = cmd.Item(k, i).GetString();
                for (const KestCmd& candidate : c) {
                    if (candidate.HasItem(ID_NAME) &&
                        candidate.Item(ID_NAME, 0).GetString() == text) {
                        cmd.Item(k, i).AddReference(candidate);
                        break;
                    }
                }
            }
        }
    }
}

// A container of `size` commands drawn from `seed`: names that repeat, empty names, commands
// without or with two names, and auto, string and reference items among the items.
KestCmdContainer random_container(unsigned seed, int size) {
    std::mt19937 random(seed);
    const int distinct = std::max(2, size / 3);
    const auto name = [&] {
        const int n = static_cast<int>(random() % (distinct + 1));
        return n == distinct
                   ? std::string()
                   : (n % 4 == 0 ? "a_name_longer_than_sixteen_bytes_" : "N") + std::to_string(n);
    };
    KestCmdContainer c;
    std::vector<KestCmd*> made;
    for (int i = 0; i < size; ++i) {
        KestCmd& cmd =
            c.CreateCommand(static_cast<KestCmdDefs::Cmd>(random() % KestCmdDefs::cmd_type_count));
        const int names = static_cast<int>(random() % 4); // 0: no ID_NAME, 3: two of them
        for (int n = 0; n < (names == 3 ? 2 : names == 0 ? 0 : 1); ++n) {
            cmd.AddAutoItem(ID_NAME, name(), enums());
        }
        made.push_back(&cmd);
    }
    for (KestCmd* cmd : made) {
        const int items = static_cast<int>(random() % 6);
        for (int i = 0; i < items; ++i) {
            const auto kind = static_cast<CmdItem>(1 + random() % 38);
            switch (random() % 4) {
            case 0:
                cmd->AddStringItem(kind, name());
                break;
            case 1:
                cmd->AddItem(kind, *made[random() % made.size()]);
                break;
            default:
                cmd->AddAutoItem(kind, name(), enums());
            }
        }
    }
    return c;
}

// Every item's link, as the position in iteration order of the command it refers to (-1 none).
std::vector<long> links(const KestCmdContainer& c) {
    std::map<const KestCmd*, long> position;
    for (const KestCmd& cmd : c) {
        position.emplace(&cmd, static_cast<long>(position.size()));
    }
    std::vector<long> out;
    for (const KestCmd& cmd : c) {
        for (int kind = 0; kind < item_kind_count; ++kind) {
            for (const auto& item : cmd.Items(static_cast<CmdItem>(kind))) {
                out.push_back(item->HasReference() ? position.at(item->GetReference()) : -1);
            }
        }
    }
    return out;
}

} // namespace

// The rules themselves; the comparison below checks the index against them on many jobs.
TEST(CreateReferences, LinksNamesToTheFirstMatchingCommand) {
    KestCmdContainer c;
    KestCmd& resp = c.CreateCommand(KestCmdDefs::DRESP);
    resp.AddAutoItem(ID_NAME, "X", enums()); // an ID_NAME item is never linked
    resp.AddAutoItem(DESCRIPTION, "X", enums());
    KestCmd& dv = c.CreateCommand(KestCmdDefs::DV); // DV iterates before DRESP
    dv.AddStringItem(ID_NAME, "X");
    dv.AddStringItem(ID_NAME, "ALSO"); // only the first ID_NAME of a command counts
    KestCmd& user = c.CreateCommand(KestCmdDefs::CONSTRAINT);
    for (const char* text : {"X", "x", "ALSO"}) {
        user.AddAutoItem(DRESP, text, enums());
    }
    user.AddStringItem(DV, "X"); // string items ignore links
    user.AddItem(VALUE, user);   // a reference item prints as "" and is re-pointed
    c.CreateCommand(KestCmdDefs::STOP).AddStringItem(ID_NAME, "");
    c.CreateReferences();
    // In iteration order: DV, DRESP, CONSTRAINT (kinds in order), STOP.
    EXPECT_EQ(links(c), (std::vector<long>{-1, -1, -1, 0, 0, -1, -1, 3, -1, -1}));
    EXPECT_EQ(user.Item(DRESP, 0).GetString(), "X"); // the text stays
}

// The index (CreateReferences) and the pipeline (which CreateReferences takes for large jobs
// only; small ones cover the starts and ends of its windows, and of its batches when a batch
// holds a few commands) against the full search.
TEST(CreateReferences, IndexAndPipelineGiveTheSameLinksAsTheFullSearch) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        const int size = 1 + static_cast<int>(seed % 60);
        KestCmdContainer indexed = random_container(seed, size);
        KestCmdContainer searched = random_container(seed, size);
        ASSERT_EQ(links(indexed), links(searched)) << "seed " << seed;
        indexed.CreateReferences();
        create_references_by_search(searched);
        ASSERT_EQ(links(indexed), links(searched)) << "seed " << seed;
        for (std::size_t batch : {std::size_t{1} + seed % 5, LinkPipeline::commands_per_batch}) {
            KestCmdContainer pipelined = random_container(seed, size);
            std::vector<KestCmd*> commands;
            for (KestCmd& cmd : pipelined) {
                commands.push_back(&cmd);
            }
            LinkPipeline(commands, batch).run();
            ASSERT_EQ(links(pipelined), links(searched)) << "seed " << seed << ", batch " << batch;
        }
        // A second run changes nothing further.
        indexed.CreateReferences();
        ASSERT_EQ(links(indexed), links(searched)) << "seed " << seed;
    }
}
