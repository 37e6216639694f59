#pragma once
// A wxTreeCtrl that shows a CollectionTree and follows its changes; the zone's tree and the
// Save homepage dialog's tree.
#include "app/collection/CollectionTree.h"

#include <wx/treectrl.h>

#include <unordered_map>

namespace ql {

class TreeMirror : public TreeObserver {
public:
    TreeMirror(CollectionTree& tree, wxTreeCtrl* control);
    ~TreeMirror() override;
    TreeMirror(const TreeMirror&) = delete;
    TreeMirror& operator=(const TreeMirror&) = delete;

    TreeNode* NodeOf(const wxTreeItemId& item) const;
    wxTreeItemId ItemOf(const TreeNode* node) const;
    // The control's selection made the tree's (the user clicked).
    void SelectionFromControl();

    void TreeReset() override;
    void NodeAdded(TreeNode& node) override;
    void NodeRemoving(TreeNode& node) override;
    void NodeMoved(TreeNode&) override { TreeReset(); }
    void NodeTextChanged(TreeNode& node) override;
    void SelectionChanged(TreeNode* node) override;

private:
    void AddItem(TreeNode& node);
    void Forget(TreeNode& node);
    void UpdateImages(const wxTreeItemId& item);

    CollectionTree& tree_;
    wxTreeCtrl* control_;
    wxTreeItemId root_;
    std::unordered_map<std::uint64_t, wxTreeItemId> items_;
    bool syncing_ = false;
};

// Folder images for nodes with children (closed, open) and a page image for the others.
void SetCollectionTreeImages(wxTreeCtrl* control);

}  // namespace ql
