// The document-host callbacks of the browser host: each hands its arguments to its event when
// one is set, and gives a fixed default otherwise.
#include "components/browserhost/WebHostCore.h"

#include "platform/gui/ScriptDocument.h"

namespace ql {

using namespace ql::com;

namespace {

template <class T>
void ReleaseAndClear(T** slot)
{
    if (slot && *slot) {
        (*slot)->Release();
        *slot = nullptr;
    }
}

// An interface the event gives through `out`: none (S_FALSE) without an event; otherwise `out`
// is released and cleared before the event fills it.
template <class Event, class I, class... In>
HRESULT InterfaceFrom(const Event& event, I** out, In... in)
{
    if (!event) {
        if (out)
            *out = nullptr;
        return S_FALSE;
    }
    ReleaseAndClear(out);
    return event(in..., out);
}

}  // namespace

HRESULT TWebHostCore::ShowContextMenu(std::uint32_t dwID, dochost::POINT* ppt, IUnknown* pcmdtReserved,
                                      IDispatch* pdispReserved)
{
    return OnShowContextMenu ? OnShowContextMenu(dwID, ppt, pcmdtReserved, pdispReserved) : S_FALSE;
}

HRESULT TWebHostCore::GetHostInfo(dochost::TDOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    info->cbSize = 20;
    info->dwFlags = hostUIFlags_;
    info->dwDoubleClick = dochost::DOCHOSTUIDBLCLK_DEFAULT;
    return OnGetHostInfo ? OnGetHostInfo(*info) : S_OK;
}

HRESULT TWebHostCore::ShowUI(std::uint32_t dwID, IOleInPlaceActiveObject* activeObject,
                             IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc)
{
    return OnShowUI ? OnShowUI(dwID, activeObject, commandTarget, frame, doc) : S_FALSE;
}

HRESULT TWebHostCore::HideUI() { return OnHideUI ? OnHideUI() : S_FALSE; }
HRESULT TWebHostCore::UpdateUI() { return OnUpdateUI ? OnUpdateUI() : S_FALSE; }
HRESULT TWebHostCore::EnableModeless(bool fEnable) { return OnEnableModeless ? OnEnableModeless(fEnable) : S_FALSE; }

HRESULT TWebHostCore::OnDocWindowActivate(bool fActivate)
{
    return OnOnDocWindowActivate ? OnOnDocWindowActivate(fActivate) : S_FALSE;
}

HRESULT TWebHostCore::OnFrameWindowActivate(bool fActivate)
{
    return OnOnFrameWindowActivate ? OnOnFrameWindowActivate(fActivate) : S_FALSE;
}

HRESULT TWebHostCore::ResizeBorder(const dochost::RECT* prcBorder, IOleInPlaceUIWindow* uiWindow, bool frameWindow)
{
    return OnResizeBorder ? OnResizeBorder(prcBorder, uiWindow, frameWindow) : S_FALSE;
}

HRESULT TWebHostCore::TranslateAccelerator(const dochost::MSG* msg, const GUID* group, std::uint32_t cmdId)
{
    return OnTranslateAccelerator ? OnTranslateAccelerator(msg, group, cmdId) : S_FALSE;
}

HRESULT TWebHostCore::GetOptionKeyPath(std::u16string* key, std::uint32_t dw)
{
    if (!OnGetOptionKeyPath || !key)
        return S_FALSE;
    return OnGetOptionKeyPath(*key, dw);
}

HRESULT TWebHostCore::GetDropTarget(IDropTarget* dropTarget, IDropTarget** result)
{
    return InterfaceFrom(OnGetDropTarget, result, dropTarget);
}

HRESULT TWebHostCore::GetExternal(IDispatch** dispatch) { return InterfaceFrom(OnGetExternal, dispatch); }

HRESULT TWebHostCore::TranslateUrl(std::uint32_t translate, const std::u16string& urlIn, std::u16string* urlOut)
{
    if (!OnTranslateUrl || !urlOut)
        return S_FALSE;
    return OnTranslateUrl(translate, urlIn, *urlOut);
}

HRESULT TWebHostCore::FilterDataObject(IDataObject* dataObject, IDataObject** result)
{
    return InterfaceFrom(OnFilterDataObject, result, dataObject);
}

HRESULT TWebHostCore::ShowMessage(const std::u16string& text, const std::u16string& caption, std::int32_t type,
                                  const std::u16string& helpFile, std::int32_t helpContext, std::int32_t* result)
{
    if (!OnShowMessage || !result)
        return S_FALSE;
    return OnShowMessage(text, caption, type, helpFile, helpContext, *result);
}

HRESULT TWebHostCore::ShowHelp(const std::u16string& helpFile, std::int32_t command, std::int32_t data,
                               dochost::POINT mouse, IDispatch** objectHit)
{
    if (OnShowHelp)
        return OnShowHelp(helpFile, command, data, mouse, objectHit);
    if (HelpFile.empty())
        return S_FALSE;
    // The help file opens in the desktop's viewer; whether it did is not looked at.
    launcher_.OpenWithDesktop(HelpFile);
    return S_OK;
}

HRESULT TWebHostCore::QueryService(const GUID& service, const IID& iid, IUnknown** object)
{
    if (!OnQueryService)
        return E_NOINTERFACE;
    ReleaseAndClear(object);
    return OnQueryService(service, iid, object);
}

HRESULT TWebHostCore::GetTypeInfoCount(std::int32_t* count)
{
    if (OnGetTypeInfoCount && count)
        return OnGetTypeInfoCount(*count);
    if (count)
        *count = 0;
    return E_NOTIMPL;
}

HRESULT TWebHostCore::GetTypeInfo(std::int32_t index, std::int32_t localeId, ITypeInfo** info)
{
    // Type information is opaque here; nothing of ours holds a reference to release.
    if (info)
        *info = nullptr;
    return OnGetTypeInfo ? OnGetTypeInfo(index, localeId, info) : E_NOTIMPL;
}

HRESULT TWebHostCore::GetIDsOfNames(const IID& iid, const std::u16string* names, std::int32_t count,
                                    std::int32_t localeId, DISPID* ids)
{
    return OnGetIDsOfNames ? OnGetIDsOfNames(iid, names, count, localeId, ids) : E_NOTIMPL;
}

HRESULT TWebHostCore::Invoke(DISPID id, const IID& iid, std::int32_t localeId, std::uint16_t flags, DISPPARAMS& params,
                             Variant* result, EXCEPINFO* excepInfo, std::uint32_t* argErr)
{
    if ((flags & DISPATCH_PROPERTYGET) && result && id == DISPID_AMBIENT_DLCONTROL) {
        *result = Variant(static_cast<std::int32_t>(downloadControlFlags_));
        return S_OK;
    }
    if (OnInvoke)
        return OnInvoke(id, iid, localeId, flags, params, result, excepInfo, argErr);
    return BaseAmbientInvoke(id, flags, result);
}

bool TWebHostCore::InvokeExternal(const std::string& method, const json::Array& args, json::Value& result,
                                  std::string& error)
{
    IDispatch* raw = nullptr;
    if (GetExternal(&raw) != S_OK || !raw) {
        if (raw)
            raw->Release();
        error = "no external object";
        return false;
    }
    ComPtr<IDispatch> external = ComPtr<IDispatch>::Adopt(raw);
    std::u16string name = WideFromUtf8(method);
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(external->GetIDsOfNames(IID_NULL, &name, 1, 0x400, &id))) {
        error = "unknown name: " + method;
        return false;
    }
    DISPPARAMS params;
    for (const auto& a : args) {
        if (a.AsArray() || a.AsObject()) {
            error = "only plain values can be passed";
            return false;
        }
        params.args.push_back(web::VariantFromJson(a));
    }
    Variant value;
    EXCEPINFO excep;
    HRESULT hr = external->Invoke(id, IID_NULL, 0x400, DISPATCH_METHOD, &params, &value, &excep, nullptr);
    if (FAILED(hr)) {
        error = excep.description.empty() ? "the call failed" : Utf8FromWide(excep.description);
        return false;
    }
    std::string text;
    if (!web::VariantToJson(value, text))
        text = "null";  // objects do not cross back into the page
    result = json::Parse(text).value_or(json::Value());
    return true;
}

HRESULT TWebHostCore::BaseAmbientInvoke(DISPID id, std::uint16_t flags, Variant* result)
{
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    Variant v;
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        v = Variant(true);
        break;
    case DISPID_AMBIENT_MESSAGEREFLECT:
        v = Variant(true);
        break;
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
        v = Variant(true);
        break;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        v = Variant(false);
        break;
    case DISPID_AMBIENT_LOCALEID:
        v = Variant(static_cast<std::int32_t>(0x400));
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (result)
        *result = v;
    return S_OK;
}

}  // namespace ql
