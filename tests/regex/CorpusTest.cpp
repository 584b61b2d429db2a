// Runs the corpus of patterns through the regular-expression component and
// compares every result with the one the Windows component gave (recorded
// under Wine). JESTLARK_CORPUS_OUT=<file> writes this run's results there.
//
// Wine's component loops forever on some empty matches under Global and
// crashes on one replacement; those cases are recorded as "wine-hangs" or
// "wine-crashes", are not run under Wine, and have no result to agree with.
// corpus.departures lists the cases where Wine's answer is not the Windows
// component's and ours keeps the Windows behaviour.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Apartment.h"
#include "platform/RegexComponent.h"

namespace jestlark {
namespace {

constexpr bool kUnderWine = JESTLARK_REGEX_UNDER_WINE;

struct Case {
    int line = 0;
    std::string operation;  // M: the matches; R: a replacement
    std::string flags;      // i: IgnoreCase, m: Multiline, g: Global
    std::string pattern;
    std::string subject;
    std::string replacement;
};

// \t \r \n \\ and \xHH stand for their bytes.
std::string Unescape(const std::string& field) {
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            bytes += field[i];
            continue;
        }
        const char c = field[++i];
        if (c == 't') bytes += '\t';
        else if (c == 'r') bytes += '\r';
        else if (c == 'n') bytes += '\n';
        else if (c == 'x' && i + 2 < field.size()) {
            bytes += char(std::stoi(field.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else bytes += c;
    }
    return bytes;
}

std::string Escape(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\\') text += "\\\\";
        else if (c == '"') text += "\\\"";
        else if (c == '\r') text += "\\r";
        else if (c == '\n') text += "\\n";
        else if (c == '\t') text += "\\t";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        } else text += char(c);
    }
    return text;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::vector<Case> ReadCorpus(const std::string& path) {
    std::vector<Case> cases;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = Split(line);
        if (fields.size() < 4) continue;
        Case c;
        c.line = number;
        c.operation = fields[0];
        c.flags = fields[1];
        c.pattern = Unescape(fields[2]);
        c.subject = Unescape(fields[3]);
        if (fields.size() > 4) c.replacement = Unescape(fields[4]);
        cases.push_back(c);
    }
    return cases;
}

AutomationResult Get(const ObjectRef& on, const char* member, std::vector<AutomationArgument> arguments, ReadAs readAs) {
    if (!on) return {};
    return on->Invoke(member, MemberKind::Get, arguments, readAs);
}

std::string Number(const ObjectRef& on, const char* member) {
    const AutomationResult result = Get(on, member, {}, ReadAs::Number);
    return result.ok ? std::to_string(static_cast<long long>(result.number)) : "?";
}

// One line that says everything the component answered for the case.
std::string RunCase(const Case& c) {
    const ObjectRef regExp = CreateRegexComponent();
    if (!regExp) return "no component";
    const auto put = [&](const char* member, AutomationArgument value) {
        regExp->Invoke(member, MemberKind::Put, {value}, ReadAs::Nothing);
    };
    put("IgnoreCase", c.flags.find('i') != std::string::npos);
    put("Multiline", c.flags.find('m') != std::string::npos);
    put("Global", c.flags.find('g') != std::string::npos);
    put("Pattern", c.pattern);
    std::ostringstream out;
    if (c.operation == "R") {
        const AutomationResult replaced =
            regExp->Invoke("Replace", MemberKind::Call, {c.subject, c.replacement}, ReadAs::Text);
        if (!replaced.ok) return "error";
        out << '"' << Escape(replaced.text) << '"';
        return out.str();
    }
    const AutomationResult executed = regExp->Invoke("Execute", MemberKind::Call, {c.subject}, ReadAs::Object);
    if (!executed.ok) return "error";
    const ObjectRef matches = executed.object;
    const std::string count = Number(matches, "Count");
    out << count;
    for (int i = 0; i < std::atoi(count.c_str()); ++i) {
        const ObjectRef match = Get(matches, "Item", {int32_t(i)}, ReadAs::Object).object;
        out << " [" << Number(match, "FirstIndex") << ',' << Number(match, "Length") << " \""
            << Escape(Get(match, "Value", {}, ReadAs::Text).text) << '"';
        const ObjectRef subMatches = Get(match, "SubMatches", {}, ReadAs::Object).object;
        const std::string groups = Number(subMatches, "Count");
        for (int g = 0; g < std::atoi(groups.c_str()); ++g) {
            const AutomationResult group = Get(subMatches, "Item", {int32_t(g)}, ReadAs::Text);
            out << (group.ok ? " \"" + Escape(group.text) + '"' : std::string(" ?"));
        }
        out << ']';
    }
    return out.str();
}

// Corpus line -> why Wine's answer is not the one to agree with.
std::map<int, std::string> ReadDepartures(const std::string& path) {
    std::map<int, std::string> departures;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        departures[std::atoi(line.c_str())] = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    }
    return departures;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(RegexCorpus, AgreesWithTheWindowsComponent) {
    const bool entered = EnterApartment();
    // JESTLARK_CORPUS=<file> runs another corpus, only to record its results.
    const char* otherCorpus = std::getenv("JESTLARK_CORPUS");
    const std::vector<Case> cases = ReadCorpus(otherCorpus ? otherCorpus : JESTLARK_REGEX_CORPUS);
    ASSERT_FALSE(cases.empty());
    const std::vector<std::string> expected = otherCorpus ? std::vector<std::string>()
                                                          : ReadLines(JESTLARK_REGEX_CORPUS_EXPECTED);
    ASSERT_TRUE(otherCorpus || expected.size() == cases.size()) << "the expected results do not cover the corpus";
    const char* outPath = std::getenv("JESTLARK_CORPUS_OUT");
    std::ofstream out;
    if (outPath) out.open(outPath, std::ios::binary);
    const std::map<int, std::string> departures = ReadDepartures(JESTLARK_REGEX_CORPUS_DEPARTURES);
    std::size_t agreeing = 0, compared = 0, departing = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string prefix = std::to_string(cases[i].line) + '\t';
        const bool wineFails = !expected.empty() && (expected[i] == prefix + "wine-hangs" ||
                                                     expected[i] == prefix + "wine-crashes");
        if (wineFails && kUnderWine) continue;
        const std::string result = prefix + RunCase(cases[i]);
        if (outPath) out << result << std::endl;
        if (expected.empty() || wineFails) continue;
        ++compared;
        const auto departure = departures.find(cases[i].line);
        if (result == expected[i]) ++agreeing;
        else if (departure != departures.end()) {
            ++departing;
            std::printf("corpus line %d departs from Wine: %s\n", cases[i].line, departure->second.c_str());
        } else ADD_FAILURE() << "corpus line " << cases[i].line << "\n  expected " << expected[i] << "\n  actual   "
                           << result;
    }
    if (entered) LeaveApartment();
    if (otherCorpus) GTEST_SKIP() << "results of " << otherCorpus << " recorded, not compared";
    std::printf("regex corpus: %zu of %zu compared cases agree, %zu known departures from Wine, %zu cases Wine "
                "cannot run\n",
                agreeing, compared, departing, cases.size() - compared);
    EXPECT_EQ(agreeing + departing, compared);
}

}  // namespace
}  // namespace jestlark
