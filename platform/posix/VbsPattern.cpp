#include "platform/posix/VbsPattern.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace jestlark {
namespace {

using Range = std::pair<char32_t, char32_t>;
using Ranges = std::vector<Range>;

// The engine runs on UTF-16 code units, one unit per character, as the
// component does.
constexpr char32_t kLastCharacter = 0xFFFF;

// Line terminators: what "." does not match and where a multiline ^ and $ stop.
const Ranges kLineTerminators = {{0x0A, 0x0A}, {0x0D, 0x0D}, {0x2028, 0x2029}};
const Ranges kDigits = {{'0', '9'}};
const Ranges kWordCharacters = {{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}};
const Ranges kWhiteSpace = {{0x09, 0x0D}, {0x20, 0x20}, {0xA0, 0xA0}, {0x1680, 0x1680}, {0x2000, 0x200A},
                            {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000},
                            {0xFEFF, 0xFEFF}};

Ranges Complement(const Ranges& ranges) {
    Ranges sorted = ranges;
    std::sort(sorted.begin(), sorted.end());
    Ranges result;
    char32_t next = 0;
    for (const Range& range : sorted) {
        if (range.first > next) result.push_back({next, range.first - 1});
        next = std::max<char32_t>(next, range.second + 1);
    }
    if (next <= kLastCharacter) result.push_back({next, kLastCharacter});
    return result;
}

void AppendCode(std::u16string& out, char32_t code) {
    static const char16_t digits[] = u"0123456789abcdef";
    out += u"\\x{";
    std::u16string hex;
    do {
        hex.insert(hex.begin(), digits[code & 0xF]);
        code >>= 4;
    } while (code);
    out += hex;
    out += u'}';
}

void AppendRanges(std::u16string& out, const Ranges& ranges) {
    for (const Range& range : ranges) {
        AppendCode(out, range.first);
        if (range.second != range.first) {
            out += u'-';
            AppendCode(out, range.second);
        }
    }
}

std::u16string ClassOf(const Ranges& ranges) {
    if (ranges.empty()) return u"(?!)";
    std::u16string out = u"[";
    AppendRanges(out, ranges);
    return out + u"]";
}

// Negated by the engine, not complemented here, so that under IgnoreCase a
// letter is excluded together with its other case.
std::u16string NegatedClassOf(const Ranges& ranges) {
    if (ranges.empty()) return ClassOf({{0, kLastCharacter}});
    std::u16string out = u"[^";
    AppendRanges(out, ranges);
    return out + u"]";
}

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsOctal(char16_t c) { return c >= '0' && c <= '7'; }
bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class Translator {
public:
    Translator(std::u16string_view pattern, bool multiline, uint32_t knownGroups)
        : pattern_(pattern), multiline_(multiline), knownGroups_(knownGroups) {}

    bool Run() {
        while (at_ < pattern_.size()) {
            if (!Step()) return false;
        }
        return depth_ == 0;
    }
    const std::u16string& Output() const { return out_; }
    uint32_t Groups() const { return groups_; }

private:
    // What the last item was, to tell whether a quantifier may follow.
    enum class Last { Nothing, Atom, Quantifier };

    bool More() const { return at_ < pattern_.size(); }
    char16_t Peek(std::size_t ahead = 0) const {
        return at_ + ahead < pattern_.size() ? pattern_[at_ + ahead] : char16_t(0);
    }

    void Atom(const std::u16string& text) {
        out_ += text;
        last_ = Last::Atom;
    }
    void Literal(char32_t code) {
        std::u16string text;
        AppendCode(text, code);
        Atom(text);
    }
    void Assertion(const std::u16string& text) {
        out_ += text;
        last_ = Last::Nothing;
    }

    bool Step() {
        const char16_t c = pattern_[at_++];
        switch (c) {
        case '\\':
            return Escape();
        case '[':
            return Class();
        case '(':
            return OpenGroup();
        case ')':
            if (depth_ == 0) return false;
            --depth_;
            out_ += u')';
            last_ = Last::Atom;
            return true;
        case '|':
            out_ += u'|';
            last_ = Last::Nothing;
            return true;
        case '^':
            Assertion(multiline_ ? u"(?<![^\\x{a}\\x{d}\\x{2028}\\x{2029}])" : u"\\A");
            return true;
        case '$':
            Assertion(multiline_ ? u"(?![^\\x{a}\\x{d}\\x{2028}\\x{2029}])" : u"\\z");
            return true;
        case '.':
            Atom(NegatedClassOf(kLineTerminators));
            return true;
        case '*':
        case '+':
        case '?':
            return Quantifier(std::u16string(1, c));
        case '{': {
            std::u16string bounds;
            if (ReadBounds(bounds)) return Quantifier(bounds);
            if (reversed_) return false;  // {3,2}
            Literal(c);
            return true;
        }
        default:
            Literal(c);
            return true;
        }
    }

    bool Quantifier(const std::u16string& text) {
        if (last_ != Last::Atom) return false;
        out_ += text;
        if (Peek() == '?') {
            out_ += u'?';
            ++at_;
        }
        last_ = Last::Quantifier;
        return true;
    }

    // {n}, {n,} or {n,m} right after the "{"; anything else leaves the "{" a literal.
    bool ReadBounds(std::u16string& bounds) {
        std::size_t scan = at_;
        auto number = [&](uint64_t& value) {
            const std::size_t start = scan;
            value = 0;
            while (scan < pattern_.size() && IsDigit(pattern_[scan])) {
                value = std::min<uint64_t>(value * 10 + (pattern_[scan] - '0'), 1u << 20);
                ++scan;
            }
            return scan > start;
        };
        uint64_t low = 0, high = 0;
        if (!number(low)) return false;
        bool open = false;
        if (scan < pattern_.size() && pattern_[scan] == ',') {
            ++scan;
            open = !number(high);
        } else {
            high = low;
        }
        if (scan >= pattern_.size() || pattern_[scan] != '}') return false;
        if (!open && high < low) {
            reversed_ = true;
            return false;
        }
        at_ = scan + 1;
        auto digits = [](uint64_t value) {
            std::u16string text;
            do {
                text.insert(text.begin(), char16_t('0' + value % 10));
                value /= 10;
            } while (value);
            return text;
        };
        bounds = u"{" + digits(low) + u"," + (open ? u"" : digits(high)) + u"}";
        return true;
    }

    bool OpenGroup() {
        if (Peek() == '?') {
            const char16_t kind = Peek(1);
            if (kind != ':' && kind != '=' && kind != '!') return false;
            out_ += u"(?";
            out_ += kind;
            at_ += 2;
        } else {
            ++groups_;
            out_ += u'(';
        }
        ++depth_;
        last_ = Last::Nothing;
        return true;
    }

    // The escapes that stand for one character, shared by classes and the
    // pattern body. Returns false when the escape is not one of them.
    bool CharacterEscape(char16_t c, char32_t& code) {
        switch (c) {
        case 'n': code = 0x0A; return true;
        case 'r': code = 0x0D; return true;
        case 't': code = 0x09; return true;
        case 'f': code = 0x0C; return true;
        case 'v': code = 0x0B; return true;
        case 'c':
            if (IsLetter(Peek())) {
                code = pattern_[at_++] % 32;
            } else {
                // Not a control escape: a backslash and the letter c.
                --at_;
                code = '\\';
            }
            return true;
        case 'x':
            if (HexValue(Peek()) >= 0 && HexValue(Peek(1)) >= 0) {
                code = char32_t(HexValue(Peek()) * 16 + HexValue(Peek(1)));
                at_ += 2;
            } else {
                code = 'x';
            }
            return true;
        case 'u':
            if (HexValue(Peek()) >= 0 && HexValue(Peek(1)) >= 0 && HexValue(Peek(2)) >= 0 && HexValue(Peek(3)) >= 0) {
                code = 0;
                for (int i = 0; i < 4; ++i) code = code * 16 + char32_t(HexValue(pattern_[at_++]));
            } else {
                code = 'u';
            }
            return true;
        default:
            return false;
        }
    }

    // Up to three octal digits, the first one already read, never above 0377.
    char32_t Octal(char16_t first) {
        char32_t code = first - '0';
        for (int i = 0; i < 2 && IsOctal(Peek()) && code * 8 + (Peek() - '0') <= 0377; ++i)
            code = code * 8 + (pattern_[at_++] - '0');
        return code;
    }

    const Ranges* ClassEscape(char16_t c, bool& negated) {
        negated = c == 'D' || c == 'W' || c == 'S';
        switch (c) {
        case 'd': case 'D': return &kDigits;
        case 'w': case 'W': return &kWordCharacters;
        case 's': case 'S': return &kWhiteSpace;
        default: return nullptr;
        }
    }

    bool Escape() {
        if (!More()) return false;
        const char16_t c = pattern_[at_++];
        bool negated = false;
        if (const Ranges* ranges = ClassEscape(c, negated)) {
            Atom(negated ? NegatedClassOf(*ranges) : ClassOf(*ranges));
            return true;
        }
        if (c == 'b' || c == 'B') {
            // Spelled out: the engine's own \b would count non-ASCII letters as word characters.
            const std::u16string word = ClassOf(kWordCharacters);
            Assertion(c == 'b' ? u"(?:(?<=" + word + u")(?!" + word + u")|(?<!" + word + u")(?=" + word + u"))"
                               : u"(?:(?<=" + word + u")(?=" + word + u")|(?<!" + word + u")(?!" + word + u"))");
            return true;
        }
        char32_t code = 0;
        if (CharacterEscape(c, code)) {
            Literal(code);
            return true;
        }
        if (c == '0') {
            Literal(Octal(c));
            return true;
        }
        if (IsDigit(c)) {
            const std::size_t start = at_ - 1;
            uint64_t number = c - '0';
            while (IsDigit(Peek()) && number <= knownGroups_) number = number * 10 + (pattern_[at_++] - '0');
            if (number <= knownGroups_) {
                std::u16string text = u"(?:\\g{";
                for (std::size_t i = start; i < at_; ++i) text += pattern_[i];
                Atom(text + u"})");
                return true;
            }
            // More than there are groups: an octal escape; \8 and \9 match nothing.
            at_ = start + 1;
            if (IsOctal(c)) Literal(Octal(c));
            else Atom(u"(?!)");
            return true;
        }
        Literal(c);
        return true;
    }

    // One class member: a character (code) or a class escape (ranges).
    bool ClassMember(char32_t& code, Ranges& ranges, bool& isSet) {
        isSet = false;
        const char16_t c = pattern_[at_++];
        if (c != '\\') {
            code = c;
            return true;
        }
        if (!More()) return false;
        const char16_t e = pattern_[at_++];
        bool negated = false;
        if (const Ranges* set = ClassEscape(e, negated)) {
            ranges = negated ? Complement(*set) : *set;
            isSet = true;
            return true;
        }
        if (e == 'b') {
            code = 0x08;
            return true;
        }
        if (CharacterEscape(e, code)) return true;
        code = IsOctal(e) ? Octal(e) : char32_t(e);
        return true;
    }

    bool Class() {
        bool negated = false;
        if (Peek() == '^') {
            negated = true;
            ++at_;
        }
        Ranges ranges;
        while (true) {
            if (!More()) return false;
            if (Peek() == ']') {
                ++at_;
                break;
            }
            char32_t low = 0;
            Ranges set;
            bool lowIsSet = false;
            if (!ClassMember(low, set, lowIsSet)) return false;
            if (lowIsSet) {
                ranges.insert(ranges.end(), set.begin(), set.end());
                continue;
            }
            if (Peek() == '-' && Peek(1) != ']' && at_ + 1 < pattern_.size()) {
                ++at_;
                char32_t high = 0;
                bool highIsSet = false;
                if (!ClassMember(high, set, highIsSet)) return false;
                // A range cannot end in a class such as \d.
                if (highIsSet) return false;
                if (high < low) return false;
                ranges.push_back({low, high});
                continue;
            }
            ranges.push_back({low, low});
        }
        Atom(negated ? NegatedClassOf(ranges) : ClassOf(ranges));
        return true;
    }

    std::u16string_view pattern_;
    bool multiline_;
    uint32_t knownGroups_;
    std::size_t at_ = 0;
    int depth_ = 0;
    uint32_t groups_ = 0;
    Last last_ = Last::Nothing;
    bool reversed_ = false;
    std::u16string out_;
};

}  // namespace

std::optional<PcrePattern> TranslateVbsPattern(std::u16string_view pattern, bool multiline) {
    // The first pass counts the groups, which decide what "\12" means.
    Translator counting(pattern, multiline, std::numeric_limits<uint32_t>::max() / 16);
    if (!counting.Run()) return std::nullopt;
    Translator translator(pattern, multiline, counting.Groups());
    if (!translator.Run()) return std::nullopt;
    return PcrePattern{translator.Output(), translator.Groups()};
}

}  // namespace jestlark
