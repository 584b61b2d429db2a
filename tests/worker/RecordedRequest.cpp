#include "tests/worker/RecordedRequest.h"

namespace jestlark::test {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = char(c + 0x20);
    }
    return text;
}

}  // namespace

std::vector<std::string> RecordedRequest::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const std::string& field : fields) {
        const std::size_t colon = field.find(':');
        if (colon != std::string::npos && Lower(field.substr(0, colon)) == Lower(name)) {
            values.push_back(field.substr(colon + 2 <= field.size() ? colon + 2 : field.size()));
        }
    }
    return values;
}

std::optional<RecordedRequest> ParseRecordedRequest(const std::optional<std::string>& raw) {
    if (!raw) return std::nullopt;
    const std::size_t end = raw->find("\r\n\r\n");
    if (end == std::string::npos) return std::nullopt;
    RecordedRequest request;
    request.body = raw->substr(end + 4);
    const std::string head = raw->substr(0, end + 2);
    std::size_t at = 0;
    for (std::size_t next; (next = head.find("\r\n", at)) != std::string::npos; at = next + 2) {
        const std::string line = head.substr(at, next - at);
        if (at == 0) {
            request.requestLine = line;
        } else {
            request.fields.push_back(line);
        }
    }
    return request;
}

}  // namespace jestlark::test
