#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/win32.h"

namespace {

LARGE_INTEGER Move(int64_t n) {
    LARGE_INTEGER v;
    v.QuadPart = n;
    return v;
}

ULARGE_INTEGER Size(uint64_t n) {
    ULARGE_INTEGER v;
    v.QuadPart = n;
    return v;
}

// A block holding the given bytes.
HGLOBAL BlockWith(const std::string& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty()) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

std::string BlockBytes(HGLOBAL block) {
    SIZE_T n = GlobalSize(block);
    if (n == 0)
        return {};
    std::string bytes(static_cast<const char*>(GlobalLock(block)), n);
    GlobalUnlock(block);
    return bytes;
}

uint64_t Position(IStream* stream) {
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream->Seek(Move(0), STREAM_SEEK_CUR, &position), S_OK);
    return position.QuadPart;
}

std::string ReadAll(IStream* stream, ULONG max = 1000) {
    std::string bytes(max, '\0');
    ULONG got = 0;
    EXPECT_EQ(stream->Read(bytes.data(), max, &got), S_OK);
    bytes.resize(got);
    return bytes;
}

// Owns a block and a stream over it, fDeleteOnRelease FALSE, as the image layer uses them.
class StreamTest : public testing::Test {
protected:
    void Open(const std::string& bytes) {
        block_ = BlockWith(bytes);
        ASSERT_EQ(CreateStreamOnHGlobal(block_, FALSE, &stream_), S_OK);
    }
    void TearDown() override {
        if (stream_)
            stream_->Release();
        GlobalFree(block_);
    }

    HGLOBAL block_ = nullptr;
    IStream* stream_ = nullptr;
};

TEST_F(StreamTest, ReadsTheBlockAndStopsShortAtTheEnd) {
    Open("hello world");
    char buffer[8];
    ULONG got = 99;
    EXPECT_EQ(stream_->Read(buffer, 5, &got), S_OK);
    EXPECT_EQ(std::string(buffer, got), "hello");
    EXPECT_EQ(ReadAll(stream_), " world");
    EXPECT_EQ(stream_->Read(buffer, 8, &got), S_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(stream_->Read(buffer, 8, nullptr), S_OK);
    EXPECT_EQ(stream_->Read(nullptr, 8, &got), STG_E_INVALIDPOINTER);
}

TEST_F(StreamTest, WritingPastTheEndGrowsTheBlock) {
    Open("abc");
    ULONG written = 0;
    EXPECT_EQ(stream_->Write("XY", 2, &written), S_OK);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(BlockBytes(block_), "XYc");
    EXPECT_EQ(stream_->Write("0123456789", 10, &written), S_OK);
    EXPECT_EQ(GlobalSize(block_), 12u);
    EXPECT_EQ(BlockBytes(block_), "XY0123456789");

    // A write beyond the end leaves zeros in the gap.
    ASSERT_EQ(stream_->Seek(Move(4), STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(stream_->Write("!", 1, nullptr), S_OK);
    EXPECT_EQ(BlockBytes(block_), std::string("XY0123456789\0\0\0\0!", 17));
    EXPECT_EQ(Position(stream_), 17u);

    // Writing nothing past the end does not grow the block.
    ASSERT_EQ(stream_->Seek(Move(100), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream_->Write("", 0, &written), S_OK);
    EXPECT_EQ(GlobalSize(block_), 17u);
}

TEST_F(StreamTest, ManySmallWritesMakeTheWholeText) {
    Open("");
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        std::string piece = std::to_string(i) + ",";
        ASSERT_EQ(stream_->Write(piece.data(), static_cast<ULONG>(piece.size()), nullptr), S_OK);
        expected += piece;
    }
    EXPECT_EQ(GlobalSize(block_), expected.size());
    EXPECT_EQ(BlockBytes(block_), expected);
    STATSTG stat;
    ASSERT_EQ(stream_->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, expected.size());
}

TEST_F(StreamTest, Seek) {
    Open("0123456789");
    const struct {
        int64_t move;
        DWORD origin;
        HRESULT result;
        uint64_t position;  // after the call
    } cases[] = {
        {3, STREAM_SEEK_SET, S_OK, 3},
        {2, STREAM_SEEK_CUR, S_OK, 5},
        {-1, STREAM_SEEK_CUR, S_OK, 4},
        {-3, STREAM_SEEK_END, S_OK, 7},
        {5, STREAM_SEEK_END, S_OK, 15},  // past the end is allowed
        {-1, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 15},
        {-16, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 15},
        {-11, STREAM_SEEK_END, STG_E_INVALIDFUNCTION, 15},
        {INT64_MIN, STREAM_SEEK_END, STG_E_INVALIDFUNCTION, 15},
        {0, 3, STG_E_INVALIDFUNCTION, 15},
        {INT64_MAX, STREAM_SEEK_SET, S_OK, INT64_MAX},
        {INT64_MAX, STREAM_SEEK_CUR, S_OK, UINT64_MAX - 1},
        {2, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, UINT64_MAX - 1},  // beyond 64 bits
        {1, STREAM_SEEK_CUR, S_OK, UINT64_MAX},
        {0, STREAM_SEEK_SET, S_OK, 0},
    };
    for (const auto& c : cases) {
        ULARGE_INTEGER reported;
        reported.QuadPart = 12345;
        EXPECT_EQ(stream_->Seek(Move(c.move), c.origin, &reported), c.result)
            << c.move << " from " << c.origin;
        if (c.result == S_OK) {
            EXPECT_EQ(reported.QuadPart, c.position);
        }
        EXPECT_EQ(Position(stream_), c.position) << c.move << " from " << c.origin;
    }
    EXPECT_EQ(GlobalSize(block_), 10u);
}

TEST_F(StreamTest, SizesBeyondMemoryAreRefused) {
    Open("abc");
    ASSERT_EQ(stream_->Seek(Move(INT64_MAX), STREAM_SEEK_SET, nullptr), S_OK);
    ULONG written = 99;
    EXPECT_EQ(stream_->Write("x", 1, &written), STG_E_MEDIUMFULL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(Position(stream_), uint64_t{INT64_MAX});
    ASSERT_EQ(stream_->Seek(Move(-1), STREAM_SEEK_CUR, nullptr), S_OK);
    EXPECT_EQ(stream_->Write("xy", 2, nullptr), STG_E_MEDIUMFULL);
    EXPECT_EQ(stream_->SetSize(Size(UINT64_MAX)), STG_E_MEDIUMFULL);
    EXPECT_EQ(BlockBytes(block_), "abc");
}

TEST_F(StreamTest, SetSizeTruncatesAndZeroExtends) {
    Open("abcdef");
    ASSERT_EQ(stream_->Seek(Move(5), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream_->SetSize(Size(2)), S_OK);
    EXPECT_EQ(BlockBytes(block_), "ab");
    EXPECT_EQ(Position(stream_), 5u);  // the position stays
    EXPECT_EQ(stream_->SetSize(Size(4)), S_OK);
    EXPECT_EQ(BlockBytes(block_), std::string("ab\0\0", 4));
    EXPECT_EQ(stream_->SetSize(Size(0)), S_OK);
    EXPECT_EQ(GlobalSize(block_), 0u);
}

TEST_F(StreamTest, LockedBlockKeepsItsSize) {
    Open("abc");
    void* pinned = GlobalLock(block_);
    ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(stream_->Write("d", 1, nullptr), STG_E_MEDIUMFULL);
    EXPECT_EQ(stream_->SetSize(Size(10)), STG_E_MEDIUMFULL);
    EXPECT_EQ(GlobalLock(block_), pinned);
    GlobalUnlock(block_);
    GlobalUnlock(block_);
    EXPECT_EQ(stream_->Write("d", 1, nullptr), S_OK);
    EXPECT_EQ(BlockBytes(block_), "abcd");
}

TEST_F(StreamTest, StatAndTheFixedAnswers) {
    Open("12345");
    STATSTG stat;
    std::memset(&stat, 0xCD, sizeof stat);
    ASSERT_EQ(stream_->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(stat.pwcsName, nullptr);
    EXPECT_EQ(stat.type, STGTY_STREAM);
    EXPECT_EQ(stat.cbSize.QuadPart, 5u);
    EXPECT_EQ(stat.grfMode, STGM_READWRITE);
    EXPECT_EQ(stat.clsid, CLSID{});
    EXPECT_EQ(stream_->Stat(nullptr, STATFLAG_NONAME), STG_E_INVALIDPOINTER);
    EXPECT_EQ(stream_->Stat(&stat, 7), STG_E_INVALIDFLAG);

    EXPECT_EQ(stream_->Commit(0), S_OK);
    EXPECT_EQ(stream_->Revert(), S_OK);
    EXPECT_EQ(stream_->LockRegion(Size(0), Size(1), 0), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream_->UnlockRegion(Size(0), Size(1), 0), STG_E_INVALIDFUNCTION);
}

TEST_F(StreamTest, QueryInterface) {
    Open("x");
    for (const IID* iid : {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream}) {
        void* out = nullptr;
        ASSERT_EQ(stream_->QueryInterface(*iid, &out), S_OK);
        EXPECT_EQ(out, static_cast<void*>(stream_));
        static_cast<IStream*>(out)->Release();
    }
    const IID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    void* out = stream_;
    EXPECT_EQ(stream_->QueryInterface(other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(stream_->QueryInterface(IID_IStream, nullptr), E_POINTER);
    // Each successful query took a reference that its Release gave back.
    EXPECT_EQ(stream_->AddRef(), 2u);
    EXPECT_EQ(stream_->Release(), 1u);
}

TEST_F(StreamTest, CloneSharesTheBlockButNotThePosition) {
    Open("abcdef");
    ASSERT_EQ(stream_->Seek(Move(2), STREAM_SEEK_SET, nullptr), S_OK);
    IStream* clone = nullptr;
    ASSERT_EQ(stream_->Clone(&clone), S_OK);
    ASSERT_NE(clone, stream_);
    EXPECT_EQ(Position(clone), 2u);
    EXPECT_EQ(ReadAll(clone, 2), "cd");
    EXPECT_EQ(Position(stream_), 2u);

    ASSERT_EQ(clone->Seek(Move(0), STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(clone->Write("gh", 2, nullptr), S_OK);
    EXPECT_EQ(ReadAll(stream_), "cdefgh");
    HGLOBAL fromClone = nullptr;
    EXPECT_EQ(GetHGlobalFromStream(clone, &fromClone), S_OK);
    EXPECT_EQ(fromClone, block_);
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(stream_->Clone(nullptr), STG_E_INVALIDPOINTER);
}

TEST_F(StreamTest, CopyTo) {
    Open("0123456789");
    IStream* target = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &target), S_OK);
    ASSERT_EQ(stream_->Seek(Move(3), STREAM_SEEK_SET, nullptr), S_OK);
    ULARGE_INTEGER read, written;
    EXPECT_EQ(stream_->CopyTo(target, Size(4), &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 4u);
    EXPECT_EQ(written.QuadPart, 4u);
    EXPECT_EQ(Position(stream_), 7u);
    // More than there is copies what there is.
    EXPECT_EQ(stream_->CopyTo(target, Size(UINT64_MAX), &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 3u);
    HGLOBAL targetBlock = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(target, &targetBlock), S_OK);
    EXPECT_EQ(BlockBytes(targetBlock), "3456789");

    // A copy larger than one internal chunk, to another block and onto the end of its own.
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + i / 256);
    ASSERT_EQ(stream_->SetSize(Size(0)), S_OK);
    ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(stream_->Write(big.data(), static_cast<ULONG>(big.size()), nullptr), S_OK);
    ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(target->SetSize(Size(0)), S_OK);
    ASSERT_EQ(target->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream_->CopyTo(target, Size(big.size()), &read, &written), S_OK);
    EXPECT_EQ(written.QuadPart, big.size());
    EXPECT_EQ(BlockBytes(targetBlock), big);

    IStream* clone = nullptr;
    ASSERT_EQ(stream_->Clone(&clone), S_OK);
    ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(clone->Seek(Move(0), STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(stream_->CopyTo(clone, Size(big.size()), &read, &written), S_OK);
    EXPECT_EQ(written.QuadPart, big.size());
    EXPECT_EQ(BlockBytes(block_), big + big);
    clone->Release();
    // Onto the very stream it reads: no lock is held across the target's Write.
    ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream_->CopyTo(stream_, Size(1000), &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, written.QuadPart);

    EXPECT_EQ(stream_->CopyTo(nullptr, Size(1), &read, &written), STG_E_INVALIDPOINTER);
    target->Release();
}

TEST_F(StreamTest, FreedBlockIsAnErrorForEveryCall) {
    Open("abc");
    IStream* clone = nullptr;
    ASSERT_EQ(stream_->Clone(&clone), S_OK);
    ASSERT_EQ(GlobalFree(block_), nullptr);
    block_ = nullptr;
    // Memory reused by a new block must stay out of the old stream's reach.
    HGLOBAL other = BlockWith("other");

    char buffer[4];
    ULONG n = 99;
    EXPECT_EQ(stream_->Read(buffer, 4, &n), STG_E_INVALIDHANDLE);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(stream_->Write("x", 1, &n), STG_E_INVALIDHANDLE);
    EXPECT_EQ(stream_->Seek(Move(0), STREAM_SEEK_END, nullptr), STG_E_INVALIDHANDLE);
    EXPECT_EQ(stream_->SetSize(Size(10)), STG_E_INVALIDHANDLE);
    STATSTG stat;
    EXPECT_EQ(stream_->Stat(&stat, STATFLAG_NONAME), STG_E_INVALIDHANDLE);
    ULARGE_INTEGER read, written;
    EXPECT_EQ(clone->CopyTo(stream_, Size(10), &read, &written), STG_E_INVALIDHANDLE);
    IStream* second = nullptr;
    EXPECT_EQ(stream_->Clone(&second), STG_E_INVALIDHANDLE);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(BlockBytes(other), "other");
    GlobalFree(other);
}

TEST(HGlobalStreamTest, DeleteOnReleaseFreesWithTheLastStream) {
    for (BOOL deleteOnRelease : {TRUE, FALSE}) {
        HGLOBAL block = BlockWith("data");
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(block, deleteOnRelease, &stream), S_OK);
        IStream* clone = nullptr;
        ASSERT_EQ(stream->Clone(&clone), S_OK);
        EXPECT_EQ(stream->Release(), 0u);
        EXPECT_EQ(GlobalSize(block), 4u) << "a clone still holds the block";
        EXPECT_EQ(clone->Release(), 0u);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalSize(block), deleteOnRelease ? 0u : 4u);
        EXPECT_EQ(GetLastError(), deleteOnRelease ? ERROR_INVALID_HANDLE : ERROR_SUCCESS);
        if (!deleteOnRelease) {
            EXPECT_EQ(GlobalFree(block), nullptr);
        }
    }
}

TEST(HGlobalStreamTest, ReleaseAfterTheBlockWasFreedByHand) {
    HGLOBAL block = BlockWith("data");
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
    ASSERT_EQ(GlobalFree(block), nullptr);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
}

TEST(HGlobalStreamTest, NullBlockMakesAnEmptyMovableOne) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, FALSE, &stream), S_OK);
    HGLOBAL block = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(stream, &block), S_OK);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(ReadAll(stream), "");
    EXPECT_EQ(stream->Write("png", 3, nullptr), S_OK);
    EXPECT_EQ(BlockBytes(block), "png");
    stream->Release();
    EXPECT_EQ(BlockBytes(block), "png");
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(HGlobalStreamTest, BadArguments) {
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
    HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 4);
    GlobalFree(freed);
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(CreateStreamOnHGlobal(freed, FALSE, &stream), E_INVALIDARG);
    EXPECT_EQ(stream, nullptr);

    HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(GetHGlobalFromStream(nullptr, &block), E_INVALIDARG);
    EXPECT_EQ(block, nullptr);

    // A stream of some other making.
    struct OtherStream : IStream {
        HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        HRESULT Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
        HRESULT Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
        HRESULT Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
        HRESULT SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
        HRESULT CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
            return E_NOTIMPL;
        }
        HRESULT Commit(DWORD) override { return E_NOTIMPL; }
        HRESULT Revert() override { return E_NOTIMPL; }
        HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
        HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
        HRESULT Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
        HRESULT Clone(IStream**) override { return E_NOTIMPL; }
    } other;
    block = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(GetHGlobalFromStream(&other, &block), E_INVALIDARG);
    EXPECT_EQ(block, nullptr);

    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    EXPECT_EQ(GetHGlobalFromStream(stream, nullptr), E_INVALIDARG);
    // A failing target stops the copy with the target's answer.
    EXPECT_EQ(stream->Write("abc", 3, nullptr), S_OK);
    ASSERT_EQ(stream->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
    ULARGE_INTEGER read, written;
    EXPECT_EQ(stream->CopyTo(&other, Size(3), &read, &written), E_NOTIMPL);
    EXPECT_EQ(read.QuadPart, 3u);
    EXPECT_EQ(written.QuadPart, 0u);
    stream->Release();
}

}  // namespace
