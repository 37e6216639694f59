#include "platform/core/UrlCacheKeys.h"

#include <algorithm>

namespace ql::urlcache {

namespace {

struct SchemeHost {
    std::string scheme;
    std::string host;
};

// The scheme and host (without user, port and brackets' content changed) of an http(s) URL.
bool SplitUrl(const std::string& url, SchemeHost& out)
{
    const std::size_t colon = url.find("://");
    if (colon == std::string::npos)
        return false;
    out.scheme = url.substr(0, colon);
    std::transform(out.scheme.begin(), out.scheme.end(), out.scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    if (out.scheme != "http" && out.scheme != "https")
        return false;
    const std::size_t start = colon + 3;
    std::string authority = url.substr(start, url.find_first_of("/?#", start) - start);
    authority = authority.substr(authority.rfind('@') == std::string::npos ? 0 : authority.rfind('@') + 1);
    if (!authority.empty() && authority[0] == '[') {
        out.host = authority.substr(0, authority.find(']') + 1);
    } else {
        out.host = authority.substr(0, authority.find(':'));
    }
    std::transform(out.host.begin(), out.host.end(), out.host.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return !out.host.empty();
}

bool IsAddress(const std::string& host)
{
    return host[0] == '[' ||
           std::all_of(host.begin(), host.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// The hosts a site may be named by: the whole host and each ending of two labels or more.
std::vector<std::string> SiteHosts(const std::string& host)
{
    std::vector<std::string> out{host};
    if (IsAddress(host))
        return out;
    for (std::size_t dot = host.find('.'); dot != std::string::npos; dot = host.find('.', dot + 1)) {
        const std::string rest = host.substr(dot + 1);
        if (rest.find('.') == std::string::npos)
            break;
        out.push_back(rest);
    }
    return out;
}

// The (scheme, host) of every site guessed for the page and for the URL, each once.
std::vector<SchemeHost> Sites(const std::string& url, const std::string& pageUrl)
{
    std::vector<SchemeHost> sites;
    for (const std::string* from : {&pageUrl, &url}) {
        SchemeHost parts;
        if (!SplitUrl(*from, parts))
            continue;
        for (std::string& host : SiteHosts(parts.host))
            if (std::none_of(sites.begin(), sites.end(),
                             [&](const SchemeHost& s) { return s.scheme == parts.scheme && s.host == host; }))
                sites.push_back(SchemeHost{parts.scheme, std::move(host)});
    }
    return sites;
}

}  // namespace

std::vector<std::string> ChromiumKeyCandidates(const std::string& url, const std::string& pageUrl)
{
    std::vector<std::string> keys;
    for (const char* credentials : {"1/0/", "0/0/"}) {
        for (const SchemeHost& site : Sites(url, pageUrl)) {
            const std::string s = site.scheme + "://" + site.host;
            keys.push_back(credentials + std::string("_dk_") + s + " " + s + " " + url);
        }
        keys.push_back(credentials + url);
    }
    keys.push_back(url);
    return keys;
}

std::vector<std::string> FirefoxKeyCandidates(const std::string& url, const std::string& pageUrl)
{
    std::vector<std::string> keys;
    for (const char* anonymous : {"", "a,"}) {
        for (const SchemeHost& site : Sites(url, pageUrl))
            keys.push_back("O^partitionKey=%28" + site.scheme + "%2C" + site.host + "%29," + anonymous + ":" + url);
        keys.push_back(anonymous + std::string(":") + url);
    }
    return keys;
}

std::vector<std::string> KeyVariants(const std::string& url)
{
    std::vector<std::string> out{url.substr(0, url.find('#'))};
    const std::string& plain = out.front();
    const std::size_t pathEnd = std::min(plain.find('?'), plain.size());
    std::string escaped, unescaped;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (i < pathEnd && plain[i] == '|') {
            escaped += "%7C";
            unescaped += '|';
        } else if (i < pathEnd && plain[i] == '%' && i + 2 < pathEnd && plain[i + 1] == '7' &&
                   (plain[i + 2] == 'C' || plain[i + 2] == 'c')) {
            escaped += "%7C";
            unescaped += '|';
            i += 2;
        } else {
            escaped += plain[i];
            unescaped += plain[i];
        }
    }
    for (std::string* v : {&escaped, &unescaped})
        if (std::find(out.begin(), out.end(), *v) == out.end())
            out.push_back(std::move(*v));
    return out;
}

}  // namespace ql::urlcache
