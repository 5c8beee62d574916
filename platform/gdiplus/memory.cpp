#include <cstdlib>

#include "platform/gdiplus/objects_p.h"

using namespace charart::gdiplus;

namespace Gdiplus::DllExports {

void* GdipAlloc(size_t size) {
    if (!IsStarted())
        return nullptr;
    // A request for nothing still gets a block of its own that GdipFree accepts.
    return std::malloc(size ? size : 1);
}

void GdipFree(void* ptr) {
    std::free(ptr);
}

}  // namespace Gdiplus::DllExports
