#include "platform/gui/PageScheme.h"
#include "platform/gui/OwnLoadGate.h"

#include <gtest/gtest.h>

namespace ql::web {
namespace {

TEST(PageSchemeTest, FileUrlsMapBothWaysAndNothingElseIsServed)
{
    EXPECT_EQ(ToPageSchemeUrl("file:///coll/a%20b%231.html"), "quillory-page:///coll/a%20b%231.html");
    EXPECT_EQ(ToPageSchemeUrl("quillory-page:///coll/x.html"), "quillory-page:///coll/x.html");
    EXPECT_EQ(ToPageSchemeUrl("http://example.org/"), "");
    EXPECT_EQ(ToPageSchemeUrl("about:blank"), "");
    EXPECT_EQ(PageSchemeUrlToFileUrl("quillory-page:///coll/x.html#top"), "file:///coll/x.html#top");
    EXPECT_EQ(PageSchemeUrlToFileUrl(kPageSchemeBlank), kPageSchemeBlank);
    EXPECT_EQ(PageSchemeUrlToFileUrl("http://example.org/"), "http://example.org/");
}

TEST(PageSchemeTest, PathsAreDecodedAndBackslashesAreFolderSeparators)
{
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page:///coll/a%20b%231.html?x=1#frag"), "/coll/a b#1.html");
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page:///coll/!images\\x.png"), "/coll/!images/x.png");
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page:///coll/!images%5Cx.png"), "/coll/!images/x.png");
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page://localhost/coll/x.html"), "/coll/x.html");
    // Another host, no absolute path, a bad escape or "%00", another scheme: nothing to read.
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page://server/coll/x.html"), "");
    EXPECT_EQ(PageSchemeUrlToPath(kPageSchemeBlank), "");
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page:///coll/%zz.html"), "");
    EXPECT_EQ(PageSchemeUrlToPath("quillory-page:///coll/x.html%00.png"), "");
    EXPECT_EQ(PageSchemeUrlToPath("file:///etc/passwd"), "");
}

TEST(OwnLoadGateTest, OnlyTheRequestedLoadAndItsRedirectsPass)
{
    OwnLoadGate gate;
    EXPECT_FALSE(gate.Decide("quillory-page:///a.html", false));  // nothing asked for yet
    gate.Expect("quillory-page:///a%20b.html");
    EXPECT_FALSE(gate.Decide("quillory-page:///other.html", false));  // a refresh racing our load
    EXPECT_TRUE(gate.Decide("quillory-page:///a b.html", false));     // the engine's own escaping
    EXPECT_TRUE(gate.Decide("http://example.org/moved", true));       // the server's redirect
    EXPECT_FALSE(gate.Decide("quillory-page:///a b.html", false));    // asked for once, let through once
    gate.LoadEnded();
    EXPECT_FALSE(gate.Decide("http://example.org/later", true));  // a page's redirect after the load
    gate.Expect("");
    EXPECT_TRUE(gate.Decide("about:blank", false));
    EXPECT_FALSE(gate.Decide("about:blank", false));
}

}  // namespace
}  // namespace ql::web
