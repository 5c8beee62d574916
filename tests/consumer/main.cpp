// Starts GDI+ through the object layer, makes a brush of an engine colour and reads it back.
#include "engine/Values.h"
#include "gdiplus/SolidBrush.h"

int main() {
    if (StartGdiplus() == 0)
        return 1;
    bool ok;
    {
        SolidBrush brush;
        ok = brush.Create(ColorToArgb(0x0000FF)) && brush.GetColor() == 0xFFFF0000u;
    }
    ShutdownGdiplus();
    return ok ? 0 : 1;
}
