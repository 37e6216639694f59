// The entry points of libbrimhook.so. The library is built with hidden symbols and a version
// script, so these four are all a host can find.
#include "extension/BrimhookExports.h"

#include "extension/CapturePage.h"
#include "extension/ComServer.h"
#include "extension/DesktopMessages.h"
#include "foundation/VekHtmlClass.h"
#include "platform/core/DetachedLauncher.h"

#define BRIMHOOK_EXPORT __attribute__((visibility("default")))

namespace ql::brimhook {
namespace {

// The real services, made on first use and kept until the library is unloaded. Programs are
// started detached: the library may be unloaded while Quillory still runs.
const CaptureServices& LibraryServices()
{
    static DetachedLauncher launcher;
    static DesktopMessages messages(launcher);
    static const CaptureServices services{launcher, messages,
                                          [](const std::string& url) { return FindUrlCacheFile(url, kMaxPageBytes); }};
    return services;
}

}  // namespace
}  // namespace ql::brimhook

using namespace ql::brimhook;

extern "C" BRIMHOOK_EXPORT ql::com::HRESULT DllGetClassObject(const ql::com::CLSID& clsid, const ql::com::IID& iid,
                                                              void** object)
{
    try {
        return GetClassObject(clsid, iid, object, LibraryServices());
    } catch (...) {
        return ql::com::E_UNEXPECTED;
    }
}

extern "C" BRIMHOOK_EXPORT ql::com::HRESULT DllCanUnloadNow() { return CanUnloadNow(); }

extern "C" BRIMHOOK_EXPORT ql::com::HRESULT DllRegisterServer()
{
    try {
        ql::Registry registry;
        return RegisterServer(registry, ThisLibraryPath());
    } catch (...) {
        return ql::com::E_UNEXPECTED;
    }
}

extern "C" BRIMHOOK_EXPORT ql::com::HRESULT DllUnregisterServer()
{
    try {
        ql::Registry registry;
        return UnregisterServer(registry);
    } catch (...) {
        return ql::com::E_UNEXPECTED;
    }
}
