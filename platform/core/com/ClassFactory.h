#pragma once
// Makes objects of one class on request (IClassFactory), as a component library hands them out.
#include "platform/core/com/ComBase.h"

namespace ql::com {

class IClassFactory : public IUnknown {
public:
    static constexpr IID IID_{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    // A new object answering `iid` in *object; `outer` must be nullptr (no aggregation:
    // CLASS_E_NOAGGREGATION otherwise).
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    // Keeps the library loaded while locked (counted).
    virtual HRESULT LockServer(bool lock) = 0;
};

}  // namespace ql::com
