#include "gdiplus/GdipObject.h"

#include <climits>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

uint32_t g_gdiplusToken = 0;
Status g_lastStatus = Ok;

uint32_t StartGdiplus(std::optional<int32_t> version) {
    GdiplusStartupInput input{};
    input.GdiplusVersion = static_cast<UINT32>(version.value_or(1));
    ULONG_PTR token = 0;
    // Without SuppressBackgroundThread no start-up output is needed. The Status is not kept:
    // a failed start-up shows as token 0.
    if (GdiplusStartup(&token, &input, nullptr) != Ok || token > UINT32_MAX)
        token = 0;
    g_gdiplusToken = static_cast<uint32_t>(token);
    return g_gdiplusToken;
}

void ShutdownGdiplus(std::optional<uint32_t> token) {
    uint32_t ending;
    if (token) {
        ending = *token;
    } else {
        ending = g_gdiplusToken;
        g_gdiplusToken = 0;
    }
    if (ending != 0)
        GdiplusShutdown(ending);
}

void GdipObject::SetHandle(uint32_t h) {
    handle = h;
    SetNativeHandle(h);
}

void* GdipObject::Alloc(int32_t size) {
    if (size < 0)
        return nullptr;
    return GdipAlloc(static_cast<size_t>(size));
}

void GdipObject::Free(void* p) {
    GdipFree(p);
}

bool GdipObject::Succeeded(Status status) {
    g_lastStatus = status;
    return g_lastStatus == Ok;
}
