#include "utilities/KestParFile.h"

#include "utilities/KestFileUtil.h"
#include "utilities/KestStringUtil.h"
#include "utilities/ZUL_Exception.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_space(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && is_space(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view trim_end(std::string_view s) {
    while (!s.empty() && is_space(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool is_comment(std::string_view trimmed) {
    return !trimmed.empty() && trimmed.front() == '#';
}

// A line without '=' whose trimmed text starts with END_ in any case.
bool is_block_end(std::string_view line, std::string_view trimmed) {
    if (line.find('=') != std::string_view::npos || trimmed.size() < 4) {
        return false;
    }
    const char* end = "END_";
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = trimmed[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != end[i]) {
            return false;
        }
    }
    return true;
}

// The physical lines of a text: split at LF, a CR before the LF dropped.
class Lines {
  public:
    explicit Lines(std::string_view text) : _text(text) {
        if (_text.substr(0, 3) == "\xEF\xBB\xBF") {
            _text.remove_prefix(3);
        }
    }
    bool done() const { return _pos > _text.size() || (_pos == _text.size() && _ended); }
    // The next line; `number` receives its 1-based number.
    std::string_view next(std::size_t& number) {
        const std::size_t end = _text.find('\n', _pos);
        std::string_view line =
            _text.substr(_pos, end == std::string_view::npos ? end : end - _pos);
        _pos = end == std::string_view::npos ? _text.size() + 1 : end + 1;
        if (_pos == _text.size()) {
            _ended = true; // a final line feed ends the last line; no empty line follows
        }
        if (!line.empty() && line.back() == '\r' && end != std::string_view::npos) {
            line.remove_suffix(1);
        }
        number = ++_number;
        return line;
    }
    // The line that `next` would return, without taking it.
    std::string_view peek() const {
        Lines copy = *this;
        std::size_t unused = 0;
        return copy.next(unused);
    }

  private:
    std::string_view _text;
    std::size_t _pos = 0;
    std::size_t _number = 0;
    bool _ended = false;
};

} // namespace

KestParFile::KestParFile(const std::wstring& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(KestFileUtil::wfopen(path, L"rb"),
                                                         &std::fclose);
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        errno = 0;
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        text.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(file.get())) {
                const int reason = errno != 0 ? errno : EIO;
                throw ZUL_Failure(ZUL_Code(reason), "[KestParFile] ",
                                  "cannot read '" + KestFileUtil::display_path(path) +
                                      "': " + std::generic_category().message(reason));
            }
            break;
        }
    }
    Split(text);
}

KestParFile KestParFile::FromText(std::string_view text) {
    KestParFile file;
    file.Split(text);
    return file;
}

void KestParFile::Split(std::string_view text) {
    Lines lines(text);
    KestParCommand* block = nullptr;
    std::size_t number = 0;
    while (!lines.done()) {
        const std::string_view line = lines.next(number);
        const std::string_view trimmed = trim(line);
        if (trimmed.empty()) {
            continue;
        }
        if (block == nullptr) {
            if (!is_comment(trimmed) && !is_block_end(line, trimmed)) {
                _commands.push_back(KestParCommand{std::string(trimmed), {}, number});
                block = &_commands.back();
            }
            continue;
        }
        if (is_block_end(line, trimmed)) {
            block = nullptr;
            continue;
        }
        KestParSubCommand sub;
        sub.line = number;
        if (is_comment(trimmed)) {
            sub.kind = 0;
            sub.value = std::string(trimmed);
            block->subCommands.push_back(std::move(sub));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            sub.value = std::string(trimmed);
        } else {
            sub.key = std::string(trim(line.substr(0, equals)));
            sub.value = std::string(trim(line.substr(equals + 1)));
        }
        // A value ending in ',' goes on over the following lines that are plain text.
        while (!sub.value.empty() && sub.value.back() == ',' && !lines.done()) {
            const std::string_view following = lines.peek();
            const std::string_view following_trimmed = trim(following);
            if (following_trimmed.empty() || is_comment(following_trimmed) ||
                is_block_end(following, following_trimmed) ||
                following.find('=') != std::string_view::npos) {
                break;
            }
            lines.next(number);
            sub.value += '\n';
            sub.value += trim_end(following);
        }
        KestStringUtil::Split(sub.value, ",", sub.pieces);
        for (std::string& piece : sub.pieces) {
            KestStringUtil::Trim(piece);
        }
        block->subCommands.push_back(std::move(sub));
    }
}
