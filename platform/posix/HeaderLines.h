#pragma once
// Header lines as WinInet keeps them: a request's list of fields, each added
// or replaced the way HttpSendRequestA treats its header block, and a
// response's raw header text rebuilt from the fields received.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jestlark {

class RequestHeaders {
public:
    // Removes every field of that name (any letter case), then appends the
    // new one (an empty value too: "Name: " goes out).
    void Replace(std::string_view name, std::string_view value);
    void AddIfNew(std::string_view name, std::string_view value);
    void Remove(std::string_view name);
    bool Has(std::string_view name) const;
    // The caller's block: lines ending at CR or LF; empty lines and lines
    // without ":" are passed over; each field replaces one of its name.
    void AddBlock(std::string_view block);
    // "Name: value", in the order they go on the wire.
    std::vector<std::string> Lines() const;

private:
    std::vector<std::pair<std::string, std::string>> fields_;
};

// One "Name: value" line split into its trimmed name and value; false for a
// line without ":" or without a name.
bool SplitField(std::string_view line, std::string& name, std::string& value);

// The raw header text of one response from the lines received (status line
// first, each with or without its line end): the status line, every field as
// "Name: value\r\n", and an empty line.
std::string RawResponseHeaders(const std::vector<std::string>& received);

}  // namespace jestlark
