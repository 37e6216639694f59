#pragma once
// The component-library side of the capture extension: the count of live objects and server
// locks, the class factory of the coclass quillory, and its registration in the registry store.
// The exported entry points (BrimhookExports.cpp) call these.
#include "platform/core/Registry.h"
#include "platform/core/com/ClassFactory.h"

#include <string>

namespace ql::brimhook {

struct CaptureServices;

// Objects (automation objects and class factories) and server locks alive in this library.
void ServerAddRef();
void ServerRelease();
bool ServerInUse();

// The class factory of `clsid` answering `iid`: CLASS_E_CLASSNOTAVAILABLE for any class but
// quillory. Every object it creates is new and uses `services`.
com::HRESULT GetClassObject(const com::CLSID& clsid, const com::IID& iid, void** object,
                            const CaptureServices& services);
// S_OK when nothing of the library is alive, else S_FALSE.
com::HRESULT CanUnloadNow();

// The programmatic identifier of the class.
inline constexpr char kProgId[] = "Brimhook.quillory";

// Registers the class (in-process server `libraryPath`, threading model "Apartment", its
// programmatic identifier), its interface and the type library under HKEY_CLASSES_ROOT.
com::HRESULT RegisterServer(Registry& registry, const std::string& libraryPath);
// Removes all of it, and the parent keys it leaves empty.
com::HRESULT UnregisterServer(Registry& registry);

// The absolute path of the file holding this code, or "".
std::string ThisLibraryPath();

}  // namespace ql::brimhook
