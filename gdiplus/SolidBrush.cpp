#include "gdiplus/SolidBrush.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

void SolidBrush::SetNativeBrush(uint32_t h) {
    nativeBrush = h;
    SetNativeSolidFill(h);
}

void SolidBrush::SetNativeSolidFill(uint32_t h) {
    nativeSolidFill = h;
}

bool SolidBrush::Delete() {
    if (nativeBrush == 0)
        return false;
    const Status status = GdipDeleteBrush(Native<GpBrush>(nativeBrush));
    // Emptied even when the deletion failed: the handle named nothing usable either way.
    SetHandle(0);
    return Succeeded(status);
}

bool SolidBrush::Clone(SolidBrush& target) const {
    GpBrush* out = nullptr;
    const Status status = GdipCloneBrush(Native<GpBrush>(nativeBrush), &out);
    target.SetHandle(HandleOf(out));
    return Succeeded(status);
}

int32_t SolidBrush::GetType() const {
    BrushType type = BrushTypeSolidColor;
    Succeeded(GdipGetBrushType(Native<GpBrush>(nativeBrush), &type));
    return type;
}

bool SolidBrush::Create(uint32_t color) {
    GpSolidFill* out = nullptr;
    const Status status = GdipCreateSolidFill(color, &out);
    SetHandle(HandleOf(out));
    return Succeeded(status);
}

bool SolidBrush::SetColor(uint32_t color) {
    return Succeeded(GdipSetSolidFillColor(Native<GpSolidFill>(nativeSolidFill), color));
}

uint32_t SolidBrush::GetColor() const {
    ARGB color = 0;
    Succeeded(GdipGetSolidFillColor(Native<GpSolidFill>(nativeSolidFill), &color));
    return color;
}
