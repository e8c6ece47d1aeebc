// What the tool prints about a loaded job: the changes completion made, the completed model as
// text or JSON, and the reference graph in DOT.
#pragma once

#include "Job.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace kestcmd {

/// One difference between the job as read and the completed job.
struct Change {
    std::size_t line = 0; ///< line of the command's block, 0 for a command completion created
    std::string command;  ///< "TYPE NAME"
    std::string what;     ///< "added KEY = value", "changed KEY from a to b" or "created"
};

/// Every item and command that completion added, and every value it replaced, in command order.
std::vector<Change> list_changes(const Job& job);

/// The completed model as a JSON document (see docs/kestcmd.md for its fields).
nlohmann::json model_json(const Job& job);

/// The completed model as indented text.
void write_model_text(std::ostream& out, const Job& job);

/// The references between the commands of the completed job as a Graphviz DOT graph.
void write_graph(std::ostream& out, const Job& job);

} // namespace kestcmd
