// A GDI+ solid-colour brush.
#pragma once

#include <cstdint>

#include "gdiplus/GdipObject.h"

class SolidBrush : public GdipObject {
public:
    SolidBrush() = default;
    ~SolidBrush() override { Delete(); }

    // Deletes the native brush and empties the object. False, with no GDI+ call and
    // g_lastStatus untouched, when there is no brush.
    bool Delete();
    // Makes an independent copy of the brush in target. The target's previous brush is not
    // deleted; a failed clone leaves the target empty.
    bool Clone(SolidBrush& target) const;
    // The BrushType of the brush (BrushTypeSolidColor = 0); 0 when GDI+ wrote nothing.
    int32_t GetType() const;
    // Creates a brush of the ARGB colour. A brush held before is not deleted.
    bool Create(uint32_t color);
    bool SetColor(uint32_t color);
    // The brush's ARGB colour; 0 when GDI+ wrote nothing.
    uint32_t GetColor() const;

    // The two copies of the native handle: the brush-level methods read the first, the
    // solid-fill methods the second. SetHandle keeps both equal to GetHandle().
    uint32_t NativeBrush() const { return nativeBrush; }
    uint32_t NativeSolidFill() const { return nativeSolidFill; }

protected:
    void SetNativeHandle(uint32_t h) final { SetNativeBrush(h); }
    virtual void SetNativeBrush(uint32_t h);
    virtual void SetNativeSolidFill(uint32_t h);

private:
    uint32_t nativeBrush = 0;
    uint32_t nativeSolidFill = 0;
};
