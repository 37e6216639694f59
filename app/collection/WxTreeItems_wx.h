#pragma once
// TreeItems in a wxTreeCtrl: each item carries its node's serial (so a deleted node is never
// used), and its icon follows whether it has children and is expanded. Expanding an item gives
// its children their items.
#include "app/collection/TreeItems.h"

#include <wx/treectrl.h>

namespace ql {

class WxTreeItems : private TreeItemControl {
public:
    // The control's image for an item, by whether it has children and is expanded.
    using IconFor = int (*)(bool hasChildren, bool expanded);

    // Gives the control a root item when it has none.
    WxTreeItems(wxTreeCtrl* control, const CollectionTree& tree, IconFor icon);
    ~WxTreeItems() override;
    WxTreeItems(const WxTreeItems&) = delete;
    WxTreeItems& operator=(const WxTreeItems&) = delete;

    TreeItems& Items() { return items_; }
    wxTreeItemId RootItem() const { return root_; }
    // The node's item, made when it has none yet.
    wxTreeItemId ItemOf(const TreeNode* node) { return wxTreeItemId(items_.ItemOf(node)); }
    wxTreeItemId FindItem(const TreeNode* node) const { return wxTreeItemId(items_.FindItem(node)); }
    TreeNode* NodeOf(const wxTreeItemId& item) const;
    // Gives the item the icon its state calls for; only a different icon is set, because every
    // change makes the control measure the item again.
    void UpdateIcon(const wxTreeItemId& item);

private:
    Item Root() override { return root_.GetID(); }
    Item Insert(Item parent, std::size_t index, const TreeNode& node, bool hasChildren) override;
    void SetHasChildren(Item item, bool hasChildren) override;
    void Delete(Item item) override;
    void DeleteAll() override;
    void OnExpanding(wxTreeEvent& event);

    wxTreeCtrl* control_;
    const CollectionTree& tree_;
    IconFor icon_;
    wxTreeItemId root_;
    TreeItems items_;
};

}  // namespace ql
