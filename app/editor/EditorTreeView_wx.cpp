#include "app/editor/EditorTreeView_wx.h"

#include "app/editor/TreeOperations.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>

namespace ql {

namespace {

class NodeData : public wxTreeItemData {
public:
    explicit NodeData(std::uint64_t serial) : serial(serial) {}
    std::uint64_t serial;
};

// Where each icon of the tree sits in the control's image list.
struct IconSlot {
    TreeIcon icon;
    const char* art;
};
constexpr IconSlot kIconSlots[] = {
    {kIconExpanded, "wxART_FOLDER_OPEN"},
    {kIconCollapsed, "wxART_FOLDER"},
    {kIconLeaf, "wxART_NORMAL_FILE"},
};

int SlotOf(TreeIcon icon)
{
    for (int i = 0; i < int(std::size(kIconSlots)); ++i)
        if (kIconSlots[i].icon == icon)
            return i;
    return -1;
}

}  // namespace

class EditorTreeView::QuietScope {
public:
    explicit QuietScope(EditorTreeView& view) : view_(view) { ++view_.quiet_; }
    ~QuietScope() { --view_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    EditorTreeView& view_;
};

unsigned TreeHitFromWx(int flags, bool belowIsNowhere)
{
    unsigned hit = 0;
    if (flags & (wxTREE_HITTEST_NOWHERE | (belowIsNowhere ? wxTREE_HITTEST_BELOW : 0)))
        hit |= kHitNowhere;
    if (flags & wxTREE_HITTEST_ONITEMICON)
        hit |= kHitOnIcon;
    if (flags & wxTREE_HITTEST_ONITEMLABEL)
        hit |= kHitOnLabel;
    if (flags & wxTREE_HITTEST_ONITEMINDENT)
        hit |= kHitOnIndent;
    if (flags & wxTREE_HITTEST_ONITEMBUTTON)
        hit |= kHitOnButton;
    if (flags & wxTREE_HITTEST_ONITEMRIGHT)
        hit |= kHitOnRight;
    return hit;
}

wxImageList* EditorTreeView::MakeImageList()
{
    auto* list = new wxImageList(16, 16, true);
    for (const IconSlot& slot : kIconSlots)
        list->Add(wxArtProvider::GetBitmap(slot.art, wxART_OTHER, wxSize(16, 16)));
    return list;
}

EditorTreeView::EditorTreeView(wxTreeCtrl* tv, CollectionTree& model) : tv_(tv), model_(model)
{
    QuietScope quiet(*this);
    root_ = tv_->AddRoot("");
    model_.SetObserver(this);
    TreeReset();
}

EditorTreeView::~EditorTreeView() { model_.SetObserver(nullptr); }

wxTreeItemId EditorTreeView::ItemOf(const TreeNode* node) const
{
    if (!node)
        return {};
    auto it = items_.find(node->Serial());
    return it == items_.end() ? wxTreeItemId() : it->second;
}

TreeNode* EditorTreeView::NodeOf(const wxTreeItemId& item) const
{
    if (!item.IsOk() || item == root_)
        return nullptr;
    auto* data = static_cast<NodeData*>(tv_->GetItemData(item));
    return data ? model_.Find(data->serial) : nullptr;
}

TreeNode* EditorTreeView::HitTest(const wxPoint& point, unsigned* hit) const
{
    int flags = 0;
    wxTreeItemId item = tv_->HitTest(point, flags);
    if (hit)
        *hit = TreeHitFromWx(flags);
    return NodeOf(item);
}

void EditorTreeView::UpdateIcon(const wxTreeItemId& item)
{
    if (!item.IsOk() || item == root_)
        return;
    const int slot = SlotOf(NodeIcon(tv_->GetChildrenCount(item, false) > 0, tv_->IsExpanded(item)));
    tv_->SetItemImage(item, slot, wxTreeItemIcon_Normal);
    tv_->SetItemImage(item, slot, wxTreeItemIcon_Selected);
}

void EditorTreeView::AddSubtree(TreeNode& node)
{
    TreeNode* parent = node.Parent();
    wxTreeItemId parentItem = parent ? ItemOf(parent) : root_;
    if (!parentItem.IsOk())
        return;
    wxTreeItemId item = tv_->InsertItem(parentItem, node.IndexInParent(), wxString::FromUTF8(node.Text()), -1, -1,
                                        new NodeData(node.Serial()));
    items_[node.Serial()] = item;
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        AddSubtree(*node.Child(i));
    UpdateIcon(item);
    UpdateIcon(parentItem);
}

void EditorTreeView::ForgetSubtree(const wxTreeItemId& item)
{
    if (auto* data = static_cast<NodeData*>(tv_->GetItemData(item)))
        items_.erase(data->serial);
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tv_->GetFirstChild(item, cookie); c.IsOk(); c = tv_->GetNextChild(item, cookie))
        ForgetSubtree(c);
}

void EditorTreeView::RemoveItem(const wxTreeItemId& item)
{
    wxTreeItemId parent = tv_->GetItemParent(item);
    ForgetSubtree(item);
    tv_->Delete(item);
    UpdateIcon(parent);
}

void EditorTreeView::TreeReset()
{
    QuietScope quiet(*this);
    tv_->DeleteChildren(root_);
    items_.clear();
    for (std::size_t i = 0; i < model_.TopLevelCount(); ++i)
        AddSubtree(*model_.TopLevel(i));
    if (wxTreeItemId sel = ItemOf(model_.Selected()); sel.IsOk())
        tv_->SelectItem(sel);
}

void EditorTreeView::NodeAdded(TreeNode& node)
{
    QuietScope quiet(*this);
    AddSubtree(node);
}

void EditorTreeView::NodeRemoving(TreeNode& node)
{
    QuietScope quiet(*this);
    if (wxTreeItemId item = ItemOf(&node); item.IsOk())
        RemoveItem(item);
}

void EditorTreeView::NodeMoved(TreeNode& node)
{
    QuietScope quiet(*this);
    if (wxTreeItemId item = ItemOf(&node); item.IsOk())
        RemoveItem(item);
    AddSubtree(node);
    if (model_.Selected() && (model_.Selected() == &node || node.IsAncestorOf(model_.Selected())))
        tv_->SelectItem(ItemOf(model_.Selected()));
}

void EditorTreeView::NodeTextChanged(TreeNode& node)
{
    if (wxTreeItemId item = ItemOf(&node); item.IsOk())
        tv_->SetItemText(item, wxString::FromUTF8(node.Text()));
}

void EditorTreeView::SelectionChanged(TreeNode* node)
{
    QuietScope quiet(*this);
    wxTreeItemId item = ItemOf(node);
    if (item.IsOk()) {
        if (tv_->GetSelection() != item)
            tv_->SelectItem(item);
        tv_->EnsureVisible(item);
    } else {
        tv_->UnselectAll();
    }
}

void EditorTreeView::ExpandAll(bool expand)
{
    tv_->Freeze();
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tv_->GetFirstChild(root_, cookie); c.IsOk(); c = tv_->GetNextChild(root_, cookie)) {
        if (expand)
            tv_->ExpandAllChildren(c);
        else
            tv_->CollapseAllChildren(c);
    }
    tv_->Thaw();
}

void EditorTreeView::ExpandSubtree(const TreeNode* node, bool expand)
{
    wxTreeItemId item = ItemOf(node);
    if (!item.IsOk())
        return;
    if (expand)
        tv_->ExpandAllChildren(item);
    else
        tv_->CollapseAllChildren(item);
}

}  // namespace ql
