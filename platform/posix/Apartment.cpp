#include "platform/Apartment.h"

namespace jestlark {
namespace {

// No COM here: the apartment is a per-thread count with the same rules, so
// the pairing of the calls can be checked on this platform too.
enum class Kind { None, SingleThreaded, MultiThreaded };

struct ThreadApartment {
    Kind kind = Kind::None;
    int depth = 0;
    ApartmentCalls calls;
};

thread_local ThreadApartment apartment;

bool Enter(Kind kind) {
    if (apartment.kind != Kind::None && apartment.kind != kind) return false;
    apartment.kind = kind;
    ++apartment.depth;
    return true;
}

void Leave() {
    if (apartment.depth > 0 && --apartment.depth == 0) apartment.kind = Kind::None;
}

}  // namespace

bool EnterApartment() {
    ++apartment.calls.enters;
    return Enter(Kind::SingleThreaded);
}

void LeaveApartment() {
    ++apartment.calls.leaves;
    Leave();
}

ApartmentCalls ApartmentCallCounts() { return apartment.calls; }

bool EnterHostApartmentForTest() { return Enter(Kind::MultiThreaded); }

void LeaveHostApartmentForTest() { Leave(); }

}  // namespace jestlark
