// The schema as Markdown: docs/keys.md is this output for the built-in schema.
#include "Check.h"

namespace kestcmd {

namespace {

std::string cell(std::string text) {
    std::string out;
    for (char c : text) {
        out += c == '|' ? std::string("\\|") : std::string(1, c);
    }
    return out;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += (i == 0 ? "" : separator) + parts[i];
    }
    return out;
}

std::string reading_of(const KestSchemaKey& key) {
    if (!key.reading) {
        return "any";
    }
    std::vector<std::string> names;
    for (KestSchemaReading reading : key.reading->any_of) {
        names.push_back(schema_name(reading));
    }
    return joined(names, " or ");
}

std::string values_of(const KestSchemaKey& key) {
    std::vector<std::string> parts;
    if (key.reading) {
        for (KestCmdDefs::Cmd type : key.reading->targets) {
            parts.push_back(KestCmdDefs::get_default_cmd_names()[type]);
        }
    }
    if (key.values) {
        parts.insert(parts.end(), key.values->list.begin(), key.values->list.end());
    }
    std::string out = joined(parts, ", ");
    if (key.bounds) {
        const auto number = [](double n) {
            std::string text = std::to_string(n);
            text.erase(text.find_last_not_of('0') + 1);
            return text.back() == '.' ? text.substr(0, text.size() - 1) : text;
        };
        if (key.bounds->min) {
            out += (out.empty() ? "" : "; ") + std::string("at least ") + number(*key.bounds->min);
        }
        if (key.bounds->max) {
            out += (out.empty() ? "" : "; ") + std::string("at most ") + number(*key.bounds->max);
        }
    }
    return out;
}

// "format", or "format; values: project" where facts differ in source.
std::string sources_of(const KestSchemaKey& key) {
    std::vector<std::pair<std::string, KestSchemaSource>> facts;
    if (key.reading) {
        facts.emplace_back("reading", key.reading->source);
    }
    if (key.values) {
        facts.emplace_back("values", key.values->source);
    }
    if (key.bounds) {
        facts.emplace_back("bounds", key.bounds->source);
    }
    if (key.required && key.required->on) {
        facts.emplace_back("required", key.required->source);
    }
    if (key.repeats && key.repeats->on) {
        facts.emplace_back("repeats", key.repeats->source);
    }
    if (facts.empty()) {
        return std::string();
    }
    std::string out = schema_name(facts.front().second);
    for (std::size_t i = 1; i < facts.size(); ++i) {
        if (facts[i].second != facts.front().second) {
            out += "; " + facts[i].first + ": " + schema_name(facts[i].second);
        }
    }
    return out;
}

std::string flags_of(const KestSchemaKey& key) {
    std::vector<std::string> flags;
    if (key.required && key.required->on) {
        flags.push_back("required");
    }
    if (key.repeats && key.repeats->on) {
        flags.push_back("repeats");
    }
    return joined(flags, ", ");
}

void write_row(std::ostream& out, const std::string& name, const KestSchemaKey& key) {
    out << "| `" << name << "` | " << reading_of(key) << " | " << cell(values_of(key)) << " | "
        << flags_of(key) << " | " << sources_of(key) << " | " << cell(key.description) << " |\n";
}

const char* const header = "| key | reading | names or values | given | source | meaning |\n"
                           "|---|---|---|---|---|---|\n";

} // namespace

void write_keys_markdown(std::ostream& out, const KestJobSchema& schema) {
    out << "# Keys of job files\n\n"
        << "Made by `kestcmd schema --format markdown` from the built-in schema\n"
        << "(`engine/schema/kestcmd-schema.json`); a test fails when this file differs from it.\n"
        << "A fact of source *format* is one that reading and the default rules need, and check\n"
        << "reports a value that breaks it as an error; *project* facts are this project's\n"
        << "reading of the format ([schema.md](schema.md) says why), reported as warnings.\n\n"
        << "## Keys in any block\n\n"
        << "What holds for a key wherever a block does not say otherwise.\n\n"
        << header;
    for (const auto& [name, key] : schema.AnyBlock()) {
        write_row(out, name, key);
    }
    for (const auto& [type, block] : schema.Blocks()) {
        out << "\n## " << KestCmdDefs::get_default_cmd_names()[type] << "\n\n";
        if (!block.description.empty()) {
            out << block.description << " ";
        }
        out << (block.closed.on ? "Closed: a key not listed here is out of place ("
                                : "Open: keys not listed here are taken too (")
            << schema_name(block.closed.source) << ").\n\n"
            << header;
        for (const auto& [name, own] : block.keys) {
            write_row(out, name, *schema.Key(type, name));
        }
    }
}

} // namespace kestcmd
