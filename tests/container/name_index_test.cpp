#include "engine/container/detail/NameIndex.h"
#include "engine/model/KestCmd.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// The index against a std::map on names short and long, more of them than it was sized for.
TEST(NameIndex, KeepsTheFirstCommandOfEveryName) {
    std::vector<KestCmd> commands;
    for (int i = 0; i < 50; ++i) {
        commands.emplace_back(KestCmdDefs::DV);
    }
    NameIndex index(4);
    std::map<std::string, const KestCmd*> model;
    for (int i = 0; i < 3000; ++i) {
        const int n = (i * 7919) % 997;
        std::string name = n % 3 == 0 ? std::string(20 + n % 40, 'x') + std::to_string(n)
                                      : "n" + std::to_string(n);
        if (n == 5) {
            name.clear();
        }
        const KestCmd* cmd = &commands[static_cast<std::size_t>(i) % commands.size()];
        index.add_first(name, cmd);
        model.emplace(name, cmd);
    }
    for (const auto& [name, cmd] : model) {
        ASSERT_EQ(index.find(name), cmd) << name;
        ASSERT_EQ(index.find(name + "?"), nullptr) << name;
    }
    EXPECT_EQ(index.find(std::string(15, 'x')), nullptr);
    EXPECT_EQ(index.find(std::string("n1\0", 3)), nullptr);
}
