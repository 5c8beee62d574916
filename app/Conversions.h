// GBK <-> UTF-16 conversions between the window's texts and GDI+'s strings. Qt-free, so the
// engine and the command-line tool link them without the toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A counted sequence of bytes; it may hold NUL bytes anywhere.
using ByteBuffer = std::vector<uint8_t>;

// GBK text (code page 936, read as GB18030) converted to UTF-16LE code units followed by one NUL
// unit: 2 x (units + 1) bytes. The text ends at its first NUL byte, if it has one. Bytes that are
// not valid GBK become U+FFFD. A text the conversion rejects gives an empty buffer.
ByteBuffer AnsiToUnicode(std::string_view text);

// UTF-16LE code units converted to GBK text, up to the first NUL unit or the end of data,
// whichever comes first; an odd last byte is ignored. A unit with no multi-byte form (an
// unpaired surrogate) becomes NUL, so the text ends just before it.
std::string UnicodeToAnsi(const ByteBuffer& data);

// UTF-16 code units as a UTF-16 byte buffer: little-endian, followed by one NUL unit.
ByteBuffer Utf16ToBuffer(std::u16string_view units);

// The code units of a UTF-16 byte buffer before its first NUL unit (all whole units when it has
// none); never reads past data.
std::u16string Utf16FromBuffer(std::span<const uint8_t> data);

// Number of whole UTF-16 units in data before its first NUL unit, or all of them when it has
// none. Never reads past data, so it is safe on buffers that did not come from AnsiToUnicode.
size_t Utf16UnitsBeforeNul(std::span<const uint8_t> data);
