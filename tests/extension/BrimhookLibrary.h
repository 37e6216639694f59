#pragma once
// libbrimhook.so as a host loads it: dlopen, the four entry points by name, objects made through
// the class factory, and calls through an object's virtual table by slot number.
#include "extension/BrimhookExports.h"
#include "extension/Brimhook_TLB.h"
#include "platform/core/com/ClassFactory.h"

#include <dlfcn.h>

#include <string>

namespace ql::test {

class BrimhookLibrary {
public:
    explicit BrimhookLibrary(const std::string& path = QUILLORY_BRIMHOOK)
        : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (!handle_) {
            error_ = ::dlerror();
            return;
        }
        getClassObject = reinterpret_cast<brimhook::DllGetClassObjectFn>(::dlsym(handle_, "DllGetClassObject"));
        canUnloadNow = reinterpret_cast<brimhook::DllCanUnloadNowFn>(::dlsym(handle_, "DllCanUnloadNow"));
        registerServer = reinterpret_cast<brimhook::DllRegisterServerFn>(::dlsym(handle_, "DllRegisterServer"));
        unregisterServer = reinterpret_cast<brimhook::DllUnregisterServerFn>(::dlsym(handle_, "DllUnregisterServer"));
    }
    ~BrimhookLibrary()
    {
        if (handle_)
            ::dlclose(handle_);
    }
    BrimhookLibrary(const BrimhookLibrary&) = delete;
    BrimhookLibrary& operator=(const BrimhookLibrary&) = delete;

    bool Loaded() const { return handle_ && getClassObject && canUnloadNow && registerServer && unregisterServer; }
    const std::string& Error() const { return error_; }
    void* Symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

    // A new object of the coclass quillory, as its Iquillory; nullptr on failure.
    com::ComPtr<brimhook::Iquillory> Create() const
    {
        com::ComPtr<com::IClassFactory> factory;
        if (com::FAILED(getClassObject(brimhook::CLASS_quillory, com::IClassFactory::IID_, factory.putVoid())))
            return nullptr;
        com::ComPtr<brimhook::Iquillory> object;
        factory->CreateInstance(nullptr, brimhook::IID_Iquillory, object.putVoid());
        return object;
    }

    brimhook::DllGetClassObjectFn getClassObject = nullptr;
    brimhook::DllCanUnloadNowFn canUnloadNow = nullptr;
    brimhook::DllRegisterServerFn registerServer = nullptr;
    brimhook::DllUnregisterServerFn unregisterServer = nullptr;

private:
    void* handle_ = nullptr;
    std::string error_;
};

// Calls the method in virtual-table slot `slot` of `object` with one interface argument, as a
// caller that knows only the slot numbers does.
inline com::HRESULT CallSlot(void* object, int slot, com::IDispatch* argument)
{
    using Method = com::HRESULT (*)(void*, com::IDispatch*);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Method>(table[slot])(object, argument);
}

// Slot 1 (AddRef) or 2 (Release), which take no argument.
inline com::ULONG CallCountSlot(void* object, int slot)
{
    using Method = com::ULONG (*)(void*);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Method>(table[slot])(object);
}

}  // namespace ql::test
