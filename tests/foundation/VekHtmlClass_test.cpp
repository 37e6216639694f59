#include "foundation/VekHtmlClass.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlCache.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ql {
namespace {

struct Case {
    std::string in, want;
};

TEST(UrlDecode, DecodesEscapesAndLeavesMalformedTextWhole)
{
    const std::vector<Case> cases = {
        {"a%20b+c", "a b c"},
        {"%41%42", "AB"},
        {"%c3%A9t%C3%a9", "\xC3\xA9t\xC3\xA9"},
        {"5%zz", "5%zz"},
        {"a+b%2", "a+b%2"},  // escape cut short at the end
        {"a%", "a%"},
        {"%4", "%4"},
        {"x%00y+z", "x%00y+z"},  // never a NUL
        {"%2B%25", "+%"},        // decoded characters are not decoded again
        {"", ""},
        {"plain", "plain"},
    };
    for (const auto& c : cases) {
        const std::string got = UrlDecode(c.in);
        EXPECT_EQ(got, c.want) << "input: " << c.in;
        EXPECT_EQ(got.find('\0'), std::string::npos) << "input: " << c.in;
    }
}

struct Resolve {
    std::string base, link, want;
};

TEST(MakeAbsoluteUrl, ResolvesLinksAgainstAFolderBase)
{
    const std::vector<Resolve> cases = {
        // The classic examples: the base is always a folder.
        {"ftp://host/a/b/", "../x", "ftp://host/a/x"},
        {"ftp://host/a/b", "../../x", "ftp://host/x"},
        {"ftp://host/a/b/", "./x", "ftp://host/a/b/x"},
        {"ftp://host/a/b/", "/x", "ftp://host/x"},
        {"ftp://host/a/b/", "x", "ftp://host/a/b/x"},
        {"ftp://host/a/page.html", "x", "ftp://host/a/page.html/x"},
        {"ftp://host/a/", "../../../x", "ftp://host/x"},
        {"http://host/a/b/", "../x", "http://host/a/x"},
        // Secure web, network-path, dot segments past the root, query and fragment links.
        {"https://h.example/d/e/", "img/p.png", "https://h.example/d/e/img/p.png"},
        {"https://h.example/d/", "//cdn.example/p.png", "https://cdn.example/p.png"},
        {"http://h/a/", "../../../../x", "http://h/x"},
        {"http://h/a/b/", "c/./../d", "http://h/a/b/d"},
        {"http://h/a/b/?q=1", "?z=2", "http://h/a/b/?z=2"},
        {"http://h/a/b/?q=1#old", "#top", "http://h/a/b/?q=1#top"},
        {"http://h:8080", "x", "http://h:8080/x"},
        {"http://h/a/", "x.png?v=2#f", "http://h/a/x.png?v=2#f"},
        // Blanks and non-ASCII bytes are escaped as a browser does before it fetches.
        {"http://h/a/", "my pic.png", "http://h/a/my%20pic.png"},
        {"http://h/a/", "\xC3\xA9.png", "http://h/a/%C3%A9.png"},
        {"http://h/a/", "a%20b.png", "http://h/a/a%20b.png"},
        // Each part escaped with the set browsers use for it; "%" and the rest stay.
        {"http://h/a/", "p\"q<r>`{s}^|'[t]!$&()*+,;=:@~.png",
         "http://h/a/p%22q%3Cr%3E%60%7Bs%7D%5E|'[t]!$&()*+,;=:@~.png"},
        {"http://h/a/", "x.png?a b\"c<d>e`f{g}h|i^j'k\\\xC3\xA9",
         "http://h/a/x.png?a%20b%22c%3Cd%3Ee`f{g}h|i^j%27k\\%C3%A9"},
        {"http://h/a/", "f.png#a b\"<>`'", "http://h/a/f.png#a%20b%22%3C%3E%60'"},
        {"http://h/a/", "50%zz.png?q=5%", "http://h/a/50%zz.png?q=5%"},
        {"foo://h/a/", "x?it's", "foo://h/a/x?it's"},  // "'" escaped in queries of web schemes only
        // "\\" is a "/" and tabs and line breaks vanish, in the link and in the base.
        {"http://h/a/", "img\\sub\\p.png", "http://h/a/img/sub/p.png"},
        {"http://h/a/", "\\\\cdn.example\\p.png", "http://cdn.example/p.png"},
        {"http://h/a\tb/", "t\tab\n.png", "http://h/ab/tab.png"},
        // Host letters in lower case, a default port dropped, another port kept.
        {"HTTP://Ex.COM:80/a/", "x", "http://ex.com/a/x"},
        {"https://H.Example:443/a/", "p.png", "https://h.example/a/p.png"},
        {"ftp://H:21/a/", "p", "ftp://h/a/p"},
        {"https://h.example:8443/a/", "p.png", "https://h.example:8443/a/p.png"},
        {"http://h/a/", "//CDN.Example:80/p.png", "http://cdn.example/p.png"},
        // A link that resolves to no URL gives "".
        {"http://h/a/", "//", ""},
        {"http://h/a/", "//h:99999/x", ""},
        // Absolute links of any scheme stay as they are.
        {"http://h/a/", "HTTP://Other/x", "HTTP://Other/x"},
        {"http://h/a/", "https://o/x", "https://o/x"},
        {"http://h/a/", "data:image/png;base64,iVBOR", "data:image/png;base64,iVBOR"},
        {"http://h/a/", "mailto:a@b.example", "mailto:a@b.example"},
        {"http://h/a/", "javascript:void(0)", "javascript:void(0)"},
        {"http://h/a/", "file:///tmp/x.png", "file:///tmp/x.png"},
        // Both sides are trimmed; an empty or blank link gives "".
        {"  http://h/a/\r\n", "\t x.png \n", "http://h/a/x.png"},
        {"http://h/a/", "", ""},
        {"http://h/a/", "   \t", ""},
        // A file base resolves like any other folder.
        {"file:///home/u/pages/", "../pics/a b.gif", "file:///home/u/pics/a%20b.gif"},
        // No usable base: the link comes back unchanged.
        {"", "img/x.png", "img/x.png"},
        {"not a url", "x", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeAbsoluteUrl(c.base, c.link), c.want) << "base: " << c.base << " link: " << c.link;
        std::string out = "stale";
        MakeAbsoluteUrl(c.base, c.link, out);
        EXPECT_EQ(out, c.want) << "var form, base: " << c.base << " link: " << c.link;
    }
}

// The pictures of a real page whose links hold unusual characters, as Chromium and Firefox
// cached them: each link resolved here must be the key the browsers stored.
TEST(MakeAbsoluteUrl, ResolvedLinksAreTheKeysTheBrowsersCachedThemUnder)
{
    const std::string fixture = QUILLORY_TEST_DATA "/urlcache-escapes/";
    const auto page = ReadFileBytes(fixture + "tools/page.html");
    ASSERT_TRUE(page);
    std::vector<std::string> links;
    for (std::size_t at = page->find("src=\""); at != std::string::npos; at = page->find("src=\"", at)) {
        at += 5;
        std::string link = page->substr(at, page->find('"', at) - at);
        for (const auto& [entity, c] : std::vector<std::pair<std::string, std::string>>{
                 {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            for (std::size_t e = link.find(entity); e != std::string::npos; e = link.find(entity, e + 1))
                link.replace(e, entity.size(), c);
        links.push_back(link);
    }
    ASSERT_EQ(links.size(), 23u);

    test::TempDir extracted;
    UrlCache chromium({{fixture + "chromium"}, {}}, extracted.dir());
    UrlCache firefox({{}, {fixture + "firefox"}}, extracted.dir());
    for (const std::string& link : links) {
        // A fragment is never fetched, so never part of a key; Chromium alone escapes "|" in
        // paths, and the lookup tries both forms.
        const std::string url = MakeAbsoluteUrl("http://127.0.0.1:18799/", link);
        EXPECT_NE(firefox.Find(url), "") << link << " -> " << url;
        EXPECT_NE(chromium.Find(url), "") << link << " -> " << url;
    }
}

TEST(FetchedUrl, AbsoluteAddressesTakeTheFormBrowsersFetch)
{
    const std::vector<Case> cases = {
        {"HTTP://Ex.COM:80/a/./b/../p q.png#frag", "http://ex.com/a/p%20q.png"},
        {"https://h/\xC3\xA9/x.png?v=1 2#", "https://h/%C3%A9/x.png?v=1%202"},
        {"  http://h/a\\b.png\n", "http://h/a/b.png"},
        {"http://h/p%20q.png", "http://h/p%20q.png"},  // already in that form
        {"http://h/a/../../x.png", "http://h/x.png"},
        // Other schemes and text that is no URL stay as they are.
        {"data:image/gif;base64,R0#x", "data:image/gif;base64,R0#x"},
        {"mailto:a@b", "mailto:a@b"},
        {"img/x.png#f", "img/x.png#f"},
        {"http://h:99999/x", "http://h:99999/x"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FetchedUrl(c.in), c.want) << c.in;
}

// The pictures of the same real page written as absolute addresses the way a page may write
// them (scheme and host in capitals, a fragment, unescaped characters, dot segments): each is
// looked up as the browsers fetched and cached it.
TEST(FetchedUrl, AbsoluteAddressesAsWrittenFindTheBrowsersEntries)
{
    const std::string fixture = QUILLORY_TEST_DATA "/urlcache-escapes/";
    const auto page = ReadFileBytes(fixture + "tools/page.html");
    ASSERT_TRUE(page);
    test::TempDir extracted;
    UrlCache chromium({{fixture + "chromium"}, {}}, extracted.dir());
    UrlCache firefox({{}, {fixture + "firefox"}}, extracted.dir());
    int checked = 0;
    for (std::size_t at = page->find("src=\""); at != std::string::npos; at = page->find("src=\"", at)) {
        at += 5;
        std::string link = page->substr(at, page->find('"', at) - at);
        for (const auto& [entity, c] : std::vector<std::pair<std::string, std::string>>{
                 {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            for (std::size_t e = link.find(entity); e != std::string::npos; e = link.find(entity, e + 1))
                link.replace(e, entity.size(), c);
        std::string written;
        if (link.rfind("//", 0) == 0)
            written = "HTTP:" + link;
        else if (link[0] == '/')
            written = "HTTP://127.0.0.1:18799" + link;
        else
            written = "HTTP://127.0.0.1:18799/img/../" + link;
        if (written.find('#') == std::string::npos && written.find('?') == std::string::npos)
            written += "#x";
        const std::string url = FetchedUrl(written);
        EXPECT_NE(firefox.Find(url), "") << written << " -> " << url;
        EXPECT_NE(chromium.Find(url), "") << written << " -> " << url;
        ++checked;
    }
    EXPECT_EQ(checked, 23);
}

TEST(FileUrlToPath, TurnsLocalFileUrlsIntoPaths)
{
    const std::vector<Case> cases = {
        {"file:///home/a%20b", "/home/a b"},
        {"FILE:///tmp/x.html", "/tmp/x.html"},
        {"file://localhost/tmp/x.html", "/tmp/x.html"},
        {"file:///home/u/a+b%2Bc.png", "/home/u/a+b+c.png"},  // "+" is a plus in a path
        {"file:///home/u/%C3%A9.htm", "/home/u/\xC3\xA9.htm"},
        {"file:///home/u/p.html#part", "/home/u/p.html"},
        {"file:///home/u/p.html?x=1", "/home/u/p.html"},
        {"file:///home/u/a%00b", "/home/u/a%00b"},  // no NUL inside a path
        {"file:///home/u/50%zz", "/home/u/50%zz"},
        // Anything else comes back unchanged.
        {"http://h/a%20b", "http://h/a%20b"},
        {"/home/u/x", "/home/u/x"},
        {"file://server/share/a.htm", "file://server/share/a.htm"},
        {"file:", "file:"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const std::string got = FileUrlToPath(c.in);
        EXPECT_EQ(got, c.want) << "input: " << c.in;
        EXPECT_EQ(got.find('\0'), std::string::npos) << "input: " << c.in;
    }
}

}  // namespace
}  // namespace ql
