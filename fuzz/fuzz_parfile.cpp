// Arbitrary bytes as a parameter file: read with the standard configuration and written, four
// times over. Nothing may crash, the written form must settle (the third and the fourth writing
// are the same bytes), reading the text and reading its tokens must give the same job, and every
// position recorded must lie inside the text.
#include <KestCmdEngine.h>

#include "support/text_lines.h"
#include "support/written_job.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const KestParFileAdapter& reader() {
    static const KestParFileAdapter standard(L"fuzz.par", KestCmdIoConfig());
    return standard;
}

// The same from the tokens of the whole text.
std::string read_tokens_and_write(const std::string& text) {
    KestCmdContainer job;
    reader().Read(KestParFile::FromText(text), job);
    reader().Complete(job);
    return test_support::written(job);
}

bool inside(const std::vector<std::string>& lines, KestTextPosition p) {
    return p.line >= 1 && p.line <= lines.size() && p.column >= 1 &&
           p.column <= lines[p.line - 1].size() + 1;
}

[[noreturn]] void fail(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s:\n--- one\n%s\n--- other\n%s\n", what, a.c_str(), b.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string w1;
    try {
        w1 = test_support::job_of(input);
    } catch (const ZUL_Failure&) {
        return 0; // an integer list too large to hold: a defined refusal, naming the line
    }
    const std::string tokens = read_tokens_and_write(input);
    if (tokens != w1) {
        fail("reading the text and reading its tokens differ", w1, tokens);
    }
    KestCmdContainer job;
    KestSourceMap positions;
    reader().ParseText(input, job, &positions);
    const std::vector<std::string> lines = test_support::lines_of(input);
    for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
        const auto span = positions.Find(positions.Command(c));
        if (!span || !inside(lines, span->keyword) || span->end_line > lines.size()) {
            fail("a command's position is outside the text", input, std::to_string(c));
        }
        for (const auto& item : positions.Items(c)) {
            if (!inside(lines, item.span.key) || !inside(lines, item.span.value) ||
                !inside(lines, item.span.value_end) || item.span.value_end < item.span.value) {
                fail("an item's position is outside the text", input, std::to_string(c));
            }
        }
    }
    const std::string w2 = test_support::job_of(w1);
    const std::string w3 = test_support::job_of(w2);
    const std::string w4 = test_support::job_of(w3);
    if (w3 != w4) {
        fail("the written form did not settle", w3, w4);
    }
    return 0;
}
