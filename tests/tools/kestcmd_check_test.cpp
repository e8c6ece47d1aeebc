// kestcmd check over several files, folders and standard input, with schemas, ignored codes, an
// exit threshold and its three forms (text with carets, JSON, SARIF); kestcmd schema.
#include "run_kestcmd.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using test_support::Outcome;
using Kestcmd = test_support::Kestcmd;

namespace {

// A DV with a key it does not take (a warning) and a name of nothing (an error).
const std::string mistaken = "DV\n  ID_NAME = d\n  ITER_MAX = 5\nEND_\n"
                             "OBJ_FUNC\n  ID_NAME = o\n  DRESP = nothing\nEND_\n";
const std::string warned = "STOP\n  ID_NAME = s\n  ITER_MAX = 3O\nEND_\n";

TEST_F(Kestcmd, CheckTakesFilesFoldersAndStandardInput) {
    fs::create_directories(dir / "jobs");
    Write("jobs/a.par", mistaken);
    Write("jobs/b.par", warned);
    Write("jobs/notes.txt", "not a job");
    const fs::path single = Write("single.par", warned);
    const Outcome all = run("check --color never " + (dir / "jobs").string() + " " +
                            single.string() + " - <" + single.string());
    EXPECT_EQ(all.status, 1);
    for (const std::string& file :
         {(dir / "jobs" / "a.par").string() + ":3:3: warning",
          (dir / "jobs" / "a.par").string() + ":7:11: error",
          (dir / "jobs" / "b.par").string() + ":3:14: warning", single.string() + ":3:14: warning",
          std::string("-:3:14: "), std::string(" 3 |   ITER_MAX = 3O\n   |              ^^\n")}) {
        EXPECT_NE(all.out.find(file), std::string::npos) << file << "\n" << all.out;
    }
    EXPECT_EQ(all.out.find("notes.txt"), std::string::npos);

    // The exit status follows the threshold; ignored codes are left out.
    EXPECT_EQ(run("check --severity error " + single.string()).status, 0);
    EXPECT_EQ(run("check --severity error " + (dir / "jobs" / "a.par").string()).status, 1);
    const Outcome ignored =
        run("check --ignore wrong-reading " + single.string() + " --ignore missing-name");
    EXPECT_EQ(ignored.status, 0);
    EXPECT_EQ(ignored.out, "");
    EXPECT_EQ(run("check --ignore no-such-code " + single.string()).status, 64);
    EXPECT_EQ(run("check --severity fatal " + single.string()).status, 64);

    // Colour only when asked for (the output is no terminal here) and never under NO_COLOR.
    EXPECT_NE(run("check --color always " + single.string()).out.find("\033[1;35mwarning"),
              std::string::npos);
    EXPECT_EQ(run("check " + single.string()).out.find('\033'), std::string::npos);
}

TEST_F(Kestcmd, CheckWritesJsonAndSarif) {
    const fs::path job = Write("job.par", mistaken);
    const nlohmann::json list =
        nlohmann::json::parse(run("check --format json " + job.string()).out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]["severity"], "error");
    EXPECT_EQ(list[1]["code"], "unknown-name");
    EXPECT_FALSE(list[0].contains("fix"));

    const Outcome sarif = run("check --format sarif " + job.string());
    EXPECT_EQ(sarif.status, 1);
    const nlohmann::json log = nlohmann::json::parse(sarif.out);
    EXPECT_EQ(log["version"], "2.1.0");
    const nlohmann::json& run0 = log["runs"][0];
    EXPECT_EQ(run0["tool"]["driver"]["name"], "kestcmd");
    const nlohmann::json& rules = run0["tool"]["driver"]["rules"];
    ASSERT_EQ(run0["results"].size(), 2u);
    const nlohmann::json& error = run0["results"][1];
    EXPECT_EQ(error["level"], "error");
    EXPECT_EQ(rules[error["ruleIndex"].get<std::size_t>()]["id"], error["ruleId"]);
    EXPECT_EQ(
        error["locations"][0]["physicalLocation"]["region"],
        nlohmann::json({{"startLine", 7}, {"startColumn", 11}, {"endLine", 7}, {"endColumn", 18}}));
    EXPECT_NE(error["locations"][0]["physicalLocation"]["artifactLocation"]["uri"]
                  .get<std::string>()
                  .find("job.par"),
              std::string::npos);

    // A suggestion comes with its fix.
    const fs::path typo = Write("typo.par", "DRESP\n  ID_NAME = vol\nEND_\nOBJ_FUNC\n"
                                            "  ID_NAME = o\n  DRESP = vul\nEND_\n");
    const nlohmann::json fixed =
        nlohmann::json::parse(run("check --format sarif " + typo.string()).out);
    const nlohmann::json& fix = fixed["runs"][0]["results"][0]["fixes"][0];
    EXPECT_EQ(fix["artifactChanges"][0]["replacements"][0]["insertedContent"]["text"], "vol");
}

TEST_F(Kestcmd, CheckAndSchemaFollowTheSettings) {
    const fs::path job = Write("job.par", warned);
    Write("strict.json", R"({"blocks": {"STOP": {"keys": {"ITER_MAX": {"max": 2}}}}})");
    Write(".kestcmd.json", R"({"schema": "strict.json", "ignore": ["wrong-reading"]})");
    const Outcome followed = run("check " + job.string());
    EXPECT_EQ(followed.status, 0) << followed.out;
    Write("fixed.par", "STOP\n  ID_NAME = s\n  ITER_MAX = 3\nEND_\n");
    EXPECT_NE(run("check " + (dir / "fixed.par").string()).out.find("[out-of-range]"),
              std::string::npos);
    Write("more.json", R"({"blocks": {"STOP": {"keys": {"ITER_MAX": {"max": 5}}}}})");
    EXPECT_EQ(
        run("check --schema " + (dir / "more.json").string() + " " + (dir / "fixed.par").string())
            .status,
        0);
    Write("broken.json", R"({"blocks": {"STOP": {"closd": true}}})");
    const Outcome broken =
        run("check --schema " + (dir / "broken.json").string() + " " + job.string());
    EXPECT_EQ(broken.status, 64);
    EXPECT_NE(broken.err.find("blocks.STOP: has no member 'closd'"), std::string::npos);

    const nlohmann::json effective = nlohmann::json::parse(run("schema " + job.string()).out);
    EXPECT_EQ(effective["blocks"]["STOP"]["keys"]["ITER_MAX"]["max"], 2);
    EXPECT_EQ(effective["blocks"]["STOP"]["keys"]["ITER_MAX"]["source"], "user");
    EXPECT_EQ(effective["keys"]["DRESP"]["source"], "format");
    EXPECT_NE(run("schema --format markdown").out.find("## OPT_PARAM"), std::string::npos);
}

} // namespace
