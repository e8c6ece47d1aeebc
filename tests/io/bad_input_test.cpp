// Files as people and programs really produce them: unreadable, huge, absurd. Each must end
// in a ZUL_Failure that names the file and the reason, or in a defined job; never in a crash, a
// hang or unbounded memory.
#include "engine/io/KestParFileAdapter.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace KestCmdItemDefs;

namespace {

class BadInput : public test_support::TempDirTest {
  protected:
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
};

} // namespace

TEST_F(BadInput, FilesThatCannotBeReadFailWithPathAndReason) {
    const fs::path missing = dir / "missing.par";
    EXPECT_EQ(failure_of(missing),
              "cannot open '" + missing.string() + "' (mode \"rb\"): No such file or directory");
#if defined(_WIN32)
    // Windows opens no folder as a file: opening fails, where POSIX fails the first read.
    EXPECT_EQ(failure_of(dir),
              "cannot open '" + dir.string() + "' (mode \"rb\"): Permission denied");
#else
    EXPECT_EQ(failure_of(dir), "cannot read '" + dir.string() + "': Is a directory");
#endif
    KestCmdContainer job;
    EXPECT_THROW(KestParFileAdapter(missing.wstring(), KestCmdIoConfig()).Parse(job), ZUL_Failure);
    EXPECT_TRUE(job.begin() == job.end()); // nothing is created
    const fs::path locked = write("DV\nEND_\n");
#if defined(_WIN32)
    // Permission bits are no lock on Windows (they only make a file read-only); a file that
    // another program holds open without sharing it is.
    const HANDLE holder = ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(failure_of(locked),
              "cannot open '" + locked.string() + "' (mode \"rb\"): Permission denied");
    ::CloseHandle(holder);
#else
    if (geteuid() != 0) { // root reads anything
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(failure_of(locked),
                  "cannot open '" + locked.string() + "' (mode \"rb\"): Permission denied");
    }
#endif
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

TEST_F(BadInput, HugeRanges) {
    const KestCmdContainer job = read("GROUP_DEF\n  GROUP = 1-2000000000\nEND_\n");
    const KestCmdItem& group = job.GetCommand(KestCmdDefs::GROUP_DEF, 0).Item(GROUP, 0);
    EXPECT_EQ(group.GetLumoList().size(), 2000000000u);

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
