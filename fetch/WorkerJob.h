#pragma once
#include <memory>

#include "fetch/PacketStream.h"
#include "platform/InternetCancel.h"

namespace jestlark {

// What one fetch shares with its worker thread. Both hold a share, so a
// worker abandoned at the time limit never touches released memory.
struct WorkerJob {
    PacketStream stream;
    InternetCancel cancel;
};

}  // namespace jestlark
