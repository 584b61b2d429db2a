#include "platform/Apartment.h"

#include <objbase.h>

namespace jestlark {
namespace {

thread_local ApartmentCalls calls;

}  // namespace

bool EnterApartment() {
    ++calls.enters;
    // S_FALSE (already in this kind of apartment) still counts and must be
    // balanced; RPC_E_CHANGED_MODE means the thread belongs to another kind.
    return SUCCEEDED(CoInitialize(nullptr));
}

void LeaveApartment() {
    ++calls.leaves;
    CoUninitialize();
}

ApartmentCalls ApartmentCallCounts() { return calls; }

bool EnterHostApartmentForTest() { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }

void LeaveHostApartmentForTest() { CoUninitialize(); }

}  // namespace jestlark
