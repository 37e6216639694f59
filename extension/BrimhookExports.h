#pragma once
// The four entry points libbrimhook.so exports (and nothing else), as a host finds them with
// dlsym.
#include "platform/core/com/ComBase.h"

extern "C" {
ql::com::HRESULT DllGetClassObject(const ql::com::CLSID& clsid, const ql::com::IID& iid, void** object);
ql::com::HRESULT DllCanUnloadNow();
ql::com::HRESULT DllRegisterServer();
ql::com::HRESULT DllUnregisterServer();
}

namespace ql::brimhook {

using DllGetClassObjectFn = com::HRESULT (*)(const com::CLSID&, const com::IID&, void**);
using DllCanUnloadNowFn = com::HRESULT (*)();
using DllRegisterServerFn = com::HRESULT (*)();
using DllUnregisterServerFn = com::HRESULT (*)();

}  // namespace ql::brimhook
