// The shell list's commands: opening items and folders, going up, the shell's context menu with
// its Send To entries and hints, and the verbs run on the selection or the folder.
#include "components/shell/ShellListController.h"

#include "components/shell/IdListContainers.h"
#include "components/shell/ShellErrors.h"
#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellListScopes.h"
#include "platform/core/shell/ShellItems.h"

namespace ql::shellctl {

using namespace com;
using shell::SFGAO_FOLDER;

// Commands --------------------------------------------------------------------------------------

void ShellListController::FolderUp(int levels)
{
    if (options_ & svsloDontChangeFolder)
        return;
    const ItemIdList* list = Folder.GetIdList();
    if (!list || list->IsEmpty())
        return;
    TSvIdListArray array(list);
    Folder.SetIdList(array.Ancestor(levels));
}

bool ShellListController::DoDblClickOpen()
{
    bool handled = false;
    if (OnDblClickOpen)
        OnDblClickOpen(handled);
    return !handled;
}

void ShellListController::OpenSelection()
{
    FlushPendingRefresh();
    std::vector<int> selection = ShellSelection();
    if (selection.size() < 2) {
        std::vector<int> any = view_.SelectedIndices();
        if (!any.empty())
            OpenItem(any.front());
        return;
    }
    if (DoDblClickOpen())
        RunDefaultCommand(RelativeLists(selection));
}

void ShellListController::OpenItem(int index)
{
    FlushPendingRefresh();
    TSvShListData* data = ItemData(index);
    if (!data || !data->RelativeIdList()) {
        DoDblClickOpen();
        return;
    }
    Busy busy(view_);
    IdListPtr absolute = ConcatIdLists(folderIdList_.get(), data->RelativeIdList());
    ULONG attributes = SFGAO_FOLDER;
    const ItemIdList* items[] = {data->RelativeIdList()};
    if (absolute && shellFolder_ && shellFolder_->GetAttributesOf(items, &attributes) == S_OK &&
        (attributes & SFGAO_FOLDER)) {
        OpenFolder(*absolute);
        return;
    }
    if (data->IsLink() && OpenLinkTarget(*data))
        return;
    if (DoDblClickOpen())
        InvokeDefaultCommand(index);
}

void ShellListController::OpenFolder(const ItemIdList& absolute)
{
    if (options_ & svsloDontChangeFolder)
        return;
    IdListPtr target = CopyIdList(&absolute);  // the caller's list may belong to an item
    ClearAllItems();
    Folder.SetIdList(target.get());
    if (items_.empty() && Folder.GetIdList() && *Folder.GetIdList() == *target)
        RefillList();  // the same folder named again: the locator fires nothing
}

bool ShellListController::OpenLinkTarget(TSvShListData& data)
{
    TLinkData link;
    if (FAILED(ReadShellLink(data.Path(), link, false)) || !link.FindData.directory)
        return false;
    IdListPtr target;
    if (FAILED(PathToIdList(link.Path, target)) || !target)
        return false;
    OpenFolder(*target);
    return true;
}

void ShellListController::InvokeDefaultCommand(int index)
{
    TSvShListData* data = ItemData(index);
    if (data && data->RelativeIdList())
        RunDefaultCommand({data->RelativeIdList()});
}

void ShellListController::RunDefaultCommand(const std::vector<const ItemIdList*>& items)
{
    shell::PopupMenu menu;
    ComPtr<shell::IContextMenu> contextMenu;
    if (HRESULT hr = CreateItemContextMenu(shellFolder_.get(), items, contextMenu, menu, kFirstShellCommand,
                                           shell::CMF_EXPLORE);
        FAILED(hr))
        RaiseSystemError(hr);
    for (std::size_t i = 0; i < menu.Count(); ++i)
        if ((menu.At(i).flags & shell::MF_DEFAULT) && menu.At(i).id >= static_cast<int>(kFirstShellCommand)) {
            InvokeContextMenuVerb(contextMenu.get(), static_cast<unsigned>(menu.At(i).id) - kFirstShellCommand);
            return;
        }
}

void ShellListController::ShowShellContextMenu(int x, int y)
{
    std::vector<int> selection = ShellSelection();
    if (selection.empty() || !shellFolder_)
        return;
    unsigned flags = shell::CMF_EXPLORE;
    TSvShListData* focused = ItemData(view_.FocusedIndex());
    if (focused && !focused->Path().empty() && !ReadOnly)
        flags |= shell::CMF_CANRENAME;
    ComPtr<shell::IContextMenu> contextMenu;
    if (FAILED(shellFolder_->GetUIObjectOf(RelativeLists(selection), shell::IContextMenu::IID_, contextMenu.putVoid())))
        return;
    shell::PopupMenu menu;
    if (HRESULT hr = contextMenu->QueryContextMenu(menu, 0, kFirstShellCommand, kLastShellCommand, flags); FAILED(hr))
        RaiseSystemError(hr);
    FillSendToSubmenu(menu);
    const int id = TrackWhileActive(activeMenu_, contextMenu, [&] { return view_.TrackMenu(menu, x, y); });
    if (id == kRenameCommandId) {
        if (view_.FocusedIndex() >= 0)
            view_.EditLabel(view_.FocusedIndex());
    } else if (id >= static_cast<int>(kFirstShellCommand)) {
        InvokeContextMenuVerb(contextMenu.get(), static_cast<unsigned>(id) - kFirstShellCommand);
        if (IsNetworkFolder())
            RefreshList();
    } else if (id >= 1) {
        SendToEntry(id - 1);
    }
}

std::string ShellListController::MenuHint(int id, bool popupOrSystemItem) const
{
    return MenuSelectHint(activeMenu_.get(), id, popupOrSystemItem);
}

void ShellListController::SendToEntry(int index)
{
    const std::vector<shellctl::SendToEntry>& entries = SendToList();
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return;
    if (ComPtr<IDataObject> data = SelectionDataObject())
        SendToItem(entries[static_cast<std::size_t>(index)], data.get());
}

ComPtr<IDataObject> ShellListController::SelectionDataObject()
{
    std::vector<int> selection = ShellSelection();
    ShellDragItems items;
    items.folder = folderIdList_.get();
    items.items = RelativeLists(selection);
    for (int i : selection)
        items.parsingNames.push_back(
            GetDisplayName(shellFolder_.get(), *ItemData(i)->RelativeIdList(), svdnForParsing));
    return TDataObject_shlv::Create(items);
}

void ShellListController::InvokeSelectionVerb(const std::string& verb)
{
    std::vector<int> selection = ShellSelection();
    if (selection.empty() || !shellFolder_)
        return;
    ComPtr<shell::IContextMenu> contextMenu;
    if (FAILED(shellFolder_->GetUIObjectOf(RelativeLists(selection), shell::IContextMenu::IID_, contextMenu.putVoid())))
        return;
    InvokeContextMenuVerb(contextMenu.get(), verb);
    if (IsNetworkFolder())
        RefreshList();
}

void ShellListController::InvokeFolderVerb(const std::string& verb)
{
    ComPtr<shell::IContextMenu> contextMenu;
    if (HRESULT hr = GetUIObjectOfIdList(folderIdList_.get(), shell::IContextMenu::IID_, contextMenu.putVoid());
        FAILED(hr))
        RaiseSystemError(hr);
    if (HRESULT hr = InvokeContextMenuVerb(contextMenu.get(), verb); FAILED(hr))
        RaiseSystemError(hr);
}

bool ShellListController::IsNetworkFolder() { return Folder.GetPath().rfind("//", 0) == 0; }

}  // namespace ql::shellctl
