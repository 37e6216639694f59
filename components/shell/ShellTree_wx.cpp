#include "components/shell/ShellTree_wx.h"

#include <wx/app.h>
#include <wx/log.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "components/shell/ControlLiveness_wx.h"
#include "components/shell/CustomListView_wx.h"
#include "components/shell/DeviceChangeHandler.h"
#include "components/shell/KeyShortcut_wx.h"
#include "components/shell/ShellControlsStartup_wx.h"
#include "components/shell/ShellIcons_wx.h"
#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellScroll_wx.h"
#include "platform/core/ErrorLog.h"
#include "platform/gui/ShellMenu_wx.h"

namespace ql::shellctl {

TSvCustomShellTree::TSvCustomShellTree(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : TSvCustomTreeView(parent, id, pos, size, wxTR_HAS_BUTTONS | wxTR_HIDE_ROOT | wxTR_EDIT_LABELS | wxTR_SINGLE),
      shell_(*this, this)
{
    StartShellControls();  // the desktop's services, device changes and the shortcut texts
    root_ = AddRoot(wxString());
    SetImageList(icons_.List());

    refreshTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Guard([&] { shell_.RefreshTimerFired(); }); });
    Bind(wxEVT_TREE_ITEM_EXPANDING, [this](wxTreeEvent& e) {
        bool allowed = true;
        Guard([&] { allowed = shell_.MayExpand(NodeOf(e.GetItem())); });
        if (!allowed)
            e.Veto();
    });
    Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& e) {
        if (e.GetItem().IsOk() && e.GetItem() != root_)
            Guard([&] { shell_.SelectionChanged(NodeOf(e.GetItem())); });
        e.Skip();  // the view draws the old and the new selection again
    });
    Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, [this](wxTreeEvent& e) {
        bool allowed = false;
        Guard([&] { allowed = shell_.CanEdit(NodeOf(e.GetItem())); });
        if (allowed)
            editing_ = true;
        else
            e.Veto();
    });
    Bind(wxEVT_TREE_END_LABEL_EDIT, [this](wxTreeEvent& e) {
        editing_ = false;
        e.Veto();  // the caption comes from the renamed item
        const TTreeNode node = NodeOf(e.GetItem());
        const std::string text = e.IsEditCancelled() ? std::string() : e.GetLabel().utf8_string();
        // The edit box is still up while this runs: finish once it has gone.
        CallAfter([this, node, text] { Guard([&] { shell_.LabelEdited(node, text); }); });
    });
    auto drag = [this](wxTreeEvent& e, bool right) {
        if (!(shell_.Options & svstoOleDrag))
            return;
        Guard([&] { shell_.BeginDrag(NodeOf(e.GetItem()), right); });
    };
    Bind(wxEVT_TREE_BEGIN_DRAG, [drag](wxTreeEvent& e) { drag(e, false); });
    Bind(wxEVT_TREE_BEGIN_RDRAG, [drag](wxTreeEvent& e) { drag(e, true); });
    Bind(wxEVT_MOUSEWHEEL, &TSvCustomShellTree::OnWheel, this);
    Bind(wxEVT_MENU_HIGHLIGHT, [this](wxMenuEvent& e) {
        if (shell_.OnPopupHint)
            Guard([&] { shell_.OnPopupHint(shell_.MenuHint(e.GetMenuId(), e.GetMenuId() < 0)); });
    });
    DeviceChangeHandler().AddHandler(this, liveness_.WhileAlive([this](TSvDeviceChangeHandler&, TMessage& m) {
        Guard([&] { shell_.DeviceChanged(m); });
    }));

    shell_.WindowCreated();
    // The first fill waits until the creator has set the root and the options.
    CallAfter(liveness_.WhileAlive([this] {
        if (shell_.FillWanted())
            Guard([&] { shell_.FillRequest(); });
    }));
}

TSvCustomShellTree::~TSvCustomShellTree()
{
    DeviceChangeHandler().RemoveHandler(this);
    refreshTimer_.Stop();
    GuardHandler("shell tree", [&] { shell_.WindowDestroying(); });
    liveness_.End();
    DestroyNodes();  // what is left (the hidden root) while the shell's state still exists
    SetImageList(nullptr);
    overlayOf_.clear();
    StopShellControls();
}

template <class F>
void TSvCustomShellTree::Guard(F&& f)
{
    // Nothing of the tree's own raises past a toolkit event.
    GuardHandler("shell tree", std::forward<F>(f), [this](const std::string& text) {
        if (OnError)
            OnError(text);
        else
            wxLogError("%s", wxString::FromUTF8(text));
    });
}

void TSvCustomShellTree::TreeKeyDown(wxKeyEvent& event)
{
    if (editing_) {
        event.Skip();
        return;
    }
    const TShortCut shortcut = ShortCutOf(event);
    bool handled = false;
    if (shortcut)
        Guard([&] { handled = shell_.KeyDown(shortcut); });
    if (!handled)
        event.Skip();
}

void TSvCustomShellTree::OnWheel(wxMouseEvent& event)
{
    // A wheel turned over a neighbouring shell control scrolls that one, even while this tree
    // has the focus: its own wheel step runs with the same turn.
    wxWindow* under = wxFindWindowAtPoint(wxGetMousePosition());
    for (wxWindow* w = under; w && w != this && !w->IsTopLevel(); w = w->GetParent()) {
        wxWindow* target = nullptr;
        if (auto* tree = dynamic_cast<TSvCustomShellTree*>(w))
            target = tree;
        else if (auto* list = dynamic_cast<TSvCustomListView*>(w))
            target = list->RowsWindow();
        if (target) {
            if (event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL)
                ScrollByWheelEvent(target, 1, event);
            return;
        }
    }
    event.Skip();  // over this tree: the toolkit scrolls it
}

void TSvCustomShellTree::FlushPending()
{
    Guard([&] { shell_.FlushPending(); });
}

int TSvCustomShellTree::OnCompareItems(const wxTreeItemId& a, const wxTreeItemId& b)
{
    return compare_ ? (*compare_)(NodeOf(a), NodeOf(b)) : wxTreeCtrl::OnCompareItems(a, b);
}

std::unique_ptr<TSvCustomDraw> TSvCustomShellTree::CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer)
{
    std::unique_ptr<TSvCustomDraw> cd = CreateCustomDraw(record, answer);
    const TTreeNode node = (record.dwDrawStage & CDDS_ITEM) ? reinterpret_cast<TTreeNode>(record.dwItemSpec) : nullptr;
    shell_.DoCustomDrawSh(*cd, node == NodeOf(root_) ? nullptr : node);
    cd->Apply();
    if (record.dwDrawStage & CDDS_PREPAINT)  // prepaint and item prepaint
        answer |= CDRF_NOTIFYITEMDRAW;
    return cd;
}

void TSvCustomShellTree::DoItemContextMenu(const wxTreeItemId& node, wxPoint& pos, wxMenu*& menu)
{
    TSvCustomTreeView::DoItemContextMenu(node, pos, menu);
    int flags = 0;
    const wxTreeItemId hit = HitTest(pos, flags);
    const TTreeNode under = hit.IsOk() && hit != root_ && (flags & wxTREE_HITTEST_ONITEM) ? NodeOf(hit) : nullptr;
    bool taken = false;
    Guard([&] { taken = shell_.NodeContextMenu(under, pos.x, pos.y); });
    if (taken)
        menu = nullptr;
}

// Nodes -----------------------------------------------------------------------------------------

TTreeNode TSvCustomShellTree::AddNode(TTreeNode parent, const std::string& caption)
{
    return NodeOf(AppendItem(Item(parent), wxString::FromUTF8(caption)));
}

void TSvCustomShellTree::NodeDeletion(const wxTreeItemId& item)
{
    if (item == root_)
        return;
    const TTreeNode node = NodeOf(item);
    if (dropHighlight_ == node)
        dropHighlight_ = nullptr;
    overlayOf_.erase(node);
    shell_.NodeDeleted(node);
}

void TSvCustomShellTree::DeleteNode(TTreeNode node) { Delete(ItemOf(node)); }

void TSvCustomShellTree::ClearNodes()
{
    DeleteChildren(root_);
    dropHighlight_ = nullptr;
}

TTreeNode TSvCustomShellTree::ParentNode(TTreeNode node) const
{
    const wxTreeItemId parent = GetItemParent(ItemOf(node));
    return parent.IsOk() && parent != root_ ? NodeOf(parent) : nullptr;
}

TTreeNode TSvCustomShellTree::FirstChild(TTreeNode node) const
{
    wxTreeItemIdValue cookie;
    const wxTreeItemId child = GetFirstChild(Item(node), cookie);
    return child.IsOk() ? NodeOf(child) : nullptr;
}

TTreeNode TSvCustomShellTree::NextSibling(TTreeNode node) const
{
    const wxTreeItemId next = GetNextSibling(ItemOf(node));
    return next.IsOk() ? NodeOf(next) : nullptr;
}

void TSvCustomShellTree::SortChildren(TTreeNode node, const std::function<int(TTreeNode, TTreeNode)>& compare)
{
    compare_ = &compare;
    wxTreeCtrl::SortChildren(Item(node));
    compare_ = nullptr;
}

std::string TSvCustomShellTree::Caption(TTreeNode node) const { return GetItemText(ItemOf(node)).utf8_string(); }

void TSvCustomShellTree::SetCaption(TTreeNode node, const std::string& caption)
{
    SetItemText(ItemOf(node), wxString::FromUTF8(caption));
}

bool TSvCustomShellTree::HasChildrenFlag(TTreeNode node) const { return ItemHasChildren(ItemOf(node)); }

void TSvCustomShellTree::SetHasChildren(TTreeNode node, bool value) { SetItemHasChildren(ItemOf(node), value); }

void TSvCustomShellTree::SetLook(TTreeNode node, int overlay, bool ghosted)
{
    if (overlay >= 0)
        overlayOf_[node] = overlay;
    if (ghosted)
        SetItemTextColour(ItemOf(node), wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
}

void TSvCustomShellTree::SetIcons(TTreeNode node, const ItemIdList* absolute)
{
    const ItemIdList desktop;
    const ItemIdList* list = absolute ? absolute : &desktop;
    auto found = overlayOf_.find(node);
    const int overlay = found == overlayOf_.end() ? -1 : found->second;
    const int closed = icons_.ImageFor(GetIconIndex(list, shell::SHGFI_SMALLICON), overlay);
    const int open = icons_.ImageFor(GetIconIndex(list, shell::SHGFI_SMALLICON | shell::SHGFI_OPENICON), overlay);
    SetItemImage(ItemOf(node), closed, wxTreeItemIcon_Normal);
    SetItemImage(ItemOf(node), open, wxTreeItemIcon_Selected);
    SetItemImage(ItemOf(node), open, wxTreeItemIcon_Expanded);
}

void TSvCustomShellTree::Expand(TTreeNode node)
{
    if (node)
        wxTreeCtrl::Expand(ItemOf(node));
}

bool TSvCustomShellTree::IsExpanded(TTreeNode node) const { return wxTreeCtrl::IsExpanded(ItemOf(node)); }

void TSvCustomShellTree::Select(TTreeNode node)
{
    if (node)
        SelectItem(ItemOf(node));
    else
        Unselect();
}

TTreeNode TSvCustomShellTree::Selected() const
{
    const wxTreeItemId item = GetSelection();
    return item.IsOk() && item != root_ ? NodeOf(item) : nullptr;
}

void TSvCustomShellTree::MakeVisible(TTreeNode node)
{
    if (node)
        EnsureVisible(ItemOf(node));
}

void TSvCustomShellTree::BeginUpdate() { updates_.Begin(); }

void TSvCustomShellTree::EndUpdate() { updates_.End(); }

void TSvCustomShellTree::EditLabel(TTreeNode node)
{
    SetFocus();
    wxTreeCtrl::EditLabel(ItemOf(node));
}

bool TSvCustomShellTree::HasFocus() const { return FocusWithin(*this); }

void TSvCustomShellTree::SetBusy(bool busy) { busy_.Set(busy); }

void TSvCustomShellTree::Beep() { wxBell(); }

TChangeHandlerThread::Poster TSvCustomShellTree::ChangePoster()
{
    return GuiThreadPoster(liveness_, [this] { Guard([&] { shell_.ChangeNotification(); }); });
}

int TSvCustomShellTree::TrackMenu(const shell::PopupMenu& menu, int x, int y)
{
    return shell::TrackShellPopupMenu(this, menu, wxPoint(x, y));
}

// Drag and drop ---------------------------------------------------------------------------------

TTreeNode TSvCustomShellTree::NodeAtScreen(com::POINTL pt) const
{
    int flags = 0;
    const wxTreeItemId item = HitTest(ScreenToClient(wxPoint(pt.x, pt.y)), flags);
    return item.IsOk() && item != root_ && (flags & wxTREE_HITTEST_ONITEM) ? NodeOf(item) : nullptr;
}

void TSvCustomShellTree::SetDropHighlight(TTreeNode node)
{
    if (node == dropHighlight_)
        return;
    if (dropHighlight_)
        SetItemDropHighlight(ItemOf(dropHighlight_), false);
    dropHighlight_ = node;
    if (node)
        SetItemDropHighlight(ItemOf(node), true);
}

}  // namespace ql::shellctl
