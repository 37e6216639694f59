#include "platform/gui/WebUrls.h"

#include <cctype>
#include <cstring>

namespace ql::web {

std::string FilePathToUrl(const std::string& path)
{
    static const char kKeep[] = "-._~/!$&'()*+,;=:@";
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) && c < 0x80) {
            out += static_cast<char>(c);
        } else if (c != 0 && std::strchr(kKeep, c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

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
