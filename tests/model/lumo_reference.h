// An obviously correct model of the integer-list notation for differential tests: it reads with
// a std::istringstream into a std::set, expanding ranges value by value, and writes value by
// value. Only fit for small ranges. `mismatch` compares the library with it.
#pragma once

#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/LumoList.h"

#include <climits>
#include <cstdio>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumo_reference {

struct Read {
    std::set<int> values;
    std::string reason;   // empty when the text was read without failure
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

inline std::vector<int> values_of(const LumoList<int>& list) {
    return {list.begin(), list.end()};
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

/// What differs between the library and the model for `text`, or nothing: the values read, the
/// failure message, is_lumo_list, an auto item's integer-list reading, the stream operator, and
/// the written text with and without wrapping, which must also read back to the same values.
/// Lists too large for the model or for the library are skipped.
inline std::string mismatch(const std::string& text, int default_step) {
    const Read expected = read(text, default_step);
    if (expected.too_big) {
        return {};
    }
    const std::vector<int> values(expected.values.begin(), expected.values.end());
    try {
        LumoList<int> list;
        list.SetDefaultStep(default_step);
        std::string message;
        try {
            parse_lumo_list(list, text);
        } catch (const ZUL_Failure& failure) {
            message = failure.GetMessage();
        }
        if (values_of(list) != values || list.size() != values.size()) {
            return "values";
        }
        if (message != (expected.reason.empty() ? "" : failure_message(expected, default_step))) {
            return "message " + message;
        }
        if (is_lumo_list(text) != expected.reason.empty()) {
            return "is_lumo_list";
        }
        // An auto item answers most texts without reading them; it must agree with a read of
        // its (trimmed) text all the same.
        static const KestCmdItemDefs::EnumMap enums = KestCmdItemDefs::create_enum_map();
        const KestCmdAutoItem item(text, enums);
        if (item.HasLumoList() != is_lumo_list(item.GetString())) {
            return "auto item";
        }
        // The stream operator reads the same through the stream's own number extraction.
        LumoList<int> streamed;
        streamed.SetDefaultStep(default_step);
        std::istringstream in(text);
        try {
            in >> streamed;
        } catch (const ZUL_Failure&) {
        }
        if (values_of(streamed) != values) {
            return "stream";
        }
        for (bool wrap : {true, false}) {
            list.SetWrapOutput(wrap);
            std::ostringstream out;
            out << list;
            if (out.str() != write(expected.values, default_step, wrap)) {
                return "written " + out.str();
            }
            LumoList<int> again;
            again.SetDefaultStep(default_step);
            parse_lumo_list(again, out.str());
            if (values_of(again) != values) {
                return "read back " + out.str();
            }
        }
    } catch (const std::length_error&) {
        // more runs than a list holds: a defined refusal the model does not know
    }
    return {};
}

} // namespace lumo_reference
