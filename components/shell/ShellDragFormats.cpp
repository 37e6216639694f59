#include "components/shell/ShellDragFormats.h"

#include <algorithm>
#include <new>

#include "platform/core/FileDropFormats.h"
#include "platform/core/shell/IdListArray.h"

namespace ql::shellctl {

using namespace com;

void TSvFormatEtcList::AddFormats(const std::vector<CLIPFORMAT>& formats)
{
    for (CLIPFORMAT cf : formats)
        entries_.push_back(HGlobalFormat(cf));
}

HRESULT TSvFormatEtcList::QueryFormat(const FORMATETC& requested) const
{
    if (requested.dwAspect != DVASPECT_CONTENT)
        return DV_E_FORMATETC;
    bool seen = false;
    for (const FORMATETC& e : entries_) {
        if (e.cfFormat != requested.cfFormat)
            continue;
        if (e.tymed & requested.tymed)
            return S_OK;
        seen = true;
    }
    return seen ? DV_E_TYMED : DV_E_FORMATETC;
}

ComPtr<IEnumFORMATETC> EnumerateFormats(const std::shared_ptr<const TSvFormatEtcList>& list)
{
    if (!list)
        return {};
    return MakeFormatEnumerator(list->Entries());
}

HRESULT MakeTextHGlobal(const std::string& text, std::vector<std::uint8_t>& block)
{
    try {
        block = ToTextBlock(text);
        return S_OK;
    } catch (const std::bad_alloc&) {
        block.clear();
        return E_OUTOFMEMORY;
    }
}

HRESULT MakeHDropHGlobal(const std::vector<std::string>& paths, std::vector<std::uint8_t>& block)
{
    constexpr std::size_t kRoom = 260;
    try {
        std::size_t size = 21;
        for (const std::string& p : paths)
            size += std::max(kRoom, p.size() + 1);
        block.assign(size, 0);
        if (paths.empty())
            return S_OK;
        std::vector<std::uint8_t> list = BuildHDrop(paths);  // header, the paths, the final NUL
        std::copy(list.begin(), list.end(), block.begin());
        return S_OK;
    } catch (const std::bad_alloc&) {
        block.clear();
        return E_OUTOFMEMORY;
    }
}

HRESULT MakeIdListArrayHGlobal(const ItemIdList* folder, const std::vector<const ItemIdList*>& items,
                               std::vector<std::uint8_t>& block)
{
    try {
        std::vector<ItemIdList> lists;
        lists.reserve(items.size());
        for (const ItemIdList* item : items)
            lists.push_back(item ? *item : ItemIdList());
        block = shell::BuildIdListArray(folder ? *folder : ItemIdList(), lists);
        return S_OK;
    } catch (const std::bad_alloc&) {
        block.clear();
        return E_OUTOFMEMORY;
    }
}

DWORD DragButtonMask(int button)
{
    switch (button) {
    case 0:
        return MK_LBUTTON;
    case 1:
        return MK_RBUTTON;
    case 2:
        return MK_MBUTTON;
    default:
        return 0;
    }
}

HRESULT TDropSource_shlvtv::QueryContinueDrag(bool escapePressed, DWORD keyState)
{
    constexpr DWORD kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (keyState & (kButtons ^ mask_))
        return DRAGDROP_S_CANCEL;
    if (keyState & mask_)
        return S_OK;
    return DRAGDROP_S_DROP;
}

}  // namespace ql::shellctl
