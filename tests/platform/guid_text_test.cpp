#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/win32.h"

namespace {

// The PNG image format's GUID.
constexpr GUID kPng = {
    0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

std::u16string Text(const GUID& guid) {
    OLECHAR buffer[39];
    int n = StringFromGUID2(guid, buffer, 39);
    return n == 39 ? std::u16string(buffer, 38) : u"<failed>";
}

TEST(GuidTextTest, RoundTrips) {
    const struct {
        GUID guid;
        std::u16string text;
    } cases[] = {
        {kPng, u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}"},
        {GUID{}, u"{00000000-0000-0000-0000-000000000000}"},
        {GUID{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
         u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
        {GUID{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
         u"{01234567-89AB-CDEF-0123-456789ABCDEF}"},
        {IID_IStream, u"{0000000C-0000-0000-C000-000000000046}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.guid), c.text);
        GUID back;
        EXPECT_EQ(CLSIDFromString(c.text.c_str(), &back), S_OK);
        EXPECT_EQ(back, c.guid);
    }
}

TEST(GuidTextTest, WritesTheNulAndNothingPastIt) {
    OLECHAR buffer[41];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(StringFromGUID2(kPng, buffer, 41), 39);
    EXPECT_EQ(buffer[38], 0);
    EXPECT_EQ(buffer[39], u'#');
}

TEST(GuidTextTest, TooSmallOutput) {
    // Exactly sized, so AddressSanitizer sees a write past it.
    auto small = std::make_unique<OLECHAR[]>(38);
    EXPECT_EQ(StringFromGUID2(kPng, small.get(), 38), 0);
    EXPECT_EQ(StringFromGUID2(kPng, small.get(), 0), 0);
    EXPECT_EQ(StringFromGUID2(kPng, small.get(), -1), 0);
    EXPECT_EQ(StringFromGUID2(kPng, nullptr, 39), 0);
}

TEST(GuidTextTest, ReadsEitherCase) {
    GUID guid;
    EXPECT_EQ(CLSIDFromString(u"{b96b3caf-0728-11d3-9d7b-0000f81ef32e}", &guid), S_OK);
    EXPECT_EQ(guid, kPng);
    EXPECT_EQ(CLSIDFromString(u"{b96B3cAF-0728-11d3-9D7b-0000F81ef32E}", &guid), S_OK);
    EXPECT_EQ(guid, kPng);
}

TEST(GuidTextTest, MalformedTextsGiveTheZeroGuid) {
    const char16_t* cases[] = {
        u"",
        u"{",
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E",        // no closing brace
        u"B96B3CAF-0728-11D3-9D7B-0000F81EF32E",         // no braces
        u"(B96B3CAF-0728-11D3-9D7B-0000F81EF32E)",       // wrong brackets
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32}",        // a digit short
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32EE}",      // a digit over
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}x",      // trailing text
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E} ",      // trailing space
        u" {B96B3CAF-0728-11D3-9D7B-0000F81EF32E}",      // leading space
        u"{B96B3CAG-0728-11D3-9D7B-0000F81EF32E}",       // not hex
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF3 E}",       // space for a digit
        u"{B96B3CAF+0728-11D3-9D7B-0000F81EF32E}",       // wrong separator
        u"{B96B3CA-F0728-11D3-9D7B-0000F81EF32E}",       // separator misplaced
        u"{B96B3CAF-0728-11D3-9D7B0-000F81EF32E}",       // separator misplaced
        u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E\uFF5D",  // full-width brace
        u"{\uFF10\uFF10\uFF10\uFF10\uFF10\uFF10\uFF10\uFF10-0728-11D3-9D7B-0000F81EF32E}",
        u"PNG",  // a class name; there is no registry to look it up in
    };
    for (const char16_t* text : cases) {
        GUID guid = kPng;
        EXPECT_EQ(CLSIDFromString(text, &guid), CO_E_CLASSSTRING)
            << std::string(text, text + std::char_traits<char16_t>::length(text));
        EXPECT_EQ(guid, GUID{});
    }
}

TEST(GuidTextTest, NeverReadsPastTheNul) {
    // Texts that end early, each in a block of exactly its length with the NUL.
    for (std::u16string text :
         {u"{B96B3CAF-0728", u"{", u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E"}) {
        auto block = std::make_unique<OLECHAR[]>(text.size() + 1);
        std::copy(text.begin(), text.end(), block.get());
        block[text.size()] = 0;
        GUID guid;
        EXPECT_EQ(CLSIDFromString(block.get(), &guid), CO_E_CLASSSTRING);
    }
}

TEST(GuidTextTest, NullArguments) {
    GUID guid = kPng;
    EXPECT_EQ(CLSIDFromString(nullptr, &guid), S_OK);
    EXPECT_EQ(guid, GUID{});
    EXPECT_EQ(CLSIDFromString(u"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}", nullptr), E_INVALIDARG);
}

}  // namespace
