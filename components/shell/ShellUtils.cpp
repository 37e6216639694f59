#include "components/shell/ShellUtils.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "components/shell/ShellErrors.h"
#include "platform/core/TextEncoding.h"

namespace ql::shellctl {

using namespace shell;

com::DWORD DisplayNameFlags(TSvDisplayNameKind kind)
{
    switch (kind) {
    case svdnNormal:
        return SHGDN_NORMAL;
    case svdnInFolder:
        return SHGDN_INFOLDER;
    case svdnForParsing:
        return SHGDN_FORPARSING;
    }
    return SHGDN_NORMAL;
}

std::size_t IdListSize(const ItemIdList* list) { return list ? list->Size() : 0; }

IdListPtr CopyIdList(const ItemIdList* list) { return std::make_unique<ItemIdList>(list ? *list : ItemIdList()); }

IdListPtr ConcatIdLists(const ItemIdList* first, const ItemIdList* second)
{
    auto joined = ItemIdList::Join(first ? *first : ItemIdList(), second ? *second : ItemIdList());
    return joined ? std::make_unique<ItemIdList>(std::move(*joined)) : nullptr;
}

int CompareIdLists(const ItemIdList* a, const ItemIdList* b)
{
    if (!a || !b)
        return !a && !b ? 0 : -1;
    if (a->IsEmpty() || b->IsEmpty())
        return a->IsEmpty() && b->IsEmpty() ? 0 : -1;
    ComPtr<IShellFolder> desktop;
    if (com::FAILED(SHGetDesktopFolder(desktop.put())))
        return kCompareFailed;
    HRESULT hr = desktop->CompareIDs(0, *a, *b);
    return com::FAILED(hr) ? kCompareFailed : ShortFromResult(hr);
}

HRESULT GetShellFolder(const ItemIdList* absolute, ComPtr<IShellFolder>& folder)
{
    folder.reset();
    ComPtr<IShellFolder> desktop;
    if (HRESULT hr = SHGetDesktopFolder(desktop.put()); com::FAILED(hr))
        return hr;
    if (!absolute || absolute->IsEmpty()) {
        folder = desktop;
        return com::S_OK;
    }
    return desktop->BindToObject(*absolute, IShellFolder::IID_, folder.putVoid());
}

HRESULT PathToIdList(const std::string& path, IdListPtr& list)
{
    list.reset();
    ComPtr<IShellFolder> desktop;
    if (HRESULT hr = SHGetDesktopFolder(desktop.put()); com::FAILED(hr))
        return hr;
    ULONG eaten = 0;
    return desktop->ParseDisplayName(Utf8ToUtf16(path), &eaten, &list, nullptr);
}

std::string IdListToPath(const ItemIdList* list)
{
    ItemIdList desktop;
    return SHGetPathFromIDList(list ? list : &desktop);
}

std::string GetSpecialFolderPath(int csidl)
{
    IdListPtr list;
    if (com::FAILED(SHGetSpecialFolderLocation(csidl, &list)))
        return {};
    return IdListToPath(list.get());
}

HRESULT GetSpecialFolderIdList(int csidl, IdListPtr& list) { return SHGetSpecialFolderLocation(csidl & 0x7F, &list); }

std::string StrRetToString(const ItemIdList* item, const STRRET& strret)
{
    switch (strret.uType) {
    case STRRET_WSTR:
        return Utf16ToUtf8(strret.pOleStr);
    case STRRET_OFFSET: {
        if (!item || strret.uOffset >= item->Size())
            return {};
        const auto& bytes = item->Bytes();
        std::string text;
        for (std::size_t i = strret.uOffset; i < bytes.size() && bytes[i] != 0; ++i)
            text.push_back(static_cast<char>(bytes[i]));
        return text;
    }
    case STRRET_CSTR:
        return strret.cStr.substr(0, strret.cStr.find('\0'));
    }
    return {};
}

std::string GetDisplayName(IShellFolder* folder, const ItemIdList& relative, TSvDisplayNameKind kind)
{
    ComPtr<IShellFolder> desktop;
    if (!folder) {
        if (com::FAILED(SHGetDesktopFolder(desktop.put())))
            return {};
        folder = desktop.get();
    }
    STRRET name;
    if (com::FAILED(folder->GetDisplayNameOf(relative, DisplayNameFlags(kind), &name)))
        return {};
    return StrRetToString(&relative, name);
}

HRESULT ReadShellLink(const std::string& fileName, TLinkData& data, bool wantIdList)
{
    struct stat lst {};
    if (::lstat(fileName.c_str(), &lst) != 0)
        return HResultFromErrno(errno);
    if (!S_ISLNK(lst.st_mode))
        return HResultFromErrno(EINVAL);  // not a link
    char* target = ::realpath(fileName.c_str(), nullptr);
    if (!target)
        return HResultFromErrno(errno);  // the link does not resolve: its target is gone
    std::string path = target;
    std::free(target);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return HResultFromErrno(errno);
    IdListPtr list;
    if (wantIdList)
        if (HRESULT hr = PathToIdList(path, list); com::FAILED(hr))
            return hr;
    data.Path = path;
    data.FindData.fileName = path.substr(path.find_last_of('/') + 1);
    data.FindData.size = static_cast<std::uint64_t>(st.st_size);
    data.FindData.directory = S_ISDIR(st.st_mode);
    data.FindData.lastWriteTime = st.st_mtim.tv_sec;
    data.Arguments.clear();
    data.Description.clear();
    data.IconLocation.clear();
    data.IconIndex = 0;
    data.WorkingDirectory = S_ISDIR(st.st_mode) ? path
                                                : path.substr(0, std::max<std::size_t>(1, path.find_last_of('/')));
    data.ShowCmd = SW_SHOWNORMAL;
    data.HotKey = 0;
    data.Valid = 0x3F;
    data.IdList = std::move(list);
    return com::S_OK;
}

namespace {
int driveRefreshCounter = 0;  // GUI thread only
}

void RevalidateDrives()
{
    if (driveRefreshCounter != 0)
        return;
    IdListPtr drives;
    ComPtr<IShellFolder> folder;
    HRESULT hr = GetSpecialFolderIdList(CSIDL_DRIVES, drives);
    if (com::SUCCEEDED(hr))
        hr = GetShellFolder(drives.get(), folder);
    if (com::FAILED(hr))
        throw EShellError(ErrorText(hr));
    ULONG attributes = SFGAO_VALIDATE;
    folder->GetAttributesOf({}, &attributes);
}

void BeginDriveRefresh() { ++driveRefreshCounter; }
void EndDriveRefresh() { --driveRefreshCounter; }
int DriveRefreshCount() { return driveRefreshCounter; }

std::string IncludeTrailingChar(const std::string& text, char ch)
{
    if (text.empty() || text.back() == ch)
        return text;
    return text + ch;
}

void AppendMbcsChar(std::size_t& position, const std::string& source, std::string& destination)
{
    if (position < 1 || position > source.size())
        return;
    char32_t cp = 0;
    std::size_t len = DecodeUtf8(source, position - 1, cp);
    if (len == 0)
        len = 1;  // a stray byte goes as it is
    destination.append(source, position - 1, len);
    position += len;
}

}  // namespace ql::shellctl
