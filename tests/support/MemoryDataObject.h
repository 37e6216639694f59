#pragma once
// A data object for tests: fixed byte blocks per clipboard format, handed out as HGLOBAL
// media and listed by its format enumerator.
#include "platform/core/com/DataObject.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ql::test {

class MemoryDataObject : public com::ComObject<com::IDataObject> {
public:
    std::map<std::uint32_t, std::vector<std::uint8_t>> blocks;

    void Set(std::uint32_t cf, const std::string& bytes) { blocks[cf] = com::ToBlock(bytes); }
    void SetText(std::uint32_t cf, const std::string& text) { blocks[cf] = com::ToTextBlock(text); }

    com::HRESULT GetData(const com::FORMATETC* f, com::STGMEDIUM* m) override
    {
        if (com::HRESULT hr = QueryGetData(f); hr != com::S_OK)
            return hr;
        m->tymed = com::TYMED_HGLOBAL;
        m->hGlobal = blocks[f->cfFormat];
        return com::S_OK;
    }
    com::HRESULT GetDataHere(const com::FORMATETC*, com::STGMEDIUM*) override { return com::E_NOTIMPL; }
    com::HRESULT QueryGetData(const com::FORMATETC* f) override
    {
        return blocks.count(f->cfFormat) && (f->tymed & com::TYMED_HGLOBAL) ? com::S_OK : com::DV_E_FORMATETC;
    }
    com::HRESULT GetCanonicalFormatEtc(const com::FORMATETC*, com::FORMATETC*) override { return com::E_NOTIMPL; }
    com::HRESULT SetData(const com::FORMATETC*, com::STGMEDIUM*, bool) override { return com::E_NOTIMPL; }
    com::HRESULT EnumFormatEtc(com::DWORD dir, com::IEnumFORMATETC** e) override
    {
        if (dir != com::DATADIR_GET)
            return com::E_NOTIMPL;
        std::vector<com::FORMATETC> list;
        for (const auto& [cf, b] : blocks)
            list.push_back(com::HGlobalFormat(static_cast<com::CLIPFORMAT>(cf)));
        *e = com::MakeFormatEnumerator(list).detach();
        return com::S_OK;
    }
    com::HRESULT DAdvise(const com::FORMATETC*, com::DWORD, com::IAdviseSink*, com::DWORD*) override
    {
        return com::OLE_E_ADVISENOTSUPPORTED;
    }
    com::HRESULT DUnadvise(com::DWORD) override { return com::OLE_E_ADVISENOTSUPPORTED; }
    com::HRESULT EnumDAdvise(com::IEnumSTATDATA**) override { return com::OLE_E_ADVISENOTSUPPORTED; }
};

}  // namespace ql::test
