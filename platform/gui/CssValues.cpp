#include "platform/gui/CssValues.h"

#include "platform/core/HexDigits.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace ql::web {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

std::string Hex(int r, int g, int b)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", r, g, b);
    return buf;
}

// The comma-separated numbers of "rgb(...)" / "rgba(...)"; empty on a syntax error.
std::vector<double> Numbers(std::string_view inner)
{
    std::vector<double> out;
    std::size_t i = 0;
    auto blanks = [&] {
        while (i < inner.size() && inner[i] == ' ')
            ++i;
    };
    for (;;) {
        blanks();
        double v = 0;
        auto [end, ec] = std::from_chars(inner.data() + i, inner.data() + inner.size(), v);
        if (ec != std::errc())
            return {};
        out.push_back(v);
        i = static_cast<std::size_t>(end - inner.data());
        blanks();
        if (i == inner.size())
            return out;
        if (inner[i] != ',')
            return {};
        ++i;
    }
}

}  // namespace

std::string CssColorToHtmlColor(std::string_view css)
{
    css = Trim(css);
    if (!css.empty() && css[0] == '#') {
        std::string_view hex = css.substr(1);
        for (char c : hex)
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return "";
        auto digit = HexDigitValue;
        if (hex.size() == 3)
            return Hex(digit(hex[0]) * 17, digit(hex[1]) * 17, digit(hex[2]) * 17);
        if (hex.size() == 6)
            return Hex(digit(hex[0]) * 16 + digit(hex[1]), digit(hex[2]) * 16 + digit(hex[3]),
                       digit(hex[4]) * 16 + digit(hex[5]));
        return "";
    }
    bool alpha = StartsWithNoCase(css, "rgba(");
    if (!alpha && !StartsWithNoCase(css, "rgb("))
        return "";
    std::size_t open = css.find('(');
    if (css.back() != ')')
        return "";
    auto n = Numbers(css.substr(open + 1, css.size() - open - 2));
    if (n.size() != (alpha ? 4u : 3u))
        return "";
    if (alpha && n[3] <= 0)
        return "";
    int c[3];
    for (int i = 0; i < 3; ++i) {
        if (!(n[i] >= 0 && n[i] <= 255))
            return "";
        c[i] = static_cast<int>(std::lround(n[i]));
    }
    return Hex(c[0], c[1], c[2]);
}

std::string FirstFontFamily(std::string_view css)
{
    css = Trim(css);
    std::string name;
    if (!css.empty() && (css[0] == '"' || css[0] == '\'')) {
        std::size_t close = css.find(css[0], 1);
        name = std::string(css.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else {
        name = std::string(Trim(css.substr(0, css.find(','))));
    }
    if (StartsWithNoCase(name, "-webkit-"))
        return "";
    return name;
}

namespace {
constexpr double kPoints[7] = {7.5, 10, 12, 13.5, 18, 24, 36};
}

int FontSizeFromPoints(double points)
{
    int best = 1;
    for (int i = 1; i < 7; ++i)
        if (std::fabs(kPoints[i] - points) < std::fabs(kPoints[best - 1] - points))
            best = i + 1;
    return best;
}

double PointsOfFontSize(int size)
{
    if (size < 1)
        size = 1;
    if (size > 7)
        size = 7;
    return kPoints[size - 1];
}

}  // namespace ql::web
