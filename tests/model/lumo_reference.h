// An obviously correct model of the integer-list notation for differential tests: it reads with
// a std::istringstream into a std::set, expanding ranges value by value, and writes value by
// value. Only fit for small ranges.
#pragma once

#include <climits>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace lumo_reference {

struct Read {
    std::set<int> values;
    std::string reason; // empty when the text was read without failure
    int warnings = 0;
    bool too_big = false; // a range of more values than the model is meant for
};

inline void expand(int a, int b, int s, Read& r) {
    const bool up = a < b;
    r.values.insert(a);
    long long current = a;
    long long last = 0;
    for (;;) {
        const long long next = current + s;
        if (next == current) {
            ++r.warnings;
            last = current;
            break;
        }
        if (next < INT_MIN || next > INT_MAX) { // stop at the limit of int
            last = next;
            break;
        }
        if ((a < next) == up && (next < b) == up) {
            if (r.values.size() > 100000) {
                r.too_big = true;
                return;
            }
            r.values.insert(static_cast<int>(next));
            current = next;
        } else {
            last = next;
            break;
        }
    }
    if (b == last) {
        r.values.insert(b);
    }
}

inline Read read(const std::string& text, int default_step, std::set<int> start = {}) {
    Read r;
    r.values = std::move(start);
    std::istringstream in(text);
    in >> std::ws;
    if (!in.good()) {
        return r;
    }
    bool open = false;
    bool step_given = false;
    int a = 0;
    int b = 0;
    const auto unexpected = [&](char c) {
        r.reason = std::string("Unexpected separator character ") + c + " in LUMO list";
        return r;
    };
    for (;;) {
        int v = 0;
        if (!(in >> std::ws >> v)) {
            if (!in.eof()) {
                r.reason = "Reading LumoList failed";
            }
            return r;
        }
        char separator = ',';
        in >> std::ws;
        if (!in.eof() && !in.get(separator)) {
            r.reason = "Failed to read a separator character";
            return r;
        }
        if (separator == ',') {
            if (!open) {
                r.values.insert(v);
            } else {
                expand(a, step_given ? b : v, step_given ? v : default_step, r);
                open = step_given = false;
            }
        } else if (separator == '-') {
            if (open) {
                return unexpected(separator);
            }
            open = true;
            a = v;
        } else if (separator == ':') {
            if (!open || step_given) {
                return unexpected(separator);
            }
            b = v;
            step_given = true;
        } else {
            return unexpected(separator);
        }
        if (!in.good()) {
            return r;
        }
    }
}

inline std::string write(const std::set<int>& values, int default_step, bool wrap) {
    std::string out;
    if (values.empty()) {
        return out;
    }
    long long first = 0, last = 0, stride = 0, length = 0;
    int entries = 0;
    const auto range = [&] {
        out += std::to_string(first) + "-" + std::to_string(last);
        if (stride != default_step) {
            out += ":" + std::to_string(stride);
        }
    };
    for (int v : values) {
        if (length == 0) {
            first = last = v;
            length = 1;
        } else if (length == 1) {
            stride = v - last;
            last = v;
            length = 2;
        } else if (v - last == stride) {
            last = v;
            ++length;
        } else if (length == 2) {
            out += std::to_string(first) + ",";
            entries += 1;
            first = last;
            stride = v - last;
            last = v;
        } else {
            range();
            out += ",";
            entries += 2;
            first = last = v;
            length = 1;
        }
        if (wrap && entries % 11 >= 9) {
            out += "\n";
            entries = 0;
        }
    }
    if (length == 1) {
        out += std::to_string(first);
    } else if (length == 2) {
        out += std::to_string(first) + "," + std::to_string(last);
    } else {
        range();
    }
    return out;
}

inline std::string failure_message(const Read& r, int default_step) {
    char message[1024];
    std::snprintf(message, sizeof message, "%s. Successfully read values are: %s", r.reason.c_str(),
                  write(r.values, default_step, false).c_str());
    return message;
}

} // namespace lumo_reference
