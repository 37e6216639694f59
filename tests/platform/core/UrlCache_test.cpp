#include "platform/core/UrlCache.h"
#include "platform/core/ExtractFolder.h"

#include "platform/core/UrlCacheEntry.h"
#include "platform/core/UrlCacheKeys.h"
#include "tests/support/TempDir.h"
#include "tests/support/UrlCacheWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace ql {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string kData = QUILLORY_TEST_DATA "/urlcache/";
const std::string kImage = "http://127.0.0.1:8799/img/a.png?v=2";
const std::string kPhoto = "http://127.0.0.1:8799/img/Photo.png";
const std::string kPage = "http://127.0.0.1:8799/page.html";

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

UrlCacheRoots Only(UrlCacheFamily family, const std::string& root)
{
    UrlCacheRoots r;
    (family == UrlCacheFamily::Chromium ? r.chromium : r.firefox).push_back(root);
    return r;
}

// Every file below `root` with its size, modification time and bytes.
std::map<std::string, std::string> Snapshot(const fs::path& root)
{
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string v = std::to_string(st.st_size) + "/" + std::to_string(st.st_mtim.tv_sec) + "." +
                        std::to_string(st.st_mtim.tv_nsec) + "/" + std::to_string(st.st_mode);
        if (e.is_regular_file())
            v += "/" + ReadAll(e.path());
        out[e.path().string()] = v;
    }
    return out;
}

struct FamilyCase {
    UrlCacheFamily family;
    const char* root;
    const char* imageEntry;  // relative to the root
};

const FamilyCase kFamilies[] = {
    {UrlCacheFamily::Chromium, "chromium/", "Default/Cache/Cache_Data/f3cbe13aa6a06f02_0"},
    {UrlCacheFamily::Firefox, "firefox/", "prof/cache2/entries/1FCDA9A90FE101028F38AEA5ADF4DDB0E2A35820"},
};

TEST(UrlCache, FindsRealBrowserEntriesForExactUrlsOnlyAndLeavesTheFixturesAlone)
{
    const auto before = Snapshot(kData);
    const std::string image = ReadAll(kData + "tools/site/img/a.png");
    const std::string photo = ReadAll(kData + "tools/site/img/Photo.png");
    const std::string page = ReadAll(kData + "tools/site/page.html");
    for (const FamilyCase& fc : kFamilies) {
        SCOPED_TRACE(fc.root);
        TempDir out;
        std::string extracted;
        {
            UrlCache cache(Only(fc.family, kData + fc.root), out.dir());
            extracted = cache.Find(kImage);
            ASSERT_FALSE(extracted.empty());
            EXPECT_EQ(ReadAll(extracted), image);
            EXPECT_EQ(fs::path(extracted).filename(), "a[1].png");
            EXPECT_EQ(extracted.rfind(out.dir(), 0), 0u) << extracted;
            struct stat st {};
            ASSERT_EQ(::stat(extracted.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u);
            EXPECT_EQ(cache.Find(kImage), extracted) << "extracted once per entry";

            const std::string p = cache.Find(kPhoto);
            ASSERT_FALSE(p.empty());
            EXPECT_EQ(ReadAll(p), photo);
            EXPECT_NE(p, extracted);
            const std::string h = cache.Find(kPage);
            ASSERT_FALSE(h.empty());
            EXPECT_EQ(ReadAll(h), page);

            for (const std::string& miss : {
                     std::string("http://127.0.0.1:8799/img/A.png?v=2"),   // letter case
                     std::string("http://127.0.0.1:8799//img/a.png?v=2"),  // extra slash
                     std::string("http://127.0.0.1:8799/img/a.png?v=2/"),
                     std::string("http://127.0.0.1:8799/img/a.png"),
                     std::string("HTTP://127.0.0.1:8799/img/a.png?v=2"),
                     std::string("http://127.0.0.1:8799/img/a.png?v=2 "),
                     std::string("1/0/_dk_http://127.0.0.1 http://127.0.0.1 ") + kImage,
                     std::string("O^partitionKey=%28http%2C127.0.0.1%29,:") + kImage,
                     std::string(""),
                 })
                EXPECT_EQ(cache.Find(miss), "") << miss;
            // Stored gzip-encoded; Firefox kept a cut-short download; Chromium kept a 404 page.
            EXPECT_EQ(cache.Find("http://127.0.0.1:8799/style.css"), "");
            EXPECT_EQ(cache.Find("http://127.0.0.1:8799/img/cut.png"), "");
            EXPECT_EQ(cache.Find("http://127.0.0.1:8799/favicon.ico"), "");
            EXPECT_EQ(cache.IndexedEntries(), fc.family == UrlCacheFamily::Chromium ? 5u : 5u);
        }
        EXPECT_FALSE(fs::exists(extracted)) << "extracted bodies are removed with the cache";
        EXPECT_TRUE(fs::is_empty(out.path()));
    }
    EXPECT_EQ(Snapshot(kData), before);
}

TEST(UrlCache, TruncatedOrDamagedEntriesAreAbsent)
{
    for (const FamilyCase& fc : kFamilies) {
        const std::string original = ReadAll(kData + fc.root + fc.imageEntry);
        std::vector<std::pair<std::string, std::string>> damaged = {
            {"last byte cut", original.substr(0, original.size() - 1)},
            {"last record cut", original.substr(0, original.size() - 24)},
            {"cut in the middle", original.substr(0, original.size() / 2)},
            {"cut after the head", original.substr(0, 120)},
            {"empty", ""},
        };
        std::string flipped = original;
        flipped[fc.family == UrlCacheFamily::Chromium ? 0x70 : 0x10] ^= 0x40;  // a body byte
        damaged.emplace_back("body byte changed", flipped);
        if (fc.family == UrlCacheFamily::Firefox) {
            // The frecency field, which nothing reads: only the metadata hash notices.
            std::string field = original;
            field[79 + 4 + 2 + 4 * 4 + 3] ^= 0x01;
            damaged.emplace_back("metadata byte changed", field);
            std::string chunkHash = original;
            chunkHash[79 + 4] ^= 0x01;
            damaged.emplace_back("chunk hash changed", chunkHash);
        }
        std::string encrypted = original;
        encrypted[encrypted.size() - 4] = static_cast<char>(0x80);
        if (fc.family == UrlCacheFamily::Firefox)
            damaged.emplace_back("encrypted", encrypted);

        for (const auto& [what, bytes] : damaged) {
            SCOPED_TRACE(std::string(fc.root) + what);
            TempDir root, out;
            fs::copy(kData + fc.root, root.path(), fs::copy_options::recursive);
            std::ofstream(root.path() / fc.imageEntry, std::ios::binary | std::ios::trunc) << bytes;
            UrlCache cache(Only(fc.family, root.dir()), out.dir());
            EXPECT_EQ(cache.Find(kImage), "");
            EXPECT_NE(cache.Find(kPhoto), "") << "other entries stay usable";
        }
    }
}

// Every cut-short copy of a real entry, and every single-byte change to its metadata, is read
// without going out of bounds; no cut-short copy yields a body.
TEST(UrlCache, EveryPrefixAndByteFlipOfARealEntryIsReadSafely)
{
    for (const FamilyCase& fc : kFamilies) {
        SCOPED_TRACE(fc.root);
        const std::string original = ReadAll(kData + fc.root + fc.imageEntry);
        TempDir dir;
        const fs::path file = dir.path() / "entry";
        auto read = [&](const std::string& bytes) {
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
            const int fd = ::open(file.c_str(), O_RDONLY);
            const bool chromium = fc.family == UrlCacheFamily::Chromium;
            const auto url = chromium ? urlcache::ReadChromiumEntryUrl(fd)
                                      : urlcache::ReadFirefoxEntryUrl(fd, bytes.size());
            const auto body = chromium ? urlcache::ReadChromiumEntryBody(fd, bytes.size(), kImage)
                                       : urlcache::ReadFirefoxEntryBody(fd, bytes.size(), kImage);
            ::close(fd);
            return std::make_pair(url, body);
        };
        const auto whole = read(original);
        ASSERT_EQ(whole.first, kImage);
        ASSERT_TRUE(whole.second);
        EXPECT_EQ(*whole.second, ReadAll(kData + "tools/site/img/a.png"));
        for (std::size_t n = 0; n < original.size(); ++n)
            EXPECT_FALSE(read(original.substr(0, n)).second) << "prefix of " << n << " bytes";
        const std::size_t bodyEnd = fc.family == UrlCacheFamily::Chromium ? 0x65 + 79 : 79;
        for (std::size_t i = bodyEnd; i < original.size(); ++i) {
            std::string flipped = original;
            flipped[i] = static_cast<char>(flipped[i] ^ 0xFF);
            const auto got = read(flipped);
            if (got.second) {
                EXPECT_EQ(got.second->size(), 79u) << "flip at " << i;
            }
        }
    }
}

TEST(UrlCache, NoticesEntriesWrittenAfterTheFirstLookup)
{
    for (const FamilyCase& fc : kFamilies) {
        SCOPED_TRACE(fc.root);
        TempDir root, out;
        fs::copy(kData + fc.root, root.path(), fs::copy_options::recursive);
        const fs::path entry = root.path() / fc.imageEntry;
        const std::string bytes = ReadAll(entry);
        fs::remove(entry);
        UrlCache cache(Only(fc.family, root.dir()), out.dir());
        EXPECT_EQ(cache.Find(kImage), "");
        EXPECT_EQ(cache.IndexedEntries(), 4u);
        // The browser writes the entry in two steps; the half-written file is not used.
        std::ofstream(entry, std::ios::binary) << bytes.substr(0, bytes.size() - 30);
        EXPECT_EQ(cache.Find(kImage), "");
        std::ofstream(entry, std::ios::binary | std::ios::trunc) << bytes;
        EXPECT_NE(cache.Find(kImage), "");
        fs::remove(entry);
        EXPECT_EQ(cache.Find(kImage), "");
        EXPECT_EQ(cache.IndexedEntries(), 4u);
    }
}

TEST(UrlCache, SyntheticEntriesOfEveryShape)
{
    TempDir home, out;
    const fs::path chrome = home.path() / "chromium/Profile 1/Cache/Cache_Data";
    const fs::path code = home.path() / "chromium/Profile 1/Code Cache/js";
    const fs::path ffEntries = home.path() / "ff/abc.default-esr/cache2/entries";
    for (const auto& d : {chrome, code, ffEntries})
        fs::create_directories(d / "index-dir");
    auto put = [](const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; };
    const std::string body(3000, 'x');
    put(chrome / "0000000000000001_0", test::ChromiumEntry("1/0/_dk_https://s https://s https://h/x/a.png", body));
    put(chrome / "0000000000000002_0", test::ChromiumEntry("https://h/y/a.png", "other"));
    put(chrome / "0000000000000003_0", test::ChromiumEntry("https://h/len", body, "200 OK", "Content-Length: 2999"));
    put(chrome / "0000000000000004_0",
        test::ChromiumEntry("https://h/id", "abc", "200 OK", "content-encoding: identity\nContent-Length: 3"));
    put(chrome / "0000000000000005_0", test::ChromiumEntry("https://h/206", "abc", "206 Partial Content"));
    put(chrome / "0000000000000006_0", test::ChromiumEntry("https://h/br", "abc", "200 OK", "Content-Encoding: br"));
    put(chrome / "0000000000000007_1", test::ChromiumEntry("https://h/stream2", "abc"));
    put(code / "0000000000000008_0", test::ChromiumEntry("https://h/code", "abc"));
    const std::string alt = std::string("alt-data\0", 9) + "1;4,javascript/moz-script" + '\0';
    put(ffEntries / "0000000000000000000000000000000000000001",
        test::FirefoxEntry("a,:https://h/alt.js", "var;BYTECODE", "200 OK", "Content-Length: 4", alt));
    put(ffEntries / "0000000000000000000000000000000000000002", test::FirefoxEntry(":https://h/plain", body));
    put(ffEntries / "0000000000000000000000000000000000000003",
        test::FirefoxEntry("O^userContextId=1,a,:https://h/ctx", "ctx"));
    put(ffEntries / "000000000000000000000000000000000000000x", test::FirefoxEntry(":https://h/badname", "x"));
    const auto big = test::FirefoxEntry(":https://h/big", std::string(600 * 1024, 'b'));
    put(ffEntries / "0000000000000000000000000000000000000004", big);

    UrlCacheRoots roots;
    roots.chromium.push_back((home.path() / "chromium").string());
    roots.firefox.push_back((home.path() / "ff").string());
    UrlCache cache(roots, out.dir());
    const std::string a = cache.Find("https://h/x/a.png");
    const std::string b = cache.Find("https://h/y/a.png");
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_NE(a, b) << "two entries with the same file name get different files";
    EXPECT_EQ(ReadAll(a), body);
    EXPECT_EQ(ReadAll(b), "other");
    EXPECT_EQ(cache.Find("https://h/len"), "") << "stored body shorter than Content-Length";
    EXPECT_EQ(ReadAll(cache.Find("https://h/id")), "abc");
    EXPECT_EQ(cache.Find("https://h/206"), "");
    EXPECT_EQ(cache.Find("https://h/br"), "");
    EXPECT_EQ(cache.Find("https://h/stream2"), "");
    EXPECT_EQ(cache.Find("https://h/code"), "");
    EXPECT_EQ(ReadAll(cache.Find("https://h/alt.js")), "var;") << "the body ends where alt-data starts";
    EXPECT_EQ(ReadAll(cache.Find("https://h/plain")), body);
    EXPECT_EQ(ReadAll(cache.Find("https://h/ctx")), "ctx");
    EXPECT_EQ(cache.Find("https://h/badname"), "");
    EXPECT_EQ(ReadAll(cache.Find("https://h/big")).size(), 600u * 1024);

    // A removed extracted copy is made again under its name.
    ASSERT_TRUE(fs::remove(a));
    const std::string again = cache.Find("https://h/x/a.png");
    EXPECT_EQ(again, a);
    EXPECT_EQ(ReadAll(again), body);
}

// Firefox's hashes: the real entries carry them (each one is found above); a change in any
// 256 KiB chunk of a larger body is noticed, and so is one in the chunk the body ends in.
TEST(UrlCache, FirefoxBodiesAreCheckedChunkByChunk)
{
    TempDir root, out;
    const fs::path entries = root.path() / "p/cache2/entries";
    fs::create_directories(entries);
    std::string body(600 * 1024, 'b');
    for (std::size_t i = 0; i < body.size(); i += 7)
        body[i] = static_cast<char>(i * 31);
    const std::string entry = test::FirefoxEntry(":https://h/big", body);
    UrlCache cache(Only(UrlCacheFamily::Firefox, root.dir()), out.dir());
    for (const std::size_t at : {std::size_t(5), std::size_t(256 * 1024 + 9), body.size() - 1}) {
        SCOPED_TRACE(at);
        std::string bad = entry;
        bad[at] ^= 0x20;
        std::ofstream(entries / "0000000000000000000000000000000000000001", std::ios::binary | std::ios::trunc) << bad;
        EXPECT_EQ(cache.Find("https://h/big"), "");
    }
    std::ofstream(entries / "0000000000000000000000000000000000000001", std::ios::binary | std::ios::trunc) << entry;
    EXPECT_EQ(ReadAll(cache.Find("https://h/big")), body);
}

// The caller's size limit is applied before a body is read: a larger body is neither read nor
// copied out.
TEST(UrlCache, BodiesOverTheCallersLimitAreLeftInTheCache)
{
    TempDir root, out;
    const fs::path chrome = root.path() / "c/Cache_Data";
    const fs::path ff = root.path() / "f/p/cache2/entries";
    fs::create_directories(chrome / "index-dir");
    fs::create_directories(ff);
    const std::string body(300 * 1024, 'z');
    std::ofstream(chrome / "0000000000000001_0", std::ios::binary) << test::ChromiumEntry("https://h/c.png", body);
    std::ofstream(ff / "0000000000000000000000000000000000000001", std::ios::binary)
        << test::FirefoxEntry(":https://h/f.png", body);
    UrlCacheRoots roots;
    roots.chromium.push_back((root.path() / "c").string());
    roots.firefox.push_back((root.path() / "f").string());
    UrlCache cache(roots, out.dir());
    auto extracted = [&] {
        long n = 0;
        for (const auto& e : fs::recursive_directory_iterator(out.path()))
            n += e.is_regular_file();
        return n;
    };
    long before = 0;
    for (const std::string url : {"https://h/c.png", "https://h/f.png"}) {
        SCOPED_TRACE(url);
        EXPECT_EQ(cache.Find(url, body.size() - 1), "");
        EXPECT_EQ(extracted(), before) << "nothing extracted";
        const std::string found = cache.Find(url, body.size());
        ASSERT_NE(found, "");
        EXPECT_EQ(ReadAll(found).size(), body.size());
        EXPECT_EQ(cache.Find(url, 1000), "") << "an earlier copy is not handed out past the limit";
        before = extracted();
    }
}

// Chromium keeps "|" of a path as "%7C", Firefox as it is; either form of the address finds
// either browser's entry. A fragment is never part of a key.
TEST(UrlCache, BarsAndFragmentsFindEitherBrowsersKey)
{
    TempDir root, out;
    const fs::path chrome = root.path() / "c/Cache_Data";
    const fs::path ff = root.path() / "f/p/cache2/entries";
    fs::create_directories(chrome / "index-dir");
    fs::create_directories(ff);
    std::ofstream(chrome / "0000000000000001_0", std::ios::binary)
        << test::ChromiumEntry("1/0/_dk_https://h https://h https://h/a%7Cb.png?q=x|y", "C");
    std::ofstream(ff / "0000000000000000000000000000000000000001", std::ios::binary)
        << test::FirefoxEntry("O^partitionKey=%28https%2Ch%29,:https://h/c|d.png", "F");
    UrlCacheRoots roots;
    roots.chromium.push_back((root.path() / "c").string());
    roots.firefox.push_back((root.path() / "f").string());
    UrlCache cache(roots, out.dir());
    for (const std::string url :
         {"https://h/a|b.png?q=x|y", "https://h/a%7Cb.png?q=x|y", "https://h/a%7cb.png?q=x|y#f"})
        EXPECT_EQ(ReadAll(cache.Find(url)), "C") << url;
    for (const std::string url : {"https://h/c|d.png", "https://h/c%7Cd.png", "https://h/c|d.png#top"})
        EXPECT_EQ(ReadAll(cache.Find(url)), "F") << url;
    // Only the path has the two forms.
    EXPECT_EQ(cache.Find("https://h/a|b.png?q=x%7Cy"), "");
    EXPECT_EQ(cache.Find("#f"), "");
}

// Profiles that "profiles.ini" names outside the usual folders: a relative one whose cache lies
// below the cache root at the same relative path, and an absolute one that keeps its cache.
TEST(UrlCache, FirefoxProfilesOfProfilesIniAreFound)
{
    TempDir home, out;
    const fs::path profiles = home.path() / "mozilla";
    const fs::path cacheRoot = home.path() / "cache/mozilla";
    const fs::path elsewhere = home.path() / "disk/my profile";
    const fs::path relCache = cacheRoot / "Profiles/rel.default/cache2/entries";
    const fs::path absCache = elsewhere / "cache2/entries";
    for (const auto& d : {profiles / "Profiles/rel.default", relCache, absCache})
        fs::create_directories(d);
    std::ofstream(relCache / "0000000000000000000000000000000000000001", std::ios::binary)
        << test::FirefoxEntry(":https://h/rel.png", "REL");
    std::ofstream(absCache / "0000000000000000000000000000000000000002", std::ios::binary)
        << test::FirefoxEntry(":https://h/abs.png", "ABS");
    std::ofstream(profiles / "profiles.ini")
        << "[General]\nStartWithLastProfile=1\n\n"
           "[Profile1]\nName=far\nIsRelative=0\nPath=" +
               elsewhere.string() +
               "\n\n"
               "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/rel.default\nDefault=1\n";
    UrlCacheRoots roots;
    roots.firefox = {profiles.string(), cacheRoot.string()};
    UrlCache cache(roots, out.dir());
    EXPECT_EQ(ReadAll(cache.Find("https://h/rel.png")), "REL");
    EXPECT_EQ(ReadAll(cache.Find("https://h/abs.png")), "ABS");

    // A profile added to the file later is found at the next lookup.
    const fs::path later = home.path() / "later/cache2/entries";
    fs::create_directories(later);
    std::ofstream(later / "0000000000000000000000000000000000000003", std::ios::binary)
        << test::FirefoxEntry(":https://h/later.png", "LATER");
    std::ofstream(profiles / "profiles.ini", std::ios::app)
        << "\n[Profile2]\nName=later\nIsRelative=0\nPath=" + (home.path() / "later").string() + "\n";
    EXPECT_EQ(ReadAll(cache.Find("https://h/later.png")), "LATER");
}

// Extracted copies are named after the URL's decoded name, and one URL keeps its file when its
// entry is written again, so the same picture is never taken in twice under two names.
TEST(UrlCache, ExtractedCopiesHaveTheUrlsNameAndKeepIt)
{
    TempDir root, out;
    const fs::path chrome = root.path() / "c/Cache_Data";
    fs::create_directories(chrome / "index-dir");
    const std::vector<std::pair<std::string, std::string>> names = {
        {"https://h/p/my%20picture.png", "my picture[1].png"},
        {"https://h/q/bild-%C3%A4.gif?x=%20", "bild-\xC3\xA4[1].gif"},
        {"https://h/r/my%20picture.png", "my picture[2].png"},
        {"https://h/a%2Fb%0Ac%FF.jpg", "a_b_c_[1].jpg"},
        {"https://h/%2E%2Ehidden", "hidden[1]"},
        {"https://h/dir/", "file[1]"},
        {"https://h/bad%zz.png", "bad%zz[1].png"},
    };
    int n = 0;
    for (const auto& [url, name] : names)
        std::ofstream(chrome / ("000000000000000" + std::to_string(++n) + "_0"), std::ios::binary)
            << test::ChromiumEntry(url, "body of " + url);
    UrlCache cache(Only(UrlCacheFamily::Chromium, (root.path() / "c").string()), out.dir());
    for (const auto& [url, name] : names) {
        const std::string path = cache.Find(url);
        ASSERT_NE(path, "") << url;
        EXPECT_EQ(fs::path(path).filename().string(), name) << url;
        EXPECT_EQ(ReadAll(path), "body of " + url);
    }
    // The browser writes the first entry again (with other bytes, a second later).
    const std::string first = cache.Find(names[0].first);
    const fs::path entry = chrome / "0000000000000001_0";
    std::ofstream(entry, std::ios::binary | std::ios::trunc) << test::ChromiumEntry(names[0].first, "new bytes");
    fs::last_write_time(entry, fs::last_write_time(entry) + std::chrono::seconds(1));
    EXPECT_EQ(cache.Find(names[0].first), first);
    EXPECT_EQ(ReadAll(first), "new bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(first).parent_path()), fs::directory_iterator()),
              static_cast<long>(names.size()) + 1)
        << "one file per URL and the folder's lock";
}

// Indexing in the background from start-up: the index is complete when it reports done, and a
// cache destroyed while indexing stops at once.
TEST(UrlCache, IndexesInTheBackground)
{
    TempDir root, out;
    fs::copy(kData + "chromium/", root.path(), fs::copy_options::recursive);
    {
        UrlCache cache(Only(UrlCacheFamily::Chromium, root.dir()), out.dir());
        cache.StartIndexing();
        cache.StartIndexing();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!cache.Indexed() && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        ASSERT_TRUE(cache.Indexed());
        EXPECT_EQ(cache.IndexedEntries(), 5u);
        EXPECT_NE(cache.Find(kImage), "");
    }
    const fs::path entries = root.path() / "Default/Cache/Cache_Data";
    const std::string bytes = ReadAll(entries / "f3cbe13aa6a06f02_0");
    for (int i = 0; i < 400; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%016x_0", i);
        std::ofstream(entries / name, std::ios::binary) << bytes;
    }
    UrlCache early(Only(UrlCacheFamily::Chromium, root.dir()), out.dir());
    early.StartIndexing();
    EXPECT_NE(early.Find(kImage), "") << "a lookup during indexing finds the entry its key names";
    UrlCache stopped(Only(UrlCacheFamily::Chromium, root.dir()), out.dir());
    stopped.StartIndexing();
}

// The keys a lookup guesses name the files the browsers wrote: the fixtures' entries among them,
// for the drop's page (the origin Chromium tells) as for the picture's own site.
TEST(UrlCache, GuessedKeysNameTheBrowsersEntryFiles)
{
    auto names = [](UrlCacheFamily family, const std::string& url, const std::string& page) {
        std::vector<std::string> out;
        const bool chromium = family == UrlCacheFamily::Chromium;
        for (const std::string& key :
             chromium ? urlcache::ChromiumKeyCandidates(url, page) : urlcache::FirefoxKeyCandidates(url, page))
            out.push_back(chromium ? urlcache::ChromiumEntryName(key) : urlcache::FirefoxEntryName(key));
        return out;
    };
    for (const FamilyCase& fc : kFamilies) {
        SCOPED_TRACE(fc.root);
        const std::string file = fs::path(fc.imageEntry).filename().string();
        for (const std::string& page : {std::string("http://127.0.0.1:8799"), std::string()}) {
            const std::vector<std::string> guessed = names(fc.family, kImage, page);
            EXPECT_NE(std::find(guessed.begin(), guessed.end(), file), guessed.end()) << page;
        }
    }
    EXPECT_EQ(urlcache::ChromiumEntryName("1/0/_dk_http://127.0.0.1 http://127.0.0.1 " + kPhoto), "61bbee0a1d84e090_0");
    EXPECT_EQ(urlcache::FirefoxEntryName("O^partitionKey=%28http%2C127.0.0.1%29,:" + kPage),
              "1A548D35C88471E301D254EC84885C355D5752AC");

    // A picture on another site's server: the page's site splits it, guessed from the host's
    // endings (the registrable domain is one of them).
    const std::string cdn = "https://img.cdn.example.co.uk/a.png";
    const std::vector<std::string> chromium = urlcache::ChromiumKeyCandidates(cdn, "https://www.News.example:8443/x");
    for (const std::string& key : {"1/0/_dk_https://news.example https://news.example " + cdn,
                                   "1/0/_dk_https://www.news.example https://www.news.example " + cdn,
                                   "1/0/_dk_https://example.co.uk https://example.co.uk " + cdn, "1/0/" + cdn, cdn})
        EXPECT_NE(std::find(chromium.begin(), chromium.end(), key), chromium.end()) << key;
    const std::vector<std::string> firefox = urlcache::FirefoxKeyCandidates(cdn, "https://www.news.example/x");
    for (const std::string& key : {"O^partitionKey=%28https%2Cnews.example%29,:" + cdn,
                                   "O^partitionKey=%28https%2Cnews.example%29,a,:" + cdn, ":" + cdn, "a,:" + cdn})
        EXPECT_NE(std::find(firefox.begin(), firefox.end(), key), firefox.end()) << key;
    // No site is made of a top-level domain alone, nor of a part of an address.
    for (const std::string& key : urlcache::ChromiumKeyCandidates("http://10.0.0.1/p.png", "https://a.example/")) {
        EXPECT_EQ(key.find("https://example "), std::string::npos) << key;
        EXPECT_EQ(key.find("http://0.0.1 "), std::string::npos) << key;
    }
}

// The first drop may come while the start-up indexing has only begun: the lookup finds the entry
// by the file name its key gives instead of waiting for the scan; what no guessed key names is
// found once the scan has got to it.
TEST(UrlCache, ALookupDuringTheIndexingDoesNotWaitForIt)
{
    const std::string hidden = "http://127.0.0.1:8799/img/hidden.png";
    for (const FamilyCase& fc : kFamilies) {
        SCOPED_TRACE(fc.root);
        TempDir root, out;
        fs::copy(kData + fc.root, root.path(), fs::copy_options::recursive);
        const fs::path entries = (root.path() / fc.imageEntry).parent_path();
        const bool chromium = fc.family == UrlCacheFamily::Chromium;
        const std::string key = chromium ? "1/0/_dk_https://elsewhere.example https://elsewhere.example " + hidden
                                         : "O^partitionKey=%28https%2Celsewhere.example%29,:" + hidden;
        std::ofstream(entries / (chromium ? urlcache::ChromiumEntryName(key) : urlcache::FirefoxEntryName(key)),
                      std::ios::binary)
            << (chromium ? test::ChromiumEntry(key, "hidden") : test::FirefoxEntry(key, "hidden"));

        // The indexing stops in its first slice of entry files, with the disk being read.
        std::mutex m;
        std::condition_variable changed;
        bool inSlice = false, go = false;
        UrlCache cache(Only(fc.family, root.dir()), out.dir());
        cache.SetSliceHook([&] {
            std::unique_lock<std::mutex> lock(m);
            inSlice = true;
            changed.notify_all();
            changed.wait(lock, [&] { return go; });
        });
        auto release = [&] {
            {
                const std::lock_guard<std::mutex> lock(m);
                go = true;
            }
            changed.notify_all();
        };
        cache.StartIndexing();
        {
            std::unique_lock<std::mutex> lock(m);
            EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return inSlice; }));
        }
        auto lookup = std::async(std::launch::async,
                                 [&] { return cache.Find(kImage, urlcache::kMaxBodyBytes, "http://127.0.0.1:8799"); });
        const bool answered = lookup.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(answered) << "the lookup waited for the indexing";
        if (!answered)
            release();
        const std::string found = lookup.get();
        EXPECT_EQ(ReadAll(found), ReadAll(kData + "tools/site/img/a.png"));
        if (answered) {
            EXPECT_EQ(cache.Find(hidden), "");
            EXPECT_FALSE(cache.Indexed());
            EXPECT_EQ(cache.IndexedEntries(), 0u);
            release();
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!cache.Indexed() && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        ASSERT_TRUE(cache.Indexed());
        EXPECT_EQ(ReadAll(cache.Find(hidden)), "hidden");
        EXPECT_EQ(cache.Find(kImage), found) << "the same URL keeps its file";
    }
}

TEST(UrlCache, ExtractFoldersOfKilledProcessesAreSweptAtStartAndLiveOnesKept)
{
    TempDir root, parent, elsewhere;
    fs::copy(kData + "chromium/", root.path(), fs::copy_options::recursive);
    UrlCache live(Only(UrlCacheFamily::Chromium, root.dir()), parent.dir());
    const std::string kept = live.Find(kImage);
    ASSERT_FALSE(kept.empty());
    // What a process killed while it ran leaves: its lock file, held by nobody now, and bodies.
    parent.write("urlcache-Killed/.lock", "");
    parent.write("urlcache-Killed/a[1].png", "body");
    // Folders made before they had locks: one left long ago, one just being made.
    parent.write("urlcache-OldOne/a[1].png", "body");
    const timespec old[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (parent.dir() + "urlcache-OldOne").c_str(), old, 0), 0);
    parent.write("urlcache-NewOne/a[1].png", "body");
    // A link of that name, and a link inside a swept folder: what they point at stays.
    elsewhere.write("keep.txt", "mine");
    fs::create_directory_symlink(elsewhere.path(), parent.path() / "urlcache-Linked");
    fs::create_symlink(elsewhere.path() / "keep.txt", parent.path() / "urlcache-Killed/link");
    parent.write("urlcache-other/x", "not ours by name");

    UrlCache starting(Only(UrlCacheFamily::Chromium, root.dir()), parent.dir());
    starting.StartIndexing();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!starting.Indexed() && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    ASSERT_TRUE(starting.Indexed());
    EXPECT_FALSE(fs::exists(parent.path() / "urlcache-Killed"));
    EXPECT_FALSE(fs::exists(parent.path() / "urlcache-OldOne"));
    EXPECT_TRUE(fs::exists(parent.path() / "urlcache-NewOne/a[1].png"));
    EXPECT_EQ(ReadAll(kept), ReadAll(kData + "tools/site/img/a.png")) << "a live process keeps its bodies";
    EXPECT_EQ(ReadAll(elsewhere.path() / "keep.txt"), "mine");
    EXPECT_TRUE(fs::is_symlink(parent.path() / "urlcache-Linked"));
    EXPECT_TRUE(fs::exists(parent.path() / "urlcache-other/x"));
}

TEST(UrlCache, KeysGiveTheirUrlPart)
{
    const std::vector<std::pair<std::string, std::string>> chromium = {
        {"1/0/_dk_http://127.0.0.1 http://127.0.0.1 http://127.0.0.1:8799/img/a.png?v=2",
         "http://127.0.0.1:8799/img/a.png?v=2"},
        {"_dk_s_https://a.example https://b.example https://c.example/x", "https://c.example/x"},
        {"https://c.example/x", "https://c.example/x"},
        {"12/0/https://c.example/x", "https://c.example/x"},
        {"1/0/_dk_", ""},
        {"", ""},
        {"no url here", ""},
    };
    for (const auto& [key, url] : chromium)
        EXPECT_EQ(urlcache::UrlFromChromiumKey(key), url) << key;
    const std::vector<std::pair<std::string, std::string>> firefox = {
        {"O^partitionKey=%28http%2C127.0.0.1%29,:http://127.0.0.1:8799/a.png", "http://127.0.0.1:8799/a.png"},
        {"a,:http://h/x:y", "http://h/x:y"},
        {":http://h/x", "http://h/x"},
        {"O^privateBrowsingId=1,p,:https://h/", "https://h/"},
        {"a,~1612345,:https://h/q?a=1,:b", "https://h/q?a=1,:b"},
        {"predictor::http://h/", ""},
        {"a,", ""},
        {"", ""},
    };
    for (const auto& [key, url] : firefox)
        EXPECT_EQ(urlcache::UrlFromFirefoxKey(key), url) << key;
}

TEST(UrlCache, ResponseHeadsDecideWhetherABodyIsUsable)
{
    using std::string_view;
    struct Head {
        std::string head;
        std::uint64_t length;
        bool usable;
    };
    const std::vector<Head> heads = {
        {std::string("HTTP/1.1 200 OK\0Content-Length: 5\0\0", 36), 5, true},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", 4, false},
        {"HTTP/2 200\r\ncontent-length:  7 \r\n", 7, true},
        {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n", 9, false},
        {"HTTP/1.1 200 OK\r\nContent-Encoding: identity\r\n", 9, true},
        {"HTTP/1.1 304 Not Modified\r\n", 0, false},
        {"HTTP/1.1 2000 OK\r\n", 0, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n", 5, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n", 5, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n", 5, false},
        {"ICY 200 OK\r\n", 0, false},
        {"", 0, false},
    };
    for (const Head& h : heads)
        EXPECT_EQ(urlcache::UsableResponseHead(h.head, h.length), h.usable) << h.head;
}

TEST(UrlCache, DefaultRootsFollowHomeAndXdgFolders)
{
    struct Env {
        const char* name;
        std::string old;
        bool had;
    };
    std::vector<Env> saved;
    for (const char* n : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        const char* v = std::getenv(n);
        saved.push_back({n, v ? v : "", v != nullptr});
    }
    ::setenv("HOME", "/home/u", 1);
    ::unsetenv("XDG_CACHE_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    UrlCacheRoots plain = DefaultUrlCacheRoots();
    ::setenv("XDG_CACHE_HOME", "/x/cache", 1);
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    UrlCacheRoots xdg = DefaultUrlCacheRoots();
    for (const Env& e : saved)
        e.had ? ::setenv(e.name, e.old.c_str(), 1) : ::unsetenv(e.name);

    EXPECT_EQ(plain.chromium, (std::vector<std::string>{"/home/u/.cache/chromium/", "/home/u/.cache/google-chrome/"}));
    EXPECT_EQ(plain.firefox, (std::vector<std::string>{"/home/u/.cache/mozilla/firefox/", "/home/u/.mozilla/firefox/",
                                                       "/home/u/.config/mozilla/firefox/"}));
    EXPECT_EQ(xdg.chromium, (std::vector<std::string>{"/home/u/.cache/chromium/", "/home/u/.cache/google-chrome/",
                                                      "/x/cache/chromium/", "/x/cache/google-chrome/"}));
    EXPECT_EQ(xdg.firefox.size(), 4u);
    EXPECT_EQ(xdg.firefox.back(), "/home/u/.config/mozilla/firefox/");
}

// A sweep running while another cache makes its extract folder never takes that folder: the
// folder's lock is held from the moment its lock file can be seen.
TEST(UrlCache, ASweepNeverTakesAnExtractFolderBeingMade)
{
    TempDir parent;
    std::atomic<bool> done{false};
    std::thread sweeper([&] {
        while (!done)
            SweepStaleExtractFolders(parent.dir());
    });
    int failed = 0;
    for (int i = 0; i < 2000; ++i) {
        ExtractFolder folder(parent.dir());
        failed += folder.Path().empty() || !fs::exists(folder.Path() + ".lock");
    }
    done = true;
    sweeper.join();
    EXPECT_EQ(failed, 0);
}

}  // namespace
}  // namespace ql
