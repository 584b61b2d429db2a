// The GBK <-> UTF-16 and UTF-8 <-> UTF-16 conversions of the platform layer on 1 MB of text: mostly
// ASCII with Chinese lines (a joke page), and Chinese only. memcpy of the
// same bytes is the floor to compare against.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/CodePages.h"

namespace {

std::string Repeat(const std::string& piece, std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) text += piece;
    return text;
}

const std::string& JokePage() {
    static const std::string text =
        Repeat("\xD2\xBB\xB8\xF6\xD0\xA6\xBB\xB0\xA3\xAC\xC1\xBD\xB8\xF6\xD0\xA6\xBB\xB0\xA1\xA3\r\n\r\n"
               "Teacher: why are you late?\r\n   \t\r\n<p class=\"joke\">\xC0\xCF\xCA\xA6</p>\r\nThe end.\r\n",
               1 << 20);
    return text;
}

const std::string& ChineseOnly() {
    static const std::string text = Repeat("\xD6\xD0\xCE\xC4\xD0\xA6\xBB\xB0\xA1\xA3", 1 << 20);
    return text;
}

void Decode(benchmark::State& state, const std::string& text) {
    for (auto _ : state) benchmark::DoNotOptimize(jestlark::MultiByteToUtf16(text, jestlark::CodePageGbk));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void Encode(benchmark::State& state, const std::string& text) {
    const std::u16string units = jestlark::MultiByteToUtf16(text, jestlark::CodePageGbk);
    for (auto _ : state) benchmark::DoNotOptimize(jestlark::Utf16ToMultiByte(units, jestlark::CodePageGbk));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// The same page as UTF-8, read and written back.
void Utf8JokePage(benchmark::State& state) {
    const std::string utf8 =
        jestlark::Utf16ToMultiByte(jestlark::MultiByteToUtf16(JokePage(), jestlark::CodePageGbk), jestlark::CodePageUtf8);
    for (auto _ : state) {
        const std::u16string units = jestlark::MultiByteToUtf16(utf8, jestlark::CodePageUtf8);
        benchmark::DoNotOptimize(jestlark::Utf16ToMultiByte(units, jestlark::CodePageUtf8));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(utf8.size()));
}

void Copy(benchmark::State& state) {
    for (auto _ : state) {
        std::string copy(JokePage().size(), '\0');
        std::memcpy(copy.data(), JokePage().data(), copy.size());
        benchmark::DoNotOptimize(copy);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(JokePage().size()));
}

void GbkToUtf16JokePage(benchmark::State& state) { Decode(state, JokePage()); }
void GbkToUtf16ChineseOnly(benchmark::State& state) { Decode(state, ChineseOnly()); }
void Utf16ToGbkJokePage(benchmark::State& state) { Encode(state, JokePage()); }
void Utf16ToGbkChineseOnly(benchmark::State& state) { Encode(state, ChineseOnly()); }

BENCHMARK(Copy)->Unit(benchmark::kMicrosecond);
BENCHMARK(GbkToUtf16JokePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(GbkToUtf16ChineseOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(Utf16ToGbkJokePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(Utf16ToGbkChineseOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(Utf8JokePage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
