// An IStream over a movable global memory block: bytes become a stream that GDI+ reads images
// from or writes them to, and the block becomes bytes again.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/win32/win32.h"

using ByteSpan = std::span<const uint8_t>;

class MemoryStream {
public:
    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    virtual ~MemoryStream() { Close(); }

    // Opens a stream over a new block of length bytes (the whole of data when no length is
    // given) holding a copy of data; bytes past the end of data stay zero. Closes whatever was
    // open first. Returns the stream, null when it could not be made (or length is negative).
    virtual IStream* Create(ByteSpan data, std::optional<int32_t> length = std::nullopt);
    // Releases the stream and frees the block; does nothing when closed.
    virtual void Close();
    // The block's size in bytes; 0 when closed.
    virtual int32_t GetSize() const;
    virtual IStream* GetStream() const { return stream; }
    virtual HGLOBAL GetHGlobal() const { return hGlobal; }
    // Takes over the caller's reference to a stream made over a global block with
    // fDeleteOnRelease FALSE (this object frees the block). Closes whatever was open first.
    // True when the stream's block was found.
    virtual bool Attach(IStream* newStream);
    // A copy of the whole block, as GlobalSize reports it; empty when closed.
    virtual std::vector<uint8_t> ToBytes();

private:
    HGLOBAL hGlobal = nullptr;
    // The block's address as the last lock gave it; valid only while that lock is held.
    void* lockedData = nullptr;
    IStream* stream = nullptr;
};
