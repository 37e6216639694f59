#include "app/ClipFragment.h"
#include "app/HtmlTags.h"
#include "platform/core/CfHtml.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

// What a Chromium selection drag gives on X11 (a bare fragment with inline styles), wrapped as
// the drag bridge hands it on.
const char kChromiumFragment[] =
    "<h2 style=\"color: rgb(32, 33, 36); font-family: Arial;\">Field notes</h2>"
    "<p style=\"margin: 0px;\">Seen on <a href=\"https://example.org/birds/wren.html\">the wren page</a>"
    "<img src=\"https://example.org/img/wren%201.jpg\" alt=\"wren\"></p>";

// The layout a Windows browser writes: its own document and body around the fragment.
const char kWindowsCfHtml[] =
    "Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000330\r\nStartFragment:0000000141\r\n"
    "EndFragment:0000000294\r\n"
    "<HTML><HEAD><TITLE>t</TITLE></HEAD>\r\n<BODY bgcolor=\"#ffffff\">\r\n<!--StartFragment--><B>bold</B> text"
    "<!--EndFragment-->\r\n</BODY>\r\n</HTML>\r\n";

TEST(CutClipFragment, NewNodeKeepsTheDocumentWithoutTheHeader)
{
    StringList lines = SplitPageLines(BuildCfHtml(kChromiumFragment, "https://example.org/"));
    CutClipFragment(lines, true);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("<HTML><BODY>", 0), 0u);
    const std::string text = JoinPageLines(lines);
    EXPECT_EQ(text.find("SourceURL"), std::string::npos);
    EXPECT_NE(text.find(kChromiumFragment), std::string::npos);

    StringList windows = SplitPageLines(kWindowsCfHtml);
    CutClipFragment(windows, true);
    EXPECT_EQ(windows.front(), "<HTML><HEAD><TITLE>t</TITLE></HEAD>");
}

TEST(CutClipFragment, AppendKeepsTheInnerBody)
{
    StringList lines = SplitPageLines(BuildCfHtml(kChromiumFragment, "https://example.org/"));
    CutClipFragment(lines, false);
    EXPECT_EQ(JoinPageLines(lines), "\r\n<!--StartFragment-->" + std::string(kChromiumFragment) + "<!--EndFragment-->\r\n");

    StringList windows = SplitPageLines(kWindowsCfHtml);
    CutClipFragment(windows, false);
    EXPECT_EQ(JoinPageLines(windows), "\r\n<!--StartFragment--><B>bold</B> text<!--EndFragment-->\r\n");
}

TEST(CutClipFragment, TextWithoutTheWrapper)
{
    EXPECT_EQ(CutClipFragmentText("<p>x</p>", true), "<p>x</p>");
    EXPECT_EQ(CutClipFragmentText("no markup", false), "no markup");
}

TEST(ClipHeaderLines, UrlsCannotBreakOutOfTheirLine)
{
    EXPECT_EQ(ClipFromLine("https://a.example/p?q=1&r=2"), "<!-- From: \"https://a.example/p?q=1&r=2\" -->");
    const std::string evil = "http://x/\" --><script>alert(1)</script><!--\r\n<base href=\"y";
    const std::string from = ClipFromLine(evil);
    EXPECT_EQ(from.find("-->"), from.size() - 3);
    EXPECT_EQ(from.find_first_of("\r\n<>", 1), from.size() - 1);
    EXPECT_EQ(std::count(from.begin(), from.end(), '"'), 2);
    const std::string base = ClipBaseLine(evil);
    EXPECT_EQ(std::count(base.begin(), base.end(), '"'), 2);
    EXPECT_EQ(base.find('>'), base.size() - 1);
    // The reader of the header finds the URL as one attribute value.
    auto tags = FindStartTags(base, {"base"});
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].Find("href")->value, HeaderSafeUrl(evil));
}

TEST(HtmlTags, ParseLinkAttributeForms)
{
    EXPECT_EQ(ParseLinkAttribute("<IMG SRC=\"a.gif\" alt=x>", true), "a.gif");
    EXPECT_EQ(ParseLinkAttribute("<img src = \"a b.gif\">", true), "a b.gif");
    EXPECT_EQ(ParseLinkAttribute("<img src=a.gif>", true), "a.gif");
    EXPECT_EQ(ParseLinkAttribute("<img alt=\"x\" src='q.png' >", true), "q.png");
    EXPECT_EQ(ParseLinkAttribute("<img data-src=\"lazy.gif\" src=\"real.gif\">", true), "real.gif");
    EXPECT_EQ(ParseLinkAttribute("<img alt=\"src=fake\">", true), "");
    EXPECT_EQ(ParseLinkAttribute("<a href=\" x.html \">link</a>", false), "x.html");
    EXPECT_EQ(ParseLinkAttribute("<a name=top>", false), "");
    EXPECT_EQ(ParseLinkAttribute("<img src=\"unterminated", true), "unterminated");
}

TEST(HtmlTags, CommentsAndScriptsAreNoMarkup)
{
    const std::string html = "<!-- <img src=c.gif> --><script>var s='<img src=s.gif>';</script>"
                             "<style>/* <img src=t.gif> */</style><IMG src=\"1.gif\"><imgx src=no><img\nsrc=2.gif/>";
    auto tags = FindStartTags(html, {"img"});
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].Find("src")->value, "1.gif");
    EXPECT_EQ(tags[1].Find("src")->value, "2.gif/");
}

TEST(HtmlTags, EntitiesAndEscapes)
{
    EXPECT_EQ(DecodeHtmlEntities("a.php?x=1&amp;y=2&#38;z&#x41;&bogus;&#0;"), "a.php?x=1&y=2&zA&bogus;&#0;");
    EXPECT_EQ(DecodeHtmlEntities("&#x20AC;"), "\xE2\x82\xAC");
    EXPECT_EQ(EscapeHtmlAttribute("a\"b&c<d>"), "a&quot;b&amp;c&lt;d&gt;");
    EXPECT_EQ(EscapeHtmlText("<b>&\""), "&lt;b&gt;&amp;\"");
}

}  // namespace
}  // namespace ql
