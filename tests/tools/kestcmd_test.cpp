// The command-line tool as its users run it: exit statuses, messages and outputs.
#include "run_kestcmd.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using test_support::Kestcmd;
using test_support::Outcome;

const std::string example = std::string(KEST_EXAMPLES_DIR) + "/topology.par";

} // namespace

TEST_F(Kestcmd, CompleteWritesTheCompletedJob) {
    const Outcome printed = run("complete " + example);
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_NE(printed.out.find("DV_UPDATE_PARAM\n  ID_NAME = __DEFAULT_DV_UPDATE_PARAM\n"),
              std::string::npos);

    const Outcome written = run("complete " + example + " -o " + (dir / "out.par").string());
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(test_support::slurp(dir / "out.par"), printed.out);

    const Outcome unwritable = run("complete " + example + " -o /nonexistent-dir/out.par");
    EXPECT_EQ(unwritable.status, 3);
    EXPECT_NE(unwritable.err.find("/nonexistent-dir/out.par"), std::string::npos);
}

TEST_F(Kestcmd, ChangesListWhatCompletionAdded) {
    const fs::path job =
        Write("job.par",
              "DRESP\n  ID_NAME = vol\n  TYPE = VOLUME\nEND_\n\nOPTIMIZE\n  ID_NAME = opt\nEND_\n");
    const Outcome changes = run("complete --changes " + job.string());
    EXPECT_EQ(changes.status, 0);
    for (const char* line :
         {"1: DRESP VOL: added UPDATE_TYPE = CALCULATED", "1: DRESP VOL: added LOADCASE = 1",
          "(created): DV_UPDATE_PARAM __DEFAULT_DV_UPDATE_PARAM: created",
          "6: OPTIMIZE OPT: added DV_UPDATE_PARAM = __DEFAULT_DV_UPDATE_PARAM"}) {
        EXPECT_NE(changes.out.find(job.string() + ":" + line + "\n"), std::string::npos)
            << changes.out;
    }
    EXPECT_EQ(changes.out.find("ID_NAME = VOL"), std::string::npos); // nothing the file had
}

TEST_F(Kestcmd, CheckReportsEachKindOfProblemOnItsLine) {
    const fs::path job = Write("job.par",
                               "DV\n  ID_NAME = dv1\n  GRUOP = g1\n  DRESP = volme\nEND_\n" // 1-5
                               "DRSP\n  ID_NAME = volume\n  stray line\nEND_\n"             // 6-9
                               "DRESP\n  ID_NAME = r1\nEND_\nDRESP\n  ID_NAME = r1\nEND_\n" // 10-15
                               "STOP\n  ITER_MAX = 10\nEND_\n");                            // 16-18
    const Outcome check = run("check " + job.string());
    EXPECT_EQ(check.status, 1);
    std::string expected;
    for (const char* problem :
         {"3:3: warning: unknown key 'GRUOP', its value is read as PLACEHOLDER; did you mean "
          "'GROUP'? [unknown-key]",
          "4:11: warning: DRESP = volme names no command of the job; did you mean 'VOLUME'? "
          "[unknown-name]",
          "6:1: warning: unknown block keyword 'DRSP', read as CMD_PLACEHOLDER; did you mean "
          "'DRESP'? [unknown-keyword]",
          "8:3: warning: line without '=' (a forgotten END_?) is read as PLACEHOLDER = stray "
          "line [missing-equals]",
          "14:13: warning: a DRESP named 'R1' already stands at line 10; only the first is ever "
          "linked [duplicate-name]",
          "16:1: warning: block 'STOP' has no ID_NAME; nothing can refer to it [missing-name]"}) {
        expected += job.string() + ":" + problem + "\n";
    }
    EXPECT_EQ(check.out, expected);

    const Outcome json = run("check --json " + job.string());
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"code\": \"duplicate-name\""), std::string::npos);
    EXPECT_NE(json.out.find("\"line\": 14"), std::string::npos);
    EXPECT_NE(json.out.find("\"end_column\": 15"), std::string::npos);
    EXPECT_NE(json.out.find("\"severity\": \"warning\""), std::string::npos);

    EXPECT_EQ(run("check " + example).status, 0);
}

TEST_F(Kestcmd, CheckTellsALineWithoutAKeyFromALineWithoutEquals) {
    const fs::path job = Write("job.par", "DV\n  ID_NAME = a\n  = 0.5\n  0.5\nEND_\n");
    const Outcome check = run("check " + job.string());
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, job.string() +
                             ":3:3: warning: line without a key before its '=' is read as "
                             "PLACEHOLDER = 0.5 [missing-key]\n" +
                             job.string() +
                             ":4:3: warning: line without '=' (a forgotten END_?) is read as "
                             "PLACEHOLDER = 0.5 [missing-equals]\n");
}

TEST_F(Kestcmd, BadFilesGiveOneLineAndTheirStatus) {
    const Outcome missing = run("check " + (dir / "missing.par").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_NE(missing.err.find("missing.par"), std::string::npos);

    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 7919 + 13) % 256);
    }
    const fs::path binary = Write("garbage.par", garbage);
    for (const char* command : {"check", "complete", "show", "show --json", "graph"}) {
        const Outcome r = run(std::string(command) + " " + binary.string());
        EXPECT_LE(r.status, 1) << command << ": " << r.err;
    }
    const fs::path empty = Write("empty.par", "");
    EXPECT_EQ(run("check " + empty.string()).status, 0);
    EXPECT_EQ(run("complete " + empty.string()).status, 0);

    EXPECT_EQ(run("frobnicate").status, 64);
    EXPECT_EQ(run("check").status, 64);
    EXPECT_EQ(run("--version").out, "kestcmd " KEST_VERSION_TEXT "\n");
    EXPECT_EQ(run("check --help").status, 0);
}

TEST_F(Kestcmd, OutputThatCannotBeWrittenExits3) {
    const fs::path job = Write("job.par", "DV\n  ID_NAME = a\n  GRUOP = 1\nEND_\n");
    for (const char* command : {"check", "check --json", "show", "graph", "complete"}) {
        EXPECT_EQ(run(std::string(command) + " " + job.string() + " >/dev/full").status, 3)
            << command;
    }
    // A file-size limit fails the write instead of ending the process; the reason is told.
    const Outcome limited =
        run("complete " + example + " -o " + (dir / "out.par").string(), "ulimit -f 1");
    EXPECT_EQ(limited.status, 3);
    EXPECT_NE(limited.err.find("File too large"), std::string::npos) << limited.err;
}

TEST_F(Kestcmd, ShowAndGraphDescribeTheCompletedModel) {
    const Outcome text = run("show " + example);
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("DV DV_DENSITY (line 22)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  GROUP = DESIGN_SPACE  [-> GROUP_DEF DESIGN_SPACE]\n"),
              std::string::npos);
    EXPECT_NE(text.out.find("DV_UPDATE_PARAM __DEFAULT_DV_UPDATE_PARAM (created)\n"),
              std::string::npos);

    const Outcome json = run("show --json " + example);
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"reference\": {\n"), std::string::npos);
    EXPECT_NE(json.out.find("\"integer_list\""), std::string::npos);
    EXPECT_NE(json.out.find("\"created\": true"), std::string::npos);

    const fs::path job = Write("job.par", "DV\n  ID_NAME = a\n  DRESP = ghost\nEND_\n");
    // Commands and items read carry where they stand; what completion made carries nothing.
    const nlohmann::json model = nlohmann::json::parse(run("show --json " + job.string()).out);
    for (const auto& cmd : model["commands"]) {
        if (cmd["type"] == "DV") {
            EXPECT_EQ(cmd["line"], 1);
            EXPECT_EQ(cmd["column"], 1);
            EXPECT_EQ(cmd["end_line"], 4);
            const auto& name = cmd["items"][0];
            EXPECT_EQ(name["kind"], "ID_NAME");
            EXPECT_EQ(
                (std::vector<int>{name["line"], name["column"], name["value_line"],
                                  name["value_column"], name["end_line"], name["end_column"]}),
                (std::vector<int>{2, 3, 2, 13, 2, 14}));
        } else {
            EXPECT_TRUE(cmd["line"].is_null());
            for (const auto& item : cmd["items"]) {
                EXPECT_FALSE(item.contains("line"));
            }
        }
    }
    const Outcome graph = run("graph " + job.string());
    EXPECT_EQ(graph.status, 0);
    EXPECT_EQ(graph.out.rfind("digraph job {", 0), 0u);
    EXPECT_NE(graph.out.find("[label=\"GHOST\", style=dashed, color=red"), std::string::npos)
        << graph.out;
    EXPECT_NE(graph.out.find("(created)"), std::string::npos);
    EXPECT_NE(graph.out.find("(unreferenced)"), std::string::npos);
}

TEST_F(Kestcmd, EverySubcommandGivesTheSameOutputOnAnyNumberOfThreads) {
    // A job large enough to be read in parts, with warnings in each part.
    std::string text;
    for (int i = 0; i < 12000; ++i) {
        const std::string n = std::to_string(i);
        text += "GROUP_DEF\n  ID_NAME = g" + n + "\n  GROUP = " + (i % 3000 == 0 ? "1-10:0" : n) +
                "\nEND_\nDV\n  ID_NAME = dv" + n + "\n  GROUP = g" + n + "\nEND_\n";
    }
    const fs::path job = Write("job.par", text);
    // The warnings without their time and process.
    const auto messages = [](const std::string& err) {
        std::string kept;
        std::istringstream lines(err);
        for (std::string line; std::getline(lines, line);) {
            kept += line.substr(std::min(line.find("] "), line.size())) + '\n';
        }
        return kept;
    };
    for (const std::string subcommand : {"complete", "check", "show", "graph"}) {
        const Outcome one = run(subcommand + " --threads 1 " + job.string());
        const Outcome three = run(subcommand + " --threads 3 " + job.string());
        EXPECT_EQ(three.status, one.status) << subcommand;
        EXPECT_TRUE(three.out == one.out) << subcommand;
        EXPECT_NE(messages(one.err).find("Invalid stepsize 0"), std::string::npos) << subcommand;
        EXPECT_EQ(messages(three.err), messages(one.err)) << subcommand;
    }
}
