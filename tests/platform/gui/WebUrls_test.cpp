#include "platform/gui/WebUrls.h"
#include "foundation/VekHtmlClass.h"
#include "platform/gui/WebEngineSettings.h"

#include <gtest/gtest.h>

namespace ql::web {
namespace {

TEST(FilePathToUrl, EscapesWhatWouldEndOrChangeThePath)
{
    EXPECT_EQ(FilePathToUrl("/coll/a b#1?x=%20.html"), "file:///coll/a%20b%231%3Fx=%2520.html");
    EXPECT_EQ(FilePathToUrl("/c/\xC3\xA9t\xC3\xA9.html"), "file:///c/%C3%A9t%C3%A9.html");
    EXPECT_EQ(FilePathToUrl("/c/!images\\a\"<>.gif"), "file:///c/!images%5Ca%22%3C%3E.gif");
}

TEST(FilePathToUrl, RoundTripsThroughFileUrlToPath)
{
    for (const std::string path : {"/tmp/Collection/page #1.html", "/tmp/100% sure?.html", "/a/b c/d;e=f&g.html",
                                   "/x/\xE4\xB8\xAD\xE6\x96\x87 page.htm"}) {
        EXPECT_EQ(FileUrlToPath(FilePathToUrl(path)), path) << path;
    }
}

TEST(NavigationUrl, PathsBecomeFileUrlsAndUrlsStay)
{
    EXPECT_EQ(NavigationUrl("/tmp/a#b.html"), "file:///tmp/a%23b.html");
    EXPECT_EQ(NavigationUrl("http://example.org/a b#frag"), "http://example.org/a b#frag");
    EXPECT_EQ(NavigationUrl("about:blank"), "about:blank");
    EXPECT_EQ(UrlScheme("HTTPS://x"), "https");
    EXPECT_EQ(UrlScheme("/tmp/a:b"), "");
    EXPECT_EQ(UrlScheme("c++:x"), "c++");
    EXPECT_EQ(UrlScheme("no scheme"), "");
}

TEST(UserAgent, AnEmptyTokenChangesNothing)
{
    EXPECT_EQ(ComposeUserAgent("Engine/1.0", ""), "Engine/1.0");
    EXPECT_EQ(ComposeUserAgent("Engine/1.0", "Quillory/2"), "Engine/1.0 Quillory/2");
}

}  // namespace
}  // namespace ql::web
