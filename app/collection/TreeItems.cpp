#include "app/collection/TreeItems.h"

#include <vector>

namespace ql {

TreeItems::TreeItems(const CollectionTree& tree, TreeItemControl& control) : tree_(tree), control_(control) {}

TreeItems::Entry* TreeItems::Find(const TreeNode* node)
{
    auto it = node ? entries_.find(node->Serial()) : entries_.end();
    return it == entries_.end() ? nullptr : &it->second;
}

const TreeItems::Entry* TreeItems::Find(const TreeNode* node) const
{
    auto it = node ? entries_.find(node->Serial()) : entries_.end();
    return it == entries_.end() ? nullptr : &it->second;
}

TreeItems::Item TreeItems::FindItem(const TreeNode* node) const
{
    const Entry* e = Find(node);
    return e ? e->item : nullptr;
}

bool TreeItems::ChildrenMade(const TreeNode& node) const
{
    const Entry* e = Find(&node);
    return e ? e->childrenMade : node.ChildCount() == 0;
}

void TreeItems::Make(Item parent, std::size_t index, const TreeNode& node)
{
    const bool hasChildren = node.ChildCount() > 0;
    Item item = control_.Insert(parent, index, node, hasChildren);
    entries_[node.Serial()] = Entry{item, !hasChildren};
}

void TreeItems::MakeChildren(const TreeNode& node)
{
    Entry* e = Find(&node);
    if (!e || e->childrenMade)
        return;
    e->childrenMade = true;
    const Item item = e->item;  // `e` does not survive the insertions below
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        Make(item, i, *node.Child(i));
}

TreeItems::Item TreeItems::ItemOf(const TreeNode* node)
{
    if (!node || &node->Tree() != &tree_)
        return nullptr;
    if (const Entry* e = Find(node))
        return e->item;
    // The ancestors up to the first one with an item, then their children from the top down.
    // Walked without recursion: a tree file may nest very deep.
    std::vector<const TreeNode*> path;
    const TreeNode* p = node->Parent();
    for (; p && !Find(p); p = p->Parent())
        path.push_back(p);
    if (p)
        MakeChildren(*p);
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        MakeChildren(**it);
    const Entry* e = Find(node);
    return e ? e->item : nullptr;
}

bool TreeItems::Expanding(const TreeNode& node)
{
    MakeChildren(node);
    if (node.ChildCount() > 0)
        return true;
    if (Entry* e = Find(&node))
        control_.SetHasChildren(e->item, false);
    return false;
}

void TreeItems::Reset()
{
    control_.DeleteAll();
    entries_.clear();
    entries_.reserve(tree_.TopLevelCount());
    const Item root = control_.Root();
    for (std::size_t i = 0; i < tree_.TopLevelCount(); ++i)
        Make(root, i, *tree_.TopLevel(i));
}

void TreeItems::Added(const TreeNode& node)
{
    const TreeNode* parent = node.Parent();
    if (!parent) {
        Make(control_.Root(), node.IndexInParent(), node);
        return;
    }
    Entry* p = Find(parent);
    if (!p)
        return;  // not shown: its parent gets its items when it is expanded
    if (p->childrenMade)
        Make(p->item, node.IndexInParent(), node);
    // Otherwise the parent already shows its expand button.
}

void TreeItems::Forget(const TreeNode& node)
{
    std::vector<const TreeNode*> stack{&node};
    while (!stack.empty()) {
        const TreeNode* n = stack.back();
        stack.pop_back();
        auto it = entries_.find(n->Serial());
        if (it == entries_.end())
            continue;
        const bool childrenMade = it->second.childrenMade;
        entries_.erase(it);
        if (childrenMade)
            for (std::size_t i = 0; i < n->ChildCount(); ++i)
                stack.push_back(n->Child(i));
    }
}

void TreeItems::Removing(const TreeNode& node)
{
    if (Entry* e = Find(&node)) {
        const Item item = e->item;
        Forget(node);
        control_.Delete(item);
        return;
    }
    // Without an item the node's parent had no items made for its children: it loses its
    // expand button with its last child.
    const TreeNode* parent = node.Parent();
    Entry* p = Find(parent);
    if (p && !p->childrenMade && parent->ChildCount() == 1) {
        p->childrenMade = true;
        control_.SetHasChildren(p->item, false);
    }
}

void TreeItems::Moved(const TreeNode& node) { Added(node); }

}  // namespace ql
