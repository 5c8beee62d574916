#include "gdiplus/MemoryStream.h"

#include <algorithm>
#include <climits>
#include <cstring>

IStream* MemoryStream::Create(ByteSpan data, std::optional<int32_t> length) {
    Close();
    if (length && *length < 0)
        return nullptr;
    const size_t size = length ? static_cast<size_t>(*length) : data.size();

    hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!hGlobal)
        return nullptr;
    if (CreateStreamOnHGlobal(hGlobal, FALSE, &stream) != S_OK || !stream) {
        stream = nullptr;
        GlobalFree(hGlobal);
        hGlobal = nullptr;
        return nullptr;
    }
    // A length past the end of data copies only data: the rest of the block stays zero.
    const size_t copied = std::min(size, data.size());
    if (copied > 0) {
        lockedData = GlobalLock(hGlobal);
        if (lockedData)
            std::memcpy(lockedData, data.data(), copied);
        GlobalUnlock(hGlobal);
    }
    return stream;
}

void MemoryStream::Close() {
    if (stream) {
        stream->Release();
        stream = nullptr;
    }
    // Freed even when no stream was ever made over it, so a failed open leaks nothing.
    if (hGlobal) {
        GlobalFree(hGlobal);
        hGlobal = nullptr;
    }
}

int32_t MemoryStream::GetSize() const {
    if (!hGlobal)
        return 0;
    const SIZE_T size = GlobalSize(hGlobal);
    return static_cast<int32_t>(std::min<SIZE_T>(size, INT32_MAX));
}

bool MemoryStream::Attach(IStream* newStream) {
    Close();
    if (!newStream)
        return false;
    HGLOBAL block = nullptr;
    if (GetHGlobalFromStream(newStream, &block) == S_OK)
        hGlobal = block;
    stream = newStream;
    return hGlobal != nullptr;
}

std::vector<uint8_t> MemoryStream::ToBytes() {
    if (!hGlobal)
        return {};
    std::vector<uint8_t> bytes;
    lockedData = GlobalLock(hGlobal);
    if (lockedData) {
        const auto* first = static_cast<const uint8_t*>(lockedData);
        bytes.assign(first, first + GlobalSize(hGlobal));
    }
    GlobalUnlock(hGlobal);
    return bytes;
}
