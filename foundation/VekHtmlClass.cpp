#include "foundation/VekHtmlClass.h"

#include "platform/core/UrlCache.h"
#include "platform/core/UrlText.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>

namespace ql {
namespace {

bool IsTrimmed(unsigned char c) { return c <= 0x20 || c == 0x7F; }

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsTrimmed(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && IsTrimmed(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// Browsers escape blanks, controls and non-ASCII bytes as upper-case "%XX" before they fetch
// (and cache) a URL; doing the same here keeps resolved links equal to the cached keys.
std::string EscapeLikeBrowser(const std::string& link) {
    return PercentEscape(link, [](unsigned char c) { return c <= 0x20 || c >= 0x7F; });
}

struct CurlUrlDeleter {
    void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

struct CurlStringDeleter {
    void operator()(char* s) const { curl_free(s); }
};
using CurlString = std::unique_ptr<char, CurlStringDeleter>;

constexpr unsigned int kParseFlags = CURLU_NON_SUPPORT_SCHEME;

std::string GetPart(CURLU* h, CURLUPart part) {
    char* raw = nullptr;
    if (curl_url_get(h, part, &raw, 0) != CURLUE_OK || !raw) return {};
    CurlString owned(raw);
    return std::string(owned.get());
}

// Parses `base` and turns its path into a folder (a trailing "/"). Null when it is no URL.
CurlUrl ParseBaseAsFolder(const std::string& base) {
    CurlUrl h(curl_url());
    if (!h) return nullptr;
    if (curl_url_set(h.get(), CURLUPART_URL, EscapeLikeBrowser(base).c_str(), kParseFlags) != CURLUE_OK)
        return nullptr;
    std::string path = GetPart(h.get(), CURLUPART_PATH);
    if (path.empty() || path.back() != '/') {
        path += '/';
        if (curl_url_set(h.get(), CURLUPART_PATH, path.c_str(), 0) != CURLUE_OK) return nullptr;
    }
    return h;
}

}  // namespace

// A malformed escape, including "%00", leaves the whole text unchanged.
std::string UrlDecode(const std::string& text) { return PercentDecode(text, true).value_or(text); }

void MakeAbsoluteUrl(const std::string& base, const std::string& link, std::string& result) {
    result = MakeAbsoluteUrl(base, link);
}

std::string MakeAbsoluteUrl(const std::string& base, const std::string& link) {
    const std::string trimmedLink = Trim(link);
    if (trimmedLink.empty()) return {};
    // Absolute links of any scheme ("data:", "mailto:", "javascript:" ...) are left alone.
    if (HasUrlScheme(trimmedLink)) return trimmedLink;
    CurlUrl h = ParseBaseAsFolder(Trim(base));
    if (!h) return trimmedLink;
    const std::string escaped = EscapeLikeBrowser(trimmedLink);
    if (escaped[0] == '#') {
        // A fragment-only link keeps the base's query (RFC 3986 5.2.2), which the URL
        // parser's own relative handling drops.
        if (curl_url_set(h.get(), CURLUPART_FRAGMENT, escaped.c_str() + 1, 0) != CURLUE_OK) return trimmedLink;
    } else if (curl_url_set(h.get(), CURLUPART_URL, escaped.c_str(), kParseFlags) != CURLUE_OK) {
        return trimmedLink;
    }
    const std::string out = GetPart(h.get(), CURLUPART_URL);
    return out.empty() ? trimmedLink : out;
}

std::string FindUrlCacheFile(const std::string& url) {
    // One cache per process: its index makes every lookup after the first cheap.
    static std::mutex mutex;
    static UrlCache cache(DefaultUrlCacheRoots());
    const std::lock_guard<std::mutex> lock(mutex);
    return cache.Find(url);
}

std::string FileUrlToPath(const std::string& url) {
    static const std::string kPrefix = "file://";
    if (url.size() < kPrefix.size()) return url;
    for (std::size_t i = 0; i < kPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(url[i])) != kPrefix[i]) return url;
    std::string rest = url.substr(kPrefix.size());
    // The authority: empty or "localhost" names this machine; another host is not reachable
    // as a local path, so the text is returned unchanged.
    const std::size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    if (slash == std::string::npos) return url;
    if (!host.empty()) {
        std::string lower;
        for (const char c : host) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != "localhost") return url;
    }
    std::string path = rest.substr(slash);
    // A literal "?" or "#" ends the path: browsers escape them when they are part of a name.
    path = path.substr(0, path.find_first_of("?#"));
    // "+" is a literal plus in a path; only "%XX" escapes are decoded, and a malformed one
    // leaves the text unchanged.
    return PercentDecode(path).value_or(path);
}

}  // namespace ql
