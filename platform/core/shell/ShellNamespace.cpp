// The folders of our namespace: the desktop, Computer and the folders of the file system, all
// one class over a Location, reading the disk on every call (nothing is cached, so there is
// nothing to re-validate).
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/TextEncoding.h"
#include "platform/core/shell/FileOperations.h"
#include "platform/core/shell/ShellFolder.h"
#include "platform/core/shell/ShellItems.h"
#include "platform/core/shell/ShellObjects.h"

namespace ql::shell {

using namespace com;

namespace {

// Permissions from the mode bits of the class (owner, group, others) the effective user falls
// in. The super-user is not given a pass: what the namespace offers follows the item's own
// permissions for everyone.
bool Permits(const struct stat& st, unsigned rwx)
{
    unsigned shift;
    if (st.st_uid == ::geteuid())
        shift = 6;
    else if (st.st_gid == ::getegid())
        shift = 3;
    else {
        shift = 0;
        gid_t groups[256];
        int n = ::getgroups(256, groups);
        for (int i = 0; i < n; ++i)
            if (groups[i] == st.st_gid)
                shift = 3;
    }
    return ((st.st_mode >> shift) & rwx) == rwx;
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsHiddenName(const std::string& name) { return !name.empty() && name[0] == '.'; }

ItemIdList SingleItem(const ShellItem& item) { return *ItemIdList::FromItems({item.Encode()}); }

ShellItem FileItem(const std::string& name, bool folder) { return {ItemKind::File, folder, name}; }

struct Child {
    ShellItem item;
    bool hidden = false;
};

// The children of a place, or an errno value.
int ListChildren(const Location& at, std::vector<Child>& out)
{
    auto listDir = [&](const std::string& path) -> int {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return errno;
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
        if (!Permits(st, 5))
            return EACCES;
        DIR* dir = ::opendir(path.c_str());
        if (!dir)
            return errno;
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            bool folder = e->d_type == DT_DIR;
            if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN)
                folder = IsDirectory(JoinPath(path, name));
            out.push_back({FileItem(name, folder), IsHiddenName(name)});
        }
        ::closedir(dir);
        return 0;
    };
    switch (at.kind) {
    case Location::Kind::Desktop: {
        out.push_back({{ItemKind::Home, true, {}}, false});
        (void)listDir(DesktopDirectoryPath());  // without a desktop folder the desktop has no entries
        out.push_back({{ItemKind::Computer, true, {}}, false});
        return 0;
    }
    case Location::Kind::Computer:
        out.push_back({{ItemKind::FileSystemRoot, true, {}}, false});
        for (const auto& v : MountedVolumes())
            out.push_back({{ItemKind::Volume, true, v}, false});
        return 0;
    case Location::Kind::Path:
        return listDir(at.path);
    }
    return EINVAL;
}

int KindRank(ItemKind k)
{
    switch (k) {
    case ItemKind::Home:
        return 0;
    case ItemKind::FileSystemRoot:
        return 0;
    case ItemKind::Volume:
        return 1;
    case ItemKind::File:
        return 2;
    case ItemKind::Computer:
        return 3;
    }
    return 4;
}

int Sign(long long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int CompareNames(const std::string& a, const std::string& b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return Sign(a.compare(b));  // names differing only in case still have an order
}

std::string TypeKey(const ShellItem& item)
{
    if (item.folder)
        return {};
    std::size_t dot = item.name.find_last_of('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    std::string ext = item.name.substr(dot + 1);
    for (auto& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return ext;
}

// The names between the slashes of a path, leaving out empty ones and ".".
std::vector<std::string> PathNames(const std::string& path)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (!part.empty() && part != ".")
            names.push_back(std::move(part));
    }
    return names;
}

std::string NormalName(const ShellItem& item)
{
    switch (item.kind) {
    case ItemKind::Home:
        return "Home";
    case ItemKind::Computer:
        return "Computer";
    case ItemKind::FileSystemRoot:
        return "File System";
    case ItemKind::Volume:
        return item.name.substr(item.name.find_last_of('/') + 1);
    case ItemKind::File:
        return item.name;
    }
    return {};
}

class ItemEnumerator : public ComObject<IEnumIDList> {
public:
    explicit ItemEnumerator(std::shared_ptr<const std::vector<ItemIdList>> items, std::size_t at = 0)
        : items_(std::move(items)), at_(at)
    {
    }
    HRESULT Next(ULONG count, IdListPtr* out, ULONG* fetched) override
    {
        if (!out)
            return E_POINTER;
        ULONG n = 0;
        while (n < count && at_ < items_->size())
            out[n++] = std::make_unique<ItemIdList>((*items_)[at_++]);
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        std::size_t left = items_->size() - at_;
        at_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        at_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumIDList** out) override
    {
        if (!out)
            return E_POINTER;
        *out = MakeCom<ItemEnumerator>(items_, at_).detach();
        return S_OK;
    }

private:
    std::shared_ptr<const std::vector<ItemIdList>> items_;
    std::size_t at_;
};

class NamespaceFolder : public ComObject<IShellFolder> {
public:
    NamespaceFolder(Location at, ItemIdList absolute) : at_(std::move(at)), absolute_(std::move(absolute)) {}

    HRESULT ParseDisplayName(const std::u16string& name, ULONG* eaten, IdListPtr* out, ULONG* attributes) override
    {
        if (!out)
            return E_POINTER;
        out->reset();
        std::string text = Utf16ToUtf8(name);
        IdListPtr list;
        if (at_.IsPath()) {
            list = ParseRelative(text);
        } else if (!text.empty() && text[0] == '/') {
            list = PathToIdList(text, at_.kind == Location::Kind::Desktop);
            if (list && at_.kind == Location::Kind::Computer)
                list = std::make_unique<ItemIdList>(list->Tail(1));
        }
        if (!list)
            return HResultFromErrno(ENOENT);
        if (eaten)
            *eaten = static_cast<ULONG>(name.size());
        if (attributes && *attributes) {
            const ItemIdList* items[] = {list.get()};
            if (HRESULT hr = GetAttributesOf(items, attributes); FAILED(hr))
                return hr;
        }
        *out = std::move(list);
        return S_OK;
    }

    HRESULT EnumObjects(DWORD flags, IEnumIDList** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        std::vector<Child> children;
        if (int err = ListChildren(at_, children))
            return HResultFromErrno(err);
        auto items = std::make_shared<std::vector<ItemIdList>>();
        for (const auto& c : children) {
            if (c.item.folder ? !(flags & SHCONTF_FOLDERS) : !(flags & SHCONTF_NONFOLDERS))
                continue;
            if (c.hidden && !(flags & SHCONTF_INCLUDEHIDDEN))
                continue;
            items->push_back(SingleItem(c.item));
        }
        *out = MakeCom<ItemEnumerator>(std::move(items)).detach();
        return S_OK;
    }

    HRESULT BindToObject(const ItemIdList& relative, const IID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!(iid == IShellFolder::IID_))
            return E_NOINTERFACE;
        if (relative.IsEmpty())
            return E_INVALIDARG;
        auto at = ResolveLocation(at_, relative);
        if (!at)
            return E_INVALIDARG;
        if (at->IsPath() && !IsDirectory(at->path))
            return HResultFromErrno(::access(at->path.c_str(), F_OK) == 0 ? ENOTDIR : ENOENT);
        auto absolute = ItemIdList::Join(absolute_, relative);
        if (!absolute)
            return E_INVALIDARG;
        *out = static_cast<IShellFolder*>(MakeCom<NamespaceFolder>(std::move(*at), std::move(*absolute)).detach());
        return S_OK;
    }

    HRESULT CompareIDs(std::intptr_t column, const ItemIdList& a, const ItemIdList& b) override
    {
        if (a.IsEmpty() || b.IsEmpty())
            return ResultFromShort(a.IsEmpty() == b.IsEmpty() ? 0 : a.IsEmpty() ? -1 : 1);
        auto ia = ShellItem::Decode(a.ItemData(0));
        auto ib = ShellItem::Decode(b.ItemData(0));
        if (!ia || !ib)
            return E_INVALIDARG;
        int c = CompareItems(static_cast<int>(column & 0xFFFF), *ia, *ib);
        if (c != 0)
            return ResultFromShort(c);
        if (a.ItemCount() == 1 || b.ItemCount() == 1)
            return ResultFromShort(a.ItemCount() == b.ItemCount() ? 0 : a.ItemCount() == 1 ? -1 : 1);
        ComPtr<IShellFolder> child;
        auto first = a.Item(0);
        if (HRESULT hr = BindToObject(*first, IShellFolder::IID_, child.putVoid()); FAILED(hr))
            return hr;
        return child->CompareIDs(column, a.Tail(1), b.Tail(1));
    }

    HRESULT GetAttributesOf(ItemSpan items, ULONG* inOut) override
    {
        if (!inOut)
            return E_POINTER;
        if (items.empty())
            return S_OK;  // nothing is cached, so validating has nothing to do
        ULONG result = *inOut;
        for (const ItemIdList* list : items) {
            if (!list || list->IsEmpty())
                return E_INVALIDARG;
            auto parent = list->ItemCount() == 1 ? std::optional<Location>(at_)
                                                 : ResolveLocation(at_, *list->Ancestor(1));
            auto item = ShellItem::Decode(list->ItemData(list->ItemCount() - 1));
            if (!parent || !item)
                return E_INVALIDARG;
            ULONG attrs = 0;
            if (int err = Attributes(*parent, *item, *inOut, attrs))
                return HResultFromErrno(err);
            result &= attrs;
        }
        *inOut = result;
        return S_OK;
    }

    HRESULT GetUIObjectOf(ItemSpan items, const IID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (items.empty())
            return E_INVALIDARG;
        std::vector<MenuItemInfo> infos;
        std::vector<ItemIdList> copies;
        std::vector<std::string> paths;
        for (const ItemIdList* list : items) {
            if (!list || list->ItemCount() != 1)
                return E_INVALIDARG;
            auto at = ResolveLocation(at_, *list);
            if (!at || !at->IsPath())
                return E_INVALIDARG;
            struct stat st {};
            if (::lstat(at->path.c_str(), &st) != 0)
                return HResultFromErrno(errno);
            auto item = ShellItem::Decode(list->ItemData(0));
            infos.push_back({at->path, IsDirectory(at->path), item && item->kind == ItemKind::File});
            copies.push_back(*list);
            paths.push_back(at->path);
        }
        if (iid == IContextMenu::IID_ || iid == IContextMenu2::IID_) {
            auto menu = MakeItemContextMenu(std::move(infos));
            return menu->QueryInterface(iid, out);
        }
        if (iid == IDropTarget::IID_) {
            if (infos.size() != 1)
                return E_INVALIDARG;
            // A folder takes files in; an application's desktop file opens them.
            if (infos[0].folder)
                *out = MakeFolderDropTarget(infos[0].path).detach();
            else if (IsDesktopEntryFile(infos[0].path))
                *out = MakeDesktopEntryDropTarget(infos[0].path).detach();
            else
                return E_INVALIDARG;
            return S_OK;
        }
        if (iid == IDataObject::IID_) {
            *out = MakeItemDataObject(absolute_, copies, paths).detach();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    HRESULT GetDisplayNameOf(const ItemIdList& list, DWORD flags, STRRET* name) override
    {
        if (!name)
            return E_POINTER;
        if (list.IsEmpty()) {
            name->uType = STRRET_CSTR;
            name->cStr = at_.IsPath() ? at_.path : at_.kind == Location::Kind::Computer ? "Computer" : "Desktop";
            return S_OK;
        }
        auto at = ResolveLocation(at_, list);
        auto item = ShellItem::Decode(list.ItemData(list.ItemCount() - 1));
        if (!at || !item)
            return E_INVALIDARG;
        name->uType = STRRET_CSTR;
        bool parsing = flags & SHGDN_FORPARSING;
        bool inFolder = flags & SHGDN_INFOLDER;
        if (parsing && at->IsPath())
            name->cStr = inFolder && item->kind == ItemKind::File ? item->name : at->path;
        else
            name->cStr = NormalName(*item);
        return S_OK;
    }

    HRESULT SetNameOf(const ItemIdList& list, const std::u16string& newName, DWORD, IdListPtr* out) override
    {
        if (out)
            out->reset();
        if (list.ItemCount() != 1)
            return E_INVALIDARG;
        auto item = ShellItem::Decode(list.ItemData(0));
        auto parent = ParentPath();
        if (!item || item->kind != ItemKind::File || !parent)
            return E_INVALIDARG;
        std::string name = Utf16ToUtf8(newName);
        if (!IsValidFileName(name))
            return E_INVALIDARG;
        if (name != item->name)
            if (int err = RenameNoReplace(JoinPath(*parent, item->name), JoinPath(*parent, name)))
                return HResultFromErrno(err);
        if (out)
            *out = std::make_unique<ItemIdList>(SingleItem(FileItem(name, item->folder)));
        return S_OK;
    }

private:
    // The folder on disk that holds this folder's file items.
    std::optional<std::string> ParentPath() const
    {
        if (at_.IsPath())
            return at_.path;
        if (at_.kind == Location::Kind::Desktop)
            return DesktopDirectoryPath();
        return std::nullopt;
    }

    IdListPtr ParseRelative(const std::string& text) const
    {
        if (!text.empty() && text[0] == '/')
            return nullptr;  // names below a folder are relative to it
        const std::vector<std::string> names = PathNames(text);
        for (const auto& part : names)
            if (!IsValidFileName(part))
                return nullptr;  // ".." would leave this folder
        if (names.empty())
            return nullptr;
        std::vector<std::string> datas;
        std::string path = at_.path;
        for (const auto& n : names) {
            path = JoinPath(path, n);
            datas.push_back(FileItem(n, IsDirectory(path)).Encode());
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return nullptr;
        std::vector<std::string_view> views(datas.begin(), datas.end());
        auto list = ItemIdList::FromItems(views);
        return list ? std::make_unique<ItemIdList>(std::move(*list)) : nullptr;
    }

    int CompareItems(int column, const ShellItem& a, const ShellItem& b) const
    {
        if (int c = KindRank(a.kind) - KindRank(b.kind))
            return c < 0 ? -1 : 1;
        if (a.kind != ItemKind::File)
            return CompareNames(a.name, b.name);
        if (a.folder != b.folder)
            return a.folder ? -1 : 1;
        if (column == kColumnSize || column == kColumnModified) {
            struct stat sa {
            }, sb{};
            auto pa = ChildLocation(at_, a), pb = ChildLocation(at_, b);
            bool oka = pa && ::lstat(pa->path.c_str(), &sa) == 0;
            bool okb = pb && ::lstat(pb->path.c_str(), &sb) == 0;
            if (oka != okb)
                return oka ? -1 : 1;
            if (oka) {
                int c = column == kColumnSize                         ? (a.folder ? 0 : Sign(sa.st_size - sb.st_size))
                        : Sign(sa.st_mtim.tv_sec - sb.st_mtim.tv_sec) ? Sign(sa.st_mtim.tv_sec - sb.st_mtim.tv_sec)
                                                                      : Sign(sa.st_mtim.tv_nsec - sb.st_mtim.tv_nsec);
                if (c)
                    return c;
            }
        } else if (column == kColumnType) {
            if (int c = Sign(TypeKey(a).compare(TypeKey(b))))
                return c;
        }
        return CompareNames(a.name, b.name);
    }

    int Attributes(const Location& parent, const ShellItem& item, ULONG requested, ULONG& out) const
    {
        constexpr ULONG kVirtualFolder = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        switch (item.kind) {
        case ItemKind::Computer:
            out = kVirtualFolder;
            return 0;
        case ItemKind::Home:
            out = kVirtualFolder | SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK | SFGAO_DROPTARGET;
            return 0;
        case ItemKind::FileSystemRoot:
            out = kVirtualFolder | SFGAO_FILESYSTEM | SFGAO_CANLINK;
            return 0;
        case ItemKind::Volume:
            out = kVirtualFolder | SFGAO_FILESYSTEM | SFGAO_CANLINK | SFGAO_REMOVABLE;
            return 0;
        case ItemKind::File:
            break;
        }
        auto at = ChildLocation(parent, item);
        if (!at || !at->IsPath())
            return EINVAL;
        struct stat lst {
        }, st{};
        if (::lstat(at->path.c_str(), &lst) != 0)
            return errno;
        if (::stat(at->path.c_str(), &st) != 0)
            st = lst;  // a dangling link is an item of its own
        bool folder = S_ISDIR(st.st_mode);
        out = SFGAO_FILESYSTEM | SFGAO_CANLINK;
        if (folder)
            out |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
        if (S_ISLNK(lst.st_mode))
            out |= SFGAO_LINK;
        if (IsHiddenName(item.name))
            out |= SFGAO_HIDDEN;
        if (!Permits(st, 2))
            out |= SFGAO_READONLY;
        if (Permits(st, folder ? 5 : 4))
            out |= SFGAO_CANCOPY;
        if (folder && Permits(st, 3))
            out |= SFGAO_DROPTARGET;
        struct stat pst {};
        std::string parentPath = at->path.substr(0, at->path.find_last_of('/'));
        if (::stat(parentPath.empty() ? "/" : parentPath.c_str(), &pst) == 0 && Permits(pst, 3))
            out |= SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
        if (folder && (requested & SFGAO_HASSUBFOLDER) && HasSubfolder(at->path, st))
            out |= SFGAO_HASSUBFOLDER;
        return 0;
    }

    static bool HasSubfolder(const std::string& path, const struct stat& st)
    {
        if (!Permits(st, 5))
            return false;
        DIR* dir = ::opendir(path.c_str());
        if (!dir)
            return false;
        bool found = false;
        while (!found)
            if (dirent* e = ::readdir(dir)) {
                std::string name = e->d_name;
                if (name == "." || name == "..")
                    continue;
                found = e->d_type == DT_DIR ||
                        ((e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) && IsDirectory(JoinPath(path, name)));
            } else {
                break;
            }
        ::closedir(dir);
        return found;
    }

    Location at_;
    ItemIdList absolute_;

public:
    // The absolute list of an existing path: below Home when `viaHome` and it lies there, else
    // below the volume holding it, else below the file-system root.
    static IdListPtr PathToIdList(const std::string& path, bool viaHome)
    {
        if (path.empty() || path[0] != '/')
            return nullptr;
        std::vector<std::string> parts;
        for (auto& part : PathNames(path)) {
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
                continue;
            }
            parts.push_back(std::move(part));
        }
        std::string norm;
        for (const auto& p : parts)
            norm += "/" + p;
        if (norm.empty())
            norm = "/";
        struct stat st {};
        if (::lstat(norm.c_str(), &st) != 0)
            return nullptr;

        auto under = [&](const std::string& base) {
            return base != "/" && (norm == base || norm.compare(0, base.size() + 1, base + "/") == 0);
        };
        std::vector<std::string> datas;
        std::string base;
        std::string home = HomePath();
        if (viaHome && under(home)) {
            datas.push_back(ShellItem{ItemKind::Home, true, {}}.Encode());
            base = home;
        } else {
            datas.push_back(ShellItem{ItemKind::Computer, true, {}}.Encode());
            auto volumes = MountedVolumes();
            std::sort(volumes.begin(), volumes.end(),
                      [](const std::string& x, const std::string& y) { return x.size() > y.size(); });
            auto v = std::find_if(volumes.begin(), volumes.end(), under);
            if (v != volumes.end()) {
                datas.push_back(ShellItem{ItemKind::Volume, true, *v}.Encode());
                base = *v;
            } else {
                datas.push_back(ShellItem{ItemKind::FileSystemRoot, true, {}}.Encode());
                base = "/";
            }
        }
        std::string walked = base;
        std::size_t skip = 0;  // the parts that spell the base itself
        for (std::size_t i = 0, len = 0; base != "/" && i < parts.size() && len < base.size(); ++i) {
            len += 1 + parts[i].size();
            skip = i + 1;
        }
        for (std::size_t i = skip; i < parts.size(); ++i) {
            walked = JoinPath(walked, parts[i]);
            datas.push_back(FileItem(parts[i], IsDirectory(walked)).Encode());
        }
        std::vector<std::string_view> views(datas.begin(), datas.end());
        auto list = ItemIdList::FromItems(views);
        return list ? std::make_unique<ItemIdList>(std::move(*list)) : nullptr;
    }
};

}  // namespace

HRESULT SHGetDesktopFolder(IShellFolder** out)
{
    if (!out)
        return E_POINTER;
    *out = MakeCom<NamespaceFolder>(Location::Desktop(), ItemIdList()).detach();
    return S_OK;
}

// The analyzer loses the owner of a unique_ptr made in one arm of a conditional and returned.
// NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
IdListPtr PathToAbsoluteIdList(const std::string& path) { return NamespaceFolder::PathToIdList(path, true); }

HRESULT SHGetSpecialFolderLocation(int csidl, IdListPtr* out)
{
    if (!out)
        return E_POINTER;
    out->reset();
    switch (csidl) {
    case CSIDL_DESKTOP:
        *out = std::make_unique<ItemIdList>();
        return S_OK;
    case CSIDL_DRIVES:
        *out = std::make_unique<ItemIdList>(SingleItem({ItemKind::Computer, true, {}}));
        return S_OK;
    case CSIDL_DESKTOPDIRECTORY:
        *out = PathToAbsoluteIdList(DesktopDirectoryPath());
        break;
    case CSIDL_PERSONAL:
        *out = PathToAbsoluteIdList(DocumentsPath());
        break;
    case CSIDL_SENDTO:
        *out = PathToAbsoluteIdList(SendToPath());
        break;
    default:
        return HResultFromErrno(ENOENT);  // the rest do not exist here
    }
    return *out ? S_OK : HResultFromErrno(ENOENT);
}

std::string SHGetPathFromIDList(const ItemIdList* list)
{
    if (!list)
        return {};
    auto at = ResolveLocation(Location::Desktop(), *list);
    return at && at->IsPath() ? at->path : std::string();
}

}  // namespace ql::shell
