#pragma once
// The text rules taken literally, one character at a time: what the fast
// routines are compared with.
#include <cstddef>
#include <cstdint>
#include <string>

namespace jestlark::literal {

inline bool IsLead(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }
inline int Key(char byte, bool ignoreCase) {
    const unsigned char b = static_cast<unsigned char>(byte);
    return ignoreCase && b >= 'A' && b <= 'Z' ? b + 0x20 : b;
}

inline bool MatchesAt(const std::string& text, std::size_t at, const std::string& needle, bool ignoreCase) {
    if (text.size() - at < needle.size()) return false;
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (Key(text[at + i], ignoreCase) != Key(needle[i], ignoreCase)) return false;
    }
    return true;
}

inline int32_t Find(const std::string& subject, const std::string& needle, int32_t start, bool ignoreCase) {
    const std::size_t n = subject.size();
    const std::size_t offset = start > 1 ? std::size_t(start) - 1 : 0;
    if (offset >= n) return -1;
    if (needle.empty()) return 1;
    for (std::size_t at = offset; at < n && n - at >= needle.size(); at += IsLead(subject[at]) ? 2 : 1) {
        if (MatchesAt(subject, at, needle, ignoreCase)) return int32_t(at + 1);
    }
    return -1;
}

// Whether at begins a character when characters are counted from origin.
inline bool BeginsCharacter(const std::string& text, std::size_t origin, std::size_t at) {
    std::size_t i = origin;
    while (i < at) i += IsLead(text[i]) ? 2 : 1;
    return i == at;
}

inline std::string RemoveAll(const std::string& text, const std::string& run) {
    if (text.empty() || run.empty()) return text;
    std::string out;
    std::size_t i = 0;
    while (text.size() - i >= run.size()) {
        if (MatchesAt(text, i, run, false)) {
            i += run.size();
        } else {
            const std::size_t length = IsLead(text[i]) && i + 1 < text.size() ? 2 : 1;
            out.append(text, i, length);
            i += length;
        }
    }
    out.append(text, i, std::string::npos);
    return out;
}

// Every "#引号" becomes a double quote, scanning by characters.
inline std::string ConvertPlaceholder(const std::string& marker) {
    const std::string placeholder = "#\xD2\xFD\xBA\xC5";
    std::string out;
    std::size_t i = 0;
    while (i < marker.size()) {
        if (MatchesAt(marker, i, placeholder, false)) {
            out.push_back('"');
            i += placeholder.size();
        } else {
            const std::size_t length = IsLead(marker[i]) && i + 1 < marker.size() ? 2 : 1;
            out.append(marker, i, length);
            i += length;
        }
    }
    return out;
}

inline std::string Between(const std::string& subject, const std::string& left, const std::string& right,
                           int32_t start, bool ignoreCase) {
    const int32_t p1 = Find(subject, left, start, ignoreCase);
    if (p1 < 0) return "";
    const std::string rest = subject.substr(std::size_t(p1) - 1 + left.size());
    const int32_t p2 = Find(rest, right, 1, ignoreCase);
    return p2 < 0 ? "" : rest.substr(0, std::size_t(p2) - 1);
}

inline std::string TagStripper(const std::string& text) {
    std::string out;
    bool inside = false;
    for (char byte : text) {
        if (byte == '<') inside = true;
        else if (byte == '>') inside = false;
        else if (!inside) out.push_back(byte);
    }
    return out;
}

inline std::string RemoveSpaces(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (!IsLead(text[i])) {
            if (text[i] != ' ') out.push_back(text[i]);
            ++i;
        } else if (i + 1 == text.size()) {
            ++i;
        } else {
            if (!(text[i] == '\xA1' && text[i + 1] == '\xA1')) out.append(text, i, 2);
            i += 2;
        }
    }
    return out;
}

}  // namespace jestlark::literal
