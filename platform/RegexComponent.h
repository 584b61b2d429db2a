#pragma once
// The scripting regular-expression component ("VBScript.RegExp") and the
// objects it hands out, reached by member name as automation calls.
// Windows: the COM component through IDispatch. Elsewhere: the same members
// on PCRE2, with the component's dialect and replacement rules.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jestlark {

// An argument: a bool (VT_BOOL), an integer (VT_I4), a number (VT_R8) or a
// GBK text (a BSTR converted with the ANSI code page), read during the call only.
using AutomationArgument = std::variant<bool, int32_t, double, std::string_view>;

// get: a property, falling back to a method of that name. call: a method,
// falling back to a property. put: a property, falling back to put by reference.
enum class MemberKind { Get, Call, Put };

// How the result is read back.
enum class ReadAs { Nothing, Text, Number, Object };

class AutomationObject;
// A counted reference to one component object; copies share the object.
using ObjectRef = std::shared_ptr<AutomationObject>;

// The outcome of one call. ok is false when the call or the conversion of its
// result failed; the fields then hold the empty text, 0 and no object.
struct AutomationResult {
    bool ok = false;
    std::string text;  // GBK
    double number = 0;
    ObjectRef object;
};

class AutomationObject {
public:
    virtual ~AutomationObject() = default;
    virtual AutomationResult Invoke(std::string_view member, MemberKind kind,
                                    const std::vector<AutomationArgument>& arguments, ReadAs readAs) = 0;
};

// A fresh instance of the component, or empty when it cannot be created.
ObjectRef CreateRegexComponent();

// Test seam: while set, CreateRegexComponent fails as if the component were
// not installed.
void SetRegexComponentUnavailableForTest(bool unavailable);

}  // namespace jestlark
