#include "platform/gui/WebUrls.h"

#include <cctype>

namespace ql::web {

std::string UrlScheme(const std::string& url)
{
    // RFC 3986: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0])))
        return "";
    for (std::size_t i = 1; i < url.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == ':') {
            std::string s = url.substr(0, i);
            for (char& ch : s)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            return s;
        }
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return "";
    }
    return "";
}

std::string NavigationUrl(const std::string& pathOrUrl)
{
    if (!pathOrUrl.empty() && pathOrUrl[0] == '/')
        return FilePathToUrl(pathOrUrl);
    return pathOrUrl;
}

}  // namespace ql::web
