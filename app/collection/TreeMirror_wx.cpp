#include "app/collection/TreeMirror_wx.h"

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
}

void TreeMirror::SelectionFromControl()
{
    if (!items_.Quiet())
        tree_.Select(NodeOf(control_->GetSelection()));
}

}  // namespace ql
