// Check's settings: the built-in schema, and settings files laid over it.
#include "engine/io/KestParCheck.h"

#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

KestParCheckSettings::KestParCheckSettings() : schema(KestJobSchema::Builtin()) {}

void KestParCheckSettings::Extend(std::string_view text, const std::string& origin,
                                  const std::string& folder) {
    const auto fail = [&](const std::string& why) { throw KestSchemaError(origin + ": " + why); };
    const nlohmann::json root = nlohmann::json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        fail("is no JSON object");
    }
    KestParCheckSettings extended = *this;
    for (const auto& [member, value] : root.items()) {
        if (member == "schema" && value.is_string()) {
            const fs::path path = fs::u8path(value.get<std::string>());
            extended.schema.ExtendFromFile(
                (path.is_absolute() ? path : fs::u8path(folder) / path).u8string());
        } else if (member == "schema") {
            extended.schema.Extend(value.dump(), origin + ": schema");
        } else if (member == "ignore" && value.is_array()) {
            for (const nlohmann::json& code : value) {
                const auto& codes = check_codes();
                if (!code.is_string() ||
                    std::none_of(codes.begin(), codes.end(), [&](const KestParCheckCode& known) {
                        return code.get<std::string>() == known.code;
                    })) {
                    fail("ignore: " + code.dump() + " is no code of check");
                }
                extended.ignore.insert(code.get<std::string>());
            }
        } else if (member != "$schema") {
            fail("has no member '" + member + "' (schema, ignore)");
        }
    }
    extended.files.push_back(origin);
    *this = std::move(extended);
}

void KestParCheckSettings::ExtendFromFile(const std::string& path) {
    std::string text;
    try {
        text = KestFileUtil::read_all(KestFileUtil::path_from_utf8(path));
    } catch (const ZUL_Failure& failure) {
        throw KestSchemaError(failure.what());
    }
    Extend(text, path, fs::u8path(path).parent_path().u8string());
}

KestParCheckSettings KestParCheckSettings::ForFile(const std::string& path) {
    KestParCheckSettings settings;
    std::error_code error;
    const fs::path job = path.empty() || path == "-" ? fs::path("job") : fs::u8path(path);
    fs::path folder = fs::absolute(job, error).parent_path();
    while (!error && !folder.empty()) {
        const fs::path candidate = folder / settings_file_name;
        std::error_code missing; // a folder without one, or one that cannot be looked into
        if (fs::is_regular_file(candidate, missing)) {
            settings.ExtendFromFile(candidate.u8string());
            break;
        }
        if (folder == folder.parent_path()) {
            break;
        }
        folder = folder.parent_path();
    }
    return settings;
}
