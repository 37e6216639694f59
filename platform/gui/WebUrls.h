#pragma once
// Turning what the program navigates to (a page file path or a URL) into a URL the engine loads.
#include <string>

namespace ql::web {

// "/coll/a b#1.html" -> "file:///coll/a%20b%231.html": every byte except letters, digits and
// -._~/!$&'()*+,;=:@ percent-encoded, so "#", "?", "%" and blanks in file names stay part of
// the path.
std::string FilePathToUrl(const std::string& absolutePath);
// An absolute path becomes a file URL; anything else (a URL with a scheme) is kept as it is.
std::string NavigationUrl(const std::string& pathOrUrl);
// The scheme of a URL in lower case ("http"), or "" when the text has none.
std::string UrlScheme(const std::string& url);

}  // namespace ql::web
