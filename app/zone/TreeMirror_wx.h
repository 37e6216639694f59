#pragma once
// A wxTreeCtrl that shows a CollectionTree and follows its changes; the zone's tree and the
// Save homepage dialog's tree. A node's children get their items when it is first expanded,
// or when one of them is asked for (ItemOf): the zone copies a big collection at every drag.
#include "app/collection/CollectionTree.h"
#include "app/collection/WxTreeItems_wx.h"

#include <wx/treectrl.h>

namespace ql {

class TreeMirror : public TreeObserver {
public:
    TreeMirror(CollectionTree& tree, wxTreeCtrl* control);
    ~TreeMirror() override;
    TreeMirror(const TreeMirror&) = delete;
    TreeMirror& operator=(const TreeMirror&) = delete;

    TreeNode* NodeOf(const wxTreeItemId& item) const;
    // The node's item, made when it has none yet.
    wxTreeItemId ItemOf(const TreeNode* node);
    // The control's selection made the tree's (the user clicked).
    void SelectionFromControl();

    void TreeReset() override;
    void NodeAdded(TreeNode& node) override;
    void NodeRemoving(TreeNode& node) override;
    void NodeMoving(TreeNode& node) override;
    void NodeMoved(TreeNode& node) override;
    void NodeTextChanged(TreeNode& node) override;
    void SelectionChanged(TreeNode* node) override;

private:
    class Syncing;

    CollectionTree& tree_;
    wxTreeCtrl* control_;
    WxTreeItems items_;
    bool syncing_ = false;
};

// Folder images for nodes with children (closed, open) and a page image for the others.
void SetCollectionTreeImages(wxTreeCtrl* control);

}  // namespace ql
