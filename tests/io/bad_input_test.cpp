// Files as people and programs really produce them: broken, binary, huge, absurd. Each must end
// in a ZUL_Failure that names the file and the reason, or in a defined job; never in a crash, a
// hang or unbounded memory.
#include "engine/io/KestCmdOutput.h"
#include "engine/io/KestParFileAdapter.h"
#include "utilities/ZUL_LogMacros.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace KestCmdItemDefs;

namespace {

class BadInput : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        _previous = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    }
    void TearDown() override {
        ZUL_LogMacros::set_sink(_previous);
        TempDirTest::TearDown();
    }

    fs::path write(const std::string& text) const { return Write("job.par", text); }

    // The job of `text` read with the standard configuration.
    static KestCmdContainer read(const std::string& text) {
        KestCmdContainer job;
        KestParFileAdapter(L"job.par", KestCmdIoConfig()).ParseText(text, job);
        return job;
    }

    // The message of the failure that reading `path` raises.
    static std::string failure_of(const fs::path& path) {
        KestCmdContainer job;
        try {
            KestParFileAdapter(path.wstring(), KestCmdIoConfig()).Parse(job);
        } catch (const ZUL_Failure& failure) {
            return failure.what();
        }
        ADD_FAILURE() << path << " was read";
        return {};
    }

    static std::size_t count(const KestCmdContainer& job) {
        std::size_t n = 0;
        for (auto it = job.begin(); it != job.end(); ++it) {
            ++n;
        }
        return n;
    }

    ZUL_LogMacros::Sink _previous;
};

} // namespace

TEST_F(BadInput, FilesThatCannotBeReadFailWithPathAndReason) {
    const fs::path missing = dir / "missing.par";
    EXPECT_EQ(failure_of(missing),
              "cannot open '" + missing.string() + "' (mode \"rb\"): No such file or directory");
    EXPECT_EQ(failure_of(dir), "cannot read '" + dir.string() + "': Is a directory");
    KestCmdContainer job;
    EXPECT_THROW(KestParFileAdapter(missing.wstring(), KestCmdIoConfig()).Parse(job), ZUL_Failure);
    EXPECT_EQ(count(job), 0u); // nothing is created
    if (geteuid() != 0) {      // root reads anything
        const fs::path locked = write("DV\nEND_\n");
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(failure_of(locked),
                  "cannot open '" + locked.string() + "' (mode \"rb\"): Permission denied");
    }
}

TEST_F(BadInput, EmptyCommentedAndUnclosedFilesGiveDefinedJobs) {
    // Nothing but the default update-parameter command that completion always adds.
    for (const char* text : {"", "# a comment\n  # another\n\n", "END_\nEND_DV\n"}) {
        const KestCmdContainer job = read(text);
        EXPECT_EQ(count(job), 1u) << text;
        EXPECT_TRUE(job.HasCommand(KestCmdDefs::DV_UPDATE_PARAM));
    }
    const KestCmdContainer unclosed = read("DV\n  ID_NAME = a\n  VALUE = 0.5");
    ASSERT_EQ(unclosed.GetNumberOfCommands(KestCmdDefs::DV), 1u);
    EXPECT_EQ(unclosed.GetCommand(KestCmdDefs::DV, 0).Item(VALUE, 0).GetReal(), 0.5);
}

TEST_F(BadInput, LineEndsMarksAndForeignBytes) {
    // A byte-order mark and CR LF line ends are skipped; bytes that are no text in a keyword or
    // key make placeholders, and a value keeps them as given.
    const KestCmdContainer foreign = read("\xEF\xBB\xBF"
                                          "DV\r\n  TYPE = density\r\nEND_\r\n"
                                          "D\xC3\x9C\xFF\n  K\xE9Y = v\xC3\xA9rt\nEND_\n");
    EXPECT_EQ(foreign.GetCommand(KestCmdDefs::DV, 0).Item(TYPE, 0).GetString(), "DENSITY");
    EXPECT_EQ(foreign.GetCommand(KestCmdDefs::CMD_PLACEHOLDER, 0).Item(PLACEHOLDER, 0).GetString(),
              "v\xC3\xA9rt");
    std::string garbage;
    for (int i = 0; i < 20000; ++i) {
        garbage += static_cast<char>((i * 131 + i / 7) % 256);
    }
    const KestCmdContainer binary = read(garbage);
    EXPECT_GE(count(binary), 1u);
    EXPECT_GE(test_support::written(binary).size(), 2u); // and what it read, it writes back
}

TEST_F(BadInput, HugeLinesAndLongContinuations) {
    const std::string value(10 * 1024 * 1024, 'x');
    const KestCmdContainer wide = read("DV\n  DESCRIPTION = " + value + "\nEND_\n");
    EXPECT_EQ(wide.GetCommand(KestCmdDefs::DV, 0).Item(DESCRIPTION, 0).GetString().size(),
              value.size());

    std::string text = "GROUP_DEF\n  LIST_BEGIN = 1,\n";
    for (int i = 2; i < 100000; ++i) {
        text += "    " + std::to_string(2 * i) + ",\n";
    }
    text += "    200000\nEND_\n";
    const KestCmdContainer list = read(text);
    const KestCmdItem& item = list.GetCommand(KestCmdDefs::GROUP_DEF, 0).Item(LIST_BEGIN, 0);
    ASSERT_TRUE(item.HasLumoList());
    EXPECT_EQ(item.GetLumoList().size(), 100000u);
    EXPECT_EQ(item.GetList().size(), 100000u);
}

TEST_F(BadInput, AbsurdNumbersAndRanges) {
    const KestCmdContainer job = read("STOP\n"
                                      "  ITER_MAX = 99999999999\n"
                                      "  VALUE = -1e400\n"
                                      "  MIN = 1e-400\n"
                                      "END_\n"
                                      "GROUP_DEF\n"
                                      "  GROUP = 1-2000000000\n"
                                      "  GROUP = -2147483648--2147483647:-1\n"
                                      "  GROUP = 1-2000000000:3\n"
                                      "  GROUP = 1-10:0\n"
                                      "  GROUP = 2147483640-2147483647:5\n"
                                      "END_\n");
    const KestCmd& stop = job.GetCommand(KestCmdDefs::STOP, 0);
    EXPECT_FALSE(stop.Item(ITER_MAX, 0).HasInteger());
    EXPECT_EQ(stop.Item(ITER_MAX, 0).GetReal(), 99999999999.0);
    EXPECT_EQ(stop.Item(VALUE, 0).GetReal(), -HUGE_VAL);
    EXPECT_EQ(stop.Item(MIN, 0).GetReal(), 0.0);

    const KestCmd& groups = job.GetCommand(KestCmdDefs::GROUP_DEF, 0);
    EXPECT_EQ(groups.Item(GROUP, 0).GetLumoList().size(), 2000000000u);
    EXPECT_EQ(groups.Item(GROUP, 1).GetLumoList().size(), 1u);
    EXPECT_TRUE(groups.Item(GROUP, 1).GetLumoList().contains(INT_MIN));
    EXPECT_EQ(groups.Item(GROUP, 2).GetLumoList().size(), 666666667u);
    EXPECT_EQ(groups.Item(GROUP, 3).GetLumoList().size(), 1u);
    EXPECT_EQ(groups.Item(GROUP, 4).GetLumoList().size(), 2u);

    // Interleaved ranges that no run can hold are refused rather than exhausting memory.
    const fs::path scattered = write("GROUP_DEF\n  GROUP = 1-2000000000:3,2-2000000000:3\nEND_\n");
    EXPECT_EQ(failure_of(scattered).rfind(scattered.string() + ":2: LumoList: the values need more "
                                                               "than 4194304 runs",
                                          0),
              0u);
}

TEST_F(BadInput, LongChainsAndSharedNames) {
    std::string chain = "DRESP\n  ID_NAME = op0\nEND_\n";
    for (int i = 1; i <= 20000; ++i) {
        chain += "DRESP\n  DEF_TYPE = OPER\n  ID_NAME = op" + std::to_string(i) +
                 "\n  REFERENCE = DRESP, op" + std::to_string(i - 1) + ", 0.5\nEND_\n";
    }
    const KestCmdContainer job = read(chain);
    ASSERT_EQ(job.GetNumberOfCommands(KestCmdDefs::OPERATOR), 20000u);
    const KestCmd& last = job.GetCommand(KestCmdDefs::OPERATOR, 19999);
    EXPECT_EQ(last.Item(REFERENCE, 0).GetReference(),
              &job.GetCommand(KestCmdDefs::OPERATOR, 19998));

    std::string shared = "DV\n  GROUP = same\nEND_\n";
    for (int i = 0; i < 100000; ++i) {
        shared += "GROUP_DEF\n  ID_NAME = same\nEND_\n";
    }
    const KestCmdContainer named = read(shared);
    EXPECT_EQ(named.GetNumberOfCommands(KestCmdDefs::GROUP_DEF), 100000u);
    EXPECT_EQ(named.GetCommand(KestCmdDefs::DV, 0).Item(GROUP, 0).GetReference(),
              &named.GetCommand(KestCmdDefs::GROUP_DEF, 0));
}
