#include "app/zone/TreeMirror_wx.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>

namespace ql {

namespace {

enum TreeImage { kImageClosed = 0, kImageOpen = 1, kImagePage = 3 };

class NodeData : public wxTreeItemData {
public:
    explicit NodeData(std::uint64_t serial) : Serial(serial) {}
    std::uint64_t Serial;
};

}  // namespace

void SetCollectionTreeImages(wxTreeCtrl* control)
{
    const wxSize size(16, 16);
    auto* images = new wxImageList(size.x, size.y, true, 4);
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_OTHER, size));
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER_OPEN, wxART_OTHER, size));
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_OTHER, size));
    images->Add(wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_OTHER, size));
    control->AssignImageList(images);
    auto update = [control](wxTreeEvent& e) {
        e.Skip();
        wxTreeItemId item = e.GetItem();
        if (item.IsOk() && control->ItemHasChildren(item)) {
            int image = e.GetEventType() == wxEVT_TREE_ITEM_EXPANDED ? kImageOpen : kImageClosed;
            control->SetItemImage(item, image);
            control->SetItemImage(item, image, wxTreeItemIcon_Selected);
        }
    };
    control->Bind(wxEVT_TREE_ITEM_EXPANDED, update);
    control->Bind(wxEVT_TREE_ITEM_COLLAPSED, update);
}

TreeMirror::TreeMirror(CollectionTree& tree, wxTreeCtrl* control) : tree_(tree), control_(control)
{
    tree_.SetObserver(this);
    TreeReset();
}

TreeMirror::~TreeMirror() { tree_.SetObserver(nullptr); }

TreeNode* TreeMirror::NodeOf(const wxTreeItemId& item) const
{
    if (!item.IsOk() || item == root_)
        return nullptr;
    auto* data = static_cast<NodeData*>(control_->GetItemData(item));
    return data ? tree_.Find(data->Serial) : nullptr;
}

wxTreeItemId TreeMirror::ItemOf(const TreeNode* node) const
{
    if (!node)
        return {};
    auto it = items_.find(node->Serial());
    return it == items_.end() ? wxTreeItemId() : it->second;
}

void TreeMirror::UpdateImages(const wxTreeItemId& item)
{
    if (!item.IsOk() || item == root_)
        return;
    int image = control_->ItemHasChildren(item) ? (control_->IsExpanded(item) ? kImageOpen : kImageClosed) : kImagePage;
    control_->SetItemImage(item, image);
    control_->SetItemImage(item, image, wxTreeItemIcon_Selected);
}

void TreeMirror::AddItem(TreeNode& node)
{
    wxTreeItemId parent = node.Parent() ? ItemOf(node.Parent()) : root_;
    if (!parent.IsOk())
        return;
    const std::size_t index = node.IndexInParent();
    wxTreeItemId item = control_->InsertItem(parent, index, wxString::FromUTF8(node.Text()), kImagePage, kImagePage,
                                             new NodeData(node.Serial()));
    items_[node.Serial()] = item;
    UpdateImages(parent);
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        AddItem(*node.Child(i));
}

void TreeMirror::TreeReset()
{
    syncing_ = true;
    control_->DeleteAllItems();
    items_.clear();
    root_ = control_->AddRoot("");
    for (std::size_t i = 0; i < tree_.TopLevelCount(); ++i)
        AddItem(*tree_.TopLevel(i));
    if (TreeNode* selected = tree_.Selected())
        control_->SelectItem(ItemOf(selected));
    syncing_ = false;
}

void TreeMirror::NodeAdded(TreeNode& node)
{
    syncing_ = true;
    AddItem(node);
    syncing_ = false;
}

void TreeMirror::Forget(TreeNode& node)
{
    items_.erase(node.Serial());
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        Forget(*node.Child(i));
}

void TreeMirror::NodeRemoving(TreeNode& node)
{
    wxTreeItemId item = ItemOf(&node);
    Forget(node);
    if (item.IsOk()) {
        syncing_ = true;
        wxTreeItemId parent = control_->GetItemParent(item);
        control_->Delete(item);
        UpdateImages(parent);
        syncing_ = false;
    }
}

void TreeMirror::NodeTextChanged(TreeNode& node)
{
    if (wxTreeItemId item = ItemOf(&node); item.IsOk())
        control_->SetItemText(item, wxString::FromUTF8(node.Text()));
}

void TreeMirror::SelectionChanged(TreeNode* node)
{
    syncing_ = true;
    if (wxTreeItemId item = ItemOf(node); item.IsOk()) {
        control_->SelectItem(item);
        control_->EnsureVisible(item);
    } else {
        control_->UnselectAll();
    }
    syncing_ = false;
}

void TreeMirror::SelectionFromControl()
{
    if (!syncing_)
        tree_.Select(NodeOf(control_->GetSelection()));
}

}  // namespace ql
