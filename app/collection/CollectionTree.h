#pragma once
// The collection tree: nodes with a caption and a page id, in absolute order (each node followed
// by its whole subtree). The editor's tree view, the drop zone's copy and the Save homepage
// dialog's copy each show one of these; the view follows it through a TreeObserver.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ql {

class CollectionTree;

// Where a node goes relative to a target node. The first three values are the clip modes.
enum class Attach : std::uint8_t {
    LastSibling = 0,   // last child of the target's parent
    LastChild = 2,     // last child of the target
    InsertBefore = 4,  // just before the target, same parent
    FirstSibling = 1,  // first child of the target's parent
};

class TreeNode {
public:
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;
    ~TreeNode();

    const std::string& Text() const { return text_; }
    bool HasPageId() const { return pageId_.has_value(); }
    const std::string& PageId() const;  // "" when the node holds none
    TreeNode* Parent() const;           // nullptr for a top-level node
    std::size_t ChildCount() const { return children_.size(); }
    TreeNode* Child(std::size_t i) const { return i < children_.size() ? children_[i].get() : nullptr; }
    std::size_t IndexInParent() const;
    int Level() const;  // 0 for top-level nodes
    bool IsAncestorOf(const TreeNode* other) const;
    // A number no other node of this tree ever had; lets holders of a node find out whether it
    // still exists (CollectionTree::Find).
    std::uint64_t Serial() const { return serial_; }
    CollectionTree& Tree() const { return *tree_; }

private:
    friend class CollectionTree;
    TreeNode(CollectionTree* tree, TreeNode* parent, std::string text, std::uint64_t serial);

    CollectionTree* tree_;
    TreeNode* parent_;
    std::string text_;
    std::optional<std::string> pageId_;
    std::vector<std::unique_ptr<TreeNode>> children_;
    std::uint64_t serial_;
};

// Told of every change so a view can mirror the tree. Between BeginUpdate and EndUpdate
// nothing is told; EndUpdate reports TreeReset.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void TreeReset() {}
    virtual void NodeAdded(TreeNode&) {}
    virtual void NodeRemoving(TreeNode&) {}  // before the node and its subtree go
    virtual void NodeMoving(TreeNode&) {}    // before the node leaves its place, with its subtree
    virtual void NodeMoved(TreeNode&) {}
    virtual void NodeTextChanged(TreeNode&) {}
    virtual void SelectionChanged(TreeNode*) {}
};

class CollectionTree {
public:
    CollectionTree();
    ~CollectionTree();
    CollectionTree(const CollectionTree&) = delete;
    CollectionTree& operator=(const CollectionTree&) = delete;

    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    std::size_t TopLevelCount() const;
    TreeNode* TopLevel(std::size_t i) const;

    // Absolute order: a node, then its subtree, then its next sibling.
    TreeNode* NodeAt(std::size_t absoluteIndex) const;  // nullptr past the end
    long AbsoluteIndex(const TreeNode* node) const;     // -1 when not in this tree
    std::vector<TreeNode*> Nodes() const;
    void ForEach(const std::function<void(TreeNode&)>& visit) const;
    TreeNode* Find(std::uint64_t serial) const;  // nullptr once deleted

    // `target` nullptr means the top level (at its end, or its start for FirstSibling).
    TreeNode* AddNode(TreeNode* target, Attach mode, std::string text);
    // False (and nothing changes) when the node would move into its own subtree, or the node or
    // the target belongs to another tree.
    bool MoveNode(TreeNode* node, TreeNode* target, Attach mode);
    void Delete(TreeNode* node);  // with its subtree
    void Clear();
    // Room in the indexes for this many nodes, so that filling a big tree does not rebuild them
    // again and again.
    void Reserve(std::size_t nodes);

    void SetText(TreeNode* node, std::string text);
    void SetPageId(TreeNode* node, std::string pageId);
    void ClearPageId(TreeNode* node);
    // Whether a node other than `except` holds this page id.
    bool UsesPageId(const std::string& pageId, const TreeNode* except = nullptr) const;

    TreeNode* Selected() const { return selected_; }
    void Select(TreeNode* node);  // nullptr clears the selection

    // The tree view's Tag: set once the tree files have been loaded into this tree.
    bool Loaded() const { return loaded_; }
    void SetLoaded(bool loaded) { loaded_ = loaded; }

    void SetObserver(TreeObserver* observer) { observer_ = observer; }
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

private:
    TreeNode* Insert(TreeNode* target, Attach mode, std::unique_ptr<TreeNode> node);
    void Forget(TreeNode& node);  // drops a subtree from the indexes
    void Adopt(TreeNode& node);   // re-points a moved subtree
    template <class F>
    void Notify(F f) const
    {
        if (observer_ && updating_ == 0)
            f(*observer_);
    }

    std::unique_ptr<TreeNode> root_;
    std::size_t count_ = 0;
    std::uint64_t nextSerial_ = 1;
    std::unordered_map<std::uint64_t, TreeNode*> bySerial_;
    std::unordered_map<std::string, int> pageIdUse_;
    TreeNode* selected_ = nullptr;
    bool loaded_ = false;
    TreeObserver* observer_ = nullptr;
    int updating_ = 0;
};

}  // namespace ql
