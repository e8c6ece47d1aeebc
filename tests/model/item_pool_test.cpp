#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/KestItemMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// Item classes of a caller's own: `size` bytes of payload, the alignment `align`.
struct Payload : KestCmdItem {
    virtual bool Intact(unsigned char fill) const = 0;
};
template <std::size_t size, std::size_t align = alignof(void*)>
class PayloadItem : public Payload {
  public:
    explicit PayloadItem(unsigned char fill) { std::memset(_payload, fill, size); }
    std::unique_ptr<KestCmdItem> Clone() const override {
        return std::make_unique<PayloadItem>(*this);
    }
    bool Intact(unsigned char fill) const override {
        return std::count(_payload, _payload + size, fill) == size &&
               reinterpret_cast<std::uintptr_t>(this) % align == 0;
    }

  private:
    alignas(align) unsigned char _payload[size];
};

} // namespace

// Items of many sizes and alignments, each filled with its own byte; none may overlap another
// or sit at an address its class cannot live at.
TEST(ItemPool, ItemsOfEverySizeKeepTheirBytesAndAlignment) {
    std::vector<std::unique_ptr<Payload>> items;
    for (int round = 0; round < 3000; ++round) {
        const auto fill = static_cast<unsigned char>(round);
        items.push_back(std::make_unique<PayloadItem<1>>(fill));
        items.push_back(std::make_unique<PayloadItem<12, 4>>(fill));
        items.push_back(std::make_unique<PayloadItem<40>>(fill));
        items.push_back(std::make_unique<PayloadItem<48, 16>>(fill));
        items.push_back(std::make_unique<PayloadItem<64, 32>>(fill)); // the global aligned form
        items.push_back(std::make_unique<PayloadItem<240>>(fill));
        items.push_back(std::make_unique<PayloadItem<1000>>(fill)); // too large for the pool
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_TRUE(items[i]->Intact(static_cast<unsigned char>(i / 7))) << "item " << i;
    }
    // Clones come from the pool too and are independent of their originals.
    const auto clone = items[1]->Clone();
    items[1].reset();
    EXPECT_TRUE(dynamic_cast<const Payload&>(*clone).Intact(0));
}

TEST(ItemPool, SlabsGoBackWhenTheirItemsDieOnWhateverThread) {
    const std::size_t before = KestItemMemory::slabs_in_use();
    const auto enums = KestCmdItemDefs::create_enum_map();
    std::vector<std::pair<std::unique_ptr<KestCmdItem>, std::string>> made;
    std::mutex lock;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::vector<std::unique_ptr<KestCmdItem>> mine;
            // Several regions' worth of slabs on each thread.
            for (int i = 0; i < 200000; ++i) {
                mine.push_back(
                    std::make_unique<KestCmdAutoItem>(std::to_string(t * 1000000 + i), enums));
            }
            // Half die on this thread, half on the main thread after this thread is gone.
            const std::lock_guard<std::mutex> guard(lock);
            for (int i = 0; i < 200000; ++i) {
                if (i % 2 == 0) {
                    mine[i].reset();
                } else {
                    made.emplace_back(std::move(mine[i]), std::to_string(t * 1000000 + i));
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    ASSERT_EQ(made.size(), 400000u);
    for (const auto& [item, text] : made) {
        ASSERT_EQ(item->GetString(), text);
    }
    made.clear();
    EXPECT_EQ(KestItemMemory::slabs_in_use(), before);
}

TEST(ItemPool, PlacementNewOfAnItemStillWorks) {
    alignas(KestCmdAutoItem) unsigned char buffer[sizeof(KestCmdAutoItem)];
    auto* item = new (buffer) KestCmdAutoItem("0.5", KestCmdItemDefs::create_enum_map());
    EXPECT_DOUBLE_EQ(item->GetReal(), 0.5);
    item->~KestCmdAutoItem();
}
