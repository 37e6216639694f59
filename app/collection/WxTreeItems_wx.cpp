#include "app/collection/WxTreeItems_wx.h"

namespace ql {

namespace {

class NodeData : public wxTreeItemData {
public:
    explicit NodeData(std::uint64_t serial) : serial(serial) {}
    std::uint64_t serial;
};

}  // namespace

WxTreeItems::WxTreeItems(wxTreeCtrl* control, const CollectionTree& tree, IconFor icon)
    : control_(control), tree_(tree), icon_(icon), items_(tree, *this)
{
    root_ = control_->GetRootItem();
    if (!root_.IsOk())
        root_ = control_->AddRoot("");
    control_->Bind(wxEVT_TREE_ITEM_EXPANDING, &WxTreeItems::OnExpanding, this);
}

WxTreeItems::~WxTreeItems() { control_->Unbind(wxEVT_TREE_ITEM_EXPANDING, &WxTreeItems::OnExpanding, this); }

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
    if (node && !items_.Expanding(*node)) {
        event.Veto();  // nothing to show after all; the button is gone
        return;
    }
    event.Skip();
}

}  // namespace ql
