#include "utilities/KestText.h"

namespace KestText {

std::string to_upper_copy(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c == '\0') {
            break;
        }
        c = to_upper(c);
    }
    return upper;
}

void split_pieces(std::string_view value, std::vector<std::string>& pieces) {
    std::size_t count = 0;
    for (bool more = !value.empty(); more; ++count) {
        const std::size_t comma = value.find(',');
        const std::string_view piece = trim(value.substr(0, comma));
        if (count == pieces.size()) {
            pieces.emplace_back(piece);
        } else {
            pieces[count].assign(piece);
        }
        more = comma != std::string_view::npos;
        value.remove_prefix(more ? comma + 1 : value.size());
    }
    pieces.resize(count);
}

} // namespace KestText
