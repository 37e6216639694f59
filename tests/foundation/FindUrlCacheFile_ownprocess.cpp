// FindUrlCacheFile keeps one cache for the whole process, whose folders follow the environment
// at its first lookup; this program therefore makes its lookups alone (see CMakeLists.txt).
#include "foundation/VekHtmlClass.h"
#include "platform/core/SafeFile.h"

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::string kData = QUILLORY_TEST_DATA "/";

// Sets a variable for the test's duration.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        old_ = old ? old : "";
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { had_ ? ::setenv(name_, old_.c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// Copies a fixture cache folder to where a browser would keep it.
void Place(const std::string& fixture, const fs::path& to)
{
    fs::create_directories(to);
    fs::copy(kData + fixture, to, fs::copy_options::recursive);
}

std::string BodyOf(const std::string& path) { return ql::ReadFileBytes(path).value_or("<unreadable>"); }

TEST(FindUrlCacheFile, FindsEntriesInTheBrowsersOwnFoldersBelowHomeAndXdgFolders)
{
    ql::test::ScopedXdgEnv xdg;  // XDG_CONFIG_HOME, and XDG_RUNTIME_DIR for the extracted bodies
    const fs::path root = xdg.root().path();
    ScopedEnv home("HOME", (root / "home").string());
    ScopedEnv cacheHome("XDG_CACHE_HOME", (root / "cache").string());
    const std::string photo = BodyOf(kData + "urlcache/tools/site/img/Photo.png");
    const std::string small = BodyOf(kData + "urlcache/tools/site/img/a.png");

    // Chromium below XDG_CACHE_HOME; a Firefox profile that keeps its cache inside, below
    // XDG_CONFIG_HOME. The two hold different addresses.
    Place("urlcache/chromium/Default/Cache/Cache_Data", root / "cache/chromium/Default/Cache/Cache_Data");
    Place("urlcache-escapes/firefox/prof/cache2/entries",
          root / "config/mozilla/firefox/x1y2z3.default-esr/cache2/entries");
    // Without its entry for "p^q.png".
    fs::remove(root /
               "config/mozilla/firefox/x1y2z3.default-esr/cache2/entries/953E111F4224E35AB81CC91D685637BEC027C09F");

    const std::string chromium = ql::FindUrlCacheFile("http://127.0.0.1:8799/img/Photo.png");
    ASSERT_NE(chromium, "");
    EXPECT_EQ(BodyOf(chromium), photo);
    EXPECT_EQ(chromium.rfind((root / "runtime").string(), 0), 0u) << chromium;  // a private copy
    const std::string firefox = ql::FindUrlCacheFile("http://127.0.0.1:18799/img/p%20sp.png");
    ASSERT_NE(firefox, "");
    EXPECT_EQ(BodyOf(firefox), small);
    EXPECT_EQ(ql::FindUrlCacheFile("http://127.0.0.1:8799/img/photo.png"), "");
    EXPECT_EQ(ql::FindUrlCacheFile("http://127.0.0.1:18799/img/p%5Eq.png"), "");
    // Addresses as a page may write them: looked up as the browser fetched them.
    for (const char* written :
         {"HTTP://127.0.0.1:18799/img/dot/../p sp.png#top", "http://127.0.0.1:18799/img/p%7Cq.png"}) {
        const std::string found = ql::FindUrlCacheFile(written);
        ASSERT_NE(found, "") << written;
        EXPECT_EQ(BodyOf(found), small);
    }

    // A browser started after the first lookup: its profile below ~/.cache is found too.
    Place("urlcache-escapes/chromium/Default/Cache/Cache_Data",
          root / "home/.cache/google-chrome/Profile 1/Cache/Cache_Data");
    const std::string later = ql::FindUrlCacheFile("http://127.0.0.1:18799/img/p%5Eq.png");
    ASSERT_NE(later, "");
    EXPECT_EQ(BodyOf(later), small);
}

}  // namespace
