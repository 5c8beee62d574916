// Brushes: the kinds that GpBrush handles name.
#pragma once

#include <atomic>
#include <memory>

#include "platform/gdiplus/objects_p.h"

namespace charart::gdiplus {

class Brush : public Object {
public:
    virtual Gdiplus::BrushType Type() const = 0;
    virtual std::shared_ptr<Brush> Clone() const = 0;
};

class SolidFill final : public Brush {
public:
    explicit SolidFill(Gdiplus::ARGB color) : color_(color) {}

    Gdiplus::BrushType Type() const override { return Gdiplus::BrushTypeSolidColor; }
    std::shared_ptr<Brush> Clone() const override { return std::make_shared<SolidFill>(Color()); }

    Gdiplus::ARGB Color() const { return color_.load(std::memory_order_relaxed); }
    void SetColor(Gdiplus::ARGB color) { color_.store(color, std::memory_order_relaxed); }

private:
    std::atomic<Gdiplus::ARGB> color_;
};

}  // namespace charart::gdiplus
