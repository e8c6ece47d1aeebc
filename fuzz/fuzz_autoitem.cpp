// Arbitrary text typed into an auto item with the standard keyword map: every reading must be
// consistent with the text and with the others.
#include "engine/model/KestCmdAutoItem.h"
#include "utilities/KestText.h"
#include "utilities/ZUL_LogMacros.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

using namespace KestCmdItemDefs;

namespace {

void require(bool condition, const std::string& text, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s for '%s'\n", what, text.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    static const EnumMap enums = create_enum_map();
    const std::string value(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<KestCmdAutoItem> typed;
    try {
        typed = std::make_unique<KestCmdAutoItem>(value, enums);
    } catch (const std::length_error&) {
        return 0; // an integer list too large to hold: a defined refusal
    }
    const KestCmdAutoItem& item = *typed;
    const std::string trimmed(KestText::trim(value));

    require(item.HasString() && item.GetString() == trimmed, value, "text");
    require(!item.HasInteger() || (item.HasReal() && item.GetReal() == item.GetInteger()), value,
            "an integer is a real of the same value");
    require(item.HasEnum() == (enums.count(value) == 1), value, "keyword reading");
    require(!item.HasEnum() || item.GetEnum() == enums.at(value), value, "keyword value");
    require(item.HasList() == !trimmed.empty(), value, "list reading");
    const std::vector<std::string> list = item.GetList();
    require(
        list.size() ==
            (trimmed.empty()
                 ? 0u
                 : static_cast<std::size_t>(std::count(trimmed.begin(), trimmed.end(), ',')) + 1),
        value, "list size");
    if (item.HasVector3d()) {
        require(list.size() == 3, value, "a vector has three parts");
        const auto v = item.GetVector3d();
        for (std::size_t i = 0; i < 3; ++i) {
            require(std::isnan(v[i]) == false, value, "vector component");
        }
    }
    // (The integer-list reading is compared with a read of the text by fuzz_lumolist.)
    require(!item.HasReference() && !item.HasType(DT_RESERVED), value, "no reference yet");
    const auto copy = item.Clone();
    require(copy->GetString() == item.GetString() && copy->HasReal() == item.HasReal() &&
                copy->GetEnum() == item.GetEnum() && copy->HasLumoList() == item.HasLumoList(),
            value, "a copy reads the same");
    return 0;
}
