// Runs the built kestcmd in a folder of the test's own and collects what it did.
#pragma once

#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace test_support {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class Kestcmd : public TempDirTest {
  protected:
    /// Runs `kestcmd ARGUMENTS` through the shell, after the shell command `setup` if any
    /// (`ulimit -f 1`). ARGUMENTS may redirect standard output elsewhere (`>/dev/full`).
    Outcome run(const std::string& arguments, const std::string& setup = "") const {
        const std::filesystem::path out = dir / "stdout.txt";
        const std::filesystem::path err = dir / "stderr.txt";
        const std::string command = (setup.empty() ? "" : setup + "; ") + KESTCMD + " >" +
                                    out.string() + " 2>" + err.string() + " " + arguments;
        const int raw = std::system(command.c_str());
        Outcome result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = slurp(out);
        result.err = slurp(err);
        return result;
    }
};

} // namespace test_support
