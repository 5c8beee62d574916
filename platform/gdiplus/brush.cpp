#include "platform/gdiplus/brush_p.h"

using namespace charart::gdiplus;

namespace Gdiplus::DllExports {

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush) {
    if (!IsStarted())
        return GdiplusNotInitialized;
    if (!brush)
        return InvalidParameter;
    *brush = nullptr;
    return Register(std::make_shared<SolidFill>(color), brush);
}

GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color) {
    return WithObject<SolidFill>(brush, [&](SolidFill& fill) {
        fill.SetColor(color);
        return Ok;
    });
}

GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color) {
    return WithObject<SolidFill>(brush, [&](SolidFill& fill) {
        if (!color)
            return InvalidParameter;
        *color = fill.Color();
        return Ok;
    });
}

GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type) {
    return WithObject<Brush>(brush, [&](Brush& found) {
        if (!type)
            return InvalidParameter;
        *type = found.Type();
        return Ok;
    });
}

GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush) {
    return WithObject<Brush>(brush, [&](Brush& found) {
        if (!cloneBrush)
            return InvalidParameter;
        *cloneBrush = nullptr;
        return Register(found.Clone(), cloneBrush);
    });
}

GpStatus GdipDeleteBrush(GpBrush* brush) {
    if (!IsStarted())
        return GdiplusNotInitialized;
    return Delete<Brush>(brush);
}

}  // namespace Gdiplus::DllExports
