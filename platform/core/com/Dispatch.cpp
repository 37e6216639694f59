#include "platform/core/com/Dispatch.h"

#include <charconv>
#include <cmath>

namespace ql::com {

VARTYPE Variant::vt() const
{
    switch (v_.index()) {
    case 0:
        return VT_EMPTY;
    case 1:
        return VT_NULL;
    case 2:
        return VT_I4;
    case 3:
        return VT_UI4;
    case 4:
        return VT_R8;
    case 5:
        return VT_BOOL;
    case 6:
        return VT_BSTR;
    case 7:
        return VT_DISPATCH;
    default:
        return VT_ARRAY | VT_UI1;
    }
}

bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

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
