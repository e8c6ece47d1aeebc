#include "Edit.h"

#include "Address.h"
#include "ExitStatus.h"
#include "Job.h"

#include <iostream>

namespace kestcmd {

namespace {

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
        return action(parse_address(address));
    } catch (const BadAddress& bad) {
        report(bad, false);
        return exit_usage;
    } catch (const NamesNothing& nothing) {
        report(nothing, true);
        return exit_warnings;
    } catch (const KestParEditError& refused) {
        report(refused, true);
        return exit_warnings;
    } catch (const UnreadableJob& unreadable) {
        report(unreadable, false);
        return exit_unreadable;
    } catch (const ZUL_Failure& failure) { // the file cannot be read or written
        report(failure, false);
        return exit_unreadable;
    }
}

// Why an address whose command has no line for its item names nothing in the text.
NamesNothing no_line(const KestCmd& cmd, const Address& address) {
    const std::string item = item_label(address.kind, address.index);
    if (cmd.ItemCount(address.kind) > address.index) {
        return NamesNothing(item + " has no line in the text; completion gives it '" +
                            cmd.Item(address.kind, address.index).GetString() + "'");
    }
    return NamesNothing("the command has no " + item);
}

void save(const KestParDocument& doc, const std::string& output) {
    doc.Save(output.empty() ? std::wstring() : KestFileUtil::path_from_utf8(output));
}

} // namespace

int run_get(const std::string& path, const std::string& address) {
    return guarded(path, address, [&](const Address& a) {
        const std::unique_ptr<Job> job = load_job(path);
        const KestCmd& cmd = find_command(a, job->completed(), job->positions());
        const auto span = job->positions().Find(cmd, a.kind, a.index);
        if (!span) {
            throw no_line(cmd, a);
        }
        std::cout << job->document.Slice(span->value, span->value_end) << '\n';
        std::cout.flush();
        return std::cout ? exit_clean : exit_output_failed;
    });
}

int run_set(const std::string& path, const std::string& address, const std::string& value,
            const std::string& output) {
    return guarded(path, address, [&](const Address& a) {
        KestParDocument doc = KestParDocument::Open(KestFileUtil::path_from_utf8(path));
        const KestCmd& cmd = find_command(a, doc.Job(), doc.Positions());
        const std::size_t lines = lines_of(doc.Positions(), cmd, a.kind);
        if (a.index < lines) {
            doc.SetValue(cmd, a.kind, a.index, value);
        } else if (a.index == lines || !doc.Positions().Find(cmd)) {
            // A new line; the document refuses a command that completion made.
            doc.AddItem(cmd, KestCmdItemDefs::default_item_names[a.kind], value);
        } else {
            throw NamesNothing("the block has " + std::to_string(lines) + " " +
                               KestCmdItemDefs::default_item_names[a.kind] + " line" +
                               (lines == 1 ? "" : "s") + "; " + item_label(a.kind, lines) +
                               " would add one");
        }
        save(doc, output);
        return exit_clean;
    });
}

int run_unset(const std::string& path, const std::string& address, const std::string& output) {
    return guarded(path, address, [&](const Address& a) {
        KestParDocument doc = KestParDocument::Open(KestFileUtil::path_from_utf8(path));
        const KestCmd& cmd = find_command(a, doc.Job(), doc.Positions());
        if (cmd.ItemCount(a.kind) <= a.index) {
            throw no_line(cmd, a);
        }
        // The document refuses an item that completion made.
        doc.RemoveItem(cmd, a.kind, a.index);
        save(doc, output);
        return exit_clean;
    });
}

} // namespace kestcmd
