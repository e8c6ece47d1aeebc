// Arbitrary text as an integer list, against the value-by-value model of the tests: the same
// values, the same failure or success, the same message; and what is written reads back to the
// same set.
#include "../tests/model/lumo_reference.h"
#include "engine/model/LumoList.h"
#include "utilities/ZUL_LogMacros.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& text, const char* what) {
    std::fprintf(stderr, "%s for '%s'\n", what, text.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    const std::string text(reinterpret_cast<const char*>(data), size);
    const lumo_reference::Read expected = lumo_reference::read(text, 1);
    if (expected.too_big) {
        return 0; // beyond what the model can expand
    }
    LumoList<int> list;
    std::string message;
    try {
        parse_lumo_list(list, text);
    } catch (const ZUL_Failure& failure) {
        message = failure.GetMessage();
    } catch (const std::length_error&) {
        return 0; // more runs than a list holds: a defined refusal the model does not know
    }
    if (std::vector<int>(list.begin(), list.end()) !=
        std::vector<int>(expected.values.begin(), expected.values.end())) {
        fail(text, "values differ");
    }
    if (list.size() != expected.values.size()) {
        fail(text, "size differs");
    }
    const std::string expected_message =
        expected.reason.empty() ? "" : lumo_reference::failure_message(expected, 1);
    if (message != expected_message) {
        fail(text, "message differs");
    }
    if (is_lumo_list(text) != expected.reason.empty()) {
        fail(text, "is_lumo_list differs");
    }
    std::ostringstream out;
    out << list;
    LumoList<int> again;
    parse_lumo_list(again, out.str());
    if (std::vector<int>(again.begin(), again.end()) !=
        std::vector<int>(list.begin(), list.end())) {
        fail(text, "written form reads back differently");
    }
    return 0;
}
