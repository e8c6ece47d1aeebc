#include "address.h"

#include "convert.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

namespace py = pybind11;

namespace kestpy {

namespace {

// Splits "WORD[N]" into WORD and N; "WORD" gives no N. ValueError for brackets that hold no
// number or stand elsewhere.
std::pair<std::string_view, std::optional<std::size_t>> split_position(std::string_view part,
                                                                       std::string_view address) {
    const std::size_t open = part.find('[');
    if (open == std::string_view::npos && part.find(']') == std::string_view::npos) {
        return {part, std::nullopt};
    }
    const std::string_view digits =
        open == std::string_view::npos ? std::string_view() : part.substr(open + 1);
    std::size_t n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (open == 0 || digits.empty() || error != std::errc() || end + 1 != digits.end() ||
        *end != ']') {
        throw py::value_error("'" + std::string(address) +
                              "' is no address: a position is written [N], N from 0");
    }
    return {part.substr(0, open), n};
}

} // namespace

ParAddress parse_address(std::string_view text, bool with_item) {
    ParAddress address;
    std::string_view command = text;
    if (with_item) {
        const std::size_t dot = text.rfind('.');
        if (dot == std::string_view::npos || dot == 0 || dot + 1 == text.size()) {
            throw py::value_error("'" + std::string(text) +
                                  "' is no address: write COMMAND.KEY or COMMAND.KEY[N], "
                                  "COMMAND an ID_NAME or TYPE[N]");
        }
        const auto [key, index] = split_position(text.substr(dot + 1), text);
        address.kind = kind_or_error(key);
        address.index = index.value_or(0);
        command = text.substr(0, dot);
    }
    // TYPE[N] when the text before the bracket is a command type; any other text is a name.
    const std::size_t open = command.find('[');
    const auto& types = KestCmdDefs::get_default_cmd_names();
    const std::string type = KestText::to_upper_copy(command.substr(0, open));
    const auto found = std::find(types.begin(), types.end(), type);
    if (open != std::string_view::npos && found != types.end()) {
        address.by_type = true;
        address.type = static_cast<KestCmdDefs::Cmd>(found - types.begin());
        address.position = *split_position(command, text).second;
    } else {
        address.name = KestText::to_upper_copy(command);
    }
    return address;
}

const KestCmd& find_command(const ParAddress& address, const KestParDocument& document) {
    const KestSourceMap& positions = document.Positions();
    if (address.by_type) {
        std::size_t seen = 0;
        for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
            const KestCmd& cmd = positions.Command(i);
            if (cmd.GetType() == address.type && seen++ == address.position) {
                return cmd;
            }
        }
        throw py::key_error("the text has " + std::to_string(seen) + " " +
                            KestCmdDefs::get_default_cmd_names()[address.type] + " blocks");
    }
    const KestCmd* named = nullptr;
    for (const KestCmd& cmd : document.Job()) {
        const auto name = name_of(cmd);
        if (name && KestText::to_upper_copy(*name) == address.name) {
            if (named != nullptr) {
                throw py::key_error("'" + address.name + "' names several commands");
            }
            named = &cmd;
        }
    }
    if (named == nullptr) {
        throw py::key_error("no command is named '" + address.name + "'");
    }
    return *named;
}

std::size_t lines_of(const KestParDocument& document, const KestCmd& cmd,
                     KestCmdItemDefs::CmdItem kind) {
    const KestSourceMap& positions = document.Positions();
    const std::size_t i = positions.IndexOf(cmd);
    std::size_t count = 0;
    if (i != positions.CommandCount()) {
        for (const auto& place : positions.Items(i)) {
            count += place.kind == kind;
        }
    }
    return count;
}

} // namespace kestpy
