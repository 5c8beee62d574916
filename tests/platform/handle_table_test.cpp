#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "platform/win32/handle_table_p.h"

using charart::platform::HandleTable;

namespace {

struct Tracked {
    explicit Tracked(int* destroyed) : destroyed(destroyed) {}
    ~Tracked() { ++*destroyed; }
    int* destroyed;
};

TEST(HandleTable, HandlesAreNonZeroUniqueAndFindTheirObject) {
    HandleTable<int> table;
    std::set<uint32_t> seen;
    for (int i = 0; i < 100; ++i) {
        const uint32_t h = table.Insert(std::make_shared<int>(i));
        ASSERT_NE(h, 0u);
        EXPECT_TRUE(seen.insert(h).second);
        EXPECT_EQ(*table.Find(h), i);
    }
    EXPECT_EQ(table.Size(), 100u);
}

TEST(HandleTable, RemovedStaleAndForgedHandlesFindNothing) {
    HandleTable<int> table;
    const uint32_t h = table.Insert(std::make_shared<int>(7));
    ASSERT_TRUE(table.Remove(h));
    EXPECT_EQ(table.Find(h), nullptr);
    EXPECT_EQ(table.Remove(h), nullptr);

    // The freed slot comes back under a new generation: the old number still finds nothing.
    std::vector<uint32_t> reused;
    for (int i = 0; i < 3; ++i)
        reused.push_back(table.Insert(std::make_shared<int>(i)));
    for (uint32_t r : reused)
        EXPECT_NE(r, h);
    EXPECT_EQ(table.Find(h), nullptr);

    for (uint32_t forged : {0u, 1u, 0xFFFFFFFFu, reused[0] ^ 0x00400000u, reused[0] + 1000u})
        EXPECT_EQ(table.Find(forged), nullptr) << forged;
}

TEST(HandleTable, ClearHandsBackEveryObjectForDestructionOutsideTheTable) {
    int destroyed = 0;
    HandleTable<Tracked> table;
    std::vector<uint32_t> handles;
    for (int i = 0; i < 5; ++i)
        handles.push_back(table.Insert(std::make_shared<Tracked>(&destroyed)));
    {
        auto objects = table.Clear();
        EXPECT_EQ(objects.size(), 5u);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 5);
    EXPECT_EQ(table.Size(), 0u);
    for (uint32_t h : handles)
        EXPECT_EQ(table.Find(h), nullptr);
}

TEST(HandleTable, ConcurrentInsertFindRemoveKeepsEveryHandleDistinct) {
    HandleTable<int> table;
    constexpr int kThreads = 4, kRounds = 2000;
    std::vector<std::thread> threads;
    std::vector<std::vector<uint32_t>> kept(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                const uint32_t h = table.Insert(std::make_shared<int>(t * kRounds + i));
                ASSERT_EQ(*table.Find(h), t * kRounds + i);
                if (i % 2)
                    table.Remove(h);
                else
                    kept[t].push_back(h);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    std::set<uint32_t> all;
    for (auto& handles : kept)
        for (uint32_t h : handles)
            EXPECT_TRUE(all.insert(h).second);
    EXPECT_EQ(table.Size(), all.size());
}

}  // namespace
