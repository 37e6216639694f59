#include "components/shell/ShellListController.h"

#include <algorithm>
#include <numeric>

#include "components/shell/IdListContainers.h"
#include "components/shell/ShellErrors.h"
#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellListFileFilter.h"
#include "components/shell/ShellListKeys.h"
#include "components/shell/ShellListScopes.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/TextEncoding.h"
#include "platform/core/shell/ShellItems.h"

namespace ql::shellctl {

using namespace com;
using shell::SFGAO_FILESYSANCESTOR;
using shell::SFGAO_FILESYSTEM;
using shell::SFGAO_FOLDER;

namespace {

// Attributes asked of every item that may be shown.
constexpr ULONG kAcceptRequest = 0xF20B0000;

std::string FileNameOf(const std::string& parsingName)
{
    std::size_t slash = parsingName.rfind('/');
    return slash == std::string::npos ? parsingName : parsingName.substr(slash + 1);
}

// Everything `folder` holds now; false when it cannot be read, or fails part-way (an
// incomplete listing must not delete items).
bool ReadFolderNow(IShellFolder* folder, DWORD flags, std::vector<IdListPtr>& now)
{
    ComPtr<shell::IEnumIDList> e;
    if (FAILED(folder->EnumObjects(flags, e.put())) || !e)
        return false;
    for (;;) {
        IdListPtr item;
        ULONG fetched = 0;
        HRESULT hr = e->Next(1, &item, &fetched);
        if (hr == S_FALSE || (hr == S_OK && fetched == 0))
            return true;
        if (hr != S_OK)
            return false;
        now.push_back(std::move(item));
    }
}

// Takes from `shown` what the folder still holds; gives what it holds that is not shown, in the
// folder's order.
std::vector<IdListPtr> TakeAdded(TSvPidlList& shown, std::vector<IdListPtr>& now)
{
    std::vector<IdListPtr> added;
    for (auto it = now.rbegin(); it != now.rend(); ++it) {
        int position = -1;
        if (shown.Find(it->get(), position))
            shown.Delete(position);
        else
            added.push_back(std::move(*it));
    }
    std::reverse(added.begin(), added.end());
    return added;
}

}  // namespace

RenameCheck CheckNewName(const std::string& oldName, const std::string& newName)
{
    if (newName == oldName)
        return RenameCheck::Unchanged;
    if (!shell::IsValidFileName(newName))
        return RenameCheck::Invalid;
    return RenameCheck::Valid;
}

ShellListController::ShellListController(ShellListView& view) : view_(view)
{
    Folder.OnLocatorChange = [this](TSvShellLocator&) { FolderChanged(); };
}

ShellListController::~ShellListController()
{
    Folder.OnLocatorChange = nullptr;
    changeThread_.reset();
    if (dropTarget_)
        dropTarget_->Detach();
}

// Window life ----------------------------------------------------------------------------------

void ShellListController::WindowCreated()
{
    windowCreated_ = true;
    if ((options_ & svsloOleDrop) && !dropTarget_) {
        dropTarget_ = ComPtr<TDropTarget_shlv>::Adopt(new TDropTarget_shlv(*this));
        if (!view_.DragPort().RegisterDropTarget(dropTarget_.get())) {
            dropTarget_->Detach();
            dropTarget_.reset();
        }
    }
}

void ShellListController::WindowDestroying()
{
    if (!columns_.empty())
        SaveColumnWidthsIfWanted();
    changeThread_.reset();
    if (dropTarget_) {
        view_.DragPort().RevokeDropTarget();
        dropTarget_->Detach();
        dropTarget_.reset();
    }
    ++folderChangeLock_;
    ClearAllItems();
    --folderChangeLock_;
    windowCreated_ = false;
}

void ShellListController::ClearAllItems()
{
    UpdateBracket update(view_);
    if (OnDeleteItem)
        for (int i = 0; i < Count(); ++i)
            OnDeleteItem(i, *items_[static_cast<std::size_t>(i)]->data);
    view_.ClearItems();
    items_.clear();
}

void ShellListController::FillIfEmpty()
{
    if (items_.empty())
        RefillList();
}

// Options and filter ------------------------------------------------------------------------------

void ShellListController::SetOptions(TSvShellListOptions options)
{
    const TSvShellListOptions before = options_;
    options_ = options;
    if (!windowCreated_)
        return;
    const ShellListOptionActions a = OptionChangeActions(before, options);
    if (a.registerDrop && !dropTarget_)
        WindowCreated();
    if (a.revokeDrop && dropTarget_) {
        view_.DragPort().RevokeDropTarget();
        dropTarget_->Detach();
        dropTarget_.reset();
    }
    if (a.startWatching)
        StartChangeNotify();
    if (a.stopWatching && changeThread_)
        changeThread_->RemoveAllWatches();
    if (a.refresh)
        RefreshList();
}

void ShellListController::SetFileFilter(const std::string& filter)
{
    if (filter == fileFilter_)
        return;
    fileFilter_ = filter;
    filterPatterns_ = SplitFileFilter(filter);
    if (options_ & svsloAutoFill)
        RefillList();
}

// Filling ---------------------------------------------------------------------------------------

void ShellListController::FolderChanged()
{
    if (folderChangeLock_ <= 0) {
        ++folderChangeLock_;
        // The change came from whoever set the folder (the editor's SetPath): the list reports
        // its own failure rather than throwing into the caller.
        const bool filled = GuardHandler(
            "shell list", [&] { RefillList(); }, [&](const std::string& text) { view_.ShowError(text); });
        --folderChangeLock_;
        if (!filled)
            return;
    }
    if (OnFolderChanged)
        OnFolderChanged();
}

void ShellListController::RefillList()
{
    if (!windowCreated_)
        return;
    if (dragging_ || view_.IsEditingLabel()) {
        // Run once the drag or the edit is over, against the folder asked for then.
        refillPending_ = true;
        return;
    }
    refillPending_ = false;
    Busy busy(view_);
    ClearAllItems();
    {
        UpdateBracket update(view_);
        ComPtr<IShellFolder> folder;
        if (HRESULT hr = GetShellFolder(Folder.GetIdList(), folder); FAILED(hr))
            RaiseSystemError(hr);
        filterNames_ = BuildFileFilter(Folder.GetPath(), fileFilter_, filterPatterns_);
        try {
            FillFromFolder(folder, Folder.GetIdList());
        } catch (...) {
            filterNames_.reset();
            throw;
        }
        filterNames_.reset();
    }
    if (options_ & svsloDynamicRefresh)
        StartChangeNotify();
}

void ShellListController::FillFromFolder(const ComPtr<IShellFolder>& folder, const ItemIdList* folderIdList)
{
    struct Complete {
        ShellListController& self;
        ~Complete()
        {
            if (self.OnFillComplete)
                self.OnFillComplete();
        }
    } complete{*this};
    UpdateBracket update(view_);
    if (OnFillStart)
        OnFillStart();

    IdListPtr oldList = std::move(folderIdList_);
    ComPtr<IShellFolder> oldFolder = shellFolder_;
    folderIdList_ = CopyIdList(folderIdList);
    shellFolder_ = folder;
    try {
        BuildColumns();
        DWORD flags = shell::SHCONTF_FOLDERS | shell::SHCONTF_NONFOLDERS;
        if (options_ & svsloShowHidden)
            flags |= shell::SHCONTF_INCLUDEHIDDEN;
        ComPtr<shell::IEnumIDList> e;
        if (FAILED(folder->EnumObjects(flags, e.put())))
            return;  // an unreadable folder shows empty
        std::vector<IdListPtr> found;
        found.reserve(500);
        while (e) {
            IdListPtr item;
            ULONG fetched = 0;
            HRESULT hr = e->Next(1, &item, &fetched);
            if (hr == S_FALSE || (hr == S_OK && fetched == 0))
                break;
            if (hr == E_FAIL)
                break;
            if (hr != S_OK)
                RaiseSystemError(hr);
            found.push_back(std::move(item));
        }
        for (IdListPtr& relative : found) {
            ULONG attributes = 0;
            if (ShouldAddItem(folderIdList_.get(), *relative, attributes))
                AppendItem(std::move(relative), attributes);
        }
        SortItems();
        if (!items_.empty() && view_.FocusedIndex() < 0)
            view_.SetFocusedIndex(0);
    } catch (...) {
        folderIdList_ = std::move(oldList);
        shellFolder_ = oldFolder;
        throw;
    }
}

bool ShellListController::ShouldAddItem(const ItemIdList* absolute, const ItemIdList& relative, ULONG& attributes)
{
    attributes = kAcceptRequest;
    const ItemIdList* items[] = {&relative};
    if (FAILED(shellFolder_->GetAttributesOf(items, &attributes)))
        attributes = 0;
    if (!(options_ & svsloNonFilesystemAncestors) && !(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
        return false;
    bool allow = true;
    if (filterNames_ && !(attributes & SFGAO_FOLDER)) {
        std::string name = FileNameOf(GetDisplayName(shellFolder_.get(), relative, svdnForParsing));
        allow = MatchesFileFilter(*filterNames_, name, false);
    }
    if (allow && OnAddItem)
        allow = OnAddItem(shellFolder_.get(), absolute, relative, attributes);
    return allow;
}

void ShellListController::AppendItem(IdListPtr relative, ULONG attributes)
{
    auto item = std::make_unique<Item>();
    item->data = std::make_unique<TSvShListData>(*this);
    item->data->SetRelativeIdList(std::move(relative));
    item->attributes = attributes;
    items_.push_back(std::move(item));
    view_.InsertItem(Count() - 1);
}

void ShellListController::RefreshList()
{
    if (!windowCreated_)
        return;
    if (dragging_ || view_.IsEditingLabel()) {
        refreshPending_ = true;
        return;
    }
    refreshPending_ = false;
    if (items_.empty() || !shellFolder_) {
        RefillList();
        return;
    }
    Busy busy(view_);
    struct Complete {
        ShellListController& self;
        ~Complete()
        {
            self.filterNames_.reset();
            if (self.OnFillComplete)
                self.OnFillComplete();
        }
    } complete{*this};
    if (OnFillStart)
        OnFillStart();
    filterNames_ = BuildFileFilter(Folder.GetPath(), fileFilter_, filterPatterns_);

    // A: what is shown; B: what the folder holds now.
    TSvPidlList shown;
    ListShownItems(shown);
    DWORD flags = shell::SHCONTF_FOLDERS | shell::SHCONTF_NONFOLDERS;
    if (options_ & svsloShowHidden)
        flags |= shell::SHCONTF_INCLUDEHIDDEN;
    std::vector<IdListPtr> now;
    if (!ReadFolderNow(shellFolder_.get(), flags, now))
        return;  // the folder cannot be read now, or not completely: keep what is shown
    std::vector<IdListPtr> added = TakeAdded(shown, now);

    UpdateBracket update(view_);
    RemoveItemsOf(shown);  // what is left of A is gone from the folder
    // Items that stay keep their ids, also when their file changed in place: their texts are
    // read again and shown where they changed.
    for (int i = 0; i < Count(); ++i)
        RereadItemTexts(i);
    AddItems(std::move(added));
}

void ShellListController::ListShownItems(TSvPidlList& shown)
{
    shown.Duplicates = pdAccept;
    if (Folder.GetPath().empty())
        shown.ShellFolder = shellFolder_.get();
    shown.SetCapacity(Count());
    for (auto& item : items_)
        if (item->data && item->data->RelativeIdList())
            shown.AddObject(item->data->RelativeIdList(), item.get());
    shown.Sort();
}

void ShellListController::RemoveItemsOf(const TSvPidlList& gone)
{
    std::set<const Item*> items;
    for (int i = 0; i < gone.Count(); ++i)
        items.insert(static_cast<const Item*>(gone.Objects(i)));
    for (int i = Count() - 1; i >= 0; --i) {
        if (!items.count(items_[static_cast<std::size_t>(i)].get()))
            continue;
        if (OnDeleteItem)
            OnDeleteItem(i, *items_[static_cast<std::size_t>(i)]->data);
        view_.DeleteItem(i);
        items_.erase(items_.begin() + i);
    }
}

void ShellListController::AddItems(std::vector<IdListPtr> added)
{
    for (IdListPtr& relative : added) {
        IdListPtr absolute = ConcatIdLists(folderIdList_.get(), relative.get());
        ULONG attributes = 0;
        if (ShouldAddItem(absolute.get(), *relative, attributes))
            AppendItem(std::move(relative), attributes);
    }
}

void ShellListController::RereadItemTexts(int index)
{
    TSvShListData* data = ItemData(index);
    if (!data)
        return;
    auto texts = [&] {
        return std::vector<std::string>{data->ColumnText(1), data->ColumnText(2), data->ColumnText(3)};
    };
    const std::vector<std::string> before = texts();
    data->Invalidate();
    if (texts() != before)
        view_.UpdateItem(index);
}

// Items -----------------------------------------------------------------------------------------

TSvShListData* ShellListController::ItemData(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return items_[static_cast<std::size_t>(index)]->data.get();
}

std::string ShellListController::ItemText(int index, int column) const
{
    TSvShListData* data = ItemData(index);
    if (!data)
        return {};
    return column == 0 ? data->DisplayName() : data->ColumnText(column);
}

bool ShellListController::ItemHidden(int index) const
{
    return index >= 0 && index < Count() && (items_[static_cast<std::size_t>(index)]->attributes & shell::SFGAO_HIDDEN);
}

int ShellListController::ItemOverlay(int index) const
{
    return index >= 0 && index < Count() ? OverlayOf(items_[static_cast<std::size_t>(index)]->attributes) : -1;
}

std::vector<int> ShellListController::ShellSelection() const
{
    std::vector<int> selected = view_.SelectedIndices();
    std::vector<int> out;
    for (int i : selected)
        if (ItemData(i) && ItemData(i)->RelativeIdList())
            out.push_back(i);
    return out;
}

std::vector<const ItemIdList*> ShellListController::RelativeLists(const std::vector<int>& indexes) const
{
    std::vector<const ItemIdList*> lists;
    for (int i : indexes)
        lists.push_back(ItemData(i)->RelativeIdList());
    return lists;
}

int ShellListController::SelectedShellItemCount() const { return static_cast<int>(ShellSelection().size()); }

DWORD ShellListController::DropEffectsOfSelection()
{
    std::vector<int> selection = ShellSelection();
    if (selection.empty() || !shellFolder_)
        return DROPEFFECT_NONE;
    auto lists = RelativeLists(selection);
    ULONG attributes = shell::SFGAO_CANCOPY | shell::SFGAO_CANMOVE | shell::SFGAO_CANLINK;
    if (HRESULT hr = shellFolder_->GetAttributesOf(lists, &attributes); FAILED(hr))
        RaiseSystemError(hr);
    // The three capability bits are the three effects, bit for bit.
    return attributes & (shell::SFGAO_CANCOPY | shell::SFGAO_CANMOVE | shell::SFGAO_CANLINK);
}

// Columns and order -----------------------------------------------------------------------------

void ShellListController::SaveColumnWidthsIfWanted()
{
    if (saveColumnWidths_ && columnsBuilt_)
        SaveColumnWidths(view_.ColumnWidths(), ColumnWidthCache());
}

void ShellListController::BuildColumns()
{
    SaveColumnWidthsIfWanted();
    // Our folders have no detail columns of their own: every folder gets the file columns.
    columns_ = BuildDefaultColumns(ReadDirectoryCols(ColumnRegistry), SavedDirectoryCols(), ColumnWidthCache());
    view_.SetColumns(columns_);
    columnsBuilt_ = true;
    saveColumnWidths_ = true;
    const int count = static_cast<int>(columns_.size());
    // A sort column the new columns do not have (either direction) goes back to the first.
    if (std::abs(sortColumn_) > count || sortColumn_ == 0)
        SetSortColumn(1);
    else
        SetSortColumn(sortColumn_);
    sortHandled_ = false;
}

void ShellListController::SetSortColumn(int k)
{
    view_.ShowSortMark(std::abs(k) - 1, k >= 0);
    sortHandled_ = true;
    if (k != sortColumn_) {
        sortColumn_ = k;
        SortItems();
    }
}

void ShellListController::ColumnClick(int column)
{
    sortHandled_ = false;
    if (OnColumnClick)
        OnColumnClick(column);
    if (sortHandled_)
        return;
    SetSortColumn(column + 1 == sortColumn_ ? -(column + 1) : column + 1);
}

int ShellListController::CompareItems(const Item& a, const Item& b) const
{
    if (!a.data || !b.data || !a.data->RelativeIdList() || !b.data->RelativeIdList() || !shellFolder_)
        return 0;
    const int column = std::abs(sortColumn_) - 1;
    HRESULT hr = shellFolder_->CompareIDs(column, *a.data->RelativeIdList(), *b.data->RelativeIdList());
    int result = FAILED(hr) ? 0 : shell::ShortFromResult(hr);
    if (result == 0 && column != shell::kColumnName) {
        // Equal by the column: by name, in the same direction, so the order is the same each time.
        hr = shellFolder_->CompareIDs(shell::kColumnName, *a.data->RelativeIdList(), *b.data->RelativeIdList());
        result = FAILED(hr) ? 0 : shell::ShortFromResult(hr);
    }
    return sortColumn_ < 0 ? -result : result;
}

void ShellListController::SortItems()
{
    if (items_.size() < 2 || sortColumn_ == 0)
        return;
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int x, int y) {
        return CompareItems(*items_[static_cast<std::size_t>(x)], *items_[static_cast<std::size_t>(y)]) < 0;
    });
    std::vector<int> newIndexOf(items_.size());
    std::vector<std::unique_ptr<Item>> sorted;
    sorted.reserve(items_.size());
    for (std::size_t pos = 0; pos < order.size(); ++pos) {
        newIndexOf[static_cast<std::size_t>(order[pos])] = static_cast<int>(pos);
        sorted.push_back(std::move(items_[static_cast<std::size_t>(order[pos])]));
    }
    items_ = std::move(sorted);
    view_.ReorderItems(newIndexOf);
}

// Renaming --------------------------------------------------------------------------------------

bool ShellListController::CanEdit(int index) const
{
    TSvShListData* data = ItemData(index);
    return data && !ReadOnly && data->CanRename();
}

bool ShellListController::EndLabelEdit(int index, const std::string& text)
{
    TSvShListData* data = ItemData(index);
    bool renamed = false;
    if (data && data->RelativeIdList() && shellFolder_) {
        Busy busy(view_);
        if (CheckNewName(data->DisplayName(), text) == RenameCheck::Valid) {
            renaming_ = true;
            IdListPtr renamedList;
            std::u16string wide = Utf8ToUtf16(text);
            if (SUCCEEDED(
                    shellFolder_->SetNameOf(*data->RelativeIdList(), wide, shell::SHGDN_INFOLDER, &renamedList)) &&
                renamedList) {
                data->SetRelativeIdList(std::move(renamedList));
                view_.UpdateItem(index);
                renamed = true;
            }
        }
        // Only a rename that happened is followed by a notification to ignore.
        if (!renamed)
            renaming_ = false;
    }
    RunPendingRefresh();
    return renamed;
}

void ShellListController::LabelEditCancelled() { RunPendingRefresh(); }

void ShellListController::RunPendingRefresh()
{
    if (dragging_ || view_.IsEditingLabel())
        return;
    if (refillPending_)
        RefillList();
    else if (refreshPending_)
        RefreshList();
}

// Keys ------------------------------------------------------------------------------------------

bool ShellListController::KeyDown(TShortCut shortcut)
{
    if (view_.IsEditingLabel() || !(options_ & svsloDefaultKeyHandling))
        return false;
    switch (ListKeyDispatch(shortcut)) {
    case ListKeyAction::SelectAll: {
        UpdateBracket update(view_);
        view_.SelectAllItems();
        return true;
    }
    case ListKeyAction::Refill:
        RefillList();
        return true;
    case ListKeyAction::Copy:
        InvokeSelectionVerb("copy");
        return true;
    case ListKeyAction::Cut:
        InvokeSelectionVerb("cut");
        return true;
    case ListKeyAction::Paste:
        InvokeFolderVerb("paste");
        return true;
    case ListKeyAction::Rename:
        if (view_.FocusedIndex() >= 0 && CanEdit(view_.FocusedIndex()))
            view_.EditLabel(view_.FocusedIndex());
        return true;
    case ListKeyAction::Delete:
        InvokeSelectionVerb("delete");
        return true;
    case ListKeyAction::None:
        return false;
    }
    return false;
}

bool ShellListController::KeyChar(int character)
{
    if (view_.IsEditingLabel() || !(options_ & svsloDefaultKeyHandling))
        return false;
    switch (ListCharDispatch(character)) {
    case ListCharAction::FolderUp:
        FolderUp(1);
        return true;
    case ListCharAction::OpenSelection:
        OpenSelection();
        return true;
    case ListCharAction::None:
        return false;
    }
    return false;
}

// Change notification ---------------------------------------------------------------------------

void ShellListController::StartChangeNotify()
{
    view_.StopRefreshTimer();
    if (changeThread_)
        changeThread_->RemoveAllWatches();
    else
        changeThread_ = std::make_unique<TChangeHandlerThread>(view_.ChangePoster(), kChangeNotifyMessage);
    const std::string path = Folder.GetPath();
    int slot = -1;
    if (!path.empty())
        // Names, and files changed in place (their size and time are shown).
        changeThread_->AddWatch(path,
                                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                    FILE_NOTIFY_CHANGE_LAST_WRITE,
                                slot, false);
}

void ShellListController::ChangeNotification()
{
    if (renaming_) {
        renaming_ = false;  // the rename itself, already shown
        return;
    }
    // During a drag the change is remembered and shown when the drag ends.
    view_.StopRefreshTimer();
    view_.StartRefreshTimer(view_.HasFocus() ? kRefreshDelayFocused : kRefreshDelayUnfocused);
}

void ShellListController::RefreshTimerFired()
{
    view_.StopRefreshTimer();
    RefreshList();
}

void ShellListController::FlushPendingRefresh()
{
    if (view_.RefreshTimerRunning())
        RefreshTimerFired();
}

void ShellListController::DeviceChanged(TMessage& message)
{
    if (message.WParam != DBT_DEVICEARRIVAL && message.WParam != DBT_DEVICEREMOVECOMPLETE)
        return;
    RevalidateDrives();
    BeginDriveRefresh();
    try {
        RefreshList();
    } catch (...) {
        EndDriveRefresh();
        throw;
    }
    EndDriveRefresh();
}

}  // namespace ql::shellctl
