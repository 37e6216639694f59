#include "platform/core/UrlText.h"

#include "platform/core/HexDigits.h"

#include <cctype>

namespace ql {

namespace {

// The length of the scheme before the ":" that ends it; 0 when the text starts with none.
std::size_t SchemeLength(std::string_view text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])))
        return 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == ':')
            return i;
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return 0;
    }
    return 0;
}

}  // namespace

bool HasUrlScheme(std::string_view text) { return SchemeLength(text) != 0; }

std::string UrlScheme(std::string_view url)
{
    std::string scheme(url.substr(0, SchemeLength(url)));
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme;
}

std::optional<std::string> PercentDecode(std::string_view text, bool plusIsSpace)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+' && plusIsSpace) {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            int hi = HexDigitValue(text[i + 1]);
            int lo = HexDigitValue(text[i + 2]);
            if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

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
