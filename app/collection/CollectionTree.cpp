#include "app/collection/CollectionTree.h"

#include <algorithm>
#include <utility>

namespace ql {

namespace {
const std::string kNoPageId;
}

TreeNode::TreeNode(CollectionTree* tree, TreeNode* parent, std::string text, std::uint64_t serial)
    : tree_(tree), parent_(parent), text_(std::move(text)), serial_(serial)
{
}

// Iterative, so a tree file with a very deep nesting cannot exhaust the stack.
TreeNode::~TreeNode()
{
    std::vector<std::unique_ptr<TreeNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<TreeNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->children_)
            pending.push_back(std::move(c));
        n->children_.clear();
    }
}

const std::string& TreeNode::PageId() const { return pageId_ ? *pageId_ : kNoPageId; }

TreeNode* TreeNode::Parent() const { return (parent_ && parent_->parent_) ? parent_ : nullptr; }

std::size_t TreeNode::IndexInParent() const
{
    const auto& sib = parent_->children_;
    for (std::size_t i = 0; i < sib.size(); ++i)
        if (sib[i].get() == this)
            return i;
    return 0;
}

int TreeNode::Level() const
{
    int level = 0;
    for (const TreeNode* p = Parent(); p; p = p->Parent())
        ++level;
    return level;
}

bool TreeNode::IsAncestorOf(const TreeNode* other) const
{
    for (const TreeNode* p = other ? other->parent_ : nullptr; p; p = p->parent_)
        if (p == this)
            return true;
    return false;
}

CollectionTree::CollectionTree() : root_(new TreeNode(this, nullptr, std::string(), 0)) {}

CollectionTree::~CollectionTree() = default;

std::size_t CollectionTree::TopLevelCount() const { return root_->children_.size(); }

TreeNode* CollectionTree::TopLevel(std::size_t i) const { return root_->Child(i); }

void CollectionTree::ForEach(const std::function<void(TreeNode&)>& visit) const
{
    // Stack of (parent, next child index), walked in absolute order.
    std::vector<std::pair<const TreeNode*, std::size_t>> stack{{root_.get(), 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next >= node->children_.size()) {
            stack.pop_back();
            continue;
        }
        TreeNode* child = node->children_[next++].get();
        visit(*child);
        if (!child->children_.empty())
            stack.emplace_back(child, 0);
    }
}

std::vector<TreeNode*> CollectionTree::Nodes() const
{
    std::vector<TreeNode*> out;
    out.reserve(count_);
    ForEach([&](TreeNode& n) { out.push_back(&n); });
    return out;
}

TreeNode* CollectionTree::NodeAt(std::size_t absoluteIndex) const
{
    if (absoluteIndex >= count_)
        return nullptr;
    TreeNode* found = nullptr;
    std::size_t i = 0;
    // ForEach cannot stop early; walk by hand.
    std::vector<std::pair<const TreeNode*, std::size_t>> stack{{root_.get(), 0}};
    while (!stack.empty() && !found) {
        auto& [node, next] = stack.back();
        if (next >= node->children_.size()) {
            stack.pop_back();
            continue;
        }
        TreeNode* child = node->children_[next++].get();
        if (i++ == absoluteIndex)
            found = child;
        else if (!child->children_.empty())
            stack.emplace_back(child, 0);
    }
    return found;
}

long CollectionTree::AbsoluteIndex(const TreeNode* node) const
{
    if (!node || &node->Tree() != this || !node->parent_)
        return -1;
    // The nodes before `node` are: for each ancestor level, the earlier siblings with their
    // subtrees, plus the ancestors themselves.
    auto subtreeSize = [](const TreeNode* n) {
        std::size_t size = 0;
        std::vector<const TreeNode*> stack{n};
        while (!stack.empty()) {
            const TreeNode* t = stack.back();
            stack.pop_back();
            ++size;
            for (const auto& c : t->children_)
                stack.push_back(c.get());
        }
        return size;
    };
    std::size_t index = 0;
    for (const TreeNode* n = node; n->parent_; n = n->parent_) {
        for (const auto& sib : n->parent_->children_) {
            if (sib.get() == n)
                break;
            index += subtreeSize(sib.get());
        }
        if (n->parent_->parent_)
            ++index;  // the parent itself
    }
    return static_cast<long>(index);
}

TreeNode* CollectionTree::Find(std::uint64_t serial) const
{
    auto it = bySerial_.find(serial);
    return it == bySerial_.end() ? nullptr : it->second;
}

TreeNode* CollectionTree::Insert(TreeNode* target, Attach mode, std::unique_ptr<TreeNode> node)
{
    TreeNode* parent = root_.get();
    std::size_t pos = parent->children_.size();
    if (target) {
        switch (mode) {
        case Attach::LastChild:
            parent = target;
            pos = parent->children_.size();
            break;
        case Attach::InsertBefore:
            parent = target->parent_;
            pos = target->IndexInParent();
            break;
        case Attach::FirstSibling:
            parent = target->parent_;
            pos = 0;
            break;
        case Attach::LastSibling:
        default:
            parent = target->parent_;
            pos = parent->children_.size();
            break;
        }
    } else if (mode == Attach::FirstSibling) {
        pos = 0;
    }
    node->parent_ = parent;
    TreeNode* raw = node.get();
    parent->children_.insert(parent->children_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(node));
    return raw;
}

TreeNode* CollectionTree::AddNode(TreeNode* target, Attach mode, std::string text)
{
    if (target && &target->Tree() != this)
        return nullptr;
    std::uint64_t serial = nextSerial_++;
    TreeNode* node = Insert(target, mode,
                            std::unique_ptr<TreeNode>(new TreeNode(this, nullptr, std::move(text), serial)));
    bySerial_.emplace(serial, node);
    ++count_;
    Notify([&](TreeObserver& o) { o.NodeAdded(*node); });
    return node;
}

bool CollectionTree::MoveNode(TreeNode* node, TreeNode* target, Attach mode)
{
    if (!node || &node->Tree() != this || !node->parent_ || (target && &target->Tree() != this) || node == target ||
        node->IsAncestorOf(target))
        return false;
    Notify([&](TreeObserver& o) { o.NodeMoving(*node); });
    auto& sib = node->parent_->children_;
    auto it = std::find_if(sib.begin(), sib.end(), [&](const auto& p) { return p.get() == node; });
    std::unique_ptr<TreeNode> owned = std::move(*it);
    sib.erase(it);
    Insert(target, mode, std::move(owned));
    Notify([&](TreeObserver& o) { o.NodeMoved(*node); });
    return true;
}

void CollectionTree::Forget(TreeNode& node)
{
    std::vector<TreeNode*> stack{&node};
    while (!stack.empty()) {
        TreeNode* n = stack.back();
        stack.pop_back();
        bySerial_.erase(n->serial_);
        if (n->pageId_) {
            auto it = pageIdUse_.find(*n->pageId_);
            if (it != pageIdUse_.end() && --it->second <= 0)
                pageIdUse_.erase(it);
        }
        if (selected_ == n)
            selected_ = nullptr;
        --count_;
        for (auto& c : n->children_)
            stack.push_back(c.get());
    }
}

void CollectionTree::Delete(TreeNode* node)
{
    if (!node || &node->Tree() != this || !node->parent_)
        return;
    Notify([&](TreeObserver& o) { o.NodeRemoving(*node); });
    TreeNode* wasSelected = selected_;
    Forget(*node);
    auto& sib = node->parent_->children_;
    sib.erase(std::find_if(sib.begin(), sib.end(), [&](const auto& p) { return p.get() == node; }));
    if (wasSelected && !selected_)
        Notify([&](TreeObserver& o) { o.SelectionChanged(nullptr); });
}

void CollectionTree::Clear()
{
    root_->children_.clear();
    bySerial_.clear();
    pageIdUse_.clear();
    selected_ = nullptr;
    count_ = 0;
    Notify([&](TreeObserver& o) { o.TreeReset(); });
}

void CollectionTree::Reserve(std::size_t nodes)
{
    bySerial_.reserve(nodes);
    pageIdUse_.reserve(nodes);
}

void CollectionTree::SetText(TreeNode* node, std::string text)
{
    if (!node)
        return;
    node->text_ = std::move(text);
    Notify([&](TreeObserver& o) { o.NodeTextChanged(*node); });
}

void CollectionTree::SetPageId(TreeNode* node, std::string pageId)
{
    if (!node)
        return;
    ClearPageId(node);
    ++pageIdUse_[pageId];
    node->pageId_ = std::move(pageId);
}

void CollectionTree::ClearPageId(TreeNode* node)
{
    if (!node || !node->pageId_)
        return;
    auto it = pageIdUse_.find(*node->pageId_);
    if (it != pageIdUse_.end() && --it->second <= 0)
        pageIdUse_.erase(it);
    node->pageId_.reset();
}

bool CollectionTree::UsesPageId(const std::string& pageId, const TreeNode* except) const
{
    auto it = pageIdUse_.find(pageId);
    if (it == pageIdUse_.end())
        return false;
    if (except && except->pageId_ && *except->pageId_ == pageId)
        return it->second > 1;
    return true;
}

void CollectionTree::Select(TreeNode* node)
{
    if (node && &node->Tree() != this)
        return;
    if (selected_ == node)
        return;
    selected_ = node;
    Notify([&](TreeObserver& o) { o.SelectionChanged(node); });
}

void CollectionTree::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0 && observer_)
        observer_->TreeReset();
}

}  // namespace ql
