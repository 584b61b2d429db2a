#include "tests/fetchpage/WorkerDouble.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "fetch/RequestWorker.h"

namespace jestlark {
namespace test {
namespace {

struct Script {
    std::mutex mutex;
    test::WorkerAnswer answer;
    RequestPacket lastRequest;
    int starts = 0;
    int cancelled = 0;
    bool released = false;
};

Script& TheScript() {
    static Script script;
    return script;
}

bool EndsWith(const ByteString& text, const char* suffix) {
    const std::string_view end(suffix);
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

void SetWorkerAnswer(WorkerAnswer answer) {
    std::lock_guard<std::mutex> lock(TheScript().mutex);
    TheScript().answer = std::move(answer);
}

RequestPacket LastWorkerRequest() {
    std::lock_guard<std::mutex> lock(TheScript().mutex);
    return TheScript().lastRequest;
}

int WorkerStarts() {
    std::lock_guard<std::mutex> lock(TheScript().mutex);
    return TheScript().starts;
}

int WorkersCancelled() {
    std::lock_guard<std::mutex> lock(TheScript().mutex);
    return TheScript().cancelled;
}

void ReleaseHeld() {
    std::lock_guard<std::mutex> lock(TheScript().mutex);
    TheScript().released = true;
}

void ResetWorkerDouble() {
    std::lock_guard<std::mutex> lock(TheScript().mutex);
    Script& script = TheScript();
    script.answer = {};
    script.lastRequest = {};
    script.starts = script.cancelled = 0;
    script.released = false;
}

}  // namespace test

void RequestWorkerThread(std::shared_ptr<WorkerJob> job) {
    test::Script& script = test::TheScript();
    RequestPacket packet = MakeRequestPacket();
    job->stream.Rewind();
    if (!job->stream.Read(packet)) return;
    {
        std::lock_guard<std::mutex> lock(script.mutex);
        script.lastRequest = packet;
        ++script.starts;
    }
    const bool stall = test::EndsWith(packet[SlotUrl], "/stall");
    const bool hold = test::EndsWith(packet[SlotUrl], "/hold");
    while (stall || hold) {
        if (job->cancel.IsCancelled()) {
            std::lock_guard<std::mutex> lock(script.mutex);
            ++script.cancelled;
            return;
        }
        {
            std::lock_guard<std::mutex> lock(script.mutex);
            if (hold && script.released) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    test::WorkerAnswer answer;
    {
        std::lock_guard<std::mutex> lock(script.mutex);
        answer = script.answer;
    }
    packet[SlotUrl] = answer.body;
    packet[SlotVerb] = answer.cookies;
    packet[SlotCookies] = answer.headers;
    job->stream.Rewind();
    job->stream.Write(packet);
}

}  // namespace jestlark
