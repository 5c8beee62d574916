#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gdiplus/gdiplus.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

class SolidFillTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
        ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    }
    void TearDown() override { GdiplusShutdown(token_); }

    ULONG_PTR token_ = 0;
};

template <class T>
T* Forged(uintptr_t value) {
    return reinterpret_cast<T*>(value);
}

TEST_F(SolidFillTest, ColourAndTypeOfANewBrush) {
    GpSolidFill* brush = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0x80FF0000, &brush), Ok);
    ASSERT_NE(brush, nullptr);

    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(brush, &color), Ok);
    EXPECT_EQ(color, 0x80FF0000u);
    EXPECT_EQ(GdipSetSolidFillColor(brush, 0x00000000), Ok);
    EXPECT_EQ(GdipGetSolidFillColor(brush, &color), Ok);
    EXPECT_EQ(color, 0u);

    GpBrushType type = BrushTypeLinearGradient;
    EXPECT_EQ(GdipGetBrushType(brush, &type), Ok);
    EXPECT_EQ(type, BrushTypeSolidColor);
    EXPECT_EQ(GdipDeleteBrush(brush), Ok);
}

TEST_F(SolidFillTest, CloneIsIndependentOfItsSource) {
    GpSolidFill* brush = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF0000FF, &brush), Ok);
    GpBrush* clone = nullptr;
    ASSERT_EQ(GdipCloneBrush(brush, &clone), Ok);
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(static_cast<GpBrush*>(brush), clone);

    ASSERT_EQ(GdipSetSolidFillColor(brush, 0xFF00FF00), Ok);
    ASSERT_EQ(GdipDeleteBrush(brush), Ok);
    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(static_cast<GpSolidFill*>(clone), &color), Ok);
    EXPECT_EQ(color, 0xFF0000FFu);
    EXPECT_EQ(GdipDeleteBrush(clone), Ok);
}

TEST_F(SolidFillTest, DeletedForgedAndNullHandlesAreInvalid) {
    GpSolidFill* deleted = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF000000, &deleted), Ok);
    ASSERT_EQ(GdipDeleteBrush(deleted), Ok);

    GpSolidFill* live = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF000000, &live), Ok);

    for (GpSolidFill* bad :
         {static_cast<GpSolidFill*>(nullptr), deleted, Forged<GpSolidFill>(0xDEADBEEF),
          Forged<GpSolidFill>(1),
          Forged<GpSolidFill>(uintptr_t{1} << 40 | reinterpret_cast<uintptr_t>(live))}) {
        ARGB color = 0x12345678;
        GpBrushType type = BrushTypeHatchFill;
        GpBrush* clone = Forged<GpBrush>(0x55);
        EXPECT_EQ(GdipGetSolidFillColor(bad, &color), InvalidParameter);
        EXPECT_EQ(color, 0x12345678u);
        EXPECT_EQ(GdipSetSolidFillColor(bad, 0), InvalidParameter);
        EXPECT_EQ(GdipGetBrushType(bad, &type), InvalidParameter);
        EXPECT_EQ(type, BrushTypeHatchFill);
        EXPECT_EQ(GdipCloneBrush(bad, &clone), InvalidParameter);
        EXPECT_EQ(GdipDeleteBrush(bad), InvalidParameter);
    }

    // The live brush came through all of that untouched.
    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(live, &color), Ok);
    EXPECT_EQ(color, 0xFF000000u);
}

TEST_F(SolidFillTest, NullOutputsAreInvalid) {
    GpSolidFill* brush = nullptr;
    EXPECT_EQ(GdipCreateSolidFill(0, nullptr), InvalidParameter);
    ASSERT_EQ(GdipCreateSolidFill(0, &brush), Ok);
    EXPECT_EQ(GdipGetSolidFillColor(brush, nullptr), InvalidParameter);
    EXPECT_EQ(GdipGetBrushType(brush, nullptr), InvalidParameter);
    EXPECT_EQ(GdipCloneBrush(brush, nullptr), InvalidParameter);
    EXPECT_EQ(GdipDeleteBrush(brush), Ok);
}

}  // namespace
