#include "platform/posix/VbsReplacement.h"

namespace jestlark {
namespace {

void AppendSpan(std::u16string& out, std::u16string_view subject, const Span& span) {
    if (span.set) out.append(subject.substr(span.start, span.end - span.start));
}

int Digit(char16_t c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

}  // namespace

void ExpandReplacement(std::u16string_view replacement, std::u16string_view subject, const MatchSpans& match,
                       std::u16string& out) {
    const std::size_t groups = match.groups.size();
    std::size_t i = 0;
    while (i < replacement.size()) {
        const std::size_t dollar = replacement.find(u'$', i);
        if (dollar == std::u16string_view::npos || dollar + 1 == replacement.size()) {
            out.append(replacement.substr(i));
            return;
        }
        out.append(replacement.substr(i, dollar - i));
        i = dollar;
        const char16_t next = replacement[i + 1];
        if (next == '$') {
            out += u'$';
            i += 2;
        } else if (next == '&') {
            AppendSpan(out, subject, match.whole);
            i += 2;
        } else if (next == '`') {
            out.append(subject.substr(0, match.whole.start));
            i += 2;
        } else if (next == '\'') {
            out.append(subject.substr(match.whole.end));
            i += 2;
        } else {
            const int first = Digit(next);
            const int second = i + 2 < replacement.size() ? Digit(replacement[i + 2]) : -1;
            // Two digits when they name a group, else one digit when it does.
            if (first >= 0 && second >= 0 && first * 10 + second >= 1 && std::size_t(first * 10 + second) <= groups) {
                AppendSpan(out, subject, match.groups[std::size_t(first * 10 + second) - 1]);
                i += 3;
            } else if (first >= 1 && std::size_t(first) <= groups) {
                AppendSpan(out, subject, match.groups[std::size_t(first) - 1]);
                i += 2;
            } else {
                out += u'$';
                i += 1;
            }
        }
    }
}

}  // namespace jestlark
