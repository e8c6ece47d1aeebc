#include "engine/model/LumoListText.h"

#include "utilities/KestText.h"
#include "utilities/ZUL_LogMacros.h"

#include <cstdio>
#include <istream>
#include <ostream>

namespace {

using Run = LumoRunSet::Run;

const char* const log_prefix = "[%T|%n|%P|LIBUTIL|LumoList] ";

enum class Number { ok, failed_at_end, failed };

// Reads from a text exactly as an input stream would: white space skipped, then an integer as
// the stream's extraction reads it, with the end of the text reported like the stream's eof.
class TextSource {
  public:
    explicit TextSource(std::string_view text) : _text(text) {}

    void skip_space() {
        while (_pos < _text.size() && KestText::is_space(_text[_pos])) {
            ++_pos;
        }
    }
    bool ended() const { return _pos == _text.size(); }
    bool good() const { return !ended(); }

    Number read_number(std::int64_t min_value, std::int64_t max_value, std::int64_t& value) {
        skip_space();
        if (ended()) {
            return Number::failed_at_end;
        }
        const bool negative = _text[_pos] == '-';
        if (_text[_pos] == '+' || _text[_pos] == '-') {
            ++_pos;
        }
        const std::uint64_t limit = negative ? 0 - static_cast<std::uint64_t>(min_value)
                                             : static_cast<std::uint64_t>(max_value);
        std::uint64_t magnitude = 0;
        bool digits = false;
        bool overflow = false;
        // Like the stream, consume every digit even past an overflow.
        for (; _pos < _text.size() && _text[_pos] >= '0' && _text[_pos] <= '9'; ++_pos) {
            digits = true;
            if (!overflow) {
                magnitude = magnitude * 10 + static_cast<std::uint64_t>(_text[_pos] - '0');
                overflow = magnitude > limit;
            }
        }
        if (!digits || overflow) {
            return _pos == _text.size() ? Number::failed_at_end : Number::failed;
        }
        value = negative ? static_cast<std::int64_t>(0 - magnitude)
                         : static_cast<std::int64_t>(magnitude);
        return Number::ok;
    }

    bool get(char& c) {
        if (_pos == _text.size()) {
            return false;
        }
        c = _text[_pos++];
        return true;
    }

  private:
    std::string_view _text;
    std::size_t _pos = 0;
};

// Reads from a stream with its own operations.
class StreamSource {
  public:
    explicit StreamSource(std::istream& stream) : _stream(stream) {}

    void skip_space() { _stream >> std::ws; }
    bool ended() const { return _stream.eof(); }
    bool good() const { return _stream.good(); }

    Number read_number(std::int64_t min_value, std::int64_t max_value, std::int64_t& value) {
        long long read = 0;
        if (_stream >> read && read >= min_value && read <= max_value) {
            value = read;
            return Number::ok;
        }
        return _stream.eof() ? Number::failed_at_end : Number::failed;
    }

    bool get(char& c) { return static_cast<bool>(_stream.get(c)); }

  private:
    std::istream& _stream;
};

void warn_zero_step(std::int64_t step) {
    char message[1024];
    std::snprintf(message, sizeof message,
                  "Invalid stepsize %s given in LumoList. Adding the step resulted in the same "
                  "element",
                  std::to_string(step).c_str());
    ZUL_LogMacros::warning(LumoListText::log_source, 819, log_prefix, message);
}

// Adds the range from a to b by step s: a, a+s, a+2s, ... as long as the values stay between a
// and b, b included when a step lands on it. A step of 0 or one pointing away from b adds only a.
// Computed in 64 bits, so no value beyond the range of the list's type is ever produced.
void expand(std::int64_t a, std::int64_t b, std::int64_t s, std::vector<Run>& added,
            LumoListText::ReadResult& result, bool log_warnings) {
    if (s == 0) {
        if (log_warnings) {
            warn_zero_step(s);
        }
        result.warned = true;
        added.push_back(Run{a, 1, 1});
    } else if (b > a && s > 0) {
        const std::int64_t n = (b - a) / s + 1;
        added.push_back(n == 1 ? Run{a, 1, 1} : Run{a, s, n});
    } else if (b < a && s < 0) {
        const std::int64_t n = (a - b) / -s + 1;
        added.push_back(n == 1 ? Run{a, 1, 1} : Run{a + (n - 1) * s, -s, n});
    } else {
        result.away = result.away || a != b;
        added.push_back(Run{a, 1, 1});
    }
}

template <class Source>
LumoListText::ReadResult read_from(Source& source, std::int64_t min_value, std::int64_t max_value,
                                   std::int64_t default_step, std::vector<Run>& added,
                                   bool log_warnings) {
    using Result = LumoListText::ReadResult;
    Result result;
    source.skip_space();
    if (!source.good()) {
        return result;
    }
    bool range_open = false;
    bool step_given = false;
    std::int64_t start = 0;
    std::int64_t end = 0;
    for (;;) {
        std::int64_t v = 0;
        const Number number = source.read_number(min_value, max_value, v);
        if (number != Number::ok) {
            // A missing number at the very end is no error: an open range there is dropped.
            result.error = number == Number::failed_at_end ? Result::none : Result::number;
            return result;
        }
        source.skip_space();
        const bool at_end = source.ended();
        char separator = ',';
        if (!at_end && !source.get(separator)) {
            result.error = Result::separator_missing;
            return result;
        }
        const auto fail = [&](char c) {
            result.error = Result::bad_separator;
            result.separator = c;
            return result;
        };
        switch (separator) {
        case ',':
            if (!range_open) {
                added.push_back(Run{v, 1, 1});
            } else {
                expand(start, step_given ? end : v, step_given ? v : default_step, added, result,
                       log_warnings);
                range_open = false;
                step_given = false;
            }
            break;
        case '-':
            if (range_open) {
                return fail(separator);
            }
            range_open = true;
            start = v;
            break;
        case ':':
            if (!range_open || step_given) {
                return fail(separator);
            }
            end = v;
            step_given = true;
            break;
        default:
            return fail(separator);
        }
        if (at_end) {
            return result;
        }
    }
}

// Writes values one by one in the grouping of the compact notation; a run of constant
// difference is taken in one step once the open group follows it.
class CompactWriter {
  public:
    CompactWriter(std::string& out, std::ostream* stream, std::int64_t default_step, bool wrap,
                  std::size_t limit)
        : _out(out), _stream(stream), _default_step(default_step), _wrap(wrap), _limit(limit) {}

    void write(const LumoRunSet& values) {
        for (const Run& run : values.runs()) {
            for (std::int64_t k = 0; k < run.count; ++k) {
                const std::int64_t v = run.first + k * run.stride;
                if (_length >= 2 && _stride == run.stride && _last + run.stride == v) {
                    _last = run.last();
                    _length += run.count - k;
                    break;
                }
                add(v);
                if (_out.size() >= _limit) {
                    return;
                }
            }
        }
        finish();
    }

  private:
    void add(std::int64_t v) {
        if (_length == 0) {
            _first = _last = v;
            _length = 1;
        } else if (_length == 1) {
            _stride = v - _last;
            _last = v;
            _length = 2;
        } else if (v - _last == _stride) {
            _last = v;
            ++_length;
        } else if (_length == 2) {
            put_number(_first);
            _out += ',';
            _entries += 1;
            _first = _last;
            _stride = v - _last;
            _last = v;
        } else {
            put_range();
            _out += ',';
            _entries += 2;
            _first = _last = v;
            _length = 1;
        }
        if (_wrap && _entries % 11 >= 9) {
            _out += '\n';
            drain(true);
            _entries = 0;
        }
    }

    void finish() {
        if (_length == 1) {
            put_number(_first);
        } else if (_length == 2) {
            put_number(_first);
            _out += ',';
            put_number(_last);
        } else if (_length > 2) {
            put_range();
        }
        drain(false);
    }

    void put_range() {
        put_number(_first);
        _out += '-';
        put_number(_last);
        if (_stride != _default_step) {
            _out += ':';
            put_number(_stride);
        }
    }

    void put_number(std::int64_t v) { _out += std::to_string(v); }

    void drain(bool flush) {
        if (_stream != nullptr) {
            _stream->write(_out.data(), static_cast<std::streamsize>(_out.size()));
            if (flush) {
                _stream->flush();
            }
            _out.clear();
        }
    }

    std::string& _out;
    std::ostream* _stream;
    std::int64_t _default_step;
    bool _wrap;
    std::size_t _limit;
    std::int64_t _first = 0;
    std::int64_t _last = 0;
    std::int64_t _stride = 0;
    std::int64_t _length = 0;
    int _entries = 0;
};

} // namespace

namespace LumoListText {

ReadResult read(std::string_view text, std::int64_t min_value, std::int64_t max_value,
                std::int64_t default_step, std::vector<Run>& added, bool log_warnings) {
    TextSource source(text);
    return read_from(source, min_value, max_value, default_step, added, log_warnings);
}

ReadResult read(std::istream& stream, std::int64_t min_value, std::int64_t max_value,
                std::int64_t default_step, std::vector<Run>& added) {
    StreamSource source(stream);
    return read_from(source, min_value, max_value, default_step, added, true);
}

std::string failure_message(const ReadResult& result, const LumoRunSet& values,
                            std::int64_t default_step) {
    std::string reason;
    switch (result.error) {
    case ReadResult::number:
        reason = "Reading LumoList failed";
        break;
    case ReadResult::separator_missing:
        reason = "Failed to read a separator character";
        break;
    default:
        reason =
            std::string("Unexpected separator character ") + result.separator + " in LUMO list";
        break;
    }
    char message[1024];
    std::snprintf(message, sizeof message, "%s. Successfully read values are: %s", reason.c_str(),
                  to_text(values, default_step, sizeof message).c_str());
    return message;
}

void write(std::ostream& stream, const LumoRunSet& values, std::int64_t default_step, bool wrap) {
    std::string buffer;
    CompactWriter(buffer, &stream, default_step, wrap, std::string::npos).write(values);
}

std::string to_text(const LumoRunSet& values, std::int64_t default_step, std::size_t limit) {
    std::string text;
    CompactWriter(text, nullptr, default_step, false, limit).write(values);
    return text;
}

} // namespace LumoListText
