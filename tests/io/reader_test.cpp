#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestParFileAdapter.h"
#include "engine/io/detail/KestParItemProcessors.h"
#include "utilities/KestParFile.h"
#include "utilities/ZUL_LogMacros.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

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
        KestParFileAdapter(L"job.par", config).ParseText(text, container);
        return container;
    }
};

// The job of `text` read block by block, before completion.
KestCmdContainer read_job(const std::string& text, const KestCmdIoConfig& config) {
    KestCmdContainer job;
    KestParFileAdapter(L"job.par", config).Read(KestParFile::FromText(text), job);
    return job;
}

// The same as the writer gives it.
std::string read_blocks(const std::string& text,
                        const KestCmdIoConfig& config = KestCmdIoConfig()) {
    return test_support::written(read_job(text, config));
}

} // namespace

TEST(ReadBlocks, KeysAndKeywordsIgnoreCaseAndValuesAreUpperCasedUnlessKeptAsGiven) {
    // Unknown keys and lines without '=' keep their value as given; the key PLACEHOLDER itself
    // is a known key and upper-cases. Only an exact DEF_TYPE = OPER makes an operator.
    EXPECT_EQ(
        read_blocks("dv\n  id_name = Dv_a\n  # id_name = commented_out\n  Type = density\n"
                    "  file = Models/Part.inp\n  Add_File = inc/Loads.inc\n  Colour = dark "
                    "Red\n  placeholder = lower\n  no equals sign Here\n"
                    "  list_begin = 1-10, 12,\n     20\nend_dv\n"
                    "Constraint\n  TYPE = abs\n  le_value = lim\nEND_\n"
                    "CONSTRAINT\n  GE_VALUE = 5\nEND_\nMystery_Block\n  ID_NAME = m\nEND_\n"
                    "DRESP\n  ID_NAME = a\n  DEF_TYPE = OPER\nEND_\n"
                    "DRESP\n  def_type = OPER\nEND_\nDRESP\n  DEF_TYPE = oper\nEND_\n"),
        "\nDV\n  ID_NAME = DV_A\n  TYPE = DENSITY\n  FILE = Models/Part.inp\n"
        "  ADD_FILE = inc/Loads.inc\n  LIST_BEGIN = 1-10,\n  12,\n  20\n"
        "  PLACEHOLDER = dark Red\n  PLACEHOLDER = LOWER\n  PLACEHOLDER = no equals sign Here\n"
        "END_\n\nDRESP\n  PLACEHOLDER = OPER\nEND_\n\nDRESP\n  PLACEHOLDER = oper\nEND_\n\n"
        "OPERATOR\n  ID_NAME = A\n  PLACEHOLDER = OPER\nEND_\n\n"
        "CONSTRAINT\n  TYPE = ABS\n  TYPE = LESS_EQUAL\n  VALUE = lim\nEND_\n\n"
        "CONSTRAINT\n  TYPE = GREATER_EQUAL\n  VALUE = 5\nEND_\n\n"
        "CMD_PLACEHOLDER\n  ID_NAME = M\nEND_\n\n\n");

    // Without names every block and line is a placeholder, and no value has a keyword reading;
    // the keys that act whatever the configuration says still do.
    const KestCmdIoConfig none(KestCmdIoConfig::NO_VALUES);
    EXPECT_EQ(read_blocks("DV\n  id_name = x\n  TYPE = density\n  LE_VALUE = 1\n"
                          "  LIST_BEGIN = a, b\nEND_\nSTOP\nEND_\n",
                          none),
              "\nCMD_PLACEHOLDER\n  TYPE = LESS_EQUAL\n  VALUE = 1\n  LIST_BEGIN = a,\n  b\n"
              "  PLACEHOLDER = x\n  PLACEHOLDER = density\nEND_\n\nCMD_PLACEHOLDER\nEND_\n\n\n");
    EXPECT_FALSE(read_job("DV\n  TYPE = max\nEND_\n", none)
                     .GetCommand(KestCmdDefs::CMD_PLACEHOLDER, 0)
                     .Item(PLACEHOLDER, 0)
                     .HasEnum());
}

TEST(ReadBlocks, OperatorCoefficientsBelongToTheirReferences) {
    // Outside an operator a reference is one value, commas and all.
    EXPECT_EQ(read_blocks("DRESP\n  DEF_TYPE = OPER\n  REFERENCE = DRESP, first\n"
                          "  REFERENCE = DRESP, second, -2.5\n  REFERENCE = dresp, third\n"
                          "  REFERENCE = DRESP, fourth, 3, ignored\n  REFERENCE = fifth\nEND_\n"
                          "OPT_PARAM\n  REFERENCE = DRESP, x, 3\nEND_\n"),
              "\nOPERATOR\n  REFERENCE = DRESP, FIRST\n  REFERENCE = SECOND\n"
              "  REFERENCE = DRESP, THIRD\n  REFERENCE = FOURTH\n  REFERENCE = FIFTH\n"
              "  COEFFICIENT = 1.0\n  COEFFICIENT = -2.5\n  COEFFICIENT = 1.0\n  COEFFICIENT = 3\n"
              "  PLACEHOLDER = OPER\nEND_\n\nOPT_PARAM\n  REFERENCE = DRESP, X, 3\nEND_\n\n\n");
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
    const KestCmd& update = c.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0); // the default one
    EXPECT_EQ(texts(update, STRATEGY), Texts{"MMA"});
    EXPECT_EQ(texts(update, VALUE), Texts{"0.1"});
    EXPECT_EQ(texts(update, MAX), Texts{"0.9"});
    EXPECT_FALSE(update.HasItem(MIN));
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DV, 0), VALUE), Texts{"0.5"});
    EXPECT_EQ(texts(c.GetCommand(KestCmdDefs::DV, 1), VALUE), Texts{"0.7"});
    const KestCmd& opt = c.GetCommand(KestCmdDefs::OPTIMIZE, 0);
    ASSERT_EQ(opt.Items(KestCmdItemDefs::DV_UPDATE_PARAM).size(), 1u);
    EXPECT_EQ(opt.Item(KestCmdItemDefs::DV_UPDATE_PARAM, 0).GetReference(), &update);
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
    EnumMap other = create_enum_map();
    other.erase("NODAL_VECTOR");
    other["DENSITY"] = EV_NODAL_VECTOR; // the natural name of one type stands for the other
    other["ZETA"] = other["ALPHA"] = EV_DENSITY;
    other["ALPHABET"] = EV_NODAL_VECTOR;
    std::mt19937 random(5);
    for (const EnumMap& base : {create_enum_map(), other}) {
        std::vector<std::pair<std::string, EnumValue>> entries(base.begin(), base.end());
        std::string first;
        for (int order = 0; order < 12; ++order) {
            std::shuffle(entries.begin(), entries.end(), random);
            EnumMap map;
            map.rehash(order * 50);
            map.insert(entries.begin(), entries.end());
            std::string made;
            for (const std::string keyword : {"dv_topo", "DV_SHAPE", "DV"}) {
                KestCmdContainer container;
                const KestCmd& dv = KestParItemProcessors::create_dv_cmd(keyword, KestCmdDefs::DV,
                                                                         {}, container, map);
                for (const auto& item : dv.Items(TYPE)) {
                    made +=
                        keyword + " " + item->GetString() + std::to_string(item->GetEnum()) + ";";
                }
            }
            first = order == 0 ? made : first;
            EXPECT_EQ(made, first) << "order " << order;
            EXPECT_EQ(std::count(made.begin(), made.end(), ';'), 2);
        }
    }
}
