// Global memory blocks. A handle is a number from the block table, so a freed or forged handle
// is an error, never an address to follow. Every byte of a block starts as zero, with or without
// GMEM_ZEROINIT, so no block ever shows what its memory held before.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "platform/win32/global_memory_p.h"
#include "platform/win32/handle_table_p.h"
#include "platform/win32/win32.h"

namespace charart::platform {
namespace {

struct Block {
    std::mutex mutex;
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
    // Room beyond size, so that a stream that grows by many small writes does not copy the
    // block each time.
    size_t capacity = 0;
    unsigned lockCount = 0;

    // Sets the size. growRoom asks for spare capacity when the block must move (a block that
    // grows once tends to grow again); without it the block takes what it needs. False when the
    // memory is not to be had; the block is then unchanged.
    bool Resize(uint64_t newSize, bool growRoom) {
        if (newSize > kMaxGlobalBlockSize)
            return false;
        size_t n = static_cast<size_t>(newSize);
        // Shrinking far below the capacity gives the memory back.
        bool shrink = n < capacity / 4 && capacity - n > 4096;
        if (n > capacity || shrink) {
            size_t want = n;
            if (growRoom && n > capacity)
                want = static_cast<size_t>(std::min<uint64_t>(
                    kMaxGlobalBlockSize, std::max<uint64_t>(n, capacity * 2ull)));
            std::unique_ptr<unsigned char[]> fresh;
            if (want > 0) {
                fresh.reset(new (std::nothrow) unsigned char[want]);
                if (!fresh && want > n) {
                    want = n;
                    fresh.reset(new (std::nothrow) unsigned char[want]);
                }
                if (!fresh)
                    return false;
                if (size > 0)
                    std::memcpy(fresh.get(), data.get(), std::min(size, n));
            }
            data = std::move(fresh);
            capacity = want;
        }
        if (n > size)
            std::memset(data.get() + size, 0, n - size);
        size = n;
        return true;
    }
};

HandleTable<Block>& Blocks() {
    // Never destroyed: a stream released during exit may still free its block.
    static auto* table = new HandleTable<Block>;
    return *table;
}

std::shared_ptr<Block> Find(HGLOBAL handle) {
    return Blocks().Find(HandleNumber(handle));
}

// The block a public call names, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<Block> FindOrFail(HGLOBAL handle) {
    std::shared_ptr<Block> block = Find(handle);
    if (!block)
        SetLastError(ERROR_INVALID_HANDLE);
    return block;
}

}  // namespace

BlockStatus GlobalBlockSize(HGLOBAL handle, uint64_t* size) {
    std::shared_ptr<Block> block = Find(handle);
    if (!block)
        return BlockStatus::BadHandle;
    std::lock_guard lock(block->mutex);
    *size = block->size;
    return BlockStatus::Ok;
}

BlockStatus ReadGlobalBlock(HGLOBAL handle, uint64_t offset, void* dest, size_t count,
                            size_t* copied) {
    *copied = 0;
    std::shared_ptr<Block> block = Find(handle);
    if (!block)
        return BlockStatus::BadHandle;
    std::lock_guard lock(block->mutex);
    if (offset >= block->size)
        return BlockStatus::Ok;
    size_t n = std::min<uint64_t>(count, block->size - offset);
    std::memcpy(dest, block->data.get() + offset, n);
    *copied = n;
    return BlockStatus::Ok;
}

BlockStatus WriteGlobalBlock(HGLOBAL handle, uint64_t offset, const void* src, size_t count) {
    std::shared_ptr<Block> block = Find(handle);
    if (!block)
        return BlockStatus::BadHandle;
    if (count == 0)
        return BlockStatus::Ok;
    if (offset > kMaxGlobalBlockSize || count > kMaxGlobalBlockSize - offset)
        return BlockStatus::NoMemory;
    std::lock_guard lock(block->mutex);
    uint64_t end = offset + count;
    if (end > block->size) {
        if (block->lockCount > 0)
            return BlockStatus::Locked;
        if (!block->Resize(end, true))
            return BlockStatus::NoMemory;
    }
    std::memcpy(block->data.get() + offset, src, count);
    return BlockStatus::Ok;
}

BlockStatus ResizeGlobalBlock(HGLOBAL handle, uint64_t size) {
    std::shared_ptr<Block> block = Find(handle);
    if (!block)
        return BlockStatus::BadHandle;
    std::lock_guard lock(block->mutex);
    if (size == block->size)
        return BlockStatus::Ok;
    if (block->lockCount > 0)
        return BlockStatus::Locked;
    return block->Resize(size, true) ? BlockStatus::Ok : BlockStatus::NoMemory;
}

}  // namespace charart::platform

using charart::platform::Block;
using charart::platform::Blocks;
using charart::platform::FindOrFail;
using charart::platform::HandleNumber;
using charart::platform::ToOpaque;

extern "C" HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (uFlags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    uint32_t number = 0;
    try {
        auto block = std::make_shared<Block>();
        if (block->Resize(dwBytes, false))
            number = Blocks().Insert(std::move(block));
    } catch (const std::bad_alloc&) {
        number = 0;
    }
    if (number == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return ToOpaque<HGLOBAL__>(number);
}

extern "C" LPVOID GlobalLock(HGLOBAL hMem) {
    std::shared_ptr<Block> block = FindOrFail(hMem);
    if (!block)
        return nullptr;
    std::lock_guard lock(block->mutex);
    // An empty block has no address to give; it is not counted as locked, so a caller that
    // takes the null as failure and never unlocks leaves it free to grow.
    if (block->size == 0) {
        SetLastError(ERROR_SUCCESS);
        return nullptr;
    }
    ++block->lockCount;
    return block->data.get();
}

extern "C" BOOL GlobalUnlock(HGLOBAL hMem) {
    std::shared_ptr<Block> block = FindOrFail(hMem);
    if (!block)
        return FALSE;
    std::lock_guard lock(block->mutex);
    if (block->lockCount == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->lockCount > 0)
        return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

extern "C" SIZE_T GlobalSize(HGLOBAL hMem) {
    std::shared_ptr<Block> block = FindOrFail(hMem);
    if (!block)
        return 0;
    std::lock_guard lock(block->mutex);
    if (block->size == 0)
        SetLastError(ERROR_SUCCESS);
    return block->size;
}

extern "C" HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    if (uFlags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_MODIFY)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Block> block = FindOrFail(hMem);
    if (!block)
        return nullptr;
    std::lock_guard lock(block->mutex);
    // Only the attributes would change, and every block here already moves when unlocked.
    if (uFlags & GMEM_MODIFY)
        return hMem;
    if (block->lockCount > 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!block->Resize(dwBytes, true)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return hMem;
}

extern "C" HGLOBAL GlobalFree(HGLOBAL hMem) {
    if (!hMem)
        return nullptr;
    if (!Blocks().Remove(HandleNumber(hMem))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    return nullptr;
}
