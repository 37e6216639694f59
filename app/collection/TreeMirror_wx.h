#pragma once
// A wxTreeCtrl that shows a CollectionTree and follows its changes; the zone's tree and the
// Save homepage dialog's tree. A node's children get their items when it is first expanded,
// or when one of them is asked for (ItemOf): the zone copies a big collection at every drag.
#include "app/collection/CollectionTree.h"
#include "app/collection/WxTreeItems_wx.h"

#include <wx/treectrl.h>

namespace ql {

class TreeMirror {
public:
    TreeMirror(CollectionTree& tree, wxTreeCtrl* control);
    TreeMirror(const TreeMirror&) = delete;
    TreeMirror& operator=(const TreeMirror&) = delete;

    TreeNode* NodeOf(const wxTreeItemId& item) const { return items_.NodeOf(item); }
    // The node's item, made when it has none yet.
    wxTreeItemId ItemOf(const TreeNode* node) { return items_.ItemOf(node); }
    // The control's selection made the tree's (the user clicked).
    void SelectionFromControl();

private:
    CollectionTree& tree_;
    wxTreeCtrl* control_;
    WxTreeItems items_;
};

// Folder images for nodes with children (closed, open) and a page image for the others.
void SetCollectionTreeImages(wxTreeCtrl* control);

}  // namespace ql
