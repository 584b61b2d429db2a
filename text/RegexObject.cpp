#include "text/RegexObject.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "platform/Apartment.h"
#include "text/FindText.h"

namespace jestlark {
namespace {

constexpr const char* kOptionMembers[] = {"IgnoreCase", "Multiline", "Singleline", "Global", "Pattern"};

AutomationResult Invoke(const ObjectRef& on, std::string_view member, MemberKind kind,
                        std::vector<AutomationArgument> arguments, ReadAs readAs) {
    if (!on) return {};
    return on->Invoke(member, kind, arguments, readAs);
}

Text ReadText(const ObjectRef& on, std::string_view member, std::vector<AutomationArgument> arguments = {}) {
    return Text(Invoke(on, member, MemberKind::Get, std::move(arguments), ReadAs::Text).text);
}

int32_t Truncate(double number) {
    if (!(number > -2147483649.0 && number < 2147483648.0)) return 0;
    return static_cast<int32_t>(std::trunc(number));
}

int32_t ReadInteger(const ObjectRef& on, std::string_view member) {
    return Truncate(Invoke(on, member, MemberKind::Get, {}, ReadAs::Number).number);
}

ObjectRef ReadObject(const ObjectRef& on, std::string_view member, std::vector<AutomationArgument> arguments = {}) {
    return Invoke(on, member, MemberKind::Get, std::move(arguments), ReadAs::Object).object;
}

ObjectRef MatchAt(const ObjectRef& matches, int32_t matchIndex) {
    return ReadObject(matches, "Item", {double(matchIndex) - 1});
}

// The bytes taken by the first `units` characters of GBK text: the component
// counts one UTF-16 unit for each single byte and for each double-byte pair.
std::size_t BytesOfCharacters(std::string_view text, int32_t units) {
    std::size_t at = 0;
    for (int32_t i = 0; i < units && at < text.size(); ++i)
        at += static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size() ? 2 : 1;
    return at;
}

}  // namespace

RegexObject::RegexObject() : enteredApartment(EnterApartment()) {}

// The copy holds references into the apartment as long as it lives, so it
// keeps its own entry rather than relying on the source's.
RegexObject::RegexObject(const RegexObject& source)
    : regExp(source.regExp), matches(source.matches), subject(source.subject), enteredApartment(EnterApartment()) {}

RegexObject::~RegexObject() {
    matches.reset();
    regExp.reset();
    subject.clear();
    if (enteredApartment) LeaveApartment();
}

bool RegexObject::Create(const Text& pattern, const Text& subjectText, std::optional<bool> caseSensitive,
                         std::optional<bool> multiline, std::optional<bool> global) {
    const bool ignoreCase = !caseSensitive.value_or(false);
    const AutomationArgument values[] = {ignoreCase, multiline.value_or(true), true, global.value_or(true),
                                         std::string_view(pattern)};
    regExp.reset();
    regExp = CreateRegexComponent();
    for (std::size_t i = 0; i < std::size(kOptionMembers); ++i)
        Invoke(regExp, kOptionMembers[i], MemberKind::Put, {values[i]}, ReadAs::Nothing);
    matches = Invoke(regExp, "Execute", MemberKind::Call, {std::string_view(subjectText)}, ReadAs::Object).object;
    subject = subjectText;
    return matches != nullptr;
}

Text RegexObject::GetPattern() const { return ReadText(regExp, "Pattern"); }

Text RegexObject::ReplaceMatches(const Text& replacement) const {
    return Text(Invoke(regExp, "Replace", MemberKind::Call, {std::string_view(subject), std::string_view(replacement)},
                       ReadAs::Text)
                    .text);
}

int32_t RegexObject::GetMatchCount() const { return ReadInteger(matches, "Count"); }

// Finds `found` in the subject from the match's own start. The search starts
// at the byte where the match begins, so a repeated text is not found at an
// earlier match's place.
int32_t RegexObject::FindFrom(const ObjectRef& match, const Text& found) const {
    const int32_t firstIndex = ReadInteger(match, "FirstIndex");
    const bool ignoreCase = ReadText(regExp, "IgnoreCase") != "0";
    const std::size_t start = BytesOfCharacters(subject, firstIndex);
    return FindText(subject, found, int32_t(start) + 1, ignoreCase) - 1;
}

Text RegexObject::GetMatchText(int32_t matchIndex, int32_t* position) const {
    const ObjectRef match = MatchAt(matches, matchIndex);
    Text result = ReadText(match, "Value");
    if (position) *position = FindFrom(match, result);
    return result;
}

Text RegexObject::GetSubMatchText(int32_t matchIndex, int32_t subMatchIndex, int32_t* position) const {
    const ObjectRef match = MatchAt(matches, matchIndex);
    const ObjectRef subMatches = ReadObject(match, "SubMatches");
    Text result = ReadText(subMatches, "Item", {double(subMatchIndex) - 1});
    if (position) *position = FindFrom(match, result);
    return result;
}

int32_t RegexObject::GetSubMatchCount() const {
    const ObjectRef first = ReadObject(matches, "Item", {int32_t(0)});
    return ReadInteger(ReadObject(first, "SubMatches"), "Count");
}

}  // namespace jestlark
