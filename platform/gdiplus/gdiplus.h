// The GDI+ flat API as charart provides it on Linux: the published names, enumeration values,
// record layouts and signatures, so code written against the flat API compiles unchanged.
//
// Objects are named by 32-bit handles from one table; an opaque pointer such as GpBrush* carries
// the handle's number, never an address. A released, stale or forged handle answers
// InvalidParameter. Every call made before GdiplusStartup, or after the last GdiplusShutdown,
// answers GdiplusNotInitialized.
#pragma once

#include <cstdint>

#include "platform/win32/win32.h"

namespace Gdiplus {

typedef float REAL;
typedef DWORD ARGB;
typedef uint64_t ARGB64;

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
    ProfileNotFound = 21,
};
typedef Status GpStatus;

// ---- records (the published layouts) ----

struct Point {
    INT X;
    INT Y;
};
struct PointF {
    REAL X;
    REAL Y;
};
struct Size {
    INT Width;
    INT Height;
};
struct SizeF {
    REAL Width;
    REAL Height;
};
struct Rect {
    INT X;
    INT Y;
    INT Width;
    INT Height;
};
struct RectF {
    REAL X;
    REAL Y;
    REAL Width;
    REAL Height;
};
typedef Point GpPoint;
typedef PointF GpPointF;
typedef Rect GpRect;
typedef RectF GpRectF;

static_assert(sizeof(Point) == 8 && sizeof(PointF) == 8 && sizeof(SizeF) == 8);
static_assert(sizeof(Rect) == 16 && sizeof(RectF) == 16);

// ---- enumerations ----

enum Unit {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6,
};
typedef Unit GpUnit;

enum BrushType {
    BrushTypeSolidColor = 0,
    BrushTypeHatchFill = 1,
    BrushTypeTextureFill = 2,
    BrushTypePathGradient = 3,
    BrushTypeLinearGradient = 4,
};
typedef BrushType GpBrushType;

enum FontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum StringFormatFlags {
    StringFormatFlagsDirectionRightToLeft = 0x00000001,
    StringFormatFlagsDirectionVertical = 0x00000002,
    StringFormatFlagsNoFitBlackBox = 0x00000004,
    StringFormatFlagsDisplayFormatControl = 0x00000020,
    StringFormatFlagsNoFontFallback = 0x00000400,
    StringFormatFlagsMeasureTrailingSpaces = 0x00000800,
    StringFormatFlagsNoWrap = 0x00001000,
    StringFormatFlagsLineLimit = 0x00002000,
    StringFormatFlagsNoClip = 0x00004000,
};

typedef INT PixelFormat;
constexpr PixelFormat PixelFormatIndexed = 0x00010000;
constexpr PixelFormat PixelFormatGDI = 0x00020000;
constexpr PixelFormat PixelFormatAlpha = 0x00040000;
constexpr PixelFormat PixelFormatPAlpha = 0x00080000;
constexpr PixelFormat PixelFormatExtended = 0x00100000;
constexpr PixelFormat PixelFormatCanonical = 0x00200000;
constexpr PixelFormat PixelFormatUndefined = 0;
constexpr PixelFormat PixelFormatDontCare = 0;
constexpr PixelFormat PixelFormat1bppIndexed = 1 | (1 << 8) | PixelFormatIndexed | PixelFormatGDI;
constexpr PixelFormat PixelFormat4bppIndexed = 2 | (4 << 8) | PixelFormatIndexed | PixelFormatGDI;
constexpr PixelFormat PixelFormat8bppIndexed = 3 | (8 << 8) | PixelFormatIndexed | PixelFormatGDI;
constexpr PixelFormat PixelFormat16bppGrayScale = 4 | (16 << 8) | PixelFormatExtended;
constexpr PixelFormat PixelFormat16bppRGB555 = 5 | (16 << 8) | PixelFormatGDI;
constexpr PixelFormat PixelFormat16bppRGB565 = 6 | (16 << 8) | PixelFormatGDI;
constexpr PixelFormat PixelFormat16bppARGB1555 = 7 | (16 << 8) | PixelFormatAlpha | PixelFormatGDI;
constexpr PixelFormat PixelFormat24bppRGB = 8 | (24 << 8) | PixelFormatGDI;
constexpr PixelFormat PixelFormat32bppRGB = 9 | (32 << 8) | PixelFormatGDI;
constexpr PixelFormat PixelFormat32bppARGB =
    10 | (32 << 8) | PixelFormatAlpha | PixelFormatGDI | PixelFormatCanonical;
constexpr PixelFormat PixelFormat32bppPARGB =
    11 | (32 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatGDI;
constexpr PixelFormat PixelFormat48bppRGB = 12 | (48 << 8) | PixelFormatExtended;
constexpr PixelFormat PixelFormat64bppARGB =
    13 | (64 << 8) | PixelFormatAlpha | PixelFormatCanonical | PixelFormatExtended;
constexpr PixelFormat PixelFormat64bppPARGB =
    14 | (64 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatExtended;
constexpr PixelFormat PixelFormat32bppCMYK = 15 | (32 << 8);
constexpr PixelFormat PixelFormatMax = 16;
static_assert(PixelFormat32bppARGB == 2498570);

// ---- opaque object types: pointers to these carry handle numbers ----
//
// The hierarchy follows the published one, so a GpSolidFill* is accepted where a GpBrush* is.

class GpObjectHandle {};
class GpBrush : public GpObjectHandle {};
class GpSolidFill : public GpBrush {};
class GpHatch : public GpBrush {};
class GpTexture : public GpBrush {};
class GpLineGradient : public GpBrush {};
class GpPathGradient : public GpBrush {};
class GpPen : public GpObjectHandle {};
class GpImage : public GpObjectHandle {};
class GpBitmap : public GpImage {};
class GpMetafile : public GpImage {};
class GpGraphics : public GpObjectHandle {};
class GpFont : public GpObjectHandle {};
class GpFontFamily : public GpObjectHandle {};
class GpFontCollection : public GpObjectHandle {};
class GpInstalledFontCollection : public GpFontCollection {};
class GpPrivateFontCollection : public GpFontCollection {};
class GpStringFormat : public GpObjectHandle {};
class GpRegion : public GpObjectHandle {};
class GpMatrix : public GpObjectHandle {};
class GpPath : public GpObjectHandle {};
class GpImageAttributes : public GpObjectHandle {};
class GpCachedBitmap : public GpObjectHandle {};
class GpCustomLineCap : public GpObjectHandle {};
class GpAdjustableArrowCap : public GpCustomLineCap {};

// ---- session ----

enum DebugEventLevel {
    DebugEventLevelFatal = 0,
    DebugEventLevelWarning = 1,
};
typedef void (*DebugEventProc)(DebugEventLevel level, CHAR* message);
typedef Status (*NotificationHookProc)(ULONG_PTR* token);
typedef void (*NotificationUnhookProc)(ULONG_PTR token);

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    DebugEventProc DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

struct GdiplusStartupOutput {
    NotificationHookProc NotificationHook;
    NotificationUnhookProc NotificationUnhook;
};

// Versions 1 and 2 are accepted, any other answers UnsupportedGdiplusVersion. Sessions nest:
// GDI+ stays up until every token handed out has been shut down. There is no background
// thread; with SuppressBackgroundThread set, output must receive the (no-op) hook procedures.
extern "C" Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                                 GdiplusStartupOutput* output);
// Ends the session of token; the last one releases every object still alive. A token that is
// not open (already shut down, or never handed out) is ignored.
extern "C" void GdiplusShutdown(ULONG_PTR token);

namespace DllExports {

extern "C" {

// Null before start-up and for an allocation that fails.
void* GdipAlloc(size_t size);
void GdipFree(void* ptr);

// ---- brushes ----

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);
GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type);
GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush);
GpStatus GdipDeleteBrush(GpBrush* brush);

}  // extern "C"

}  // namespace DllExports

}  // namespace Gdiplus
