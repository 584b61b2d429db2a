#include "platform/RegexComponent.h"

#include <pcre2.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "platform/CodePages.h"
#include "platform/posix/AsciiCase.h"
#include "platform/posix/DbcsTable.h"
#include "platform/posix/VbsPattern.h"
#include "platform/posix/VbsReplacement.h"

namespace jestlark {
namespace {

std::atomic<bool> componentUnavailable{false};

// A text already written in GBK, for results that are built in it directly.
struct GbkText {
    std::string bytes;
};

// A value as the component hands it out: Empty, a bool, a number, a text or an object.
using Value = std::variant<std::monostate, bool, double, std::u16string, GbkText, ObjectRef>;

// Member names bind regardless of case, as automation names do.
bool NameIs(std::string_view member, std::string_view name) { return EqualIgnoringAsciiCase(member, name); }

// Texts cross this boundary in the ANSI code page, which is GBK here.
std::u16string FromGbk(std::string_view gbk) { return MultiByteToUtf16(gbk, CodePageGbk); }
std::string ToGbk(std::u16string_view units) { return Utf16ToMultiByte(units, CodePageGbk); }

std::string NumberText(double number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", number);
    return buffer;
}

// Takes a GBK text out of value rather than copying it.
AutomationResult Read(Value& value, ReadAs readAs) {
    AutomationResult read;
    switch (readAs) {
    case ReadAs::Nothing:
        read.ok = true;
        break;
    case ReadAs::Text:
        read.ok = true;
        if (const bool* flag = std::get_if<bool>(&value)) read.text = *flag ? "-1" : "0";
        else if (const double* number = std::get_if<double>(&value)) read.text = NumberText(*number);
        else if (const std::u16string* text = std::get_if<std::u16string>(&value)) read.text = ToGbk(*text);
        else if (GbkText* gbk = std::get_if<GbkText>(&value)) read.text = std::move(gbk->bytes);
        else if (std::holds_alternative<ObjectRef>(value)) read.ok = false;
        break;
    case ReadAs::Number:
        read.ok = true;
        if (const bool* flag = std::get_if<bool>(&value)) read.number = *flag ? -1 : 0;
        else if (const double* number = std::get_if<double>(&value)) read.number = *number;
        else if (std::holds_alternative<std::u16string>(value) || std::holds_alternative<GbkText>(value)) {
            const std::u16string* text = std::get_if<std::u16string>(&value);
            const std::string digits = text ? ToGbk(*text) : std::get<GbkText>(value).bytes;
            char* end = nullptr;
            read.number = std::strtod(digits.c_str(), &end);
            read.ok = !digits.empty() && end && *end == '\0';
            if (!read.ok) read.number = 0;
        } else if (std::holds_alternative<ObjectRef>(value)) read.ok = false;
        break;
    case ReadAs::Object:
        if (const ObjectRef* object = std::get_if<ObjectRef>(&value)) {
            read.ok = *object != nullptr;
            read.object = *object;
        }
        break;
    }
    return read;
}

std::optional<bool> ArgumentAsBool(const AutomationArgument& argument) {
    if (const bool* flag = std::get_if<bool>(&argument)) return *flag;
    if (const int32_t* integer = std::get_if<int32_t>(&argument)) return *integer != 0;
    if (const double* number = std::get_if<double>(&argument)) return *number != 0;
    return std::nullopt;
}

std::optional<std::u16string> ArgumentAsText(const AutomationArgument& argument) {
    if (const std::string_view* text = std::get_if<std::string_view>(&argument)) return FromGbk(*text);
    if (const bool* flag = std::get_if<bool>(&argument)) return std::u16string(*flag ? u"True" : u"False");
    if (const int32_t* integer = std::get_if<int32_t>(&argument)) return FromGbk(NumberText(*integer));
    return FromGbk(NumberText(std::get<double>(argument)));
}

// A collection index, converted the way a VT_I4 parameter would be (rounded).
std::optional<std::size_t> ArgumentAsIndex(const AutomationArgument& argument, std::size_t count) {
    double index = 0;
    if (const int32_t* integer = std::get_if<int32_t>(&argument)) index = *integer;
    else if (const double* number = std::get_if<double>(&argument)) index = std::nearbyint(*number);
    else return std::nullopt;
    if (!(index >= 0 && index < double(count))) return std::nullopt;
    return std::size_t(index);
}

using Arguments = std::vector<AutomationArgument>;

// The component's objects answer by member name; Get and Call reach the same
// members, Put only the properties.
class ComponentObject : public AutomationObject {
public:
    AutomationResult Invoke(std::string_view member, MemberKind kind, const Arguments& arguments,
                            ReadAs readAs) override {
        if (kind == MemberKind::Put) {
            AutomationResult result;
            result.ok = arguments.size() == 1 && Put(member, arguments[0]);
            return result;
        }
        std::optional<Value> value = Get(member, arguments);
        if (!value) return {};
        return Read(*value, readAs);
    }

protected:
    virtual bool Put(std::string_view, const AutomationArgument&) { return false; }
    virtual std::optional<Value> Get(std::string_view member, const Arguments& arguments) = 0;
};

// A converted subject, shared by the collections matched on it.
using SharedUnits = std::shared_ptr<const std::u16string>;

struct SubjectMatches {
    SharedUnits subject;
    std::vector<MatchSpans> matches;
};

std::u16string SpanText(const std::u16string& subject, const Span& span) {
    return span.set ? subject.substr(span.start, span.end - span.start) : std::u16string();
}

class SubMatchesObject final : public ComponentObject {
public:
    SubMatchesObject(std::shared_ptr<const SubjectMatches> all, std::size_t index) : all_(std::move(all)), index_(index) {}

private:
    std::optional<Value> Get(std::string_view member, const Arguments& arguments) override {
        const MatchSpans& match = all_->matches[index_];
        if (NameIs(member, "Count") && arguments.empty()) return Value(double(match.groups.size()));
        if (NameIs(member, "Item") && arguments.size() == 1) {
            const std::optional<std::size_t> at = ArgumentAsIndex(arguments[0], match.groups.size());
            if (!at) return std::nullopt;
            const Span& span = match.groups[*at];
            // A group that took part in no match is Empty.
            if (!span.set) return Value();
            return Value(SpanText(*all_->subject, span));
        }
        return std::nullopt;
    }

    std::shared_ptr<const SubjectMatches> all_;
    std::size_t index_;
};

class MatchObject final : public ComponentObject {
public:
    MatchObject(std::shared_ptr<const SubjectMatches> all, std::size_t index) : all_(std::move(all)), index_(index) {}

private:
    std::optional<Value> Get(std::string_view member, const Arguments& arguments) override {
        if (!arguments.empty()) return std::nullopt;
        const Span& whole = all_->matches[index_].whole;
        if (NameIs(member, "Value")) return Value(SpanText(*all_->subject, whole));
        if (NameIs(member, "FirstIndex")) return Value(double(whole.start));
        if (NameIs(member, "Length")) return Value(double(whole.end - whole.start));
        if (NameIs(member, "SubMatches")) return Value(ObjectRef(std::make_shared<SubMatchesObject>(all_, index_)));
        return std::nullopt;
    }

    std::shared_ptr<const SubjectMatches> all_;
    std::size_t index_;
};

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

// One compiled pattern with the options it was compiled for.
class CompiledPattern {
public:
    static std::optional<CompiledPattern> Compile(const std::u16string& pattern, bool ignoreCase, bool multiline) {
        std::optional<PcrePattern> translated = TranslateVbsPattern(pattern, multiline);
        if (!translated) return std::nullopt;
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        // UCP for case folding beyond ASCII; the classes are spelled out, so it
        // changes nothing else.
        const uint32_t options = PCRE2_UCP | PCRE2_MATCH_UNSET_BACKREF | (ignoreCase ? PCRE2_CASELESS : 0);
        std::unique_ptr<pcre2_code, CodeFree> code(
            pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated->source.data()), translated->source.size(),
                          options, &error, &errorOffset, nullptr));
        if (!code) return std::nullopt;
        const bool jit = pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
        std::unique_ptr<pcre2_match_data, MatchDataFree> data(pcre2_match_data_create_from_pattern(code.get(), nullptr));
        if (!data) return std::nullopt;
        return CompiledPattern(pattern, ignoreCase, multiline, translated->groups, jit, std::move(code),
                               std::move(data));
    }

    bool CompiledFor(const std::u16string& pattern, bool ignoreCase, bool multiline) const {
        return pattern_ == pattern && ignoreCase_ == ignoreCase && multiline_ == multiline;
    }

    // Every match (the first only unless global), stepping one unit past an
    // empty match. False when matching fails with an error.
    template <typename OnMatch>
    bool ForEachMatch(const std::u16string& subject, bool global, OnMatch&& onMatch) {
        const PCRE2_SPTR units = reinterpret_cast<PCRE2_SPTR>(subject.data());
        MatchSpans spans;
        spans.groups.resize(groups_);
        for (std::size_t from = 0; from <= subject.size();) {
            // The JIT entry skips the checks pcre2_match repeats on every call.
            const int rc = jit_ ? pcre2_jit_match(code_.get(), units, subject.size(), from, 0, data_.get(), nullptr)
                                : pcre2_match(code_.get(), units, subject.size(), from, 0, data_.get(), nullptr);
            if (rc == PCRE2_ERROR_NOMATCH) return true;
            if (rc < 0) return false;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_.get());
            const uint32_t pairs = pcre2_get_ovector_count(data_.get());
            spans.whole = {ovector[0], ovector[1], true};
            for (uint32_t g = 0; g < groups_; ++g) {
                const bool set = g + 1 < pairs && int(g + 1) < rc && ovector[2 * (g + 1)] != PCRE2_UNSET;
                spans.groups[g] = set ? Span{ovector[2 * (g + 1)], ovector[2 * (g + 1) + 1], true} : Span{};
            }
            onMatch(spans);
            if (!global) return true;
            from = spans.whole.end == spans.whole.start ? spans.whole.end + 1 : spans.whole.end;
        }
        return true;
    }

private:
    CompiledPattern(std::u16string pattern, bool ignoreCase, bool multiline, uint32_t groups, bool jit,
                    std::unique_ptr<pcre2_code, CodeFree> code, std::unique_ptr<pcre2_match_data, MatchDataFree> data)
        : pattern_(std::move(pattern)), ignoreCase_(ignoreCase), multiline_(multiline), groups_(groups), jit_(jit),
          code_(std::move(code)), data_(std::move(data)) {}

    std::u16string pattern_;
    bool ignoreCase_;
    bool multiline_;
    uint32_t groups_;
    bool jit_;
    std::unique_ptr<pcre2_code, CodeFree> code_;
    std::unique_ptr<pcre2_match_data, MatchDataFree> data_;
};

// The collection "Execute" hands out. The matching runs when the collection
// is first asked, once; the pattern and options are those of the Execute.
class MatchCollectionObject final : public ComponentObject {
public:
    MatchCollectionObject(std::shared_ptr<CompiledPattern> compiled, bool global, SharedUnits subject)
        : compiled_(std::move(compiled)), global_(global), subject_(std::move(subject)) {}

private:
    std::optional<Value> Get(std::string_view member, const Arguments& arguments) override {
        if (!Matched()) return std::nullopt;
        if (NameIs(member, "Count") && arguments.empty()) return Value(double(all_->matches.size()));
        if (NameIs(member, "Item") && arguments.size() == 1) {
            const std::optional<std::size_t> at = ArgumentAsIndex(arguments[0], all_->matches.size());
            if (!at) return std::nullopt;
            return Value(ObjectRef(std::make_shared<MatchObject>(all_, *at)));
        }
        return std::nullopt;
    }

    bool Matched() {
        if (all_ || !compiled_) return all_ != nullptr;
        auto all = std::make_shared<SubjectMatches>();
        all->subject = std::move(subject_);
        const bool done = compiled_->ForEachMatch(*all->subject, global_,
                                                  [&](const MatchSpans& spans) { all->matches.push_back(spans); });
        compiled_.reset();
        if (done) all_ = std::move(all);
        return done;
    }

    std::shared_ptr<CompiledPattern> compiled_;
    bool global_;
    SharedUnits subject_;
    std::shared_ptr<const SubjectMatches> all_;
};

class RegExpObject final : public ComponentObject {
private:
    bool Put(std::string_view member, const AutomationArgument& argument) override {
        if (NameIs(member, "Pattern")) {
            const std::optional<std::u16string> text = ArgumentAsText(argument);
            if (text) pattern_ = *text;
            return text.has_value();
        }
        bool* option = Option(member);
        const std::optional<bool> flag = ArgumentAsBool(argument);
        if (!option || !flag) return false;
        *option = *flag;
        return true;
    }

    std::optional<Value> Get(std::string_view member, const Arguments& arguments) override {
        if (arguments.empty()) {
            if (NameIs(member, "Pattern")) return Value(pattern_);
            if (bool* option = Option(member)) return Value(*option);
            return std::nullopt;
        }
        SharedUnits subject = SubjectText(arguments[0]);
        if (!subject) return std::nullopt;
        if (NameIs(member, "Execute") && arguments.size() == 1) return Execute(std::move(subject));
        if (NameIs(member, "Replace") && arguments.size() == 2) {
            const std::optional<std::u16string> replacement = ArgumentAsText(arguments[1]);
            if (!replacement) return std::nullopt;
            return Replace(*subject, *replacement);
        }
        return std::nullopt;
    }

    // "Execute" and then "Replace" on one subject is the usual sequence: the
    // last subject's conversion is kept for the next call, and shared with
    // the collection rather than copied.
    SharedUnits SubjectText(const AutomationArgument& argument) {
        const std::string_view* gbk = std::get_if<std::string_view>(&argument);
        if (!gbk) {
            std::optional<std::u16string> text = ArgumentAsText(argument);
            return text ? std::make_shared<const std::u16string>(std::move(*text)) : nullptr;
        }
        if (!lastSubjectUnits_ || *gbk != lastSubject_) {
            lastSubject_.assign(gbk->data(), gbk->size());
            lastSubjectUnits_ = std::make_shared<const std::u16string>(FromGbk(*gbk));
        }
        return lastSubjectUnits_;
    }

    bool* Option(std::string_view member) {
        if (NameIs(member, "IgnoreCase")) return &ignoreCase_;
        if (NameIs(member, "Global")) return &global_;
        if (NameIs(member, "Multiline")) return &multiline_;
        return nullptr;
    }

    std::shared_ptr<CompiledPattern> Compiled() {
        if (!compiled_ || !compiled_->CompiledFor(pattern_, ignoreCase_, multiline_)) {
            std::optional<CompiledPattern> fresh = CompiledPattern::Compile(pattern_, ignoreCase_, multiline_);
            compiled_ = fresh ? std::make_shared<CompiledPattern>(std::move(*fresh)) : nullptr;
        }
        return compiled_;
    }

    std::optional<Value> Execute(SharedUnits subject) {
        std::shared_ptr<CompiledPattern> compiled = Compiled();
        if (!compiled) return std::nullopt;
        return Value(ObjectRef(std::make_shared<MatchCollectionObject>(std::move(compiled), global_, std::move(subject))));
    }

    std::optional<Value> Replace(const std::u16string& subject, const std::u16string& replacement) {
        std::shared_ptr<CompiledPattern> compiled = Compiled();
        if (!compiled) return std::nullopt;
        // The result is written in GBK as it is built, piece by piece, rather
        // than as a whole UTF-16 text converted afterwards.
        const DbcsTable& gbk = DbcsTable::ForCodePage(CodePageGbk);
        const std::u16string_view units(subject);
        GbkText result;
        // Room for the bytes of the subject; only what is written is touched.
        result.bytes.reserve(2 * subject.size());
        std::size_t copied = 0;
        const bool plain = replacement.find(u'$') == std::u16string::npos;
        const std::string plainBytes = plain ? ToGbk(replacement) : std::string();
        std::u16string expanded;
        const bool done = compiled->ForEachMatch(subject, global_, [&](const MatchSpans& spans) {
            gbk.EncodeAppend(units.substr(copied, spans.whole.start - copied), result.bytes);
            if (plain) {
                result.bytes += plainBytes;
            } else {
                expanded.clear();
                ExpandReplacement(replacement, subject, spans, expanded);
                gbk.EncodeAppend(expanded, result.bytes);
            }
            copied = spans.whole.end;
        });
        if (!done) return std::nullopt;
        gbk.EncodeAppend(units.substr(copied), result.bytes);
        return Value(std::move(result));
    }

    bool ignoreCase_ = false;
    bool global_ = false;
    bool multiline_ = false;
    std::u16string pattern_;
    std::shared_ptr<CompiledPattern> compiled_;
    std::string lastSubject_;
    SharedUnits lastSubjectUnits_;
};

}  // namespace

ObjectRef CreateRegexComponent() {
    if (componentUnavailable) return {};
    return std::make_shared<RegExpObject>();
}

void SetRegexComponentUnavailableForTest(bool unavailable) { componentUnavailable = unavailable; }

}  // namespace jestlark
