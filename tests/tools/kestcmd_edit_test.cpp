// fmt, get, set and unset as scripts run them: what they print, what they leave in the file,
// and their exit statuses.
#include "run_kestcmd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class KestcmdEdits : public test_support::Kestcmd {};
using test_support::Outcome;
using test_support::slurp;

const std::string job_text =
    "CONSTRAINT\n  ID_NAME = volume_limit\n  LE_VALUE = 0.3\nEND_\n"               // 1-4
    "GROUP_DEF\n  ID_NAME = ring\n  LIST_BEGIN = 1-100,   \n    200-300:2\nEND_\n" // 5-9
    "STOP\n  iter_max = 50   \nEND_\nSTOP\n  ID_NAME = twin\nEND_\n"               // 10-15
    "OPTIMIZE\n  ID_NAME = opt\n  CONSTRAINT = volume_limit\n  CONSTRAINT = c2\nEND_\n"
    "DRESP\n  ID_NAME = twin\nEND_\n"; // 21

// `text` with its first `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

TEST_F(KestcmdEdits, FmtPrintsChecksAndRewrites) {
    const std::string loose = "dv\n id_name=a\n\n end_\nstop\nEND_";
    const std::string laid_out = "DV\n  ID_NAME = a\nEND_\n\nSTOP\nEND_\n";
    const fs::path a = Write("a.par", loose);
    const fs::path b = Write("b.par", laid_out);
    EXPECT_EQ(run("fmt " + a.string()).out, laid_out);

    const Outcome checked = run("fmt --check " + a.string() + " " + b.string());
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, a.string() + "\n");
    EXPECT_EQ(slurp(a), loose);

    const Outcome missing = run("fmt -i " + a.string() + " " + (dir / "none.par").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("none.par"), std::string::npos);
    EXPECT_EQ(slurp(a), laid_out);
    EXPECT_EQ(run("fmt --check " + a.string() + " " + b.string()).status, 0);

    EXPECT_EQ(run("fmt " + a.string() + " " + b.string()).status, 64); // prints one file only
    EXPECT_EQ(run("fmt -i --check " + a.string()).status, 64);
}

TEST_F(KestcmdEdits, GetPrintsTheValueAsWritten) {
    const fs::path job = Write("job.par", job_text);
    const struct {
        const char* address;
        int status;
        std::string out; // or, for a failure, a part of the message
    } cases[] = {
        {"volume_limit.VALUE", 0, "0.3\n"},
        {"VOLUME_LIMIT.value", 0, "0.3\n"},
        {"ring.LIST_BEGIN", 0, "1-100,\n    200-300:2\n"},
        {"STOP[0].ITER_MAX", 0, "50\n"},
        {"stop[1].ID_NAME", 0, "twin\n"},
        {"opt.CONSTRAINT[1]", 0, "c2\n"},
        {"opt.CONSTRAINT[2]", 1, "the command has no CONSTRAINT[2]"},
        {"STOP[2].ITER_MAX", 1, "the text has 2 STOP blocks"},
        {"nobody.VALUE", 1, "no command is named 'NOBODY'"},
        {"twin.ID_NAME", 1, "names 2 commands: STOP[1] (line 13), DRESP[0] (line 21)"},
        {"opt.DV_UPDATE_PARAM", 1, "completion gives it '__DEFAULT_DV_UPDATE_PARAM'"},
        {"opt.VALEU", 1, "'VALEU' is no item kind"},
        {"opt", 64, "is no address"},
        {"opt.", 64, "is no address"},
        {"opt.ID_NAME[x]", 64, "[N]"},
        {"STOP[-1].ID_NAME", 64, "[N]"},
    };
    for (const auto& c : cases) {
        const Outcome got = run("get " + job.string() + " '" + c.address + "'");
        EXPECT_EQ(got.status, c.status) << c.address << ": " << got.err;
        if (c.status == 0) {
            EXPECT_EQ(got.out, c.out) << c.address;
        } else {
            EXPECT_EQ(got.out, "") << c.address;
            EXPECT_NE(got.err.find(c.out), std::string::npos) << c.address << ": " << got.err;
            EXPECT_EQ(std::count(got.err.begin(), got.err.end(), '\n'), 1) << got.err;
        }
    }
    // The file is looked for before the key: a missing file is what the message names.
    for (const char* address : {"a.VALUE", "a.VALEU"}) {
        const Outcome missing = run("get " + (dir / "none.par").string() + " " + address);
        EXPECT_EQ(missing.status, 2) << address;
        EXPECT_NE(missing.err.find("none.par"), std::string::npos) << missing.err;
    }
}

TEST_F(KestcmdEdits, SetAndUnsetChangeOnlyTheItemsLines) {
    const struct {
        const char* arguments;
        std::string text; // the whole file afterwards
    } cases[] = {
        {"set JOB 'STOP[0].ITER_MAX' 80", replaced(job_text, "= 50", "= 80")},
        {"set JOB twin.ID_NAME x", job_text}, // two commands: nothing written
        // A key the block lacks, and the item one past the key's lines, get a line.
        {"set JOB 'STOP[1].ITER_MAX' 9", replaced(job_text, "twin\n", "twin\n  ITER_MAX = 9\n")},
        {"set JOB 'opt.CONSTRAINT[2]' c3",
         replaced(job_text, "= c2\n", "= c2\n  CONSTRAINT = c3\n")},
        {"unset JOB opt.CONSTRAINT", replaced(job_text, "  CONSTRAINT = volume_limit\n", "")},
    };
    for (const auto& c : cases) {
        const fs::path job = Write("job.par", job_text);
        const Outcome edited = run(replaced(c.arguments, "JOB", job.string()));
        EXPECT_EQ(edited.status, c.text == job_text ? 1 : 0) << c.arguments << ": " << edited.err;
        EXPECT_EQ(slurp(job), c.text) << c.arguments;
    }

    // CRLF stays CRLF; -o leaves the job as it was.
    const std::string crlf = "STOP\r\n  ITER_MAX = 5\r\nEND_\r\n";
    const fs::path job = Write("crlf.par", crlf);
    const fs::path out = dir / "out.par";
    EXPECT_EQ(run("set " + job.string() + " STOP[0].ID_NAME s -o " + out.string()).status, 0);
    EXPECT_EQ(slurp(out), "STOP\r\n  ITER_MAX = 5\r\n  ID_NAME = s\r\nEND_\r\n");
    EXPECT_EQ(slurp(job), crlf);
}

// Items that share their line or have none of their own, and a last line without a line end.
TEST_F(KestcmdEdits, ItemsOfSharedLinesAreReadAndEditedAsTheirOwn) {
    const std::string text = "DRESP\n  ID_NAME = sum\n  DEF_TYPE = OPER\n"
                             "  REFERENCE = DRESP, a\n  REFERENCE = DRESP, b, 0.7\nEND_\n"
                             "CONSTRAINT\n  ID_NAME = c\n  LE_VALUE = 0.3\nEND_\n"
                             "STOP\n  ITER_MAX = 50";
    const fs::path job = Write("job.par", text);
    const std::pair<const char*, const char*> values[] = {
        {"sum.REFERENCE", "DRESP, a\n"}, {"sum.REFERENCE[1]", "b\n"}, {"sum.COEFFICIENT", "1.0\n"},
        {"sum.COEFFICIENT[1]", "0.7\n"}, {"c.TYPE", "LESS_EQUAL\n"},  {"c.VALUE", "0.3\n"},
    };
    for (const auto& [address, value] : values) {
        const Outcome got = run("get " + job.string() + " '" + address + "'");
        EXPECT_EQ(got.status, 0) << address << ": " << got.err;
        EXPECT_EQ(got.out, value) << address;
    }
    for (const char* address : {"sum.COEFFICIENT", "c.TYPE"}) {
        const Outcome refused = run("unset " + job.string() + " " + address);
        EXPECT_EQ(refused.status, 1) << address;
        EXPECT_NE(refused.err.find("has no text of its own"), std::string::npos) << refused.err;
        EXPECT_EQ(slurp(job), text);
    }
    EXPECT_EQ(run("set " + job.string() + " 'STOP[0].ITER_MAX[1]' 60").status, 0);
    EXPECT_EQ(slurp(job), text + "\n  ITER_MAX = 60\n");
}

TEST_F(KestcmdEdits, RefusedEditsAndBadFilesWriteNothing) {
    const fs::path job = Write("job.par", job_text);
    const struct {
        std::string arguments;
        int status;
        const char* message;
    } cases[] = {
        {"set JOB __default_dv_update_param.VALUE 0.3", 1, "has no block in the text"},
        {"set JOB 'opt.CONSTRAINT[3]' c", 1, "the block has 2 CONSTRAINT lines"},
        {"unset JOB opt.DV_UPDATE_PARAM", 1, "has no line in the text"},
        {"unset JOB 'opt.STOP[1]'", 1, "the command has no STOP[1]"},
        {"set JOB opt.ID_NAME o -o " + (dir / "no" / "out.par").string(), 2, "out.par"},
        {"set JOB opt x", 64, "is no address"},
        {"unset JOB", 64, "ADDRESS is required"},
    };
    for (const auto& c : cases) {
        const Outcome refused = run(replaced(c.arguments + " ", "JOB ", job.string() + " "));
        EXPECT_EQ(refused.status, c.status) << c.arguments << ": " << refused.err;
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
        EXPECT_EQ(slurp(job), job_text) << c.arguments;
    }
    EXPECT_EQ(run("set " + (dir / "none.par").string() + " opt.ID_NAME o").status, 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3)
        << "only the job and the captured output";

    // Under a file-size limit the edit fails, is told, and leaves the job as it was.
    const std::string large = job_text + "# " + std::string(2000, '-') + "\n";
    Write("job.par", large);
    const Outcome limited = run("set " + job.string() + " STOP[0].ITER_MAX 80", "ulimit -f 1");
    EXPECT_EQ(limited.status, 2);
    EXPECT_NE(limited.err.find("job.par"), std::string::npos) << limited.err;
    EXPECT_EQ(slurp(job), large);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}
