#include "utilities/KestText.h"

#include <algorithm>

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

std::size_t edit_distance(std::string_view a, std::string_view b, std::size_t limit) {
    const std::size_t far = limit + 1;
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) {
        return far;
    }
    // One row of the table at a time, only the diagonals within `limit` of the main one filled.
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = std::min(j, far);
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::fill(current.begin(), current.end(), far);
        current[0] = std::min(i, far);
        const std::size_t from = i > limit ? i - limit : 1;
        const std::size_t to = std::min(b.size(), i + limit);
        std::size_t best = current[0];
        for (std::size_t j = from; j <= to; ++j) {
            const std::size_t replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({replace, previous[j] + 1, current[j - 1] + 1, far});
            best = std::min(best, current[j]);
        }
        if (best == far) {
            return far;
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

} // namespace KestText
