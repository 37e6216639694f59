#pragma once
// The items a tree control shows for a CollectionTree, made as they are needed: the top level
// at once, a node's children when the node is first expanded (its expand button shows
// meanwhile), and the items on the way to a node that something asks for (to select, highlight,
// expand or rename it). A big collection so fills its control at the cost of its top level,
// and everything that walks the control by node still finds every node.
#include "app/collection/CollectionTree.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace ql {

// The control, as TreeItems drives it. Items are the control's own handles.
class TreeItemControl {
public:
    using Item = void*;
    virtual ~TreeItemControl() = default;
    virtual Item Root() = 0;
    // A new item for `node` at `index` among the items below `parent`. With `hasChildren` it
    // shows an expand button before its children have items. The parent's look follows.
    virtual Item Insert(Item parent, std::size_t index, const TreeNode& node, bool hasChildren) = 0;
    // Whether an item whose children have no items yet shows an expand button.
    virtual void SetHasChildren(Item item, bool hasChildren) = 0;
    // Deletes the item with the items below it; its parent's look follows.
    virtual void Delete(Item item) = 0;
    virtual void DeleteAll() = 0;  // every item below the root
};

class TreeItems {
public:
    using Item = TreeItemControl::Item;

    TreeItems(const CollectionTree& tree, TreeItemControl& control);
    TreeItems(const TreeItems&) = delete;
    TreeItems& operator=(const TreeItems&) = delete;

    // The node's item, made (with the items of its ancestors' children) when it has none yet;
    // null for no node or a node of another tree.
    Item ItemOf(const TreeNode* node);
    // The node's item if it has one; null otherwise.
    Item FindItem(const TreeNode* node) const;
    // Whether the node's children have their items (always true for a node without children).
    bool ChildrenMade(const TreeNode& node) const;
    std::size_t ItemCount() const { return entries_.size(); }

    // The control expands the node's item: its children get their items. False when the node
    // has no children after all (its expand button is taken away).
    bool Expanding(const TreeNode& node);

    // The tree's changes, as its observer hears of them.
    void Reset();
    void Added(const TreeNode& node);
    void Removing(const TreeNode& node);  // also before a move
    void Moved(const TreeNode& node);

private:
    struct Entry {
        Item item = nullptr;
        bool childrenMade = false;
    };
    Entry* Find(const TreeNode* node);
    const Entry* Find(const TreeNode* node) const;
    void Make(Item parent, std::size_t index, const TreeNode& node);
    void MakeChildren(const TreeNode& node);
    void Forget(const TreeNode& node);

    const CollectionTree& tree_;
    TreeItemControl& control_;
    std::unordered_map<std::uint64_t, Entry> entries_;  // by node serial
};

}  // namespace ql
