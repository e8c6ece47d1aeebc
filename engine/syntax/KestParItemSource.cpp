#include "engine/syntax/KestParItemSource.h"

#include "engine/io/detail/KestParItemProcessors.h"
#include "utilities/KestText.h"

using namespace KestCmdItemDefs;

KestItemSource item_source(const KestParSyntax& syntax, const KestSourceMap& positions,
                           const KestCmd& cmd, CmdItem kind, std::size_t index) {
    KestItemSource source;
    const std::size_t c = positions.IndexOf(cmd);
    if (c == positions.CommandCount()) {
        return source;
    }
    const auto places = positions.Items(c);
    std::size_t line = 0;
    for (const auto& place : places) {
        if (place.kind == kind && place.index == index) {
            line = place.span.key.line;
        }
    }
    if (line == 0 || line > syntax.LineCount()) {
        return source;
    }
    std::vector<CmdItem> made;
    std::size_t mine = 0;
    for (const auto& place : places) {
        if (place.span.key.line == line) {
            if (place.kind == kind && place.index == index) {
                mine = made.size();
            }
            made.push_back(place.kind);
        }
    }
    source.line = line;
    source.shared = made.size() > 1;
    const int piece =
        KestParItemProcessors::origin_piece(cmd.GetType(), made, mine, syntax.Pieces(line).size());
    source.origin = piece == -1   ? KestItemOrigin::whole
                    : piece == -2 ? KestItemOrigin::implied
                                  : KestItemOrigin::piece;
    source.piece = piece >= 0 ? static_cast<std::size_t>(piece) : 0;
    return source;
}

std::vector<std::size_t> name_piece_indexes(KestCmdDefs::Cmd type, CmdItem kind,
                                            const KestItemSource& source, std::size_t piece_count) {
    if (!KestCmdDefs::names_commands(kind)) {
        return {};
    }
    if (source.origin == KestItemOrigin::piece) {
        return {source.piece};
    }
    if (source.origin != KestItemOrigin::whole) {
        return {};
    }
    // An operator's reference without a coefficient: the type, then the name.
    if (type == KestCmdDefs::OPERATOR && kind == REFERENCE && piece_count == 2) {
        return {1};
    }
    std::vector<std::size_t> all(piece_count);
    for (std::size_t i = 0; i < piece_count; ++i) {
        all[i] = i;
    }
    return all;
}

namespace {

std::string first_name(const KestCmd& cmd) {
    return cmd.HasItem(ID_NAME) ? KestText::to_upper_copy(cmd.Item(ID_NAME, 0).GetString())
                                : std::string();
}

} // namespace

std::vector<KestNamePiece> pieces_naming(const KestParSyntax& syntax,
                                         const KestSourceMap& positions,
                                         const KestCmdContainer& job, const KestCmd& target) {
    std::vector<KestNamePiece> found;
    const std::string name = first_name(target);
    if (name.empty() || command_named(job, name) != &target) {
        return found;
    }
    return pieces_named(syntax, positions, name);
}

const KestCmd* command_named(const KestCmdContainer& job, std::string_view name) {
    const std::string upper = KestText::to_upper_copy(name);
    for (const KestCmd& cmd : job) {
        if (!upper.empty() && first_name(cmd) == upper) {
            return &cmd;
        }
    }
    return nullptr;
}

std::optional<KestNameAt> name_at(const KestParSyntax& syntax, const KestSourceMap& positions,
                                  const KestCmdContainer& job, const KestCmd& cmd,
                                  std::size_t offset) {
    const std::size_t c = positions.IndexOf(cmd);
    if (c == positions.CommandCount()) {
        return std::nullopt;
    }
    for (const auto& place : positions.Items(c)) {
        if (place.kind == ID_NAME) {
            continue;
        }
        const KestItemSource source = item_source(syntax, positions, cmd, place.kind, place.index);
        const std::vector<KestByteSpan> pieces = syntax.Pieces(source.line);
        for (std::size_t p : name_piece_indexes(cmd.GetType(), place.kind, source, pieces.size())) {
            if (pieces[p].begin <= offset && offset <= pieces[p].end) {
                return KestNameAt{pieces[p], command_named(job, syntax.Bytes(pieces[p]))};
            }
        }
    }
    return std::nullopt;
}

std::vector<KestNamePiece> pieces_named(const KestParSyntax& syntax, const KestSourceMap& positions,
                                        std::string_view name) {
    const std::string upper = KestText::to_upper_copy(name);
    std::vector<KestNamePiece> found;
    for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
        const KestCmd& cmd = positions.Command(c);
        for (const auto& place : positions.Items(c)) {
            if (!KestCmdDefs::names_commands(place.kind) || place.kind == ID_NAME) {
                continue;
            }
            const KestItemSource source =
                item_source(syntax, positions, cmd, place.kind, place.index);
            const std::vector<KestByteSpan> pieces = syntax.Pieces(source.line);
            for (std::size_t p :
                 name_piece_indexes(cmd.GetType(), place.kind, source, pieces.size())) {
                if (KestText::to_upper_copy(syntax.Bytes(pieces[p])) == upper) {
                    found.push_back({pieces[p], &cmd, place.kind, place.index});
                }
            }
        }
    }
    return found;
}
