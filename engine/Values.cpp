#include "engine/Values.h"

uint32_t ColorToArgb(int32_t color, std::optional<int32_t> alpha) {
    const auto bgr = static_cast<uint32_t>(color);
    const uint32_t red = bgr & 0xFF;
    const uint32_t green = (bgr >> 8) & 0xFF;
    const uint32_t blue = (bgr >> 16) & 0xFF;
    const uint32_t a = static_cast<uint32_t>(alpha.value_or(255)) & 0xFF;
    return a << 24 | red << 16 | green << 8 | blue;
}

RectF MakeRectF(float x, float y, std::optional<float> width, std::optional<float> height) {
    return RectF{x, y, width.value_or(0.0f), height.value_or(0.0f)};
}

Rect MakeRect(int32_t x, int32_t y, std::optional<int32_t> width, std::optional<int32_t> height) {
    return Rect{x, y, width.value_or(0), height.value_or(0)};
}
