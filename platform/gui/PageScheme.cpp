#include "platform/gui/PageScheme.h"

#include "platform/core/UrlText.h"

namespace ql::web {

namespace {

std::string_view AfterScheme(const std::string& url) { return std::string_view(url).substr(UrlScheme(url).size() + 1); }

}  // namespace

std::string ToPageSchemeUrl(const std::string& url)
{
    std::string scheme = UrlScheme(url);
    if (scheme == kPageScheme)
        return url;
    if (scheme == "file")
        return std::string(kPageScheme) + ":" + std::string(AfterScheme(url));
    return "";
}

std::string PageSchemeUrlToFileUrl(const std::string& url)
{
    if (UrlScheme(url) != kPageScheme || url == kPageSchemeBlank)
        return url;
    return "file:" + std::string(AfterScheme(url));
}

std::string PageSchemeUrlToPath(const std::string& url)
{
    if (UrlScheme(url) != kPageScheme)
        return "";
    std::string_view rest = AfterScheme(url);
    rest = rest.substr(0, rest.find_first_of("?#"));
    // "//" with an empty (or local) host, then the absolute path.
    if (rest.substr(0, 2) == "//") {
        std::size_t slash = rest.find('/', 2);
        std::string_view host = rest.substr(2, slash == std::string_view::npos ? slash : slash - 2);
        if (!host.empty() && host != "localhost")
            return "";
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    if (rest.empty() || rest[0] != '/')
        return "";
    std::optional<std::string> path = PercentDecode(rest);
    if (!path)
        return "";
    for (char& c : *path)
        if (c == '\\')
            c = '/';
    return *path;
}

}  // namespace ql::web
