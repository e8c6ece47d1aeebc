// The run-based integer list against the value-by-value model of lumo_reference.h, on random
// texts and random insertions.
#include "engine/model/LumoList.h"
#include "lumo_reference.h"
#include "utilities/ZUL_LogMacros.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

namespace {

using lumo_reference::values_of;

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

} // namespace

TEST(LumoListDifferential, RandomTextsReadAndWriteAsTheModel) {
    const auto previous = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    std::mt19937 random(2024);
    for (int i = 0; i < 4000; ++i) {
        const std::string texts[] = {random_text(random), random_list(random), random_list(random)};
        const int step = static_cast<int>(random() % 5) - 1;
        EXPECT_EQ(lumo_reference::mismatch(texts[0], 1), "") << "'" << texts[0] << "'";
        EXPECT_EQ(lumo_reference::mismatch(texts[1], 1), "") << "'" << texts[1] << "'";
        EXPECT_EQ(lumo_reference::mismatch(texts[2], step), "") << "'" << texts[2] << "' " << step;
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
