#pragma once
#include <cstdint>
#include <optional>

#include "platform/RegexComponent.h"
#include "text/Text.h"

namespace jestlark {

// One pattern run over one subject by the scripting regular-expression
// component, and the questions that can be asked about the result. Belongs
// to the thread that made it: it lives in that thread's COM apartment.
class RegexObject {
public:
    RegexObject();
    // Shares the source's component instance and match collection.
    RegexObject(const RegexObject& source);
    RegexObject& operator=(const RegexObject&) = delete;
    ~RegexObject();

    // True when the component handed back a match collection (even an empty one).
    bool Create(const Text& pattern, const Text& subject, std::optional<bool> caseSensitive = std::nullopt,
                std::optional<bool> multiline = std::nullopt, std::optional<bool> global = std::nullopt);
    Text GetPattern() const;
    // The subject of the last Create with the matches replaced.
    Text ReplaceMatches(const Text& replacement) const;
    int32_t GetMatchCount() const;
    // matchIndex and subMatchIndex count from 1. position, when given, gets
    // the 0-based byte offset of the text found in the subject, or -2.
    Text GetMatchText(int32_t matchIndex, int32_t* position = nullptr) const;
    Text GetSubMatchText(int32_t matchIndex, int32_t subMatchIndex, int32_t* position = nullptr) const;
    // The number of groups, asked of the first match.
    int32_t GetSubMatchCount() const;

private:
    int32_t FindFrom(const ObjectRef& match, const Text& found) const;

    ObjectRef regExp;
    ObjectRef matches;
    Text subject;
    // Only an entry that took effect is balanced on destruction: a host thread
    // that lives in another apartment must keep it.
    bool enteredApartment;
};

}  // namespace jestlark
