#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestParFileAdapter.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Each test writes its files into a folder of its own.
class RoundTrip : public test_support::TempDirTest {
  protected:
    fs::path Job(const std::string& text) const { return Write("job.par", text); }

    // w1 to w4: the job read with the standard configuration and written with the standard
    // names, then each writing read and written again.
    std::array<std::string, 4> Rewrites(fs::path in) const {
        std::array<std::string, 4> w;
        for (std::size_t i = 0; i < w.size(); ++i) {
            const fs::path out = dir / ("w" + std::to_string(i + 1) + ".par");
            KestCmdContainer container;
            KestParFileAdapter(in.wstring(), KestCmdIoConfig()).Parse(container);
            w[i] = test_support::written(container);
            std::ofstream(out, std::ios::binary) << w[i];
            in = out;
        }
        return w;
    }
};

// The text of a random job. A plain job uses only keywords and keys the reader knows and puts
// '=' into no list piece after a comma, so its first rewriting is already a fixed point.
class JobText {
  public:
    JobText(unsigned seed, bool plain) : _rng(seed), _plain(plain) {}

    std::string Make() {
        const std::string eol = Chance(10) ? "\r\n" : "\n";
        std::string text;
        for (std::size_t blocks = Pick(8); blocks > 0; --blocks) {
            text += OneOf({"", "", "", "\n", "# " + Word() + " = " + Word() + "\n", "END_\n"});
            text += Block(blocks == 1);
        }
        std::string out;
        for (char c : text) {
            out += c == '\n' ? eol : std::string(1, c);
        }
        return out;
    }

  private:
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(_rng);
    }
    bool Chance(std::size_t percent) { return Pick(100) < percent; }
    std::string OneOf(const std::vector<std::string>& pool) { return pool[Pick(pool.size())]; }
    std::string AnyCase(std::string text) {
        for (char& c : text) {
            c = Chance(40) ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
        }
        return text;
    }
    std::string Indent() { return OneOf({"", "  ", "    ", "\t"}); }
    std::string Equals() { return OneOf({" = ", "=", " =  ", "\t=\t"}); }
    std::string Name() { return AnyCase(OneOf({"MAIN", "S1", "P1", "VOL", "COMP", "G1", "D1"})); }
    std::string Number() { return OneOf({"0.3", "1e-3", "-2", "17", "2.0", "0.25"}); }
    std::string Word() {
        return Chance(40) ? Name()
                          : OneOf({"0.3", "1e-3", "17", "1-40:3", "mma", "Csa", "volume", "density",
                                   "LESS_EQUAL", "Models/Arm.inp", "two words"});
    }
    // Words separated by commas, now and then continued on the next line.
    std::string Value(std::size_t words) {
        std::string value = words > 0 ? Word() : "";
        for (std::size_t i = 1; i < words; ++i) {
            value += (Chance(25) ? ",\n" + Indent() + " " : OneOf({", ", ","})) + Word();
        }
        return Chance(10) ? value + "," : value;
    }
    std::string ListPiece(bool first) {
        if ((first || !_plain) && Chance(10)) {
            return AnyCase(OneOf({"ID_NAME", "type", "Colour", "LIST_BEGIN", "DEF_TYPE"})) + "=" +
                   OneOf({"OPER", Name(), Number()});
        }
        return OneOf({"1-10", "12", "20-40:2", "7", "a", "Mixed", ""});
    }
    std::string List() {
        std::string line = AnyCase("LIST_BEGIN") + Equals() + ListPiece(true);
        for (std::size_t i = Pick(5); i > 0; --i) {
            line += (Chance(40) ? ",\n" + Indent() + " " : ", ") + ListPiece(false);
        }
        return line;
    }
    std::string Line(const std::string& type, bool oper) {
        const auto& keys = KestCmdItemDefs::default_item_names;
        std::vector<std::string> lines{
            "# " + Word() + " = " + Word(), "", List(), List(),
            AnyCase(keys[Pick(keys.size())]) + Equals() + Value(Pick(4)),
            AnyCase(keys[Pick(keys.size())]) + Equals() + Value(Pick(4)),
            // Their value is kept as given but comes back under VALUE, which upper-cases: a plain
            // job keeps to values without letters.
            AnyCase(OneOf({"LE_VALUE", "GE_VALUE"})) + Equals() +
                (_plain ? OneOf({"0.3", "-2", "17"}) : Word())};
        if (oper) {
            const std::string reference = AnyCase("REFERENCE") + Equals() + AnyCase("DRESP, ");
            lines.push_back(reference + Name() + ", " + Number());
            lines.push_back(reference + Name());
        }
        if (type == "OPT_PARAM") {
            lines.push_back("REFERENCE = " + Name());
        }
        if (!_plain) {
            lines.push_back(Word()); // no '=': a placeholder
            lines.push_back(AnyCase(OneOf({"DEF_TYPE", "Colour", "WEIGHT", "END_"})) + Equals() +
                            Value(Pick(3)));
        }
        return OneOf(lines);
    }
    std::string Block(bool last) {
        const auto& names = KestCmdDefs::get_default_cmd_names();
        std::string type = Chance(50) ? OneOf({"DRESP", "OPERATOR", "OPTIMIZE", "STOP", "OPT_PARAM",
                                               "DV", "DV_UPDATE_PARAM"})
                                      : names[Pick(names.size())];
        if (!_plain && Chance(15)) {
            type = OneOf({"MATERIAL", "DV_TOPO", "Frobnicate", "SET A"});
        }
        const bool oper = type == "OPERATOR" || (type == "DRESP" && Chance(40));
        std::string text = Indent() + AnyCase(type) + "\n";
        if (Chance(80)) {
            text += "  " + AnyCase("ID_NAME") + Equals() + Name() + "\n";
        }
        if (oper && type == "DRESP") {
            text += "  DEF_TYPE = OPER\n"; // its placeholder text is upper case already
        }
        for (std::size_t i = Pick(7); i > 0; --i) {
            text += Indent() + Line(type, oper) + "\n";
        }
        if (last && Chance(20)) {
            return text; // the end of the file closes the block
        }
        return text + Indent() + OneOf({"END_", "end_", "End_" + type, "END_" + type}) + "\n";
    }

    std::mt19937 _rng;
    bool _plain;
};

} // namespace

TEST_F(RoundTrip, ExampleJobsAreStableAfterOneRewrite) {
    std::vector<fs::path> jobs;
    for (const auto& entry : fs::directory_iterator(KEST_EXAMPLES_DIR)) {
        if (entry.path().extension() == ".par") {
            jobs.push_back(entry.path());
        }
    }
    std::sort(jobs.begin(), jobs.end());
    ASSERT_FALSE(jobs.empty());
    for (const fs::path& job : jobs) {
        SCOPED_TRACE(job.filename().string());
        const auto w = Rewrites(job);
        EXPECT_EQ(w[0], w[1]);
        EXPECT_EQ(w[2], w[3]);
        if (job.filename() == "operators.par") {
            // The operator job reaches what it is there for: a default weight, and the stop
            // criterion and settings linked to the optimizer.
            EXPECT_NE(w[0].find("  COEFFICIENT = 1.0\n  COEFFICIENT = 2.0\n"), std::string::npos);
            EXPECT_NE(w[0].find("  STOP = CONVERGENCE\n  OPT_PARAM = SETTINGS\n"),
                      std::string::npos);
        }
    }
}

// Parse reads most blocks line by line without holding them; reading the tokens of the whole
// file first must give the same job.
TEST_F(RoundTrip, RandomJobsSettleAfterTwoRewritesAndPlainOnesAfterOne) {
    int operators = 0;
    int changed = 0;
    for (unsigned seed = 1; seed <= 240 && !HasFailure(); ++seed) {
        const bool plain = seed % 2 == 0;
        const std::string text = JobText(seed, plain).Make();
        const fs::path job = Job(text);
        const auto w = Rewrites(job);
        const std::string trace = "seed " + std::to_string(seed) + ", job:\n" + text;
        if (plain) {
            EXPECT_TRUE(w[0] == w[1]) << trace << "\n--- w1\n" << w[0] << "--- w2\n" << w[1];
        }
        EXPECT_TRUE(w[2] == w[3]) << trace << "\n--- w3\n" << w[2] << "--- w4\n" << w[3];
        changed += w[0] != w[1];
        operators += w[0].find("\nOPERATOR\n") != std::string::npos &&
                     w[0].find("  COEFFICIENT = ") != std::string::npos;

        const KestParFileAdapter reader(job.wstring(), KestCmdIoConfig());
        KestCmdContainer read;
        reader.Read(KestParFile(job.wstring()), read);
        reader.Complete(read);
        EXPECT_EQ(test_support::written(read), w[0]) << trace;
    }
    // The generator does reach what it is meant to.
    EXPECT_GT(operators, 20) << operators;
    EXPECT_GT(changed, 20) << changed;
}

TEST_F(RoundTrip, AnUnknownKeyIsLostAndItsValueUpperCasedOnTheSecondRead) {
    const auto w = Rewrites(Job("dv\n  id_name = d\n  Colour = dark Red\nend_\n"));
    const std::string update = "DV_UPDATE_PARAM\n  ID_NAME = __DEFAULT_DV_UPDATE_PARAM\n"
                               "  VALUE = 0.25\n  STRATEGY = CSA\nEND_\n\n";
    EXPECT_EQ(w[0], "\nDV\n  ID_NAME = D\n  PLACEHOLDER = dark Red\nEND_\n\n" + update + "\n");
    EXPECT_EQ(w[1], "\nDV\n  ID_NAME = D\n  PLACEHOLDER = DARK RED\nEND_\n\n" + update + "\n");
    EXPECT_EQ(w[2], w[1]);
}

TEST_F(RoundTrip, AListPieceHoldingAnEqualsSignComesBackAsALineOfItsOwn) {
    const auto w =
        Rewrites(Job("GROUP_DEF\n  ID_NAME = g\n  LIST_BEGIN = 1-5, type=node, 9\nEND_\n"));
    EXPECT_NE(w[0].find("  LIST_BEGIN = 1-5,\n  type=node,\n  9\n"), std::string::npos) << w[0];

    KestCmdContainer again;
    KestParFileAdapter((dir / "w1.par").wstring(), KestCmdIoConfig()).Parse(again);
    const KestCmd& group = again.GetCommand(KestCmdDefs::GROUP_DEF, 0);
    ASSERT_EQ(group.Items(KestCmdItemDefs::LIST_BEGIN).size(), 1u);
    EXPECT_EQ(group.Item(KestCmdItemDefs::LIST_BEGIN, 0).GetString(), "1-5,");
    ASSERT_EQ(group.Items(KestCmdItemDefs::TYPE).size(), 1u);
    EXPECT_EQ(group.Item(KestCmdItemDefs::TYPE, 0).GetString(), "NODE,\n  9");
    EXPECT_EQ(w[1], w[2]);
}
