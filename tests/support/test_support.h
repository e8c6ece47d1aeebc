// Helpers shared by the test programs: item texts of a command, a job as written text, files in
// a folder of each test's own.
#pragma once

#include "engine/io/KestCmdOutput.h"
#include "engine/model/KestCmd.h"
#include "support/written_job.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

/// The texts of the items of `kind` in `cmd`, in list order.
inline std::vector<std::string> texts(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind) {
    std::vector<std::string> out;
    for (const auto& item : cmd.Items(kind)) {
        out.push_back(item->GetString());
    }
    return out;
}

/// The number of items of all kinds in `cmd`.
inline std::size_t item_count(const KestCmd& cmd) {
    std::size_t n = 0;
    for (int kind = 0; kind < KestCmdItemDefs::item_kind_count; ++kind) {
        n += cmd.ItemCount(static_cast<KestCmdItemDefs::CmdItem>(kind));
    }
    return n;
}

/// The bytes of the file at `path`.
inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The bytes that writing `text` to a stream opened in text mode ("w", "a") puts in the file:
/// each LF becomes CR LF on Windows; elsewhere text and binary mode write the same bytes.
inline std::string in_text_mode(const std::string& text) {
#if defined(_WIN32)
    std::string bytes;
    for (char c : text) {
        bytes += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return bytes;
#else
    return text;
#endif
}

/// A test with a fresh folder of its own, removed afterwards.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = std::filesystem::temp_directory_path() /
              ("kest_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
               std::to_string(stamp));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    /// Writes `text` to the file `name` of the folder and returns its path.
    std::filesystem::path Write(const std::filesystem::path& name, const std::string& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
        return dir / name;
    }

    std::filesystem::path dir;
};

} // namespace test_support
