#include "platform/Apartment.h"

#include <gtest/gtest.h>

#include <thread>

#include "text/RegexObject.h"
#include "text/RemoveBlankLines.h"

namespace jestlark {
namespace {

// The calls made on the calling thread while `work` runs.
template <typename Work>
ApartmentCalls CallsDuring(Work&& work) {
    const ApartmentCalls before = ApartmentCallCounts();
    work();
    const ApartmentCalls after = ApartmentCallCounts();
    return {after.enters - before.enters, after.leaves - before.leaves};
}

TEST(Apartment, RemoveBlankLinesPairsItsCalls) {
    Text text("a\r\n\r\nb");
    const ApartmentCalls plain = CallsDuring([&] { RemoveBlankLines(text); });
    EXPECT_EQ(plain.enters, 1);
    EXPECT_EQ(plain.leaves, 1);
    const ApartmentCalls withInit = CallsDuring([&] { RemoveBlankLines(text, true); });
    EXPECT_EQ(withInit.enters, 2);
    EXPECT_EQ(withInit.leaves, 2);
}

TEST(Apartment, ObjectAndCopyEachBalanceTheirOwnEntry) {
    const ApartmentCalls calls = CallsDuring([] {
        RegexObject regex;
        regex.Create(Text("a"), Text("a"));
        RegexObject copy(regex);
    });
    EXPECT_EQ(calls.enters, 2);
    EXPECT_EQ(calls.leaves, 2);
}

// A host thread that already lives in a multithreaded apartment keeps it:
// the object's entry fails there, so it must not leave on destruction.
TEST(Apartment, HostApartmentOfAnotherKindIsLeftAlone) {
    bool hostEntered = false;
    ApartmentCalls objectCalls, removeCalls;
    bool stillInHostApartment = false;
    Text cleaned;
    std::thread host([&] {
        hostEntered = EnterHostApartmentForTest();
        if (!hostEntered) return;
        objectCalls = CallsDuring([] {
            RegexObject regex;
            regex.Create(Text("a"), Text("xa"));
        });
        Text text("a\r\n\r\nb");
        removeCalls = CallsDuring([&] { cleaned = RemoveBlankLines(text, true); });
        // Had the apartment been taken apart, entering one would now succeed.
        stillInHostApartment = !EnterApartment();
        if (!stillInHostApartment) LeaveApartment();
        LeaveHostApartmentForTest();
    });
    host.join();
    ASSERT_TRUE(hostEntered);
    EXPECT_EQ(objectCalls.enters, 1);
    EXPECT_EQ(objectCalls.leaves, 0);
    EXPECT_EQ(removeCalls.enters, 2);
    EXPECT_EQ(removeCalls.leaves, 0);
    EXPECT_TRUE(stillInHostApartment);
    EXPECT_EQ(cleaned, "a\r\nb");
}

}  // namespace
}  // namespace jestlark
