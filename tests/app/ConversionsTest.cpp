#include "app/Conversions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

ByteBuffer Bytes(std::initializer_list<int> values) {
    ByteBuffer bytes;
    for (int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

// A buffer of exactly these bytes and no more, so AddressSanitizer reports any read past it.
struct ExactBuffer {
    explicit ExactBuffer(const ByteBuffer& bytes)
        : size(bytes.size()), data(new uint8_t[bytes.size()]) {
        std::copy(bytes.begin(), bytes.end(), data.get());
    }
    std::span<const uint8_t> Span() const { return {data.get(), size}; }
    size_t size;
    std::unique_ptr<uint8_t[]> data;
};

ByteBuffer Utf16(std::u16string_view units, bool withNul) {
    ByteBuffer bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    if (withNul)
        bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

struct KnownPair {
    const char* name;
    std::string gbk;
    ByteBuffer utf16;
};

// Both directions against independently known code points and GB18030 bytes.
TEST(ConversionsTest, KnownTextsConvertBothWays) {
    const std::vector<KnownPair> cases = {
        {"empty", "", Bytes({0x00, 0x00})},
        {"hollow circle", "\xA1\xF0", Bytes({0xCB, 0x25, 0x00, 0x00})},
        {"ascii", "A1", Bytes({0x41, 0x00, 0x31, 0x00, 0x00, 0x00})},
        {"default input", "\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB",
         Bytes({0x52, 0x97, 0xDA, 0x67, 0xE5, 0x5D, 0x4A, 0x57, 0x00, 0x00})},
        {"offered glyphs", "\xA1\xF0\xA1\xF3\xA1\xEE\xA1\xF5\xA1\xF1\xA1\xF4\xA1\xEF\xA1\xF6",
         Utf16(u"○◇☆□●◆★■", true)},
        {"GBK extension", "\x81\x40", Bytes({0x02, 0x4E, 0x00, 0x00})},
        {"euro sign", "\x80", Bytes({0xAC, 0x20, 0x00, 0x00})},
        // Outside GBK: kept, because 936 is read as GB18030.
        {"a umlaut", "\x81\x30\x8A\x31", Bytes({0xE4, 0x00, 0x00, 0x00})},
        {"astral", "x\x94\x39\xFC\x36y",
         Bytes({0x78, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x79, 0x00, 0x00, 0x00})},
    };
    for (const KnownPair& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AnsiToUnicode(c.gbk), c.utf16);
        EXPECT_EQ(UnicodeToAnsi(c.utf16), c.gbk);
    }
}

// Every double-byte code of GBK reads as real characters and writes back as the same two bytes.
// A few codes name characters beyond the basic plane, so they may take two UTF-16 units.
TEST(ConversionsTest, EveryDoubleByteGbkCodeRoundTrips) {
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            // Code page 936 writes the euro sign as its single byte 0x80, not as GB18030's A2E3.
            if (trail == 0x7F || (lead == 0xA2 && trail == 0xE3))
                continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const ByteBuffer utf16 = AnsiToUnicode(code);
            ASSERT_TRUE(utf16.size() == 4 || utf16.size() == 6) << std::hex << lead << ' ' << trail;
            EXPECT_FALSE(utf16[0] == 0xFD && utf16[1] == 0xFF) << std::hex << lead << ' ' << trail;
            EXPECT_EQ(UnicodeToAnsi(utf16), code) << std::hex << lead << ' ' << trail;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 126 * 190 - 1);
}

TEST(ConversionsTest, TextsRoundTrip) {
    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    std::string longLine;  // longer than any stack fast path
    for (int i = 0; i < 200; ++i)
        longLine +=
            "\xC7\xE0"
            "ab\xA1\xF0";
    const std::vector<std::string> texts = {
        ascii,
        "\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB",                   // 青柚工坊
        "Hello, \xCA\xC0\xBD\xE7! \xA3\xA1\xA3\xBF 123\r\n",  // mixed, full-width marks
        "\x81\x40\xFE\x4F\xA8\xA6",                           // GBK-only and pinyin letters
        "\x81\x30\x8A\x31\x94\x39\xFC\x36",                   // four-byte forms
        longLine,
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text.substr(0, 16)));
        const ByteBuffer utf16 = AnsiToUnicode(text);
        ASSERT_GE(utf16.size(), 2u);
        EXPECT_EQ(utf16.size() % 2, 0u);
        EXPECT_EQ(utf16[utf16.size() - 2], 0);
        EXPECT_EQ(utf16[utf16.size() - 1], 0);
        EXPECT_EQ(Utf16UnitsBeforeNul(utf16), utf16.size() / 2 - 1);
        EXPECT_EQ(UnicodeToAnsi(utf16), text);
    }
}

// A GBK text ends at its first NUL, wherever the bytes come from.
TEST(ConversionsTest, TextEndsAtItsFirstNul) {
    EXPECT_EQ(AnsiToUnicode("ab\0cd"s), AnsiToUnicode("ab"));
    EXPECT_EQ(AnsiToUnicode("\0cd"s), Bytes({0x00, 0x00}));
}

TEST(ConversionsTest, InvalidGbkBytesBecomeReplacementCharacters) {
    EXPECT_EQ(AnsiToUnicode("A\xFF"
                            "B"),
              Bytes({0x41, 0x00, 0xFD, 0xFF, 0x42, 0x00, 0x00, 0x00}));

    // A lead byte cut off at the end: whatever it becomes, the rest survives and the buffer is
    // well formed.
    for (const std::string& text : {"A\x81"s, "A\x81\x30"s, "A\x81\x30\x8A"s}) {
        const ByteBuffer utf16 = AnsiToUnicode(text);
        ASSERT_GE(utf16.size(), 4u);
        EXPECT_EQ(utf16.size() % 2, 0u);
        EXPECT_EQ(utf16[0], 0x41);
        EXPECT_EQ(utf16[1], 0x00);
        EXPECT_EQ(Utf16UnitsBeforeNul(utf16), utf16.size() / 2 - 1);
    }
}

struct UnicodeCase {
    const char* name;
    ByteBuffer utf16;
    std::string gbk;
};

TEST(ConversionsTest, UnicodeToAnsiOfBuffersNotMadeByAnsiToUnicode) {
    const std::vector<UnicodeCase> cases = {
        {"empty", {}, ""},
        {"one byte", Bytes({0x41}), ""},
        {"one zero byte", Bytes({0x00}), ""},
        {"odd length drops the last byte", Bytes({0x41, 0x00, 0x42}), "A"},
        {"odd glyph", Bytes({0xCB, 0x25, 0x00}), "\xA1\xF0"},
        {"no NUL converts completely", Bytes({0x41, 0x00, 0x42, 0x00}), "AB"},
        {"no NUL glyph", Bytes({0xCF, 0x25}), "\xA1\xF1"},
        {"ends at the first NUL unit", Bytes({0x41, 0x00, 0x00, 0x00, 0x42, 0x00}), "A"},
        {"zero low byte is not NUL", Bytes({0x00, 0x41, 0x00, 0x00}), "\x82\x32\xC0\x32"},
        {"unpaired high surrogate ends the text", Bytes({0x41, 0x00, 0x00, 0xD8, 0x42, 0x00}), "A"},
        {"unpaired low surrogate ends the text", Bytes({0x41, 0x00, 0x00, 0xDC, 0x42, 0x00}), "A"},
        {"surrogate pair cut by the end", Bytes({0x41, 0x00, 0x3D, 0xD8}), "A"},
    };
    for (const UnicodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Exact-size storage: any read past the end is an AddressSanitizer report.
        ByteBuffer exact(c.utf16.begin(), c.utf16.end());
        exact.shrink_to_fit();
        EXPECT_EQ(UnicodeToAnsi(exact), c.gbk);
    }
}

TEST(ConversionsTest, LongBufferWithoutNulConvertsCompletely) {
    std::u16string units;
    std::string gbk;
    for (int i = 0; i < 300; ++i) {
        units += u"青a●";
        gbk +=
            "\xC7\xE0"
            "a\xA1\xF1";
    }
    ByteBuffer utf16 = Utf16(units, false);
    utf16.shrink_to_fit();
    EXPECT_EQ(UnicodeToAnsi(utf16), gbk);
}

TEST(ConversionsTest, Utf16UnitsBeforeNulStaysInsideTheBuffer) {
    const std::vector<std::pair<ByteBuffer, size_t>> cases = {
        {{}, 0},
        {Bytes({0x00}), 0},
        {Bytes({0x41}), 0},
        {Bytes({0x00, 0x00}), 0},
        {Bytes({0x41, 0x00}), 1},
        {Bytes({0x41, 0x00, 0x00}), 1},
        {Bytes({0x41, 0x00, 0x00, 0x00}), 1},
        {Bytes({0x00, 0x41, 0x41, 0x00, 0x00}), 2},
        {Bytes({0x00, 0x00, 0x41, 0x00}), 0},
        {Bytes({0x41, 0x00, 0x42, 0x00, 0x00, 0x00, 0x43, 0x00}), 2},
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        const ExactBuffer exact(bytes);
        EXPECT_EQ(Utf16UnitsBeforeNul(exact.Span()), expected);
        EXPECT_EQ(Utf16FromBuffer(exact.Span()).size(), expected);
    }
}

TEST(ConversionsTest, Utf16BufferPacksLittleEndianUnitsWithANul) {
    for (std::u16string_view units : {u""sv, u"A"sv, u"\u25CB\uFFFD"sv, u"\xD83D\xDE00x"sv}) {
        const ByteBuffer buffer = Utf16ToBuffer(units);
        EXPECT_EQ(buffer, Utf16(units, true));
        EXPECT_EQ(Utf16FromBuffer(buffer), units);
    }
}

}  // namespace
