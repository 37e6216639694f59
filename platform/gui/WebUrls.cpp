#include "platform/gui/WebUrls.h"

namespace ql::web {

std::string NavigationUrl(const std::string& pathOrUrl)
{
    if (!pathOrUrl.empty() && pathOrUrl[0] == '/')
        return FilePathToUrl(pathOrUrl);
    return pathOrUrl;
}

}  // namespace ql::web
