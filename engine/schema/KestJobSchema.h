// What a valid job looks like, block by block: the keys each block takes and the reading each
// key's value should have. Check compares a job with it; the reader never looks at it.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/vocabulary/KestCmdDefs.h"

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

/// Where a fact of the schema comes from. A value that breaks a fact of the format is read
/// other than it is written (a link not made, a value the default rules do not copy), so check
/// calls that an error; a value that breaks the project's or a user's reading is a warning.
enum class KestSchemaSource {
    format,  ///< "format": the reader, the default rules or the vocabulary need it
    project, ///< "project": this project's reading of the format (docs/schema.md says why)
    user,    ///< "user": a schema the user gave
};

/// The readings a value may be asked for (the data types of an item), as the schema names them.
enum class KestSchemaReading {
    integer,      ///< "integer"
    real,         ///< "real"
    vector3d,     ///< "vector3d": three numbers separated by ','
    text,         ///< "text": any value
    integer_list, ///< "integer-list": "1,3,10-20,30-50:5"
    list,         ///< "list": pieces separated by ','
    name,         ///< "name": the ID_NAME of a command of one of the key's target types
    keyword,      ///< "keyword": a keyword value (of the key's set, when it has one)
};

/// What the schema says of one key: groups of facts, each with the source it came from, each
/// absent when the entry does not say it.
struct KEST_CMD_ENGINE_API KestSchemaKey {
    struct Reading {
        /// The readings of which the value should have one.
        std::vector<KestSchemaReading> any_of;
        /// For a name: the command types it may name.
        std::vector<KestCmdDefs::Cmd> targets;
        /// What in the format needs the reading, or empty.
        std::string why;
        KestSchemaSource source = KestSchemaSource::project;
    };
    struct Values {
        /// The keyword values a keyword takes.
        std::vector<std::string> list;
        KestSchemaSource source = KestSchemaSource::project;
    };
    struct Bounds {
        std::optional<double> min;
        std::optional<double> max;
        KestSchemaSource source = KestSchemaSource::project;
    };
    struct Flag {
        bool on = false;
        KestSchemaSource source = KestSchemaSource::project;
    };

    std::optional<Reading> reading;
    std::optional<Values> values;
    std::optional<Bounds> bounds;
    /// Whether the key must be given in its block, and whether it may be given more than once.
    std::optional<Flag> required;
    std::optional<Flag> repeats;
    std::string description;

    /// Whether the reading is one of `reading`'s alternatives.
    bool Takes(KestSchemaReading reading) const;
    /// This entry with the facts it lacks taken from `base`.
    KestSchemaKey Over(const KestSchemaKey& base) const;
};

/// What the schema says of one block (a command type).
struct KEST_CMD_ENGINE_API KestSchemaBlock {
    /// Whether a key the block does not list is out of place in it.
    KestSchemaKey::Flag closed;
    std::string description;
    /// The keys of the block, upper case as the reader matches them. An entry gives what
    /// differs from the schema's entry for the key in any block; KestJobSchema::Key merges them.
    std::map<std::string, KestSchemaKey, std::less<>> keys;
};

/// A schema text that cannot be used: no JSON, or JSON of another shape. The message names the
/// text (its file) and the place in it.
class KEST_CMD_ENGINE_API KestSchemaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The schema of jobs: entries for keys in any block, and blocks with keys of their own.
class KEST_CMD_ENGINE_API KestJobSchema {
  public:
    /// An empty schema: check then finds only what needs no schema.
    KestJobSchema() = default;

    /// The schema built into the library (engine/schema/kestcmd-schema.json, installed).
    static const KestJobSchema& Builtin();

    /// Lays a schema text over this one (JSON of the shape kestcmd-schema.schema.json gives):
    /// each fact it gives replaces this schema's, a key given as null is dropped, everything
    /// else stays. Facts without a source are the user's. `origin` names the text in messages.
    /// Throws KestSchemaError and leaves the schema as it was.
    void Extend(std::string_view json, std::string_view origin);
    /// Extend with the file at `path` (UTF-8); a file that cannot be read throws KestSchemaError.
    void ExtendFromFile(const std::string& path);

    /// The schema as JSON text that Extend on an empty schema reads back to the same schema,
    /// every fact with its source.
    std::string ToJson() const;

    /// What holds for `key` (upper case) in a block of `type`: the block's entry laid over the
    /// entry for any block; none when neither has one.
    std::optional<KestSchemaKey> Key(KestCmdDefs::Cmd type, std::string_view key) const;
    /// The block entry of `type`, or null.
    const KestSchemaBlock* Block(KestCmdDefs::Cmd type) const;
    /// Whether a block of `type` lists `key` or is open.
    bool Allows(KestCmdDefs::Cmd type, std::string_view key) const;

    /// Entries for a key in any block that does not describe it.
    const std::map<std::string, KestSchemaKey, std::less<>>& AnyBlock() const { return _any; }
    /// The block entries by type.
    const std::map<KestCmdDefs::Cmd, KestSchemaBlock>& Blocks() const { return _blocks; }
    bool Empty() const { return _any.empty() && _blocks.empty(); }

  private:
    std::map<std::string, KestSchemaKey, std::less<>> _any;
    std::map<KestCmdDefs::Cmd, KestSchemaBlock> _blocks;
};

/// The names that the schema's JSON gives sources and readings.
KEST_CMD_ENGINE_API const char* schema_name(KestSchemaSource source);
KEST_CMD_ENGINE_API const char* schema_name(KestSchemaReading reading);
