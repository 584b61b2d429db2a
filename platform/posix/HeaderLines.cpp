#include "platform/posix/HeaderLines.h"

#include "platform/posix/AsciiCase.h"

namespace jestlark {
namespace {

// WinInet trims spaces only: a tab stays part of the value.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    return line;
}

}  // namespace

bool SplitField(std::string_view line, std::string& name, std::string& value) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    name = std::string(Trim(line.substr(0, colon)));
    value = std::string(Trim(line.substr(colon + 1)));
    return !name.empty();
}

void RequestHeaders::Remove(std::string_view name) {
    for (auto it = fields_.begin(); it != fields_.end();) {
        it = EqualIgnoringAsciiCase(it->first, name) ? fields_.erase(it) : it + 1;
    }
}

bool RequestHeaders::Has(std::string_view name) const {
    for (const auto& field : fields_) {
        if (EqualIgnoringAsciiCase(field.first, name)) return true;
    }
    return false;
}

void RequestHeaders::Replace(std::string_view name, std::string_view value) {
    Remove(name);
    fields_.emplace_back(std::string(name), std::string(value));
}

void RequestHeaders::AddIfNew(std::string_view name, std::string_view value) {
    if (!Has(name)) fields_.emplace_back(std::string(name), std::string(value));
}

void RequestHeaders::AddBlock(std::string_view block) {
    while (!block.empty()) {
        const std::size_t end = block.find_first_of("\r\n");
        const std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 1);
        std::string name, value;
        if (SplitField(line, name, value)) Replace(name, value);
    }
}

std::vector<std::string> RequestHeaders::Lines() const {
    std::vector<std::string> lines;
    for (const auto& field : fields_) lines.push_back(field.first + ": " + field.second);
    return lines;
}

std::string RawResponseHeaders(const std::vector<std::string>& received) {
    if (received.empty()) return std::string();
    std::string text(WithoutLineEnd(received.front()));
    text += "\r\n";
    for (std::size_t i = 1; i < received.size(); ++i) {
        std::string name, value;
        if (SplitField(WithoutLineEnd(received[i]), name, value)) text += name + ": " + value + "\r\n";
    }
    return text + "\r\n";
}

}  // namespace jestlark
