// The base of the object layer: the GDI+ session, the layer-wide status, and GdipObject, from
// which every wrapper class derives.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/gdiplus/gdiplus.h"

// Token of the open GDI+ session; 0 when there is none.
extern uint32_t g_gdiplusToken;
// Status of the last GDI+ call that a wrapper method made.
extern Gdiplus::Status g_lastStatus;

// Starts GDI+ (version 1 unless given) and remembers the session in g_gdiplusToken. Returns
// the token, 0 when start-up failed. The start-up Status is not reported.
uint32_t StartGdiplus(std::optional<int32_t> version = std::nullopt);

// Ends the session of token; without one, ends the remembered session and forgets it. Token 0
// makes no call, so a second shutdown of the remembered session does nothing.
void ShutdownGdiplus(std::optional<uint32_t> token = std::nullopt);

// A wrapper owns the one native object whose handle it holds. Setting a handle never releases
// the object held before; a derived class's destructor runs its release operation. Wrappers are
// not copyable: two wrappers of one native object would both release it.
class GdipObject {
public:
    GdipObject() = default;
    GdipObject(const GdipObject&) = delete;
    GdipObject& operator=(const GdipObject&) = delete;
    virtual ~GdipObject() = default;

    uint32_t GetHandle() const { return handle; }
    // Makes h the native handle of this object and of every copy its class keeps. Makes no GDI+
    // call and releases nothing.
    void SetHandle(uint32_t h);

    // Memory from GdipAlloc (null for a negative size or when GDI+ is not running) and back.
    static void* Alloc(int32_t size);
    static void Free(void* p);

protected:
    // Stores h in the class's own copy of the handle. Called only by SetHandle.
    virtual void SetNativeHandle(uint32_t h) = 0;

    // Stores status in g_lastStatus; true when it is Ok.
    static bool Succeeded(Gdiplus::Status status);

    // Handle numbers travel through the flat API inside its opaque pointer types.
    template <class T>
    static T* Native(uint32_t h) {
        return reinterpret_cast<T*>(static_cast<uintptr_t>(h));
    }
    template <class T>
    static uint32_t HandleOf(T* p) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
    }

private:
    uint32_t handle = 0;
};
