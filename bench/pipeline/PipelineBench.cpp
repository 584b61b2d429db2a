// Times group messages through the real exports against a loopback joke site
// and watches the process's memory and threads over many messages.
//
//   bench_pipeline PLUGIN CQAPI MESSAGES
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <algorithm>

#include "host/StandInHost.h"

namespace {

long StatusField(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PLUGIN CQAPI MESSAGES\n", argv[0]);
        return 2;
    }
    jestlark::StandInHost host(argv[1], argv[2]);
    if (!host.Error().empty()) {
        std::fprintf(stderr, "%s\n", host.Error().c_str());
        return 1;
    }
    const int messages = std::atoi(argv[3]);
    auto message = [&] {
        const auto start = std::chrono::steady_clock::now();
        host.Handle(std::string(), std::string("2"), std::string("1"), std::string(), std::string());
        host.ClearPosts();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < 20; ++i) message();  // warm up: the host API lookup, caches

    const long rssBefore = StatusField("VmRSS:");
    const long threadsBefore = StatusField("Threads:");
    std::vector<double> times;
    for (int i = 0; i < messages; ++i) times.push_back(message());
    const long rssAfter = StatusField("VmRSS:");
    const long threadsAfter = StatusField("Threads:");

    std::sort(times.begin(), times.end());
    std::printf("messages %d  median %.3f ms  p90 %.3f ms\n", messages, times[times.size() / 2],
                times[times.size() * 9 / 10]);
    std::printf("rss before %ld kB after %ld kB (growth %ld kB); threads before %ld after %ld\n", rssBefore,
                rssAfter, rssAfter - rssBefore, threadsBefore, threadsAfter);
    return 0;
}
