#include "utilities/KestStringUtil.h"

#include "utilities/KestText.h"

namespace KestStringUtil {

void Concat(std::string& out, const std::vector<std::string>& parts, const char* separator) {
    out.clear();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) {
            out += separator;
        }
        out += parts[i];
    }
}

std::string& Trim(std::string& s) {
    const std::string_view kept = KestText::trim(s);
    const auto begin = static_cast<std::size_t>(kept.data() - s.data());
    s.erase(begin + kept.size());
    s.erase(0, begin);
    return s;
}

bool is_quoted_str(std::string_view s, char quote) {
    return s.size() >= 2 && s.front() == quote && s.back() == quote;
}

std::size_t Split(const std::string& s, const char* delimiters, std::vector<std::string>& parts) {
    if (s.empty()) {
        return 0;
    }
    std::size_t count = 0;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = s.find_first_of(delimiters, begin);
        parts.emplace_back(s, begin, end == std::string::npos ? std::string::npos : end - begin);
        ++count;
        if (end == std::string::npos) {
            return count;
        }
        begin = end + 1;
    }
}

std::string String(int i) {
    return std::to_string(i);
}

} // namespace KestStringUtil
