// kestcmd: check, complete, show, graph, lay out and edit parameter files from the command line,
// and serve them to editors (lsp).
#include "Addresses.h"
#include "Check.h"
#include "Console.h"
#include "Edit.h"
#include "ExitStatus.h"
#include "Fmt.h"
#include "Job.h"
#include "KeepUntilExit.h"
#include "Report.h"
#include "Suggest.h"
#include "lsp/Server.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace kestcmd;

struct Options {
    std::string job;
    std::string output;
    bool json = false;
    bool changes = false;
    // fmt
    std::vector<std::string> files;
    bool check_only = false;
    bool in_place = false;
    // get, set, unset
    std::string address;
    std::string value;
    std::size_t threads = 0;
    // check, schema
    kestcmd::CheckOptions check;
    // complete-address
    std::string prefix;
};

// Writes what `write` produces to the file `path`, or to standard output when it is empty.
template <class Write>
int emit(const std::string& path, Write write) {
    if (path.empty()) {
        write(std::cout);
        std::cout.flush();
        return std::cout ? exit_clean : exit_output_failed;
    }
    std::ofstream file(std::filesystem::u8path(path), std::ios::binary);
    if (file) {
        write(file);
        file.close();
    }
    if (!file) {
        std::cerr << "kestcmd: cannot write '" << path << "'\n";
        return exit_output_failed;
    }
    return exit_clean;
}

int run_complete(const kestcmd::Job& job, const Options& options) {
    if (options.changes) {
        return emit(options.output, [&](std::ostream& out) {
            for (const kestcmd::Change& change : kestcmd::list_changes(job)) {
                out << job.path << ':'
                    << (change.line == 0 ? std::string("(created)") : std::to_string(change.line))
                    << ": " << change.command << ": " << change.what << '\n';
            }
        });
    }
    const std::wstring target = KestFileUtil::path_from_utf8(options.output);
    const KestCmdParOutput writer(options.output.empty() ? L"<standard output>" : target,
                                  job.completed(), KestCmdDefs::get_default_cmd_names(),
                                  KestCmdItemDefs::default_item_names);
    try {
        if (options.output.empty()) {
            writer.Write(stdout);
        } else {
            writer.Write(L"wb"); // the bytes of standard output, on every system
        }
    } catch (const ZUL_Failure& failure) {
        std::cerr << "kestcmd: " << failure.what() << '\n';
        return exit_output_failed;
    }
    return exit_clean;
}

int run_show(const kestcmd::Job& job, const Options& options) {
    return emit(options.output, [&](std::ostream& out) {
        if (options.json) {
            out << kestcmd::model_json(job).dump(2, ' ', false,
                                                 nlohmann::json::error_handler_t::replace)
                << '\n';
        } else {
            kestcmd::write_model_text(out, job);
        }
    });
}

int run_graph(const kestcmd::Job& job, const Options& options) {
    return emit(options.output, [&](std::ostream& out) { kestcmd::write_graph(out, job); });
}

// Prints the addresses that complete `prefix` in the job, one a line; says nothing (and succeeds)
// when the job cannot be read: a shell asks while the user types.
int run_complete_address(const Options& options) {
    try {
        const std::unique_ptr<kestcmd::Job> job = kestcmd::load_job(options.job);
        for (const std::string& address : kestcmd::complete_address(*job, options.prefix)) {
            std::cout << address << '\n';
        }
    } catch (const std::exception&) {
        // nothing to offer
    }
    return exit_clean;
}

// When `word` is meant as a subcommand of `app` but names none, says so, with the closest
// visible one, and returns true.
bool unknown_subcommand(CLI::App& app, const std::string& word) {
    std::vector<std::string> visible;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (sub->get_name() == word) {
            return false;
        }
        if (!sub->get_group().empty()) {
            visible.push_back(sub->get_name());
        }
    }
    std::string lower = word; // UNSET means unset
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string close = kestcmd::closest_word(lower, visible);
    std::cerr << "kestcmd: unknown subcommand '" << word << "'; "
              << (close.empty() ? "see kestcmd --help" : "did you mean '" + close + "'?") << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const kestcmd::Arguments arguments(argc, argv);
    kestcmd::use_binary_standard_streams();
#if defined(SIGXFSZ)
    // Beyond a file-size limit a write fails and is reported, instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    CLI::App app{"Check, complete, look at, lay out and edit parameter files of "
                 "structural-optimisation jobs.",
                 "kestcmd"};
    app.set_version_flag("--version", std::string("kestcmd ") + KEST_VERSION);
    app.require_subcommand(1);
    // Options are spelled alike on every system: "/x" is a path (from the drive's root on
    // Windows), never an option.
    app.allow_windows_style_options(false);
    Options options;

    CLI::App* complete = app.add_subcommand(
        "complete", "Write the job completed with references and default values");
    complete->add_option("JOB", options.job, "The parameter file")->required();
    complete->add_option("-o,--output", options.output, "Write to this file, not standard output");
    complete->add_flag("--changes", options.changes,
                       "List what completion added or changed instead of the job");

    CLI::App* check = app.add_subcommand(
        "check", "Report problems as FILE:LINE:COLUMN: SEVERITY: lines (exit 1 when there are any "
                 "of at least --severity)");
    check
        ->add_option("JOB", options.check.paths,
                     "Parameter files, folders (their *.par files), - "
                     "for standard input")
        ->required();
    // An option given once per value (--ignore a --ignore b), every value kept.
    const auto repeatable = [](CLI::Option* option) {
        option->expected(1)->allow_extra_args(false)->multi_option_policy(
            CLI::MultiOptionPolicy::TakeAll);
    };
    repeatable(check->add_option(
        "--schema", options.check.schemas,
        "A schema file laid over the built-in one (and .kestcmd.json's); repeatable"));
    repeatable(check->add_option("--ignore", options.check.ignore,
                                 "Leave out findings of this code; repeatable"));
    check
        ->add_option("--severity", options.check.severity,
                     "The least severity that makes check exit 1 (default warning)")
        ->check(CLI::IsMember({"error", "warning", "information"}));
    check->add_option("--format", options.check.format, "text (default), json or sarif")
        ->check(CLI::IsMember({"text", "json", "sarif"}));
    check->add_flag("--json", options.json, "The same as --format json");
    check
        ->add_option("--color", options.check.color,
                     "Colour the text: auto (default: on a terminal, unless NO_COLOR is set), "
                     "always or never")
        ->check(CLI::IsMember({"auto", "always", "never"}));

    CLI::App* schema = app.add_subcommand(
        "schema", "Print the schema that check uses for a job here (or at JOB) as JSON");
    schema->add_option("JOB", options.job, "A job file whose .kestcmd.json applies");
    repeatable(schema->add_option("--schema", options.check.schemas,
                                  "A schema file laid over; repeatable"));
    schema
        ->add_option("--format", options.check.format, "json (default) or markdown (docs/keys.md)")
        ->check(CLI::IsMember({"json", "markdown"}));

    CLI::App* show = app.add_subcommand("show", "Print the completed model with typed readings");
    show->add_option("JOB", options.job, "The parameter file")->required();
    show->add_flag("--json", options.json, "Print one JSON document");
    show->add_option("-o,--output", options.output, "Write to this file, not standard output");

    CLI::App* graph = app.add_subcommand(
        "graph", "Print the references between commands as a Graphviz DOT graph");
    graph->add_option("JOB", options.job, "The parameter file")->required();
    graph->add_option("-o,--output", options.output, "Write to this file, not standard output");

    CLI::App* fmt = app.add_subcommand("fmt", "Lay out job files the way the writer does");
    fmt->add_option("FILE", options.files, "Parameter files")->required();
    CLI::Option* check_only = fmt->add_flag(
        "--check", options.check_only,
        "Change nothing; list the files that would change (exit 1 when there is any)");
    fmt->add_flag("-i,--in-place", options.in_place, "Rewrite each file in place")
        ->excludes(check_only);

    const char* address_help = "COMMAND.KEY or COMMAND.KEY[N]; COMMAND is an ID_NAME or TYPE[N]";
    CLI::App* get =
        app.add_subcommand("get", "Print the value that an address names, as the file writes it");
    get->add_option("JOB", options.job, "The parameter file")->required();
    get->add_option("ADDRESS", options.address, address_help)->required();

    CLI::App* set = app.add_subcommand(
        "set", "Set the value that an address names (a new line for a key the block lacks)");
    set->add_option("JOB", options.job, "The parameter file")->required();
    set->add_option("ADDRESS", options.address, address_help)->required();
    set->add_option("VALUE", options.value, "The new value text")->required();
    set->add_option("-o,--output", options.output, "Write to this file, not back to JOB");

    CLI::App* unset = app.add_subcommand("unset", "Remove the line of the item an address names");
    unset->add_option("JOB", options.job, "The parameter file")->required();
    unset->add_option("ADDRESS", options.address, address_help)->required();
    unset->add_option("-o,--output", options.output, "Write to this file, not back to JOB");

    CLI::App* lsp = app.add_subcommand(
        "lsp", "Serve the Language Server Protocol on standard input and output");

    // For shells' completion scripts: the addresses of a job's values (hidden from --help).
    CLI::App* complete_address =
        app.add_subcommand("complete-address", "Print the addresses that complete PREFIX")
            ->group("");
    complete_address->add_option("JOB", options.job, "The parameter file")->required();
    complete_address->add_option("PREFIX", options.prefix, "The start of an address");

    for (CLI::App* reads_job : {complete, check, show, graph, get, set, unset}) {
        reads_job->add_option("--threads",
                              reads_job == check ? options.check.threads : options.threads,
                              "Read the job on this many threads (default 0: one per core)");
    }

    if (arguments.count() > 1 && arguments.values()[1][0] != '-' &&
        unknown_subcommand(app, arguments.values()[1])) {
        return exit_usage;
    }
    try {
        app.parse(arguments.count(), arguments.values());
    } catch (const CLI::Success& success) {
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return exit_usage;
    }

    if (*fmt) {
        return run_fmt(options.files, options.check_only, options.in_place);
    }
    if (*get) {
        return run_get(options.job, options.address, options.threads);
    }
    if (*set) {
        return run_set(options.job, options.address, options.value, options.output,
                       options.threads);
    }
    if (*unset) {
        return run_unset(options.job, options.address, options.output, options.threads);
    }
    if (*complete_address) {
        return run_complete_address(options);
    }
    if (*check) {
        if (options.json) {
            options.check.format = "json";
        }
        return run_check(options.check);
    }
    if (*schema) {
        return run_schema(options.job, options.check.schemas,
                          options.check.format == "markdown" ? "markdown" : "json");
    }
    if (*lsp) {
        std::ios::sync_with_stdio(false);
        return kestcmd::lsp::serve(std::cin, std::cout);
    }

    kestcmd::Job* job = nullptr;
    try {
        job = &kestcmd::keep_until_exit(
            kestcmd::load_job(options.job, *complete && options.changes, options.threads));
    } catch (const kestcmd::UnreadableJob& unreadable) {
        std::cerr << "kestcmd: " << unreadable.what() << '\n';
        return exit_unreadable;
    } catch (const std::exception& failure) {
        std::cerr << "kestcmd: " << options.job << ": " << failure.what() << '\n';
        return exit_unreadable;
    }
    if (*complete) {
        return run_complete(*job, options);
    }
    if (*show) {
        return run_show(*job, options);
    }
    return run_graph(*job, options);
}
