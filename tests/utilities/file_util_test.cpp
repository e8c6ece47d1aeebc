#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

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
    fs::create_symlink("job.par", dir / "link.par");
    KestFileUtil::write_all_safely((dir / "link.par").wstring(), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.par"));
    EXPECT_EQ(test_support::slurp(dir / "job.par"), "new");
}
