// Check: each kind of mistake gives its finding on its line with the severity its source gives,
// the examples give no errors, settings and schemas are laid over the built-in ones, and
// "did you mean" stays within the right set.
#include "engine/io/KestParCheck.h"
#include "engine/io/detail/Suggestions.h"
#include "utilities/ZUL_LogMacros.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::vector<KestParDiagnostic> check(const std::string& text,
                                     const KestParCheckSettings& settings = {}) {
    return check_par_document(read_document_to_check(text), settings);
}

// The finding of `code` on `line`, or null.
const KestParDiagnostic* on_line(const std::vector<KestParDiagnostic>& found,
                                 const std::string& code, std::size_t line) {
    for (const KestParDiagnostic& d : found) {
        if (d.code == code && d.start.line == line) {
            return &d;
        }
    }
    return nullptr;
}

const std::string planted = "GROUP_DEF\n  ID_NAME = design\n  LIST_BEGIN = 700-650\nEND_\n" // 1-4
                            "GROUP_DEF\n  ID_NAME = g2\n  LIST_BEGIN = 600-abc\nEND_\n"     // 5-8
                            "GROUP_DEF\n  ID_NAME = g3\n  LIST_BEGIN = 800-900:0\nEND_\n"   // 9-12
                            "DV\n  ID_NAME = dv1\n  GROUP = design\n  ITER_MAX = 5\nEND_\n" // 13-17
                            "DRESP\n  ID_NAME = vol\n  TYPE = VOLUME\nEND_\n"               // 18-21
                            "CONSTRAINT\n  ID_NAME = c1\n  DRESP = vol\n  MAGNITUDE = RELL\n"
                            "  LE_VALUE = 0.3\nEND_\n"                                      // 22-27
                            "OBJ_FUNC\n  ID_NAME = obj\n  DRESP = c1\n  TYPE = MIN\nEND_\n" // 28-32
                            "OPT_PARAM\n  ID_NAME = p\n  STRATEGY = bogus\n  MIN = 0.1\n"
                            "  REFERENCE = opt\nEND_\n"                                  // 33-38
                            "STOP\n  ID_NAME = stop\n  ITER_MAX = 3O\nEND_\n"            // 39-42
                            "OPTIMIZE\n  ID_NAME = opt\n  OBJ_FUNC = obj\n  DV = dv1\n"; // 43-46

TEST(Check, EachPlantedMistakeOnItsLineWithItsSeverity) {
    const std::vector<KestParDiagnostic> found = check(planted);
    const struct {
        const char* code;
        std::size_t line;
        KestSeverity severity;
    } expected[] = {
        {"descending-range", 3, KestSeverity::warning},
        {"bad-integer-list", 7, KestSeverity::warning},
        {"zero-step", 11, KestSeverity::warning},
        {"key-not-allowed", 16, KestSeverity::warning}, // ITER_MAX in a DV
        {"unknown-value", 25, KestSeverity::warning},   // MAGNITUDE = RELL
        // The objective's response names a CONSTRAINT: it is linked, to a command of the wrong
        // type (the reader's reading of DRESP items), so it is an error.
        {"wrong-type", 30, KestSeverity::error},
        // No keyword at all: the default rules do not copy it (the format), so an error.
        {"unknown-value", 35, KestSeverity::error},
        {"wrong-reading", 41, KestSeverity::warning}, // ITER_MAX = 3O
        {"unclosed-block", 43, KestSeverity::warning},
    };
    for (const auto& e : expected) {
        const KestParDiagnostic* d = on_line(found, e.code, e.line);
        ASSERT_NE(d, nullptr) << e.code << " on line " << e.line;
        EXPECT_EQ(d->severity, e.severity) << d->message;
    }
    EXPECT_EQ(found.size(), std::size(expected));

    const KestParDiagnostic& rell = *on_line(found, "unknown-value", 25);
    EXPECT_NE(rell.message.find("did you mean 'REL'?"), std::string::npos) << rell.message;
    ASSERT_TRUE(rell.fix);
    EXPECT_EQ(rell.fix->text, "REL");
    EXPECT_EQ(rell.start, (KestTextPosition{25, 15}));
    EXPECT_EQ(rell.end, (KestTextPosition{25, 19}));

    const KestParDiagnostic& wrong = *on_line(found, "wrong-type", 30);
    EXPECT_EQ(wrong.message, "DRESP = c1 names the CONSTRAINT c1, not a DRESP or OPERATOR");
    ASSERT_EQ(wrong.related.size(), 1u);
    EXPECT_EQ(wrong.related[0].start, (KestTextPosition{23, 13}));

    const KestParDiagnostic& open = *on_line(found, "unclosed-block", 43);
    ASSERT_TRUE(open.fix);
    EXPECT_EQ(open.fix->start, (KestTextPosition{47, 1}));
    EXPECT_EQ(open.fix->text, "END_\n");
}

TEST(Check, NamesAreSuggestedOfTheRightTypeOnly) {
    // "min_obj" is the OPTIMIZE's name, which the objective's item links to; the suggestion is
    // the nearest OBJ_FUNC.
    const std::vector<KestParDiagnostic> found =
        check("OBJ_FUNC\n  ID_NAME = min_obx\nEND_\nOPTIMIZE\n  ID_NAME = min_obj\n"
              "  OBJ_FUNC = min_obj\nEND_\n");
    const KestParDiagnostic* name = on_line(found, "wrong-type", 6);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->message, "OBJ_FUNC = min_obj names the OPTIMIZE min_obj, not an OBJ_FUNC; "
                             "did you mean 'min_obx'?");
    ASSERT_TRUE(name->fix);
    EXPECT_EQ(name->fix->start, (KestTextPosition{6, 14}));

    // A name one piece of a longer value is named as such; an operator's reference stands for
    // its piece.
    const std::vector<KestParDiagnostic> operators =
        check("DRESP\n  ID_NAME = side\n  TYPE = VOLUME\nEND_\nDRESP\n  ID_NAME = sum\n"
              "  DEF_TYPE = OPER\n  REFERENCE = DRESP, side\n  REFERENCE = DRESP, sidd, 2\nEND_\n");
    const KestParDiagnostic* whole = on_line(operators, "unknown-name", 8);
    ASSERT_NE(whole, nullptr);
    EXPECT_NE(whole->message.find("read as one name, of which 'side' is a piece"),
              std::string::npos)
        << whole->message;
    EXPECT_EQ(whole->severity, KestSeverity::warning); // the project's reading of REFERENCE
    const KestParDiagnostic* piece = on_line(operators, "unknown-name", 9);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->start, (KestTextPosition{9, 22}));
    EXPECT_EQ(piece->end, (KestTextPosition{9, 26}));
}

// Check holds the syntax of one block at a time: findings that name places in blocks far
// before or after the one checked still stand where the text says.
TEST(Check, FindingsNameTheirPlacesAcrossALongJob) {
    std::string text;
    std::size_t line = 1;
    const auto add = [&](const std::string& block) {
        const std::size_t at = line;
        text += block;
        line += static_cast<std::size_t>(std::count(block.begin(), block.end(), '\n'));
        return at;
    };
    // An objective near the start that names a DRESP far after it, which is a CONSTRAINT, and a
    // volume response named twice with 300 blocks (more than a thousand lines) between.
    const std::size_t objective = add("OBJ_FUNC\n  ID_NAME = obj\n  DRESP = Far_Away\nEND_\n");
    const std::size_t first = add("DRESP\n  ID_NAME = Twice\n  TYPE = VOLUME\nEND_\n");
    for (int i = 0; i < 300; ++i) {
        add("# group " + std::to_string(i) + "\nGROUP_DEF\n  ID_NAME = g" + std::to_string(i) +
            "\n  TYPE = ELEMENT\nEND_\n");
    }
    const std::size_t far = add("CONSTRAINT\n   ID_NAME =  Far_Away \n  DRESP = twice\nEND_\n");
    const std::size_t again = add("DRESP\n ID_NAME = TWICE\n  TYPE = VOLUME\nEND_\n");
    const std::size_t dangling = add("CONSTRAINT\n  ID_NAME = c2\n  DRESP = Twise\nEND_\n");
    const std::vector<KestParDiagnostic> found = check(text);

    const KestParDiagnostic* wrong = on_line(found, "wrong-type", objective + 2);
    ASSERT_NE(wrong, nullptr);
    EXPECT_EQ(wrong->message.substr(0, 46), "DRESP = Far_Away names the CONSTRAINT Far_Away");
    ASSERT_EQ(wrong->related.size(), 1u);
    EXPECT_EQ(wrong->related[0].start, (KestTextPosition{far + 1, 15}));
    EXPECT_EQ(wrong->related[0].end, (KestTextPosition{far + 1, 23}));

    const KestParDiagnostic* twice = on_line(found, "duplicate-name", again + 1);
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice->start, (KestTextPosition{again + 1, 12}));
    EXPECT_NE(twice->message.find("already stands at line " + std::to_string(first)),
              std::string::npos)
        << twice->message;
    ASSERT_EQ(twice->related.size(), 1u);
    EXPECT_EQ(twice->related[0].start, (KestTextPosition{first + 1, 13}));

    const KestParDiagnostic* unknown = on_line(found, "unknown-name", dangling + 2);
    ASSERT_NE(unknown, nullptr);
    ASSERT_TRUE(unknown->fix);
    EXPECT_EQ(unknown->fix->text, "Twice"); // as the first DRESP of that name writes it
}

TEST(Check, RequiredRepeatedAndUnknownKeys) {
    const std::vector<KestParDiagnostic> found =
        check("OBJ_FUNC\n  ID_NAME = o\n  TYPE = MIN\n  TYPE = MAX\n  TYPPE = MIN\n  = 3\nEND_\n"
              "OPTIMIZE\n  ID_NAME = opt\n  OBJ_FUNC = o\n  DV = a\n  DV = b\nEND_\n");
    const KestParDiagnostic* missing = on_line(found, "required-key", 1);
    ASSERT_NE(missing, nullptr);
    EXPECT_NE(missing->message.find("has no DRESP"), std::string::npos);
    const KestParDiagnostic* again = on_line(found, "repeated-key", 4);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->related.at(0).start, (KestTextPosition{3, 3}));
    const KestParDiagnostic* typo = on_line(found, "unknown-key", 5);
    ASSERT_NE(typo, nullptr);
    EXPECT_EQ(typo->fix->text, "TYPE");
    const KestParDiagnostic* keyless = on_line(found, "missing-key", 6);
    ASSERT_NE(keyless, nullptr);
    EXPECT_EQ(keyless->message, "line without a key before its '=' is read as PLACEHOLDER = 3");
    EXPECT_EQ(on_line(found, "repeated-key", 12), nullptr); // an OPTIMIZE takes several DV
}

TEST(Check, ExamplesAndAReadJobGiveNoErrorsAndWarningsStayOffTheLog) {
    for (const char* example : {"topology.par", "operators.par"}) {
        const std::string text = test_support::slurp(fs::path(KEST_EXAMPLES_DIR) / example);
        for (const KestParDiagnostic& d : check(text)) {
            EXPECT_NE(d.severity, KestSeverity::error) << example << ": " << d.message;
        }
    }
    std::vector<std::string> logged;
    const auto previous = ZUL_LogMacros::set_sink(
        [&](const ZUL_LogMacros::LogRecord& record) { logged.push_back(record.message); });
    const std::string stepped = "GROUP_DEF\n  ID_NAME = g\n  LIST_BEGIN = 1-9:0\nEND_\n";
    const std::vector<KestParDiagnostic> found = check(stepped);
    EXPECT_TRUE(logged.empty());
    const KestParDocument plain(stepped); // other readers log as before
    EXPECT_FALSE(logged.empty());
    ZUL_LogMacros::set_sink(previous);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, "zero-step");
}

TEST(Check, SettingsAndSchemasLayOverTheBuiltIn) {
    KestParCheckSettings settings;
    settings.schema.Extend(R"({"blocks": {"STOP": {"closed": true, "keys": {"ITER_MAX": {}}},
                                          "DV": {"keys": {"ITER_MAX": {"reading": "integer",
                                                                      "max": 10}}}}})",
                           "mine.json");
    const std::string text = "STOP\n  ID_NAME = s\n  ITER_MAX = 5\n  DESCRIPTION = x\nEND_\n"
                             "DV\n  ID_NAME = d\n  ITER_MAX = 50\nEND_\n";
    const std::vector<KestParDiagnostic> found = check(text, settings);
    const KestParDiagnostic* closed = on_line(found, "key-not-allowed", 4);
    ASSERT_NE(closed, nullptr);
    EXPECT_EQ(closed->severity, KestSeverity::warning); // a user's fact
    EXPECT_NE(on_line(found, "out-of-range", 8), nullptr);
    EXPECT_EQ(on_line(found, "key-not-allowed", 8), nullptr); // DV lists ITER_MAX now

    settings.Extend(R"({"ignore": ["out-of-range"]})", "settings", ".");
    EXPECT_EQ(on_line(check(text, settings), "out-of-range", 8), nullptr);

    // The built-in schema reads back from its JSON to itself, and a user's mistakes are named.
    KestJobSchema again;
    again.Extend(KestJobSchema::Builtin().ToJson(), "again");
    EXPECT_EQ(again.ToJson(), KestJobSchema::Builtin().ToJson());
    const auto refused = [](const char* json) {
        try {
            KestJobSchema().Extend(json, "bad.json");
        } catch (const KestSchemaError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(refused(R"({"keys": {"X": {"reading": "intger"}}})"),
              "bad.json: keys.X.reading: 'intger' is no reading (integer, real, vector3d, text, "
              "integer-list, list, name, keyword)");
    EXPECT_EQ(refused(R"({"blocks": {"DVV": {}}})"),
              "bad.json: blocks.DVV: 'DVV' is no command type");
    EXPECT_EQ(refused(R"({"keys": {"X": {"reading": "name"}}})"),
              "bad.json: keys.X: a name needs its targets");
    EXPECT_EQ(refused("{"), "bad.json: is no JSON text");
    KestParCheckSettings unchanged;
    EXPECT_THROW(unchanged.Extend(R"({"ignore": ["no-such-code"]})", "s", "."), KestSchemaError);
    EXPECT_TRUE(unchanged.ignore.empty());
}

class CheckFiles : public test_support::TempDirTest {};

TEST_F(CheckFiles, TheNearestSettingsFileApplies) {
    const fs::path root = dir;
    fs::create_directories(root / "jobs" / "deep");
    std::ofstream(root / ".kestcmd.json") << R"({"ignore": ["missing-name"]})";
    std::ofstream(root / "jobs" / "mine.json") << R"({"keys": {"ITER_MAX": {"max": 9}}})";
    std::ofstream(root / "jobs" / ".kestcmd.json")
        << R"({"schema": "mine.json", "ignore": ["unclosed-block"]})";
    const KestParCheckSettings settings =
        KestParCheckSettings::ForFile((root / "jobs" / "deep" / "job.par").string());
    EXPECT_EQ(settings.ignore, (std::set<std::string, std::less<>>{"unclosed-block"}));
    EXPECT_EQ(settings.schema.Key(KestCmdDefs::STOP, "ITER_MAX")->bounds->max, 9.0);
    EXPECT_EQ(
        KestParCheckSettings::ForFile((root / "job.par").string()).ignore.count("missing-name"),
        1u);
}

TEST(Check, SuggestionIndexFindsNamesWithinItsBound) {
    using KestCheckDetail::SuggestionIndex;
    const SuggestionIndex index({"COMPLIANCE", "VOLUME", "DISP_X", "R12", "R123"});
    const auto closest = [&](const char* text) {
        const std::size_t i = index.Closest(text);
        return i == SuggestionIndex::none ? std::string() : index.Text(i);
    };
    EXPECT_EQ(closest("COMPLIANSE"), "COMPLIANCE"); // a substitution
    EXPECT_EQ(closest("VOLUMEE"), "VOLUME");        // an insertion
    EXPECT_EQ(closest("DISPX"), "DISP_X");          // a deletion
    EXPECT_EQ(closest("DSIP_X"), "DISP_X");         // two adjacent changes
    EXPECT_EQ(closest("R1234"), "R123");
    EXPECT_EQ(closest("VOLUME"), ""); // itself is no suggestion
    EXPECT_EQ(closest("WEIGHT"), "");
    // Names that share a variant beyond the bucket's bound are still found within it.
    std::vector<std::string> many;
    for (int i = 0; i < 100; ++i) {
        many.push_back("G" + std::to_string(i));
    }
    const SuggestionIndex crowded(many);
    const std::size_t near = crowded.Closest("G5X");
    ASSERT_NE(near, SuggestionIndex::none);
    EXPECT_EQ(KestCheckDetail::edit_distance("G5X", crowded.Text(near), 2), 1u);
}

} // namespace
