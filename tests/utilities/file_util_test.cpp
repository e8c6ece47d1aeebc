#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class FileUtil : public test_support::TempDirTest {};

// What reading `path` gives or fails with, as text.
template <class Read>
std::string outcome(Read read) {
    try {
        return "read: " + std::string(read());
    } catch (const ZUL_Failure& failure) {
        return std::string("failed: ") + failure.what();
    }
}

} // namespace

TEST_F(FileUtil, OpensByWidePathAndReadsEveryByte) {
    // Made from UTF-8: converting a wide path through the library's locale would fail under "C".
    std::wstring path = KestFileUtil::path_from_utf8(dir.u8string()) + L"/r\u00e9sultat.par";
    std::FILE* file = KestFileUtil::wfopen(path, L"wb");
    ASSERT_NE(file, nullptr);
    std::fputs("DV\nEND_\n", file);
    std::fclose(file);
    EXPECT_EQ(test_support::slurp(dir / fs::u8path("r\xc3\xa9sultat.par")), "DV\nEND_\n");
    EXPECT_EQ(KestFileUtil::read_all(path), "DV\nEND_\n");

    // Larger than one read chunk, with zero bytes and bytes above 0x7F.
    std::string content;
    for (int i = 0; i < 200000; ++i) {
        content += static_cast<char>(i % 251);
    }
    EXPECT_EQ(KestFileUtil::read_all(Write("big.bin", content).wstring()), content);
#if defined(__linux__)
    // A file that reports no size is read to its end all the same.
    EXPECT_NE(KestFileUtil::read_all(L"/proc/self/status").find("VmHWM:"), std::string::npos);
#endif
    EXPECT_EQ(KestFileUtil::read_all(Write("empty.par", "").wstring()), "");
    const std::string missing =
        outcome([&] { return KestFileUtil::read_all((dir / "missing.par").wstring()); });
    EXPECT_EQ(missing.rfind("failed: ", 0), 0u);
    EXPECT_NE(missing.find("missing.par"), std::string::npos);
    // A folder opens on some systems but cannot be read: the failure names it all the same.
    const std::string folder = outcome([&] { return KestFileUtil::read_all(dir.wstring()); });
    EXPECT_EQ(folder.rfind("failed: ", 0), 0u);
    EXPECT_NE(folder.find(dir.filename().string()), std::string::npos);
}

TEST_F(FileUtil, FailuresCarryTheReasonsCode) {
    try {
        KestFileUtil::wfopen(dir.wstring(), L"w");
        FAIL() << "a folder cannot be opened for writing";
    } catch (const ZUL_Failure& failure) {
        EXPECT_TRUE(failure.GetCode().exists());
    }
}

TEST_F(FileUtil, SafeWritingGoesThroughLinks) {
    std::ofstream(dir / "job.par") << "old";
#if defined(_WIN32)
    // Making a link takes a privilege on Windows (or developer mode); Wine makes none.
    std::error_code error;
    fs::create_symlink("job.par", dir / "link.par", error);
    if (error) {
        GTEST_SKIP() << "no symbolic link can be made here: " << error.message();
    }
#else
    fs::create_symlink("job.par", dir / "link.par");
#endif
    KestFileUtil::write_all_safely((dir / "link.par").wstring(), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.par"));
    EXPECT_EQ(test_support::slurp(dir / "job.par"), "new");
}

// Folder and file names in Greek and CJK, with a character outside the BMP (a surrogate pair in
// UTF-16): written, read and saved by wide path, and named in UTF-8 by failures.
TEST_F(FileUtil, NamesBeyondAsciiOpenTheirFiles) {
    const std::string folder = "\u0394\u03bf\u03ba\u03b9\u03bc\u03ae";
    const std::string name = "\u4f5c\u696d-\U0001F600.par";
    fs::create_directory(dir / fs::u8path(folder));
    const std::wstring path =
        KestFileUtil::path_from_utf8(dir.u8string() + "/" + folder + "/" + name);
    // UTF-16 holds the last character as a surrogate pair, UTF-32 as one unit.
    const std::wstring last = sizeof(wchar_t) == 2 ? L"\xD83D\xDE00.par" : L"\U0001F600.par";
    EXPECT_EQ(path.substr(path.size() - last.size()), last);
    std::FILE* file = KestFileUtil::wfopen(path, L"wb");
    std::fputs("DV\nEND_\n", file);
    std::fclose(file);
    EXPECT_EQ(test_support::slurp(dir / fs::u8path(folder) / fs::u8path(name)), "DV\nEND_\n");
    EXPECT_EQ(KestFileUtil::read_all(path), "DV\nEND_\n");
    KestFileUtil::write_all_safely(path, "STOP\nEND_\n");
    EXPECT_EQ(KestFileUtil::read_all(path), "STOP\nEND_\n");
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir / fs::u8path(folder)), fs::directory_iterator()),
        1);
    EXPECT_EQ(outcome([&] { return KestFileUtil::read_all(path + L".missing"); }),
              "failed: cannot open '" + dir.u8string() + "/" + folder + "/" + name +
                  ".missing' (mode \"rb\"): No such file or directory");
}

#if defined(_WIN32)
// A save that Windows refuses (the file held open by a program that does not share it, or marked
// read-only) fails with the reason and leaves the file as it was, with nothing beside it.
TEST_F(FileUtil, RefusedSavesLeaveTheFileAsItWas) {
    const fs::path job = Write("job.par", "old");
    const auto save = [&] {
        return outcome([&] {
            KestFileUtil::write_all_safely(job.wstring(), "new");
            return "saved";
        });
    };
    const std::string refused =
        "failed: cannot replace '" + job.u8string() + "': Permission denied";
    const HANDLE holder = ::CreateFileW(job.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(save(), refused);
    ::CloseHandle(holder);
    ASSERT_TRUE(::SetFileAttributesW(job.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(save(), refused);
    EXPECT_EQ(test_support::slurp(job), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    ASSERT_TRUE(::SetFileAttributesW(job.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(save(), "read: saved");
    EXPECT_EQ(test_support::slurp(job), "new");
}
#endif

// POSIX behaviour of safe writing (symbolic link chains, pipes, mode and owner, file-size
// limits): Windows has none of these as such; its own cases are the test above.
#if !defined(_WIN32)
namespace {

// The names of the files in `dir`, sorted.
std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The code of the failure of writing `text` to `path`, or 0 when it is written.
int write_failure(const fs::path& path, const std::string& text) {
    try {
        KestFileUtil::write_all_safely(path.wstring(), text);
        return 0;
    } catch (const ZUL_Failure& failure) {
        return failure.GetCode().value();
    }
}

} // namespace

TEST_F(FileUtil, SafeWritingCreatesTheTargetOfADanglingLink) {
    fs::create_directory(dir / "jobs");
    fs::create_symlink("jobs/made.par", dir / "link.par");
    fs::create_symlink("../chain.par", dir / "jobs" / "chain.par");
    fs::create_symlink("link.par", dir / "chain.par");
    KestFileUtil::write_all_safely((dir / "jobs" / "chain.par").wstring(), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.par"));
    EXPECT_TRUE(fs::is_symlink(dir / "jobs" / "chain.par"));
    EXPECT_EQ(test_support::slurp(dir / "jobs" / "made.par"), "new");

    fs::create_symlink("loop.par", dir / "loop.par");
    EXPECT_EQ(write_failure(dir / "loop.par", "x"), ELOOP);
    EXPECT_TRUE(fs::is_symlink(dir / "loop.par"));
}

TEST_F(FileUtil, SafeWritingWritesIntoWhatNoFileCanReplace) {
    // A pipe (or a device such as /dev/null) stays what it is and gets the text.
    const fs::path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    KestFileUtil::write_all_safely(pipe.wstring(), "new");
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    ::close(reader);
    EXPECT_EQ(std::string(got), "new");
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"pipe"});
}

TEST_F(FileUtil, SafeWritingKeepsModeOwnerAndGroup) {
    const fs::path job = Write("job.par", "old");
    ::chmod(job.c_str(), 02640);
    KestFileUtil::write_all_safely(job.wstring(), "new");
    struct stat info {};
    ASSERT_EQ(::stat(job.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 02640u);
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root gives a file to another user";
    }
    // Root editing another user's job: the job stays theirs, readable to them and their group.
    ASSERT_EQ(::chown(job.c_str(), 65534, 65534), 0);
    ::chmod(job.c_str(), 0640);
    KestFileUtil::write_all_safely(job.wstring(), "newer");
    ASSERT_EQ(::stat(job.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(test_support::slurp(job), "newer");
}

TEST_F(FileUtil, SafeWritingRefusesAFileItMayNotWrite) {
    const fs::path job = Write("job.par", "old");
    ::chmod(job.c_str(), 0444);
    ::chmod(dir.c_str(), 0777); // the folder is no obstacle: only the file's own mode
    // Root may write any file: the refusal is checked as another user, who must reach the folder.
    for (fs::path above = dir.parent_path(); ::geteuid() == 0; above = above.parent_path()) {
        struct stat info {};
        if (::stat(above.c_str(), &info) != 0 || (info.st_mode & S_IXOTH) == 0) {
            GTEST_SKIP() << "other users cannot reach " << dir;
        }
        if (above == above.root_path()) {
            break;
        }
    }
    const auto write_as_a_user = [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            std::_Exit(10);
        }
        std::_Exit(write_failure(job, "new") == EACCES ? 0 : 11);
    };
    EXPECT_EXIT(write_as_a_user(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(test_support::slurp(job), "old");
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"job.par"});
}

TEST_F(FileUtil, SafeWritingSurvivesAFileSizeLimit) {
    const fs::path job = Write("job.par", "old");
    const auto write_beyond_the_limit = [&] {
        const struct rlimit limit { 1000, 1000 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::_Exit(write_failure(job, std::string(5000, 'x')) == EFBIG ? 0 : 11);
    };
    EXPECT_EXIT(write_beyond_the_limit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(test_support::slurp(job), "old");
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"job.par"});
}
#endif
