// Reproducible job files for benchmarks: a realistic structural-optimisation job of a given
// number of commands, as a parameter file and with the same content as TOML.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace bench {

/// One block of a job: its keyword and its key/value lines in order.
struct Block {
    std::string keyword;
    std::vector<std::pair<std::string, std::string>> lines;
};

/// About `commands` blocks drawn from `seed`: groups with integer lists (ranges of up to 50 000
/// elements, composite lists with steps), design variables and responses naming groups,
/// constraints naming responses, one objective naming responses, OPTIMIZE naming the objective,
/// every constraint and every design variable, OPT_PARAM, STOP and DV_UPDATE_PARAM.
inline std::vector<Block> make_job(int commands, unsigned seed) {
    std::mt19937 random(seed);
    const int n = std::max(1, (commands - 5) / 4);
    const auto pick = [&](const char* prefix) {
        return prefix + std::to_string(random() % static_cast<unsigned>(n));
    };
    static const char* const responses[] = {"VOLUME", "DISP_X", "DISP_ABS", "ENERGY_STIFF_MEASURE",
                                            "INTERNAL_FORCE_Z"};
    std::vector<Block> job;
    job.reserve(static_cast<std::size_t>(4 * n + 5));
    for (int i = 0; i < n; ++i) {
        const long start = static_cast<long>(random() % 2000000) + 1;
        std::string list = std::to_string(start) + "-" +
                           std::to_string(start + static_cast<long>(random() % 50000));
        if (i % 3 == 0) {
            list += "," + std::to_string(start + 60000) + "-" + std::to_string(start + 64000) +
                    ":4," + std::to_string(start + 70001);
        }
        job.push_back({"GROUP_DEF",
                       {{"ID_NAME", "g" + std::to_string(i)},
                        {"TYPE", "ELEMENT"},
                        {"GROUP", list},
                        {"DESCRIPTION", "design_area"}}});
    }
    for (int i = 0; i < n; ++i) {
        job.push_back({"DV",
                       {{"ID_NAME", "dv" + std::to_string(i)},
                        {"TYPE", "DENSITY"},
                        {"GROUP", pick("g")},
                        {"VALUE", "0.5"}}});
    }
    for (int i = 0; i < n; ++i) {
        job.push_back({"DRESP",
                       {{"ID_NAME", "r" + std::to_string(i)},
                        {"TYPE", responses[random() % 5]},
                        {"GROUP", pick("g")},
                        {"DIRECTION", "1,0,0"}}});
    }
    for (int i = 0; i < n; ++i) {
        job.push_back({"CONSTRAINT",
                       {{"ID_NAME", "c" + std::to_string(i)},
                        {"DRESP", pick("r")},
                        {"LE_VALUE", "0.25"},
                        {"MAGNITUDE", "REL"}}});
    }
    Block objective{"OBJ_FUNC", {{"ID_NAME", "obj"}, {"TYPE", "MIN"}}};
    for (int i = 0; i < 4; ++i) {
        objective.lines.push_back({"DRESP", pick("r")});
    }
    job.push_back(objective);
    Block optimize{"OPTIMIZE", {{"ID_NAME", "opt"}, {"OBJ_FUNC", "obj"}}};
    for (int i = 0; i < n; ++i) {
        optimize.lines.push_back({"CONSTRAINT", "c" + std::to_string(i)});
        optimize.lines.push_back({"DV", "dv" + std::to_string(i)});
    }
    job.push_back(optimize);
    job.push_back({"OPT_PARAM",
                   {{"ID_NAME", "param"},
                    {"STRATEGY", "MMA"},
                    {"MIN", "0.001"},
                    {"MAX", "1.0"},
                    {"REFERENCE", "opt"}}});
    job.push_back({"STOP", {{"ID_NAME", "stop"}, {"ITER_MAX", "100"}}});
    job.push_back(
        {"DV_UPDATE_PARAM", {{"ID_NAME", "update"}, {"VALUE", "0.3"}, {"STRATEGY", "CSA"}}});
    return job;
}

/// The job in parameter-file syntax.
inline std::string to_par(const std::vector<Block>& job) {
    std::string text;
    for (const Block& block : job) {
        text += block.keyword + "\n";
        for (const auto& [key, value] : block.lines) {
            text += "  " + key + " = " + value + "\n";
        }
        text += "END_\n\n";
    }
    return text;
}

/// The same content as TOML: an array of tables per keyword, a key given several times in a
/// block becomes an array, every value a string.
inline std::string to_toml(const std::vector<Block>& job) {
    std::string text;
    for (const Block& block : job) {
        text += "[[" + block.keyword + "]]\n";
        std::vector<std::pair<std::string, std::vector<std::string>>> keys;
        for (const auto& [key, value] : block.lines) {
            auto found = std::find_if(keys.begin(), keys.end(),
                                      [&](const auto& entry) { return entry.first == key; });
            if (found == keys.end()) {
                keys.push_back({key, {value}});
            } else {
                found->second.push_back(value);
            }
        }
        for (const auto& [key, values] : keys) {
            text += key + " = ";
            if (values.size() == 1) {
                text += "\"" + values[0] + "\"\n";
                continue;
            }
            text += "[";
            for (std::size_t i = 0; i < values.size(); ++i) {
                text += (i ? ", \"" : "\"") + values[i] + "\"";
            }
            text += "]\n";
        }
        text += "\n";
    }
    return text;
}

/// The files of the job of `commands` commands (seed 2024) in `dir`: job_N.par and, with the
/// same content, job_N.toml.
struct JobFiles {
    std::filesystem::path par;
    std::filesystem::path toml;
    std::size_t par_bytes = 0;
    std::size_t toml_bytes = 0;
};

/// Writes the files of the job of `commands` commands into `dir` (made when missing).
inline JobFiles write_job_files(const std::filesystem::path& dir, int commands) {
    const auto job = make_job(commands, 2024);
    std::filesystem::create_directories(dir);
    JobFiles f;
    f.par = dir / ("job_" + std::to_string(commands) + ".par");
    f.toml = dir / ("job_" + std::to_string(commands) + ".toml");
    const std::string par = to_par(job);
    const std::string toml = to_toml(job);
    std::ofstream(f.par, std::ios::binary) << par;
    std::ofstream(f.toml, std::ios::binary) << toml;
    f.par_bytes = par.size();
    f.toml_bytes = toml.size();
    return f;
}

} // namespace bench
