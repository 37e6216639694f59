#pragma once
// A shell tree window for tests: nodes that follow the tree's calls, expanding and selecting
// through the tree's own handlers as the real control does.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/shell/ShellTreeController.h"
#include "tests/components/shell/ShellDragFake.h"

namespace ql::test {

class FakeShellTreeView : public shellctl::ShellTreeView, public FakeShellDragPort {
public:
    struct Node {
        std::string caption;
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        bool hasChildren = false;
        bool expanded = false;
        int overlay = -1;
        bool ghosted = false;
    };
    shellctl::ShellTreeController* tree = nullptr;
    Node root;  // holds the top level
    Node* selected = nullptr;
    Node* highlight = nullptr;
    Node* atPoint = nullptr;
    bool editing = false;
    Node* edited = nullptr;
    bool focus = true;
    int timerDelay = 0;
    int beeps = 0;
    int menuAnswer = 0;
    shellctl::TChangeHandlerThread::Poster poster;

    static Node* N(shellctl::TTreeNode n) { return static_cast<Node*>(n); }
    Node* Own(shellctl::TTreeNode n) { return n ? N(n) : &root; }
    const Node* Own(shellctl::TTreeNode n) const { return n ? N(n) : &root; }

    // The child of `parent` (nullptr: the top level) with this caption.
    Node* Child(Node* parent, const std::string& caption)
    {
        for (auto& c : Own(parent)->children)
            if (c->caption == caption)
                return c.get();
        return nullptr;
    }
    std::vector<std::string> Captions(Node* parent) const
    {
        std::vector<std::string> out;
        for (auto& c : Own(parent)->children)
            out.push_back(c->caption);
        return out;
    }
    Node* Top() { return root.children.empty() ? nullptr : root.children.front().get(); }

    shellctl::TTreeNode AddNode(shellctl::TTreeNode parent, const std::string& caption) override
    {
        auto node = std::make_unique<Node>();
        node->caption = caption;
        node->parent = parent ? N(parent) : nullptr;
        Node* raw = node.get();
        Own(parent)->children.push_back(std::move(node));
        return raw;
    }
    void Forget(Node* n)
    {
        for (auto& c : n->children)
            Forget(c.get());
        if (selected == n)
            selected = nullptr;
        if (highlight == n)
            highlight = nullptr;
        if (atPoint == n)
            atPoint = nullptr;
        if (tree)
            tree->NodeDeleted(n);
    }
    void DeleteNode(shellctl::TTreeNode node) override
    {
        Node* n = N(node);
        Forget(n);
        auto& siblings = Own(n->parent)->children;
        siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](auto& c) { return c.get() == n; }));
    }
    void ClearNodes() override
    {
        for (auto& c : root.children)
            Forget(c.get());
        root.children.clear();
    }
    shellctl::TTreeNode ParentNode(shellctl::TTreeNode node) const override { return N(node)->parent; }
    shellctl::TTreeNode FirstChild(shellctl::TTreeNode node) const override
    {
        const Node* n = Own(node);
        return n->children.empty() ? nullptr : n->children.front().get();
    }
    shellctl::TTreeNode NextSibling(shellctl::TTreeNode node) const override
    {
        const auto& siblings = Own(N(node)->parent)->children;
        for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
            if (siblings[i].get() == node)
                return siblings[i + 1].get();
        return nullptr;
    }
    void SortChildren(shellctl::TTreeNode node,
                      const std::function<int(shellctl::TTreeNode, shellctl::TTreeNode)>& compare) override
    {
        auto& c = Own(node)->children;
        std::stable_sort(c.begin(), c.end(), [&](auto& a, auto& b) { return compare(a.get(), b.get()) < 0; });
    }
    std::string Caption(shellctl::TTreeNode node) const override { return N(node)->caption; }
    void SetCaption(shellctl::TTreeNode node, const std::string& caption) override { N(node)->caption = caption; }
    bool HasChildrenFlag(shellctl::TTreeNode node) const override { return N(node)->hasChildren; }
    void SetHasChildren(shellctl::TTreeNode node, bool value) override { N(node)->hasChildren = value; }
    void SetLook(shellctl::TTreeNode node, int overlay, bool ghosted) override
    {
        N(node)->overlay = overlay;
        N(node)->ghosted = ghosted;
    }
    void Expand(shellctl::TTreeNode node) override
    {
        if (node && tree->MayExpand(node) && !N(node)->children.empty())
            N(node)->expanded = true;
    }
    bool IsExpanded(shellctl::TTreeNode node) const override { return N(node)->expanded; }
    void Select(shellctl::TTreeNode node) override
    {
        if (node == selected)
            return;
        selected = N(node);
        if (node)
            tree->SelectionChanged(node);
    }
    shellctl::TTreeNode Selected() const override { return selected; }
    void MakeVisible(shellctl::TTreeNode) override {}
    void BeginUpdate() override {}
    void EndUpdate() override {}
    bool IsEditingLabel() const override { return editing; }
    void EditLabel(shellctl::TTreeNode node) override
    {
        editing = true;
        edited = N(node);
    }
    bool HasFocus() const override { return focus; }
    void SetBusy(bool) override {}
    void Beep() override { ++beeps; }
    void StartRefreshTimer(int ms) override { timerDelay = ms; }
    void StopRefreshTimer() override { timerDelay = 0; }
    bool RefreshTimerRunning() const override { return timerDelay != 0; }
    shellctl::TChangeHandlerThread::Poster ChangePoster() override { return poster; }
    std::function<void(const shell::PopupMenu&)> onMenu;  // while the menu is up
    int menus = 0;
    int TrackMenu(const shell::PopupMenu& menu, int, int) override
    {
        ++menus;
        if (onMenu)
            onMenu(menu);
        return menuAnswer;
    }
    shellctl::TTreeNode NodeAtScreen(com::POINTL) const override { return atPoint; }
    shellctl::TTreeNode DropHighlight() const override { return highlight; }
    void SetDropHighlight(shellctl::TTreeNode node) override { highlight = N(node); }
    shellctl::ShellDragPort& DragPort() override { return *this; }
};

}  // namespace ql::test
