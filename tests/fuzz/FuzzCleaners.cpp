// RemoveAll, TagStripper and RemoveSpaces on any text.
#include <cstddef>
#include <cstdint>
#include <string>
#include "FuzzInput.h"
#include "LiteralText.h"
#include "text/Cleaners.h"

using namespace jestlark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string run = input.Piece();
    const std::string text = input.Rest();

    const Text removed = RemoveAll(Text(text), Text(run));
    FUZZ_CHECK(removed == literal::RemoveAll(text, run));
    FUZZ_CHECK(run.empty() || (text.size() - removed.size()) % run.size() == 0);

    const Text stripped = TagStripper(Text(text));
    FUZZ_CHECK(stripped == literal::TagStripper(text));
    FUZZ_CHECK(stripped.find_first_of("<>") == std::string::npos);

    const Text spaced = RemoveSpaces(Text(text));
    FUZZ_CHECK(spaced == literal::RemoveSpaces(text));
    FUZZ_CHECK(spaced.size() <= text.size());
    return 0;
}
