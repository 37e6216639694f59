#include "platform/core/com/Dispatch.h"

#include <charconv>
#include <cmath>

namespace ql::com {

namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::u16string WideFromUtf8(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            c = b;
        } else {
            std::size_t need = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
            if (need && i + need <= s.size()) {
                char32_t v = b & (0xFF >> (need + 1));
                bool ok = true;
                for (std::size_t k = 1; k < need; ++k) {
                    unsigned char t = static_cast<unsigned char>(s[i + k]);
                    if ((t & 0xC0) != 0x80) { ok = false; break; }
                    v = (v << 6) | (t & 0x3F);
                }
                // Overlong forms, surrogates and values past U+10FFFF are invalid.
                bool overlong = (need == 3 && v < 0x800) || (need == 4 && v < 0x10000);
                if (ok && !overlong && !(v >= 0xD800 && v <= 0xDFFF) && v <= 0x10FFFF) {
                    c = v;
                    len = need;
                }
            }
        }
        i += len;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf8FromWide(std::u16string_view w)
{
    std::string out;
    out.reserve(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

VARTYPE Variant::vt() const
{
    switch (v_.index()) {
    case 0: return VT_EMPTY;
    case 1: return VT_NULL;
    case 2: return VT_I4;
    case 3: return VT_UI4;
    case 4: return VT_R8;
    case 5: return VT_BOOL;
    case 6: return VT_BSTR;
    case 7: return VT_DISPATCH;
    default: return VT_ARRAY | VT_UI1;
    }
}

bool operator==(const Variant& a, const Variant& b)
{
    return a.v_ == b.v_;
}

IDispatch* Variant::AsDispatch() const
{
    const auto* p = std::get_if<ComPtr<IDispatch>>(&v_);
    return p ? p->get() : nullptr;
}

std::string Variant::ToUtf8() const
{
    if (const auto* t = AsText())
        return Utf8FromWide(*t);
    if (const auto* i = AsInt())
        return std::to_string(*i);
    if (const auto* u = AsUInt())
        return std::to_string(*u);
    if (const auto* b = AsBool())
        return *b ? "True" : "False";
    if (const auto* d = AsDouble()) {
        if (!std::isfinite(*d))
            return "";
        char buf[40];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *d, std::chars_format::general, 15);
        return std::string(buf, ec == std::errc() ? end : buf);
    }
    return "";
}

}  // namespace ql::com
