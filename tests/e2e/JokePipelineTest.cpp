// The plugin's whole job through its real exports: a stand-in host loads a
// plugin built against the loopback joke site, hands it messages and reads
// what the stand-in host API was asked to post.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

#include "host/StandInHost.h"
#include "tests/e2e/JokeSite.h"

namespace jestlark::e2e {
namespace {

const std::string GroupOnly = "\xC7\xEB\xD4\xDA\xC8\xBA\xC0\xEF\xCA\xB9\xD3\xC3";
const std::string LeftMarker = "break-all\">";
const std::string RightMarker = "\xC9\xCF\xD2\xBB\xC6\xAA\xD0\xA6\xBB\xB0";  // 上一篇笑话
const std::string Group = "123456789";

std::string Page(const std::string& joke, const std::string& leftMarker = LeftMarker) {
    return "<html><body><h1>t</h1><span style=\"word-break:" + leftMarker + joke + RightMarker +
           "</a></div></body></html>";
}

class JokePipeline : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host_ = std::make_unique<StandInHost>(JESTLARK_E2E_PLUGIN, JESTLARK_E2E_CQAPI);
    }
    static void TearDownTestSuite() { host_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(host_->Error().empty()) << host_->Error();
        host_->ClearPosts();
    }

    // One group message; the reply must be the empty text and exactly one
    // post must go to the group. Returns the posted text.
    std::string PostedJoke() {
        const char* reply = host_->Handle(std::string("1"), std::string("2"), Group, std::string("10000"),
                                          std::string("#\xD0\xA6\xBB\xB0"));
        EXPECT_NE(reply, nullptr);
        if (reply) {
            EXPECT_STREQ(reply, "");
        }
        const std::vector<RecordedPost> posts = host_->Posts();
        EXPECT_EQ(posts.size(), 1u);
        if (posts.size() != 1) return "<no single post>";
        EXPECT_EQ(posts[0].groupId, Group);
        EXPECT_TRUE(posts[0].message.has_value()) << "a null message pointer was posted";
        return posts[0].message.value_or("<null>");
    }

    JokeSite site_;
    static std::unique_ptr<StandInHost> host_;
};

std::unique_ptr<StandInHost> JokePipeline::host_;

TEST_F(JokePipeline, RequestIsAPostForARandomJokePage) {
    site_.ServePage(Page("x"));
    PostedJoke();
    const std::vector<std::string> requests = site_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& request = requests[0];

    std::smatch line;
    ASSERT_TRUE(std::regex_search(request, line, std::regex("^POST /detail1/([0-9]+)\\.html HTTP/1\\.1\r\n")))
        << request;
    const int number = std::stoi(line[1]);
    EXPECT_GE(number, 1);
    EXPECT_LE(number, 17786);

    const std::string url = std::string(JESTLARK_E2E_SITE) + line[1].str() + ".html";
    const std::string accept =
        "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
        "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
        "application/msword, */*\r\n";
    const std::string referer = "Referer: " + url + "\r\n";
    const std::string language = "Accept-Language: zh-cn\r\n";
    const std::string::size_type a = request.find(accept), r = request.find(referer), l = request.find(language);
    ASSERT_NE(a, std::string::npos) << request;
    ASSERT_NE(r, std::string::npos) << request;
    ASSERT_NE(l, std::string::npos) << request;
    EXPECT_LT(a, r);
    EXPECT_LT(r, l);
    EXPECT_NE(request.find("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR "
                           "2.0.50727; .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)\r\n"),
              std::string::npos)
        << request;
    EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n") << "the POST carries no body";
    EXPECT_EQ(request.find("Cookie:"), std::string::npos);
}

struct PageCase {
    const char* name;
    std::string joke;      // the bytes between the markers
    std::string expected;  // what reaches the group
    std::string leftMarker = LeftMarker;
};

class CleanedJoke : public JokePipeline, public ::testing::WithParamInterface<PageCase> {};

TEST_P(CleanedJoke, ReachesTheGroupCleaned) {
    site_.ServePage(Page(GetParam().joke, GetParam().leftMarker));
    EXPECT_EQ(PostedJoke(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pages, CleanedJoke, ::testing::Values(
    PageCase{"EachStepTakesItsPart", "P&nbsp;Q <b>R</b>\n\t\t\t\t\tS</div><a href=\"/detail1/2.html\">", "PQRS"},
    PageCase{"OnlyTheLowerCaseNbspGoes", "a&nbsp;b&NBSP;c&amp;d&quot;e", "ab&NBSP;c&amp;d&quot;e"},
    PageCase{"TagsAcrossLines", "x<p\r\nclass=\"q\">y</p\r\n>z", "xyz"},
    PageCase{"UnclosedTagDropsTheRest", "ab<cd\r\nef", "ab"},
    PageCase{"LoneClosingBracket", "a>b", "ab"},
    PageCase{"AsciiAndFullWidthSpaces", "a b\xA1\xA1" "c d", "abcd"},
    PageCase{"A1WithAnotherTrailByteStays", "\xA1\xA2x\xA1\xA1y\xB0\xA1\xA1\xB0", "\xA1\xA2xy\xB0\xA1\xA1\xB0"},
    PageCase{"BlankAndWhiteSpaceLines", "a\r\n\r\nb\r\n \t\r\nc", "a\r\nb\r\nc"},
    PageCase{"FramingLineBreaks", "\r\na\r\n\r\n\r\nb\r\n", "a\r\nb"},
    PageCase{"RunOneBeforeRunFour", "a\n\t\t\t\t\t\tb", "a\tb"},
    PageCase{"RunTwoOnceItsSpacesAreGone", "a\t\t\n\t                                b", "ab"},
    PageCase{"RunThree", "a\t\t\n\tb", "ab"},
    PageCase{"RunFour", "a\n\tb\n\t\tc", "ab\tc"},
    PageCase{"OtherTabsAndCrStay", "a\tb\rc", "a\tb\rc"},
    PageCase{"LeftMarkerInCapitals", "xy", "xy", "BREAK-ALL\">"},
    PageCase{"SamplePageText",
             "<P>&nbsp;&nbsp;\xC0\xCF\xCA\xA6\xA3\xBA\xC4\xE3\xBA\xC3</P>\r\n\t\t\t\t\t<P>\xD0\xA1\xC3\xF7</P>",
             "\xC0\xCF\xCA\xA6\xA3\xBA\xC4\xE3\xBA\xC3\r\xD0\xA1\xC3\xF7"}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST_F(JokePipeline, PagesWithoutAJokePostTheEmptyText) {
    struct Case { const char* name; std::string page; int status; } cases[] = {
        {"no left marker", "<html>" + RightMarker + "</html>", 200},
        {"right marker only before the left", "<p>" + RightMarker + LeftMarker + "joke</p>", 200},
        {"empty body", "", 200},
        {"error page", "<html><body>Not Found</body></html>", 404},
        {"only tags and blanks", Page("<p> </p>\r\n\r\n<br>"), 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host_->ClearPosts();
        site_.ServePage(c.page);
        site_.ServeStatus(c.status);
        EXPECT_EQ(PostedJoke(), "");
    }
}

TEST_F(JokePipeline, PrivateKindsPostNothing) {
    site_.ServePage(Page("x"));
    for (const char* kind : {"1", "3"}) {
        const char* reply = host_->Handle(std::string(), std::string(kind), Group, std::string(), std::string());
        ASSERT_NE(reply, nullptr);
        EXPECT_EQ(std::string(reply), GroupOnly);
    }
    EXPECT_TRUE(host_->Posts().empty());
    EXPECT_TRUE(site_.Requests().empty());
}

TEST_F(JokePipeline, AbsentGroupPostsToTheEmptyGroup) {
    site_.ServePage(Page("x"));
    const char* reply = host_->Handle(std::nullopt, std::string("2"), std::nullopt, std::nullopt, std::nullopt);
    ASSERT_NE(reply, nullptr);
    EXPECT_STREQ(reply, "");
    const std::vector<RecordedPost> posts = host_->Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].groupId, std::string());
    EXPECT_EQ(posts[0].message, std::string("x"));
}

// The real 60-second limit: a site that never answers in time.
TEST_F(JokePipeline, StalledSitePostsTheEmptyTextAtTheLimit) {
    site_.ServePage(Page("late"));
    site_.StallSeconds(75);
    EXPECT_EQ(PostedJoke(), "");
}

}  // namespace
}  // namespace jestlark::e2e
