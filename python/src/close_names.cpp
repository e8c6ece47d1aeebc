#include "close_names.h"

#include <algorithm>
#include <utility>

namespace kestpy {

namespace {

constexpr std::size_t most_edits = 2;

// The edit distance of `a` and `b`, or most_edits + 1 for any larger one: only the diagonals
// within most_edits of the main one are filled.
std::size_t distance(const std::string& a, const std::string& b) {
    constexpr std::size_t far = most_edits + 1;
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > most_edits) {
        return far;
    }
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = std::min(j, far);
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::fill(current.begin(), current.end(), far);
        current[0] = std::min(i, far);
        const std::size_t from = i > most_edits ? i - most_edits : 1;
        const std::size_t to = std::min(b.size(), i + most_edits);
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

} // namespace

std::vector<std::string> close_names(const std::string& name, std::vector<std::string> known,
                                     std::size_t most) {
    std::vector<std::pair<std::size_t, std::string>> close;
    for (std::string& candidate : known) {
        const std::size_t d = distance(name, candidate);
        if (d <= most_edits && candidate != name) {
            close.emplace_back(d, std::move(candidate));
        }
    }
    std::sort(close.begin(), close.end());
    std::vector<std::string> names;
    for (std::size_t i = 0; i < close.size() && i < most; ++i) {
        names.push_back(std::move(close[i].second));
    }
    return names;
}

std::string did_you_mean(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0                  ? "; did you mean '"
                 : i + 1 == names.size() ? " or '"
                                         : ", '") +
                names[i] + "'";
    }
    return names.empty() ? text : text + "?";
}

} // namespace kestpy
