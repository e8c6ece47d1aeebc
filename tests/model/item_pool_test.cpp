#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/detail/KestItemPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// An item class of a caller's own, `size` bytes of payload and the alignment `align`.
template <std::size_t size, std::size_t align = alignof(void*)>
class PayloadItem : public KestCmdItem {
  public:
    explicit PayloadItem(unsigned char fill) { std::memset(_payload, fill, size); }
    std::unique_ptr<KestCmdItem> Clone() const override {
        return std::make_unique<PayloadItem>(*this);
    }
    bool Intact(unsigned char fill) const {
        for (unsigned char c : _payload) {
            if (c != fill) {
                return false;
            }
        }
        return reinterpret_cast<std::uintptr_t>(this) % align == 0;
    }

  private:
    alignas(align) unsigned char _payload[size];
};

// Items of many sizes and alignments, each filled with its own byte; none may overlap another
// or sit at an address its class cannot live at.
struct Mixed {
    std::vector<std::unique_ptr<KestCmdItem>> items;
    std::vector<std::function<bool()>> checks;

    template <class T>
    void Add(unsigned char fill) {
        auto item = std::make_unique<T>(fill);
        const T* raw = item.get();
        checks.push_back([raw, fill] { return raw->Intact(fill); });
        items.push_back(std::move(item));
    }
    void AddRound(unsigned char fill) {
        Add<PayloadItem<1>>(fill);
        Add<PayloadItem<12, 4>>(fill);
        Add<PayloadItem<40>>(fill);
        Add<PayloadItem<48, 16>>(fill);
        Add<PayloadItem<64, 32>>(fill); // over-aligned: the global aligned form
        Add<PayloadItem<240>>(fill);
        Add<PayloadItem<1000>>(fill); // too large for the pool
    }
};

} // namespace

TEST(ItemPool, ItemsOfEverySizeKeepTheirBytesAndAlignment) {
    Mixed mixed;
    for (int round = 0; round < 3000; ++round) {
        mixed.AddRound(static_cast<unsigned char>(round));
    }
    for (std::size_t i = 0; i < mixed.checks.size(); ++i) {
        ASSERT_TRUE(mixed.checks[i]()) << "item " << i;
    }
    // Clones come from the pool too and are independent of their originals.
    const auto clone = mixed.items[1]->Clone();
    mixed.items[1].reset();
    using Small = PayloadItem<12, 4>;
    EXPECT_TRUE(static_cast<const Small&>(*clone).Intact(0));
}

TEST(ItemPool, SlabsGoBackWhenTheirItemsDieOnWhateverThread) {
    const std::size_t before = KestItemPool::slabs_in_use();
    const auto enums = KestCmdItemDefs::create_enum_map();
    std::vector<std::pair<std::unique_ptr<KestCmdItem>, std::string>> made;
    std::mutex lock;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::vector<std::unique_ptr<KestCmdItem>> mine;
            for (int i = 0; i < 20000; ++i) {
                mine.push_back(
                    std::make_unique<KestCmdAutoItem>(std::to_string(t * 100000 + i), enums));
            }
            // Half die on this thread, half on the main thread after this thread is gone.
            const std::lock_guard<std::mutex> guard(lock);
            for (int i = 0; i < 20000; ++i) {
                if (i % 2 == 0) {
                    mine[i].reset();
                } else {
                    made.emplace_back(std::move(mine[i]), std::to_string(t * 100000 + i));
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    ASSERT_EQ(made.size(), 40000u);
    for (const auto& [item, text] : made) {
        ASSERT_EQ(item->GetString(), text);
    }
    made.clear();
    EXPECT_EQ(KestItemPool::slabs_in_use(), before);
}

TEST(ItemPool, PlacementNewOfAnItemStillWorks) {
    alignas(KestCmdAutoItem) unsigned char buffer[sizeof(KestCmdAutoItem)];
    auto* item = new (buffer) KestCmdAutoItem("0.5", KestCmdItemDefs::create_enum_map());
    EXPECT_DOUBLE_EQ(item->GetReal(), 0.5);
    item->~KestCmdAutoItem();
}
