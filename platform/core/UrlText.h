#pragma once
// Pieces of URL text: "%XX" escaping of chosen bytes, and local paths as file URLs.
#include <string>
#include <string_view>

namespace ql {

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

// "/coll/a b#1.html" -> "file:///coll/a%20b%231.html": every byte except letters, digits and
// -._~/!$&'()*+,;=:@ percent-encoded, so "#", "?", "%" and blanks in file names stay part of
// the path.
std::string FilePathToUrl(std::string_view absolutePath);

}  // namespace ql
