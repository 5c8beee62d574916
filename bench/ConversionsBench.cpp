// The two conversions at the sizes the commands use them: one glyph, converted back for every
// pixel of an art, and one typed line, converted once per command.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <string>

#include "app/Conversions.h"

namespace {

// 160 characters: 80 Chinese and 80 ASCII, alternating in runs.
std::string MixedLine() {
    std::string line;
    for (int i = 0; i < 20; ++i)
        line +=
            "\xC7\xE0\xE8\xD6\xB9\xA4\xB7\xBB"
            "abcd";
    return line;
}

void BM_UnicodeToAnsiGlyph(benchmark::State& state) {
    const ByteBuffer glyph = AnsiToUnicode("\xA1\xF1");  // ●
    for (auto _ : state) {
        std::string text = UnicodeToAnsi(glyph);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_UnicodeToAnsiGlyph);

// Baseline for the glyph: the bare library conversion of the same two bytes with a descriptor
// opened beforehand, which is the least any conversion of one glyph can cost here.
void BM_IconvGlyphBaseline(benchmark::State& state) {
    iconv_t cd = iconv_open("GB18030", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("no GB18030 converter");
        return;
    }
    const char glyph[2] = {'\xCF', '\x25'};  // U+25CF
    for (auto _ : state) {
        char out[8];
        char* in = const_cast<char*>(glyph);
        char* to = out;
        size_t inLeft = sizeof glyph, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        iconv(cd, &in, &inLeft, &to, &outLeft);
        std::string text(out, to);
        benchmark::DoNotOptimize(text);
    }
    iconv_close(cd);
}
BENCHMARK(BM_IconvGlyphBaseline);

void BM_AnsiToUnicodeLine(benchmark::State& state) {
    const std::string line = MixedLine();
    for (auto _ : state) {
        ByteBuffer utf16 = AnsiToUnicode(line);
        benchmark::DoNotOptimize(utf16);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_AnsiToUnicodeLine);

void BM_UnicodeToAnsiLine(benchmark::State& state) {
    const ByteBuffer utf16 = AnsiToUnicode(MixedLine());
    for (auto _ : state) {
        std::string text = UnicodeToAnsi(utf16);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_UnicodeToAnsiLine);

}  // namespace
