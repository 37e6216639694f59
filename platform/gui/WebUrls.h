#pragma once
// Turning what the program navigates to (a page file path or a URL) into a URL the engine loads.
#include "platform/core/UrlText.h"

#include <string>

namespace ql::web {

// These live in platform/core, where headless code needs them too.
using ql::FilePathToUrl;
using ql::UrlScheme;
// An absolute path becomes a file URL; anything else (a URL with a scheme) is kept as it is.
std::string NavigationUrl(const std::string& pathOrUrl);

}  // namespace ql::web
