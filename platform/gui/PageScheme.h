#pragma once
// The URL scheme the editing view loads page files through. Its responses carry a content
// policy that forbids every script of the page, so the markup reaches the document as written
// (switching page scripts off in the engine's settings makes the parser drop <script>
// elements, on... attributes and javascript: links, and a save would lose them).
#include <string>

namespace ql::web {

inline constexpr char kPageScheme[] = "quillory-page";
inline constexpr char kPageSchemePolicy[] = "script-src 'none'; object-src 'none'";
// The address of a document that has no file (a new one): relative links resolve nowhere.
inline constexpr char kPageSchemeBlank[] = "quillory-page:blank";

// "file:///coll/a%20b.html" -> "quillory-page:///coll/a%20b.html"; a URL of the scheme stays as
// it is; anything else (http, about:, ...) gives "" (it cannot be served this way).
std::string ToPageSchemeUrl(const std::string& url);
// Back the other way for reporting the document's address: a page-scheme URL of a file as a
// file URL; other URLs unchanged.
std::string PageSchemeUrlToFileUrl(const std::string& url);
// The local file a page-scheme URL names: its path decoded, query and fragment dropped and "\"
// read as "/" (pages written elsewhere link pictures as "!images\x.png"). "" when the URL is not
// of the scheme, names no absolute path, or its escapes are malformed.
std::string PageSchemeUrlToPath(const std::string& url);

}  // namespace ql::web
