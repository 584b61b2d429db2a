// The fetch front's cost over a bare exchange, and its memory over many
// fetches with timeouts. Needs the loopback http server: bench/fetch_bench.sh
// starts one and passes it in JESTLARK_BENCH_SERVER (host:port).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fetch/FetchPage.h"
#include "fetch/PacketStream.h"
#include "fetch/RequestPacket.h"
#include "fetch/RequestWorker.h"
#include "platform/WorkerThread.h"

namespace {

using namespace jestlark;

std::string Server() {
    const char* server = std::getenv("JESTLARK_BENCH_SERVER");
    return server ? server : "127.0.0.1:28160";
}

std::string PageUrl() { return "http://" + Server() + "/random?size=1024"; }

void RequestWorkerDirect(benchmark::State& state) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        RequestPacket packet = MakeRequestPacket();
        packet[SlotUrl] = ByteString(url);
        packet[SlotVerb] = ByteString("GET");
        packet[SlotRedirects] = ByteString("\xd5\xe6");
        PacketStream stream;
        stream.Write(packet);
        RequestWorker(stream);
        stream.Rewind();
        stream.Read(packet);
        if (packet[SlotUrl].size() != 1024) state.SkipWithError("short body");
    }
}
BENCHMARK(RequestWorkerDirect)->UseRealTime()->MinTime(0.5)->Repetitions(15)->ReportAggregatesOnly(true);

void FetchPageFront(benchmark::State& state) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        Text address(url);
        if (FetchPage(address).size() != 1024) state.SkipWithError("short body");
    }
}
BENCHMARK(FetchPageFront)->UseRealTime()->MinTime(0.5)->Repetitions(15)->ReportAggregatesOnly(true);

// The front's own machinery without any exchange: start a thread, wait for it.
void WorkerThreadStartAndWait(benchmark::State& state) {
    for (auto _ : state) {
        const WorkerThread worker = WorkerThread::Start([] {});
        benchmark::DoNotOptimize(worker.Wait(1000));
    }
}
BENCHMARK(WorkerThreadStartAndWait)->UseRealTime()->MinTime(0.5)->Repetitions(15)->ReportAggregatesOnly(true);

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

long Threads() {
    long count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++count;
    }
    return count;
}

// Ten callers, a hundred fetches each; every tenth stalls and is cut off at
// its one-second limit: 1,000 fetches, 100 timeouts.
void RunThousandFetches() {
    std::vector<std::thread> callers;
    for (int caller = 0; caller < 10; ++caller) {
        callers.emplace_back([] {
            for (int i = 0; i < 100; ++i) {
                const bool stall = i % 10 == 9;
                Text url(stall ? "http://" + Server() + "/stall?seconds=3" : PageUrl());
                FetchOptions options;
                options.timeoutSeconds = stall ? 1 : 10;
                FetchPage(url, options);
            }
        });
    }
    for (std::thread& caller : callers) caller.join();
}

void MemoryAfterThousandFetches(benchmark::State& state) {
    const long threadsBefore = Threads();
    RunThousandFetches();  // the first round grows the allocator's arenas
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const long before = ResidentKilobytes();
    for (auto _ : state) RunThousandFetches();
    // The cancelled workers end within about a second.
    for (int i = 0; i < 100 && Threads() > threadsBefore; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    state.counters["rss_before_kb"] = double(before);
    state.counters["rss_growth_kb"] = double(ResidentKilobytes() - before);
    state.counters["threads_left"] = double(Threads() - threadsBefore);
}
BENCHMARK(MemoryAfterThousandFetches)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
