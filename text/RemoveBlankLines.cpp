#include "text/RemoveBlankLines.h"

#include "platform/Apartment.h"
#include "text/RegexObject.h"

namespace jestlark {
namespace {

// A line feed, any white space, a carriage return: the blank lines between
// two CR LF line ends.
const Text kBlankLinePattern("\\n\\s*\\r");

bool StartsWithCrLf(const Text& text) { return text.size() >= 2 && text.compare(0, 2, "\r\n") == 0; }
bool EndsWithCrLf(const Text& text) { return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0; }

}  // namespace

Text RemoveBlankLines(Text& text, bool initCom) {
    Text result;
    {
        RegexObject regex;
        // The extra entry is balanced only when it took effect, like the object's own.
        const bool entered = initCom && EnterApartment();
        if (StartsWithCrLf(text)) text.erase(0, 2);
        if (EndsWithCrLf(text)) text.resize(text.size() - 2);
        regex.Create(kBlankLinePattern, text);
        result = regex.ReplaceMatches(Text());
        if (entered) LeaveApartment();
    }
    return result;
}

}  // namespace jestlark
