#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestParFileAdapter.h"
#include "engine/io/KestParItemProcessors.h"
#include "utilities/ZUL_Exception.h"
#include "utilities/ZUL_LogMacros.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace KestCmdItemDefs;
using KestCmdDefs::Cmd;
using test_support::texts;

namespace {

using Texts = std::vector<std::string>;

// The command types a container holds, with their counts: "DV 2, STOP 1".
std::string census(const KestCmdContainer& container) {
    std::string out;
    for (int type = 0; type < KestCmdDefs::cmd_type_count; ++type) {
        if (const std::size_t n = container.GetNumberOfCommands(static_cast<Cmd>(type))) {
            out += (out.empty() ? "" : ", ") + KestCmdDefs::get_default_cmd_names()[type] + " " +
                   std::to_string(n);
        }
    }
    return out;
}

// Each test gets a folder of its own for the job files it reads.
class Reader : public test_support::TempDirTest {
  protected:
    std::wstring Job(const std::string& text) const { return Write("job.par", text).wstring(); }
    KestCmdContainer Read(const std::string& text,
                          const KestCmdIoConfig& config = KestCmdIoConfig()) const {
        KestCmdContainer container;
        KestParFileAdapter(Job(text), config).Parse(container);
        return container;
    }
};

} // namespace

TEST_F(Reader, KeysAndKeywordsIgnoreCaseAndValuesAreUpperCasedUnlessKeptAsGiven) {
    const KestCmdContainer c =
        Read("dv\n  id_name = Dv_a\n  # id_name = commented_out\n  Type = density\n"
             "  file = Models/Part.inp\n  Add_File = inc/Loads.inc\n  Colour = dark Red\n"
             "  placeholder = lower\n  no equals sign Here\n  list_begin = 1-10, 12,\n     20\n"
             "end_dv\n"
             "Constraint\n  TYPE = abs\n  le_value = lim\nEND_\n"
             "CONSTRAINT\n  GE_VALUE = 5\nEND_\n"
             "Mystery_Block\n  ID_NAME = m\nEND_\n");
    EXPECT_EQ(census(c), "DV 1, CONSTRAINT 2, DV_UPDATE_PARAM 1, CMD_PLACEHOLDER 1");
    const KestCmd& dv = c.GetCommand(KestCmdDefs::DV, 0);
    EXPECT_EQ(texts(dv, ID_NAME), Texts{"DV_A"});
    ASSERT_EQ(texts(dv, TYPE), Texts{"DENSITY"});
    EXPECT_EQ(dv.Item(TYPE, 0).GetEnum(), EV_DENSITY);
    EXPECT_EQ(texts(dv, KestCmdItemDefs::FILE), Texts{"Models/Part.inp"});
    EXPECT_EQ(texts(dv, ADD_FILE), Texts{"inc/Loads.inc"});
    // Unknown keys and lines without '=' keep their value as given; the key PLACEHOLDER itself
    // is a known key and is upper-cased.
    EXPECT_EQ(texts(dv, PLACEHOLDER), (Texts{"dark Red", "LOWER", "no equals sign Here"}));
    EXPECT_EQ(texts(dv, LIST_BEGIN), Texts{"1-10,\n  12,\n  20"});

    const KestCmd& le = c.GetCommand(KestCmdDefs::CONSTRAINT, 0);
    EXPECT_EQ(texts(le, VALUE), Texts{"lim"});
    ASSERT_EQ(texts(le, TYPE), (Texts{"ABS", "LESS_EQUAL"}));
    EXPECT_EQ(le.Item(TYPE, 1).GetEnum(), EV_LESS_EQUAL);
    const KestCmd& ge = c.GetCommand(KestCmdDefs::CONSTRAINT, 1);
    EXPECT_EQ(texts(ge, VALUE), Texts{"5"});
    EXPECT_EQ(texts(ge, TYPE), Texts{"GREATER_EQUAL"});
    EXPECT_EQ(texts(ge, COEFFICIENT), Texts{"1000"}); // the rules have run
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::CMD_PLACEHOLDER, 0), ID_NAME), Texts{"M"});
}

TEST_F(Reader, OnlyAnExactDefTypeOperMakesAnOperator) {
    const KestCmdContainer c =
        Read("DRESP\n  ID_NAME = a\n  TYPE = weighted_sum\n  DEF_TYPE = OPER\nEND_\n"
             "DRESP\n  ID_NAME = b\n  def_type = OPER\nEND_\n"
             "DRESP\n  ID_NAME = c\n  DEF_TYPE = oper\nEND_\n");
    EXPECT_EQ(census(c), "DRESP 2, OPERATOR 1, DV_UPDATE_PARAM 1");
    const KestCmd& op = c.GetCommand(KestCmdDefs::OPERATOR, 0);
    EXPECT_EQ(texts(op, ID_NAME), Texts{"A"});
    EXPECT_EQ(texts(op, PLACEHOLDER), Texts{"OPER"});
    EXPECT_EQ(texts(op, UPDATE_TYPE), Texts{"CALCULATED"});
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DRESP, 0), PLACEHOLDER), Texts{"OPER"});
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DRESP, 1), PLACEHOLDER), Texts{"oper"});
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DRESP, 1), UPDATE_TYPE), Texts{"RECEIVED"});
}

TEST_F(Reader, OperatorCoefficientsBelongToTheirReferences) {
    const KestCmdContainer c =
        Read("DRESP\n  DEF_TYPE = OPER\n  REFERENCE = DRESP, first\n"
             "  REFERENCE = DRESP, second, -2.5\n  REFERENCE = dresp, third\n"
             "  REFERENCE = DRESP, fourth, 3, ignored\n  REFERENCE = fifth\nEND_\n"
             "OPT_PARAM\n  REFERENCE = DRESP, x, 3\nEND_\n");
    const KestCmd& op = c.GetCommand(KestCmdDefs::OPERATOR, 0);
    EXPECT_EQ(texts(op, REFERENCE),
              (Texts{"DRESP, FIRST", "SECOND", "DRESP, THIRD", "FOURTH", "FIFTH"}));
    EXPECT_EQ(texts(op, COEFFICIENT), (Texts{"1.0", "-2.5", "1.0", "3"}));

    // Outside an operator a reference is one value, commas and all.
    const KestCmd& param = c.GetCommand(KestCmdDefs::OPT_PARAM, 0);
    EXPECT_EQ(texts(param, REFERENCE), Texts{"DRESP, X, 3"});
    EXPECT_FALSE(param.HasItem(COEFFICIENT));
}

TEST_F(Reader, ALoneStopBelongsToTheLoneOptimize) {
    const std::string stop = "STOP\n  ID_NAME = s\nEND_\n";
    const std::string opt = "OPTIMIZE\n  ID_NAME = o\nEND_\n";
    struct Case {
        std::string job;
        Texts stops; // the STOP texts of the first OPTIMIZE
        bool linked; // its last STOP item points at the STOP command
    };
    const Case cases[] = {
        {stop + "OPTIMIZE\n  STOP = other\nEND_\n", {"OTHER", "S"}, true},
        {stop + "OPTIMIZE\n  STOP = s\nEND_\n", {"S"}, true},
        {"STOP\nEND_\nOPTIMIZE\nEND_\n", {""}, true},
        // The empty text already prints what a link to a nameless STOP would.
        {"STOP\nEND_\nOPTIMIZE\n  STOP =\nEND_\n", {""}, false},
        {stop + stop + opt, {}, false},
        {stop + opt + opt, {}, false},
        {opt, {}, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.job);
        const KestCmdContainer c = Read(test.job);
        const KestCmd& optimize = c.GetCommand(KestCmdDefs::OPTIMIZE, 0);
        ASSERT_EQ(texts(optimize, STOP), test.stops);
        if (test.linked) {
            EXPECT_EQ(optimize.Items(STOP).back()->GetReference(),
                      &c.GetCommand(KestCmdDefs::STOP, 0));
        }
    }
}

TEST_F(Reader, OptParamsThatNameAnOptimizeAreAddedToIt) {
    const KestCmdContainer c =
        Read("OPT_PARAM\n  ID_NAME = p1\n  REFERENCE = main\nEND_\n"
             "OPT_PARAM\n  ID_NAME = p2\n  REFERENCE = Main\n  REFERENCE = other\nEND_\n"
             "OPT_PARAM\n  ID_NAME = p3\n  REFERENCE = nowhere\nEND_\n"
             "OPT_PARAM\n  ID_NAME = p4\n  REFERENCE = other\nEND_\n"
             "OPTIMIZE\n  ID_NAME = main\nEND_\n"
             "OPTIMIZE\n  ID_NAME = other\n  OPT_PARAM = p4\nEND_\n"
             "OPTIMIZE\n  ID_NAME = MAIN\nEND_\n");
    const KestCmd& main = c.GetCommand(KestCmdDefs::OPTIMIZE, 0);
    ASSERT_EQ(texts(main, OPT_PARAM), (Texts{"P1", "P2"}));
    EXPECT_EQ(main.Item(OPT_PARAM, 0).GetReference(), &c.GetCommand(KestCmdDefs::OPT_PARAM, 0));
    EXPECT_EQ(main.Item(OPT_PARAM, 1).GetReference(), &c.GetCommand(KestCmdDefs::OPT_PARAM, 1));
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::OPTIMIZE, 2), OPT_PARAM), (Texts{"P1", "P2"}));
    // Only the first REFERENCE counts, and a name already listed is not added again.
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::OPTIMIZE, 1), OPT_PARAM), Texts{"P4"});
}

TEST_F(Reader, RulesCompleteUpdateParametersFromTheOptimizersSettings) {
    const KestCmdContainer c =
        Read("OPT_PARAM\n  ID_NAME = params\n  STRATEGY = mma\n  MIN = low\n  MAX = 0.9\n"
             "  VALUE = 0.5\n  DV_UPDATE_PARAM = 0.1\n  REFERENCE = opt\nEND_\n"
             "OPTIMIZE\n  ID_NAME = opt\nEND_\n"
             "DV\n  ID_NAME = d1\nEND_\nDV\n  ID_NAME = d2\n  VALUE = 0.7\nEND_\n");
    ASSERT_EQ(c.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 1u);
    const KestCmd& update = c.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0);
    EXPECT_EQ(texts(update, ID_NAME), Texts{"__DEFAULT_DV_UPDATE_PARAM"});
    EXPECT_EQ(texts(update, STRATEGY), Texts{"MMA"});
    EXPECT_EQ(texts(update, VALUE), Texts{"0.1"});
    EXPECT_EQ(texts(update, MAX), Texts{"0.9"});
    EXPECT_FALSE(update.HasItem(MIN));
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DV, 0), VALUE), Texts{"0.5"});
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DV, 1), VALUE), Texts{"0.7"});
    const KestCmd& opt = c.GetCommand(KestCmdDefs::OPTIMIZE, 0);
    ASSERT_EQ(opt.Items(KestCmdItemDefs::DV_UPDATE_PARAM).size(), 1u);
    EXPECT_EQ(opt.Item(KestCmdItemDefs::DV_UPDATE_PARAM, 0).GetReference(), &update);

    // A job with update parameters of its own keeps them; the optimizer takes the first.
    const KestCmdContainer own =
        Read("DV_UPDATE_PARAM\n  ID_NAME = u1\nEND_\nDV_UPDATE_PARAM\n  ID_NAME = u2\nEND_\n"
             "OPTIMIZE\nEND_\n");
    ASSERT_EQ(own.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 2u);
    const KestCmd& first = own.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0);
    EXPECT_EQ(texts(first, STRATEGY), Texts{"CSA"});
    const KestCmd& linked = own.GetCommand(KestCmdDefs::OPTIMIZE, 0);
    ASSERT_EQ(texts(linked, KestCmdItemDefs::DV_UPDATE_PARAM), Texts{"U1"});
    EXPECT_EQ(linked.Item(KestCmdItemDefs::DV_UPDATE_PARAM, 0).GetReference(), &first);
}

TEST_F(Reader, WithoutNamesEveryBlockAndLineIsAPlaceholder) {
    const KestCmdContainer c =
        Read("DV\n  id_name = x\n  TYPE = density\n  LE_VALUE = 1\n  LIST_BEGIN = a, b\nEND_\n"
             "STOP\nEND_\nOPTIMIZE\nEND_\n",
             KestCmdIoConfig(KestCmdIoConfig::NO_VALUES));
    EXPECT_EQ(census(c), "DV_UPDATE_PARAM 1, CMD_PLACEHOLDER 3");
    const KestCmd& dv = c.GetCommand(KestCmdDefs::CMD_PLACEHOLDER, 0);
    EXPECT_EQ(texts(dv, PLACEHOLDER), (Texts{"x", "density"}));
    EXPECT_EQ(texts(dv, VALUE), Texts{"1"});
    EXPECT_EQ(texts(dv, TYPE), Texts{"LESS_EQUAL"});
    EXPECT_EQ(texts(dv, LIST_BEGIN), Texts{"a,\n  b"});
    for (const KestCmd& cmd : c) {
        for (int kind = 0; kind < item_kind_count; ++kind) {
            for (const auto& item : cmd.Items(static_cast<CmdItem>(kind))) {
                EXPECT_FALSE(item->HasEnum()) << item->GetString();
            }
        }
    }
}

TEST_F(Reader, ConfiguredNamesFirstPairWinsAndEveryParseReadsTheFileAgain) {
    KestCmdIoConfig config;
    config.cmd_names.insert(config.cmd_names.begin(), {KestCmdDefs::OUTPUT, "DRESP"});
    config.cmd_names.emplace_back(KestCmdDefs::OPTIONS, "DV");
    config.cmd_names.emplace_back(KestCmdDefs::FILTER, "my_filter"); // never matches
    config.cmd_names.emplace_back(KestCmdDefs::DV, "DV_TOPO");
    const KestParFileAdapter adapter(
        Job("dresp\nEND_\ndv_topo\n  TYPE = other\nEND_\nDV\nEND_\nmy_filter\nEND_\n"), config);
    config.cmd_names.clear(); // the adapter keeps its own tables

    KestCmdContainer c;
    adapter.Parse(c);
    EXPECT_EQ(census(c), "DV 2, OUTPUT 1, DV_UPDATE_PARAM 1, CMD_PLACEHOLDER 1");
    // A DV_TOPO block starts with the type of density variables; a plain DV block gets none.
    const KestCmd& topo = c.GetCommand(KestCmdDefs::DV, 0);
    ASSERT_EQ(topo.Items(TYPE).size(), 2u);
    EXPECT_EQ(topo.Item(TYPE, 0).GetEnum(), 68);
    EXPECT_EQ(topo.Item(TYPE, 1).GetString(), "OTHER");
    EXPECT_FALSE(c.GetCommand(KestCmdDefs::DV, 1).HasItem(TYPE));
    KestParFileAdapter(adapter).Parse(c);
    EXPECT_EQ(census(c), "DV 4, OUTPUT 2, DV_UPDATE_PARAM 1, CMD_PLACEHOLDER 2");

    Job("DV\nEND_\nDV\nEND_\nDV\nEND_\n");
    KestCmdContainer changed;
    adapter.Parse(changed);
    EXPECT_EQ(census(changed), "DV 3, DV_UPDATE_PARAM 1");
}

// One reader, several threads at once: each job comes out as a job read alone does, each logs
// the same step warnings, and the jobs may die on another thread than the one that read them.
TEST_F(Reader, OneReaderServesSeveralThreadsAtOnce) {
    std::atomic<int> warnings{0};
    const auto previous =
        ZUL_LogMacros::set_sink([&](const ZUL_LogMacros::LogRecord&) { ++warnings; });
    std::string text;
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        text += "GROUP_DEF\n  ID_NAME = g" + n + "\n  GROUP = 1-" + n + "00:0\nEND_\n" +
                "DV\n  ID_NAME = dv" + n + "\n  GROUP = g" + n + "\n  TYPE = density\nEND_\n";
    }
    const KestParFileAdapter reader(Job(text), KestCmdIoConfig());
    KestCmdContainer alone;
    reader.Parse(alone);
    const std::string expected = test_support::written(alone);
    const int warnings_alone = warnings.exchange(0);
    EXPECT_GT(warnings_alone, 0);

    std::vector<KestCmdContainer> jobs(4);
    std::vector<std::thread> threads;
    for (KestCmdContainer& job : jobs) {
        threads.emplace_back([&reader, &job] { reader.Parse(job); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const KestCmdContainer& job : jobs) {
        EXPECT_EQ(test_support::written(job), expected);
    }
    EXPECT_EQ(warnings, 4 * warnings_alone);
    ZUL_LogMacros::set_sink(previous);
}

// A DV_TOPO or DV_SHAPE block starts with a TYPE of the value of density or nodal-vector
// variables, whose text is chosen among the texts of the keyword map: maps of the same texts
// must give the same command whatever their order.
TEST(DvCreator, TheTypeDoesNotDependOnTheOrderOfTheKeywordMap) {
    EnumMap without_natural_names = create_enum_map();
    without_natural_names.erase("DENSITY");
    without_natural_names.erase("NODAL_VECTOR");
    EnumMap renamed = without_natural_names;
    renamed["DENSITY"] = EV_NODAL_VECTOR;
    for (EnumMap* map : {&without_natural_names, &renamed}) {
        (*map)["ZETA"] = EV_DENSITY;
        (*map)["ALPHA"] = EV_DENSITY;
        (*map)["ALPHABET"] = EV_NODAL_VECTOR;
    }
    std::mt19937 random(5);
    for (const EnumMap& base : {create_enum_map(), without_natural_names, renamed}) {
        std::vector<std::pair<std::string, EnumValue>> entries(base.begin(), base.end());
        std::vector<std::string> first;
        for (int order = 0; order < 12; ++order) {
            std::shuffle(entries.begin(), entries.end(), random);
            EnumMap map;
            map.rehash(order * 50);
            map.insert(entries.begin(), entries.end());
            std::vector<std::string> made;
            for (const char* keyword : {"dv_topo", "DV_SHAPE", "DV"}) {
                KestCmdContainer container;
                const KestCmd& dv = KestParItemProcessors::create_dv_cmd(keyword, KestCmdDefs::DV,
                                                                         {}, container, map);
                for (const auto& item : dv.Items(TYPE)) {
                    made.push_back(std::string(keyword) + " " + item->GetString() + " " +
                                   std::to_string(item->GetEnum()));
                }
            }
            ASSERT_EQ(made.size(), 2u);
            if (order == 0) {
                first = made;
            }
            EXPECT_EQ(made, first) << "order " << order;
        }
    }
}
