#include "components/shell/ShellListDataObject.h"

#include "platform/core/ClipboardFormats.h"
#include "platform/core/shell/ShellObjects.h"

namespace ql::shellctl {

using namespace com;

ComPtr<IDataObject> TDataObject_shlv::Create(const ShellDragItems& items)
{
    if (items.items.empty())
        return {};
    ComPtr<TDataObject_shlv> object = ComPtr<TDataObject_shlv>::Adopt(new TDataObject_shlv);
    object->formats_ = std::make_shared<TSvFormatEtcList>(
        std::vector<CLIPFORMAT>{static_cast<CLIPFORMAT>(shell::ShellIdListFormat()), static_cast<CLIPFORMAT>(CF_HDROP),
                                static_cast<CLIPFORMAT>(CF_TEXT)});
    std::string text;
    for (const std::string& name : items.parsingNames)
        text += name + "\r\n";
    if (MakeIdListArrayHGlobal(items.folder, items.items, object->idLists_) != S_OK ||
        MakeHDropHGlobal(items.parsingNames, object->dropFiles_) != S_OK ||
        MakeTextHGlobal(text, object->text_) != S_OK)
        return {};
    return ComPtr<IDataObject>(object.get());
}

HRESULT TDataObject_shlv::QueryGetData(const FORMATETC* format)
{
    if (!format)
        return E_INVALIDARG;
    return formats_->QueryFormat(*format);
}

HRESULT TDataObject_shlv::GetData(const FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    if (HRESULT hr = QueryGetData(format); hr != S_OK)
        return hr;
    const std::vector<std::uint8_t>* block = nullptr;
    if (format->cfFormat == shell::ShellIdListFormat())
        block = &idLists_;
    else if (format->cfFormat == CF_HDROP)
        block = &dropFiles_;
    else if (format->cfFormat == CF_TEXT)
        block = &text_;
    else
        return DV_E_FORMATETC;
    try {
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = *block;  // the receiver's own copy
        return S_OK;
    } catch (const std::bad_alloc&) {
        medium->tymed = TYMED_NULL;
        return E_OUTOFMEMORY;
    }
}

HRESULT TDataObject_shlv::GetCanonicalFormatEtc(const FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd.clear();
    return E_NOTIMPL;
}

HRESULT TDataObject_shlv::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    *out = EnumerateFormats(formats_).detach();
    return S_OK;
}

HRESULT TDropTarget_shlv::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!owner_) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return owner_->ListDragEnter(data, keyState, pt, effect);
}

HRESULT TDropTarget_shlv::DragOver(DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!owner_) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return owner_->ListDragOver(keyState, pt, effect);
}

HRESULT TDropTarget_shlv::DragLeave() { return owner_ ? owner_->ListDragLeave() : S_OK; }

HRESULT TDropTarget_shlv::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!owner_) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return owner_->ListDrop(data, keyState, pt, effect);
}

}  // namespace ql::shellctl
