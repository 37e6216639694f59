// Lookups in synthetic browser caches of 100,000 entries per format (a heavy user's cache): the
// first lookup with no indexing before it, the first lookup after the program started indexing
// at start-up (what the first drop waits for), a lookup issued while that indexing has just
// begun, later lookups (hits and misses), and lookups right after the browser added entries.
#include "platform/core/UrlCache.h"
#include "tests/support/UrlCacheWriter.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
constexpr int kEntries = 100000;

std::string Url(int i)
{
    return "https://img" + std::to_string(i % 50) + ".example/p/" + std::to_string(i) + ".png?s=1";
}

// A picture of a news page kept on another site's server, as each browser keys it when the
// page shows it; its entry files are named as the browsers name them.
constexpr char kPageUrl[] = "https://www.news.example/today/article.html";
constexpr char kPictureUrl[] = "https://cdn3.example/p/lead.png";
const std::string kChromiumPictureKey = std::string("1/0/_dk_https://news.example https://news.example ") + kPictureUrl;
const std::string kFirefoxPictureKey = std::string("O^partitionKey=%28https%2Cnews.example%29,:") + kPictureUrl;

std::string Hex(unsigned long long v, int digits, bool upper)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, upper ? "%0*llX" : "%0*llx", digits, v);
    return buf;
}

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// A cache root per format below a temp folder, removed at exit.
struct Synthetic {
    fs::path base;
    ql::UrlCacheRoots chromium, firefox;
    fs::path chromiumEntries, firefoxEntries, extract;

    Synthetic()
    {
        std::string tmpl = (fs::temp_directory_path() / "urlcache-bench-XXXXXX").string();
        base = ::mkdtemp(tmpl.data());
        chromiumEntries = base / "chromium/Default/Cache/Cache_Data";
        firefoxEntries = base / "firefox/abcd.default-esr/cache2/entries";
        extract = base / "extract";
        for (const auto& d : {chromiumEntries / "index-dir", firefoxEntries, extract})
            fs::create_directories(d);
        const std::string body(200, 'p');
        for (int i = 0; i < kEntries; ++i) {
            const std::string site = "https://site" + std::to_string(i % 7) + ".example";
            Put(chromiumEntries / (Hex(0x1000000000ull + i, 16, false) + "_0"),
                ql::test::ChromiumEntry("1/0/_dk_" + site + " " + site + " " + Url(i), body));
            Put(firefoxEntries / Hex(0xF000000ull + i, 40, true),
                ql::test::FirefoxEntry("O^partitionKey=%28https%2Csite.example%29,:" + Url(i), body));
        }
        Put(chromiumEntries / ql::urlcache::ChromiumEntryName(kChromiumPictureKey),
            ql::test::ChromiumEntry(kChromiumPictureKey, body));
        Put(firefoxEntries / ql::urlcache::FirefoxEntryName(kFirefoxPictureKey),
            ql::test::FirefoxEntry(kFirefoxPictureKey, body));
        Settle();
        chromium.chromium.push_back((base / "chromium").string());
        firefox.firefox.push_back((base / "firefox").string());
    }
    ~Synthetic() { fs::remove_all(base); }
    // Caches at rest: the folders were last changed a while ago.
    void Settle() const
    {
        const timespec past[2] = {{1700000000, 0}, {1700000000, 0}};
        for (const auto& d : {chromiumEntries, firefoxEntries})
            ::utimensat(AT_FDCWD, d.c_str(), past, 0);
    }
    const ql::UrlCacheRoots& Roots(int family) const { return family == 0 ? chromium : firefox; }
};

Synthetic& Data()
{
    static Synthetic data;
    return data;
}

void BM_FirstLookup(benchmark::State& state)
{
    Synthetic& d = Data();
    for (auto _ : state) {
        ql::UrlCache cache(d.Roots(static_cast<int>(state.range(0))), d.extract.string());
        const std::string path = cache.Find(Url(12345));
        if (path.empty() || cache.IndexedEntries() != kEntries + 1)
            state.SkipWithError("entry not found");
    }
    state.SetLabel(state.range(0) == 0 ? "chromium" : "firefox");
}
BENCHMARK(BM_FirstLookup)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The program starts indexing at start-up; the user's first drop comes after it finished.
void BM_FirstLookupAfterStartup(benchmark::State& state)
{
    Synthetic& d = Data();
    for (auto _ : state) {
        state.PauseTiming();
        auto cache = std::make_unique<ql::UrlCache>(d.Roots(static_cast<int>(state.range(0))), d.extract.string());
        cache->StartIndexing();
        while (!cache->Indexed())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state.ResumeTiming();
        if (cache->Find(Url(12345)).empty())
            state.SkipWithError("entry not found");
        state.PauseTiming();
        cache.reset();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "chromium" : "firefox");
}
BENCHMARK(BM_FirstLookupAfterStartup)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(5);

// The first drop comes while the start-up indexing has only begun: the lookup must not wait for
// the whole scan.
void BM_LookupDuringIndexing(benchmark::State& state)
{
    Synthetic& d = Data();
    for (auto _ : state) {
        state.PauseTiming();
        auto cache = std::make_unique<ql::UrlCache>(d.Roots(static_cast<int>(state.range(0))), d.extract.string());
        cache->StartIndexing();
        state.ResumeTiming();
        if (cache->Find(kPictureUrl, ql::urlcache::kMaxBodyBytes, kPageUrl).empty())
            state.SkipWithError("entry not found");
        state.PauseTiming();
        const bool indexed = cache->Indexed();
        cache.reset();
        state.ResumeTiming();
        state.counters["indexing_done_at_answer"] = indexed;
    }
    state.SetLabel(state.range(0) == 0 ? "chromium" : "firefox");
}
BENCHMARK(BM_LookupDuringIndexing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_LaterLookupHit(benchmark::State& state)
{
    Synthetic& d = Data();
    ql::UrlCache cache(d.Roots(static_cast<int>(state.range(0))), d.extract.string());
    for (int i = 0; i < 64; ++i)
        cache.Find(Url(i * 300));
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.Find(Url((i++ % 64) * 300)));
    }
    state.SetLabel(state.range(0) == 0 ? "chromium" : "firefox");
}
BENCHMARK(BM_LaterLookupHit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_LaterLookupMiss(benchmark::State& state)
{
    Synthetic& d = Data();
    ql::UrlCache cache(d.Roots(static_cast<int>(state.range(0))), d.extract.string());
    cache.Find(Url(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(cache.Find("https://nowhere.example/x.png"));
    state.SetLabel(state.range(0) == 0 ? "chromium" : "firefox");
}
BENCHMARK(BM_LaterLookupMiss)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The browser writes new entries (range 1: how many) between two lookups; the time should follow
// their number, not the cache's size.
void BM_LookupAfterNewEntries(benchmark::State& state)
{
    Synthetic& d = Data();
    const int family = static_cast<int>(state.range(0));
    const int added = static_cast<int>(state.range(1));
    ql::UrlCache cache(d.Roots(family), d.extract.string());
    cache.Find(Url(1));
    static int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string url;
        for (int k = 0; k < added; ++k, ++n) {
            url = "https://new.example/" + std::to_string(n) + ".png";
            if (family == 0)
                Put(d.chromiumEntries / (Hex(0x2000000000ull + n, 16, false) + "_0"),
                    ql::test::ChromiumEntry(url, "new"));
            else
                Put(d.firefoxEntries / Hex(0xE000000ull + n, 40, true), ql::test::FirefoxEntry(":" + url, "new"));
        }
        state.ResumeTiming();
        if (cache.Find(url).empty())
            state.SkipWithError("new entry not noticed");
    }
    d.Settle();
    state.SetLabel(family == 0 ? "chromium" : "firefox");
}
BENCHMARK(BM_LookupAfterNewEntries)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 100})
    ->Args({1, 100})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
