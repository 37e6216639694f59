#include "foundation/VekHtmlClass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ql {
namespace {

struct Case {
    std::string in, want;
};

TEST(UrlDecode, DecodesEscapesAndLeavesMalformedTextWhole) {
    const std::vector<Case> cases = {
        {"a%20b+c", "a b c"},
        {"%41%42", "AB"},
        {"%c3%A9t%C3%a9", "\xC3\xA9t\xC3\xA9"},
        {"5%zz", "5%zz"},
        {"a+b%2", "a+b%2"},            // escape cut short at the end
        {"a%", "a%"},
        {"%4", "%4"},
        {"x%00y+z", "x%00y+z"},        // never a NUL
        {"%2B%25", "+%"},              // decoded characters are not decoded again
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

TEST(MakeAbsoluteUrl, ResolvesLinksAgainstAFolderBase) {
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

TEST(FileUrlToPath, TurnsLocalFileUrlsIntoPaths) {
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
