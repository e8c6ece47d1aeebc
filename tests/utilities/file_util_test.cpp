#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"
#include "utilities/detail/KestFileReading.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#if defined(_WIN32)
#include <windows.h>
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

// Reading in pieces on threads gives what read_all gives, failures included.
void expect_read_as_read_all(const std::wstring& path) {
    const std::string whole = outcome([&] { return KestFileUtil::read_all(path); });
    for (std::size_t threads : {1, 3, 7}) {
        EXPECT_EQ(
            outcome([&] { return std::string(KestFileReading::read(path, threads, 1000).view()); }),
            whole)
            << threads << " threads";
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
    expect_read_as_read_all(L"/proc/self/cmdline");
#endif
    for (const char* name : {"big.bin", "empty.par", "missing.par"}) {
        if (std::string(name) == "empty.par") {
            Write(name, "");
        }
        expect_read_as_read_all((dir / name).wstring());
    }
    expect_read_as_read_all(path);
    expect_read_as_read_all(dir.wstring()); // a folder fails alike
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
