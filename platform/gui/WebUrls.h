#pragma once
// Turning what the program navigates to (a page file path or a URL) into a URL the engine loads.
#include "platform/core/UrlText.h"

#include <string>

namespace ql::web {

// Lives in platform/core, where headless code builds file URLs too.
using ql::FilePathToUrl;
// An absolute path becomes a file URL; anything else (a URL with a scheme) is kept as it is.
std::string NavigationUrl(const std::string& pathOrUrl);
// The scheme of a URL in lower case ("http"), or "" when the text has none.
std::string UrlScheme(const std::string& url);

}  // namespace ql::web
