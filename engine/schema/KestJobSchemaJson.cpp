// The schema's JSON form: reading a schema text over a schema, and writing one.
#include "engine/schema/KestJobSchema.h"

#include "utilities/KestText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

using json = nlohmann::ordered_json;
using KestCmdDefs::Cmd;

namespace {

constexpr std::array<KestSchemaSource, 3> sources{
    KestSchemaSource::format, KestSchemaSource::project, KestSchemaSource::user};
constexpr std::array<KestSchemaReading, 8> readings{
    KestSchemaReading::integer, KestSchemaReading::real,         KestSchemaReading::vector3d,
    KestSchemaReading::text,    KestSchemaReading::integer_list, KestSchemaReading::list,
    KestSchemaReading::name,    KestSchemaReading::keyword};

// The facts of a key entry that may each have a source of their own ("sources").
constexpr std::array<const char*, 5> fact_names{"reading", "values", "bounds", "required",
                                                "repeats"};

// Reads one schema text; every complaint names the text and the place in it.
class Reader {
  public:
    explicit Reader(std::string_view origin) : _origin(origin) {}

    [[noreturn]] void Fail(const std::string& at, const std::string& why) const {
        throw KestSchemaError(std::string(_origin) + ": " + (at.empty() ? "" : at + ": ") + why);
    }

    const json& Object(const json& value, const std::string& at) const {
        if (!value.is_object()) {
            Fail(at, "is no JSON object");
        }
        return value;
    }

    // Refuses members other than `known`, so that a misspelt one does not go unnoticed.
    void OnlyMembers(const json& object, const std::string& at,
                     std::initializer_list<const char*> known) const {
        for (const auto& item : object.items()) {
            const std::string& member = item.key();
            if (std::none_of(known.begin(), known.end(),
                             [&](const char* name) { return member == name; })) {
                Fail(at, "has no member '" + member + "'");
            }
        }
    }

    std::string Text(const json& value, const std::string& at) const {
        if (!value.is_string()) {
            Fail(at, "is no text");
        }
        return value.get<std::string>();
    }

    bool Bool(const json& value, const std::string& at) const {
        if (!value.is_boolean()) {
            Fail(at, "is neither true nor false");
        }
        return value.get<bool>();
    }

    double Number(const json& value, const std::string& at) const {
        if (!value.is_number()) {
            Fail(at, "is no number");
        }
        return value.get<double>();
    }

    KestSchemaSource Source(const json& value, const std::string& at) const {
        const std::string name = Text(value, at);
        for (KestSchemaSource source : sources) {
            if (name == schema_name(source)) {
                return source;
            }
        }
        Fail(at, "'" + name + "' is no source (format, project or user)");
    }

    Cmd Type(const std::string& name, const std::string& at) const {
        const auto& names = KestCmdDefs::get_default_cmd_names();
        const std::string upper = KestText::to_upper_copy(name);
        const auto found = std::find(names.begin(), names.end(), upper);
        if (found == names.end()) {
            Fail(at, "'" + name + "' is no command type");
        }
        return static_cast<Cmd>(found - names.begin());
    }

    KestSchemaReading ReadingOf(const json& value, const std::string& at) const {
        const std::string name = Text(value, at);
        for (KestSchemaReading reading : readings) {
            if (name == schema_name(reading)) {
                return reading;
            }
        }
        Fail(at, "'" + name +
                     "' is no reading (integer, real, vector3d, text, integer-list, list, name, "
                     "keyword)");
    }

    // Lays the entry `value` over `key`; `fallback` is the source of facts that name none.
    void KeyEntry(const json& value, const std::string& at, KestSchemaKey& key,
                  KestSchemaSource fallback) const {
        Object(value, at);
        OnlyMembers(value, at,
                    {"reading", "targets", "why", "values", "min", "max", "required", "repeats",
                     "description", "source", "sources"});
        const KestSchemaSource source =
            value.contains("source") ? Source(value["source"], at + ".source") : fallback;
        std::map<std::string, KestSchemaSource> own;
        if (value.contains("sources")) {
            Object(value["sources"], at + ".sources");
            for (const auto& source : value["sources"].items()) {
                const std::string& fact = source.key();
                const json& name = source.value();
                if (std::none_of(fact_names.begin(), fact_names.end(),
                                 [&](const char* known) { return fact == known; })) {
                    Fail(at + ".sources", "'" + fact + "' is no fact with a source");
                }
                own[fact] = Source(name, at + ".sources." + fact);
            }
        }
        const auto source_of = [&](const char* fact) {
            const auto found = own.find(fact);
            return found == own.end() ? source : found->second;
        };
        if (value.contains("reading")) {
            KestSchemaKey::Reading reading;
            reading.source = source_of("reading");
            const json& given = value["reading"];
            if (given.is_array()) {
                for (std::size_t i = 0; i < given.size(); ++i) {
                    reading.any_of.push_back(
                        ReadingOf(given[i], at + ".reading[" + std::to_string(i) + "]"));
                }
            } else {
                reading.any_of.push_back(ReadingOf(given, at + ".reading"));
            }
            if (value.contains("targets")) {
                const json& targets = value["targets"];
                if (!targets.is_array()) {
                    Fail(at + ".targets", "is no list of command types");
                }
                for (std::size_t i = 0; i < targets.size(); ++i) {
                    const std::string place = at + ".targets[" + std::to_string(i) + "]";
                    reading.targets.push_back(Type(Text(targets[i], place), place));
                }
            }
            if (value.contains("why")) {
                reading.why = Text(value["why"], at + ".why");
            }
            const bool names = std::find(reading.any_of.begin(), reading.any_of.end(),
                                         KestSchemaReading::name) != reading.any_of.end();
            if (names == reading.targets.empty()) {
                Fail(at, names ? "a name needs its targets" : "only a name has targets");
            }
            key.reading = std::move(reading);
        } else if (value.contains("targets") || value.contains("why")) {
            Fail(at, "targets and why belong to a reading");
        }
        if (value.contains("values")) {
            KestSchemaKey::Values values;
            values.source = source_of("values");
            const json& list = value["values"];
            if (!list.is_array()) {
                Fail(at + ".values", "is no list of keyword values");
            }
            for (std::size_t i = 0; i < list.size(); ++i) {
                // The reader upper-cases the values of keyword keys.
                values.list.push_back(KestText::to_upper_copy(
                    Text(list[i], at + ".values[" + std::to_string(i) + "]")));
            }
            key.values = std::move(values);
        }
        if (value.contains("min") || value.contains("max")) {
            KestSchemaKey::Bounds bounds;
            bounds.source = source_of("bounds");
            if (value.contains("min")) {
                bounds.min = Number(value["min"], at + ".min");
            }
            if (value.contains("max")) {
                bounds.max = Number(value["max"], at + ".max");
            }
            key.bounds = bounds;
        }
        if (value.contains("required")) {
            key.required = KestSchemaKey::Flag{Bool(value["required"], at + ".required"),
                                               source_of("required")};
        }
        if (value.contains("repeats")) {
            key.repeats =
                KestSchemaKey::Flag{Bool(value["repeats"], at + ".repeats"), source_of("repeats")};
        }
        if (value.contains("description")) {
            key.description = Text(value["description"], at + ".description");
        }
    }

    // Lays the entries of `value` (KEY: entry or null) over `keys`.
    void Keys(const json& value, const std::string& at,
              std::map<std::string, KestSchemaKey, std::less<>>& keys,
              KestSchemaSource fallback) const {
        Object(value, at);
        for (const auto& [name, entry] : value.items()) {
            const std::string key = KestText::to_upper_copy(name);
            if (entry.is_null()) {
                keys.erase(key);
            } else {
                KeyEntry(entry, at + "." + name, keys[key], fallback);
            }
        }
    }

    void Schema(const json& root, std::map<std::string, KestSchemaKey, std::less<>>& any,
                std::map<Cmd, KestSchemaBlock>& blocks) const {
        Object(root, "");
        OnlyMembers(root, "", {"$schema", "description", "keys", "blocks"});
        const KestSchemaSource fallback = KestSchemaSource::user;
        if (root.contains("keys")) {
            Keys(root["keys"], "keys", any, fallback);
        }
        if (!root.contains("blocks")) {
            return;
        }
        Object(root["blocks"], "blocks");
        for (const auto& [name, entry] : root["blocks"].items()) {
            const std::string at = "blocks." + name;
            const Cmd type = Type(name, at);
            if (entry.is_null()) {
                blocks.erase(type);
                continue;
            }
            Object(entry, at);
            OnlyMembers(entry, at, {"closed", "source", "description", "keys"});
            KestSchemaBlock& block = blocks[type];
            const KestSchemaSource source =
                entry.contains("source") ? Source(entry["source"], at + ".source") : fallback;
            if (entry.contains("closed")) {
                block.closed = {Bool(entry["closed"], at + ".closed"), source};
            }
            if (entry.contains("description")) {
                block.description = Text(entry["description"], at + ".description");
            }
            if (entry.contains("keys")) {
                Keys(entry["keys"], at + ".keys", block.keys, source);
            }
        }
    }

  private:
    std::string_view _origin;
};

json entry_json(const KestSchemaKey& key) {
    json out = json::object();
    // The entry's source is that of its first fact; others that differ are named apart.
    std::optional<KestSchemaSource> main;
    json own = json::object();
    const auto note = [&](const char* fact, KestSchemaSource source) {
        if (!main) {
            main = source;
        } else if (source != *main) {
            own[fact] = schema_name(source);
        }
    };
    if (key.reading) {
        note("reading", key.reading->source);
        if (key.reading->any_of.size() == 1) {
            out["reading"] = schema_name(key.reading->any_of.front());
        } else {
            json list = json::array();
            for (KestSchemaReading reading : key.reading->any_of) {
                list.push_back(schema_name(reading));
            }
            out["reading"] = std::move(list);
        }
        if (!key.reading->targets.empty()) {
            json targets = json::array();
            for (Cmd type : key.reading->targets) {
                targets.push_back(KestCmdDefs::get_default_cmd_names()[type]);
            }
            out["targets"] = std::move(targets);
        }
        if (!key.reading->why.empty()) {
            out["why"] = key.reading->why;
        }
    }
    if (key.values) {
        note("values", key.values->source);
        out["values"] = key.values->list;
    }
    if (key.bounds) {
        note("bounds", key.bounds->source);
        if (key.bounds->min) {
            out["min"] = *key.bounds->min;
        }
        if (key.bounds->max) {
            out["max"] = *key.bounds->max;
        }
    }
    if (key.required) {
        note("required", key.required->source);
        out["required"] = key.required->on;
    }
    if (key.repeats) {
        note("repeats", key.repeats->source);
        out["repeats"] = key.repeats->on;
    }
    if (!key.description.empty()) {
        out["description"] = key.description;
    }
    if (main) {
        out["source"] = schema_name(*main);
    }
    if (!own.empty()) {
        out["sources"] = std::move(own);
    }
    return out;
}

json keys_json(const std::map<std::string, KestSchemaKey, std::less<>>& keys) {
    json out = json::object();
    for (const auto& [name, key] : keys) {
        out[name] = entry_json(key);
    }
    return out;
}

} // namespace

void KestJobSchema::Extend(std::string_view text, std::string_view origin) {
    const json root = json::parse(text, nullptr, false);
    const Reader reader(origin);
    if (root.is_discarded()) {
        reader.Fail("", "is no JSON text");
    }
    // Read into copies, so that a failure leaves the schema as it was.
    auto any = _any;
    auto blocks = _blocks;
    reader.Schema(root, any, blocks);
    _any = std::move(any);
    _blocks = std::move(blocks);
}

std::string KestJobSchema::ToJson() const {
    json blocks = json::object();
    for (const auto& [type, block] : _blocks) {
        json entry = {{"closed", block.closed.on}, {"source", schema_name(block.closed.source)}};
        if (!block.description.empty()) {
            entry["description"] = block.description;
        }
        entry["keys"] = keys_json(block.keys);
        blocks[KestCmdDefs::get_default_cmd_names()[type]] = std::move(entry);
    }
    const json root = {{"keys", keys_json(_any)}, {"blocks", std::move(blocks)}};
    return root.dump(2) + "\n";
}
