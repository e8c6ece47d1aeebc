#include "Edit.h"

#include "ExitStatus.h"
#include "KeepUntilExit.h"

#include <KestCmdEngine.h>

#include <iostream>
#include <memory>

namespace kestcmd {

namespace {

// Throws KestParBadAddress for a malformed address, a usage error whether the file can be read or
// not. A key of no item kind names nothing, which is told once the file is read: a file that
// cannot be read is the first thing to mend.
void check_form(const std::string& address) {
    try {
        parse_par_address(address);
    } catch (const KestParNamesNothing&) {
    }
}

// Runs `action` on the parsed address and turns what it throws into a message and a status.
template <class Action>
int guarded(const std::string& path, const std::string& address, Action action) {
    // One line, whatever the message quotes.
    const auto report = [&](const std::exception& e, bool names_the_file) {
        std::string line = (names_the_file ? path + ": " + address + ": " : "") + e.what();
        for (std::size_t at = line.find_first_of("\r\n"); at != std::string::npos;
             at = line.find_first_of("\r\n", at + 2)) {
            line.replace(at, 1, line[at] == '\n' ? "\\n" : "\\r");
        }
        std::cerr << "kestcmd: " << line << '\n';
    };
    try {
        check_form(address);
        return action();
    } catch (const KestParBadAddress& bad) {
        report(bad, false);
        return exit_usage;
    } catch (const KestParNamesNothing& nothing) {
        report(nothing, true);
        return exit_warnings;
    } catch (const KestParEditError& refused) {
        report(refused, true);
        return exit_warnings;
    } catch (const ZUL_Failure& failure) { // the file cannot be read or written
        report(failure, false);
        return exit_unreadable;
    }
}

void save(const KestParDocument& doc, const std::string& output) {
    doc.Save(output.empty() ? std::wstring() : KestFileUtil::path_from_utf8(output));
}

} // namespace

// The document of the job at `path`, read on `threads` threads; a file that cannot be read
// throws ZUL_Failure.
std::unique_ptr<KestParDocument> open(const std::string& path, std::size_t threads) {
    KestCmdIoConfig config;
    config.threads = threads;
    return std::make_unique<KestParDocument>(
        KestParDocument::Open(KestFileUtil::path_from_utf8(path), config));
}

int run_get(const std::string& path, const std::string& address, std::size_t threads) {
    return guarded(path, address, [&] {
        std::cout << get_par_value(keep_until_exit(open(path, threads)), address) << '\n';
        std::cout.flush();
        return std::cout ? exit_clean : exit_output_failed;
    });
}

int run_set(const std::string& path, const std::string& address, const std::string& value,
            const std::string& output, std::size_t threads) {
    return guarded(path, address, [&] {
        KestParDocument& doc = keep_until_exit(open(path, threads));
        set_par_value(doc, address, value);
        save(doc, output);
        return exit_clean;
    });
}

int run_unset(const std::string& path, const std::string& address, const std::string& output,
              std::size_t threads) {
    return guarded(path, address, [&] {
        KestParDocument& doc = keep_until_exit(open(path, threads));
        unset_par_value(doc, address);
        save(doc, output);
        return exit_clean;
    });
}

} // namespace kestcmd
