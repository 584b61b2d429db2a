#pragma once
#include <optional>
#include <string>
#include <vector>

namespace jestlark::test {

// A request as the recording server received it.
struct RecordedRequest {
    std::string requestLine;
    std::vector<std::string> fields;  // "Name: value", in wire order
    std::string body;

    // The values of every field of that name (any letter case).
    std::vector<std::string> Values(const std::string& name) const;
};

std::optional<RecordedRequest> ParseRecordedRequest(const std::optional<std::string>& raw);

}  // namespace jestlark::test
