#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/Values.h"
#include "gdiplus/ArrayArgument.h"

using namespace Gdiplus;

namespace {

// Stands in for a flat API function: remembers what it was handed and answers a set Status.
struct Recorder {
    const void* block = reinterpret_cast<const void*>(1);
    INT count = -1;
    int calls = 0;
    Status answer = Ok;
};

TEST(ArrayArgument, EmptyArrayPassesNullAndZero) {
    Recorder seen;
    std::vector<PointF> none;
    for (Status answer : {Ok, InvalidParameter}) {
        seen.answer = answer;
        const bool ok = ArrayArgument::Pass(std::span<PointF>(none), [&](PointF* p, INT n) {
            seen.block = p;
            seen.count = n;
            return seen.answer;
        });
        EXPECT_EQ(ok, answer == Ok);
        EXPECT_EQ(g_lastStatus, answer);
        EXPECT_EQ(seen.block, nullptr);
        EXPECT_EQ(seen.count, 0);
    }
}

TEST(ArrayArgument, RecordsArriveInOrderWithTheirCount) {
    std::vector<RectF> rects = {MakeRectF(1, 2, 3, 4), MakeRectF(5, 6, 7, 8),
                                MakeRectF(9, 10, 11, 12)};
    std::vector<float> seen;
    ArrayArgument::Pass(std::span<RectF>(rects), [&](RectF* block, INT n) {
        // 3 records of 16 bytes: X, Y, Width, Height of each in array order.
        const auto* words = reinterpret_cast<const float*>(block);
        seen.assign(words, words + n * 4);
        return Ok;
    });
    std::vector<float> expected;
    for (int i = 1; i <= 12; ++i)
        expected.push_back(static_cast<float>(i));
    EXPECT_EQ(seen, expected);
}

TEST(ArrayArgument, WhatGdiplusWritesIsWhatTheCallerFinds) {
    // A transform writes results back into the records, also when it then fails.
    for (Status answer : {Ok, GenericError}) {
        std::vector<Point> points = {{1, 2}, {3, 4}};
        const bool ok = ArrayArgument::Pass(std::span<Point>(points), [&](Point* block, INT n) {
            for (INT i = 0; i < n; ++i)
                block[i] = Point{block[i].X * 10, -block[i].Y};
            return answer;
        });
        EXPECT_EQ(ok, answer == Ok);
        EXPECT_EQ(points[0].X, 10);
        EXPECT_EQ(points[0].Y, -2);
        EXPECT_EQ(points[1].X, 30);
        EXPECT_EQ(points[1].Y, -4);
    }
}

TEST(ArrayArgument, TwoDimensionalArrayPassesInStorageOrder) {
    PointF grid[2][3];
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            grid[r][c] = PointF{static_cast<float>(r), static_cast<float>(c)};
    std::vector<std::pair<float, float>> seen;
    ArrayArgument::Pass(std::span<PointF>(&grid[0][0], 6), [&](PointF* block, INT n) {
        for (INT i = 0; i < n; ++i)
            seen.emplace_back(block[i].X, block[i].Y);
        return Ok;
    });
    const std::vector<std::pair<float, float>> expected = {{0, 0}, {0, 1}, {0, 2},
                                                           {1, 0}, {1, 1}, {1, 2}};
    EXPECT_EQ(seen, expected);
}

TEST(ArrayArgument, NumbersArePassedWhereTheyLie) {
    const std::vector<float> dashes = {3.0f, 1.0f, 0.5f};
    const float* seen = nullptr;
    INT count = 0;
    ArrayArgument::Pass(std::span<const float>(dashes), [&](const float* p, INT n) {
        seen = p;
        count = n;
        return Ok;
    });
    EXPECT_EQ(seen, dashes.data());
    EXPECT_EQ(count, 3);
}

TEST(ArrayArgument, CountTooLargeForGdiplusIsRefusedWithoutACall) {
    // Only the length matters here; the storage is never touched.
    static float one = 0;
    std::span<float> huge(&one, static_cast<size_t>(INT_MAX) + 1);
    int calls = 0;
    EXPECT_FALSE(ArrayArgument::Pass(huge, [&](float*, INT) {
        ++calls;
        return Ok;
    }));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(g_lastStatus, InvalidParameter);
}

TEST(ArrayArgument, OutputArrayTakesExactlyTheReportedCount) {
    std::vector<float> out(10, 9.0f);
    const int32_t n = ArrayArgument::Read(
        out,
        [](INT* count) {
            *count = 4;
            return Ok;
        },
        [](float* block, INT count) {
            for (INT i = 0; i < count; ++i)
                block[i] = static_cast<float>(i) + 0.5f;
            return Ok;
        });
    EXPECT_EQ(n, 4);
    EXPECT_EQ(out, (std::vector<float>{0.5f, 1.5f, 2.5f, 3.5f}));
    EXPECT_EQ(g_lastStatus, Ok);
}

TEST(ArrayArgument, FailedCountQueryLeavesTheOutputArrayAlone) {
    std::vector<float> out(10, 9.0f);
    int fills = 0;
    const int32_t n = ArrayArgument::Read(
        out,
        [](INT* count) {
            *count = 3;
            return WrongState;
        },
        [&](float*, INT) {
            ++fills;
            return Ok;
        });
    EXPECT_EQ(n, 0);
    EXPECT_EQ(out.size(), 10u);
    EXPECT_EQ(out[9], 9.0f);
    EXPECT_EQ(fills, 0);
    EXPECT_EQ(g_lastStatus, WrongState);
}

TEST(ArrayArgument, FailedFillStillResizesAndReportsTheCount) {
    std::vector<Rect> out(1, Rect{7, 7, 7, 7});
    const int32_t n = ArrayArgument::Read(
        out,
        [](INT* count) {
            *count = 2;
            return Ok;
        },
        [](Rect* block, INT) {
            block[0].X = 5;  // partly written before failing
            return GenericError;
        });
    EXPECT_EQ(n, 2);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].X, 5);
    EXPECT_EQ(out[0].Y, 0);
    EXPECT_EQ(out[1].X, 0);
    EXPECT_EQ(g_lastStatus, GenericError);
}

}  // namespace
