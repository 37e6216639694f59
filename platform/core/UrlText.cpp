#include "platform/core/UrlText.h"

namespace ql {

std::string FilePathToUrl(std::string_view path)
{
    // RFC 3986's unreserved characters, the path's "/" and the sub-delimiters a path segment
    // may carry as they are.
    constexpr std::string_view kKeep = "-._~/!$&'()*+,;=:@";
    return "file://" + PercentEscape(path, [&](unsigned char c) {
               bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
               return !alnum && kKeep.find(static_cast<char>(c)) == std::string_view::npos;
           });
}

}  // namespace ql
