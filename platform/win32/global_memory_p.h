// Access to a global memory block by its handle, for the stream over it. Each call runs under
// the block's own lock, so a stream reads and writes without a GlobalLock/GlobalUnlock pair per
// call and never holds a pointer into a block that another thread may resize or free.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/win32.h"

namespace charart::platform {

enum class BlockStatus {
    Ok,
    BadHandle,  // the handle names no block (freed, or never handed out)
    Locked,     // the size of a locked block cannot change: its address is out there
    NoMemory,   // the block cannot be that large
};

// The largest block there can be: one that an offset of type ptrdiff_t still spans.
inline constexpr uint64_t kMaxGlobalBlockSize = PTRDIFF_MAX;

BlockStatus GlobalBlockSize(HGLOBAL block, uint64_t* size);

// Copies the bytes at [offset, offset + count) that lie inside the block; *copied says how many
// (0 when offset is at or past the end).
BlockStatus ReadGlobalBlock(HGLOBAL block, uint64_t offset, void* dest, size_t count,
                            size_t* copied);

// Writes count bytes at offset. Bytes that reach past the end grow the block first; a gap
// between the old end and offset reads as zeros.
BlockStatus WriteGlobalBlock(HGLOBAL block, uint64_t offset, const void* src, size_t count);

// Sets the block's size, keeping the bytes that stay and zero-filling new ones.
BlockStatus ResizeGlobalBlock(HGLOBAL block, uint64_t size);

}  // namespace charart::platform
