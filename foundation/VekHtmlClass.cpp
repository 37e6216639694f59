#include "foundation/VekHtmlClass.h"

#include "platform/core/UrlText.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace ql {
namespace {

bool IsTrimmed(unsigned char c) { return c <= 0x20 || c == 0x7F; }

std::string Trim(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsTrimmed(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && IsTrimmed(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// Tabs and line breaks inside a URL are dropped by browsers before they parse it.
std::string DropTabsAndNewlines(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\t' && c != '\n' && c != '\r')
            out += c;
    return out;
}

// The schemes whose URLs browsers parse as hierarchical with a host ("special" ones): only they
// read "\\" as "/", lower-case the host and escape "'" in queries.
bool IsSpecialScheme(const std::string& scheme)
{
    return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "ws" || scheme == "wss" ||
           scheme == "file";
}

bool IsControlOrNonAscii(unsigned char c) { return c < 0x20 || c >= 0x7F; }

// Escapes a URL or a relative reference as browsers do before they fetch, and so before they
// store the URL as a cache key (checked against Chromium 156 and Firefox ESR 153): each part
// has its own set, "%" is never escaped (a stray one stays as it is), and in the path of a
// special scheme "\\" is "/". Chromium also escapes "|" in paths while Firefox keeps it; we
// keep it, as the URL standard does.
std::string EscapeLikeBrowser(const std::string& ref, bool special)
{
    std::size_t i = 0;
    if (HasUrlScheme(ref))
        i = ref.find(':') + 1;
    std::string out = ref.substr(0, i);
    auto isSlash = [&](char c) { return c == '/' || (special && c == '\\'); };
    if (i + 1 < ref.size() && isSlash(ref[i]) && isSlash(ref[i + 1])) {
        // The authority is left to the URL parser.
        std::size_t end = i + 2;
        while (end < ref.size() && !isSlash(ref[end]) && ref[end] != '?' && ref[end] != '#')
            ++end;
        out += "//" + ref.substr(i + 2, end - i - 2);
        i = end;
    }
    const std::size_t hash = ref.find('#', i);
    const std::size_t query = ref.substr(0, hash).find('?', i);
    const std::size_t pathEnd = std::min(query, hash);
    std::string path = ref.substr(i, pathEnd == std::string::npos ? std::string::npos : pathEnd - i);
    if (special)
        for (char& c : path)
            if (c == '\\')
                c = '/';
    out += PercentEscape(path, [](unsigned char c) {
        return IsControlOrNonAscii(c) || c == ' ' || c == '"' || c == '<' || c == '>' || c == '`' || c == '{' ||
               c == '}' || c == '^';
    });
    if (query != std::string::npos) {
        const std::string q = ref.substr(query, hash == std::string::npos ? std::string::npos : hash - query);
        out += '?' + PercentEscape(std::string_view(q).substr(1), [special](unsigned char c) {
                   return IsControlOrNonAscii(c) || c == ' ' || c == '"' || c == '<' || c == '>' ||
                          (special && c == '\'');
               });
    }
    if (hash != std::string::npos) {
        out += '#' + PercentEscape(std::string_view(ref).substr(hash + 1), [](unsigned char c) {
                   return IsControlOrNonAscii(c) || c == ' ' || c == '"' || c == '<' || c == '>' || c == '`';
               });
    }
    return out;
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

std::string GetPart(CURLU* h, CURLUPart part)
{
    char* raw = nullptr;
    if (curl_url_get(h, part, &raw, 0) != CURLUE_OK || !raw)
        return {};
    CurlString owned(raw);
    return std::string(owned.get());
}

// Parses `base` and turns its path into a folder (a trailing "/"). Null when it is no URL.
CurlUrl ParseBaseAsFolder(const std::string& base)
{
    CurlUrl h(curl_url());
    if (!h)
        return nullptr;
    if (!HasUrlScheme(base))
        return nullptr;
    const bool special = IsSpecialScheme(UrlScheme(base));
    if (curl_url_set(h.get(), CURLUPART_URL, EscapeLikeBrowser(base, special).c_str(), kParseFlags) != CURLUE_OK)
        return nullptr;
    std::string path = GetPart(h.get(), CURLUPART_PATH);
    if (path.empty() || path.back() != '/') {
        path += '/';
        if (curl_url_set(h.get(), CURLUPART_PATH, path.c_str(), 0) != CURLUE_OK)
            return nullptr;
    }
    return h;
}

// The resolved URL in the form browsers keep: the host of a special scheme in lower case, and
// no port when it is the scheme's default one.
std::string CanonicalUrl(CURLU* h)
{
    if (IsSpecialScheme(GetPart(h, CURLUPART_SCHEME))) {
        std::string host = GetPart(h, CURLUPART_HOST);
        bool upper = false;
        for (char& c : host)
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
                upper = true;
            }
        if (upper && curl_url_set(h, CURLUPART_HOST, host.c_str(), 0) != CURLUE_OK)
            return {};
    }
    char* raw = nullptr;
    if (curl_url_get(h, CURLUPART_URL, &raw, CURLU_NO_DEFAULT_PORT) != CURLUE_OK || !raw)
        return {};
    CurlString owned(raw);
    return std::string(owned.get());
}

}  // namespace

// A malformed escape, including "%00", leaves the whole text unchanged.
std::string UrlDecode(const std::string& text) { return PercentDecode(text, true).value_or(text); }

void MakeAbsoluteUrl(const std::string& base, const std::string& link, std::string& result)
{
    result = MakeAbsoluteUrl(base, link);
}

std::string MakeAbsoluteUrl(const std::string& base, const std::string& link)
{
    std::string trimmedLink = Trim(link);
    if (trimmedLink.empty())
        return {};
    // Absolute links of any scheme ("data:", "mailto:", "javascript:" ...) are left alone.
    if (HasUrlScheme(trimmedLink))
        return trimmedLink;
    CurlUrl h = ParseBaseAsFolder(DropTabsAndNewlines(Trim(base)));
    if (!h)
        return trimmedLink;
    const std::string escaped = EscapeLikeBrowser(DropTabsAndNewlines(trimmedLink),
                                                  IsSpecialScheme(GetPart(h.get(), CURLUPART_SCHEME)));
    if (escaped.empty())
        return {};
    // A link that resolves to no URL (such as "//", which names no host) gives "": there is
    // nothing to fetch or find.
    if (escaped[0] == '#') {
        // A fragment-only link keeps the base's query (RFC 3986 5.2.2), which the URL
        // parser's own relative handling drops.
        if (curl_url_set(h.get(), CURLUPART_FRAGMENT, escaped.c_str() + 1, 0) != CURLUE_OK)
            return {};
    } else if (curl_url_set(h.get(), CURLUPART_URL, escaped.c_str(), kParseFlags) != CURLUE_OK) {
        return {};
    }
    return CanonicalUrl(h.get());
}

std::string FetchedUrl(const std::string& url)
{
    const std::string trimmed = DropTabsAndNewlines(Trim(url));
    if (!HasUrlScheme(trimmed) || !IsSpecialScheme(UrlScheme(trimmed)))
        return url;
    CurlUrl h(curl_url());
    if (!h || curl_url_set(h.get(), CURLUPART_URL, EscapeLikeBrowser(trimmed, true).c_str(), kParseFlags) != CURLUE_OK)
        return url;
    // A fragment is never sent, so never part of a cache key.
    if (curl_url_set(h.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK)
        return url;
    std::string fetched = CanonicalUrl(h.get());
    return fetched.empty() ? url : fetched;
}

std::string FileUrlToPath(const std::string& url)
{
    static const std::string kPrefix = "file://";
    if (url.size() < kPrefix.size())
        return url;
    for (std::size_t i = 0; i < kPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(url[i])) != kPrefix[i])
            return url;
    std::string rest = url.substr(kPrefix.size());
    // The authority: empty or "localhost" names this machine; another host is not reachable
    // as a local path, so the text is returned unchanged.
    const std::size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    if (slash == std::string::npos)
        return url;
    if (!host.empty()) {
        std::string lower;
        for (const char c : host)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != "localhost")
            return url;
    }
    std::string path = rest.substr(slash);
    // A literal "?" or "#" ends the path: browsers escape them when they are part of a name.
    path = path.substr(0, path.find_first_of("?#"));
    // "+" is a literal plus in a path; only "%XX" escapes are decoded, and a malformed one
    // leaves the text unchanged.
    return PercentDecode(path).value_or(path);
}

}  // namespace ql
