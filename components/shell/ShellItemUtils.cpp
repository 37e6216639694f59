#include "components/shell/ShellItemUtils.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <dirent.h>
#include <fnmatch.h>
#include <langinfo.h>
#include <strings.h>
#include <sys/stat.h>

#include "components/shell/ShConsts.h"
#include "components/shell/ShellErrors.h"
#include "platform/core/DesktopEntry.h"
#include "platform/core/TextEncoding.h"
#include "platform/core/shell/IdListArray.h"
#include "platform/core/shell/ShellFileInfo.h"
#include "platform/core/shell/ShellItems.h"
#include "platform/core/shell/ShellObjects.h"

namespace ql::shellctl {

using namespace shell;

void RaiseSystemError(HRESULT code) { throw EShellError(ErrorText(code)); }

bool IsBeyondDriveRoot(const std::string& path)
{
    if (path.empty() || path == "/")
        return false;
    // A mount point lies on another device than the folder holding it.
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    std::string parent = trimmed.substr(0, trimmed.find_last_of('/'));
    struct stat self {
    }, above{};
    if (::stat(trimmed.c_str(), &self) != 0 || ::stat(parent.empty() ? "/" : parent.c_str(), &above) != 0)
        return true;
    return self.st_dev == above.st_dev;
}

std::string FormatFileSize(std::uint64_t bytes, const std::string& thousandsSeparator)
{
    std::uint64_t kb = bytes / 1024 + (bytes % 1024 ? 1 : 0);
    std::string digits = std::to_string(kb);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            grouped += thousandsSeparator;
        grouped += digits[i];
    }
    std::string format = LoadShConst(ShConst::SSizeKB);
    std::size_t at = format.find("%s");
    return at == std::string::npos ? format : format.replace(at, 2, grouped);
}

std::string FormatFileSize(std::uint64_t bytes)
{
    const char* sep = nl_langinfo(THOUSEP);
    return FormatFileSize(bytes, sep ? sep : "");
}

std::string FormatModifiedTime(std::time_t when)
{
    std::tm local{};
    if (!localtime_r(&when, &local))
        return {};
    char buf[128];
    std::size_t n = std::strftime(buf, sizeof buf, "%x %H:%M", &local);
    return std::string(buf, n);
}

void GetSizeAndModifiedText(const ItemIdList* absolute, std::string& size, std::string& modified)
{
    size.clear();
    modified.clear();
    std::string path = IdListToPath(absolute);
    if (!IsBeyondDriveRoot(path))
        return;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode))
        size = FormatFileSize(static_cast<std::uint64_t>(st.st_size));
    modified = FormatModifiedTime(st.st_mtim.tv_sec ? st.st_mtim.tv_sec : st.st_ctim.tv_sec);
}

void GetTypeNameText(const ItemIdList* absolute, ULONG attributes, std::string& type)
{
    if (!(attributes & SFGAO_FILESYSTEM)) {
        type = LoadShConst(ShConst::SSystemFolder);
        return;
    }
    type.clear();
    std::string path = IdListToPath(absolute);
    if (path.empty())
        return;
    struct stat st {};
    bool folder = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    type = Utf8PrefixChars(ContentTypeDescription(ContentTypeOf(path, folder)), 80);
}

void GetItemColumnTexts(const ItemIdList* absolute, ULONG attributes, std::string& size, std::string& modified,
                        std::string& type)
{
    GetSizeAndModifiedText(absolute, size, modified);
    GetTypeNameText(absolute, attributes, type);
}

std::string GetFolderDisplayName(IShellFolder* folder, const ItemIdList& relative, com::DWORD flags)
{
    STRRET name;
    if (!folder || com::FAILED(folder->GetDisplayNameOf(relative, flags, &name)))
        return {};
    return StrRetToString(&relative, name);
}

HRESULT CreateItemContextMenu(IShellFolder* folder, ItemSpan items, ComPtr<IContextMenu>& contextMenu, PopupMenu& menu,
                              unsigned firstId, unsigned flags)
{
    contextMenu.reset();
    if (!folder)
        return com::E_POINTER;
    HRESULT hr = folder->GetUIObjectOf(items, IContextMenu::IID_, contextMenu.putVoid());
    if (com::FAILED(hr))
        return hr;
    hr = contextMenu->QueryContextMenu(menu, 0, firstId, kLastShellCommand, flags);
    if (com::FAILED(hr)) {
        contextMenu.reset();
        RaiseSystemError(hr);
    }
    return hr;
}

int FindVerbCommand(IContextMenu* menu, const std::string& verb)
{
    PopupMenu scratch;
    if (com::FAILED(menu->QueryContextMenu(scratch, 0, kFirstShellCommand, kLastShellCommand, CMF_EXPLORE)))
        return -1;
    for (std::size_t i = 0; i < scratch.Count(); ++i) {
        int id = scratch.At(i).id;
        if (id <= 0 || id < static_cast<int>(kFirstShellCommand))
            continue;
        std::string name;
        unsigned offset = static_cast<unsigned>(id) - kFirstShellCommand;
        if (com::SUCCEEDED(menu->GetCommandString(offset, GCS_VERBA, &name)) &&
            strcasecmp(name.c_str(), verb.c_str()) == 0)
            return static_cast<int>(offset);
    }
    return -1;
}

HRESULT InvokeContextMenuVerb(IContextMenu* menu, const std::variant<unsigned, std::string>& verb)
{
    if (!menu)
        return com::E_POINTER;
    unsigned offset = 0;
    if (const auto* text = std::get_if<std::string>(&verb)) {
        int found = FindVerbCommand(menu, *text);
        if (found < 0)
            return com::S_FALSE;
        offset = static_cast<unsigned>(found);
    } else {
        offset = std::get<unsigned>(verb);
    }
    CMINVOKECOMMANDINFO info;
    info.offset = offset;
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(info);
}

HRESULT SplitIdList(const ItemIdList* absolute, ComPtr<IShellFolder>& folder, IdListPtr& parent, IdListPtr& last)
{
    folder.reset();
    parent.reset();
    last.reset();
    IdListPtr desktopDir;
    if (!absolute || absolute->IsEmpty()) {
        if (HRESULT hr = PathToIdList(GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY), desktopDir); com::FAILED(hr))
            return hr;
        absolute = desktopDir.get();
    }
    if (absolute->ItemCount() == 1) {
        last = CopyIdList(absolute);
        return SHGetDesktopFolder(folder.put());
    }
    parent = std::make_unique<ItemIdList>(*absolute->Ancestor(1));
    last = std::make_unique<ItemIdList>(absolute->LastItem());
    return GetShellFolder(parent.get(), folder);
}

HRESULT GetUIObjectOfIdList(const ItemIdList* absolute, const com::IID& iid, void** object)
{
    ComPtr<IShellFolder> folder;
    IdListPtr parent, last;
    if (HRESULT hr = SplitIdList(absolute, folder, parent, last); com::FAILED(hr))
        return hr;
    const ItemIdList* items[] = {last.get()};
    return folder->GetUIObjectOf(items, iid, object);
}

HRESULT GetDesktopDropTarget(ComPtr<com::IDropTarget>& target)
{
    IdListPtr desktopDir;
    if (HRESULT hr = PathToIdList(GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY), desktopDir); com::FAILED(hr))
        return hr;
    return GetUIObjectOfIdList(desktopDir.get(), com::IDropTarget::IID_, target.putVoid());
}

void SplitDesktopDirectoryIdList(IdListPtr& parent, IdListPtr& last)
{
    parent.reset();
    last.reset();
    IdListPtr list;
    if (com::FAILED(PathToIdList(GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY), list)) || list->IsEmpty())
        return;
    parent = std::make_unique<ItemIdList>(*list->Ancestor(1));
    last = std::make_unique<ItemIdList>(list->LastItem());
}

com::DWORD AllowedDropEffects(com::IDataObject* data)
{
    constexpr com::DWORD kAll = com::DROPEFFECT_COPY | com::DROPEFFECT_MOVE | com::DROPEFFECT_LINK;
    std::vector<std::uint8_t> block;
    if (!data || !com::FetchHGlobal(data, static_cast<com::CLIPFORMAT>(ShellIdListFormat()), block))
        return kAll;
    auto array = ParseIdListArray(block);
    ComPtr<IShellFolder> folder;
    if (!array || array->items.empty() || com::FAILED(GetShellFolder(&array->folder, folder)))
        return com::DROPEFFECT_NONE;
    std::vector<const ItemIdList*> items;
    for (const auto& i : array->items)
        items.push_back(&i);
    ULONG attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    if (com::FAILED(folder->GetAttributesOf(items, &attributes)))
        return com::DROPEFFECT_NONE;
    return kAll & attributes;
}

com::HRESULT DropOnShellTarget(com::IDropTarget& target, com::IDataObject* data, com::DWORD keyState,
                               com::DWORD enteredKeyState, com::POINTL pt, com::DWORD* effect)
{
    keyState |= enteredKeyState & (com::MK_LBUTTON | com::MK_RBUTTON);
    com::DWORD scratch = *effect;
    target.DragEnter(data, keyState, pt, &scratch);
    target.DragOver(keyState, pt, &scratch);
    *effect &= AllowedDropEffects(data);
    return target.Drop(data, keyState, pt, effect);
}

int OverlayOf(ULONG attributes)
{
    return (attributes & shell::SFGAO_SHARE) ? 0 : (attributes & shell::SFGAO_LINK) ? 1 : -1;
}

std::string SendToEntry::Caption() const
{
    if (!caption.empty())
        return caption;
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void FillSendToList(const std::string& folderPath, const std::vector<std::string>& patterns,
                    const std::function<int(const std::string& path)>& iconIndexOf, std::vector<SendToEntry>& list)
{
    if (folderPath.empty())
        return;
    for (const auto& pattern : patterns) {
        DIR* dir = ::opendir(folderPath.c_str());
        if (!dir)
            return;
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name.empty() || name[0] == '.' || ::fnmatch(pattern.c_str(), name.c_str(), 0) != 0)
                continue;
            std::string path = JoinPath(folderPath, name);
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
                continue;
            if (std::any_of(list.begin(), list.end(), [&](const SendToEntry& x) { return x.name == name; }))
                continue;
            SendToEntry entry{name, iconIndexOf ? iconIndexOf(path) : -1, path, {}, {}};
            if (name.size() > 8 && name.compare(name.size() - 8, 8, ".desktop") == 0) {
                auto app = ReadDesktopEntry(path);
                if (!app)
                    continue;  // not an application's: nothing to send to
                entry.caption = app->name;
                if (!app->icon.empty() && app->icon.find('/') == std::string::npos)
                    entry.iconNames.push_back(app->icon);  // a theme's; a file stands for no name
            }
            if (IdListPtr absolute = PathToAbsoluteIdList(path))
                for (std::string& n : shell::IconNamesOf(*absolute, false))
                    entry.iconNames.push_back(std::move(n));
            auto at = std::lower_bound(list.begin(), list.end(), entry, [](const SendToEntry& x, const SendToEntry& y) {
                return strcasecmp(x.Caption().c_str(), y.Caption().c_str()) < 0;
            });
            list.insert(at, std::move(entry));
        }
        ::closedir(dir);
    }
}

void FillSendToListFromFolders()
{
    for (const std::string& folder : shell::SendToFolders())
        FillSendToList(folder, {"*.desktop"}, nullptr, SendToList());
}

void FillSendToSubmenu(shell::PopupMenu& menu)
{
    for (std::size_t i = 0; i < menu.Count(); ++i) {
        shell::PopupMenu* sub = menu.At(i).submenu.get();
        if (!sub || sub->Count() != 1 || !(sub->At(0).flags & shell::MF_GRAYED))
            continue;
        FillSendToListFromFolders();
        const std::vector<SendToEntry>& entries = SendToList();
        if (entries.empty())
            return;
        sub->Delete(0);
        for (std::size_t k = 0; k < entries.size() && k + 1 < kFirstShellCommand; ++k)
            sub->Append({static_cast<int>(k + 1), entries[k].Caption(), 0, nullptr, entries[k].iconNames});
        return;
    }
}

void SendToItem(const SendToEntry& entry, com::IDataObject* data)
{
    IdListPtr list;
    ComPtr<com::IDropTarget> target;
    HRESULT hr = PathToIdList(entry.path, list);
    if (com::SUCCEEDED(hr))
        hr = GetUIObjectOfIdList(list.get(), com::IDropTarget::IID_, target.putVoid());
    if (com::SUCCEEDED(hr) && !target)
        hr = com::E_FAIL;
    if (com::FAILED(hr))
        RaiseSystemError(hr);
    com::DWORD effect = com::DROPEFFECT_COPY;
    target->DragEnter(data, com::MK_LBUTTON, {}, &effect);
    effect = com::DROPEFFECT_COPY;
    target->DragOver(com::MK_LBUTTON, {}, &effect);
    effect = com::DROPEFFECT_COPY;
    target->Drop(data, com::MK_LBUTTON, {}, &effect);
}

std::string MenuSelectHint(IContextMenu* menu, int id, bool popupOrSystemItem)
{
    std::string hint;
    if (!menu || popupOrSystemItem || id < static_cast<int>(kFirstShellCommand))
        return hint;
    if (com::FAILED(menu->GetCommandString(static_cast<unsigned>(id) - kFirstShellCommand, GCS_HELPTEXTA, &hint)))
        hint.clear();
    return hint;
}

WheelScroll WheelScrollOf(int bar, int wheelScrollLines)
{
    if (wheelScrollLines == -1)
        return {true, 1};
    return {false, bar == 0 ? 1 : (wheelScrollLines & 0xFF)};
}

WheelTurn WheelTurnOf(int bar, int rotation, int delta, bool pageScroll, int linesPerAction)
{
    const int notches = delta > 0 ? rotation / delta : 0;
    const WheelScroll each = WheelScrollOf(bar, pageScroll ? -1 : linesPerAction);
    return {notches < 0, each.byPage, std::abs(notches) * each.steps};
}

MenuCharResult SendToMenuChar(const std::vector<SendToEntry>& list, int highlighted, char32_t typed)
{
    auto upper = [](char32_t c) { return c >= U'a' && c <= U'z' ? c - 32 : c; };
    auto firstOf = [&](const std::string& name) -> char32_t {
        if (name.empty())
            return 0;
        char32_t cp = 0;
        DecodeUtf8(name, 0, cp);
        return upper(cp);
    };
    typed = upper(typed);
    int n = static_cast<int>(list.size());
    int start = highlighted >= 0 && highlighted < n ? highlighted : 0;
    int found = -1, matches = 0;
    for (int i = 0; i < n; ++i)
        if (firstOf(list[static_cast<std::size_t>(i)].Caption()) == typed)
            ++matches;
    for (int step = 1; step <= n && found < 0; ++step) {
        int i = (start + step) % n;
        if (firstOf(list[static_cast<std::size_t>(i)].Caption()) == typed)
            found = i;
    }
    if (found < 0)
        return {MNC_CLOSE, 0};
    return {matches > 1 ? MNC_SELECT : MNC_EXECUTE, found};
}

std::vector<SendToEntry>& SendToList()
{
    static std::vector<SendToEntry> list;
    return list;
}

}  // namespace ql::shellctl
