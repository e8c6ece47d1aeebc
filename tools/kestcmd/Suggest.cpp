#include "Suggest.h"

#include <KestCmdEngine.h>

namespace kestcmd {

std::string closest_word(const std::string& typed, const std::vector<std::string>& known) {
    std::size_t best = 3;
    std::string found;
    for (const std::string& word : known) {
        const std::size_t d = KestText::edit_distance(typed, word, 2);
        if (d < best) {
            best = d;
            found = word;
        }
    }
    return found;
}

} // namespace kestcmd
