#include "app/collection/ClipFragment.h"
#include "app/collection/HtmlTags.h"
#include "platform/core/CfHtml.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"

#include <gtest/gtest.h>

#include <map>

namespace ql {
namespace {

// A fragment in the style of a browser's selection (inline styles, absolute addresses).
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
    EXPECT_EQ(JoinPageLines(lines),
              "\r\n<!--StartFragment-->" + std::string(kChromiumFragment) + "<!--EndFragment-->\r\n");

    StringList windows = SplitPageLines(kWindowsCfHtml);
    CutClipFragment(windows, false);
    EXPECT_EQ(JoinPageLines(windows), "\r\n<!--StartFragment--><B>bold</B> text<!--EndFragment-->\r\n");
}

// A selection dragged out of each browser on X11, byte for byte as it offers it (the texts of
// the drop tests' drag source), turned into "HTML Format" by the drag bridge and cut for a clip.
struct BrowserDrag {
    std::vector<std::string> targets;
    std::map<std::string, std::string> bytes;

    std::string HtmlFormatText() const
    {
        auto block = drag::BuildFormat(
            RegisterClipboardFormat(kFormatHtml), targets,
            [this](const std::string& target) -> std::optional<std::string> {
                auto it = bytes.find(target);
                if (it == bytes.end())
                    return std::nullopt;
                return it->second;
            },
            nullptr);
        if (!block)
            return {};
        std::string text(block->begin(), block->end());
        return text.substr(0, text.find('\0'));
    }
};

// The fragment in UTF-8, with the line break the browsers put between the paragraphs.
const std::string kDraggedFragment = "<p style=\"color: rgb(0, 0, 0);\">Gr\xC3\xBC\xC3\x9F"
                                     "e aus dem <b>Test</b></p>\n<p>zweite Zeile</p>";
const std::u16string kDraggedFragment16 =
    u"<p style=\"color: rgb(0, 0, 0);\">Gr\u00FC\u00DFe aus dem <b>Test</b></p>\n<p>zweite Zeile</p>";
const std::string kDraggedText = "Gr\xC3\xBC\xC3\x9F"
                                 "e aus dem Test\nzweite Zeile";

std::string Utf16Le(const std::u16string& text, bool bom)
{
    std::string out = bom ? "\xFF\xFE" : "";
    for (char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

BrowserDrag ChromiumSelection()
{
    BrowserDrag d;
    d.targets = {"UTF8_STRING",       "STRING", "TEXT", "text/plain", "chromium/x-renderer-taint", "text/html",
                 "chromium/x-drag-id"};
    for (const char* t : {"UTF8_STRING", "STRING", "TEXT", "text/plain"})
        d.bytes[t] = kDraggedText;
    d.bytes["chromium/x-renderer-taint"] = "http://127.0.0.1:8799";
    d.bytes["text/html"] = Utf16Le(kDraggedFragment16, true);
    d.bytes["chromium/x-drag-id"] = std::string("\x01\x00\x00\x00", 4);
    return d;
}

BrowserDrag FirefoxSelection()
{
    BrowserDrag d;
    d.targets = {"text/_moz_htmlcontext",    "text/_moz_htmlinfo", "text/html", "text/plain",
                 "text/plain;charset=utf-8", "UTF8_STRING",        "STRING"};
    d.bytes["text/_moz_htmlcontext"] = Utf16Le(u"<html><body></body></html>", false);
    d.bytes["text/_moz_htmlinfo"] = Utf16Le(u"0,0", false);
    d.bytes["text/html"] = "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\">" + kDraggedFragment;
    for (const char* t : {"text/plain", "text/plain;charset=utf-8", "UTF8_STRING", "STRING"})
        d.bytes[t] = kDraggedText;
    return d;
}

TEST(CutClipFragment, SelectionsDraggedFromBrowsersOnX11)
{
    const std::string crlfFragment = "<p style=\"color: rgb(0, 0, 0);\">Gr\xC3\xBC\xC3\x9F"
                                     "e aus dem <b>Test</b></p>\r\n<p>zweite Zeile</p>";
    const struct {
        const char* browser;
        BrowserDrag drag;
        std::string sourceUrl;
    } cases[] = {
        {"Chromium", ChromiumSelection(), "http://127.0.0.1:8799"},
        {"Firefox", FirefoxSelection(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.browser);
        const std::string cfHtml = c.drag.HtmlFormatText();
        ASSERT_FALSE(cfHtml.empty());
        std::string sourceUrl = "unset";
        ParseCfHtmlOffsets(cfHtml, &sourceUrl);
        EXPECT_EQ(sourceUrl, c.sourceUrl);

        StringList page = SplitPageLines(cfHtml);
        CutClipFragment(page, true);
        const std::string pageText = JoinPageLines(page);
        EXPECT_EQ(pageText.rfind("<HTML><BODY>", 0), 0u) << pageText;
        EXPECT_NE(pageText.find(crlfFragment), std::string::npos) << pageText;
        EXPECT_EQ(pageText.find("SourceURL"), std::string::npos);
        EXPECT_EQ(FindNoCase(pageText, "<meta"), std::string::npos);
        EXPECT_EQ(pageText.find('\0'), std::string::npos);

        StringList appended = SplitPageLines(cfHtml);
        CutClipFragment(appended, false);
        EXPECT_EQ(JoinPageLines(appended), "\r\n<!--StartFragment-->" + crlfFragment + "<!--EndFragment-->\r\n");
    }
}

TEST(CutClipFragment, TextWithoutTheWrapper)
{
    EXPECT_EQ(CutClipFragmentText("<p>x</p>", true), "<p>x</p>");
    EXPECT_EQ(CutClipFragmentText("no markup", false), "no markup");
}

TEST(CutClipFragment, BodyOfAPastedDocument)
{
    EXPECT_EQ(DocumentBodyHtml("<html><head><title>t</title></head><body style=\"x\"><p>a</p>\r\n</body></html>"),
              "<p>a</p>\r\n");
    EXPECT_EQ(DocumentBodyHtml("<BODY><p>no end"), "<p>no end");
    EXPECT_EQ(DocumentBodyHtml("<p>no body</p>"), "<p>no body</p>");
    EXPECT_EQ(DocumentBodyHtml("<html><body"), "");
}

TEST(CutClipFragment, AppendedAddressesAreMadeAbsoluteWithoutCopying)
{
    EXPECT_EQ(
        MakeClipAddressesAbsolute("<img src=\"../a.png\"><a href='b.html?x=1&amp;y=2'>b</a><img src=\"data:x\">",
                                  "https://ex.org/d/e/p.html"),
        "<img src=\"https://ex.org/d/a.png\"><a href=\"https://ex.org/d/e/b.html?x=1&amp;y=2\">b</a><img src=\"data:x\">");
    // From a local page: paths beside it, never copied anywhere.
    EXPECT_EQ(MakeClipAddressesAbsolute("<img src=\"img/a.gif\">", "/tmp/pages/p.html"),
              "<img src=\"/tmp/pages/img/a.gif\">");
    EXPECT_EQ(MakeClipAddressesAbsolute("<img src=\"a.gif\">", ""), "<img src=\"a.gif\">");
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
