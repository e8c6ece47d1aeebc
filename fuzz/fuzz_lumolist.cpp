// Arbitrary text as an integer list, against the value-by-value model of the tests: the same
// values, the same failure or success, the same message; what is written reads back to the same
// set (lumo_reference::mismatch).
#include "../tests/model/lumo_reference.h"
#include "utilities/ZUL_LogMacros.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string differs = lumo_reference::mismatch(text, 1);
    if (!differs.empty()) {
        std::fprintf(stderr, "%s for '%s'\n", differs.c_str(), text.c_str());
        std::abort();
    }
    return 0;
}
