#include "Report.h"

#include <map>
#include <set>
#include <sstream>

using namespace KestCmdItemDefs;

namespace kestcmd {

namespace {

const std::string& type_name(const KestCmd& cmd) {
    return KestCmdDefs::get_default_cmd_names()[cmd.GetType()];
}

std::string title(const KestCmd& cmd) {
    const std::string name = name_of(cmd);
    return name.empty() ? type_name(cmd) : type_name(cmd) + " " + name;
}

// Calls `visit(kind, item)` for every item of `cmd`, kinds in increasing order.
template <class Visit>
void for_each_item(const KestCmd& cmd, Visit visit) {
    for (int k = 0; k < item_kind_count; ++k) {
        const auto kind = static_cast<CmdItem>(k);
        for (auto item = cmd.begin(kind); item != cmd.end(kind); ++item) {
            if (*item) {
                visit(kind, **item);
            }
        }
    }
}

void add_commands(std::vector<Change>& changes, const KestCmd& done, const KestCmd* read,
                  std::size_t line) {
    if (read == nullptr) {
        changes.push_back({line, title(done), "created"});
    }
    for (int k = 0; k < item_kind_count; ++k) {
        const auto kind = static_cast<CmdItem>(k);
        const std::size_t before = read == nullptr ? 0 : read->ItemCount(kind);
        for (std::size_t i = 0; i < done.ItemCount(kind); ++i) {
            const std::string text = done.Item(kind, i).GetString();
            const std::string& key = default_item_names[kind];
            if (i >= before) {
                changes.push_back({line, title(done), "added " + key + " = " + text});
            } else if (read->Item(kind, i).GetString() != text) {
                changes.push_back({line, title(done),
                                   "changed " + key + " from " + read->Item(kind, i).GetString() +
                                       " to " + text});
            }
        }
    }
}

// A quoted DOT string of the given lines, joined by DOT's line break.
std::string dot_text(const std::vector<std::string>& lines) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) {
            quoted += "\\n";
        }
        for (char c : lines[i]) {
            if (c == '"' || c == '\\') {
                quoted += '\\';
            }
            quoted += c == '\n' || c == '\r' ? ' ' : c;
        }
    }
    return quoted + "\"";
}

} // namespace

std::vector<Change> list_changes(const Job& job) {
    std::map<const KestCmd*, std::size_t> block_of;
    for (std::size_t b = 0; b < job.positions().CommandCount(); ++b) {
        block_of[&job.positions().Command(b)] = b;
    }
    std::vector<Change> changes;
    for (const KestCmd& cmd : job.completed()) {
        const auto found = block_of.find(&cmd);
        if (found == block_of.end()) {
            add_commands(changes, cmd, nullptr, 0);
        } else {
            add_commands(changes, cmd, job.read_blocks[found->second], job.line_of(cmd));
        }
    }
    return changes;
}

nlohmann::json model_json(const Job& job) {
    nlohmann::json commands = nlohmann::json::array();
    for (const KestCmd& cmd : job.completed()) {
        nlohmann::json items = nlohmann::json::array();
        std::size_t index = 0;
        CmdItem last_kind = PLACEHOLDER;
        for_each_item(cmd, [&](CmdItem kind, const KestCmdItem& item) {
            index = kind == last_kind ? index + 1 : 0;
            last_kind = kind;
            nlohmann::json entry{{"kind", default_item_names[kind]}, {"text", item.GetString()}};
            if (const auto span = job.positions().Find(cmd, kind, index)) {
                entry["line"] = span->key.line;
                entry["column"] = span->key.column;
                entry["value_line"] = span->value.line;
                entry["value_column"] = span->value.column;
                entry["end_line"] = span->value_end.line;
                entry["end_column"] = span->value_end.column;
            }
            if (item.HasInteger()) {
                entry["integer"] = item.GetInteger();
            }
            if (item.HasReal()) {
                entry["real"] = item.GetReal();
            }
            if (item.HasVector3d()) {
                const auto v = item.GetVector3d();
                entry["vector"] = {v[0], v[1], v[2]};
            }
            if (item.HasEnum()) {
                entry["enum"] = static_cast<int>(item.GetEnum());
            }
            if (item.HasList()) {
                entry["list"] = item.GetList();
            }
            if (item.HasLumoList()) {
                const LumoList<int> list = item.GetLumoList();
                entry["integer_list"] = {
                    {"size", list.size()},
                    {"text",
                     LumoListText::to_text(list.runs(), list.GetDefaultStep(), std::string::npos)}};
            }
            if (item.HasReference() && item.GetReference() != nullptr) {
                entry["reference"] = {{"type", type_name(*item.GetReference())},
                                      {"name", name_of(*item.GetReference())}};
            }
            items.push_back(std::move(entry));
        });
        const auto span = job.positions().Find(cmd);
        const auto or_null = [&](std::size_t n) {
            return span ? nlohmann::json(n) : nlohmann::json();
        };
        commands.push_back({{"type", type_name(cmd)},
                            {"name", name_of(cmd)},
                            {"line", or_null(span ? span->keyword.line : 0)},
                            {"column", or_null(span ? span->keyword.column : 0)},
                            {"end_line", or_null(span ? span->end_line : 0)},
                            {"created", !span},
                            {"items", std::move(items)}});
    }
    return {{"file", job.path}, {"commands", std::move(commands)}};
}

void write_model_text(std::ostream& out, const Job& job) {
    for (const KestCmd& cmd : job.completed()) {
        const std::size_t line = job.line_of(cmd);
        out << title(cmd) << (line == 0 ? " (created)" : " (line " + std::to_string(line) + ")")
            << '\n';
        for_each_item(cmd, [&](CmdItem kind, const KestCmdItem& item) {
            std::ostringstream readings;
            const auto add = [&](const std::string& text) {
                readings << (readings.tellp() > 0 ? ", " : "") << text;
            };
            if (item.HasInteger()) {
                add("integer " + std::to_string(item.GetInteger()));
            } else if (item.HasReal()) {
                std::ostringstream real;
                real << item.GetReal();
                add("real " + real.str());
            }
            if (item.HasVector3d()) {
                const auto v = item.GetVector3d();
                std::ostringstream vector;
                vector << "vector (" << v[0] << ", " << v[1] << ", " << v[2] << ")";
                add(vector.str());
            }
            if (item.HasEnum()) {
                add("keyword " + std::to_string(static_cast<int>(item.GetEnum())));
            }
            if (item.HasList() && item.GetList().size() > 1) {
                add("list of " + std::to_string(item.GetList().size()));
            }
            if (item.HasLumoList() && !item.HasInteger()) {
                add("integer list of " + std::to_string(item.GetLumoList().size()));
            }
            if (item.HasReference() && item.GetReference() != nullptr) {
                add("-> " + title(*item.GetReference()));
            }
            out << "  " << default_item_names[kind] << " = " << item.GetString();
            if (readings.tellp() > 0) {
                out << "  [" << readings.str() << "]";
            }
            out << '\n';
        });
    }
}

void write_graph(std::ostream& out, const Job& job) {
    std::map<const KestCmd*, std::size_t> node;
    std::set<const KestCmd*> referred;
    for (const KestCmd& cmd : job.completed()) {
        node.emplace(&cmd, node.size());
        for_each_item(cmd, [&](CmdItem, const KestCmdItem& item) {
            if (item.HasReference() && item.GetReference() != nullptr) {
                referred.insert(item.GetReference());
            }
        });
    }
    out << "digraph job {\n  rankdir=LR;\n  node [shape=box, fontname=\"Helvetica\"];\n"
        << "  edge [fontname=\"Helvetica\", fontsize=10];\n";
    for (const KestCmd& cmd : job.completed()) {
        std::string attributes;
        if (job.line_of(cmd) == 0) {
            attributes += ", style=\"filled,dashed\", fillcolor=\"#e8e8e8\"";
        }
        if (referred.count(&cmd) == 0) {
            attributes += ", peripheries=2";
        }
        std::vector<std::string> label{type_name(cmd), name_of(cmd)};
        if (job.line_of(cmd) == 0) {
            label.push_back("(created)");
        } else if (referred.count(&cmd) == 0) {
            label.push_back("(unreferenced)");
        }
        out << "  c" << node[&cmd] << " [label=" << dot_text(label) << attributes << "];\n";
    }
    std::size_t unknown = 0;
    for (const KestCmd& cmd : job.completed()) {
        for_each_item(cmd, [&](CmdItem kind, const KestCmdItem& item) {
            if (item.HasReference() && item.GetReference() != nullptr) {
                out << "  c" << node[&cmd] << " -> c" << node[item.GetReference()]
                    << " [label=" << dot_text({default_item_names[kind]}) << "];\n";
            } else if (KestCmdDefs::named_type(kind) != KestCmdDefs::CMD_PLACEHOLDER) {
                out << "  u" << unknown << " [label=" << dot_text({item.GetString()})
                    << ", style=dashed, color=red, fontcolor=red];\n";
                out << "  c" << node[&cmd] << " -> u" << unknown
                    << " [label=" << dot_text({default_item_names[kind]})
                    << ", style=dashed, color=red, fontcolor=red];\n";
                ++unknown;
            }
        });
    }
    out << "}\n";
}

} // namespace kestcmd
