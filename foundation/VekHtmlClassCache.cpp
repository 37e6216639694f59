// The URL-cache lookup of VekHtmlClass. The capture extension compiles this file in as well, so
// it depends on platform/core only.
#include "foundation/VekHtmlClass.h"

#include "platform/core/UrlCache.h"

#include <mutex>

namespace ql {

std::string FindUrlCacheFile(const std::string& url) {
    // One cache per process: its index makes every lookup after the first cheap.
    static std::mutex mutex;
    static UrlCache cache(DefaultUrlCacheRoots());
    const std::lock_guard<std::mutex> lock(mutex);
    return cache.Find(url);
}

}  // namespace ql
