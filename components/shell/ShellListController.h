#pragma once
// Everything the shell list decides, apart from the toolkit: which folder it shows and which of
// its items, the columns and their order, opening items, the shell's menus and verbs, renames,
// keys, drags out and drops in, and the refresh that follows the folder's changes. The control
// turns its events into calls of this class and draws what it is told through ShellListView.
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "components/shell/ChangeHandlerThread.h"
#include "components/shell/CommandShortcuts.h"
#include "components/shell/DeviceChangeHandler.h"
#include "components/shell/ShellDragPort.h"
#include "components/shell/ShellListColumns.h"
#include "components/shell/ShellListDataObject.h"
#include "components/shell/ShellListOptions.h"
#include "components/shell/ShellLocator.h"
#include "components/shell/ShellNodeData.h"
#include "platform/core/shell/PopupMenu.h"

namespace ql {
class Registry;
}

namespace ql::shellctl {

class TSvPidlList;

// What the list needs of its window. Indexes are positions in the list, which always mirror the
// controller's items.
class ShellListView {
public:
    virtual ~ShellListView() = default;

    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void ClearItems() = 0;
    virtual void InsertItem(int index) = 0;  // texts from ItemText, drawn dimmed when ItemHidden
    virtual void DeleteItem(int index) = 0;
    virtual void UpdateItem(int index) = 0;
    // The items were put into a new order: `newIndexOf[old position]` is the new position.
    // Selection and focus move with their items.
    virtual void ReorderItems(const std::vector<int>& newIndexOf) = 0;
    virtual std::vector<int> SelectedIndices() const = 0;
    virtual int FocusedIndex() const = 0;  // -1 for none
    virtual void SetFocusedIndex(int index) = 0;
    virtual void SelectAllItems() = 0;

    virtual void SetColumns(const std::vector<ListColumn>& columns) = 0;
    virtual std::vector<int> ColumnWidths() const = 0;
    virtual void ShowSortMark(int column, bool ascending) = 0;  // column -1: none

    virtual bool IsEditingLabel() const = 0;
    virtual void EditLabel(int index) = 0;

    virtual bool HasFocus() const = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void StartRefreshTimer(int milliseconds) = 0;
    virtual void StopRefreshTimer() = 0;
    virtual bool RefreshTimerRunning() const = 0;
    // Posts a change notification to the list from the watching thread.
    virtual TChangeHandlerThread::Poster ChangePoster() = 0;
    virtual void ShowError(const std::string& text) = 0;

    // Shows the menu at a client point; the chosen identifier, 0 when cancelled.
    virtual int TrackMenu(const shell::PopupMenu& menu, int x, int y) = 0;

    // Drag and drop. Points are screen coordinates.
    virtual int ItemAtScreen(com::POINTL pt) const = 0;  // -1 over empty space
    virtual int DropHighlight() const = 0;
    virtual void SetDropHighlight(int index) = 0;  // -1: none
    virtual ShellDragPort& DragPort() = 0;
};

enum class RenameCheck { Valid, Unchanged, Invalid };
// A new name for an item: not empty, no "/" or NUL, not "." or ".."; the same name changes
// nothing.
RenameCheck CheckNewName(const std::string& oldName, const std::string& newName);

inline constexpr int kRefreshDelayFocused = 400;
inline constexpr int kRefreshDelayUnfocused = 2000;
// The shell's rename command, which the list takes over to edit the label itself.
inline constexpr int kRenameCommandId = 50 + 18;

class ShellListController : public TSvShListSource, public ShellListDropHandler {
public:
    explicit ShellListController(ShellListView& view);
    ~ShellListController() override;
    ShellListController(const ShellListController&) = delete;
    ShellListController& operator=(const ShellListController&) = delete;

    TSvShellLocator Folder;

    // Events, raised when set.
    std::function<bool(IShellFolder* folder, const ItemIdList* absolute, const ItemIdList& relative, ULONG attributes)>
        OnAddItem;  // false keeps the item out
    std::function<void(int index, TSvShListData& data)> OnDeleteItem;
    std::function<void(bool& handled)> OnDblClickOpen;
    std::function<void()> OnFillStart, OnFillComplete, OnFolderChanged;
    // The column data of the file manager ("DirectoryCols"); nil gives the defaults.
    const Registry* ColumnRegistry = nullptr;
    bool ReadOnly = false;

    // Window life.
    void WindowCreated();     // becomes a drop target; true from AutoFillWanted afterwards
    void WindowDestroying();  // saves the widths, stops watching, clears the items
    bool AutoFillWanted() const { return (options_ & svsloAutoFill) && items_.empty(); }
    void FillIfEmpty();

    TSvShellListOptions Options() const { return options_; }
    void SetOptions(TSvShellListOptions options);
    const std::string& FileFilter() const { return fileFilter_; }
    void SetFileFilter(const std::string& filter);

    void RefillList();
    void RefreshList();

    // Items.
    int Count() const { return static_cast<int>(items_.size()); }
    TSvShListData* ItemData(int index) const;
    std::string ItemText(int index, int column) const;
    bool ItemHidden(int index) const;
    // The mark on the item's icon (OverlayOf): shared folders and links.
    int ItemOverlay(int index) const;
    int SelectedShellItemCount() const;
    com::DWORD DropEffectsOfSelection();

    // Columns and order.
    const std::vector<ListColumn>& Columns() const { return columns_; }
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int k);
    void ColumnClick(int column);
    // Handlers of the column click may set the sort themselves; the click then does nothing.
    std::function<void(int column)> OnColumnClick;

    // Commands.
    void FolderUp(int levels);
    void OpenSelection();
    void OpenItem(int index);
    void OpenFolder(const ItemIdList& absolute);
    void ShowShellContextMenu(int x, int y);
    // While a shell menu is up: the help text of the highlighted command for OnPopupHint.
    std::string MenuHint(int id, bool popupOrSystemItem) const;
    std::function<void(const std::string& hint)> OnPopupHint;
    void InvokeSelectionVerb(const std::string& verb);
    void InvokeFolderVerb(const std::string& verb);
    bool CanEdit(int index) const;
    // The label edit ended; false when the rename was refused or failed (the old name stays).
    bool EndLabelEdit(int index, const std::string& text);
    void LabelEditCancelled();
    // True when the key was the list's.
    bool KeyDown(TShortCut shortcut);
    bool KeyChar(int character);

    // Change notification.
    void StartChangeNotify();
    void ChangeNotification();
    void RefreshTimerFired();
    void FlushPendingRefresh();
    void DeviceChanged(TMessage& message);
    bool Dragging() const { return dragging_; }
    bool RefreshPending() const { return refreshPending_ || refillPending_; }
    bool Renaming() const { return renaming_; }

    // Drag out with a button (0 left, 1 right, 2 middle) and drop in.
    void StartOleDrag(int button);
    com::HRESULT ListDragEnter(com::IDataObject* data, com::DWORD keyState, com::POINTL pt,
                               com::DWORD* effect) override;
    com::HRESULT ListDragOver(com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;
    com::HRESULT ListDragLeave() override;
    com::HRESULT ListDrop(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;

    // TSvShListSource
    IShellFolder* ListShellFolder() override { return shellFolder_.get(); }
    const ItemIdList* ListFolderIdList() override { return folderIdList_.get(); }

private:
    struct Item {
        std::unique_ptr<TSvShListData> data;
        ULONG attributes = 0;
    };

    void FolderChanged();
    void ClearAllItems();
    void FillFromFolder(const ComPtr<IShellFolder>& folder, const ItemIdList* folderIdList);
    void BuildColumns();
    void SaveColumnWidthsIfWanted();
    bool ShouldAddItem(const ItemIdList* absolute, const ItemIdList& relative, ULONG& attributes);
    void AppendItem(IdListPtr relative, ULONG attributes);
    void ListShownItems(TSvPidlList& shown);  // sorted, each with its item
    void RemoveItemsOf(const TSvPidlList& gone);
    void AddItems(std::vector<IdListPtr> added);  // those the filters let in
    void SortItems();
    int CompareItems(const Item& a, const Item& b) const;
    void RunPendingRefresh();
    void RereadItemTexts(int index);
    void SendToEntry(int index);
    com::ComPtr<com::IDataObject> SelectionDataObject();  // nil without a selection
    bool IsNetworkFolder();
    std::vector<int> ShellSelection() const;  // selected items with data, as the commands take them
    std::vector<const ItemIdList*> RelativeLists(const std::vector<int>& indexes) const;
    com::ComPtr<com::IDropTarget> TargetAt(com::POINTL pt, int& item);
    bool HoverTargetAt(com::POINTL pt, com::DWORD keyState, com::DWORD* effect, int& item,
                       com::ComPtr<com::IDropTarget>& target);
    com::ComPtr<com::IDropTarget> FolderDropTarget();
    void InvokeDefaultCommand(int index);
    void RunDefaultCommand(const std::vector<const ItemIdList*>& items);  // of the items' context menu
    bool OpenLinkTarget(TSvShListData& data);
    bool DoDblClickOpen();

    ShellListView& view_;
    TSvShellListOptions options_ = kDefaultShellListOptions;
    std::string fileFilter_;
    std::vector<std::string> filterPatterns_;
    std::optional<std::set<std::string>> filterNames_;
    ComPtr<IShellFolder> shellFolder_;
    IdListPtr folderIdList_;
    std::vector<std::unique_ptr<Item>> items_;
    std::vector<ListColumn> columns_;
    bool columnsBuilt_ = false;
    bool saveColumnWidths_ = false;
    int sortColumn_ = 1;
    bool sortHandled_ = false;
    int folderChangeLock_ = 0;
    bool renaming_ = false;
    bool dragging_ = false;
    bool refreshPending_ = false;
    bool refillPending_ = false;
    bool windowCreated_ = false;
    std::unique_ptr<TChangeHandlerThread> changeThread_;
    com::ComPtr<TDropTarget_shlv> dropTarget_;
    com::ComPtr<com::IDataObject> enteredData_;
    com::DWORD enteredKeyState_ = 0;
    TDragAutoScroll autoScroll_;
    com::ComPtr<shell::IContextMenu> activeMenu_;  // only while TrackMenu runs
};

}  // namespace ql::shellctl
