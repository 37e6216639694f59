#include "platform/core/DragFormats.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/core/CfHtml.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/TextEncoding.h"

namespace ql {
namespace {

std::string Le16(const std::string& utf8, bool bom)
{
    return (bom ? std::string("\xFF\xFE", 2) : std::string()) + Utf8ToUtf16Le(utf8);
}

long HeaderNumber(const std::string& text, const std::string& key)
{
    std::size_t p = text.find("\r\n" + key + ":");
    EXPECT_NE(p, std::string::npos) << key;
    return std::stol(text.substr(p + key.size() + 3, 10));
}

TEST(TextEncoding, DecodesMarksUnmarkedUtf16AndLatin1)
{
    EXPECT_EQ(DecodeTextPayload(Le16("Grüße €", true)), "Grüße €");
    EXPECT_EQ(DecodeTextPayload(Le16("Grüße €", false)), "Grüße €");
    std::string be = "\xFE\xFF";
    be += std::string("\0A\0b", 4);
    EXPECT_EQ(DecodeTextPayload(be), "Ab");
    EXPECT_EQ(DecodeTextPayload(std::string("\0A\0b", 4)), "Ab");
    EXPECT_EQ(DecodeTextPayload("\xEF\xBB\xBFplain"), "plain");
    EXPECT_EQ(DecodeTextPayload(std::string("text\0\0", 6)), "text");
    EXPECT_EQ(DecodeTextPayload("caf\xE9"), "caf\xC3\xA9");
    // A character outside the basic plane survives the round trip through surrogates.
    EXPECT_EQ(DecodeTextPayload(Le16("a\xF0\x9F\x98\x80z", true)), "a\xF0\x9F\x98\x80z");
}

TEST(TextEncoding, PrefixesNeverSplitACharacter)
{
    EXPECT_EQ(Utf8PrefixChars("äöüx", 2), "äö");
    EXPECT_EQ(Utf8PrefixChars("ab", 5), "ab");
    EXPECT_EQ(Utf8PrefixBytes("aä", 2), "a");
    EXPECT_EQ(Utf8PrefixBytes("aä", 3), "aä");
}

TEST(CfHtml, OffsetsCutOutExactlyTheFragmentAndDocument)
{
    const std::string fragment = "<p style=\"color:red\">Grüße &amp; <b>mehr</b></p>";
    std::string text = BuildCfHtml(fragment, "https://example.org");
    long sh = HeaderNumber(text, "StartHTML"), eh = HeaderNumber(text, "EndHTML");
    long sf = HeaderNumber(text, "StartFragment"), ef = HeaderNumber(text, "EndFragment");
    EXPECT_EQ(text.substr(sf, ef - sf), fragment);
    EXPECT_EQ(HeaderNumber(text, "StartSelection"), sf);
    EXPECT_EQ(HeaderNumber(text, "EndSelection"), ef);
    EXPECT_EQ(text.substr(sh, 12), "<HTML><BODY>");
    EXPECT_EQ(static_cast<std::size_t>(eh), text.size());
    EXPECT_EQ(text.substr(sf - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(text.substr(ef, 18), "<!--EndFragment-->");
    EXPECT_EQ(CfHtmlFragment(text), fragment);
}

TEST(CfHtml, HeaderLinesInOrderWithSourceUrlOnLineSeven)
{
    std::string text = BuildCfHtml("x", "https://a.example:8443");
    std::vector<std::string> lines;
    for (std::size_t p = 0, e; (e = text.find("\r\n", p)) != std::string::npos; p = e + 2)
        lines.push_back(text.substr(p, e - p));
    const char* keys[] = {"Version:",     "StartHTML:",      "EndHTML:",      "StartFragment:",
                          "EndFragment:", "StartSelection:", "EndSelection:", "SourceURL:"};
    ASSERT_GE(lines.size(), 9u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(lines[i].rfind(keys[i], 0), 0u) << i;
    EXPECT_EQ(lines[7].substr(10), "https://a.example:8443");
    EXPECT_EQ(lines[8], "<HTML><BODY>");
}

TEST(CfHtml, MissingSourceUrlAndBreaksInItKeepTheHeaderIntact)
{
    std::string empty = BuildCfHtml("<i>y</i>", "");
    EXPECT_NE(empty.find("\r\nSourceURL:\r\n<HTML><BODY>"), std::string::npos);
    std::string hostile = BuildCfHtml("<i>y</i>", "http://x/\r\nStartHTML:0000000001");
    std::string url;
    CfHtmlOffsets o = ParseCfHtmlOffsets(hostile, &url);
    EXPECT_EQ(url, "http://x/StartHTML:0000000001");
    EXPECT_EQ(hostile.substr(o.startFragment, o.endFragment - o.startFragment), "<i>y</i>");
}

TEST(CfHtml, FragmentOfForeignTextIsBoundsChecked)
{
    EXPECT_EQ(CfHtmlFragment("Version:1.0\r\nStartFragment:0000000010\r\nEndFragment:0000099999\r\n<p>"), "");
    EXPECT_EQ(CfHtmlFragment("<HTML>no header"), "");
}

TEST(CfHtml, DropsTheLeadingContentTypeMetaLineOnly)
{
    EXPECT_EQ(
        DropLeadingContentTypeMeta("<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\">\n<b>x</b>"),
        "<b>x</b>");
    EXPECT_EQ(DropLeadingContentTypeMeta("<b>x</b><meta http-equiv=\"content-type\">"),
              "<b>x</b><meta http-equiv=\"content-type\">");
}

TEST(FileDropFormats, HDropRoundTripAndHostileBlocks)
{
    std::vector<std::string> paths{"/tmp/a b.txt", "/home/ü/c"};
    auto block = BuildHDrop(paths);
    EXPECT_EQ(block.size(), 20u + 13 + 11 + 1);
    EXPECT_EQ(block[0], 20);
    EXPECT_EQ(ParseHDrop(block), paths);
    EXPECT_TRUE(ParseHDrop(BuildHDrop({})).empty());

    auto badOffset = block;
    badOffset[0] = 0xFF;
    badOffset[1] = 0xFF;
    EXPECT_TRUE(ParseHDrop(badOffset).empty());
    EXPECT_TRUE(ParseHDrop(std::vector<std::uint8_t>(block.begin(), block.begin() + 10)).empty());
    auto unterminated = std::vector<std::uint8_t>(block.begin(), block.begin() + 24);
    EXPECT_EQ(ParseHDrop(unterminated), std::vector<std::string>{"/tmp"});

    // A wide list, as other programs may send.
    std::vector<std::uint8_t> wide(20, 0);
    wide[0] = 20;
    wide[16] = 1;
    std::string units = Utf8ToUtf16Le("/x/ä") + std::string(4, '\0');
    wide.insert(wide.end(), units.begin(), units.end());
    EXPECT_EQ(ParseHDrop(wide), std::vector<std::string>{"/x/ä"});
}

TEST(FileDropFormats, FileGroupDescriptorLayoutAndBoundedRead)
{
    auto block = BuildFileGroupDescriptor("Example Domain.url");
    ASSERT_EQ(block.size(), 336u);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()) + 76), "Example Domain.url");
    EXPECT_EQ(FirstFileDescriptorName(block), "Example Domain.url");

    // Truncated anywhere: never read past the end.
    EXPECT_EQ(FirstFileDescriptorName(std::vector<std::uint8_t>(block.begin(), block.begin() + 80)), "Exam");
    EXPECT_EQ(FirstFileDescriptorName(std::vector<std::uint8_t>(block.begin(), block.begin() + 50)), "");
    EXPECT_EQ(FirstFileDescriptorName({}), "");

    // A long title is cut to the 259-byte field on a character boundary.
    std::string longName(258, 'a');
    longName += "ü.url";
    std::string cut = FirstFileDescriptorName(BuildFileGroupDescriptor(longName));
    EXPECT_EQ(cut, std::string(258, 'a'));
    EXPECT_EQ(StripExtension("Example Domain.url"), "Example Domain");
    EXPECT_EQ(StripExtension("v1.2 notes.url"), "v1.2 notes");
    EXPECT_EQ(StripExtension(".url"), "");  // a link without a title
    EXPECT_EQ(StripExtension("dir.d/name"), "dir.d/name");
    EXPECT_EQ(StripExtension("noext"), "noext");
}

TEST(DragFormats, UriListGivesLocalFilesOnly)
{
    auto files = drag::FilePathsFromUriList(
        "# comment\r\nfile:///home/u/a%20b.txt\r\nhttp://x/y\r\nfile://localhost/etc/h%C3%BCt\r\n"
        "file://otherhost/z\r\nfile:///bad%00nul\r\nfile:///q%zz\n");
    EXPECT_EQ(files, (std::vector<std::string>{"/home/u/a b.txt", "/etc/hüt"}));
    EXPECT_EQ(drag::FileUriFromPath("/home/u/a b#.txt"), "file:///home/u/a%20b%23.txt");
    EXPECT_EQ(drag::FilePathsFromUriList(drag::FileUriFromPath("/a b/ü%")), std::vector<std::string>{"/a b/ü%"});
}

TEST(DragFormats, UrlTitleAndTaint)
{
    std::string url, title;
    ASSERT_TRUE(drag::SplitUrlAndTitle(Le16("https://e.org/p?q=1\nExample Domain", false), url, title));
    EXPECT_EQ(url, "https://e.org/p?q=1");
    EXPECT_EQ(title, "Example Domain");
    ASSERT_TRUE(drag::SplitUrlAndTitle("https://e.org/\r\nT", url, title));
    EXPECT_EQ(title, "T");
    EXPECT_FALSE(drag::SplitUrlAndTitle("\nonly title", url, title));
    EXPECT_EQ(drag::SourceUrlFromTaint("https://e.org:8080"), "https://e.org:8080");
    EXPECT_EQ(drag::SourceUrlFromTaint(Le16("http://127.0.0.1:8799", true)), "http://127.0.0.1:8799");
    EXPECT_EQ(drag::SourceUrlFromTaint("null"), "");
}

// A recorded drag source: targets and their bytes, with every request logged.
struct FakeSource {
    std::vector<std::string> targets;
    std::map<std::string, std::string> bytes;
    std::vector<std::string> asked;
    drag::Fetcher Fetch()
    {
        return [this](const std::string& t) -> std::optional<std::string> {
            asked.push_back(t);
            auto it = bytes.find(t);
            if (it == bytes.end())
                return std::nullopt;
            return it->second;
        };
    }
};

std::uint32_t Cf(const char* name) { return RegisterClipboardFormat(name); }

std::string BlockText(const std::optional<std::vector<std::uint8_t>>& b)
{
    if (!b)
        return "<none>";
    std::string s(b->begin(), b->end());
    return s.substr(0, s.find('\0'));
}

bool DecodeTwoByTwo(std::string_view bytes, RgbaImage& out)
{
    if (bytes != "PNGDATA")
        return false;
    out.width = 2;
    out.height = 2;
    out.rgba = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    return true;
}

TEST(DragFormats, ChromiumSelectionBecomesHtmlWithOriginAndText)
{
    FakeSource s;
    s.targets = {"UTF8_STRING",       "STRING", "TEXT", "text/plain", "chromium/x-renderer-taint", "text/html",
                 "chromium/x-drag-id"};
    s.bytes["text/html"] = Le16("<b style=\"x\">Grüße</b>", true);
    s.bytes["chromium/x-renderer-taint"] = "http://127.0.0.1:8799";
    s.bytes["UTF8_STRING"] = "Grüße";
    EXPECT_EQ(drag::OfferedFormats(s.targets, true), (std::vector<std::uint32_t>{Cf(kFormatHtml), CF_TEXT}));

    std::string html = BlockText(drag::BuildFormat(Cf(kFormatHtml), s.targets, s.Fetch(), nullptr));
    EXPECT_EQ(CfHtmlFragment(html), "<b style=\"x\">Grüße</b>");
    std::string src;
    ParseCfHtmlOffsets(html, &src);
    EXPECT_EQ(src, "http://127.0.0.1:8799");
    EXPECT_EQ(BlockText(drag::BuildFormat(CF_TEXT, s.targets, s.Fetch(), nullptr)), "Grüße");
    // Never a target the source did not offer.
    for (const auto& t : s.asked)
        EXPECT_TRUE(drag::Offers(s.targets, t)) << t;
}

// A source may fail to hand over a large selection's markup: the origin is asked for first, so
// it is had even when the markup then times out.
TEST(DragFormats, OriginIsAskedBeforeTheMarkup)
{
    FakeSource s;
    s.targets = {"UTF8_STRING", "chromium/x-renderer-taint", "text/html"};
    s.bytes["chromium/x-renderer-taint"] = "http://127.0.0.1:8799";
    EXPECT_FALSE(drag::BuildFormat(Cf(kFormatHtml), s.targets, s.Fetch(), nullptr));
    EXPECT_EQ(s.asked, (std::vector<std::string>{"chromium/x-renderer-taint", "text/html"}));
}

TEST(DragFormats, FirefoxSelectionLosesMetaLineAndHasNoSourceUrl)
{
    FakeSource s;
    s.targets = {"text/_moz_htmlcontext",    "text/_moz_htmlinfo", "text/html", "text/plain",
                 "text/plain;charset=utf-8", "UTF8_STRING",        "STRING"};
    s.bytes["text/html"] = "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"><p>Hi</p>";
    s.bytes["text/plain;charset=utf-8"] = "Hi";
    s.bytes["text/plain"] = "wrong choice";
    std::string html = BlockText(drag::BuildFormat(Cf(kFormatHtml), s.targets, s.Fetch(), nullptr));
    EXPECT_EQ(CfHtmlFragment(html), "<p>Hi</p>");
    EXPECT_NE(html.find("\r\nSourceURL:\r\n"), std::string::npos);
    EXPECT_EQ(BlockText(drag::BuildFormat(CF_TEXT, s.targets, s.Fetch(), nullptr)), "Hi");
}

TEST(DragFormats, LinkGivesUrlFormatsAndDescriptorFromTitle)
{
    FakeSource s;
    s.targets = {"text/x-moz-url",      "_NETSCAPE_URL", "text/x-moz-url-data",
                 "text/x-moz-url-desc", "text/html",     "text/plain"};
    s.bytes["text/x-moz-url"] = Le16("https://e.org/a\nA Title", false);
    auto offered = drag::OfferedFormats(s.targets, true);
    EXPECT_EQ(offered, (std::vector<std::uint32_t>{Cf(kFormatUrl), Cf(kFormatFileGroupDescriptor),
                                                   Cf(kFormatNetscapeBookmark), Cf(kFormatHtml), CF_TEXT}));
    EXPECT_EQ(BlockText(drag::BuildFormat(Cf(kFormatUrl), s.targets, s.Fetch(), nullptr)), "https://e.org/a");
    EXPECT_EQ(BlockText(drag::BuildFormat(Cf(kFormatNetscapeBookmark), s.targets, s.Fetch(), nullptr)),
              "https://e.org/a");
    auto fgd = drag::BuildFormat(Cf(kFormatFileGroupDescriptor), s.targets, s.Fetch(), nullptr);
    ASSERT_TRUE(fgd);
    EXPECT_EQ(FirstFileDescriptorName(*fgd), "A Title.url");

    // When text/x-moz-url yields nothing, _NETSCAPE_URL (UTF-8) stands in.
    FakeSource n;
    n.targets = {"_NETSCAPE_URL"};
    n.bytes["_NETSCAPE_URL"] = "https://n.org/\nN";
    EXPECT_EQ(BlockText(drag::BuildFormat(Cf(kFormatUrl), n.targets, n.Fetch(), nullptr)), "https://n.org/");
}

TEST(DragFormats, FilesFromUriListButNotForBrowserPictures)
{
    FakeSource f;
    f.targets = {"text/uri-list", "text/plain"};
    f.bytes["text/uri-list"] = "file:///tmp/a.txt\r\nfile:///tmp/b%20c.png\r\n";
    EXPECT_EQ(drag::OfferedFormats(f.targets, false),
              (std::vector<std::uint32_t>{Cf(kFormatFileName), CF_TEXT, CF_HDROP}));
    EXPECT_EQ(BlockText(drag::BuildFormat(Cf(kFormatFileName), f.targets, f.Fetch(), nullptr)), "/tmp/a.txt");
    auto hdrop = drag::BuildFormat(CF_HDROP, f.targets, f.Fetch(), nullptr);
    ASSERT_TRUE(hdrop);
    EXPECT_EQ(ParseHDrop(*hdrop), (std::vector<std::string>{"/tmp/a.txt", "/tmp/b c.png"}));

    f.bytes["text/uri-list"] = "https://only.web/x.png\r\n";
    EXPECT_FALSE(drag::BuildFormat(CF_HDROP, f.targets, f.Fetch(), nullptr));

    // Files from a Qt file manager: Qt adds text/x-moz-url to every address list.
    std::vector<std::string> qtFiles{"text/uri-list", "text/x-moz-url", "text/plain"};
    EXPECT_EQ(drag::OfferedFormats(qtFiles, false),
              (std::vector<std::uint32_t>{Cf(kFormatFileName), CF_TEXT, CF_HDROP}));
    // With a page's markup or _NETSCAPE_URL beside them, the addresses are a browser's link.
    for (const char* browser : {"text/html", "_NETSCAPE_URL"}) {
        std::vector<std::string> link = qtFiles;
        link.emplace_back(browser);
        auto formats = drag::OfferedFormats(link, false);
        EXPECT_EQ(formats.front(), Cf(kFormatUrl)) << browser;
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_HDROP), 0) << browser;
    }

    std::vector<std::string> firefoxImage{"text/x-moz-url", "_NETSCAPE_URL", "image/png", "image/jpeg",
                                          "text/uri-list"};
    auto offered = drag::OfferedFormats(firefoxImage, true);
    EXPECT_EQ(std::count(offered.begin(), offered.end(), CF_HDROP), 0);
    EXPECT_EQ(std::count(offered.begin(), offered.end(), CF_DIB), 1);
}

TEST(DragFormats, PicturesBecomeBottomUpDibs)
{
    FakeSource c;  // as a browser offers a dragged picture's original bytes
    c.targets = {"text/x-moz-url", "UTF8_STRING",     "_NETSCAPE_URL",
                 "text/html",      "XdndDirectSave0", "application/octet-stream"};
    c.bytes["application/octet-stream"] = "PNGDATA";
    EXPECT_EQ(drag::OfferedFormats(c.targets, false).back(), CF_TEXT);  // no decoder, no picture
    auto dib = drag::BuildFormat(CF_DIB, c.targets, c.Fetch(), DecodeTwoByTwo);
    ASSERT_TRUE(dib);
    ASSERT_EQ(dib->size(), 40u + 16);
    EXPECT_EQ((*dib)[0], 40);
    EXPECT_EQ((*dib)[4], 2);
    EXPECT_EQ((*dib)[8], 2);
    EXPECT_EQ((*dib)[14], 32);
    // First stored row is the bottom row (pixels 9..16), red and blue swapped.
    EXPECT_EQ(std::vector<std::uint8_t>(dib->begin() + 40, dib->begin() + 44),
              (std::vector<std::uint8_t>{11, 10, 9, 12}));
    EXPECT_EQ(std::count(c.asked.begin(), c.asked.end(), "XdndDirectSave0"), 0);

    // Octet-stream without the marker of a dragged picture is not taken as one.
    EXPECT_EQ(drag::OfferedFormats({"application/octet-stream"}, true), std::vector<std::uint32_t>{});
    c.bytes["application/octet-stream"] = "not a picture";
    EXPECT_FALSE(drag::BuildFormat(CF_DIB, c.targets, c.Fetch(), DecodeTwoByTwo));
    EXPECT_TRUE(BuildDib(RgbaImage{3, 3, std::vector<std::uint8_t>(5)}).empty());
}

TEST(DragFormats, OurFormatsAsTargetsForDragsWeStart)
{
    auto uri = drag::TargetBytesFromFormat(CF_HDROP, BuildHDrop({"/tmp/a b"}), "text/uri-list");
    ASSERT_TRUE(uri);
    EXPECT_EQ(*uri, "file:///tmp/a%20b\r\n");
    auto text = drag::TargetBytesFromFormat(CF_TEXT, com::ToTextBlock("hello"), "UTF8_STRING");
    EXPECT_EQ(text.value_or("?"), "hello");
    auto html = drag::TargetBytesFromFormat(Cf(kFormatHtml), com::ToTextBlock(BuildCfHtml("<i>f</i>", "")),
                                            "text/html");
    EXPECT_EQ(html.value_or("?"), "<i>f</i>");
    auto moz = drag::TargetBytesFromFormat(Cf(kFormatUrl), com::ToTextBlock("https://e.org/"), "text/x-moz-url");
    ASSERT_TRUE(moz);
    EXPECT_EQ(DecodeTextPayload(*moz), "https://e.org/\nhttps://e.org/");
    EXPECT_FALSE(drag::TargetBytesFromFormat(CF_TEXT, com::ToTextBlock("x"), "text/html"));
    EXPECT_EQ(drag::TargetsForFormat(CF_DIB), std::vector<std::string>{});
}

}  // namespace
}  // namespace ql
