#pragma once
// Everything the shell tree decides, apart from the toolkit: the top node for the root folder,
// filling a node when it is expanded, walking down to a folder, refreshing the expanded part by
// a sorted merge, following changes of the filled folders and of the volumes, renames, the
// shell's menus and verbs, shortcuts, and dragging nodes out and dropping onto them. The
// control turns its events into calls of this class and shows the nodes through ShellTreeView.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "components/shell/ChangeHandlerThread.h"
#include "components/shell/CommandShortcuts.h"
#include "components/shell/CustomDraw.h"
#include "components/shell/CustomTreeViewMenus.h"
#include "components/shell/DeviceChangeHandler.h"
#include "components/shell/ShellDragFormats.h"
#include "components/shell/ShellDragPort.h"
#include "components/shell/ShellListDataObject.h"
#include "components/shell/ShellLocator.h"
#include "components/shell/ShellNodeData.h"
#include "platform/core/shell/PopupMenu.h"

namespace ql::shellctl {

// A node of the view (TTreeNode); nullptr is none and, as a parent, the top level.

// What the tree needs of its window.
class ShellTreeView {
public:
    virtual ~ShellTreeView() = default;

    // Nodes. Deleting a node or clearing the view calls the tree's NodeDeleted for every node
    // that goes, children first.
    virtual TTreeNode AddNode(TTreeNode parent, const std::string& caption) = 0;  // as the last child
    virtual void DeleteNode(TTreeNode node) = 0;
    virtual void ClearNodes() = 0;
    virtual TTreeNode ParentNode(TTreeNode node) const = 0;
    virtual TTreeNode FirstChild(TTreeNode node) const = 0;  // of the top level for nullptr
    virtual TTreeNode NextSibling(TTreeNode node) const = 0;
    virtual void SortChildren(TTreeNode node, const std::function<int(TTreeNode, TTreeNode)>& compare) = 0;
    virtual std::string Caption(TTreeNode node) const = 0;
    virtual void SetCaption(TTreeNode node, const std::string& caption) = 0;
    virtual bool HasChildrenFlag(TTreeNode node) const = 0;  // the expand button
    virtual void SetHasChildren(TTreeNode node, bool value) = 0;
    // overlay: -1 none, 0 shared, 1 link; ghosted items are drawn dimmed.
    virtual void SetLook(TTreeNode node, int overlay, bool ghosted) = 0;
    // The node's icons, once its item is known (the top node's list may be empty: the desktop).
    virtual void SetIcons(TTreeNode, const ItemIdList*) {}
    // Expands the node; the view asks the tree's MayExpand first.
    virtual void Expand(TTreeNode node) = 0;
    virtual bool IsExpanded(TTreeNode node) const = 0;
    // Selecting a node calls the tree's SelectionChanged.
    virtual void Select(TTreeNode node) = 0;
    virtual TTreeNode Selected() const = 0;
    virtual void MakeVisible(TTreeNode node) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;

    virtual bool IsEditingLabel() const = 0;
    virtual void EditLabel(TTreeNode node) = 0;
    virtual bool HasFocus() const = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void Beep() = 0;
    virtual void StartRefreshTimer(int milliseconds) = 0;
    virtual void StopRefreshTimer() = 0;
    virtual bool RefreshTimerRunning() const = 0;
    // Posts a change notification to the tree from the watching thread.
    virtual TChangeHandlerThread::Poster ChangePoster() = 0;
    // Shows the menu at a client point; the chosen identifier, 0 when cancelled.
    virtual int TrackMenu(const shell::PopupMenu& menu, int x, int y) = 0;

    // Drag and drop; points are screen coordinates.
    virtual TTreeNode NodeAtScreen(com::POINTL pt) const = 0;
    virtual TTreeNode DropHighlight() const = 0;
    virtual void SetDropHighlight(TTreeNode node) = 0;  // nullptr: none
    virtual ShellDragPort& DragPort() = 0;
};

enum TSvShellTreeOption : std::uint16_t {
    svstoAutoFill = 1 << 0,
    svstoNonFilesystemAncestors = 1 << 1,
    svstoDesignInteractive = 1 << 2,
    svstoDefaultKeyHandling = 1 << 3,
    svstoContextMenus = 1 << 4,
    svstoDynamicRefresh = 1 << 5,
    svstoShowNonFolders = 1 << 6,
    svstoOleDrag = 1 << 7,
    svstoOleDrop = 1 << 8,
    svstoShowHidden = 1 << 9,
};
using TSvShellTreeOptions = std::uint16_t;
inline constexpr TSvShellTreeOptions kDefaultShellTreeOptions = 0x03BB;

// Attributes asked of each item that becomes a node.
inline constexpr ULONG kAddItemRequest = 0xF20B0000;

// A rename hands the shell at most this many UTF-16 units, with these name flags.
inline constexpr std::size_t kRenameMaxChars = 260;
inline constexpr com::DWORD kRenameNameFlags = 0x20;
// The custom-draw stage at which OnCustomDrawSh is raised (item pre-paint).
inline constexpr int kItemPrePaintStage = 4;

// Identifiers of the context menu: 1-49 Send To entries, from 50 the shell's commands.
inline constexpr unsigned kTreeShellRenameId = 50 + 18;

// The data object of one tree node: the payloads a drag out of the shell list carries
// ("Shell IDList Array", the file list, the text with CR LF), for the node's item alone.
struct TDataObject_shtv {
    // Nil for a node without a parent folder (the top node is never dragged).
    static com::ComPtr<com::IDataObject> Create(TSvShTreeData* node);
};

class ShellTreeController;

// The tree's drop target: hands every call to the tree.
class TDropTarget_shtv : public com::ComObject<com::IDropTarget> {
public:
    explicit TDropTarget_shtv(ShellTreeController& tree) : tree_(&tree) {}
    void Detach() { tree_ = nullptr; }  // the tree is going: later calls do nothing
    com::HRESULT DragEnter(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;
    com::HRESULT DragOver(com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;
    com::HRESULT DragLeave() override;
    com::HRESULT Drop(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;

private:
    ShellTreeController* tree_;
};

class TSvCustomShellTree;

class ShellTreeController {
public:
    // `owner` is the control the nodes' data names as their tree (nil in tests).
    explicit ShellTreeController(ShellTreeView& view, TSvCustomShellTree* owner = nullptr);
    ~ShellTreeController();
    ShellTreeController(const ShellTreeController&) = delete;
    ShellTreeController& operator=(const ShellTreeController&) = delete;

    TSvShellLocator RootFolder;      // empty: the desktop
    TSvShellLocator SelectedFolder;  // the selected node's folder
    TSvShellTreeOptions Options = kDefaultShellTreeOptions;
    bool ReadOnly = false;

    // Events, raised when set.
    std::function<bool(IShellFolder* folder, const ItemIdList* parentAbsolute, const ItemIdList& relative,
                       ULONG attributes)>
        OnAddItem;  // false keeps the item out
    std::function<void(TTreeNode node, TSvShTreeData& data)> OnDeleteItem;
    std::function<void(TTreeNode node)> OnNodeAdded;
    std::function<void()> OnFillStart, OnFillComplete, OnChange;
    std::function<void(TTreeNode node, std::string& text)> OnEdited;
    // Drawing of a node: Ex at every stage, the other at the item pre-paint stage only.
    std::function<void(TSvCustomDraw&cd, TTreeNode node, TSvShTreeData*data)> OnCustomDrawSh, OnCustomDrawShEx;
    void DoCustomDrawSh(TSvCustomDraw& cd, TTreeNode node);

    // Window life.
    void WindowCreated();     // registers the drop target; true from FillWanted afterwards
    void WindowDestroying();  // clears the nodes, stops watching, revokes the drop target
    bool FillWanted() const { return (Options & svstoAutoFill) && !view_.FirstChild(nullptr); }
    void FillRequest();  // the posted first fill: fills when there are no nodes

    void FillTree();
    void RefreshTree();
    void SelectIdList(const ItemIdList* target);
    void FlushPending();

    TSvShTreeData* NodeData(TTreeNode node) const;
    bool IsShellNode(TTreeNode node) const { return NodeData(node) != nullptr; }
    TTreeNode FirstShellNode() const;
    TTreeNode FindChildNode(TTreeNode node, const ItemIdList& relative) const;
    void SortChildren(TTreeNode node);
    TTreeNode LastAddedNode() const { return lastAdded_; }

    // View events.
    bool MayExpand(TTreeNode node);  // fills the node the first time
    void SelectionChanged(TTreeNode node);
    void NodeDeleted(TTreeNode node);
    void RefreshTimerFired();
    void ChangeNotification();
    void DeviceChanged(TMessage& message);

    // Commands.
    bool CanEdit(TTreeNode node);
    // The in-place edit ended with `text`; a cancelled edit (empty text) renames nothing.
    void LabelEdited(TTreeNode node, std::string text);
    com::HRESULT InvokeVerb(TTreeNode node, const std::string& verb);
    void ShowShellContextMenu(TTreeNode node, int x, int y);
    // A context request for the node under a client point (nullptr: none): with the shell's
    // menus on and no drag running, that node's shell menu. True when the request was taken
    // (the control's own menu is then not shown).
    bool NodeContextMenu(TTreeNode nodeUnderPoint, int x, int y);
    void SendToEntry(TTreeNode node, int index);
    // While a shell menu is up: the help text of the highlighted command for OnPopupHint.
    std::string MenuHint(int id, bool popupOrSystemItem) const;
    std::function<void(const std::string& hint)> OnPopupHint;
    // True when the key was one of the tree's shortcuts.
    bool KeyDown(TShortCut shortcut);
    com::DWORD NodeDropEffects(TTreeNode node);

    // Drags.
    void BeginDrag(TTreeNode node, bool rightButton);
    TTreeNode DragNode() const { return dragNode_; }
    bool Dragging() const { return dragging_; }
    bool RefreshPending() const { return refreshPending_ || view_.RefreshTimerRunning(); }
    bool RenameEcho() const { return renameEcho_; }
    com::HRESULT DragEnter(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect);
    com::HRESULT DragOver(com::DWORD keyState, com::POINTL pt, com::DWORD* effect);
    com::HRESULT DragLeave();
    com::HRESULT Drop(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect);

    // The folders watched for changes, one per filled folder.
    const std::set<std::string>& WatchedFolders() const { return watched_; }
    TChangeHandlerThread* ChangeThread() const { return changeThread_.get(); }

private:
    using Lock = TScopedDepth;

    void FillNode(IShellFolder* folder, TTreeNode node);
    com::HRESULT AddShellItem(IShellFolder* folder, const ItemIdList& item, TTreeNode parent,
                              const ItemIdList* parentAbsolute, TTreeNode* made);
    bool AcceptItem(IShellFolder* folder, const ItemIdList* parentAbsolute, ULONG attributes, const ItemIdList& item);
    std::string RootCaption(const ItemIdList* list);
    void RefreshNode(TTreeNode node, TTreeNode& selected);
    void DeleteSubtree(TTreeNode node);
    void WatchFolder(TTreeNode node, TSvShTreeData& data);
    void StartOleDrag(bool rightButton);
    com::DWORD EnumFlags() const;
    bool IsBelow(TTreeNode node, TTreeNode ancestor) const;
    // The shell's drop target of the node's item; nil when it cannot be had.
    com::ComPtr<com::IDropTarget> NodeDropTarget(TTreeNode node);

    ShellTreeView& view_;
    TSvCustomShellTree* owner_;
    std::unordered_map<TTreeNode, std::unique_ptr<TSvShTreeData>> data_;
    int selectionLock_ = 0;
    bool renameEcho_ = false;
    bool dragging_ = false;
    bool refreshPending_ = false;
    bool refreshTag_ = false;  // the refresh timer runs for a refresh
    TTreeNode dragNode_ = nullptr;
    TTreeNode lastAdded_ = nullptr;
    TDragAutoScroll autoScroll_;
    com::ComPtr<shell::IContextMenu> activeMenu_;  // only while TrackMenu runs
    com::ComPtr<com::IDataObject> dragData_;
    com::ComPtr<com::IDataObject> enteredData_;
    com::DWORD enteredKeyState_ = 0;
    com::ComPtr<TDropTarget_shtv> dropTarget_;
    std::unique_ptr<TChangeHandlerThread> changeThread_;
    std::set<std::string> watched_;
    std::unordered_map<TTreeNode, std::string> watchedOf_;
};

}  // namespace ql::shellctl
