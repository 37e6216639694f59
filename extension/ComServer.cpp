#include "extension/ComServer.h"

#include "extension/Brimhook_TLB.h"
#include "extension/iequillory.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <new>

namespace ql::brimhook {

using namespace ql::com;

namespace {

std::atomic<long> liveCount{0};

class TquilloryFactory final : public ComObject<IClassFactory> {
public:
    explicit TquilloryFactory(const CaptureServices& services) : services_(services) { ServerAddRef(); }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            return MakeCom<Tquillory>(services_)->QueryInterface(iid, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT LockServer(bool lock) override
    {
        lock ? ServerAddRef() : ServerRelease();
        return S_OK;
    }

private:
    ~TquilloryFactory() override { ServerRelease(); }
    const CaptureServices& services_;
};

std::string clsidKey() { return "CLSID\\" + GuidToString(CLASS_quillory); }
std::string typeLibKey() { return "TypeLib\\" + GuidToString(LIBID_Brimhook); }
std::string interfaceKey() { return "Interface\\" + GuidToString(IID_Iquillory); }

std::string versionText()
{
    const TypeLibrary& lib = BrimhookTypeLibrary();
    return std::to_string(lib.majorVersion) + "." + std::to_string(lib.minorVersion);
}

// The parent keys registration may have created; removed again only when left empty.
constexpr const char* kParentKeys[] = {"CLSID", "TypeLib", "Interface"};

}  // namespace

void ServerAddRef() { ++liveCount; }
void ServerRelease() { --liveCount; }
bool ServerInUse() { return liveCount.load() > 0; }

HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** object, const CaptureServices& services)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!(clsid == CLASS_quillory))
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        return MakeCom<TquilloryFactory>(services)->QueryInterface(iid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CanUnloadNow() { return ServerInUse() ? S_FALSE : S_OK; }

HRESULT RegisterServer(Registry& registry, const std::string& libraryPath)
{
    if (libraryPath.empty())
        return E_FAIL;
    const TypeLibrary& lib = BrimhookTypeLibrary();
    const auto root = RegRoot::ClassesRoot;
    const std::string clsid = GuidToString(CLASS_quillory);
    const std::string libid = GuidToString(LIBID_Brimhook);
    const std::string version = versionText();
    const std::string folder = libraryPath.substr(0, libraryPath.rfind('/') + 1);
    const std::string coclassText(lib.coclass.helpString);
    const std::string tlb = typeLibKey() + "\\" + version;
    bool ok = registry.WriteString(root, clsidKey(), "", coclassText) &&
              registry.WriteString(root, clsidKey() + "\\InprocServer32", "", libraryPath) &&
              registry.WriteString(root, clsidKey() + "\\InprocServer32", "ThreadingModel", "Apartment") &&
              registry.WriteString(root, clsidKey() + "\\ProgID", "", kProgId) &&
              registry.WriteString(root, clsidKey() + "\\TypeLib", "", libid) &&
              registry.WriteString(root, clsidKey() + "\\Version", "", version) &&
              registry.WriteString(root, kProgId, "", coclassText) &&
              registry.WriteString(root, std::string(kProgId) + "\\CLSID", "", clsid) &&
              registry.WriteString(root, tlb, "", std::string(lib.library.helpString)) &&
              // The description lives in the library itself.
              registry.WriteString(root, tlb + "\\0\\linux", "", libraryPath) &&
              registry.WriteString(root, tlb + "\\FLAGS", "", "0") &&
              registry.WriteString(root, tlb + "\\HELPDIR", "", folder) &&
              registry.WriteString(root, interfaceKey(), "", std::string(lib.iface.name)) &&
              registry.WriteString(root, interfaceKey() + "\\TypeLib", "", libid) &&
              registry.WriteString(root, interfaceKey() + "\\TypeLib", "Version", version);
    if (!ok) {
        UnregisterServer(registry);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT UnregisterServer(Registry& registry)
{
    const auto root = RegRoot::ClassesRoot;
    bool ok = true;
    for (const std::string& key : {clsidKey(), std::string(kProgId), typeLibKey(), interfaceKey()}) {
        // A key that was not there counts as removed.
        if (!registry.DeleteKey(root, key) && registry.KeyExists(root, key))
            ok = false;
    }
    for (const char* parent : kParentKeys) {
        if (registry.KeyExists(root, parent) && registry.SubKeyNames(root, parent).empty() &&
            registry.ValueNames(root, parent).empty())
            (void)registry.DeleteKey(root, parent);  // empty parents are tidied where they can be
    }
    return ok ? S_OK : E_FAIL;
}

std::string ThisLibraryPath()
{
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&ThisLibraryPath), &info) || !info.dli_fname)
        return "";
    char resolved[PATH_MAX];
    return ::realpath(info.dli_fname, resolved) ? std::string(resolved) : "";
}

}  // namespace ql::brimhook
