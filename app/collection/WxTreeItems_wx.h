#pragma once
// A wxTreeCtrl that mirrors a CollectionTree through TreeItems: every change of the tree shows
// at once, each item carries its node's serial (so a deleted node is never used), and its icon
// follows whether it has children and is expanded. A node's children get their items when it is
// first expanded, or when one of them is asked for (ItemOf). The editor's tree, the zone's tree
// and the Save homepage dialog's tree are each one of these.
#include "app/collection/TreeItems.h"

#include <wx/treectrl.h>

namespace ql {

class WxTreeItems : public TreeObserver, private TreeItemControl {
public:
    // The control's image for an item, by whether it has children and is expanded.
    using IconFor = int (*)(bool hasChildren, bool expanded);

    // Observes `tree` from now on and fills the control, giving it a root item when it has none.
    WxTreeItems(wxTreeCtrl* control, CollectionTree& tree, IconFor icon);
    ~WxTreeItems() override;
    WxTreeItems(const WxTreeItems&) = delete;
    WxTreeItems& operator=(const WxTreeItems&) = delete;

    wxTreeItemId RootItem() const { return root_; }
    // The node's item, made when it has none yet.
    wxTreeItemId ItemOf(const TreeNode* node);
    TreeNode* NodeOf(const wxTreeItemId& item) const;
    // Gives the item the icon its state calls for; only a different icon is set, because every
    // change makes the control measure the item again.
    void UpdateIcon(const wxTreeItemId& item);
    // True while the mirror itself changes the control: its selection events are not the user's.
    bool Quiet() const { return quiet_ > 0; }

    void TreeReset() override;
    void NodeAdded(TreeNode& node) override;
    void NodeRemoving(TreeNode& node) override;
    void NodeMoving(TreeNode& node) override;
    void NodeMoved(TreeNode& node) override;
    void NodeTextChanged(TreeNode& node) override;
    void SelectionChanged(TreeNode* node) override;

private:
    class QuietScope;
    Item Root() override { return root_.GetID(); }
    Item Insert(Item parent, std::size_t index, const TreeNode& node, bool hasChildren) override;
    void SetHasChildren(Item item, bool hasChildren) override;
    void Delete(Item item) override;
    void DeleteAll() override;
    void OnExpanding(wxTreeEvent& event);

    wxTreeCtrl* control_;
    CollectionTree& tree_;
    IconFor icon_;
    wxTreeItemId root_;
    TreeItems items_;
    int quiet_ = 0;
};

}  // namespace ql
