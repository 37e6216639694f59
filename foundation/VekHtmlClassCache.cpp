// The URL-cache lookup of VekHtmlClass. The capture extension compiles this file in as well, so
// it depends on platform/core and the URL helpers only.
#include "foundation/VekHtmlClass.h"

#include "platform/core/UrlCache.h"

namespace ql {

namespace {

// One cache per process: its index makes every lookup after the first cheap.
UrlCache& ProcessUrlCache()
{
    static UrlCache cache(DefaultUrlCacheRoots());
    return cache;
}

}  // namespace

std::string FindUrlCacheFile(const std::string& url, std::uint64_t maxBytes, const std::string& pageUrl)
{
    return ProcessUrlCache().Find(FetchedUrl(url), maxBytes, pageUrl);
}

void StartUrlCacheIndexing() { ProcessUrlCache().StartIndexing(); }

}  // namespace ql
