#pragma once
// A stand-in for the HTTP exchange worker, linked instead of the real one: it
// records the request packet and answers from a script. A URL ending in
// "/stall" blocks until the exchange is cancelled; one ending in "/hold"
// blocks until ReleaseHeld() or a cancel.
#include "fetch/RequestPacket.h"

namespace jestlark::test {

struct WorkerAnswer {
    ByteString body;
    ByteString cookies;  // item 1 of the answer
    ByteString headers;  // item 5 of the answer
};

void SetWorkerAnswer(WorkerAnswer answer);
RequestPacket LastWorkerRequest();
int WorkerStarts();
int WorkersCancelled();  // stalled or held exchanges that saw their cancel
void ReleaseHeld();
void ResetWorkerDouble();

}  // namespace jestlark::test
