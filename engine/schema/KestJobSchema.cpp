#include "engine/schema/KestJobSchema.h"

#include "engine/schema/detail/BuiltinSchemaText.h"
#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include <algorithm>

bool KestSchemaKey::Takes(KestSchemaReading wanted) const {
    return reading && std::find(reading->any_of.begin(), reading->any_of.end(), wanted) !=
                          reading->any_of.end();
}

KestSchemaKey KestSchemaKey::Over(const KestSchemaKey& base) const {
    KestSchemaKey merged = *this;
    const auto fill = [](auto& fact, const auto& from) {
        if (!fact) {
            fact = from;
        }
    };
    fill(merged.reading, base.reading);
    fill(merged.values, base.values);
    fill(merged.bounds, base.bounds);
    fill(merged.required, base.required);
    fill(merged.repeats, base.repeats);
    if (merged.description.empty()) {
        merged.description = base.description;
    }
    return merged;
}

const KestJobSchema& KestJobSchema::Builtin() {
    static const KestJobSchema builtin = [] {
        KestJobSchema schema;
        schema.Extend(KestSchemaText::builtin(), "kestcmd-schema.json");
        return schema;
    }();
    return builtin;
}

void KestJobSchema::ExtendFromFile(const std::string& path) {
    std::string text;
    try {
        text = KestFileUtil::read_all(KestFileUtil::path_from_utf8(path));
    } catch (const ZUL_Failure& failure) {
        throw KestSchemaError(failure.what());
    }
    Extend(text, path);
}

const KestSchemaBlock* KestJobSchema::Block(KestCmdDefs::Cmd type) const {
    const auto found = _blocks.find(type);
    return found == _blocks.end() ? nullptr : &found->second;
}

std::optional<KestSchemaKey> KestJobSchema::Key(KestCmdDefs::Cmd type, std::string_view key) const {
    const auto any = _any.find(key);
    const KestSchemaBlock* block = Block(type);
    const auto own = block == nullptr ? _any.end() : block->keys.find(key);
    if (block != nullptr && own != block->keys.end()) {
        return any == _any.end() ? own->second : own->second.Over(any->second);
    }
    if (any != _any.end()) {
        return any->second;
    }
    return std::nullopt;
}

bool KestJobSchema::Allows(KestCmdDefs::Cmd type, std::string_view key) const {
    const KestSchemaBlock* block = Block(type);
    return block == nullptr || !block->closed.on || block->keys.count(key) != 0;
}

const char* schema_name(KestSchemaSource source) {
    switch (source) {
    case KestSchemaSource::format:
        return "format";
    case KestSchemaSource::project:
        return "project";
    case KestSchemaSource::user:
        break;
    }
    return "user";
}

const char* schema_name(KestSchemaReading reading) {
    switch (reading) {
    case KestSchemaReading::integer:
        return "integer";
    case KestSchemaReading::real:
        return "real";
    case KestSchemaReading::vector3d:
        return "vector3d";
    case KestSchemaReading::text:
        return "text";
    case KestSchemaReading::integer_list:
        return "integer-list";
    case KestSchemaReading::list:
        return "list";
    case KestSchemaReading::name:
        return "name";
    case KestSchemaReading::keyword:
        break;
    }
    return "keyword";
}
