// The two conversions at the sizes the commands use them: one glyph, converted back for every
// pixel of an art, and one typed line, converted once per command.
#include <benchmark/benchmark.h>

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
