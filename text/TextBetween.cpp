#include "text/TextBetween.h"

#include <string_view>
#include "text/FindOffset.h"

namespace jestlark {
namespace {

// "#引号" in a marker stands for a double quote.
constexpr std::string_view QuotePlaceholder = "#\xD2\xFD\xBA\xC5";

// Replaces every placeholder, left to right at character boundaries; a marker
// without one is left as it is.
void ConvertPlaceholder(Text& marker) {
    TextSearch search(QuotePlaceholder, false);
    std::size_t found = search.Find(marker, 0);
    if (found == NotFound) return;
    Text converted;
    converted.reserve(marker.size());
    std::size_t from = 0;
    while (found != NotFound) {
        converted.append(marker, from, found - from);
        converted.push_back('"');
        from = found + QuotePlaceholder.size();
        found = search.Find(marker, from);
    }
    converted.append(marker, from, std::string::npos);
    marker = std::move(converted);
}

}  // namespace

Text TextBetween(const Text& subject, Text& leftMarker, Text& rightMarker, int32_t startPosition,
                 bool caseSensitive) {
    ConvertPlaceholder(leftMarker);
    ConvertPlaceholder(rightMarker);
    const std::string_view whole(subject);
    const std::size_t offset = startPosition > 1 ? std::size_t(startPosition) - 1 : 0;
    const std::size_t left = FindOffset(whole, leftMarker, offset, !caseSensitive);
    if (left == NotFound) return Text();
    // The right marker's characters are counted from the byte behind the left marker.
    const std::string_view rest = whole.substr(left + leftMarker.size());
    const std::size_t right = FindOffset(rest, rightMarker, 0, !caseSensitive);
    if (right == NotFound) return Text();
    return Text(rest.substr(0, right));
}

Text TextBefore(const Text& subject, const Text& marker, int32_t startPosition, bool ignoreCase) {
    const std::size_t offset = startPosition > 1 ? std::size_t(startPosition) - 1 : 0;
    const std::size_t found = FindOffset(subject, marker, offset, ignoreCase);
    if (found == NotFound) return Text();
    return Text(std::string_view(subject).substr(0, found));
}

}  // namespace jestlark
