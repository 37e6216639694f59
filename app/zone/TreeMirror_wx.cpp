#include "app/zone/TreeMirror_wx.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>

namespace ql {

namespace {

enum TreeImage { kImageClosed = 0, kImageOpen = 1, kImagePage = 3 };

int ImageFor(bool hasChildren, bool expanded)
{
    return hasChildren ? (expanded ? kImageOpen : kImageClosed) : kImagePage;
}

}  // namespace

// While the mirror itself changes the control, the control's selection is not the user's.
class TreeMirror::Syncing {
public:
    explicit Syncing(TreeMirror& mirror) : mirror_(mirror), was_(mirror.syncing_) { mirror_.syncing_ = true; }
    ~Syncing() { mirror_.syncing_ = was_; }
    Syncing(const Syncing&) = delete;
    Syncing& operator=(const Syncing&) = delete;

private:
    TreeMirror& mirror_;
    bool was_;
};

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

TreeMirror::TreeMirror(CollectionTree& tree, wxTreeCtrl* control)
    : tree_(tree), control_(control), items_(control, tree, ImageFor)
{
    tree_.SetObserver(this);
    TreeReset();
}

TreeMirror::~TreeMirror() { tree_.SetObserver(nullptr); }

TreeNode* TreeMirror::NodeOf(const wxTreeItemId& item) const { return items_.NodeOf(item); }

wxTreeItemId TreeMirror::ItemOf(const TreeNode* node)
{
    Syncing syncing(*this);
    return items_.ItemOf(node);
}

void TreeMirror::TreeReset()
{
    Syncing syncing(*this);
    items_.Items().Reset();
    if (TreeNode* selected = tree_.Selected())
        control_->SelectItem(items_.ItemOf(selected));
}

void TreeMirror::NodeAdded(TreeNode& node)
{
    Syncing syncing(*this);
    items_.Items().Added(node);
}

void TreeMirror::NodeRemoving(TreeNode& node)
{
    Syncing syncing(*this);
    items_.Items().Removing(node);
}

void TreeMirror::NodeMoving(TreeNode& node)
{
    Syncing syncing(*this);
    items_.Items().Removing(node);
}

void TreeMirror::NodeMoved(TreeNode& node)
{
    Syncing syncing(*this);
    items_.Items().Moved(node);
    if (TreeNode* selected = tree_.Selected(); selected && (selected == &node || node.IsAncestorOf(selected)))
        control_->SelectItem(items_.ItemOf(selected));
}

void TreeMirror::NodeTextChanged(TreeNode& node)
{
    if (wxTreeItemId item = items_.FindItem(&node); item.IsOk())
        control_->SetItemText(item, wxString::FromUTF8(node.Text()));
}

void TreeMirror::SelectionChanged(TreeNode* node)
{
    Syncing syncing(*this);
    if (wxTreeItemId item = items_.ItemOf(node); item.IsOk()) {
        control_->SelectItem(item);
        control_->EnsureVisible(item);
    } else {
        control_->UnselectAll();
    }
}

void TreeMirror::SelectionFromControl()
{
    if (!syncing_)
        tree_.Select(NodeOf(control_->GetSelection()));
}

}  // namespace ql
