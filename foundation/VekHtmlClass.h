#pragma once
// URL helpers: decoding, resolving links against a base, finding a URL's body in the local
// browsers' caches, and file URLs to paths.
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
// The path of a readable local file holding the cached body of exactly `url`, or "": a private
// copy of the body from the user's browser caches (see platform/core/UrlCache.h).
std::string FindUrlCacheFile(const std::string& url);
// "file:///home/a%20b" -> "/home/a b" (also "file://localhost/..."): "%XX" escapes decoded, "+"
// kept, a query or fragment dropped. Any other text, and file URLs of another host, are
// returned unchanged.
std::string FileUrlToPath(const std::string& url);

}  // namespace ql
