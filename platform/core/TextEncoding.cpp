#include "platform/core/TextEncoding.h"

#include <cstdint>

namespace ql {

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp)
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

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid one.
std::size_t Utf8SeqLen(std::string_view s, std::size_t i)
{
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    std::size_t n;
    std::uint32_t cp;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
    else return 0;
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

std::string StripTrailingNuls(std::string s)
{
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

}  // namespace

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> std::uint32_t {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    std::size_t n = bytes.size() / 2;
    for (std::size_t k = 0; k < n; ++k) {
        std::uint32_t u = unit(2 * k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n) {
            std::uint32_t lo = unit(2 * (k + 1));
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    return out;
}

std::string Utf8ToUtf16Le(std::string_view utf8)
{
    std::string out;
    auto put = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = Utf8SeqLen(utf8, i);
        if (n == 0) {
            put(0xFFFD);
            ++i;
            continue;
        }
        auto c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
        i += n;
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = Utf8SeqLen(text, i);
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
        std::size_t n = Utf8SeqLen(text, i);
        i += n ? n : 1;
    }
    return std::string(text.substr(0, i));
}

std::string Utf8PrefixBytes(std::string_view text, std::size_t maxBytes)
{
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t n = Utf8SeqLen(text, i);
        n = n ? n : 1;
        if (i + n > maxBytes)
            break;
        i += n;
    }
    return std::string(text.substr(0, i));
}

}  // namespace ql
