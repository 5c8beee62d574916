#include "app/Conversions.h"

#include <algorithm>
#include <climits>

#include "platform/win32/win32.h"

namespace {

// The window's texts are GBK; the platform reads 936 as GB18030, so no character is lost.
constexpr UINT kCodePage = CP_GBK;

// A GB18030 sequence of k bytes never yields more than k UTF-16 units, and a unit never needs
// more than 4 bytes, so texts up to these sizes convert in one call into stack storage. That
// covers a typed line and, above all, the single glyph converted for every pixel of an art.
constexpr size_t kStackUnits = 256;
constexpr size_t kStackGlyphUnits = 64;
constexpr size_t kStackGlyphBytes = kStackGlyphUnits * 4;

// The default character for units without a multi-byte form: the first character of the empty
// text, NUL, so the result ends just before such a unit.
constexpr char kNulDefault[] = "";

void BytesToUnits(std::span<const uint8_t> bytes, size_t count, char16_t* units) {
    for (size_t i = 0; i < count; ++i)
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

// The text up to its first NUL byte, as the converter wrote it into out.
std::string TextBeforeNul(const char* out, int written) {
    std::string_view text(out, static_cast<size_t>(written));
    return std::string(text.substr(0, text.find('\0')));
}

}  // namespace

ByteBuffer AnsiToUnicode(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (text.empty())
        return ByteBuffer(2, 0);
    if (text.size() > static_cast<size_t>(INT_MAX))
        return {};
    const int length = static_cast<int>(text.size());

    if (text.size() <= kStackUnits) {
        char16_t units[kStackUnits];
        const int n = MultiByteToWideChar(kCodePage, 0, text.data(), length, units,
                                          static_cast<int>(kStackUnits));
        if (n > 0)
            return Utf16ToBuffer({units, static_cast<size_t>(n)});
    }

    int n = MultiByteToWideChar(kCodePage, 0, text.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<char16_t> units(static_cast<size_t>(n));
    n = MultiByteToWideChar(kCodePage, 0, text.data(), length, units.data(), n);
    if (n <= 0)
        return {};
    return Utf16ToBuffer({units.data(), static_cast<size_t>(n)});
}

std::string UnicodeToAnsi(const ByteBuffer& data) {
    // Nothing after the first NUL unit reaches the result, so it is not converted at all; a
    // buffer without one converts completely and is never read past its end.
    const size_t count = Utf16UnitsBeforeNul(data);
    if (count == 0 || count > static_cast<size_t>(INT_MAX))
        return {};
    const int units = static_cast<int>(count);

    if (count <= kStackGlyphUnits) {
        char16_t wide[kStackGlyphUnits];
        BytesToUnits(data, count, wide);
        char out[kStackGlyphBytes];
        const int m = WideCharToMultiByte(kCodePage, 0, wide, units, out,
                                          static_cast<int>(kStackGlyphBytes), kNulDefault, nullptr);
        return m > 0 ? TextBeforeNul(out, m) : std::string();
    }

    std::vector<char16_t> wide(count);
    BytesToUnits(data, count, wide.data());
    int m = WideCharToMultiByte(kCodePage, 0, wide.data(), units, nullptr, 0, kNulDefault, nullptr);
    if (m <= 0)
        return {};
    std::string out(static_cast<size_t>(m), ' ');
    m = WideCharToMultiByte(kCodePage, 0, wide.data(), units, out.data(), m, kNulDefault, nullptr);
    if (m <= 0)
        return {};
    out.resize(std::min(out.find('\0'), static_cast<size_t>(m)));
    return out;
}

ByteBuffer Utf16ToBuffer(std::u16string_view units) {
    ByteBuffer bytes((units.size() + 1) * 2, 0);  // the last unit stays the NUL
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
    }
    return bytes;
}

std::u16string Utf16FromBuffer(std::span<const uint8_t> data) {
    std::u16string units(Utf16UnitsBeforeNul(data), u'\0');
    BytesToUnits(data, units.size(), units.data());
    return units;
}

size_t Utf16UnitsBeforeNul(std::span<const uint8_t> data) {
    const size_t units = data.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        if (data[2 * i] == 0 && data[2 * i + 1] == 0)
            return i;
    }
    return units;
}
