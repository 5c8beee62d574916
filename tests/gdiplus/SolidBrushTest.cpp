#include <gtest/gtest.h>

#include "gdiplus/SolidBrush.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

class SolidBrushTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(StartGdiplus(), 0u); }
    void TearDown() override { ShutdownGdiplus(); }

    // Whether the native brush that handle names still exists, asked of GDI+ directly.
    static bool Alive(uint32_t handle) {
        ARGB color;
        return GdipGetSolidFillColor(reinterpret_cast<GpSolidFill*>(static_cast<uintptr_t>(handle)),
                                     &color) == Ok;
    }
};

TEST_F(SolidBrushTest, CreateThenQuery) {
    SolidBrush brush;
    ASSERT_TRUE(brush.Create(0xFF000000));
    EXPECT_NE(brush.GetHandle(), 0u);
    EXPECT_EQ(brush.NativeBrush(), brush.GetHandle());
    EXPECT_EQ(brush.NativeSolidFill(), brush.GetHandle());
    EXPECT_EQ(brush.GetColor(), 0xFF000000u);
    EXPECT_EQ(g_lastStatus, Ok);
    EXPECT_EQ(brush.GetType(), BrushTypeSolidColor);

    EXPECT_TRUE(brush.SetColor(0x7F102030));
    EXPECT_EQ(brush.GetColor(), 0x7F102030u);
}

TEST_F(SolidBrushTest, DeleteEmptiesEveryCopyAndASecondDeleteMakesNoCall) {
    SolidBrush brush;
    g_lastStatus = Aborted;
    EXPECT_FALSE(brush.Delete());  // never held a brush
    EXPECT_EQ(g_lastStatus, Aborted);

    ASSERT_TRUE(brush.Create(0xFF000000));
    const uint32_t native = brush.GetHandle();
    EXPECT_TRUE(brush.Delete());
    EXPECT_FALSE(Alive(native));
    EXPECT_EQ(brush.GetHandle(), 0u);
    EXPECT_EQ(brush.NativeBrush(), 0u);
    EXPECT_EQ(brush.NativeSolidFill(), 0u);

    g_lastStatus = Aborted;
    EXPECT_FALSE(brush.Delete());
    EXPECT_EQ(g_lastStatus, Aborted);
}

TEST_F(SolidBrushTest, CloneReplacesTheTargetsHandleWithoutDeletingItsBrush) {
    SolidBrush source, target;
    ASSERT_TRUE(source.Create(0xFF0000FF));
    ASSERT_TRUE(target.Create(0xFFFF0000));
    const uint32_t old = target.GetHandle();

    ASSERT_TRUE(source.Clone(target));
    EXPECT_NE(target.GetHandle(), old);
    EXPECT_NE(target.GetHandle(), source.GetHandle());
    EXPECT_EQ(target.NativeSolidFill(), target.GetHandle());
    EXPECT_EQ(target.GetColor(), 0xFF0000FFu);
    EXPECT_TRUE(Alive(old));

    // The clone is its own brush.
    ASSERT_TRUE(source.SetColor(0xFF00FF00));
    EXPECT_EQ(target.GetColor(), 0xFF0000FFu);
    GdipDeleteBrush(reinterpret_cast<GpBrush*>(static_cast<uintptr_t>(old)));
}

TEST_F(SolidBrushTest, FailedCloneLeavesTheTargetEmpty) {
    SolidBrush empty, target;
    ASSERT_TRUE(target.Create(0xFFFF0000));
    const uint32_t old = target.GetHandle();
    EXPECT_FALSE(empty.Clone(target));
    EXPECT_EQ(g_lastStatus, InvalidParameter);
    EXPECT_EQ(target.GetHandle(), 0u);
    EXPECT_EQ(target.NativeBrush(), 0u);
    EXPECT_TRUE(Alive(old));
    GdipDeleteBrush(reinterpret_cast<GpBrush*>(static_cast<uintptr_t>(old)));
}

TEST_F(SolidBrushTest, CreatingTwiceLeavesTheFirstBrushAlive) {
    SolidBrush brush;
    ASSERT_TRUE(brush.Create(0xFF000001));
    const uint32_t first = brush.GetHandle();
    ASSERT_TRUE(brush.Create(0xFF000002));
    EXPECT_NE(brush.GetHandle(), first);
    EXPECT_TRUE(Alive(first));
    EXPECT_EQ(brush.GetColor(), 0xFF000002u);
    GdipDeleteBrush(reinterpret_cast<GpBrush*>(static_cast<uintptr_t>(first)));
}

TEST_F(SolidBrushTest, MethodsOnAnEmptyOrStaleBrushRecordInvalidParameter) {
    SolidBrush empty;
    SolidBrush stale;
    ASSERT_TRUE(stale.Create(0xFF000000));
    GdipDeleteBrush(reinterpret_cast<GpBrush*>(static_cast<uintptr_t>(stale.GetHandle())));

    for (SolidBrush* brush : {&empty, &stale}) {
        g_lastStatus = Ok;
        EXPECT_FALSE(brush->SetColor(0xFFFFFFFF));
        EXPECT_EQ(g_lastStatus, InvalidParameter);
        g_lastStatus = Ok;
        EXPECT_EQ(brush->GetColor(), 0u);
        EXPECT_EQ(g_lastStatus, InvalidParameter);
        g_lastStatus = Ok;
        EXPECT_EQ(brush->GetType(), 0);
        EXPECT_EQ(g_lastStatus, InvalidParameter);
    }
    // Deleting a stale handle fails in GDI+ and still empties the wrapper.
    EXPECT_FALSE(stale.Delete());
    EXPECT_EQ(g_lastStatus, InvalidParameter);
    EXPECT_EQ(stale.GetHandle(), 0u);
}

TEST(SolidBrushWithoutSession, CreateFailsAndLeavesTheObjectEmpty) {
    SolidBrush brush;
    EXPECT_FALSE(brush.Create(0xFF000000));
    EXPECT_EQ(g_lastStatus, GdiplusNotInitialized);
    EXPECT_EQ(brush.GetHandle(), 0u);
}

}  // namespace
