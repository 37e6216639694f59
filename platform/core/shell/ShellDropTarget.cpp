#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/shell/FileOperations.h"
#include "platform/core/shell/IdListArray.h"
#include "platform/core/shell/ShellObjects.h"

namespace ql::shell {

using namespace com;

std::uint32_t ShellIdListFormat()
{
    static const std::uint32_t format = RegisterClipboardFormat("Shell IDList Array");
    return format;
}

std::vector<std::string> PathsOfDataObject(IDataObject* data)
{
    std::vector<std::uint8_t> block;
    if (FetchHGlobal(data, static_cast<CLIPFORMAT>(CF_HDROP), block))
        return ParseHDrop(block);
    std::vector<std::string> paths;
    if (FetchHGlobal(data, static_cast<CLIPFORMAT>(ShellIdListFormat()), block)) {
        if (auto array = ParseIdListArray(block)) {
            for (const auto& item : array->items) {
                auto full = ItemIdList::Join(array->folder, item);
                std::string path = full ? SHGetPathFromIDList(&*full) : std::string();
                if (path.empty())
                    return {};  // an item without a path: the drop is not one of files
                paths.push_back(path);
            }
        }
    }
    return paths;
}

namespace {

class FolderDropTarget : public ComObject<IDropTarget> {
public:
    explicit FolderDropTarget(std::string folder) : folder_(std::move(folder)) {}

    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) override
    {
        // Drags from other programs hand their data over only at the drop: until then what
        // they offer decides.
        paths_ = data ? PathsOfDataObject(data) : std::vector<std::string>{};
        offered_ = !paths_.empty() || (data && (Offers(data, CF_HDROP) || Offers(data, ShellIdListFormat())));
        return Choose(keyState, effect);
    }
    HRESULT DragOver(DWORD keyState, POINTL, DWORD* effect) override { return Choose(keyState, effect); }
    HRESULT DragLeave() override
    {
        paths_.clear();
        offered_ = false;
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        paths_ = data ? PathsOfDataObject(data) : std::vector<std::string>{};
        offered_ = !paths_.empty();
        Choose(keyState, effect);
        DWORD chosen = *effect;
        std::vector<std::string> paths = std::move(paths_);
        paths_.clear();
        offered_ = false;
        if (chosen == DROPEFFECT_NONE)
            return S_OK;
        TransferKind kind = chosen == DROPEFFECT_MOVE   ? TransferKind::Move
                            : chosen == DROPEFFECT_LINK ? TransferKind::Link
                                                        : TransferKind::Copy;
        auto result = TransferInto(paths, folder_, kind);
        if (result.error && result.created.empty()) {
            *effect = DROPEFFECT_NONE;
            return HResultFromErrno(result.error);
        }
        return S_OK;
    }

private:
    static bool Offers(IDataObject* data, std::uint32_t cf)
    {
        FORMATETC format = HGlobalFormat(static_cast<CLIPFORMAT>(cf));
        return data->QueryGetData(&format) == S_OK;
    }

    // The effect the keys ask for, within what the source allows: Ctrl+Shift or Alt link, Ctrl
    // copy, Shift move; no key moves within one file system and copies across (and copies
    // while the files are not known yet).
    HRESULT Choose(DWORD keyState, DWORD* effect)
    {
        if (!effect)
            return E_INVALIDARG;
        DWORD allowed = *effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
        *effect = DROPEFFECT_NONE;
        if (!offered_ || ::access(folder_.c_str(), W_OK | X_OK) != 0)
            return S_OK;
        bool anyInside = false;
        for (const auto& p : paths_)
            anyInside = anyInside || WouldGoIntoItself(p, folder_);
        DWORD wanted;
        if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT))
            wanted = DROPEFFECT_LINK;
        else if (keyState & MK_ALT)
            wanted = DROPEFFECT_LINK;
        else if (keyState & MK_CONTROL)
            wanted = DROPEFFECT_COPY;
        else if (keyState & MK_SHIFT)
            wanted = DROPEFFECT_MOVE;
        else
            wanted = !paths_.empty() && SameFileSystem(paths_.front()) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
        if (anyInside && wanted != DROPEFFECT_LINK)
            return S_OK;  // a folder cannot go into itself
        if (allowed & wanted)
            *effect = wanted;
        else
            for (DWORD e : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
                if ((allowed & e) && (!anyInside || e == DROPEFFECT_LINK)) {
                    *effect = e;
                    break;
                }
        return S_OK;
    }

    bool SameFileSystem(const std::string& path) const
    {
        struct stat a {
        }, b{};
        return ::lstat(path.c_str(), &a) == 0 && ::stat(folder_.c_str(), &b) == 0 && a.st_dev == b.st_dev;
    }

    std::string folder_;
    std::vector<std::string> paths_;
    bool offered_ = false;
};

class ItemDataObject : public ComObject<IDataObject> {
public:
    void Add(std::uint32_t cf, std::vector<std::uint8_t> block) { blocks_.emplace_back(cf, std::move(block)); }

    HRESULT GetData(const FORMATETC* f, STGMEDIUM* m) override
    {
        if (!m)
            return E_INVALIDARG;
        const auto* block = Find(f);
        if (!block)
            return DV_E_FORMATETC;
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = *block;
        m->pUnkForRelease.reset();
        return S_OK;
    }
    HRESULT GetDataHere(const FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT QueryGetData(const FORMATETC* f) override { return Find(f) ? S_OK : DV_E_FORMATETC; }
    HRESULT GetCanonicalFormatEtc(const FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT SetData(const FORMATETC*, STGMEDIUM*, bool) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD dir, IEnumFORMATETC** e) override
    {
        if (!e)
            return E_INVALIDARG;
        if (dir != DATADIR_GET)
            return E_NOTIMPL;
        std::vector<FORMATETC> list;
        for (const auto& [cf, b] : blocks_)
            list.push_back(HGlobalFormat(static_cast<CLIPFORMAT>(cf)));
        *e = MakeFormatEnumerator(list).detach();
        return S_OK;
    }
    HRESULT DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    const std::vector<std::uint8_t>* Find(const FORMATETC* f) const
    {
        if (!f || !(f->tymed & TYMED_HGLOBAL) || f->dwAspect != DVASPECT_CONTENT)
            return nullptr;
        for (const auto& [cf, b] : blocks_)
            if (cf == f->cfFormat)
                return &b;
        return nullptr;
    }

    std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> blocks_;
};

}  // namespace

ComPtr<IDropTarget> MakeFolderDropTarget(std::string folderPath)
{
    auto target = MakeCom<FolderDropTarget>(std::move(folderPath));
    return ComPtr<IDropTarget>(target.get());
}

ComPtr<IDataObject> MakeItemDataObject(const ItemIdList& folder, const std::vector<ItemIdList>& items,
                                       const std::vector<std::string>& paths)
{
    auto object = MakeCom<ItemDataObject>();
    object->Add(static_cast<std::uint32_t>(ShellIdListFormat()), BuildIdListArray(folder, items));
    object->Add(CF_HDROP, BuildHDrop(paths));
    return ComPtr<IDataObject>(object.get());
}

}  // namespace ql::shell
