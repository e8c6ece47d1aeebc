// The run-based integer list against the value-by-value model of lumo_reference.h, on random
// texts and random insertions.
#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/LumoList.h"
#include "lumo_reference.h"
#include "utilities/ZUL_LogMacros.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

namespace {

// Texts near the notation: numbers, separators, blanks and now and then something else.
std::string random_text(std::mt19937& random) {
    static const char* const pieces[] = {
        "0", "1", "2", "3",           "5",          "7",           "12", "-4", "20",
        "-", "-", ",", ",",           ",",          ":",           ":",  " ",  "\n",
        "+", ";", "x", "99999999999", "2147483647", "-2147483648", "40", "-1"};
    const int n = static_cast<int>(random() % 12);
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += pieces[random() % (sizeof pieces / sizeof *pieces)];
    }
    return text;
}

// Well-formed lists of values and ranges with steps in either direction.
std::string random_list(std::mt19937& random) {
    const int n = 1 + static_cast<int>(random() % 8);
    std::string text;
    for (int i = 0; i < n; ++i) {
        const int a = static_cast<int>(random() % 120) - 20;
        text += i ? "," : "";
        switch (random() % 3) {
        case 0:
            text += std::to_string(a);
            break;
        case 1:
            text +=
                std::to_string(a) + "-" + std::to_string(a + static_cast<int>(random() % 60) - 10);
            break;
        default:
            text += std::to_string(a) + "-" +
                    std::to_string(a + static_cast<int>(random() % 90) - 30) + ":" +
                    std::to_string(static_cast<int>(random() % 13) - 6);
        }
    }
    return text;
}

std::vector<int> values_of(const LumoList<int>& list) {
    return {list.begin(), list.end()};
}

void expect_same_read(const std::string& text, int default_step) {
    SCOPED_TRACE("text '" + text + "', default step " + std::to_string(default_step));
    const lumo_reference::Read expected = lumo_reference::read(text, default_step);
    if (expected.too_big) {
        return;
    }
    const std::vector<int> expected_values(expected.values.begin(), expected.values.end());

    LumoList<int> list;
    list.SetDefaultStep(default_step);
    std::string message;
    try {
        parse_lumo_list(list, text);
    } catch (const ZUL_Failure& failure) {
        message = failure.GetMessage();
    }
    EXPECT_EQ(values_of(list), expected_values);
    EXPECT_EQ(list.size(), expected_values.size());
    EXPECT_EQ(message, expected.reason.empty()
                           ? std::string()
                           : lumo_reference::failure_message(expected, default_step));
    EXPECT_EQ(is_lumo_list(text), expected.reason.empty());
    // An auto item answers most texts without reading them; it must agree with a read of its
    // (trimmed) text all the same.
    static const KestCmdItemDefs::EnumMap enums = KestCmdItemDefs::create_enum_map();
    const KestCmdAutoItem item(text, enums);
    EXPECT_EQ(item.HasLumoList(), is_lumo_list(item.GetString()));

    // The stream operator reads the same through the stream's own number extraction.
    LumoList<int> streamed;
    streamed.SetDefaultStep(default_step);
    std::istringstream in(text);
    try {
        in >> streamed;
    } catch (const ZUL_Failure&) {
    }
    EXPECT_EQ(values_of(streamed), expected_values);

    // Output matches the model with and without wrapping, and reads back to the same set.
    for (bool wrap : {true, false}) {
        list.SetWrapOutput(wrap);
        std::ostringstream out;
        out << list;
        EXPECT_EQ(out.str(), lumo_reference::write(expected.values, default_step, wrap));
        LumoList<int> again;
        again.SetDefaultStep(default_step);
        parse_lumo_list(again, out.str());
        EXPECT_EQ(values_of(again), expected_values) << out.str();
    }
}

} // namespace

TEST(LumoListDifferential, RandomTextsReadAndWriteAsTheModel) {
    const auto previous = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    std::mt19937 random(2024);
    for (int i = 0; i < 4000; ++i) {
        expect_same_read(random_text(random), 1);
        expect_same_read(random_list(random), 1);
        expect_same_read(random_list(random), static_cast<int>(random() % 5) - 1);
        if (HasFailure()) {
            break;
        }
    }
    ZUL_LogMacros::set_sink(previous);
}

TEST(LumoListDifferential, RandomInsertionsKeepTheSetOfAStdSet) {
    const auto previous = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        LumoList<int> list;
        list.SetClearBeforeRead(false);
        std::set<int> model;
        const int steps = 1 + static_cast<int>(random() % 30);
        for (int s = 0; s < steps; ++s) {
            if (random() % 2) {
                const int v = static_cast<int>(random() % 200) - 50;
                list.insert(v);
                model.insert(v);
            } else {
                const std::string text = random_list(random);
                parse_lumo_list(list, text);
                model = lumo_reference::read(text, 1, model).values;
            }
            ASSERT_EQ(values_of(list), std::vector<int>(model.begin(), model.end()));
            ASSERT_EQ(list.size(), model.size());
        }
        for (int v = -60; v < 200; ++v) {
            ASSERT_EQ(list.contains(v), model.count(v) == 1) << v;
        }
    }
    ZUL_LogMacros::set_sink(previous);
}
