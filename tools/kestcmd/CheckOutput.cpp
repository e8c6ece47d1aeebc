// The findings of check as text (with the line and a caret under the range), JSON or SARIF 2.1.0.
#include "Check.h"

#include <nlohmann/json.hpp>

namespace kestcmd {

namespace {

using json = nlohmann::ordered_json;

const char* const reset = "\033[0m";
const char* const bold = "\033[1m";

const char* colour_of(KestSeverity severity) {
    switch (severity) {
    case KestSeverity::error:
        return "\033[1;31m";
    case KestSeverity::warning:
        return "\033[1;35m";
    case KestSeverity::information:
        break;
    }
    return "\033[1;36m";
}

// The width that `bytes` of a line take on a terminal: a UTF-8 character one column, a tab
// kept as a tab (so that the caret line lines up under it).
std::string blanks_under(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\t') {
            out += '\t';
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            out += ' ';
        }
    }
    return out;
}

std::size_t characters(std::string_view bytes) {
    std::size_t n = 0;
    for (char c : bytes) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return n;
}

void write_text(std::ostream& out, const CheckedFile& file, bool color) {
    const auto painted = [&](const char* paint, const std::string& text) {
        return color ? paint + text + reset : text;
    };
    for (const KestParDiagnostic& d : file.found) {
        out << painted(bold, file.path + ':' + std::to_string(d.start.line) + ':' +
                                 std::to_string(d.start.column) + ":")
            << ' ' << painted(colour_of(d.severity), severity_name(d.severity)) << ": " << d.message
            << " [" << d.code << "]\n";
        const std::string_view line = file.document->Line(d.start.line);
        if (line.data() != nullptr) {
            const std::size_t from = std::min(d.start.column - 1, line.size());
            const std::size_t to =
                d.end.line == d.start.line ? std::min(d.end.column - 1, line.size()) : line.size();
            const std::string number = std::to_string(d.start.line);
            const std::string gutter(number.size(), ' ');
            out << ' ' << number << " | " << line << '\n'
                << ' ' << gutter << " | " << blanks_under(line.substr(0, from))
                << painted(
                       "\033[1;32m",
                       std::string(std::max<std::size_t>(
                                       1, characters(line.substr(from, to > from ? to - from : 0))),
                                   '^'))
                << '\n';
        }
        for (const KestParRelated& related : d.related) {
            out << painted(bold, file.path + ':' + std::to_string(related.start.line) + ':' +
                                     std::to_string(related.start.column) + ":")
                << ' ' << painted(colour_of(KestSeverity::information), "note") << ": "
                << related.message << '\n';
        }
    }
}

json place(KestTextPosition start, KestTextPosition end) {
    return {{"line", start.line},
            {"column", start.column},
            {"end_line", end.line},
            {"end_column", end.column}};
}

json finding_json(const CheckedFile& file, const KestParDiagnostic& d) {
    json out = {{"file", file.path}};
    out.update(place(d.start, d.end));
    out["severity"] = severity_name(d.severity);
    out["code"] = d.code;
    out["message"] = d.message;
    json related = json::array();
    for (const KestParRelated& r : d.related) {
        json entry = place(r.start, r.end);
        entry["message"] = r.message;
        related.push_back(std::move(entry));
    }
    out["related"] = std::move(related);
    if (d.fix) {
        json fix = {{"title", d.fix->title}};
        fix.update(place(d.fix->start, d.fix->end));
        fix["text"] = d.fix->text;
        out["fix"] = std::move(fix);
    }
    return out;
}

// A region of SARIF: lines from 1, columns in Unicode code points from 1.
json region(const KestParDocument& document, KestTextPosition start, KestTextPosition end) {
    const auto column = [&](KestTextPosition p) {
        const std::string_view line = document.Line(p.line);
        return characters(line.substr(0, std::min(p.column - 1, line.size()))) + 1 +
               (p.column - 1 > line.size() ? p.column - 1 - line.size() : 0);
    };
    return {{"startLine", start.line},
            {"startColumn", column(start)},
            {"endLine", end.line},
            {"endColumn", column(end)}};
}

// A relative path as a SARIF URI reference: '/' between parts, reserved bytes escaped.
std::string uri_of(const std::string& path) {
    if (path == "-") {
        return "stdin";
    }
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += '/';
        } else if (std::isalnum(byte) ||
                   std::string_view("-._~/:").find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out;
}

json sarif(const std::vector<CheckedFile>& files) {
    const std::vector<KestParCheckCode>& codes = check_codes();
    json rules = json::array();
    for (const KestParCheckCode& code : codes) {
        json rule = {{"id", code.code}, {"shortDescription", {{"text", code.summary}}}};
        if (code.severity) {
            rule["defaultConfiguration"] = {{"level", *code.severity == KestSeverity::information
                                                          ? "note"
                                                          : severity_name(*code.severity)}};
        }
        rules.push_back(std::move(rule));
    }
    json results = json::array();
    for (const CheckedFile& file : files) {
        const json artifact = {{"uri", uri_of(file.path)}};
        const auto location = [&](KestTextPosition start, KestTextPosition end) {
            return json{
                {"physicalLocation",
                 {{"artifactLocation", artifact}, {"region", region(*file.document, start, end)}}}};
        };
        for (const KestParDiagnostic& d : file.found) {
            const auto rule =
                std::find_if(codes.begin(), codes.end(),
                             [&](const KestParCheckCode& c) { return d.code == c.code; });
            json result = {{"ruleId", d.code},
                           {"ruleIndex", rule - codes.begin()},
                           {"level", d.severity == KestSeverity::information
                                         ? "note"
                                         : severity_name(d.severity)},
                           {"message", {{"text", d.message}}},
                           {"locations", {location(d.start, d.end)}}};
            if (!d.related.empty()) {
                json related = json::array();
                for (std::size_t i = 0; i < d.related.size(); ++i) {
                    json entry = location(d.related[i].start, d.related[i].end);
                    entry["id"] = i + 1;
                    entry["message"] = {{"text", d.related[i].message}};
                    related.push_back(std::move(entry));
                }
                result["relatedLocations"] = std::move(related);
            }
            if (d.fix) {
                json replacement = {
                    {"deletedRegion", region(*file.document, d.fix->start, d.fix->end)},
                    {"insertedContent", {{"text", d.fix->text}}}};
                json change = {{"artifactLocation", artifact},
                               {"replacements", json::array({std::move(replacement)})}};
                json fix = {{"description", {{"text", d.fix->title}}},
                            {"artifactChanges", json::array({std::move(change)})}};
                result["fixes"] = json::array({std::move(fix)});
            }
            results.push_back(std::move(result));
        }
    }
    return {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
            {"version", "2.1.0"},
            {"runs",
             {{{"tool",
                {{"driver",
                  {{"name", "kestcmd"}, {"version", KEST_VERSION}, {"rules", std::move(rules)}}}}},
               {"columnKind", "unicodeCodePoints"},
               {"results", std::move(results)}}}}};
}

} // namespace

void write_findings(std::ostream& out, const std::vector<CheckedFile>& files,
                    const std::string& format, bool color) {
    if (format == "text") {
        for (const CheckedFile& file : files) {
            write_text(out, file, color);
        }
        return;
    }
    json document;
    if (format == "sarif") {
        document = sarif(files);
    } else {
        document = json::array();
        for (const CheckedFile& file : files) {
            for (const KestParDiagnostic& d : file.found) {
                document.push_back(finding_json(file, d));
            }
        }
    }
    out << document.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

} // namespace kestcmd
