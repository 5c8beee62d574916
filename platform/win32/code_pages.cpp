// Code-page conversions. GB18030 goes through glibc's iconv; UTF-8 is decoded and encoded here,
// which keeps its error handling exactly ours. Runs of ASCII never reach iconv: the engine
// converts one short glyph per pixel, and most texts it sees are mostly ASCII.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <string>

#include "platform/win32/win32.h"

namespace {

enum class Encoding {
    Gb18030,
    // GB18030 plus the one byte in which code page 936 departs from it: 0x80 is the euro sign,
    // so that every code page 936 text keeps its bytes through a round trip.
    CodePage936,
    Utf8,
};

bool EncodingOf(UINT codePage, Encoding* encoding) {
    switch (codePage) {
        case CP_ACP:
        case CP_OEMCP:
        case CP_GBK:
            *encoding = Encoding::CodePage936;
            return true;
        case CP_GB18030:
            *encoding = Encoding::Gb18030;
            return true;
        case CP_UTF8:
            *encoding = Encoding::Utf8;
            return true;
        default:
            return false;
    }
}

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kEuro = 0x20AC;
constexpr unsigned char kEuroByte936 = 0x80;
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// What iconv_open returns on failure.
const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

// iconv descriptors, opened on first use by each thread and closed when it ends. iconv_t carries
// conversion state, so a descriptor cannot be shared between threads.
class Descriptors {
public:
    Descriptors() = default;
    Descriptors(const Descriptors&) = delete;
    Descriptors& operator=(const Descriptors&) = delete;
    ~Descriptors() {
        if (decoder_ != kNone)
            iconv_close(decoder_);
        if (encoder_ != kNone)
            iconv_close(encoder_);
    }

    // kNone when glibc cannot convert (its gconv modules missing).
    iconv_t Decoder() { return Open(decoder_, kUtf16, "GB18030"); }
    iconv_t Encoder() { return Open(encoder_, "GB18030", kUtf16); }

private:
    static iconv_t Open(iconv_t& cd, const char* to, const char* from) {
        if (cd == kNone)
            cd = iconv_open(to, from);
        if (cd != kNone)
            iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start
        return cd;
    }

    iconv_t decoder_ = kNone;
    iconv_t encoder_ = kNone;
};

thread_local Descriptors t_descriptors;

// Where converted units go: the caller's buffer, or nowhere when the caller only asks how many
// units the result needs (a capacity of 0).
template <class Unit>
class Output {
public:
    Output(Unit* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {}

    bool Counting() const { return capacity_ == 0; }
    size_t Count() const { return count_; }

    bool Put(Unit unit) {
        if (!Counting()) {
            if (count_ == capacity_)
                return false;
            buffer_[count_] = unit;
        }
        ++count_;
        return true;
    }

    bool Put(const Unit* units, size_t n) {
        if (!Counting()) {
            if (capacity_ - count_ < n)
                return false;
            std::memcpy(buffer_ + count_, units, n * sizeof(Unit));
        }
        count_ += n;
        return true;
    }

    Unit* Tail() { return buffer_ + count_; }
    size_t Room() const { return capacity_ - count_; }
    void Advance(size_t n) { count_ += n; }

private:
    Unit* buffer_;
    size_t capacity_;
    size_t count_ = 0;
};

enum class Stop { Done, Full, Invalid };

struct IconvStep {
    size_t consumedBytes;
    Stop stop;
};

// Converts bytes until the input ends, the output is full, or iconv meets input it cannot convert.
// When only counting, the result goes through a small stack buffer, a chunk at a time.
template <class Unit>
IconvStep RunIconv(iconv_t cd, const void* input, size_t inputBytes, Output<Unit>& out) {
    char* in = static_cast<char*>(const_cast<void*>(input));
    size_t inLeft = inputBytes;
    Unit scratch[256];
    for (;;) {
        char* outStart = reinterpret_cast<char*>(out.Counting() ? scratch : out.Tail());
        size_t outLeft = (out.Counting() ? std::size(scratch) : out.Room()) * sizeof(Unit);
        char* outPos = outStart;
        size_t result = iconv(cd, &in, &inLeft, &outPos, &outLeft);
        int error = errno;
        out.Advance(static_cast<size_t>(outPos - outStart) / sizeof(Unit));
        size_t consumed = inputBytes - inLeft;
        if (result != static_cast<size_t>(-1))
            return {consumed, Stop::Done};
        if (error == E2BIG) {
            if (out.Counting() && outPos != outStart)
                continue;
            return {consumed, Stop::Full};
        }
        // EILSEQ, or EINVAL: glibc reports a sequence whose later bytes are wrong as incomplete
        // too, so the two are told apart by the caller from the bytes themselves.
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return {consumed, Stop::Invalid};
    }
}

bool InRange(unsigned char b, unsigned char low, unsigned char high) {
    return b >= low && b <= high;
}

// The bytes that one U+FFFD stands for, at a place where a GB18030 sequence failed to convert:
// the longest well-formed start of a sequence, at least one byte. A well-formed four-byte code
// that names no character is replaced whole; a lead byte followed by a byte that cannot continue
// it is replaced alone, and the next byte is read afresh.
size_t BadGb18030Length(const unsigned char* p, size_t n) {
    if (!InRange(p[0], 0x81, 0xFE) || n < 2)
        return 1;
    if (InRange(p[1], 0x40, 0x7E) || InRange(p[1], 0x80, 0xFE))
        return 2;
    if (!InRange(p[1], 0x30, 0x39))
        return 1;
    if (n < 3 || !InRange(p[2], 0x81, 0xFE))
        return 2;
    if (n < 4 || !InRange(p[3], 0x30, 0x39))
        return 3;
    return 4;
}

// Result of a whole conversion, before it becomes a count or an error code.
enum class Outcome { Ok, Full, Invalid, Unavailable };

Outcome DecodeGb18030(bool codePage936, bool strict, const unsigned char* in, size_t n,
                      Output<char16_t>& out) {
    iconv_t cd = kNone;
    size_t pos = 0;
    while (pos < n) {
        while (pos < n && in[pos] < 0x80) {
            if (!out.Put(in[pos]))
                return Outcome::Full;
            ++pos;
        }
        if (pos == n)
            break;
        if (codePage936 && in[pos] == kEuroByte936) {
            if (!out.Put(kEuro))
                return Outcome::Full;
            ++pos;
            continue;
        }
        if (cd == kNone) {
            cd = t_descriptors.Decoder();
            if (cd == kNone)
                return Outcome::Unavailable;
        }
        IconvStep step = RunIconv(cd, in + pos, n - pos, out);
        pos += step.consumedBytes;
        if (step.stop == Stop::Full)
            return Outcome::Full;
        if (step.stop == Stop::Done)
            break;
        if (codePage936 && in[pos] == kEuroByte936)
            continue;
        if (strict)
            return Outcome::Invalid;
        if (!out.Put(kReplacement))
            return Outcome::Full;
        pos += BadGb18030Length(in + pos, n - pos);
    }
    return Outcome::Ok;
}

Outcome DecodeUtf8(bool strict, const unsigned char* in, size_t n, Output<char16_t>& out) {
    size_t pos = 0;
    while (pos < n) {
        unsigned char lead = in[pos];
        if (lead < 0x80) {
            if (!out.Put(lead))
                return Outcome::Full;
            ++pos;
            continue;
        }
        // Continuation bytes after the lead: how many, and the range of the first one, which
        // rules out overlong forms, surrogates and values above U+10FFFF.
        size_t trail = 0;
        unsigned char low = 0x80, high = 0xBF;
        char32_t value = 0;
        if (InRange(lead, 0xC2, 0xDF)) {
            trail = 1;
            value = lead & 0x1F;
        } else if (InRange(lead, 0xE0, 0xEF)) {
            trail = 2;
            value = lead & 0x0F;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (InRange(lead, 0xF0, 0xF4)) {
            trail = 3;
            value = lead & 0x07;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        }
        size_t length = 1;
        bool valid = trail > 0;
        for (size_t i = 1; valid && i <= trail; ++i) {
            if (pos + i >= n || !InRange(in[pos + i], low, high)) {
                valid = false;
                break;
            }
            value = value << 6 | (in[pos + i] & 0x3F);
            low = 0x80;
            high = 0xBF;
            length = i + 1;
        }
        if (!valid) {
            if (strict)
                return Outcome::Invalid;
            if (!out.Put(kReplacement))
                return Outcome::Full;
            pos += length;
            continue;
        }
        if (value < 0x10000) {
            if (!out.Put(static_cast<char16_t>(value)))
                return Outcome::Full;
        } else {
            char16_t pair[2] = {static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)),
                                static_cast<char16_t>(0xDC00 + (value & 0x3FF))};
            if (!out.Put(pair, 2))
                return Outcome::Full;
        }
        pos += length;
    }
    return Outcome::Ok;
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// What stands in for a unit that has no multi-byte form.
struct DefaultChar {
    char bytes[2] = {'?', 0};
    size_t length = 1;
};

Outcome EncodeGb18030(bool codePage936, bool strict, const DefaultChar& fallback,
                      const char16_t* in, size_t n, Output<char>& out, bool* usedDefault) {
    iconv_t cd = kNone;
    size_t pos = 0;
    while (pos < n) {
        while (pos < n && in[pos] < 0x80) {
            if (!out.Put(static_cast<char>(in[pos])))
                return Outcome::Full;
            ++pos;
        }
        if (pos == n)
            break;
        if (codePage936 && in[pos] == kEuro) {
            if (!out.Put(static_cast<char>(kEuroByte936)))
                return Outcome::Full;
            ++pos;
            continue;
        }
        if (cd == kNone) {
            cd = t_descriptors.Encoder();
            if (cd == kNone)
                return Outcome::Unavailable;
        }
        // The euro sign is code page 936's own byte, so iconv gets the text up to the next one.
        // It is no surrogate, so it never splits a pair.
        size_t end = codePage936 ? static_cast<size_t>(std::find(in + pos, in + n, kEuro) - in) : n;
        IconvStep step = RunIconv(cd, in + pos, (end - pos) * sizeof(char16_t), out);
        pos += step.consumedBytes / sizeof(char16_t);
        if (step.stop == Stop::Full)
            return Outcome::Full;
        if (step.stop == Stop::Done)
            continue;
        // Only an unpaired surrogate lacks a GB18030 form.
        if (strict)
            return Outcome::Invalid;
        if (!out.Put(fallback.bytes, fallback.length))
            return Outcome::Full;
        *usedDefault = true;
        ++pos;
    }
    return Outcome::Ok;
}

Outcome EncodeUtf8(bool strict, const char16_t* in, size_t n, Output<char>& out) {
    for (size_t pos = 0; pos < n; ++pos) {
        char32_t value = in[pos];
        if (value < 0x80) {
            if (!out.Put(static_cast<char>(value)))
                return Outcome::Full;
            continue;
        }
        if (IsHighSurrogate(in[pos]) && pos + 1 < n && IsLowSurrogate(in[pos + 1])) {
            value = 0x10000 + ((value - 0xD800) << 10) + (in[pos + 1] - 0xDC00);
            ++pos;
        } else if (IsHighSurrogate(in[pos]) || IsLowSurrogate(in[pos])) {
            if (strict)
                return Outcome::Invalid;
            value = kReplacement;
        }
        char bytes[4];
        size_t length;
        if (value < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | value >> 6);
            length = 2;
        } else if (value < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | value >> 12);
            bytes[1] = static_cast<char>(0x80 | (value >> 6 & 0x3F));
            length = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | value >> 18);
            bytes[1] = static_cast<char>(0x80 | (value >> 12 & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (value >> 6 & 0x3F));
            length = 4;
        }
        bytes[length - 1] = static_cast<char>(0x80 | (value & 0x3F));
        if (!out.Put(bytes, length))
            return Outcome::Full;
    }
    return Outcome::Ok;
}

// The count the caller gets, or 0 with the reason in the last error.
int Finish(Outcome outcome, size_t count) {
    switch (outcome) {
        case Outcome::Ok:
            if (count > static_cast<size_t>(INT_MAX)) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            return static_cast<int>(count);
        case Outcome::Full:
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        case Outcome::Invalid:
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        case Outcome::Unavailable:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
    return 0;
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

}  // namespace

extern "C" int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                   int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr) ||
        (cchWideChar > 0 && static_cast<const void*>(lpMultiByteStr) == lpWideCharStr))
        return Fail(ERROR_INVALID_PARAMETER);
    Encoding encoding;
    if (!EncodingOf(CodePage, &encoding))
        return Fail(ERROR_INVALID_PARAMETER);
    // GB18030 and UTF-8 take no flag but MB_ERR_INVALID_CHARS; 936 also accepts MB_PRECOMPOSED,
    // which changes nothing for a text without combining sequences to compose.
    DWORD allowed = MB_ERR_INVALID_CHARS | (encoding == Encoding::CodePage936 ? MB_PRECOMPOSED : 0);
    if (dwFlags & ~allowed)
        return Fail(ERROR_INVALID_FLAGS);
    bool strict = dwFlags & MB_ERR_INVALID_CHARS;

    const auto* in = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    size_t n =
        cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    Output<char16_t> out(lpWideCharStr, static_cast<size_t>(cchWideChar));
    Outcome outcome = encoding == Encoding::Utf8
                          ? DecodeUtf8(strict, in, n, out)
                          : DecodeGb18030(encoding == Encoding::CodePage936, strict, in, n, out);
    return Finish(outcome, out.Count());
}

extern "C" int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                   int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                   LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) ||
        (cbMultiByte > 0 && static_cast<const void*>(lpWideCharStr) == lpMultiByteStr))
        return Fail(ERROR_INVALID_PARAMETER);
    Encoding encoding;
    if (!EncodingOf(CodePage, &encoding))
        return Fail(ERROR_INVALID_PARAMETER);
    DWORD allowed = encoding == Encoding::CodePage936 ? WC_NO_BEST_FIT_CHARS : WC_ERR_INVALID_CHARS;
    if (dwFlags & ~allowed)
        return Fail(ERROR_INVALID_FLAGS);
    if (encoding == Encoding::Utf8 && (lpDefaultChar || lpUsedDefaultChar))
        return Fail(ERROR_INVALID_PARAMETER);
    bool strict = dwFlags & WC_ERR_INVALID_CHARS;

    DefaultChar fallback;
    if (lpDefaultChar) {
        // One byte, or a lead and trail byte when the caller names a double-byte character;
        // a string whose first byte is a lead byte has at least one more byte, its NUL.
        fallback.bytes[0] = lpDefaultChar[0];
        const auto* d = reinterpret_cast<const unsigned char*>(lpDefaultChar);
        if (encoding != Encoding::Utf8 && InRange(d[0], 0x81, 0xFE) &&
            (InRange(d[1], 0x40, 0x7E) || InRange(d[1], 0x80, 0xFE))) {
            fallback.bytes[1] = lpDefaultChar[1];
            fallback.length = 2;
        }
    }

    size_t n = cchWideChar == -1 ? std::char_traits<char16_t>::length(lpWideCharStr) + 1
                                 : static_cast<size_t>(cchWideChar);
    Output<char> out(lpMultiByteStr, static_cast<size_t>(cbMultiByte));
    bool usedDefault = false;
    Outcome outcome = encoding == Encoding::Utf8
                          ? EncodeUtf8(strict, lpWideCharStr, n, out)
                          : EncodeGb18030(encoding == Encoding::CodePage936, strict, fallback,
                                          lpWideCharStr, n, out, &usedDefault);
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return Finish(outcome, out.Count());
}

extern "C" int lstrlenW(LPCWSTR lpString) {
    if (!lpString)
        return 0;
    size_t n = 0;
    while (lpString[n] != 0 && n < static_cast<size_t>(INT_MAX))
        ++n;
    return static_cast<int>(n);
}
