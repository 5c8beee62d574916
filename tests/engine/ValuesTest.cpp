#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "engine/Values.h"

namespace {

TEST(ColorToArgb, SwapsRedAndBlueAndTakesTheLowByteOfAlpha) {
    struct Case {
        int32_t color;
        std::optional<int32_t> alpha;
        uint32_t argb;
    };
    const Case cases[] = {
        {255, std::nullopt, 0xFFFF0000},  // opaque red
        {0, std::nullopt, 0xFF000000},    // opaque black
        {0x00FF8040, 128, 0x804080FF},    // red 0x40, green 0x80, blue 0xFF
        {0x7F000000, 0, 0x00000000},      // the top byte of the colour is dropped
        {0x00123456, 0x1FF, 0xFF563412},  // only the low byte of alpha counts
        {-1, -1, 0xFFFFFFFF},
        {0x00FFFFFF, std::nullopt, 0xFFFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorToArgb(c.color, c.alpha), c.argb) << std::hex << c.color;
}

TEST(MakeRect, StoresFieldsInOrderAndOmittedSizesAreZero) {
    const Rect r = MakeRect(3, 4);
    EXPECT_EQ(r.X, 3);
    EXPECT_EQ(r.Y, 4);
    EXPECT_EQ(r.Width, 0);
    EXPECT_EQ(r.Height, 0);

    const Rect full = MakeRect(-1, 2, 30, 40);
    EXPECT_EQ(full.Width, 30);
    EXPECT_EQ(full.Height, 40);

    const RectF f = MakeRectF(1.5f, -2.25f, 100.0f);
    EXPECT_EQ(f.X, 1.5f);
    EXPECT_EQ(f.Y, -2.25f);
    EXPECT_EQ(f.Width, 100.0f);
    EXPECT_EQ(f.Height, 0.0f);
}

TEST(Records, HaveTheByteLayoutsTheFlatApiReads) {
    static_assert(sizeof(RectF) == 16 && sizeof(Rect) == 16);
    static_assert(sizeof(PointF) == 8 && sizeof(Point) == 8 && sizeof(SizeF) == 8);
    static_assert(offsetof(RectF, X) == 0 && offsetof(RectF, Y) == 4 &&
                  offsetof(RectF, Width) == 8 && offsetof(RectF, Height) == 12);
    static_assert(offsetof(Rect, X) == 0 && offsetof(Rect, Y) == 4 && offsetof(Rect, Width) == 8 &&
                  offsetof(Rect, Height) == 12);
    static_assert(offsetof(SizeF, Width) == 0 && offsetof(SizeF, Height) == 4);

    // Little-endian words in field order.
    const Rect r = MakeRect(1, 2, 3, 4);
    unsigned char bytes[16];
    std::memcpy(bytes, &r, sizeof bytes);
    const unsigned char expected[16] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes, expected, 16), 0);

    const PointF p{1.0f, -2.0f};
    uint32_t words[2];
    std::memcpy(words, &p, sizeof words);
    EXPECT_EQ(words[0], 0x3F800000u);
    EXPECT_EQ(words[1], 0xC0000000u);
}

}  // namespace
