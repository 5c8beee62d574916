#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/win32/global_memory_p.h"
#include "platform/win32/win32.h"

namespace {

using charart::platform::BlockStatus;

HGLOBAL Forged(uintptr_t number) {
    return reinterpret_cast<HGLOBAL>(number);
}

bool AllZero(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

TEST(GlobalMemoryTest, LifeCycle) {
    for (UINT flags : {GMEM_MOVEABLE, GHND, GMEM_FIXED, GPTR}) {
        HGLOBAL block = GlobalAlloc(flags, 100);
        ASSERT_NE(block, nullptr) << flags;
        EXPECT_EQ(GlobalSize(block), 100u);
        auto* data = static_cast<unsigned char*>(GlobalLock(block));
        ASSERT_NE(data, nullptr);
        EXPECT_TRUE(AllZero(data, 100));
        std::memset(data, 0xAB, 100);
        EXPECT_EQ(GlobalUnlock(block), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

        ASSERT_EQ(GlobalReAlloc(block, 300, GMEM_MOVEABLE | GMEM_ZEROINIT), block);
        EXPECT_EQ(GlobalSize(block), 300u);
        data = static_cast<unsigned char*>(GlobalLock(block));
        EXPECT_EQ(data[0], 0xAB);
        EXPECT_EQ(data[99], 0xAB);
        EXPECT_TRUE(AllZero(data + 100, 200));
        GlobalUnlock(block);

        ASSERT_EQ(GlobalReAlloc(block, 10, GMEM_MOVEABLE), block);
        EXPECT_EQ(GlobalSize(block), 10u);
        data = static_cast<unsigned char*>(GlobalLock(block));
        EXPECT_EQ(data[9], 0xAB);
        GlobalUnlock(block);
        EXPECT_EQ(GlobalFree(block), nullptr);
    }
}

TEST(GlobalMemoryTest, ShrinkThenGrowZeroFillsTheRegrownBytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
    std::memset(GlobalLock(block), 0xFF, 64);
    GlobalUnlock(block);
    ASSERT_EQ(GlobalReAlloc(block, 8, GMEM_MOVEABLE), block);
    ASSERT_EQ(GlobalReAlloc(block, 64, GMEM_MOVEABLE | GMEM_ZEROINIT), block);
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_EQ(data[7], 0xFF);
    EXPECT_TRUE(AllZero(data + 8, 56));
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, BadHandlesAreErrorsNotCrashes) {
    HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_EQ(GlobalFree(freed), nullptr);
    // A live block in the freed one's slot must not answer to the old handle.
    HGLOBAL reused = GlobalAlloc(GMEM_MOVEABLE, 16);

    for (HGLOBAL bad :
         {freed, Forged(0x12345), Forged(~uintptr_t{0}), Forged(uintptr_t{1} << 40)}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalUnlock(bad), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalReAlloc(bad, 32, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalFree(bad), bad);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(GlobalSize(reused), 16u);
    EXPECT_EQ(GlobalFree(reused), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(GlobalMemoryTest, BadFlagsAndImpossibleSizes) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GlobalAlloc(0x8000, 16), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, ~SIZE_T{0}), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
    EXPECT_EQ(GlobalReAlloc(block, 32, 0x8000), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GlobalReAlloc(block, ~SIZE_T{0}, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(GlobalSize(block), 16u);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, LocksNestAndPinTheBlock) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 32);
    void* first = GlobalLock(block);
    void* second = GlobalLock(block);
    EXPECT_EQ(first, second);

    // While locked, the block's address is out there: it cannot be resized.
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GlobalReAlloc(block, 64, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(GlobalSize(block), 32u);
    EXPECT_EQ(charart::platform::ResizeGlobalBlock(block, 64), BlockStatus::Locked);
    const char byte = 1;
    EXPECT_EQ(charart::platform::WriteGlobalBlock(block, 32, &byte, 1), BlockStatus::Locked);
    // Writing inside the block moves nothing and stays allowed.
    EXPECT_EQ(charart::platform::WriteGlobalBlock(block, 31, &byte, 1), BlockStatus::Ok);
    EXPECT_EQ(static_cast<char*>(first)[31], 1);

    EXPECT_EQ(GlobalUnlock(block), TRUE);
    EXPECT_EQ(GlobalReAlloc(block, 64, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalUnlock(block), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(GlobalUnlock(block), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
    EXPECT_EQ(GlobalReAlloc(block, 64, GMEM_MOVEABLE), block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, ModifyChangesAttributesOnly) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 8);
    GlobalLock(block);
    // The size argument is ignored, and a locked block may still change its attributes.
    EXPECT_EQ(GlobalReAlloc(block, 1000, GMEM_MODIFY | GMEM_MOVEABLE), block);
    EXPECT_EQ(GlobalSize(block), 8u);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, ZeroSizeBlocks) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(block, nullptr);
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // The null lock counted for nothing, so nothing keeps the block from growing.
    EXPECT_EQ(GlobalUnlock(block), FALSE);
    ASSERT_EQ(GlobalReAlloc(block, 4, GMEM_MOVEABLE), block);
    EXPECT_EQ(GlobalSize(block), 4u);
    EXPECT_TRUE(AllZero(GlobalLock(block), 4));
    GlobalUnlock(block);
    ASSERT_EQ(GlobalReAlloc(block, 0, GMEM_MOVEABLE), block);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, BlockAccessByHandle) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    const char text[] = "abcdef";
    // A write past the end grows the block and zero-fills the gap before it.
    ASSERT_EQ(charart::platform::WriteGlobalBlock(block, 10, text, 6), BlockStatus::Ok);
    uint64_t size = 0;
    EXPECT_EQ(charart::platform::GlobalBlockSize(block, &size), BlockStatus::Ok);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(GlobalSize(block), 16u);

    char out[20];
    size_t copied = 0;
    ASSERT_EQ(charart::platform::ReadGlobalBlock(block, 0, out, 20, &copied), BlockStatus::Ok);
    EXPECT_EQ(copied, 16u);
    EXPECT_TRUE(AllZero(out, 10));
    EXPECT_EQ(std::string(out + 10, 6), "abcdef");
    EXPECT_EQ(charart::platform::ReadGlobalBlock(block, 16, out, 20, &copied), BlockStatus::Ok);
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(charart::platform::ReadGlobalBlock(block, UINT64_MAX, out, 20, &copied),
              BlockStatus::Ok);
    EXPECT_EQ(copied, 0u);

    EXPECT_EQ(charart::platform::WriteGlobalBlock(block, UINT64_MAX - 2, text, 6),
              BlockStatus::NoMemory);
    EXPECT_EQ(charart::platform::ResizeGlobalBlock(block, UINT64_MAX), BlockStatus::NoMemory);
    EXPECT_EQ(GlobalSize(block), 16u);

    GlobalFree(block);
    EXPECT_EQ(charart::platform::GlobalBlockSize(block, &size), BlockStatus::BadHandle);
    EXPECT_EQ(charart::platform::ReadGlobalBlock(block, 0, out, 4, &copied),
              BlockStatus::BadHandle);
    EXPECT_EQ(charart::platform::WriteGlobalBlock(block, 0, text, 4), BlockStatus::BadHandle);
    EXPECT_EQ(charart::platform::ResizeGlobalBlock(block, 4), BlockStatus::BadHandle);
}

TEST(GlobalMemoryTest, ManySmallWritesKeepEveryByte) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    for (int i = 0; i < 10000; ++i) {
        unsigned char byte = static_cast<unsigned char>(i * 7);
        ASSERT_EQ(charart::platform::WriteGlobalBlock(block, i, &byte, 1), BlockStatus::Ok);
    }
    ASSERT_EQ(GlobalSize(block), 10000u);
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    int wrong = 0;
    for (int i = 0; i < 10000; ++i)
        wrong += data[i] != static_cast<unsigned char>(i * 7);
    EXPECT_EQ(wrong, 0);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST(GlobalMemoryTest, ThreadsShareTheTable) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 300; ++i) {
                HGLOBAL block = GlobalAlloc(GHND, 8 + i % 16);
                auto* data = static_cast<unsigned char*>(GlobalLock(block));
                if (!data) {
                    ++failures[t];
                    continue;
                }
                data[0] = static_cast<unsigned char>(t);
                GlobalUnlock(block);
                if (GlobalReAlloc(block, 64, GMEM_MOVEABLE) != block)
                    ++failures[t];
                data = static_cast<unsigned char*>(GlobalLock(block));
                if (data[0] != t)
                    ++failures[t];
                GlobalUnlock(block);
                if (GlobalFree(block) != nullptr)
                    ++failures[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
