#include "components/shell/ShellTreeController.h"

#include <vector>

#include "components/shell/IdListContainers.h"
#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellListController.h"
#include "platform/core/TextEncoding.h"

namespace ql::shellctl {

using namespace com;

namespace {

struct Busy {
    ShellTreeView& view;
    explicit Busy(ShellTreeView& v) : view(v) { view.SetBusy(true); }
    ~Busy() { view.SetBusy(false); }
};

struct UpdateBracket {
    ShellTreeView& view;
    explicit UpdateBracket(ShellTreeView& v) : view(v) { view.BeginUpdate(); }
    ~UpdateBracket() { view.EndUpdate(); }
};

// The low 16 bits of a comparison result, read as a signed number.
int CompareResult(HRESULT hr) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(hr) & 0xFFFF); }

}  // namespace

ComPtr<IDataObject> TDataObject_shtv::Create(TSvShTreeData* node)
{
    if (!node || !node->ParentData() || !node->RelativeIdList())
        return {};
    IShellFolder* parent = node->ParentShellFolder();
    if (!parent)
        return {};
    ShellDragItems items;
    items.folder = node->ParentData()->AbsoluteIdList();
    items.items.push_back(node->RelativeIdList());
    items.parsingNames.push_back(GetDisplayName(parent, *node->RelativeIdList(), svdnForParsing));
    return TDataObject_shlv::Create(items);
}

HRESULT TDropTarget_shtv::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    return tree_ ? tree_->DragEnter(data, keyState, pt, effect) : E_UNEXPECTED;
}

HRESULT TDropTarget_shtv::DragOver(DWORD keyState, POINTL pt, DWORD* effect)
{
    return tree_ ? tree_->DragOver(keyState, pt, effect) : E_UNEXPECTED;
}

HRESULT TDropTarget_shtv::DragLeave() { return tree_ ? tree_->DragLeave() : S_OK; }

HRESULT TDropTarget_shtv::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    return tree_ ? tree_->Drop(data, keyState, pt, effect) : E_UNEXPECTED;
}

ShellTreeController::ShellTreeController(ShellTreeView& view, TSvCustomShellTree* owner) : view_(view), owner_(owner)
{
    RootFolder.OnLocatorChange = [this](TSvShellLocator&) {
        SelectedFolder.ClearFolder();
        if (Options & svstoAutoFill)
            FillTree();
    };
    // The tree's own updates run under the selection lock, so only changes from outside move
    // the selection.
    SelectedFolder.OnLocatorChange = [this](TSvShellLocator& locator) {
        if (view_.FirstChild(nullptr))
            SelectIdList(locator.GetIdList());
    };
}

ShellTreeController::~ShellTreeController()
{
    if (dropTarget_)
        dropTarget_->Detach();
    changeThread_.reset();
}

void ShellTreeController::WindowCreated()
{
    if ((Options & svstoOleDrop) && !dropTarget_) {
        dropTarget_ = ComPtr<TDropTarget_shtv>::Adopt(new TDropTarget_shtv(*this));
        view_.DragPort().RegisterDropTarget(dropTarget_.get());
    }
}

void ShellTreeController::WindowDestroying()
{
    {
        Lock lock(selectionLock_);
        UpdateBracket update(view_);
        view_.Select(nullptr);
        view_.ClearNodes();
    }
    if (dropTarget_) {
        view_.DragPort().RevokeDropTarget();
        dropTarget_->Detach();
        dropTarget_.reset();
    }
    changeThread_.reset();
    watched_.clear();
    watchedOf_.clear();
}

void ShellTreeController::FillRequest()
{
    if (!view_.FirstChild(nullptr))
        FillTree();
}

TSvShTreeData* ShellTreeController::NodeData(TTreeNode node) const
{
    if (!node)
        return nullptr;
    auto it = data_.find(node);
    return it == data_.end() ? nullptr : it->second.get();
}

TTreeNode ShellTreeController::FirstShellNode() const
{
    for (TTreeNode n = view_.FirstChild(nullptr); n; n = view_.NextSibling(n))
        if (IsShellNode(n))
            return n;
    return nullptr;
}

TTreeNode ShellTreeController::FindChildNode(TTreeNode node, const ItemIdList& relative) const
{
    if (!node)
        return FirstShellNode();
    for (TTreeNode child = view_.FirstChild(node); child; child = view_.NextSibling(child)) {
        TSvShTreeData* data = NodeData(child);
        if (!data || !data->RelativeIdList())
            continue;
        IShellFolder* folder = data->ParentShellFolder();
        if (!folder)
            continue;
        const HRESULT hr = folder->CompareIDs(0, *data->RelativeIdList(), relative);
        if (SUCCEEDED(hr) && CompareResult(hr) == 0)
            return child;
    }
    return nullptr;
}

void ShellTreeController::SortChildren(TTreeNode node)
{
    view_.SortChildren(node, [this](TTreeNode a, TTreeNode b) {
        TSvShTreeData* da = NodeData(a);
        TSvShTreeData* db = NodeData(b);
        if (!da || !db || !da->RelativeIdList() || !db->RelativeIdList())
            return 0;
        IShellFolder* folder = da->ParentShellFolder();
        if (!folder)
            return 0;
        const HRESULT hr = folder->CompareIDs(0, *da->RelativeIdList(), *db->RelativeIdList());
        return SUCCEEDED(hr) ? CompareResult(hr) : 0;
    });
}

DWORD ShellTreeController::EnumFlags() const
{
    DWORD flags = shell::SHCONTF_FOLDERS;
    if (Options & svstoShowNonFolders)
        flags |= shell::SHCONTF_NONFOLDERS;
    if (Options & svstoShowHidden)
        flags |= shell::SHCONTF_INCLUDEHIDDEN;
    return flags;
}

bool ShellTreeController::AcceptItem(IShellFolder* folder, const ItemIdList* parentAbsolute, ULONG attributes,
                                     const ItemIdList& item)
{
    return !OnAddItem || OnAddItem(folder, parentAbsolute, item, attributes);
}

std::string ShellTreeController::RootCaption(const ItemIdList* list)
{
    ComPtr<IShellFolder> desktop;
    if (FAILED(shell::SHGetDesktopFolder(desktop.put())))
        return {};
    if (list && list->ItemCount() > 1) {
        const auto parent = list->Ancestor(1);
        ComPtr<IShellFolder> folder;
        const HRESULT hr = parent ? desktop->BindToObject(*parent, IShellFolder::IID_, folder.putVoid()) : E_FAIL;
        if (FAILED(hr))
            RaiseSystemError(hr);
        return GetDisplayName(folder.get(), list->LastItem(), svdnInFolder);
    }
    return GetDisplayName(desktop.get(), list ? *list : ItemIdList(), svdnInFolder);
}

void ShellTreeController::FillTree()
{
    if (dragging_ || view_.IsEditingLabel()) {
        refreshPending_ = true;
        return;
    }
    Busy busy(view_);
    {
        Lock lock(selectionLock_);
        UpdateBracket update(view_);
        view_.Select(nullptr);
        view_.ClearNodes();
    }
    // Every filled folder is watched on its own; the watches start again with the new nodes.
    if (Options & svstoDynamicRefresh) {
        if (changeThread_)
            changeThread_->RemoveAllWatches();
        watched_.clear();
        watchedOf_.clear();
    }
    ComPtr<IShellFolder> root;
    const ItemIdList* rootList = RootFolder.GetIdList();
    const HRESULT hr = rootList ? GetShellFolder(rootList, root) : shell::SHGetDesktopFolder(root.put());
    if (FAILED(hr))
        RaiseSystemError(hr);
    {
        UpdateBracket update(view_);
        FillNode(root.get(), nullptr);
    }
    if (const ItemIdList* selected = SelectedFolder.GetIdList())
        SelectIdList(selected);
    else
        view_.Select(view_.FirstChild(nullptr));
    FlushPending();
}

void ShellTreeController::FillNode(IShellFolder* folder, TTreeNode node)
{
    struct Events {
        ShellTreeController& self;
        explicit Events(ShellTreeController& t) : self(t)
        {
            if (self.OnFillStart)
                self.OnFillStart();
        }
        ~Events()
        {
            if (self.OnFillComplete)
                self.OnFillComplete();
        }
    } events(*this);
    if (!folder)
        return;

    IdListPtr parentAbsolute;
    const bool top = !node;
    if (top) {
        const ItemIdList* rootList = RootFolder.GetIdList();
        IdListPtr list = CopyIdList(rootList);
        node = view_.AddNode(nullptr, RootCaption(rootList));
        auto data = std::make_unique<TSvShTreeData>(owner_);
        data->Init(nullptr, list.get());
        data->SetShellFolder(ComPtr<IShellFolder>(folder));
        data_[node] = std::move(data);
        view_.SetIcons(node, NodeData(node)->AbsoluteIdList());
        view_.SetHasChildren(node, true);
        lastAdded_ = node;
        if (OnNodeAdded)
            OnNodeAdded(node);
        parentAbsolute = std::move(list);
    } else {
        TSvShTreeData* data = NodeData(node);
        if (!data)
            return;
        parentAbsolute = CopyIdList(data->AbsoluteIdList());
    }

    ComPtr<shell::IEnumIDList> items;
    if (FAILED(folder->EnumObjects(EnumFlags(), items.put())) || !items) {
        view_.SetHasChildren(node, true);  // a drive without a medium keeps its button
        return;
    }
    for (;;) {
        IdListPtr item;
        ULONG fetched = 0;
        const HRESULT hr = items->Next(1, &item, &fetched);
        if (hr != S_OK || !item) {
            if (hr == S_FALSE || hr == E_FAIL || (hr == S_OK && !item))
                break;
            RaiseSystemError(hr);
        }
        if (const HRESULT added = AddShellItem(folder, *item, node, parentAbsolute.get(), nullptr); FAILED(added))
            RaiseSystemError(added);
    }
    if (!view_.FirstChild(node))
        view_.SetHasChildren(node, false);
    SortChildren(node);
    if (top)
        view_.Expand(node);
    if (TSvShTreeData* data = NodeData(node))
        WatchFolder(node, *data);
}

HRESULT ShellTreeController::AddShellItem(IShellFolder* folder, const ItemIdList& item, TTreeNode parent,
                                          const ItemIdList* parentAbsolute, TTreeNode* made)
{
    if (made)
        *made = nullptr;
    ULONG attributes = kAddItemRequest;
    const ItemIdList* items[] = {&item};
    if (const HRESULT hr = folder->GetAttributesOf(items, &attributes); FAILED(hr))
        return hr;
    const bool candidate = (Options & svstoNonFilesystemAncestors) ||
                           (attributes & (shell::SFGAO_FILESYSTEM | shell::SFGAO_FILESYSANCESTOR));
    if (!candidate || !AcceptItem(folder, parentAbsolute, attributes, item))
        return S_OK;

    const TTreeNode node = view_.AddNode(parent, GetFolderDisplayName(folder, item, shell::SHGDN_INFOLDER));
    const ULONG both = shell::SFGAO_FOLDER | shell::SFGAO_HASSUBFOLDER;
    view_.SetHasChildren(node,
                         (Options & svstoShowNonFolders) ? (attributes & both) != 0 : (attributes & both) == both);
    view_.SetLook(node, OverlayOf(attributes), (attributes & shell::SFGAO_GHOSTED) != 0);
    auto data = std::make_unique<TSvShTreeData>(owner_);
    data->Init(NodeData(parent), &item);
    data_[node] = std::move(data);
    view_.SetIcons(node, NodeData(node)->AbsoluteIdList());
    lastAdded_ = node;
    if (OnNodeAdded)
        OnNodeAdded(node);
    if (made)
        *made = node;
    return S_OK;
}

void ShellTreeController::WatchFolder(TTreeNode node, TSvShTreeData& data)
{
    if (!(Options & svstoDynamicRefresh))
        return;
    const std::string path = data.Path();
    if (path.empty() || watched_.count(path))
        return;
    if (!changeThread_)
        changeThread_ = std::make_unique<TChangeHandlerThread>(view_.ChangePoster(), kChangeNotifyMessage);
    const std::uint32_t filter = FILE_NOTIFY_CHANGE_DIR_NAME |
                                 ((Options & svstoShowNonFolders) ? FILE_NOTIFY_CHANGE_FILE_NAME : 0);
    int slot = -1;
    if (changeThread_->AddWatch(path, filter, slot, false)) {
        watched_.insert(path);
        watchedOf_[node] = path;
    }
}

bool ShellTreeController::IsBelow(TTreeNode node, TTreeNode ancestor) const
{
    for (TTreeNode n = node; n; n = view_.ParentNode(n))
        if (n == ancestor)
            return true;
    return false;
}

void ShellTreeController::SelectIdList(const ItemIdList* target)
{
    if (selectionLock_ > 0)
        return;
    const ItemIdList* rootList = RootFolder.GetIdList();
    const int rootCount = rootList ? static_cast<int>(rootList->ItemCount()) : 0;
    UpdateBracket update(view_);
    const TTreeNode top = FirstShellNode();
    if (!target || target->IsEmpty()) {
        if (top)
            view_.Select(top);
        return;
    }
    if (!top)
        return;
    const int targetCount = static_cast<int>(target->ItemCount());
    // Only a folder below the root can be reached from the top node; any other is answered
    // with the root and a beep rather than with a node of the same name below the root.
    bool insideRoot = targetCount >= rootCount;
    if (insideRoot && rootCount > 0) {
        const auto head = target->Ancestor(static_cast<std::size_t>(targetCount - rootCount));
        insideRoot = head && CompareIdLists(head ? &*head : nullptr, rootList) == 0;
    }
    if (!insideRoot) {
        view_.Beep();
        view_.Select(top);
        view_.MakeVisible(top);
        return;
    }
    if (rootCount >= targetCount) {
        view_.Select(top);
        view_.Expand(top);
        return;
    }
    TTreeNode node = top;
    TTreeNode last = nullptr;
    view_.Expand(node);
    for (int i = rootCount; i < targetCount; ++i) {
        const auto id = target->Item(static_cast<std::size_t>(i));
        if (!id)
            break;
        TTreeNode child = FindChildNode(node, *id);
        if (!child) {
            TSvShTreeData* data = NodeData(node);
            IShellFolder* folder = data ? data->ShellFolder() : nullptr;
            const HRESULT hr = folder ? AddShellItem(folder, *id, node, data->AbsoluteIdList(), &child) : E_FAIL;
            if (FAILED(hr) || !child) {
                view_.Beep();
                break;
            }
        }
        if (i < targetCount - 1)
            view_.Expand(child);
        node = child;
        last = child;
    }
    const TTreeNode chosen = last ? last : node;
    view_.Select(chosen);
    view_.MakeVisible(chosen);
}

void ShellTreeController::FlushPending()
{
    if (view_.RefreshTimerRunning())
        RefreshTimerFired();
}

void ShellTreeController::RefreshTree()
{
    if (dragging_ || view_.IsEditingLabel()) {
        refreshPending_ = true;
        return;
    }
    if (!view_.FirstChild(nullptr)) {
        FillTree();
        return;
    }
    Busy busy(view_);
    struct Events {
        ShellTreeController& self;
        ~Events()
        {
            if (self.OnFillComplete)
                self.OnFillComplete();
        }
    } events{*this};
    if (OnFillStart)
        OnFillStart();
    TTreeNode selected = view_.Selected();
    {
        UpdateBracket update(view_);
        Lock lock(selectionLock_);
        view_.Select(nullptr);
        RefreshNode(view_.FirstChild(nullptr), selected);
    }
    view_.Select(selected);
}

void ShellTreeController::RefreshNode(TTreeNode node, TTreeNode& selected)
{
    if (!view_.FirstChild(node) && node != selected)
        return;
    TSvShTreeData* data = NodeData(node);
    IShellFolder* folder = data ? data->ShellFolder() : nullptr;
    if (!folder)
        return;

    // Old: what the node shows; New: what the folder holds now.
    TSvPidlList old;
    old.Duplicates = pdAccept;
    if (data->Path().empty())
        old.ShellFolder = folder;  // virtual folders order by the folder, file-system ones by bytes
    for (TTreeNode child = view_.FirstChild(node); child; child = view_.NextSibling(child))
        if (TSvShTreeData* childData = NodeData(child); childData && childData->RelativeIdList())
            old.AddObject(childData->RelativeIdList(), child);
    old.SetSorted(true);

    TSvPidlList now;
    now.Duplicates = pdAccept;
    ComPtr<shell::IEnumIDList> items;
    if (SUCCEEDED(folder->EnumObjects(EnumFlags(), items.put())) && items) {
        for (;;) {
            IdListPtr item;
            ULONG fetched = 0;
            if (items->Next(1, &item, &fetched) != S_OK || !item)
                break;
            now.AddOwned(std::move(item));
        }
    }

    for (int j = now.Count() - 1; j >= 0; --j) {
        const int k = old.IndexOf(now.Pidls(j));
        if (k >= 0) {
            now.Delete(j);
            old.Delete(k);
        }
    }
    for (int j = old.Count() - 1; j >= 0; --j) {
        const TTreeNode gone = old.Objects(j);
        if (IsBelow(selected, gone))
            selected = view_.ParentNode(gone);
        view_.DeleteNode(gone);
    }
    bool added = false;
    for (int j = 0; j < now.Count(); ++j) {
        TTreeNode made = nullptr;
        if (SUCCEEDED(AddShellItem(folder, *now.Pidls(j), node, data->AbsoluteIdList(), &made)) && made)
            added = true;
    }
    if (added)
        SortChildren(node);
    else if (!view_.FirstChild(node))
        view_.SetHasChildren(node, false);
    for (TTreeNode child = view_.FirstChild(node); child; child = view_.NextSibling(child))
        RefreshNode(child, selected);
}

void ShellTreeController::DoCustomDrawSh(TSvCustomDraw& cd, TTreeNode node)
{
    if (OnCustomDrawShEx)
        OnCustomDrawShEx(cd, node, NodeData(node));
    if (OnCustomDrawSh && cd.DrawStage() == kItemPrePaintStage)
        OnCustomDrawSh(cd, node, NodeData(node));
}

bool ShellTreeController::MayExpand(TTreeNode node)
{
    if (!view_.FirstChild(node) && view_.HasChildrenFlag(node)) {
        if (TSvShTreeData* data = NodeData(node)) {
            Busy busy(view_);
            FillNode(data->ShellFolder(), node);
        }
    }
    return true;
}

void ShellTreeController::SelectionChanged(TTreeNode node)
{
    if (selectionLock_ == 0 && OnChange)
        OnChange();
    if (TSvShTreeData* data = NodeData(node)) {
        Lock lock(selectionLock_);
        SelectedFolder.SetIdList(data->AbsoluteIdList());
    }
}

void ShellTreeController::NodeDeleted(TTreeNode node)
{
    // The drag's own node may go while its drag or a later one runs: never highlight it again.
    if (node == dragNode_)
        dragNode_ = nullptr;
    if (node == lastAdded_)
        lastAdded_ = nullptr;
    if (auto it = watchedOf_.find(node); it != watchedOf_.end()) {
        watched_.erase(it->second);
        watchedOf_.erase(it);
    }
    auto it = data_.find(node);
    if (it == data_.end())
        return;
    std::unique_ptr<TSvShTreeData> data = std::move(it->second);
    data_.erase(it);
    if (OnDeleteItem)
        OnDeleteItem(node, *data);
}

void ShellTreeController::RefreshTimerFired()
{
    view_.StopRefreshTimer();
    if (refreshTag_) {
        refreshTag_ = false;
        RefreshTree();
    }
}

void ShellTreeController::ChangeNotification()
{
    if (renameEcho_ || dragging_) {
        renameEcho_ = false;
        return;
    }
    view_.StopRefreshTimer();
    refreshTag_ = true;
    view_.StartRefreshTimer(view_.HasFocus() ? kRefreshDelayFocused : kRefreshDelayUnfocused);
}

void ShellTreeController::DeviceChanged(TMessage& message)
{
    if (message.WParam != DBT_DEVICEARRIVAL && message.WParam != DBT_DEVICEREMOVECOMPLETE)
        return;
    RevalidateDrives();
    BeginDriveRefresh();
    struct End {
        ~End() { EndDriveRefresh(); }
    } end;
    RefreshTree();
}

bool ShellTreeController::CanEdit(TTreeNode node)
{
    if (ReadOnly)
        return false;
    TSvShTreeData* data = NodeData(node);
    return !data || data->CanRename();
}

void ShellTreeController::LabelEdited(TTreeNode node, std::string text)
{
    TSvShTreeData* data = NodeData(node);
    if (!text.empty() && data && data->RelativeIdList() && data->ParentData()) {
        if (OnEdited)
            OnEdited(node, text);
        Busy busy(view_);
        // The change notification this rename causes is ours; it is not followed.
        renameEcho_ = true;
        Lock lock(selectionLock_);
        bool renamed = false;
        IShellFolder* folder = data->ParentShellFolder();
        if (folder && CheckNewName(view_.Caption(node), text) == RenameCheck::Valid) {
            std::u16string wide = Utf8ToUtf16(text);
            if (wide.size() > kRenameMaxChars)
                wide.resize(kRenameMaxChars);
            IdListPtr renamedList;
            if (SUCCEEDED(folder->SetNameOf(*data->RelativeIdList(), wide, kRenameNameFlags, &renamedList)) &&
                renamedList) {
                // Every node below keeps the old name in its cached lists.
                std::vector<TTreeNode> stack{view_.FirstChild(node)};
                while (!stack.empty()) {
                    TTreeNode n = stack.back();
                    stack.pop_back();
                    for (; n; n = view_.NextSibling(n)) {
                        if (TSvShTreeData* d = NodeData(n))
                            d->ForgetCache();
                        if (TTreeNode c = view_.FirstChild(n))
                            stack.push_back(c);
                    }
                }
                data->SetRelativeIdList(*renamedList);
                view_.SetCaption(node, GetFolderDisplayName(folder, *renamedList, shell::SHGDN_INFOLDER));
                SelectedFolder.SetIdList(data->AbsoluteIdList());
                renamed = true;
            }
        }
        // No rename, no notification of ours: the next one is somebody else's.
        if (!renamed)
            renameEcho_ = false;
    }
    // Refreshes asked for while the edit ran are run now, after a cancelled edit too.
    const bool pending = refreshPending_;
    refreshPending_ = false;
    if (pending)
        RefreshTree();
}

HRESULT ShellTreeController::InvokeVerb(TTreeNode node, const std::string& verb)
{
    TSvShTreeData* data = NodeData(node);
    if (!data || !data->ParentData() || !data->RelativeIdList())
        return S_FALSE;
    IShellFolder* folder = data->ParentShellFolder();
    ComPtr<shell::IContextMenu> menu;
    const ItemIdList* items[] = {data->RelativeIdList()};
    const HRESULT got = folder ? folder->GetUIObjectOf(items, shell::IContextMenu::IID_, menu.putVoid()) : E_FAIL;
    if (FAILED(got) || !menu)
        RaiseSystemError(FAILED(got) ? got : E_FAIL);
    const HRESULT hr = InvokeContextMenuVerb(menu.get(), verb);
    RefreshTree();
    return hr;
}

bool ShellTreeController::NodeContextMenu(TTreeNode nodeUnderPoint, int x, int y)
{
    if (!(Options & svstoContextMenus) || dragging_ || !nodeUnderPoint)
        return false;
    ShowShellContextMenu(nodeUnderPoint, x, y);
    return true;
}

void ShellTreeController::ShowShellContextMenu(TTreeNode node, int x, int y)
{
    TSvShTreeData* data = NodeData(node);
    if (!data || !data->ParentData() || !data->AbsoluteIdList() || data->AbsoluteIdList()->IsEmpty())
        return;
    IShellFolder* folder = data->ParentShellFolder();
    if (!folder)
        return;
    shell::PopupMenu menu;
    ComPtr<shell::IContextMenu> contextMenu;
    const ItemIdList* items[] = {data->RelativeIdList()};
    const unsigned flags = shell::CMF_EXPLORE | (ReadOnly ? 0 : shell::CMF_CANRENAME);
    if (FAILED(CreateItemContextMenu(folder, items, contextMenu, menu, kFirstShellCommand, flags)) || !contextMenu)
        return;
    FillSendToSubmenu(menu);
    const int chosen = TrackWhileActive(activeMenu_, contextMenu, [&] { return view_.TrackMenu(menu, x, y); });
    if (chosen == static_cast<int>(kTreeShellRenameId)) {
        if (CanEdit(node))
            view_.EditLabel(node);
    } else if (chosen >= static_cast<int>(kFirstShellCommand)) {
        InvokeContextMenuVerb(contextMenu.get(), static_cast<unsigned>(chosen) - kFirstShellCommand);
        RefreshTree();
    } else if (chosen >= 1) {
        SendToEntry(node, chosen - 1);
    }
}

std::string ShellTreeController::MenuHint(int id, bool popupOrSystemItem) const
{
    return MenuSelectHint(activeMenu_.get(), id, popupOrSystemItem);
}

void ShellTreeController::SendToEntry(TTreeNode node, int index)
{
    const std::vector<shellctl::SendToEntry>& entries = SendToList();
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return;
    if (ComPtr<IDataObject> data = TDataObject_shtv::Create(NodeData(node)))
        SendToItem(entries[static_cast<std::size_t>(index)], data.get());
}

bool ShellTreeController::KeyDown(TShortCut shortcut)
{
    if (view_.IsEditingLabel() || !(Options & svstoDefaultKeyHandling) || !shortcut)
        return false;
    EnsureCommandShortcuts();
    const auto& table = CommandShortcuts();
    auto is = [&](ShellCommand command, TShortCut code) {
        const CommandShortcut& entry = table[static_cast<std::size_t>(command)];
        return entry.code != 0 && entry.code == code;
    };
    const TTreeNode node = view_.Selected();
    auto verb = [&](const char* name) {
        if (node)
            InvokeVerb(node, name);
        return true;
    };
    // In this order; Delete also with Shift (Select All is not the tree's).
    if (is(ShellCommand::Rename, shortcut)) {
        if (node && CanEdit(node))
            view_.EditLabel(node);
        return true;
    }
    if (is(ShellCommand::Refresh, shortcut)) {
        RefreshTree();
        return true;
    }
    if (is(ShellCommand::Cut, shortcut))
        return verb("cut");
    if (is(ShellCommand::Copy, shortcut))
        return verb("copy");
    if (is(ShellCommand::Paste, shortcut))
        return verb("paste");
    if (is(ShellCommand::Delete, shortcut) || is(ShellCommand::Delete, static_cast<TShortCut>(shortcut & ~scShift)))
        return verb("delete");
    return false;
}

}  // namespace ql::shellctl
