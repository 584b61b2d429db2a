// FindText beside memmem and std::string_view::find on ASCII and GBK text,
// the three cleaners beside memcpy, and the inputs that would expose a
// quadratic search; each from 1 KB to 16 MB. After the runs a table of the
// ratios that matter is printed (times are per byte, from this one run).
#include <benchmark/benchmark.h>
#include <string.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>
#include "text/Cleaners.h"
#include "text/FindText.h"

using namespace jestlark;

namespace {

const std::size_t Sizes[] = {1 << 10, 64 << 10, 1 << 20, 16 << 20};

std::string SizeName(std::size_t size) {
    return size >= (1 << 20) ? std::to_string(size >> 20) + "M" : std::to_string(size >> 10) + "K";
}

// English-like words, with the odd capital, digit and tag.
std::string AsciiText(std::size_t size, unsigned seed) {
    static const char* words[] = {"the", "joke", "of", "a", "man", "who", "walked", "into", "bar", "and",
                                  "asked", "for", "water", "said", "quietly", "Then", "there", "was", "silence",
                                  "while", "everyone", "laughed", "2024", "<br>", "kept", "quite", "zebra"};
    std::mt19937 random(seed);
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += words[random() % (sizeof words / sizeof *words)];
        text += random() % 12 == 0 ? ".\r\n" : " ";
    }
    text.resize(size);
    return text;
}

// GBK characters of the common range, with full-width punctuation and the odd
// line break.
std::string GbkText(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text;
    text.reserve(size + 4);
    while (text.size() < size) {
        const unsigned pick = random() % 40;
        if (pick == 0) {
            text += "\xA1\xA3";  // 。
        } else if (pick == 1) {
            text += "\xA3\xAC";  // ，
        } else if (pick == 2) {
            text += "\r\n";
        } else {
            text.push_back(char(0xB0 + random() % 0x48));
            text.push_back(char(0xA1 + random() % 0x5E));
        }
    }
    text.resize(size & ~std::size_t(1));
    return text;
}

// A joke page: GBK text with tags, entities, spaces and full-width spaces.
std::string PageText(std::size_t size) {
    std::mt19937 random(5);
    const std::string gbk = GbkText(4096, 6);
    std::string text;
    text.reserve(size + 64);
    while (text.size() < size) {
        switch (random() % 8) {
            case 0: text += "<p class=\"joke\">"; break;
            case 1: text += "</p>\r\n\t\t"; break;
            case 2: text += "&nbsp;"; break;
            case 3: text += "\xA1\xA1"; break;
            case 4: text += " "; break;
            default: {
                const std::size_t at = 2 * (random() % 1000);
                text.append(gbk, at, 2 * (1 + random() % 20));
            }
        }
    }
    text.resize(size);
    return text;
}

struct Data {
    std::string ascii, gbk;
    std::string asciiNear, asciiAbsent, gbkNear, gbkAbsent;
};

const Data& DataOf(std::size_t size) {
    static std::map<std::size_t, Data> cache;
    auto found = cache.find(size);
    if (found != cache.end()) return found->second;
    Data d;
    d.ascii = AsciiText(size, 1);
    d.gbk = GbkText(size, 2);
    // Needles from near the end: their first occurrence is there.
    const std::size_t asciiAt = size - 64, gbkAt = (size - 64) & ~std::size_t(1);
    d.asciiNear = d.ascii.substr(asciiAt, 24);
    d.gbkNear = d.gbk.substr(gbkAt, 24);
    d.asciiAbsent = "laughed quietly at zebra";
    d.gbkAbsent = "\xB0\xA1\xB0\xA2\xB0\xA3\xB0\xA4\xB0\xA5\xB0\xA6";
    if (d.ascii.find(d.asciiAbsent) != std::string::npos || d.gbk.find(d.gbkAbsent) != std::string::npos ||
        d.ascii.find(d.asciiNear) < size / 2 || d.gbk.find(d.gbkNear) < size / 2) {
        std::fprintf(stderr, "bench data does not have the intended shape at %zu bytes\n", size);
    }
    return cache.emplace(size, std::move(d)).first->second;
}

void Bytes(benchmark::State& state, std::size_t size) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

void Register(const std::string& name, std::size_t size, std::function<void(benchmark::State&)> body) {
    benchmark::RegisterBenchmark((name + "/" + SizeName(size)).c_str(), [body, size](benchmark::State& state) {
        body(state);
        Bytes(state, size);
    })->MinTime(0.05)->Unit(benchmark::kMicrosecond);
}

void RegisterSearches(std::size_t size) {
    for (const char* kind : {"ascii", "gbk"}) {
        for (const char* where : {"near", "absent"}) {
            const std::string base = std::string(kind) + "_" + where;
            auto subject = [=]() -> const std::string& {
                const Data& d = DataOf(size);
                return kind[0] == 'a' ? d.ascii : d.gbk;
            };
            auto needle = [=]() -> const std::string& {
                const Data& d = DataOf(size);
                if (kind[0] == 'a') return where[0] == 'n' ? d.asciiNear : d.asciiAbsent;
                return where[0] == 'n' ? d.gbkNear : d.gbkAbsent;
            };
            Register("FindText_" + base, size, [=](benchmark::State& state) {
                const std::string &s = subject(), &n = needle();
                for (auto _ : state) benchmark::DoNotOptimize(FindText(s, n, 1, false));
            });
            Register("FindTextIgnoreCase_" + base, size, [=](benchmark::State& state) {
                const std::string &s = subject(), &n = needle();
                for (auto _ : state) benchmark::DoNotOptimize(FindText(s, n, 1, true));
            });
            Register("memmem_" + base, size, [=](benchmark::State& state) {
                const std::string &s = subject(), &n = needle();
                for (auto _ : state) benchmark::DoNotOptimize(memmem(s.data(), s.size(), n.data(), n.size()));
            });
            Register("string_view_find_" + base, size, [=](benchmark::State& state) {
                const std::string_view s = subject(), n = needle();
                for (auto _ : state) benchmark::DoNotOptimize(s.find(n));
            });
        }
    }
}

void RegisterCleaners(std::size_t size) {
    auto page = [size]() -> const Text& {
        static std::map<std::size_t, Text> pages;
        auto found = pages.find(size);
        if (found == pages.end()) found = pages.emplace(size, Text(PageText(size))).first;
        return found->second;
    };
    Register("RemoveAll_page", size, [=](benchmark::State& state) {
        const Text& p = page();
        const Text run("&nbsp;");
        for (auto _ : state) benchmark::DoNotOptimize(RemoveAll(p, run));
    });
    Register("TagStripper_page", size, [=](benchmark::State& state) {
        const Text& p = page();
        for (auto _ : state) benchmark::DoNotOptimize(TagStripper(p));
    });
    Register("RemoveSpaces_page", size, [=](benchmark::State& state) {
        const Text& p = page();
        for (auto _ : state) benchmark::DoNotOptimize(RemoveSpaces(p));
    });
    // A fresh string each time, like the cleaners' results.
    Register("memcpy_page", size, [=](benchmark::State& state) {
        const Text& p = page();
        for (auto _ : state) {
            std::string copy(p.size(), '\0');
            std::memcpy(copy.data(), p.data(), p.size());
            benchmark::DoNotOptimize(copy.data());
        }
    });
}

// Inputs on which a search without a linear bound takes quadratic time.
void RegisterHardSearches(std::size_t size) {
    auto make = [size](int which) {
        static std::map<std::pair<std::size_t, int>, std::pair<std::string, std::string>> cache;
        auto found = cache.find({size, which});
        if (found != cache.end()) return found->second;
        std::pair<std::string, std::string> sn;
        if (which == 0) {  // a needle of one repeated byte, one byte short, throughout
            const std::size_t m = std::min<std::size_t>(1000, size / 4);
            std::string unit(m - 1, 'a');
            unit += 'b';
            while (sn.first.size() < size) sn.first += unit;
            sn.first.resize(size);
            sn.second = std::string(m, 'a');
        } else if (which == 1) {  // every occurrence begins on a trail byte
            while (sn.first.size() < size) sn.first += "\x81" "a";
            sn.first.resize(size);
            sn.second = "a" + sn.first.substr(0, std::min<std::size_t>(1000, size / 4));
        } else {  // half the subject as the needle, found at once
            sn.first = std::string(size, 'a');
            sn.second = std::string(size / 2, 'a');
        }
        return cache.emplace(std::make_pair(size, which), sn).first->second;
    };
    const char* names[] = {"FindText_hard_repeats", "FindText_hard_trail_matches", "FindText_hard_half_needle"};
    for (int which = 0; which < 3; ++which) {
        Register(names[which], size, [=](benchmark::State& state) {
            const auto sn = make(which);
            for (auto _ : state) benchmark::DoNotOptimize(FindText(sn.first, sn.second, 1, false));
        });
    }
}

// Keeps every run's time per iteration for the ratio table.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> microseconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) microseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void PrintRatios(const std::map<std::string, double>& t) {
    auto ratio = [&](const std::string& a, const std::string& b) {
        auto x = t.find(a), y = t.find(b);
        return x == t.end() || y == t.end() || y->second <= 0 ? -1.0 : x->second / y->second;
    };
    std::printf("\nRatios (this run)                                   goal   ");
    for (std::size_t size : Sizes) std::printf("%8s", SizeName(size).c_str());
    std::printf("\n");
    auto row = [&](const std::string& label, const std::string& a, const std::string& b, const char* goal) {
        std::printf("%-52s %-6s", label.c_str(), goal);
        for (std::size_t size : Sizes) std::printf("%8.2f", ratio(a + "/" + SizeName(size), b + "/" + SizeName(size)));
        std::printf("\n");
    };
    for (const char* where : {"near", "absent"}) {
        const std::string w = where;
        row("FindText / memmem, ASCII, " + w, "FindText_ascii_" + w, "memmem_ascii_" + w, "1.5");
        row("FindText / memmem, GBK, " + w, "FindText_gbk_" + w, "memmem_gbk_" + w, "3");
        row("FindText / string_view::find, ASCII, " + w, "FindText_ascii_" + w, "string_view_find_ascii_" + w, "-");
        row("FindText / string_view::find, GBK, " + w, "FindText_gbk_" + w, "string_view_find_gbk_" + w, "-");
        row("ignoring case / exact, ASCII, " + w, "FindTextIgnoreCase_ascii_" + w, "FindText_ascii_" + w, "3");
        row("ignoring case / exact, GBK, " + w, "FindTextIgnoreCase_gbk_" + w, "FindText_gbk_" + w, "3");
    }
    for (const char* cleaner : {"RemoveAll", "TagStripper", "RemoveSpaces"}) {
        row(std::string(cleaner) + " / memcpy, page", std::string(cleaner) + "_page", "memcpy_page", "10");
    }
    // Growth: time per byte at each size against the time per byte at 64 KB.
    std::printf("\nTime per byte against 64K (1.0 = linear)             ");
    for (std::size_t size : Sizes) std::printf("%8s", SizeName(size).c_str());
    std::printf("\n");
    for (const char* name : {"FindText_ascii_absent", "FindText_gbk_absent", "FindTextIgnoreCase_gbk_absent",
                             "FindText_hard_repeats", "FindText_hard_trail_matches", "FindText_hard_half_needle",
                             "RemoveAll_page", "TagStripper_page", "RemoveSpaces_page"}) {
        std::printf("%-59s", name);
        const auto base = t.find(std::string(name) + "/64K");
        for (std::size_t size : Sizes) {
            const auto x = t.find(std::string(name) + "/" + SizeName(size));
            const double perByte = x == t.end() ? -1 : x->second / double(size);
            std::printf("%8.2f", base == t.end() ? -1 : perByte / (base->second / double(64 << 10)));
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (std::size_t size : Sizes) {
        RegisterSearches(size);
        RegisterCleaners(size);
        RegisterHardSearches(size);
    }
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.microseconds);
    benchmark::Shutdown();
    return 0;
}
