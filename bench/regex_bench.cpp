// RemoveBlankLines on 1 MB of CR LF text beside the bare engine doing the
// same substitution with the same pattern: the cost of the component layer
// (code-page conversions, the dialect, the match collection) on top of PCRE2.
// Goal: RemoveBlankLines at most 1.5 times the bare substitution; the ratios
// of CPU time per iteration are printed at the end.

#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/CodePages.h"
#include "text/RemoveBlankLines.h"

namespace {

// Joke-like text: Chinese and ASCII lines, with runs of blank and
// white-space-only lines between them.
jestlark::Text MakeText(std::size_t bytes) {
    static const char* const lines[] = {
        "\xD2\xBB\xB8\xF6\xD0\xA6\xBB\xB0\xA3\xAC\xC1\xBD\xB8\xF6\xD0\xA6\xBB\xB0\xA1\xA3", "",
        "Teacher: why are you late?", "   \t", "", "\xC0\xCF\xCA\xA6\xCB\xB5\xA3\xBA\xC4\xE3\xCE\xAA\xCA\xB2\xC3\xB4",
        "  \xB3\xD9\xB5\xBD\xC1\xCB\xA3\xBF", "", "", "The end."};
    jestlark::Text text;
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        text += lines[i % (sizeof lines / sizeof *lines)];
        text += "\r\n";
    }
    return text;
}

const jestlark::Text& OneMegabyte() {
    static const jestlark::Text text = MakeText(1 << 20);
    return text;
}

void RemoveBlankLinesOneMegabyte(benchmark::State& state) {
    for (auto _ : state) {
        // The caller's copy that RemoveBlankLines trims is not part of its cost.
        state.PauseTiming();
        jestlark::Text text = OneMegabyte();
        state.ResumeTiming();
        benchmark::DoNotOptimize(jestlark::RemoveBlankLines(text));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(OneMegabyte().size()));
}
BENCHMARK(RemoveBlankLinesOneMegabyte)->Unit(benchmark::kMillisecond);

// The blank-line pattern compiled and JIT-compiled once, as a bare engine
// would hold it, with its match data; both freed with the value.
class BarePattern {
public:
    BarePattern() {
        const std::u16string pattern = u"\\n\\s*\\r";
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                  PCRE2_CASELESS, &error, &errorOffset, nullptr));
        pcre2_jit_compile(code_.get(), PCRE2_JIT_COMPLETE);
        data_.reset(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
    }

    // One global substitution with the empty replacement into out; length
    // gives out's room and receives the result's length.
    void RemoveAllMatches(const std::u16string& subject, std::u16string& out, PCRE2_SIZE& length) const {
        pcre2_substitute(code_.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                         PCRE2_SUBSTITUTE_GLOBAL, data_.get(), nullptr, reinterpret_cast<PCRE2_SPTR>(u""), 0,
                         reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
    }

private:
    std::unique_ptr<pcre2_code, void (*)(pcre2_code*)> code_{nullptr, pcre2_code_free};
    std::unique_ptr<pcre2_match_data, void (*)(pcre2_match_data*)> data_{nullptr, pcre2_match_data_free};
};

// The bare engine: the pattern compiled and JIT-compiled once, the subject
// already in UTF-16, one global substitution with the empty replacement.
void BarePcre2SubstitutionOneMegabyte(benchmark::State& state) {
    const std::u16string subject = jestlark::MultiByteToUtf16(OneMegabyte(), jestlark::CodePageGbk);
    const BarePattern bare;
    std::u16string out(subject.size() + 1, u'\0');
    for (auto _ : state) {
        PCRE2_SIZE length = out.size();
        bare.RemoveAllMatches(subject, out, length);
        benchmark::DoNotOptimize(length);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(OneMegabyte().size()));
}
BENCHMARK(BarePcre2SubstitutionOneMegabyte)->Unit(benchmark::kMillisecond);

// The bare substitution with the two code-page conversions that any engine on
// UTF-16 needs for GBK text: what is left of the gap is the layer's own cost.
void BarePcre2WithConversionsOneMegabyte(benchmark::State& state) {
    const BarePattern bare;
    for (auto _ : state) {
        const std::u16string subject = jestlark::MultiByteToUtf16(OneMegabyte(), jestlark::CodePageGbk);
        std::u16string out(subject.size() + 1, u'\0');
        PCRE2_SIZE length = out.size();
        bare.RemoveAllMatches(subject, out, length);
        benchmark::DoNotOptimize(
            jestlark::Utf16ToMultiByte(std::u16string_view(out.data(), length), jestlark::CodePageGbk));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(OneMegabyte().size()));
}
BENCHMARK(BarePcre2WithConversionsOneMegabyte)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps each one's time per iteration, for the
// ratio printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median stands for the name.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !medians_.count(run.run_name.function_name))
                times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
                medians_.insert(run.run_name.function_name);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const std::string& of, const std::string& to) const {
        const auto a = times_.find(of), b = times_.find(to);
        if (a == times_.end() || b == times_.end() || b->second <= 0) return;
        std::printf("%s / %s = %.2f (goal: at most 1.50)\n", of.c_str(), to.c_str(), a->second / b->second);
    }

private:
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintRatio("RemoveBlankLinesOneMegabyte", "BarePcre2SubstitutionOneMegabyte");
    reporter.PrintRatio("BarePcre2WithConversionsOneMegabyte", "BarePcre2SubstitutionOneMegabyte");
    return 0;
}
