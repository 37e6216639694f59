// One entry file of a Firefox-family disk cache, as found on disk (cut short, damaged, or
// written by anyone): its key and body are read within the file's bounds.
#include "fuzz/FuzzSupport.h"
#include "platform/core/UrlCacheEntry.h"

#include <unistd.h>

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::Bytes(data, size);
    urlcache::UrlFromFirefoxKey(input);
    const int fd = fuzz::MemoryFile(input);
    if (fd < 0)
        return 0;
    if (const std::optional<std::string> url = urlcache::ReadFirefoxEntryUrl(fd, size)) {
        if (const std::optional<std::string> body = urlcache::ReadFirefoxEntryBody(fd, size, *url))
            QL_FUZZ_CHECK(body->size() <= size);
    }
    urlcache::ReadFirefoxEntryBody(fd, size, "http://127.0.0.1:8799/img/a.png");
    close(fd);
    return 0;
}
