#pragma once
// URL helpers: decoding, resolving links against a base, finding a URL's body in the local
// browsers' caches, and file URLs to paths.
#include "platform/core/UrlCacheEntry.h"

#include <cstdint>
#include <string>

namespace ql {

// "+" is a blank, "%XX" a byte; a malformed escape leaves the whole text unchanged, and "%00"
// never yields a NUL.
std::string UrlDecode(const std::string& text);
// Resolves `link` against `base` (treated as a folder), by RFC 3986. Both are trimmed; an empty
// link gives "". Links with a scheme ("data:", "mailto:" ...) are returned as they are, and so
// is a relative link when `base` is no URL; a link that resolves to no URL ("//") gives "".
// The result has the form browsers fetch and cache a URL under: characters escaped as they
// escape them in each part, tabs and line breaks dropped, "\" read as "/" in web and file
// URLs, the host in lower case, a default port left out.
void MakeAbsoluteUrl(const std::string& base, const std::string& link, std::string& result);
std::string MakeAbsoluteUrl(const std::string& base, const std::string& link);
// The address browsers fetch for an absolute URL, and so the key their caches keep it under: the
// fragment dropped, scheme and host in lower case, a default port left out, dot segments
// removed, characters escaped as browsers escape them in each part (the rules of
// MakeAbsoluteUrl). URLs of other schemes and text that is no URL come back unchanged.
std::string FetchedUrl(const std::string& url);
// The path of a readable local file holding the cached body of `url` (in the form FetchedUrl
// gives it), or "": a private copy of the body from the user's browser caches, at most
// `maxBytes` long (see platform/core/UrlCache.h). `pageUrl`: the page the resource was shown in,
// when known.
std::string FindUrlCacheFile(const std::string& url, std::uint64_t maxBytes = urlcache::kMaxBodyBytes,
                             const std::string& pageUrl = "");
// Starts indexing the browser caches in the background, so that the first FindUrlCacheFile
// finds the index ready. The program calls it at start-up.
void StartUrlCacheIndexing();
// "file:///home/a%20b" -> "/home/a b" (also "file://localhost/..."): "%XX" escapes decoded, "+"
// kept, a query or fragment dropped. Any other text, and file URLs of another host, are
// returned unchanged.
std::string FileUrlToPath(const std::string& url);

}  // namespace ql
