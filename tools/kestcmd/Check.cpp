#include "Check.h"

#include "ExitStatus.h"
#include "KeepUntilExit.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>

#if defined(_WIN32)
#include <io.h>
#define KEST_ISATTY _isatty
#define KEST_FILENO _fileno
#else
#include <unistd.h>
#define KEST_ISATTY isatty
#define KEST_FILENO fileno
#endif

namespace kestcmd {

namespace fs = std::filesystem;

namespace {

// The job files a path stands for: a folder's *.par files in name order, anything else itself.
std::vector<std::string> job_files(const std::string& path) {
    std::error_code error;
    const fs::path given = fs::u8path(path);
    if (path == "-" || !fs::is_directory(given, error)) {
        return {path};
    }
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(given, error)) {
        if (entry.path().extension() == ".par" && entry.is_regular_file(error)) {
            files.push_back(entry.path().u8string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool paint(const std::string& color) {
    if (color == "always") {
        return true;
    }
    const char* no_color = std::getenv("NO_COLOR");
    return color == "auto" && (no_color == nullptr || *no_color == '\0') &&
           KEST_ISATTY(KEST_FILENO(stdout)) != 0;
}

// The settings for `path`: those its folder's settings file gives, then the options'.
KestParCheckSettings settings_for(const std::string& path, const CheckOptions& options) {
    KestParCheckSettings settings = KestParCheckSettings::ForFile(path);
    for (const std::string& schema : options.schemas) {
        settings.schema.ExtendFromFile(schema);
    }
    settings.ignore.insert(options.ignore.begin(), options.ignore.end());
    return settings;
}

} // namespace

int run_check(const CheckOptions& options) {
    const std::optional<KestSeverity> threshold = severity_named(options.severity);
    for (const std::string& code : options.ignore) {
        const auto& codes = check_codes();
        if (std::none_of(codes.begin(), codes.end(),
                         [&](const KestParCheckCode& known) { return code == known.code; })) {
            std::cerr << "kestcmd: --ignore " << code << ": no such code\n";
            return exit_usage;
        }
    }
    std::vector<std::string> files;
    for (const std::string& path : options.paths) {
        const std::vector<std::string> found = job_files(path);
        files.insert(files.end(), found.begin(), found.end());
    }
    KestCmdIoConfig config;
    config.threads = options.threads;
    int status = exit_clean;
    std::vector<CheckedFile> checked;
    for (const std::string& path : files) {
        try {
            const KestParCheckSettings settings = settings_for(path, options);
            std::string text = path == "-"
                                   ? std::string(std::istreambuf_iterator<char>(std::cin),
                                                 std::istreambuf_iterator<char>())
                                   : KestFileUtil::read_all(KestFileUtil::path_from_utf8(path));
            const KestParDocument& document =
                keep_until_exit(std::make_unique<KestParDocument>(read_document_to_check(
                    std::move(text), KestFileUtil::path_from_utf8(path), config)));
            checked.push_back({path, &document, check_par_document(document, settings)});
        } catch (const KestSchemaError& error) {
            std::cerr << "kestcmd: " << error.what() << '\n';
            return exit_usage;
        } catch (const ZUL_Failure& failure) {
            std::cerr << "kestcmd: " << failure.what() << '\n';
            status = exit_unreadable;
        } catch (const std::exception& failure) {
            std::cerr << "kestcmd: " << path << ": " << failure.what() << '\n';
            status = exit_unreadable;
        }
    }
    write_findings(std::cout, checked, options.format, paint(options.color));
    std::cout.flush();
    if (!std::cout) {
        return exit_output_failed;
    }
    for (const CheckedFile& file : checked) {
        for (const KestParDiagnostic& finding : file.found) {
            if (status == exit_clean && finding.severity <= *threshold) {
                status = exit_warnings;
            }
        }
    }
    return status;
}

int run_schema(const std::string& path, const std::vector<std::string>& schemas,
               const std::string& format) {
    try {
        KestParCheckSettings settings = KestParCheckSettings::ForFile(path);
        for (const std::string& schema : schemas) {
            settings.schema.ExtendFromFile(schema);
        }
        if (format == "markdown") {
            write_keys_markdown(std::cout, settings.schema);
        } else {
            std::cout << settings.schema.ToJson();
        }
    } catch (const KestSchemaError& error) {
        std::cerr << "kestcmd: " << error.what() << '\n';
        return exit_usage;
    }
    std::cout.flush();
    return std::cout ? exit_clean : exit_output_failed;
}

} // namespace kestcmd
