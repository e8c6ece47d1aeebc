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
    /// Runs `kestcmd ARGUMENTS` through the shell.
    Outcome run(const std::string& arguments) const {
        const std::filesystem::path out = dir / "stdout.txt";
        const std::filesystem::path err = dir / "stderr.txt";
        const std::string command =
            std::string(KESTCMD) + " " + arguments + " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        Outcome result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = slurp(out);
        result.err = slurp(err);
        return result;
    }
};

} // namespace test_support
