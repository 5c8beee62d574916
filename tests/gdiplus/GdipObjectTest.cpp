#include <gtest/gtest.h>

#include <cstring>

#include "gdiplus/GdipObject.h"
#include "gdiplus/SolidBrush.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Ends whatever session a test left open, so each test starts with none.
class SessionTest : public ::testing::Test {
protected:
    void TearDown() override {
        ShutdownGdiplus();
        g_lastStatus = Ok;
    }
};

bool GdiplusRunning() {
    GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(0, &brush) != Ok)
        return false;
    GdipDeleteBrush(brush);
    return true;
}

TEST_F(SessionTest, StartRemembersTheSessionAndStatusIsNotStored) {
    g_lastStatus = WrongState;
    const uint32_t token = StartGdiplus();
    EXPECT_NE(token, 0u);
    EXPECT_EQ(g_gdiplusToken, token);
    EXPECT_EQ(g_lastStatus, WrongState);
    EXPECT_TRUE(GdiplusRunning());
}

TEST_F(SessionTest, VersionArgumentReachesGdiplus) {
    // Only versions 1 and 2 exist: the version given is the one asked for.
    struct Case {
        int32_t version;
        bool starts;
    };
    for (Case c : {Case{1, true}, Case{2, true}, Case{3, false}, Case{-1, false}}) {
        const uint32_t token = StartGdiplus(c.version);
        EXPECT_EQ(token != 0, c.starts) << c.version;
        EXPECT_EQ(g_gdiplusToken, token);
        EXPECT_EQ(GdiplusRunning(), c.starts);
        ShutdownGdiplus();
    }
}

TEST_F(SessionTest, SecondShutdownWithoutTokenDoesNothing) {
    const uint32_t outer = StartGdiplus();
    const uint32_t inner = StartGdiplus();  // remembered: the latest session
    ShutdownGdiplus();
    EXPECT_EQ(g_gdiplusToken, 0u);
    EXPECT_TRUE(GdiplusRunning());  // the outer session is still open
    ShutdownGdiplus();              // finds no remembered session: must not end the outer one
    EXPECT_TRUE(GdiplusRunning());

    // An explicit token ends its session and leaves the remembered one alone.
    g_gdiplusToken = 12345;
    ShutdownGdiplus(outer);
    EXPECT_EQ(g_gdiplusToken, 12345u);
    EXPECT_FALSE(GdiplusRunning());
    g_gdiplusToken = 0;
    EXPECT_NE(inner, outer);
}

TEST_F(SessionTest, AllocAndFreeGoThroughGdiplus) {
    EXPECT_EQ(GdipObject::Alloc(16), nullptr);  // no session yet
    StartGdiplus();
    void* p = GdipObject::Alloc(64);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0, 64);
    GdipObject::Free(p);
    EXPECT_EQ(GdipObject::Alloc(-1), nullptr);
    GdipObject::Free(nullptr);
}

TEST_F(SessionTest, SetHandleZeroLeavesTheNativeObjectAliveAndReleasesNothingLater) {
    StartGdiplus();
    GpSolidFill* native = nullptr;
    {
        SolidBrush brush;
        ASSERT_TRUE(brush.Create(0xFF00FF00));
        native = reinterpret_cast<GpSolidFill*>(static_cast<uintptr_t>(brush.GetHandle()));
        brush.SetHandle(0);
        EXPECT_EQ(brush.GetHandle(), 0u);
        g_lastStatus = Aborted;
        EXPECT_FALSE(brush.Delete());
        EXPECT_EQ(g_lastStatus, Aborted);
    }  // destruction makes no call either
    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(native, &color), Ok);
    EXPECT_EQ(color, 0xFF00FF00u);
    EXPECT_EQ(GdipDeleteBrush(native), Ok);
}

TEST_F(SessionTest, DestructionReleasesTheNativeObjectOnce) {
    StartGdiplus();
    GpSolidFill* native = nullptr;
    {
        SolidBrush brush;
        ASSERT_TRUE(brush.Create(0xFF000000));
        native = reinterpret_cast<GpSolidFill*>(static_cast<uintptr_t>(brush.GetHandle()));
    }
    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(native, &color), InvalidParameter);

    // Released before destruction: the destructor finds nothing to release.
    {
        SolidBrush brush;
        ASSERT_TRUE(brush.Create(0xFF000000));
        ASSERT_TRUE(brush.Delete());
        g_lastStatus = Aborted;
    }
    EXPECT_EQ(g_lastStatus, Aborted);
}

}  // namespace
