#include "platform/core/TextEncoding.h"

namespace ql {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

std::string StripTrailingNuls(std::string s)
{
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp)
{
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    cp = kReplacement;
    std::size_t n;
    char32_t v;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        v = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        v = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        v = c & 0x07;
    } else
        return 0;
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && (v < 0x800 || IsSurrogate(v))) || (n == 4 && (v < 0x10000 || v > 0x10FFFF)))
        return 0;
    cp = v;
    return n;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp;
        std::size_t n = DecodeUtf8(utf8, i, cp);
        i += n ? n : 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view w)
{
    std::string out;
    out.reserve(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) {
        char32_t u = w[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (IsSurrogate(u)) {
            u = kReplacement;
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t k = 0; k < units.size(); ++k) {
        auto a = static_cast<unsigned char>(bytes[2 * k]);
        auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
        units[k] = static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return Utf16ToUtf8(units);
}

std::string Utf8ToUtf16Le(std::string_view utf8)
{
    std::u16string units = Utf8ToUtf16(utf8);
    std::string out;
    out.reserve(2 * units.size());
    for (char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp;
        std::size_t n = DecodeUtf8(text, i, cp);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string DecodeTextPayload(std::string_view bytes)
{
    auto starts = [&](std::string_view p) { return bytes.substr(0, p.size()) == p; };
    if (starts("\xFF\xFE"))
        return StripTrailingNuls(Utf16ToUtf8(bytes.substr(2), false));
    if (starts("\xFE\xFF"))
        return StripTrailingNuls(Utf16ToUtf8(bytes.substr(2), true));
    if (starts("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::string_view body = bytes;
    while (!body.empty() && body.back() == '\0')
        body.remove_suffix(1);
    if (body.find('\0') != std::string_view::npos && bytes.size() >= 2) {
        // UTF-16 without a mark: ASCII characters leave their zero byte on the odd side in
        // little endian, on the even side in big endian.
        std::size_t evenZeros = 0, oddZeros = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\0')
                (i % 2 ? oddZeros : evenZeros)++;
        return StripTrailingNuls(Utf16ToUtf8(bytes, evenZeros > oddZeros));
    }
    if (IsValidUtf8(body))
        return std::string(body);
    return Latin1ToUtf8(body);
}

std::string Utf8PrefixChars(std::string_view text, std::size_t maxChars)
{
    std::size_t i = 0;
    for (std::size_t chars = 0; i < text.size() && chars < maxChars; ++chars) {
        char32_t cp;
        std::size_t n = DecodeUtf8(text, i, cp);
        i += n ? n : 1;
    }
    return std::string(text.substr(0, i));
}

std::string Utf8PrefixBytes(std::string_view text, std::size_t maxBytes)
{
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp;
        std::size_t n = DecodeUtf8(text, i, cp);
        n = n ? n : 1;
        if (i + n > maxBytes)
            break;
        i += n;
    }
    return std::string(text.substr(0, i));
}

}  // namespace ql
