#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32.h"

namespace {

// The input in a heap block of exactly its size, with no NUL after it, so that AddressSanitizer
// reports any read past the length the conversion was given.
template <class Unit>
std::unique_ptr<Unit[]> Exact(std::basic_string_view<Unit> text) {
    auto block = std::make_unique<Unit[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    return block;
}

// Size query, then the conversion into a buffer of exactly that size.
std::u16string ToWide(UINT codePage, std::string_view bytes, DWORD flags = 0) {
    auto in = Exact(bytes);
    int n =
        MultiByteToWideChar(codePage, flags, in.get(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n == 0)
        return u"<failed>";
    std::u16string out(n, u'\0');
    EXPECT_EQ(MultiByteToWideChar(codePage, flags, in.get(), static_cast<int>(bytes.size()),
                                  out.data(), n),
              n);
    return out;
}

std::string ToBytes(UINT codePage, std::u16string_view text, const char* defaultChar = nullptr,
                    BOOL* usedDefault = nullptr, DWORD flags = 0) {
    auto in = Exact(text);
    int n = WideCharToMultiByte(codePage, flags, in.get(), static_cast<int>(text.size()), nullptr,
                                0, defaultChar, usedDefault);
    if (n == 0)
        return "<failed>";
    std::string out(n, '\0');
    EXPECT_EQ(WideCharToMultiByte(codePage, flags, in.get(), static_cast<int>(text.size()),
                                  out.data(), n, defaultChar, usedDefault),
              n);
    return out;
}

struct RoundTrip {
    const char* name;
    UINT codePage;
    std::string bytes;
    std::u16string text;
};

// Test names carry the case name; printing it keeps the listed names short and stable.
void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class RoundTripTest : public testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, ConvertsBothWays) {
    const RoundTrip& c = GetParam();
    EXPECT_EQ(ToWide(c.codePage, c.bytes), c.text);
    EXPECT_EQ(ToBytes(c.codePage, c.text), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, RoundTripTest,
    testing::Values(
        RoundTrip{"WhiteCircle", CP_GBK, "\xA1\xF0", u"\u25CB"},
        RoundTrip{"BlackCircle", CP_ACP, "\xA1\xF1", u"\u25CF"},
        RoundTrip{"Workshop", CP_OEMCP, "\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB", u"青柚工坊"},
        RoundTrip{"AsciiAroundHanzi", CP_GBK, "a\xC7\xE0 b\xA1\xF0z", u"a青 b○z"},
        RoundTrip{"EmbeddedNul", CP_GBK, std::string("a\0\xA1\xF0", 4), std::u16string(u"a\0○", 3)},
        // Characters that GBK lacks keep their GB18030 four-byte forms.
        RoundTrip{"FirstFourByteCode", CP_GBK, "\x81\x30\x81\x30", u"\u0080"},
        RoundTrip{"Supplementary", CP_GBK, "\x94\x39\xFC\x36", u"\U0001F600"},
        RoundTrip{"LastCodePoint", CP_GB18030, "\xE3\x32\x9A\x35", u"\U0010FFFF"},
        // Code page 936 writes the euro sign as its single byte; GB18030 proper as A2 E3.
        RoundTrip{"Euro936", CP_GBK, "1\x80", u"1€"},
        RoundTrip{"Euro54936", CP_GB18030, "1\xA2\xE3", u"1€"},
        RoundTrip{"Utf8", CP_UTF8, "a\xC3\xA9\xE2\x97\x8B\xF0\x9F\x98\x80", u"aé○\U0001F600"},
        RoundTrip{"Utf8Hanzi", CP_UTF8, "\xE9\x9D\x92\xE6\x9F\x9A\xE5\xB7\xA5\xE5\x9D\x8A",
                  u"青柚工坊"}),
    [](const auto& info) { return info.param.name; });

TEST(CodePagesTest, LongTextsCrossEveryInternalChunk) {
    std::string bytes;
    std::u16string text;
    for (int i = 0; i < 1500; ++i) {
        bytes += i % 7 ? "\xA1\xF0" : "x\x94\x39\xFC\x36";
        text += i % 7 ? u"○" : u"x\U0001F600";
    }
    EXPECT_EQ(ToWide(CP_GBK, bytes), text);
    EXPECT_EQ(ToBytes(CP_GBK, text), bytes);
}

TEST(CodePagesTest, MinusOneLengthCountsAndWritesTheNul) {
    const char16_t empty[] = u"";
    const char16_t circle[] = u"○";
    char16_t wide[4] = {u'x', u'x', u'x', u'x'};
    // The caller's output pointer is not null, but a size of 0 still only asks for the size.
    EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "\xA1\xF0", -1, wide, 0), 2);
    EXPECT_EQ(wide[0], u'x');
    EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "\xA1\xF0", -1, wide, 4), 2);
    EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"○\0x", 3));
    EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "", -1, wide, 4), 1);
    EXPECT_EQ(wide[0], u'\0');

    char bytes[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, circle, -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, circle, -1, bytes, 4, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(bytes, 4), std::string("\xA1\xF0\0x", 4));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, empty, -1, bytes, 4, nullptr, nullptr), 1);
    EXPECT_EQ(bytes[0], '\0');
}

TEST(CodePagesTest, TooSmallOutputFailsWithoutWritingPastIt) {
    const std::string workshop = "\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB";
    for (int size : {1, 3}) {
        std::u16string wide(8, u'#');
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, workshop.data(), 8, wide.data(), size), 0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(wide.substr(size), std::u16string(8 - size, u'#')) << size;
    }
    // A surrogate pair needs two units; one unit of room is not enough.
    char16_t one[2] = {u'#', u'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "\x94\x39\xFC\x36", 4, one, 1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(one[1], u'#');

    for (UINT codePage : {CP_GBK, CP_UTF8}) {
        std::string bytes(16, '#');
        EXPECT_EQ(WideCharToMultiByte(codePage, 0, u"青柚", 2, bytes.data(), 3, nullptr, nullptr),
                  0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(bytes.substr(3), std::string(13, '#')) << codePage;
    }
}

struct BadInput {
    const char* name;
    UINT codePage;
    std::string bytes;
    std::u16string replaced;
};

// Test names carry the case name; printing it keeps the listed names short and stable.
void PrintTo(const BadInput& c, std::ostream* os) {
    *os << c.name;
}

class BadInputTest : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, IsReplacedOrRejected) {
    const BadInput& c = GetParam();
    EXPECT_EQ(ToWide(c.codePage, c.bytes), c.replaced);

    auto in = Exact<char>(c.bytes);
    char16_t out[16];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(MultiByteToWideChar(c.codePage, MB_ERR_INVALID_CHARS, in.get(),
                                  static_cast<int>(c.bytes.size()), out, 16),
              0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, BadInputTest,
    testing::Values(BadInput{"ByteNeverLead", CP_GBK,
                             "a\xFF"
                             "b",
                             u"a\uFFFDb"},
                    BadInput{"EuroByteOutside936", CP_GB18030, "\x80", u"\uFFFD"},
                    BadInput{"LeadAtEnd", CP_GBK, "a\xA1", u"a\uFFFD"},
                    BadInput{"LeadBeforeSpace", CP_GBK, "\xA1 \xA1\xF0", u"\uFFFD ○"},
                    BadInput{"FourByteCutAfterTwo", CP_GBK, "\x81\x30", u"\uFFFD"},
                    BadInput{"FourByteCutAfterThree", CP_GBK, "\x81\x30\x81", u"\uFFFD"},
                    BadInput{"FourByteBrokenThird", CP_GBK,
                             "\x81\x30"
                             "A",
                             u"\uFFFDA"},
                    BadInput{"FourByteUnassigned", CP_GBK, "\x84\x31\xA5\x30z", u"\uFFFDz"},
                    BadInput{"Utf8LoneContinuation", CP_UTF8,
                             "a\x80"
                             "b",
                             u"a\uFFFDb"},
                    BadInput{"Utf8Overlong", CP_UTF8, "\xC0\xAF", u"\uFFFD\uFFFD"},
                    BadInput{"Utf8OverlongThree", CP_UTF8, "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                    BadInput{"Utf8Surrogate", CP_UTF8, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                    BadInput{"Utf8AboveMax", CP_UTF8, "\xF4\x90\x80\x80",
                             u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    BadInput{"Utf8Truncated", CP_UTF8, "x\xE2\x97", u"x\uFFFD"},
                    BadInput{"Utf8TruncatedBeforeAscii", CP_UTF8, "\xF0\x9F\x98z", u"\uFFFDz"}),
    [](const auto& info) { return info.param.name; });

struct Unpaired {
    const char* name;
    UINT codePage;
    std::u16string text;
    const char* defaultChar;
    std::string bytes;
};

// Test names carry the case name; printing it keeps the listed names short and stable.
void PrintTo(const Unpaired& c, std::ostream* os) {
    *os << c.name;
}

class UnpairedSurrogateTest : public testing::TestWithParam<Unpaired> {};

TEST_P(UnpairedSurrogateTest, BecomesTheDefaultChar) {
    const Unpaired& c = GetParam();
    BOOL used = -1;
    EXPECT_EQ(ToBytes(c.codePage, c.text, c.defaultChar, &used), c.bytes);
    EXPECT_EQ(used, TRUE);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, UnpairedSurrogateTest,
    testing::Values(Unpaired{"HighBeforeAscii", CP_GBK,
                             u"a\xD800"
                             u"b",
                             "*", "a*b"},
                    Unpaired{"LowAlone", CP_GBK, u"\xDC00○", "*", "*\xA1\xF0"},
                    Unpaired{"HighAtEnd", CP_GB18030, u"○\xD83D", "*", "\xA1\xF0*"},
                    Unpaired{"HighBeforeEuro936", CP_GBK, u"\xD83D€", "*", "*\x80"},
                    Unpaired{"HighBeforeEuro54936", CP_GB18030, u"\xD83D€", "*", "*\xA2\xE3"},
                    Unpaired{"TwoHighs", CP_GBK, u"\xD83D\xD83D\xDE00", "*", "*\x94\x39\xFC\x36"},
                    Unpaired{"NoDefaultGiven", CP_GBK, u"a\xD800", nullptr, "a?"},
                    // The NUL default of an empty text is written like any other.
                    Unpaired{"NulDefault", CP_GBK,
                             u"a\xDFFF"
                             u"b",
                             "", std::string("a\0b", 3)},
                    Unpaired{"DoubleByteDefault", CP_GB18030, u"\xD800", "\xA1\xF1", "\xA1\xF1"}),
    [](const auto& info) { return info.param.name; });

TEST(CodePagesTest, UsedDefaultCharIsClearedWhenNothingWasReplaced) {
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(CP_GBK, u"a○\U0001F600", "*", &used), "a\xA1\xF0\x94\x39\xFC\x36");
    EXPECT_EQ(used, FALSE);
}

TEST(CodePagesTest, UnpairedSurrogateInUtf8) {
    EXPECT_EQ(ToBytes(CP_UTF8,
                      u"a\xD800"
                      u"b\xDC00"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    char out[8];
    for (UINT codePage : {CP_UTF8, CP_GB18030}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(WideCharToMultiByte(codePage, WC_ERR_INVALID_CHARS, u"a\xD800", 2, out, 8,
                                      nullptr, nullptr),
                  0);
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION) << codePage;
    }
}

TEST(CodePagesTest, NeverReadsPastTheGivenLength) {
    // A lead byte or unit that would pair with what follows it in memory, given as the last
    // one: each must come out replaced, and AddressSanitizer sees any look beyond it.
    for (auto [codePage, bytes] : {std::pair{CP_GBK, std::string_view("\xA1")},
                                   std::pair{CP_GBK, std::string_view("\x81\x30\x81")},
                                   std::pair{CP_UTF8, std::string_view("\xF0\x9F\x98")}}) {
        auto in = Exact(bytes);
        char16_t out[4];
        EXPECT_EQ(
            MultiByteToWideChar(codePage, 0, in.get(), static_cast<int>(bytes.size()), out, 4), 1);
        EXPECT_EQ(out[0], u'\uFFFD');
    }
    for (UINT codePage : {CP_GBK, CP_UTF8}) {
        auto in = Exact(std::u16string_view(u"\xD83D"));
        char out[4];
        EXPECT_GT(WideCharToMultiByte(codePage, 0, in.get(), 1, out, 4, nullptr, nullptr), 0);
    }
}

TEST(CodePagesTest, BadArgumentsAreRejected) {
    char16_t wide[4];
    char bytes[4];
    BOOL used = FALSE;
    struct Case {
        const char* name;
        std::function<int()> call;
        DWORD error;
    };
    const Case cases[] = {
        {"null input", [&] { return MultiByteToWideChar(CP_GBK, 0, nullptr, 3, wide, 4); },
         ERROR_INVALID_PARAMETER},
        {"zero length", [&] { return MultiByteToWideChar(CP_GBK, 0, "abc", 0, wide, 4); },
         ERROR_INVALID_PARAMETER},
        {"length -2", [&] { return MultiByteToWideChar(CP_GBK, 0, "abc", -2, wide, 4); },
         ERROR_INVALID_PARAMETER},
        {"negative size", [&] { return MultiByteToWideChar(CP_GBK, 0, "abc", 3, wide, -1); },
         ERROR_INVALID_PARAMETER},
        {"null output", [&] { return MultiByteToWideChar(CP_GBK, 0, "abc", 3, nullptr, 4); },
         ERROR_INVALID_PARAMETER},
        {"unknown page", [&] { return MultiByteToWideChar(1252, 0, "abc", 3, wide, 4); },
         ERROR_INVALID_PARAMETER},
        {"unknown flag", [&] { return MultiByteToWideChar(CP_GBK, 0x4000, "abc", 3, wide, 4); },
         ERROR_INVALID_FLAGS},
        {"precomposed utf8",
         [&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", 3, wide, 4); },
         ERROR_INVALID_FLAGS},
        {"w null input",
         [&] { return WideCharToMultiByte(CP_GBK, 0, nullptr, 3, bytes, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"w zero length",
         [&] { return WideCharToMultiByte(CP_GBK, 0, u"abc", 0, bytes, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"w length -3",
         [&] { return WideCharToMultiByte(CP_GBK, 0, u"abc", -3, bytes, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"w null output",
         [&] { return WideCharToMultiByte(CP_GBK, 0, u"abc", 3, nullptr, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"w unknown page",
         [&] { return WideCharToMultiByte(437, 0, u"abc", 3, bytes, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"w unknown flag",
         [&] { return WideCharToMultiByte(CP_GBK, 0x8000, u"abc", 3, bytes, 4, nullptr, nullptr); },
         ERROR_INVALID_FLAGS},
        {"w strict 936",
         [&] {
             return WideCharToMultiByte(CP_GBK, WC_ERR_INVALID_CHARS, u"abc", 3, bytes, 4, nullptr,
                                        nullptr);
         },
         ERROR_INVALID_FLAGS},
        {"utf8 default char",
         [&] { return WideCharToMultiByte(CP_UTF8, 0, u"abc", 3, bytes, 4, "?", nullptr); },
         ERROR_INVALID_PARAMETER},
        {"utf8 used flag",
         [&] { return WideCharToMultiByte(CP_UTF8, 0, u"abc", 3, bytes, 4, nullptr, &used); },
         ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(c.call(), 0) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
}

TEST(CodePagesTest, ThreadsConvertIndependently) {
    // Each thread has its own descriptors; interleaved conversions must not share state.
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 500; ++i) {
                std::u16string text =
                    (t % 2 ? u"青柚工坊" : u"○\U0001F600") + std::u16string(i % 5, u'x');
                char bytes[64];
                char16_t back[64];
                int n = WideCharToMultiByte(CP_GBK, 0, text.data(), static_cast<int>(text.size()),
                                            bytes, 64, nullptr, nullptr);
                int m = MultiByteToWideChar(CP_GBK, 0, bytes, n, back, 64);
                if (std::u16string(back, m) != text)
                    ++failures[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(CodePagesTest, LstrlenW) {
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrlenW(u""), 0);
    EXPECT_EQ(lstrlenW(u"青柚 ab"), 5);
    EXPECT_EQ(lstrlenW(u"\U0001F600"), 2);
}

}  // namespace
