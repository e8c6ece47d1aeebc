// The floor for any reader of the parameter-file syntax: lines split at '=', trimmed and kept as
// key/value string pairs per block; nothing typed, nothing linked.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace bench {

using SplitBlocks = std::vector<std::vector<std::pair<std::string, std::string>>>;

/// The blocks of the file at `path`, each a list of its lines' key/value pairs.
inline SplitBlocks split_lines(const std::filesystem::path& path) {
    const auto trim = [](std::string s) {
        const auto first = s.find_first_not_of(" \t\r");
        const auto last = s.find_last_not_of(" \t\r");
        return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
    };
    std::ifstream in(path, std::ios::binary);
    SplitBlocks blocks;
    std::string line;
    bool open = false;
    while (std::getline(in, line)) {
        const std::string t = trim(line);
        if (t.empty()) {
            continue;
        }
        if (!open) {
            blocks.emplace_back();
            open = true;
        } else if (t.rfind("END_", 0) == 0) {
            open = false;
        } else {
            const auto equals = t.find('=');
            blocks.back().emplace_back(trim(t.substr(0, equals)), equals == std::string::npos
                                                                      ? std::string()
                                                                      : trim(t.substr(equals + 1)));
        }
    }
    return blocks;
}

} // namespace bench
