#include "close_names.h"

#include <KestCmdEngine.h>

#include <algorithm>
#include <utility>

namespace kestpy {

constexpr std::size_t most_edits = 2;

std::vector<std::string> close_names(const std::string& name, std::vector<std::string> known,
                                     std::size_t most) {
    std::vector<std::pair<std::size_t, std::string>> close;
    for (std::string& candidate : known) {
        const std::size_t d = KestText::edit_distance(name, candidate, most_edits);
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
