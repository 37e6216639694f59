#pragma once
// The interface through which a host supplies credentials when a page asks for them: the
// browser finds it as a service of its host (IServiceProvider::QueryService).
#include <cstdint>
#include <string>

#include "platform/core/com/ComBase.h"

namespace ql::com {

inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);

class IAuthenticate : public IUnknown {
public:
    static constexpr IID IID_{0x79EAC9D0, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};
    // S_OK with the user name and password to send (the window is where the host would ask;
    // we have none to give); E_ACCESSDENIED refuses.
    virtual HRESULT Authenticate(std::uintptr_t* window, std::u16string* userName, std::u16string* password) = 0;
};

}  // namespace ql::com
