#pragma once
// The data object a drag out of the shell list offers ("Shell IDList Array", the file list and
// the text, built once from the items selected when the drag starts) and the list's drop
// target, which hands every call to the list.
#include <memory>
#include <string>
#include <vector>

#include "components/shell/ShellDragFormats.h"

namespace ql::shellctl {

// The selected items a drag carries: their lists relative to the shown folder and their
// parsing names (full paths), in list order.
struct ShellDragItems {
    const ItemIdList* folder = nullptr;  // absolute; nil is the desktop
    std::vector<const ItemIdList*> items;
    std::vector<std::string> parsingNames;
};

class TDataObject_shlv : public com::ComObject<com::IDataObject> {
public:
    // Nil when there are no items: no drag starts then.
    static com::ComPtr<com::IDataObject> Create(const ShellDragItems& items);

    com::HRESULT GetData(const FORMATETC* format, com::STGMEDIUM* medium) override;
    com::HRESULT GetDataHere(const FORMATETC*, com::STGMEDIUM*) override { return com::E_NOTIMPL; }
    com::HRESULT QueryGetData(const FORMATETC* format) override;
    com::HRESULT GetCanonicalFormatEtc(const FORMATETC*, FORMATETC* out) override;
    com::HRESULT SetData(const FORMATETC*, com::STGMEDIUM*, bool) override { return com::E_NOTIMPL; }
    com::HRESULT EnumFormatEtc(DWORD direction, com::IEnumFORMATETC** out) override;
    com::HRESULT DAdvise(const FORMATETC*, DWORD, com::IAdviseSink*, DWORD*) override
    {
        return com::OLE_E_ADVISENOTSUPPORTED;
    }
    com::HRESULT DUnadvise(DWORD) override { return com::OLE_E_ADVISENOTSUPPORTED; }
    com::HRESULT EnumDAdvise(com::IEnumSTATDATA**) override { return com::OLE_E_ADVISENOTSUPPORTED; }

private:
    TDataObject_shlv() = default;

    std::shared_ptr<TSvFormatEtcList> formats_;
    std::vector<std::uint8_t> idLists_, dropFiles_, text_;
};

// What the list does for its drop target; points are screen coordinates.
class ShellListDropHandler {
public:
    virtual ~ShellListDropHandler() = default;
    virtual com::HRESULT ListDragEnter(com::IDataObject* data, DWORD keyState, com::POINTL pt, DWORD* effect) = 0;
    virtual com::HRESULT ListDragOver(DWORD keyState, com::POINTL pt, DWORD* effect) = 0;
    virtual com::HRESULT ListDragLeave() = 0;
    virtual com::HRESULT ListDrop(com::IDataObject* data, DWORD keyState, com::POINTL pt, DWORD* effect) = 0;
};

class TDropTarget_shlv : public com::ComObject<com::IDropTarget> {
public:
    explicit TDropTarget_shlv(ShellListDropHandler& owner) : owner_(&owner) {}
    // The list is going: later calls do nothing (a drag still running sees no target).
    void Detach() { owner_ = nullptr; }

    com::HRESULT DragEnter(com::IDataObject* data, DWORD keyState, com::POINTL pt, DWORD* effect) override;
    com::HRESULT DragOver(DWORD keyState, com::POINTL pt, DWORD* effect) override;
    com::HRESULT DragLeave() override;
    com::HRESULT Drop(com::IDataObject* data, DWORD keyState, com::POINTL pt, DWORD* effect) override;

private:
    ShellListDropHandler* owner_;
};

}  // namespace ql::shellctl
