// Runs the built kestcmd in a folder of the test's own and collects what it did.
#pragma once

#include "support/test_support.h"

#include "utilities/KestFileUtil.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class Kestcmd : public TempDirTest {
  protected:
    /// Runs `kestcmd ARGUMENTS` through the shell, after the shell command `setup` if any
    /// (`ulimit -f 1`, POSIX only). ARGUMENTS may redirect standard input or output (`<in`,
    /// `>/dev/full`); the rest are split at blanks, and quotes ('...' or "...") keep blanks and
    /// brackets in one argument.
    Outcome run(const std::string& arguments, const std::string& setup = "") const {
        const std::filesystem::path out = dir / "stdout.txt";
        const std::filesystem::path err = dir / "stderr.txt";
        Outcome result;
#if defined(_WIN32)
        // cmd.exe knows only double quotes, and takes the line in the ANSI code page unless it
        // comes wide: every argument is double-quoted and the line goes as UTF-16.
        static_cast<void>(setup);
        std::string command = "\"\"" +
                              std::filesystem::absolute(KESTCMD).make_preferred().u8string() +
                              "\" >\"" + out.u8string() + "\" 2>\"" + err.u8string() + "\"";
        for (const std::string& word : words(arguments)) {
            const bool redirection = word[0] == '<' || word[0] == '>';
            command += redirection ? " " + word : " \"" + word + "\"";
        }
        result.status = _wsystem(KestFileUtil::path_from_utf8(command + "\"").c_str());
#else
        const std::string command = (setup.empty() ? "" : setup + "; ") + KESTCMD + " >" +
                                    out.string() + " 2>" + err.string() + " " + arguments;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
        result.out = slurp(out);
        result.err = slurp(err);
#if defined(_WIN32)
        // Standard error stays a text stream on Windows (its messages are for a console): its
        // line ends are CR LF there, and are read as LF here.
        std::string lf;
        for (std::size_t i = 0; i < result.err.size(); ++i) {
            if (result.err[i] != '\r' || i + 1 == result.err.size() || result.err[i + 1] != '\n') {
                lf += result.err[i];
            }
        }
        result.err = lf;
#endif
        return result;
    }

#if defined(_WIN32)
    // The arguments of a command line as a POSIX shell splits them (without escapes).
    static std::vector<std::string> words(const std::string& line) {
        std::vector<std::string> found;
        std::string word;
        bool in_word = false;
        char quote = 0;
        for (char c : line) {
            if (quote != 0 && c != quote) {
                word += c;
            } else if (quote != 0) {
                quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
                in_word = true;
            } else if (c != ' ') {
                word += c;
                in_word = true;
            } else if (in_word) {
                found.push_back(word);
                word.clear();
                in_word = false;
            }
        }
        if (in_word) {
            found.push_back(word);
        }
        return found;
    }
#endif
};

} // namespace test_support
