#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"
#include "utilities/detail/KestFileReading.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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
    // Built by hand: converting a wide path through the library's locale would fail under "C".
    std::wstring path;
    for (char c : dir.string()) {
        path += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    path += L"/r\u00e9sultat.par";
    std::FILE* file = KestFileUtil::wfopen(path, L"w");
    ASSERT_NE(file, nullptr);
    std::fputs("DV\nEND_\n", file);
    std::fclose(file);
    EXPECT_EQ(test_support::slurp(dir / "r\xc3\xa9sultat.par"), "DV\nEND_\n");
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
    fs::create_symlink("job.par", dir / "link.par");
    KestFileUtil::write_all_safely((dir / "link.par").wstring(), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.par"));
    EXPECT_EQ(test_support::slurp(dir / "job.par"), "new");
}
