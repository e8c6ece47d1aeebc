#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestParFileAdapter.h"

#include "support/random_job_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
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
    }
}

// Parse of the file (inside Rewrites), ParseText of its bytes and Read of its tokens then Complete
// give one job.
TEST_F(RoundTrip, RandomJobsSettleAfterTwoRewritesAndPlainOnesAfterOne) {
    int operators = 0;
    int changed = 0;
    int nameless = 0;
    for (unsigned seed = 1; seed <= 240 && !HasFailure(); ++seed) {
        const bool plain = seed % 2 == 0;
        const std::string text = test_support::JobText(seed, plain).Make();
        const fs::path job = Job(text);
        const auto w = Rewrites(job);
        const std::string trace = "seed " + std::to_string(seed) + ", job:\n" + text;
        if (plain) {
            EXPECT_TRUE(w[0] == w[1]) << trace << "\n--- w1\n" << w[0] << "--- w2\n" << w[1];
        }
        EXPECT_TRUE(w[2] == w[3]) << trace << "\n--- w3\n" << w[2] << "--- w4\n" << w[3];
        changed += w[0] != w[1];
        nameless += w[0].find("  OPT_PARAM = \n  OPT_PARAM = \n") != std::string::npos;
        operators += w[0].find("\nOPERATOR\n") != std::string::npos &&
                     w[0].find("  COEFFICIENT = ") != std::string::npos;

        const KestParFileAdapter reader(job.wstring(), KestCmdIoConfig());
        KestCmdContainer read;
        reader.Read(KestParFile(job.wstring()), read);
        reader.Complete(read);
        EXPECT_EQ(test_support::written(read), w[0]) << trace;
        KestCmdContainer from_text;
        reader.ParseText(text, from_text);
        EXPECT_EQ(test_support::written(from_text), w[0]) << trace;
    }
    // The generator does reach what it is meant to.
    EXPECT_GT(operators, 20) << operators;
    EXPECT_GT(changed, 20) << changed;
    EXPECT_GT(nameless, 10) << nameless; // two nameless OPT_PARAM commands linked to one OPTIMIZE
}

// The writer puts each list piece on a line of its own; a piece holding '=' then reads as a key.
TEST_F(RoundTrip, AListPieceHoldingAnEqualsSignComesBackAsALineOfItsOwn) {
    const auto w =
        Rewrites(Job("GROUP_DEF\n  ID_NAME = g\n  LIST_BEGIN = 1-5, type=node, 9\nEND_\n"));
    EXPECT_NE(w[0].find("  LIST_BEGIN = 1-5,\n  type=node,\n  9\n"), std::string::npos) << w[0];
    EXPECT_NE(w[1].find("  TYPE = NODE,\n  9\n  LIST_BEGIN = 1-5,\n"), std::string::npos) << w[1];
    EXPECT_EQ(w[1], w[2]);
}
