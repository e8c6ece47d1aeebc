#include "engine/io/KestParAddress.h"

#include "engine/syntax/KestParItemSource.h"

#include "utilities/KestText.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace {

using KestText::to_upper_copy;

// Splits "WORD[N]" into WORD and N; "WORD" gives no N. Throws BadAddress for brackets that hold
// no number or stand elsewhere.
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
    const auto used = static_cast<std::size_t>(end - digits.data());
    if (open == 0 || error != std::errc() || used + 1 != digits.size() || digits[used] != ']') {
        throw KestParBadAddress("'" + std::string(address) +
                                "' is no address: a position is written [N], N from 0");
    }
    return {part.substr(0, open), n};
}

std::optional<KestCmdDefs::Cmd> type_named(std::string_view name) {
    const auto& names = KestCmdDefs::get_default_cmd_names();
    const std::string upper = to_upper_copy(name);
    for (std::size_t t = 0; t < names.size(); ++t) {
        if (names[t] == upper) {
            return static_cast<KestCmdDefs::Cmd>(t);
        }
    }
    return std::nullopt;
}

// The position of the i-th command of the text among the commands of its type read before it.
std::size_t position_in_type(const KestSourceMap& positions, std::size_t i) {
    std::size_t before = 0;
    for (std::size_t j = 0; j < i; ++j) {
        before += positions.Command(j).GetType() == positions.Command(i).GetType();
    }
    return before;
}

// `TYPE[N] (line L)`, or `TYPE (made by completion)`, for a message.
std::string where(const KestSourceMap& positions, const KestCmd& cmd) {
    const std::string type = KestCmdDefs::get_default_cmd_names()[cmd.GetType()];
    const std::size_t i = positions.IndexOf(cmd);
    if (i == positions.CommandCount()) {
        return type + " (made by completion)";
    }
    return type + "[" + std::to_string(position_in_type(positions, i)) + "] (line " +
           std::to_string(positions.Find(cmd)->keyword.line) + ")";
}

// `KIND[N]`, the way messages name an item.
std::string item_label(KestCmdItemDefs::CmdItem kind, std::size_t index) {
    return KestCmdItemDefs::default_item_names[kind] + "[" + std::to_string(index) + "]";
}

// How many items of `kind` the block of `cmd` has lines for (0 for a command that completion
// made).
std::size_t lines_of(const KestSourceMap& positions, const KestCmd& cmd,
                     KestCmdItemDefs::CmdItem kind) {
    const std::size_t i = positions.IndexOf(cmd);
    if (i == positions.CommandCount()) {
        return 0;
    }
    std::size_t count = 0;
    for (const auto& place : positions.Items(i)) {
        count += place.kind == kind;
    }
    return count;
}

// Why an address whose command has no line for its item names nothing in the text.
KestParNamesNothing no_line(const KestCmd& cmd, const KestParAddress& address) {
    const std::string item = item_label(address.kind, address.index);
    if (cmd.ItemCount(address.kind) > address.index) {
        return KestParNamesNothing(item + " has no line in the text; completion gives it '" +
                                   cmd.Item(address.kind, address.index).GetString() + "'");
    }
    return KestParNamesNothing("the command has no " + item);
}

} // namespace

KestParAddress parse_par_address(std::string_view text) {
    const std::size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == text.size()) {
        throw KestParBadAddress("'" + std::string(text) + "' is no address: write COMMAND.KEY or " +
                                "COMMAND.KEY[N], COMMAND an ID_NAME or TYPE[N]");
    }
    KestParAddress address;
    const auto [key, index] = split_position(text.substr(dot + 1), text);
    const std::string upper_key = to_upper_copy(key);
    const auto& kinds = KestCmdItemDefs::default_item_names;
    const auto kind = std::find(kinds.begin(), kinds.end(), upper_key);
    if (kind == kinds.end()) {
        throw KestParNamesNothing("'" + std::string(key) + "' is no item kind");
    }
    address.kind = static_cast<KestCmdItemDefs::CmdItem>(kind - kinds.begin());
    address.index = index.value_or(0);

    const std::string_view command = text.substr(0, dot);
    const std::size_t open = command.find('[');
    const std::optional<KestCmdDefs::Cmd> type =
        open == std::string_view::npos ? std::nullopt : type_named(command.substr(0, open));
    if (type) {
        address.by_type = true;
        address.type = *type;
        address.position = *split_position(command, text).second;
    } else {
        address.name = to_upper_copy(command);
    }
    return address;
}

const KestCmd& find_par_command(const KestParDocument& document, const KestParAddress& address) {
    const KestSourceMap& positions = document.Positions();
    const KestCmdContainer& job = document.Job();
    if (address.by_type) {
        std::size_t seen = 0;
        for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
            const KestCmd& cmd = positions.Command(i);
            if (cmd.GetType() == address.type && seen++ == address.position) {
                return cmd;
            }
        }
        throw KestParNamesNothing("the text has " + std::to_string(seen) + " " +
                                  KestCmdDefs::get_default_cmd_names()[address.type] + " block" +
                                  (seen == 1 ? "" : "s"));
    }
    std::vector<const KestCmd*> named;
    for (const KestCmd& cmd : job) {
        if (cmd.HasItem(KestCmdItemDefs::ID_NAME) &&
            to_upper_copy(cmd.Item(KestCmdItemDefs::ID_NAME, 0).GetString()) == address.name) {
            named.push_back(&cmd);
        }
    }
    if (named.empty()) {
        throw KestParNamesNothing("no command is named '" + address.name + "'");
    }
    if (named.size() > 1) {
        // In the order of the text; commands that completion made last.
        std::sort(named.begin(), named.end(), [&](const KestCmd* a, const KestCmd* b) {
            return positions.IndexOf(*a) < positions.IndexOf(*b);
        });
        std::string which;
        for (const KestCmd* cmd : named) {
            which += (which.empty() ? "" : ", ") + where(positions, *cmd);
        }
        throw KestParNamesNothing("'" + address.name + "' names " + std::to_string(named.size()) +
                                  " commands: " + which);
    }
    return *named.front();
}

std::string get_par_value(const KestParDocument& document, std::string_view address) {
    const KestParAddress a = parse_par_address(address);
    const KestCmd& cmd = find_par_command(document, a);
    if (cmd.ItemCount(a.kind) <= a.index) {
        throw no_line(cmd, a);
    }
    const KestParSyntax syntax = document.BlockSyntax(cmd);
    const KestItemSource source = item_source(syntax, document.Positions(), cmd, a.kind, a.index);
    switch (source.origin) {
    case KestItemOrigin::unread:
        throw no_line(cmd, a);
    case KestItemOrigin::whole:
        return syntax.Value(source.line);
    case KestItemOrigin::piece:
        return std::string(syntax.Bytes(syntax.Pieces(source.line)[source.piece]));
    case KestItemOrigin::implied:
        break;
    }
    // An item its line implies (the TYPE of LE_VALUE) has the text the reader gave it.
    return cmd.Item(a.kind, a.index).GetString();
}

void set_par_value(KestParDocument& document, std::string_view address, std::string_view value) {
    const KestParAddress a = parse_par_address(address);
    const KestCmd& cmd = find_par_command(document, a);
    const std::size_t lines = lines_of(document.Positions(), cmd, a.kind);
    if (a.index < lines) {
        document.SetValue(cmd, a.kind, a.index, value);
    } else if (a.index == lines || !document.Positions().Find(cmd)) {
        // A new line; the document refuses a command that completion made.
        document.AddItem(cmd, KestCmdItemDefs::default_item_names[a.kind], value);
    } else {
        throw KestParNamesNothing("the block has " + std::to_string(lines) + " " +
                                  KestCmdItemDefs::default_item_names[a.kind] + " line" +
                                  (lines == 1 ? "" : "s") + "; " + item_label(a.kind, lines) +
                                  " would add one");
    }
}

void unset_par_value(KestParDocument& document, std::string_view address) {
    const KestParAddress a = parse_par_address(address);
    const KestCmd& cmd = find_par_command(document, a);
    if (cmd.ItemCount(a.kind) <= a.index) {
        throw no_line(cmd, a);
    }
    // The document refuses an item that completion made.
    document.RemoveItem(cmd, a.kind, a.index);
}
