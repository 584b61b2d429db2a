#pragma once
#include <memory>

#include "fetch/PacketStream.h"
#include "fetch/WorkerJob.h"
#include "platform/InternetCancel.h"

namespace jestlark {

// Carries out the exchange the packet at the stream's start describes and
// writes the answered packet back there. cancel, when given, can stop it
// from another thread.
void RequestWorker(PacketStream& stream, InternetCancel* cancel = nullptr);

// The worker thread's procedure: RequestWorker on the job's stream.
void RequestWorkerThread(std::shared_ptr<WorkerJob> job);

}  // namespace jestlark
