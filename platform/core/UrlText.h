#pragma once
// Pieces of URL text: the scheme, "%XX" escaping and unescaping, local paths as file URLs.
#include <optional>
#include <string>
#include <string_view>

namespace ql {

// Whether the text starts with "scheme:" (RFC 3986: a letter, then letters, digits, "+", "-",
// ".").
bool HasUrlScheme(std::string_view text);
// The scheme of a URL in lower case ("http"), or "" when the text has none.
std::string UrlScheme(std::string_view url);

// `text` with every byte for which `escape(byte)` holds written as "%XX" in upper-case hex,
// the form browsers write, so escaped links compare equal to the ones they record.
template <class Escape>
std::string PercentEscape(std::string_view text, Escape escape)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (escape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

// `text` with its "%XX" escapes decoded (and "+" as a blank when `plusIsSpace`); nothing when an
// escape is malformed or is "%00", which would cut the text wherever it is used as a C string.
std::optional<std::string> PercentDecode(std::string_view text, bool plusIsSpace = false);

// "/coll/a b#1.html" -> "file:///coll/a%20b%231.html": every byte except letters, digits and
// -._~/!$&'()*+,;=:@ percent-encoded, so "#", "?", "%" and blanks in file names stay part of
// the path.
std::string FilePathToUrl(std::string_view absolutePath);

}  // namespace ql
