// The colour and geometry values that the engine and the object layer pass around. The records
// are the flat API's own, so they reach GDI+ by address with the layout it reads.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/gdiplus/gdiplus.h"

using RectF = Gdiplus::RectF;
using Rect = Gdiplus::Rect;
using PointF = Gdiplus::PointF;
using Point = Gdiplus::Point;
using SizeF = Gdiplus::SizeF;

// An ARGB colour (alpha in the top byte, then red, green, blue) from a Windows colour value
// 0x00BBGGRR and an alpha, of which only the low byte counts.
uint32_t ColorToArgb(int32_t color, std::optional<int32_t> alpha = std::nullopt);

RectF MakeRectF(float x, float y, std::optional<float> width = std::nullopt,
                std::optional<float> height = std::nullopt);
Rect MakeRect(int32_t x, int32_t y, std::optional<int32_t> width = std::nullopt,
              std::optional<int32_t> height = std::nullopt);
