#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdiplus/gdiplus.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

Status Start(ULONG_PTR* token, UINT32 version = 1, GdiplusStartupOutput* output = nullptr,
             BOOL suppressThread = FALSE) {
    GdiplusStartupInput input{};
    input.GdiplusVersion = version;
    input.SuppressBackgroundThread = suppressThread;
    return GdiplusStartup(token, &input, output);
}

bool Running() {
    GpSolidFill* brush = nullptr;
    const Status status = GdipCreateSolidFill(0, &brush);
    if (status == Ok)
        GdipDeleteBrush(brush);
    return status == Ok;
}

TEST(GdiplusSession, VersionsOneAndTwoStartOthersAreRefused) {
    struct Case {
        UINT32 version;
        Status expected;
    };
    for (Case c :
         {Case{1, Ok}, Case{2, Ok}, Case{0, UnsupportedGdiplusVersion},
          Case{3, UnsupportedGdiplusVersion}, Case{0xFFFFFFFF, UnsupportedGdiplusVersion}}) {
        ULONG_PTR token = 0;
        EXPECT_EQ(Start(&token, c.version), c.expected) << c.version;
        if (c.expected == Ok) {
            EXPECT_NE(token, 0u);
            GdiplusShutdown(token);
        }
        EXPECT_FALSE(Running());
    }
}

TEST(GdiplusSession, MissingArgumentsAreInvalid) {
    ULONG_PTR token = 0;
    EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
    GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
    EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
    // Suppressing the background thread means running the hooks: they need somewhere to go.
    EXPECT_EQ(Start(&token, 1, nullptr, TRUE), InvalidParameter);
    EXPECT_FALSE(Running());
}

TEST(GdiplusSession, SuppressedBackgroundThreadHandsOutWorkingHooks) {
    ULONG_PTR token = 0;
    GdiplusStartupOutput output{};
    ASSERT_EQ(Start(&token, 1, &output, TRUE), Ok);
    ASSERT_NE(output.NotificationHook, nullptr);
    ASSERT_NE(output.NotificationUnhook, nullptr);
    ULONG_PTR hookToken = 1;
    EXPECT_EQ(output.NotificationHook(&hookToken), Ok);
    output.NotificationUnhook(hookToken);
    GdiplusShutdown(token);
}

TEST(GdiplusSession, CallsOutsideASessionAnswerNotInitialized) {
    GpSolidFill* brush = nullptr;
    EXPECT_EQ(GdipCreateSolidFill(0xFF000000, &brush), GdiplusNotInitialized);
    EXPECT_EQ(GdipAlloc(16), nullptr);

    ULONG_PTR token = 0;
    ASSERT_EQ(Start(&token), Ok);
    ASSERT_EQ(GdipCreateSolidFill(0xFF000000, &brush), Ok);
    GdiplusShutdown(token);

    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(brush, &color), GdiplusNotInitialized);
    EXPECT_EQ(GdipDeleteBrush(brush), GdiplusNotInitialized);
}

TEST(GdiplusSession, SessionsNestAndTheLastShutdownReleasesEverything) {
    ULONG_PTR first = 0, second = 0;
    ASSERT_EQ(Start(&first), Ok);
    ASSERT_EQ(Start(&second, 2), Ok);
    EXPECT_NE(first, second);

    GpSolidFill* brush = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF112233, &brush), Ok);

    GdiplusShutdown(first);
    GdiplusShutdown(first);  // already over: ignored, the second session stays up
    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(brush, &color), Ok);
    EXPECT_EQ(color, 0xFF112233u);

    GdiplusShutdown(second);
    EXPECT_FALSE(Running());

    // A new session does not see the objects of the one before.
    ULONG_PTR third = 0;
    ASSERT_EQ(Start(&third), Ok);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    EXPECT_EQ(GdipGetSolidFillColor(brush, &color), InvalidParameter);
    GdiplusShutdown(second);  // a token of a finished session does not end this one
    EXPECT_TRUE(Running());
    GdiplusShutdown(third);
}

TEST(GdiplusSession, AllocAndFreeInsideASession) {
    ULONG_PTR token = 0;
    ASSERT_EQ(Start(&token), Ok);
    for (size_t size : {size_t{0}, size_t{1}, size_t{4096}}) {
        void* p = GdipAlloc(size);
        ASSERT_NE(p, nullptr) << size;
        std::memset(p, 0xAB, size);
        GdipFree(p);
    }
    GdipFree(nullptr);
    GdiplusShutdown(token);
}

}  // namespace
