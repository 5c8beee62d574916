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
    if (!IsStarted())
        return GdiplusNotInitialized;
    const auto fill = Find<SolidFill>(brush);
    if (!fill)
        return InvalidParameter;
    fill->SetColor(color);
    return Ok;
}

GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color) {
    if (!IsStarted())
        return GdiplusNotInitialized;
    const auto fill = Find<SolidFill>(brush);
    if (!fill || !color)
        return InvalidParameter;
    *color = fill->Color();
    return Ok;
}

GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type) {
    if (!IsStarted())
        return GdiplusNotInitialized;
    const auto found = Find<Brush>(brush);
    if (!found || !type)
        return InvalidParameter;
    *type = found->Type();
    return Ok;
}

GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush) {
    if (!IsStarted())
        return GdiplusNotInitialized;
    const auto found = Find<Brush>(brush);
    if (!found || !cloneBrush)
        return InvalidParameter;
    *cloneBrush = nullptr;
    return Register(found->Clone(), cloneBrush);
}

GpStatus GdipDeleteBrush(GpBrush* brush) {
    if (!IsStarted())
        return GdiplusNotInitialized;
    return Delete<Brush>(brush);
}

}  // namespace Gdiplus::DllExports
