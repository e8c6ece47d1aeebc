#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(FileUtil, OpensByWidePathIncludingNonAsciiNames) {
    const fs::path dir = fs::temp_directory_path() / "kest_file_util_test";
    fs::create_directories(dir);
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

    std::ifstream in{(dir / "r\xc3\xa9sultat.par").string()};
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "DV");
    fs::remove_all(dir);
}

TEST(FileUtil, FailureNamesThePathAndTheReason) {
    const std::wstring path = L"/nonexistent-kest-dir/out.par";
    try {
        KestFileUtil::wfopen(path, L"w");
        FAIL() << "opening a file in a missing directory must fail";
    } catch (const ZUL_Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "cannot open '/nonexistent-kest-dir/out.par' (mode \"w\"): No such file or "
                  "directory");
        EXPECT_TRUE(failure.GetCode().exists());
    }
    EXPECT_THROW(KestFileUtil::wfopen(fs::temp_directory_path().wstring(), L"w"), ZUL_Failure);
}

TEST(FileUtil, ReadAllReturnsEveryByte) {
    const fs::path dir = fs::temp_directory_path() / "kest_file_util_read_all";
    fs::create_directories(dir);
    // Larger than one read chunk, with zero bytes and bytes above 0x7F.
    std::string content;
    for (int i = 0; i < 200000; ++i) {
        content += static_cast<char>(i % 251);
    }
    std::ofstream(dir / "big.bin", std::ios::binary) << content;
    std::ofstream(dir / "empty.par", std::ios::binary).flush();
    EXPECT_EQ(KestFileUtil::read_all((dir / "big.bin").wstring()), content);
    EXPECT_EQ(KestFileUtil::read_all((dir / "empty.par").wstring()), "");
#if defined(__linux__)
    // A file that reports no size is read to its end all the same.
    EXPECT_NE(KestFileUtil::read_all(L"/proc/self/status").find("VmHWM:"), std::string::npos);
#endif
    EXPECT_THROW(KestFileUtil::read_all((dir / "missing.par").wstring()), ZUL_Failure);
    EXPECT_THROW(KestFileUtil::read_all(dir.wstring()), ZUL_Failure);
    fs::remove_all(dir);
}

TEST(FileUtil, SafeWritingGoesThroughLinksAndNamesThePathAskedFor) {
    const fs::path dir = fs::temp_directory_path() / "kest_file_util_safe";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "job.par") << "old";
    fs::create_symlink("job.par", dir / "link.par");
    KestFileUtil::write_all_safely((dir / "link.par").wstring(), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.par"));
    std::ifstream in(dir / "job.par");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "new");

    const fs::path missing = dir / "missing" / "out.par";
    try {
        KestFileUtil::write_all_safely(missing.wstring(), "x");
        FAIL() << "writing into a missing directory must fail";
    } catch (const ZUL_Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "cannot write '" + missing.string() + "': No such file or directory");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    fs::remove_all(dir);
}
