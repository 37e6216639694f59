#include "extension/iequillory.h"

#include "extension/ComServer.h"

#include <new>

namespace ql::brimhook {

using namespace ql::com;

Tquillory::Tquillory(const CaptureServices& services) : services_(services) { ServerAddRef(); }

Tquillory::~Tquillory() { ServerRelease(); }

HRESULT Tquillory::QueryInterface(const IID& iid, void** object)
{
    if (object && iid == IDispatch::IID_) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return ComObject<Iquillory>::QueryInterface(iid, object);
}

HRESULT Tquillory::GetTypeInfoCount(std::uint32_t* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT Tquillory::GetTypeInfo(std::uint32_t, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT Tquillory::GetIDsOfNames(const IID& iid, const std::u16string* names, std::uint32_t count, LCID, DISPID* ids)
{
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids)
        return E_POINTER;
    if (count == 0)
        return E_INVALIDARG;
    const TypeLibMethod* method = FindMethod(names[0]);
    if (!method) {
        for (std::uint32_t i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    ids[0] = static_cast<DISPID>(method->dispid);
    HRESULT result = S_OK;
    for (std::uint32_t i = 1; i < count; ++i) {
        // One parameter per method: its dispid is its position, 0.
        if (SameNameNoCase(names[i], method->parameter)) {
            ids[i] = 0;
        } else {
            ids[i] = DISPID_UNKNOWN;
            result = DISP_E_UNKNOWNNAME;
        }
    }
    return result;
}

HRESULT Tquillory::Invoke(DISPID id, const IID& iid, LCID, WORD flags, DISPPARAMS* params, Variant* result,
                          EXCEPINFO* excepInfo, std::uint32_t* argErr)
{
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const TypeLibMethod* method = FindMethod(id);
    if (!method || !(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || params->args.size() != 1)
        return DISP_E_BADPARAMCOUNT;
    const Variant& arg = params->args[0];
    if (arg.vt() != method->parameterType) {
        if (argErr)
            *argErr = 0;
        return DISP_E_TYPEMISMATCH;
    }
    IDispatch* iedoc = arg.AsDispatch();
    HRESULT hr = E_UNEXPECTED;
    switch (method->dispid) {
    case IquilloryDispId::SaveSelection:
        hr = SaveSelection(iedoc);
        break;
    case IquilloryDispId::SaveWhole:
        hr = SaveWhole(iedoc);
        break;
    case IquilloryDispId::SaveFromButton:
        hr = SaveFromButton(iedoc);
        break;
    }
    if (result)
        result->Clear();
    if (FAILED(hr)) {
        if (excepInfo) {
            excepInfo->scode = hr;
            excepInfo->description = WideFromUtf8(std::string(method->name) + " failed");
        }
        return DISP_E_EXCEPTION;
    }
    return S_OK;
}

HRESULT Tquillory::SaveSelection(IDispatch* iedoc) { return Capture(iedoc, TCaptureMode::Selection); }
HRESULT Tquillory::SaveWhole(IDispatch* iedoc) { return Capture(iedoc, TCaptureMode::WholePage); }
HRESULT Tquillory::SaveFromButton(IDispatch* iedoc) { return Capture(iedoc, TCaptureMode::SelectionOrPage); }

HRESULT Tquillory::Capture(IDispatch* iedoc, TCaptureMode mode)
{
    // Nothing may escape into the caller, which is another program's code.
    try {
        ComPtr<IHTMLDocument2> doc;
        if (iedoc) {
            HRESULT hr = iedoc->QueryInterface(IHTMLDocument2::IID_, doc.putVoid());
            if (FAILED(hr) || !doc)
                return E_NOINTERFACE;
        }
        // Keep ourselves alive should the document's calls let go of the caller's reference.
        ComPtr<Iquillory> self(this);
        return CapturePage(doc.get(), mode, services_);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace ql::brimhook
