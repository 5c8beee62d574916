// IStream over a global memory block. The stream keeps no copy and no pointer of its own: its
// size is the block's size, and every call reaches the block through its handle, so a block freed
// under a live stream is an error for the caller rather than memory read after it was freed.
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "platform/win32/global_memory_p.h"
#include "platform/win32/win32.h"

extern "C" const IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
extern "C" const IID IID_ISequentialStream = {
    0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3A}};
extern "C" const IID IID_IStream = {
    0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

using charart::platform::BlockStatus;

// What a stream and its clones share: the block, and whether the last of them frees it.
struct SharedBlock {
    explicit SharedBlock(HGLOBAL block) : handle(block) {}
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;
    ~SharedBlock() {
        if (!deleteOnRelease)
            return;
        // Release reports nothing through the last error; a block already freed by hand is fine.
        DWORD error = GetLastError();
        GlobalFree(handle);
        SetLastError(error);
    }

    const HGLOBAL handle;
    bool deleteOnRelease = false;
};

HRESULT ToHResult(BlockStatus status) {
    switch (status) {
        case BlockStatus::Ok:
            return S_OK;
        case BlockStatus::BadHandle:
            return STG_E_INVALIDHANDLE;
        case BlockStatus::Locked:
        case BlockStatus::NoMemory:
            return STG_E_MEDIUMFULL;
    }
    return E_FAIL;
}

class HGlobalStream final : public IStream {
public:
    HGlobalStream(std::shared_ptr<SharedBlock> block, uint64_t position)
        : block_(std::move(block)), position_(position) {}

    HGLOBAL Handle() const { return block_->handle; }
    void SetDeleteOnRelease(bool on) { block_->deleteOnRelease = on; }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
            *ppvObject = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }

    ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG Release() override {
        ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pcbRead)
            *pcbRead = 0;
        if (!pv && cb > 0)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(mutex_);
        size_t copied = 0;
        BlockStatus status =
            charart::platform::ReadGlobalBlock(Handle(), position_, pv, cb, &copied);
        if (status != BlockStatus::Ok)
            return ToHResult(status);
        position_ += copied;
        if (pcbRead)
            *pcbRead = static_cast<ULONG>(copied);
        return S_OK;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten)
            *pcbWritten = 0;
        if (!pv && cb > 0)
            return STG_E_INVALIDPOINTER;
        std::lock_guard lock(mutex_);
        BlockStatus status = charart::platform::WriteGlobalBlock(Handle(), position_, pv, cb);
        if (status != BlockStatus::Ok)
            return ToHResult(status);
        position_ += cb;
        if (pcbWritten)
            *pcbWritten = cb;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
        std::lock_guard lock(mutex_);
        uint64_t size = 0;
        BlockStatus status = charart::platform::GlobalBlockSize(Handle(), &size);
        if (status != BlockStatus::Ok)
            return ToHResult(status);
        uint64_t base;
        switch (dwOrigin) {
            case STREAM_SEEK_SET:
                base = 0;
                break;
            case STREAM_SEEK_CUR:
                base = position_;
                break;
            case STREAM_SEEK_END:
                base = size;
                break;
            default:
                return STG_E_INVALIDFUNCTION;
        }
        // A position before the start, or beyond what 64 bits hold, is refused and the
        // position stays where it was.
        int64_t move = dlibMove.QuadPart;
        uint64_t magnitude =
            move < 0 ? 0 - static_cast<uint64_t>(move) : static_cast<uint64_t>(move);
        if (move < 0 ? magnitude > base : magnitude > UINT64_MAX - base)
            return STG_E_INVALIDFUNCTION;
        position_ = move < 0 ? base - magnitude : base + magnitude;
        if (plibNewPosition)
            plibNewPosition->QuadPart = position_;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER libNewSize) override {
        return ToHResult(charart::platform::ResizeGlobalBlock(Handle(), libNewSize.QuadPart));
    }

    HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                   ULARGE_INTEGER* pcbWritten) override {
        if (pcbRead)
            pcbRead->QuadPart = 0;
        if (pcbWritten)
            pcbWritten->QuadPart = 0;
        if (!pstm)
            return STG_E_INVALIDPOINTER;
        // Through Read and the target's Write, chunk by chunk, holding no lock across the
        // target's call: the target may be this very stream.
        uint64_t available;
        {
            std::lock_guard lock(mutex_);
            uint64_t size = 0;
            BlockStatus status = charart::platform::GlobalBlockSize(Handle(), &size);
            if (status != BlockStatus::Ok)
                return ToHResult(status);
            available = size > position_ ? size - position_ : 0;
        }
        constexpr uint64_t kChunk = 64 * 1024;
        uint64_t left = std::min(cb.QuadPart, available);
        std::vector<unsigned char> buffer;
        try {
            buffer.resize(static_cast<size_t>(std::min(left, kChunk)));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        uint64_t totalRead = 0, totalWritten = 0;
        HRESULT result = S_OK;
        while (left > 0) {
            ULONG got = 0;
            result = Read(buffer.data(),
                          static_cast<ULONG>(std::min<uint64_t>(left, buffer.size())), &got);
            if (FAILED(result) || got == 0)
                break;
            totalRead += got;
            left -= got;
            ULONG put = 0;
            result = pstm->Write(buffer.data(), got, &put);
            totalWritten += put;
            if (SUCCEEDED(result) && put < got)
                result = STG_E_MEDIUMFULL;
            if (FAILED(result))
                break;
        }
        if (pcbRead)
            pcbRead->QuadPart = totalRead;
        if (pcbWritten)
            pcbWritten->QuadPart = totalWritten;
        return result;
    }

    // Changes go straight to the block; there is nothing to commit or take back.
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }

    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }

    HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
        if (!pstatstg)
            return STG_E_INVALIDPOINTER;
        if (grfStatFlag != STATFLAG_DEFAULT && grfStatFlag != STATFLAG_NONAME)
            return STG_E_INVALIDFLAG;
        uint64_t size = 0;
        BlockStatus status = charart::platform::GlobalBlockSize(Handle(), &size);
        if (status != BlockStatus::Ok)
            return ToHResult(status);
        *pstatstg = STATSTG{};
        pstatstg->pwcsName = nullptr;  // a memory stream has no name to give
        pstatstg->type = STGTY_STREAM;
        pstatstg->cbSize.QuadPart = size;
        pstatstg->grfMode = STGM_READWRITE;
        return S_OK;
    }

    HRESULT Clone(IStream** ppstm) override {
        if (!ppstm)
            return STG_E_INVALIDPOINTER;
        *ppstm = nullptr;
        std::lock_guard lock(mutex_);
        uint64_t size = 0;
        BlockStatus status = charart::platform::GlobalBlockSize(Handle(), &size);
        if (status != BlockStatus::Ok)
            return ToHResult(status);
        auto* clone = new (std::nothrow) HGlobalStream(block_, position_);
        if (!clone)
            return E_OUTOFMEMORY;
        *ppstm = clone;
        return S_OK;
    }

private:
    // Only Release destroys a stream.
    ~HGlobalStream() = default;

    std::atomic<ULONG> refs_{1};
    std::shared_ptr<SharedBlock> block_;
    std::mutex mutex_;  // guards position_
    uint64_t position_;
};

}  // namespace

extern "C" HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) {
    if (!ppstm)
        return E_INVALIDARG;
    *ppstm = nullptr;
    bool ownBlock = !hGlobal;
    if (ownBlock) {
        hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!hGlobal)
            return E_OUTOFMEMORY;
    } else {
        uint64_t size;
        if (charart::platform::GlobalBlockSize(hGlobal, &size) != BlockStatus::Ok)
            return E_INVALIDARG;
    }
    HGlobalStream* stream;
    try {
        stream = new HGlobalStream(std::make_shared<SharedBlock>(hGlobal), 0);
    } catch (const std::bad_alloc&) {
        if (ownBlock)
            GlobalFree(hGlobal);
        return E_OUTOFMEMORY;
    }
    // Set only now, so that a failure above never frees a block the caller still owns.
    stream->SetDeleteOnRelease(fDeleteOnRelease != FALSE);
    *ppstm = stream;
    return S_OK;
}

extern "C" HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal) {
    if (!phglobal)
        return E_INVALIDARG;
    *phglobal = nullptr;
    auto* stream = dynamic_cast<HGlobalStream*>(pstm);
    if (!stream)
        return E_INVALIDARG;
    *phglobal = stream->Handle();
    return S_OK;
}
