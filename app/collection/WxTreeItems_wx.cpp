#include "app/collection/WxTreeItems_wx.h"

namespace ql {

namespace {

class NodeData : public wxTreeItemData {
public:
    explicit NodeData(std::uint64_t serial) : serial(serial) {}
    std::uint64_t serial;
};

}  // namespace

class WxTreeItems::QuietScope {
public:
    explicit QuietScope(WxTreeItems& items) : items_(items) { ++items_.quiet_; }
    ~QuietScope() { --items_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    WxTreeItems& items_;
};

WxTreeItems::WxTreeItems(wxTreeCtrl* control, CollectionTree& tree, IconFor icon)
    : control_(control), tree_(tree), icon_(icon), items_(tree, *this)
{
    QuietScope quiet(*this);
    root_ = control_->GetRootItem();
    if (!root_.IsOk())
        root_ = control_->AddRoot("");
    control_->Bind(wxEVT_TREE_ITEM_EXPANDING, &WxTreeItems::OnExpanding, this);
    tree_.SetObserver(this);
    TreeReset();
}

WxTreeItems::~WxTreeItems()
{
    tree_.SetObserver(nullptr);
    control_->Unbind(wxEVT_TREE_ITEM_EXPANDING, &WxTreeItems::OnExpanding, this);
}

wxTreeItemId WxTreeItems::ItemOf(const TreeNode* node)
{
    QuietScope quiet(*this);
    return wxTreeItemId(items_.ItemOf(node));
}

TreeNode* WxTreeItems::NodeOf(const wxTreeItemId& item) const
{
    if (!item.IsOk() || item == root_)
        return nullptr;
    auto* data = static_cast<NodeData*>(control_->GetItemData(item));
    return data ? tree_.Find(data->serial) : nullptr;
}

void WxTreeItems::UpdateIcon(const wxTreeItemId& item)
{
    if (!item.IsOk() || item == root_)
        return;
    const int image = icon_(control_->ItemHasChildren(item), control_->IsExpanded(item));
    for (wxTreeItemIcon which : {wxTreeItemIcon_Normal, wxTreeItemIcon_Selected})
        if (control_->GetItemImage(item, which) != image)
            control_->SetItemImage(item, image, which);
}

void WxTreeItems::TreeReset()
{
    QuietScope quiet(*this);
    items_.Reset();
    if (wxTreeItemId selected = ItemOf(tree_.Selected()); selected.IsOk())
        control_->SelectItem(selected);
}

void WxTreeItems::NodeAdded(TreeNode& node)
{
    QuietScope quiet(*this);
    items_.Added(node);
}

void WxTreeItems::NodeRemoving(TreeNode& node)
{
    QuietScope quiet(*this);
    items_.Removing(node);
}

void WxTreeItems::NodeMoving(TreeNode& node) { NodeRemoving(node); }

void WxTreeItems::NodeMoved(TreeNode& node)
{
    QuietScope quiet(*this);
    items_.Moved(node);
    if (TreeNode* selected = tree_.Selected(); selected && (selected == &node || node.IsAncestorOf(selected)))
        control_->SelectItem(ItemOf(selected));
}

void WxTreeItems::NodeTextChanged(TreeNode& node)
{
    if (wxTreeItemId item(items_.FindItem(&node)); item.IsOk())
        control_->SetItemText(item, wxString::FromUTF8(node.Text()));
}

void WxTreeItems::SelectionChanged(TreeNode* node)
{
    QuietScope quiet(*this);
    if (wxTreeItemId item = ItemOf(node); item.IsOk()) {
        if (control_->GetSelection() != item)
            control_->SelectItem(item);
        control_->EnsureVisible(item);
    } else {
        control_->UnselectAll();
    }
}

TreeItemControl::Item WxTreeItems::Insert(Item parent, std::size_t index, const TreeNode& node, bool hasChildren)
{
    const wxTreeItemId parentItem(parent);
    const int image = icon_(hasChildren, false);
    const wxTreeItemId item = control_->InsertItem(parentItem, index, wxString::FromUTF8(node.Text()), image, image,
                                                   new NodeData(node.Serial()));
    if (hasChildren)
        control_->SetItemHasChildren(item, true);
    UpdateIcon(parentItem);
    return item.GetID();
}

void WxTreeItems::SetHasChildren(Item item, bool hasChildren)
{
    control_->SetItemHasChildren(wxTreeItemId(item), hasChildren);
    UpdateIcon(wxTreeItemId(item));
}

void WxTreeItems::Delete(Item item)
{
    const wxTreeItemId parent = control_->GetItemParent(wxTreeItemId(item));
    control_->Delete(wxTreeItemId(item));
    // The control keeps an expand button it was told of after the last child went.
    if (parent.IsOk() && parent != root_ && control_->GetChildrenCount(parent, false) == 0)
        control_->SetItemHasChildren(parent, false);
    UpdateIcon(parent);
}

void WxTreeItems::DeleteAll() { control_->DeleteChildren(root_); }

void WxTreeItems::OnExpanding(wxTreeEvent& event)
{
    const TreeNode* node = NodeOf(event.GetItem());
    QuietScope quiet(*this);
    if (node && !items_.Expanding(*node)) {
        event.Veto();  // nothing to show after all; the button is gone
        return;
    }
    event.Skip();
}

}  // namespace ql
