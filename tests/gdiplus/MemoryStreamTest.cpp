#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "gdiplus/MemoryStream.h"

namespace {

std::vector<uint8_t> Bytes(size_t n) {
    std::vector<uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), uint8_t{1});
    return bytes;
}

bool BlockAlive(HGLOBAL block) {
    SetLastError(ERROR_SUCCESS);
    GlobalSize(block);
    return GetLastError() != ERROR_INVALID_HANDLE;
}

std::vector<uint8_t> ReadAll(IStream* stream) {
    LARGE_INTEGER zero{};
    EXPECT_EQ(stream->Seek(zero, STREAM_SEEK_SET, nullptr), S_OK);
    std::vector<uint8_t> out(4096);
    ULONG read = 0;
    EXPECT_EQ(stream->Read(out.data(), static_cast<ULONG>(out.size()), &read), S_OK);
    out.resize(read);
    return out;
}

TEST(MemoryStream, ClosedObjectAnswersZero) {
    MemoryStream ms;
    EXPECT_EQ(ms.GetSize(), 0);
    EXPECT_EQ(ms.GetHGlobal(), nullptr);
    EXPECT_EQ(ms.GetStream(), nullptr);
    EXPECT_TRUE(ms.ToBytes().empty());
    ms.Close();
}

TEST(MemoryStream, CreateCopiesTheDataAndTheStreamReadsExactlyIt) {
    struct Case {
        size_t dataSize;
        std::optional<int32_t> length;
        size_t blockSize;
    };
    const Case cases[] = {
        {0, std::nullopt, 0},  // empty: a zero-size block and a valid empty stream
        {100, std::nullopt, 100},
        {100, 40, 40},  // shorter length: only that many bytes
        {100, 0, 0},
        {10, 25, 25},  // longer length: the data, then zeros, never past the data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blockSize);
        // Exactly sized, so reading past the data would be caught.
        std::vector<uint8_t> data = Bytes(c.dataSize);
        MemoryStream ms;
        IStream* stream = ms.Create(data, c.length);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(ms.GetStream(), stream);
        EXPECT_EQ(ms.GetSize(), static_cast<int32_t>(c.blockSize));

        std::vector<uint8_t> expected(c.blockSize, 0);
        std::copy_n(data.begin(), std::min(c.dataSize, c.blockSize), expected.begin());
        EXPECT_EQ(ms.ToBytes(), expected);
        EXPECT_EQ(ReadAll(stream), expected);
    }
}

TEST(MemoryStream, NegativeLengthMakesNoStream) {
    const std::vector<uint8_t> data = Bytes(8);
    MemoryStream ms;
    EXPECT_EQ(ms.Create(data, -1), nullptr);
    EXPECT_EQ(ms.GetHGlobal(), nullptr);
    EXPECT_EQ(ms.GetSize(), 0);
}

TEST(MemoryStream, WritesGrowTheBlockAndToBytesReturnsAllOfIt) {
    MemoryStream ms;
    IStream* stream = ms.Create({});
    ASSERT_NE(stream, nullptr);
    const std::vector<uint8_t> chunk = Bytes(300);
    for (int i = 0; i < 5; ++i) {
        ULONG written = 0;
        ASSERT_EQ(stream->Write(chunk.data(), static_cast<ULONG>(chunk.size()), &written), S_OK);
        EXPECT_EQ(written, chunk.size());
    }
    EXPECT_EQ(ms.GetSize(), 1500);
    const std::vector<uint8_t> all = ms.ToBytes();
    ASSERT_EQ(all.size(), 1500u);
    for (size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(all[i], chunk[i % 300]) << i;
}

TEST(MemoryStream, ReopeningAndClosingReleaseTheOldBlockOnce) {
    const std::vector<uint8_t> data = Bytes(16);
    MemoryStream ms;
    ASSERT_NE(ms.Create(data), nullptr);
    const HGLOBAL first = ms.GetHGlobal();
    ASSERT_NE(ms.Create(data, 8), nullptr);
    EXPECT_FALSE(BlockAlive(first));
    const HGLOBAL second = ms.GetHGlobal();
    EXPECT_TRUE(BlockAlive(second));

    ms.Close();
    EXPECT_FALSE(BlockAlive(second));
    EXPECT_EQ(ms.GetHGlobal(), nullptr);
    EXPECT_EQ(ms.GetStream(), nullptr);
    ms.Close();  // already closed: nothing to release
    EXPECT_EQ(ms.GetSize(), 0);
}

TEST(MemoryStream, DestructionClosesTheStream) {
    HGLOBAL block = nullptr;
    {
        MemoryStream ms;
        ASSERT_NE(ms.Create(Bytes(4)), nullptr);
        block = ms.GetHGlobal();
        EXPECT_TRUE(BlockAlive(block));
    }
    EXPECT_FALSE(BlockAlive(block));
}

TEST(MemoryStream, AttachTakesOverAStreamAndItsBlock) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, FALSE, &stream), S_OK);
    const std::vector<uint8_t> data = Bytes(20);
    ASSERT_EQ(stream->Write(data.data(), 20, nullptr), S_OK);

    MemoryStream ms;
    ASSERT_NE(ms.Create(Bytes(3)), nullptr);
    const HGLOBAL old = ms.GetHGlobal();
    EXPECT_TRUE(ms.Attach(stream));
    EXPECT_FALSE(BlockAlive(old));
    EXPECT_EQ(ms.GetStream(), stream);
    EXPECT_EQ(ms.GetSize(), 20);
    EXPECT_EQ(ms.ToBytes(), data);
    const HGLOBAL attached = ms.GetHGlobal();
    ms.Close();
    EXPECT_FALSE(BlockAlive(attached));
}

TEST(MemoryStream, AttachingNothingFindsNoBlock) {
    MemoryStream ms;
    EXPECT_FALSE(ms.Attach(nullptr));
    EXPECT_EQ(ms.GetHGlobal(), nullptr);
    EXPECT_EQ(ms.GetStream(), nullptr);
}

}  // namespace
