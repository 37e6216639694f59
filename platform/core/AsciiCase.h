#pragma once
// ASCII case folding for names and markup compared without regard to case whatever the locale:
// bytes outside A-Z (those of UTF-8 sequences included) stay as they are.
#include <cstddef>
#include <string>
#include <string_view>

namespace ql {

constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string s)
{
    for (char& c : s)
        c = LowerAscii(c);
    return s;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

}  // namespace ql
