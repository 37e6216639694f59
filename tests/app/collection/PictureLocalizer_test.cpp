#include "app/collection/PictureLocalizer.h"
#include "platform/core/IniFile.h"
#include "platform/core/UrlCache.h"
#include "tests/support/TempDir.h"
#include "tests/support/UrlCacheWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {
namespace {

namespace fs = std::filesystem;

class PictureLocalizerTest : public ::testing::Test {
protected:
    test::TempDir temp;
    std::map<std::string, std::string> cache;  // URL -> cached copy
    std::vector<std::string> asked;
    std::vector<std::uint64_t> limits;
    std::vector<std::string> pages;  // the page each lookup named
    std::unique_ptr<IniFile> ini;
    std::unique_ptr<PictureLocalizer> loc;

    void SetUp() override
    {
        fs::create_directories(temp.path() / "Collection");
        ini = std::make_unique<IniFile>(images() + "../images.ini");
        loc = std::make_unique<PictureLocalizer>(
            images(), ini.get(), [this](const std::string& url, std::uint64_t maxBytes, const std::string& page) {
                asked.push_back(url);
                pages.push_back(page);
                limits.push_back(maxBytes);
                auto it = cache.find(url);
                return it == cache.end() ? std::string() : it->second;
            });
    }
    std::string images() const { return temp.dir() + "Collection/!images/"; }
    std::string Cached(const std::string& url, const std::string& name, const std::string& bytes)
    {
        std::string path = temp.write("cache/" + std::to_string(cache.size()) + "/" + name, bytes).string();
        cache[url] = path;
        return path;
    }
    LocalizeResult Run(const std::string& html, const std::string& source, const std::string& page, bool links = true)
    {
        return loc->Localize(html, 0, html.size(), source, page, links);
    }
};

TEST_F(PictureLocalizerTest, CachedPicturesAreCopiedReferencedAndRecorded)
{
    Cached("https://ex.org/dir/img/a.png", "a[1].png", "PNG-A");
    auto r = Run("<!-- From: \"https://ex.org/dir/page.html?x=1\" -->\r\n<p><IMG alt=a src=\"img/a.png\"></p>",
                 "https://ex.org/dir/page.html?x=1", "Page One");
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(r.html,
              "<!-- From: \"https://ex.org/dir/page.html?x=1\" -->\r\n<p><IMG alt=a src=\"!images\\a1.png\"></p>");
    EXPECT_EQ(temp.read("Collection/!images/a1.png"), "PNG-A");
    EXPECT_EQ(ini->ReadString("Page One", "a1.png", ""), "1");

    // The same picture in a second page: one copy, listed under both pages.
    auto again = Run("<img src=\"https://ex.org/dir/img/a.png\">", "https://ex.org/other/", "Page Two");
    EXPECT_EQ(again.html, "<img src=\"!images\\a1.png\">");
    EXPECT_EQ(ini->ReadString("Page Two", "a1.png", ""), "1");
    EXPECT_EQ(std::distance(fs::directory_iterator(images()), fs::directory_iterator()), 1);
}

// However many pictures a clip brings, "images.ini" is saved once, and before the caller saves
// the page: the records are on disk before any page refers to the pictures.
TEST_F(PictureLocalizerTest, APagesPictureRecordsAreSavedInOneWrite)
{
    std::string html;
    for (int i = 0; i < 5; ++i) {
        Cached("https://cdn.ex.org/p" + std::to_string(i) + ".png", "p" + std::to_string(i) + ".png",
               "PNG" + std::to_string(i));
        html += "<img src=\"https://cdn.ex.org/p" + std::to_string(i) + ".png\">";
    }
    fs::create_directories(images());
    ASSERT_TRUE(ini->WriteString("Other page", "old.png", "1"));
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    // The temporaries' creations keep the kernel from merging one save's event with the next.
    ASSERT_GE(inotify_add_watch(watch, (temp.dir() + "Collection").c_str(), IN_CREATE | IN_MOVED_TO), 0);
    const LocalizeResult r = Run(html, "https://news.ex.org", "Page");
    int saves = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(watch, buffer, sizeof buffer)) > 0;)
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            saves += (e->mask & IN_MOVED_TO) && e->len && std::string(e->name) == "images.ini";
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    close(watch);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(r.pictures.size(), 5u);
    IniFile onDisk(images() + "../images.ini", false);
    EXPECT_EQ(onDisk.ReadSection("Page"), (std::vector<std::string>{"p0.png", "p1.png", "p2.png", "p3.png", "p4.png"}));
    EXPECT_EQ(onDisk.ReadSection("Other page"), std::vector<std::string>{"old.png"});
    // The cache learns which page showed the pictures: the browsers key them by its site.
    EXPECT_EQ(pages, std::vector<std::string>(5, "https://news.ex.org"));
}

TEST_F(PictureLocalizerTest, AddressesResolveByTheUrlRules)
{
    const std::string base = "https://ex.org/a/b/page.html";
    auto r = Run(
        "<img src=\"x.png\"><img src=\"../up.png\"><img src=\"//cdn.ex.org/c.png\"><img src=\"/root.png\">"
        "<img src=\"http://plain.example/p.png\"><img src=\"!images\\kept.gif\"><img src=\"data:image/gif;base64,R0\">"
        "<a href=\"?page=2\">q</a><a href=\"#top\">t</a><a href=\"mailto:a@b\">m</a><a href=\"rel.html\">r</a>",
        base, "P");
    EXPECT_EQ(
        r.html,
        "<img src=\"https://ex.org/a/b/x.png\"><img src=\"https://ex.org/a/up.png\">"
        "<img src=\"https://cdn.ex.org/c.png\"><img src=\"https://ex.org/root.png\">"
        "<img src=\"http://plain.example/p.png\"><img src=\"!images\\kept.gif\"><img src=\"data:image/gif;base64,R0\">"
        "<a href=\"https://ex.org/a/b/page.html?page=2\">q</a><a href=\"#top\">t</a><a href=\"mailto:a@b\">m</a>"
        "<a href=\"https://ex.org/a/b/rel.html\">r</a>");
    // The cache was asked for the resolved addresses, never for local references or data.
    EXPECT_EQ(asked.size(), 5u);
    EXPECT_FALSE(fs::exists(images()));
}

TEST_F(PictureLocalizerTest, EntitiesInAddressesAreDecodedAndReescaped)
{
    Cached("https://ex.org/pic.php?id=1&size=2", "pic.php", "GIF");
    auto r = Run("<img src=pic.php?id=1&amp;size=2 alt=\"x\"><a href='q.php?a=1&amp;b=2'>l</a>", "https://ex.org/",
                 "P");
    EXPECT_EQ(r.html, "<img src=\"!images\\pic.php\" alt=\"x\"><a href=\"https://ex.org/q.php?a=1&amp;b=2\">l</a>");
}

TEST_F(PictureLocalizerTest, PicturesOfALocalPageComeFromBesideIt)
{
    temp.write("pages/img/a b.gif", "GIF-AB");
    temp.write("up+plus.gif", "GIF-UP");
    const std::string page = "file://" + temp.dir() + "pages/p.html";
    auto r = Run("<img src=\"img/a%20b.gif\"><img src=\"../up+plus.gif\"><img src=\"missing.gif\">", page, "Local");
    EXPECT_EQ(r.html, "<img src=\"!images\\a b.gif\"><img src=\"!images\\up+plus.gif\"><img src=\"" + temp.dir() +
                          "pages/missing.gif\">");
    EXPECT_TRUE(asked.empty());  // a local page never asks the browser cache
    // A plain path as source works the same.
    auto plain = Run("<img src=\"img/a%20b.gif\">", temp.dir() + "pages/p.html", "Local2");
    EXPECT_EQ(plain.html, "<img src=\"!images\\a b.gif\">");
}

TEST_F(PictureLocalizerTest, OnlyRegularFilesWithinTheSizeCapAreCopied)
{
    const std::string fifo = temp.dir() + "pages/pipe.gif";
    fs::create_directories(temp.path() / "pages");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = temp.write("pages/big.gif", "").string();
    fs::resize_file(big, kMaxPictureBytes + 1);  // sparse: costs no disk
    temp.write("pages/ok.gif", "OK");
    auto r = Run("<img src=\"pipe.gif\"><img src=\"big.gif\"><img src=\"ok.gif\">",
                 "file://" + temp.dir() + "pages/p.html", "P");
    EXPECT_EQ(r.html, "<img src=\"pipe.gif\"><img src=\"big.gif\"><img src=\"!images\\ok.gif\">");
    EXPECT_EQ(r.pictures, std::vector<std::string>{"ok.gif"});
}

TEST_F(PictureLocalizerTest, OnlyTheGivenRangeIsTouched)
{
    Cached("https://ex.org/new.png", "new.png", "N");
    const std::string old = "<p><img src=\"rel/old.png\"><a href=\"x.html\">x</a></p>";
    const std::string html = old + "<img src=\"new.png\"><a href=\"y.html\">y</a>";
    auto r = loc->Localize(html, old.size(), html.size(), "https://ex.org/", "P", true);
    EXPECT_EQ(r.html, old + "<img src=\"!images\\new.png\"><a href=\"https://ex.org/y.html\">y</a>");
}

TEST_F(PictureLocalizerTest, WithoutASourceOnlyAbsoluteAddressesAreResolved)
{
    Cached("https://ex.org/abs.png", "abs.png", "A");
    auto r = Run("<img src=\"https://ex.org/abs.png\"><img src=\"rel.png\">", "", "P");
    EXPECT_EQ(r.html, "<img src=\"!images\\abs.png\"><img src=\"rel.png\">");
}

// Absolute addresses are looked up as the browser fetched them, as resolved ones are, and only
// for pictures the localizer would copy.
TEST_F(PictureLocalizerTest, AbsoluteAddressesAreLookedUpAsTheBrowserFetchedThem)
{
    Cached("https://ex.org/a/p%20q.png", "p q[1].png", "PQ");
    Cached("https://ex.org/%C3%A9t%C3%A9.gif", "\xC3\xA9t\xC3\xA9[1].gif", "ETE");
    Cached("https://ex.org/rel.png", "rel[1].png", "REL");
    auto r = Run("<img src=\"HTTPS://EX.org/a/b/../p q.png#x\"><img src=\"https://ex.org/./\xC3\xA9t\xC3\xA9.gif\">"
                 "<img src=\"rel.png#frag\"><img src=\"HTTP://Other.example/none.png#k\">",
                 "https://ex.org/page.html", "P");
    EXPECT_EQ(r.html, "<img src=\"!images\\p q1.png\"><img src=\"!images\\\xC3\xA9t\xC3\xA9"
                      "1.gif\">"
                      "<img src=\"!images\\rel1.png\"><img src=\"HTTP://Other.example/none.png#k\">");
    EXPECT_EQ(asked, (std::vector<std::string>{"https://ex.org/a/p%20q.png", "https://ex.org/%C3%A9t%C3%A9.gif",
                                               "https://ex.org/rel.png", "http://other.example/none.png"}));
    EXPECT_EQ(limits, std::vector<std::uint64_t>(4, kMaxPictureBytes));
}

// With the browsers' caches themselves: pictures keep their recognisable names, and a picture
// whose cache entry the browser wrote again is not taken in a second time.
TEST_F(PictureLocalizerTest, CachedPicturesKeepTheirNamesAndAreTakenInOnce)
{
    const fs::path entries = temp.path() / "chromium/Cache_Data";
    fs::create_directories(entries / "index-dir");
    auto put = [&](const std::string& name, const std::string& url, const std::string& body) {
        std::ofstream(entries / name, std::ios::binary | std::ios::trunc)
            << test::ChromiumEntry(url, body, "200 OK", "");
    };
    put("0000000000000001_0", "https://ex.org/img/my%20picture.png", "PNG");
    put("0000000000000002_0", "https://ex.org/img/bild-%C3%A4.gif", "GIF");
    put("0000000000000003_0", "https://ex.org/img/tiny.gif", "TINY");
    UrlCacheRoots roots;
    roots.chromium.push_back((temp.path() / "chromium").string());
    UrlCache browsers(roots, temp.dir());
    PictureLocalizer real(images(), ini.get(),
                          [&](const std::string& url, std::uint64_t maxBytes, const std::string& page) {
                              return browsers.Find(url, maxBytes, page);
                          });
    const std::string html =
        "<img src=\"img/my picture.png\"><img src=\"img/bild-\xC3\xA4.gif\"><img src=\"img/tiny.gif\">";
    auto first = real.Localize(html, 0, html.size(), "https://ex.org/page.html", "P1", false);
    EXPECT_EQ(first.pictures, (std::vector<std::string>{"my picture1.png",
                                                        "bild-\xC3\xA4"
                                                        "1.gif",
                                                        "tiny1.gif"}));

    put("0000000000000003_0", "https://ex.org/img/tiny.gif", "TINY");  // the same bytes written again
    fs::last_write_time(entries / "0000000000000003_0",
                        fs::last_write_time(entries / "0000000000000003_0") + std::chrono::seconds(2));
    const std::string again = "<img src=\"https://ex.org/img/tiny.gif\">";
    auto second = real.Localize(again, 0, again.size(), "https://ex.org/other.html", "P2", false);
    EXPECT_EQ(second.pictures, std::vector<std::string>{"tiny1.gif"});
    EXPECT_EQ(std::distance(fs::directory_iterator(images()), fs::directory_iterator()), 3);
}

TEST_F(PictureLocalizerTest, UniqueImageNameCollisions)
{
    fs::create_directories(images());
    const std::string cached = temp.write("cache/a[1].gif", "NEW PICTURE").string();
    EXPECT_EQ(loc->UniqueImageName(cached), "a1.gif");
    temp.write("Collection/!images/a1.gif", "another picture");
    EXPECT_EQ(loc->UniqueImageName(cached), "a12.gif");
    temp.write("Collection/!images/a12.gif", "third one!!");  // same size, other date and bytes
    EXPECT_EQ(loc->UniqueImageName(cached), "a13.gif");

    // Same bytes under another date counts as the same picture.
    temp.write("Collection/!images/a13.gif", "NEW PICTURE");
    fs::last_write_time(images() + "a13.gif", fs::last_write_time(cached) - std::chrono::hours(5));
    EXPECT_EQ(loc->UniqueImageName(cached), "a13.gif");
    // Same size and date but other bytes is another picture.
    temp.write("Collection/!images/a13.gif", "OLD PICTURE");
    fs::last_write_time(images() + "a13.gif", fs::last_write_time(cached));
    EXPECT_EQ(loc->UniqueImageName(cached), "a14.gif");

    const std::string odd = temp.write("cache/we=ird#na%me;.png", "x").string();
    EXPECT_EQ(loc->UniqueImageName(odd), "weirdname.png");
    const std::string dots = temp.write("cache/[..]", "x").string();
    EXPECT_EQ(loc->UniqueImageName(dots), "image");
}

TEST(IsSameFile, SameSizeAndSameBytes)
{
    test::TempDir temp;
    auto a = temp.write("a", "12345").string();
    auto b = temp.write("b", "12345").string();
    auto c = temp.write("c", "1234").string();
    auto d = temp.write("d", "54321").string();
    fs::last_write_time(d, fs::last_write_time(a));
    fs::last_write_time(b, fs::last_write_time(a) - std::chrono::hours(1));
    EXPECT_TRUE(IsSameFile(a, b));   // other date, same bytes
    EXPECT_FALSE(IsSameFile(a, c));  // other size
    // Two pictures taken out of the cache within one second share size and date, not bytes.
    EXPECT_FALSE(IsSameFile(a, d));
    EXPECT_FALSE(IsSameFile(a, temp.dir() + "missing"));
}

}  // namespace
}  // namespace ql
