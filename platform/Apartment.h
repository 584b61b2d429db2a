#pragma once

namespace jestlark {

// The calling thread's COM apartment (Windows: CoInitialize / CoUninitialize;
// elsewhere a counted stand-in with the same rules).

// Enters the single-threaded apartment. True when the entry took effect and
// must be balanced by one LeaveApartment; false when the thread already lives
// in an apartment of another kind, which must then be left alone.
bool EnterApartment();
void LeaveApartment();

// How often the calling thread has called EnterApartment and LeaveApartment,
// so that tests can check the pairing.
struct ApartmentCalls {
    int enters = 0;
    int leaves = 0;
};
ApartmentCalls ApartmentCallCounts();

// Test seam: puts the calling thread into a multithreaded apartment, as a host
// may have done before calling in, and takes it out again.
bool EnterHostApartmentForTest();
void LeaveHostApartmentForTest();

}  // namespace jestlark
