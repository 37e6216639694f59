#pragma once
// Late-bound calls by name (IDispatch) and the value type that carries their arguments and
// results (a VARIANT-like tagged value). Texts at this boundary are UTF-16, as in the object
// model the document and capture code is written against; WideFromUtf8/Utf8FromWide convert.
#include "platform/core/TextEncoding.h"
#include "platform/core/com/ComBase.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ql::com {

using DISPID = std::int32_t;
using LCID = std::uint32_t;
using WORD = std::uint16_t;
using VARTYPE = std::uint16_t;

inline constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
inline constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);

// Invoke flags.
inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;

inline constexpr DISPID DISPID_UNKNOWN = -1;

// Ambient properties a control asks its container for.
inline constexpr DISPID DISPID_AMBIENT_LOCALEID = -705;
inline constexpr DISPID DISPID_AMBIENT_MESSAGEREFLECT = -706;
inline constexpr DISPID DISPID_AMBIENT_USERMODE = -709;
inline constexpr DISPID DISPID_AMBIENT_UIDEAD = -710;
inline constexpr DISPID DISPID_AMBIENT_SHOWGRABHANDLES = -711;
inline constexpr DISPID DISPID_AMBIENT_SHOWHATCHING = -712;
inline constexpr DISPID DISPID_AMBIENT_DISPLAYASDEFAULT = -713;
inline constexpr DISPID DISPID_AMBIENT_SUPPORTSMNEMONICS = -714;
inline constexpr DISPID DISPID_AMBIENT_DLCONTROL = -5512;

// Value types.
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_NULL = 1;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_UI4 = 19;
inline constexpr VARTYPE VT_ARRAY = 0x2000;

// The names this boundary's code uses for the shared conversions: invalid bytes and unpaired
// surrogates become U+FFFD.
inline std::u16string WideFromUtf8(std::string_view utf8) { return Utf8ToUtf16(utf8); }
inline std::string Utf8FromWide(std::u16string_view wide) { return Utf16ToUtf8(wide); }

class Variant;
class ITypeInfo;  // opaque: our objects offer no type information

struct DISPPARAMS;

struct EXCEPINFO {
    HRESULT scode = S_OK;
    std::u16string description;
};

class IDispatch : public IUnknown {
public:
    static constexpr IID IID_{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT GetTypeInfoCount(std::uint32_t* count) = 0;
    virtual HRESULT GetTypeInfo(std::uint32_t index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(const IID& iid, const std::u16string* names, std::uint32_t count, LCID lcid,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, const IID& iid, LCID lcid, WORD flags, DISPPARAMS* params, Variant* result,
                           EXCEPINFO* excepInfo, std::uint32_t* argErr) = 0;
};

inline constexpr IID IID_NULL{};

// Object identity, so that variants holding objects compare.
inline bool operator==(const ComPtr<IDispatch>& a, const ComPtr<IDispatch>& b) { return a.get() == b.get(); }

// A tagged value: empty, null, 32-bit integer, unsigned 32-bit integer, double, Boolean, text,
// an object, or an array of bytes (VT_ARRAY | VT_UI1).
class Variant {
public:
    Variant() = default;
    Variant(std::int32_t v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(bool v) : v_(v) {}
    Variant(std::u16string v) : v_(std::move(v)) {}
    Variant(const char16_t* v) : v_(std::u16string(v)) {}
    Variant(ComPtr<IDispatch> v) : v_(std::move(v)) {}
    static Variant Null()
    {
        Variant r;
        r.v_ = NullTag{};
        return r;
    }
    static Variant UInt32(std::uint32_t v)
    {
        Variant r;
        r.v_ = v;
        return r;
    }
    static Variant Bytes(std::vector<std::uint8_t> v)
    {
        Variant r;
        r.v_ = std::move(v);
        return r;
    }
    static Variant Text(std::string_view utf8) { return Variant(WideFromUtf8(utf8)); }

    VARTYPE vt() const;
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsNull() const { return std::holds_alternative<NullTag>(v_); }

    // Typed reads; nullptr when the variant holds another type.
    const std::int32_t* AsInt() const { return std::get_if<std::int32_t>(&v_); }
    const std::uint32_t* AsUInt() const { return std::get_if<std::uint32_t>(&v_); }
    const double* AsDouble() const { return std::get_if<double>(&v_); }
    const bool* AsBool() const { return std::get_if<bool>(&v_); }
    const std::u16string* AsText() const { return std::get_if<std::u16string>(&v_); }
    const std::vector<std::uint8_t>* AsBytes() const { return std::get_if<std::vector<std::uint8_t>>(&v_); }
    IDispatch* AsDispatch() const;

    // The value as UTF-8 text: a text as it is, numbers and Booleans in their usual spelling,
    // anything else "".
    std::string ToUtf8() const;

    void Clear() { v_ = std::monostate{}; }

    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    std::variant<std::monostate, NullTag, std::int32_t, std::uint32_t, double, bool, std::u16string, ComPtr<IDispatch>,
                 std::vector<std::uint8_t>>
        v_;
};

// Arguments of Invoke, in call order (first argument first).
struct DISPPARAMS {
    std::vector<Variant> args;
};

using OleVariant = Variant;

}  // namespace ql::com
