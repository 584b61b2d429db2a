#include "plugin/PostRandomJoke.h"

#include <string>

#include "fetch/FetchPage.h"
#include "platform/Clock.h"
#include "plugin/HostApi.h"
#include "plugin/JokeNumber.h"
#include "text/Cleaners.h"
#include "text/RemoveBlankLines.h"
#include "text/TextBetween.h"

#ifndef JESTLARK_JOKE_SITE
#error "JESTLARK_JOKE_SITE names the joke page prefix, scheme to /detail1/"
#endif

namespace jestlark {
namespace {

const char* const JokeDetailBase = JESTLARK_JOKE_SITE;

// The white-space runs the site's markup leaves behind, removed in this order.
const char* const LeftoverRuns[] = {
    "\n\t\t\t\t\t",
    "\t\t\n\t                                ",
    "\t\t\n\t",
    "\n\t",
};

Text CutJoke(const Text& page) {
    Text leftMarker("break-all\">");
    Text rightMarker("\xC9\xCF\xD2\xBB\xC6\xAA\xD0\xA6\xBB\xB0");  // 上一篇笑话
    return TextBetween(page, leftMarker, rightMarker);
}

}  // namespace

void PostRandomJoke(const Text& groupId) {
    const int32_t number = JokeNumberFromSeed(NextSeed(TickCount()));
    Text url(std::string(JokeDetailBase) + std::to_string(number) + ".html");

    FetchOptions options;
    options.method = 1;
    const Text page = ReadAsText(FetchPage(url, options));

    Text joke = RemoveAll(CutJoke(page), Text("&nbsp;"));
    joke = RemoveSpaces(TagStripper(joke));
    joke = RemoveBlankLines(joke);
    for (const char* run : LeftoverRuns) joke = RemoveAll(joke, Text(run));

    PostToGroup(groupId, joke);
}

}  // namespace jestlark
