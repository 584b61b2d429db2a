// FindText, TextBetween and TextBefore on any subject, needle and start.
#include <cstddef>
#include <cstdint>
#include <string>
#include "FuzzInput.h"
#include "LiteralText.h"
#include "text/FindText.h"
#include "text/TextBetween.h"

using namespace jestlark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const uint8_t flags = input.Byte();
    const bool ignoreCase = flags & 1;
    // Mostly small starts, sometimes any 32-bit value.
    const int32_t start = flags & 2 ? input.Number() : int32_t(input.Byte()) - 8;
    const std::string needle = input.Piece();
    const std::string right = input.Piece();
    const std::string subject = input.Rest();

    const int32_t found = FindText(subject, needle, start, ignoreCase);
    FUZZ_CHECK(found == literal::Find(subject, needle, start, ignoreCase));
    if (found > 0) {
        const std::size_t at = std::size_t(found) - 1;
        const std::size_t offset = start > 1 ? std::size_t(start) - 1 : 0;
        FUZZ_CHECK(at < subject.size() && (needle.empty() ? at == 0 : at >= offset));
        FUZZ_CHECK(literal::MatchesAt(subject, at, needle, ignoreCase));
        if (!needle.empty()) FUZZ_CHECK(literal::BeginsCharacter(subject, offset, at));
    }

    Text leftMarker(needle), rightMarker(right);
    const Text between = TextBetween(Text(subject), leftMarker, rightMarker, start, !ignoreCase);
    FUZZ_CHECK(leftMarker == literal::ConvertPlaceholder(needle));
    FUZZ_CHECK(rightMarker == literal::ConvertPlaceholder(right));
    FUZZ_CHECK(between == literal::Between(subject, leftMarker, rightMarker, start, ignoreCase));
    FUZZ_CHECK(subject.find(between) != std::string::npos);

    const Text before = TextBefore(Text(subject), Text(needle), start, ignoreCase);
    FUZZ_CHECK(subject.compare(0, before.size(), before) == 0);
    if (!before.empty()) FUZZ_CHECK(literal::MatchesAt(subject, before.size(), needle, ignoreCase));
    return 0;
}
