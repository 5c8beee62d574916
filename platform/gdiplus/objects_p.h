// The one table of GDI+ objects, and the typed look-up that every flat API function starts with.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdiplus/gdiplus.h"
#include "platform/win32/handle_table_p.h"

namespace charart::gdiplus {

// The base of every object that a GDI+ handle names. Kinds derive from it; the table holds
// them by shared pointer, so a call that found an object keeps it alive while another thread
// deletes its handle.
class Object {
public:
    virtual ~Object() = default;
};

using ObjectTable = platform::HandleTable<Object>;
ObjectTable& Objects();

// True between the first GdiplusStartup and the last GdiplusShutdown.
bool IsStarted();

using platform::HandleNumber;
using platform::ToOpaque;

// The object of kind T that the opaque pointer names; null for a null, released, forged or
// wrongly-kinded handle.
template <class T>
std::shared_ptr<T> Find(const void* opaque) {
    return std::dynamic_pointer_cast<T>(Objects().Find(HandleNumber(opaque)));
}

// The frame of every call on an existing object: GdiplusNotInitialized outside a session,
// InvalidParameter when the handle names no object of kind T, else what call(object) answers.
template <class T, class Call>
Gdiplus::Status WithObject(const void* opaque, Call&& call) {
    if (!IsStarted())
        return Gdiplus::GdiplusNotInitialized;
    const std::shared_ptr<T> object = Find<T>(opaque);
    if (!object)
        return Gdiplus::InvalidParameter;
    return call(*object);
}

// Puts a new object in the table and writes its handle to *out. OutOfMemory when the table is
// full (then *out is null).
template <class Opaque>
Gdiplus::Status Register(std::shared_ptr<Object> object, Opaque** out) {
    const uint32_t handle = Objects().Insert(std::move(object));
    *out = ToOpaque<Opaque>(handle);
    return handle ? Gdiplus::Ok : Gdiplus::OutOfMemory;
}

// Deletes the object of kind T that the opaque pointer names; InvalidParameter when there is
// none (the table keeps an object of another kind that the handle names).
template <class T>
Gdiplus::Status Delete(const void* opaque) {
    if (!Find<T>(opaque))
        return Gdiplus::InvalidParameter;
    // Dropped here, outside the table's lock.
    return Objects().Remove(HandleNumber(opaque)) ? Gdiplus::Ok : Gdiplus::InvalidParameter;
}

}  // namespace charart::gdiplus
