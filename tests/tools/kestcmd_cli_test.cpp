// The command line itself: a mistyped subcommand, and the hidden subcommand that shells ask for
// the addresses of a job (the completion scripts' own test, completion_test.sh, drives it too).
#include "run_kestcmd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class KestcmdLine : public test_support::Kestcmd {};
using test_support::Outcome;

TEST_F(KestcmdLine, AMistypedSubcommandGetsTheClosestVisibleOne) {
    const auto told = [&](const std::string& word) {
        const Outcome r = run(word + " job.par");
        EXPECT_EQ(r.status, 64) << word;
        EXPECT_EQ(r.out, "") << word;
        return r.err;
    };
    EXPECT_EQ(told("chek"), "kestcmd: unknown subcommand 'chek'; did you mean 'check'?\n");
    EXPECT_EQ(told("lps"), "kestcmd: unknown subcommand 'lps'; did you mean 'lsp'?\n");
    EXPECT_EQ(told("UNSET"), "kestcmd: unknown subcommand 'UNSET'; did you mean 'unset'?\n");
    EXPECT_EQ(told("frobnicate"), "kestcmd: unknown subcommand 'frobnicate'; see kestcmd --help\n");
    // Hidden from --help, and never suggested, however close.
    EXPECT_EQ(told("complete-adress"),
              "kestcmd: unknown subcommand 'complete-adress'; see kestcmd --help\n");
    EXPECT_EQ(run("--help").out.find("complete-address"), std::string::npos);
}

TEST_F(KestcmdLine, AddressesForShellsComeQuietly) {
    const std::string job = Write("job.par", "STOP\n  ID_NAME = stop_after\n  ITER_MAX = 50\n"
                                             "  ITER_MAX = 60\nEND_\nSTOP\nEND_\n")
                                .string();
    EXPECT_EQ(run("complete-address " + job + " s").out, "stop_after.\nSTOP[0].\nSTOP[1].\n");
    EXPECT_EQ(run("complete-address " + job + " STOP_AFTER.IT").out,
              "stop_after.ITER_MAX\nstop_after.ITER_MAX[1]\n");
    const Outcome missing = run("complete-address " + (dir / "missing.par").string() + " s");
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.out + missing.err, "");
}

} // namespace
