#pragma once
// The type library "Brimhook" 1.0: its GUIDs, the dual interface Iquillory and the description
// that callers by name (IDispatch) are answered from. A shared library here has no place for a
// type-library resource, so the description is data compiled into the library.
#include "platform/core/com/ComBase.h"
#include "platform/core/com/Dispatch.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace ql::brimhook {

inline constexpr com::GUID LIBID_Brimhook{0x27068A40, 0xC3B3, 0x11D5, {0x8B, 0x0C, 0x00, 0x00, 0xE8, 0x9F, 0xE1, 0x58}};
inline constexpr com::GUID IID_Iquillory{0x27068A41, 0xC3B3, 0x11D5, {0x8B, 0x0C, 0x00, 0x00, 0xE8, 0x9F, 0xE1, 0x58}};
inline constexpr com::GUID CLASS_quillory{0x27068A43, 0xC3B3, 0x11D5, {0x8B, 0x0C, 0x00, 0x00, 0xE8, 0x9F, 0xE1, 0x58}};

// Dual interface: late-bound through IDispatch (slots 3 to 6) and early-bound through its own
// methods in slots 7, 8 and 9. Each takes the page's document object.
class Iquillory : public com::IDispatch {
public:
    static constexpr com::IID IID_ = IID_Iquillory;
    virtual com::HRESULT SaveSelection(com::IDispatch* iedoc) = 0;
    virtual com::HRESULT SaveWhole(com::IDispatch* iedoc) = 0;
    virtual com::HRESULT SaveFromButton(com::IDispatch* iedoc) = 0;
};

// Dispatch ids of Iquillory's methods.
enum class IquilloryDispId : com::DISPID { SaveSelection = 1, SaveWhole = 2, SaveFromButton = 3 };

struct TypeLibMethod {
    IquilloryDispId dispid;
    std::string_view name;
    std::string_view parameter;  // the one [in] parameter
    com::VARTYPE parameterType;
    int vtableSlot;
};

struct TypeLibItem {
    std::string_view name;
    com::GUID guid;
    std::string_view helpString;
};

struct TypeLibrary {
    TypeLibItem library;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    TypeLibItem iface;    // dual, OLE-automation compatible, derived from IDispatch
    TypeLibItem coclass;  // creatable; default interface `iface`
    std::span<const TypeLibMethod> methods;
};

const TypeLibrary& BrimhookTypeLibrary();

// Names in the library compare without regard to ASCII case.
bool SameNameNoCase(std::u16string_view a, std::string_view b);

// The method of `name`, or nullptr.
const TypeLibMethod* FindMethod(std::u16string_view name);
const TypeLibMethod* FindMethod(com::DISPID id);

}  // namespace ql::brimhook
