// GUIDs as registry-form text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}". There is no registry
// here, so a class name that is not in that form names nothing.
#include "platform/win32/win32.h"

namespace {

constexpr int kTextLength = 38;

// Positions of the hyphens; every other character between the braces is a hex digit, most
// significant first within each field.
constexpr int kHyphens[] = {9, 14, 19, 24};

int HexValue(OLECHAR c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

bool IsHyphenAt(int index) {
    for (int h : kHyphens)
        if (h == index)
            return true;
    return false;
}

}  // namespace

extern "C" int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    if (!lpsz || cchMax < kTextLength + 1)
        return 0;
    uint8_t bytes[16] = {
        static_cast<uint8_t>(rguid.Data1 >> 24), static_cast<uint8_t>(rguid.Data1 >> 16),
        static_cast<uint8_t>(rguid.Data1 >> 8),  static_cast<uint8_t>(rguid.Data1),
        static_cast<uint8_t>(rguid.Data2 >> 8),  static_cast<uint8_t>(rguid.Data2),
        static_cast<uint8_t>(rguid.Data3 >> 8),  static_cast<uint8_t>(rguid.Data3),
    };
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = rguid.Data4[i];
    static constexpr char kDigits[] = "0123456789ABCDEF";
    int digit = 0;
    lpsz[0] = u'{';
    for (int i = 1; i < kTextLength - 1; ++i) {
        if (IsHyphenAt(i)) {
            lpsz[i] = u'-';
            continue;
        }
        uint8_t byte = bytes[digit / 2];
        lpsz[i] = static_cast<OLECHAR>(kDigits[digit % 2 == 0 ? byte >> 4 : byte & 0xF]);
        ++digit;
    }
    lpsz[kTextLength - 1] = u'}';
    lpsz[kTextLength] = 0;
    return kTextLength + 1;
}

extern "C" HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (!pclsid)
        return E_INVALIDARG;
    *pclsid = CLSID{};
    if (!lpsz)
        return S_OK;  // documented: no text is the null GUID

    // Checked one character at a time, so a text that ends early stops the reading at its NUL.
    uint8_t bytes[16] = {};
    int digit = 0;
    for (int i = 0; i < kTextLength; ++i) {
        OLECHAR c = lpsz[i];
        bool ok;
        if (i == 0) {
            ok = c == u'{';
        } else if (i == kTextLength - 1) {
            ok = c == u'}';
        } else if (IsHyphenAt(i)) {
            ok = c == u'-';
        } else {
            int value = HexValue(c);
            ok = value >= 0;
            if (ok)
                bytes[digit / 2] |= static_cast<uint8_t>(digit % 2 == 0 ? value << 4 : value);
            ++digit;
        }
        if (!ok)
            return CO_E_CLASSSTRING;
    }
    if (lpsz[kTextLength] != 0)
        return CO_E_CLASSSTRING;

    CLSID result;
    result.Data1 = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                   static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    result.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    result.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        result.Data4[i] = bytes[8 + i];
    *pclsid = result;
    return S_OK;
}
