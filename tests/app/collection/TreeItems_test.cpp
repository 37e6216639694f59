#include "app/collection/TreeItems.h"
#include "app/collection/TreeText.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace ql {
namespace {

// A tree control in memory: items with a caption, an expand button and children.
struct FakeItem {
    std::string text;
    bool button = false;
    FakeItem* parent = nullptr;
    std::vector<FakeItem*> children;
};

struct FakeControl : TreeItemControl {
    std::deque<FakeItem> store;
    FakeItem root;
    std::size_t inserts = 0;

    Item Root() override { return &root; }
    Item Insert(Item parent, std::size_t index, const TreeNode& node, bool hasChildren) override
    {
        auto* p = static_cast<FakeItem*>(parent);
        EXPECT_LE(index, p->children.size());
        store.push_back(FakeItem{node.Text(), hasChildren, p, {}});
        p->children.insert(p->children.begin() + static_cast<std::ptrdiff_t>(index), &store.back());
        ++inserts;
        return &store.back();
    }
    void SetHasChildren(Item item, bool has) override { static_cast<FakeItem*>(item)->button = has; }
    void Delete(Item item) override
    {
        auto* i = static_cast<FakeItem*>(item);
        auto& sib = i->parent->children;
        sib.erase(std::find(sib.begin(), sib.end(), i));
        i->parent = nullptr;
    }
    void DeleteAll() override { root.children.clear(); }
};

// The control's items as text: each item's caption, "+" for a button without children made,
// "[...]" around its children.
std::string Shown(const FakeItem& item)
{
    std::string out;
    for (const FakeItem* c : item.children) {
        out += c->text;
        if (c->children.empty() && c->button)
            out += "+";
        if (!c->children.empty())
            out += "[" + Shown(*c) + "]";
        out += " ";
    }
    return out;
}

class TreeItemsTest : public ::testing::Test {
protected:
    // a [a1 [a11 a12] a2] b [b1] c
    void SetUp() override
    {
        TextToTree("a\r\n\ta1\r\n\t\ta11\r\n\t\ta12\r\n\ta2\r\nb\r\n\tb1\r\nc\r\n", tree);
        items.Reset();
    }
    TreeNode* Node(std::size_t i) { return tree.NodeAt(i); }  // absolute order: a a1 a11 a12 a2 b b1 c

    CollectionTree tree;
    FakeControl control;
    TreeItems items{tree, control};
};

TEST_F(TreeItemsTest, OnlyTheTopLevelIsMadeAndNodesWithChildrenShowTheirButton)
{
    EXPECT_EQ(Shown(control.root), "a+ b+ c ");
    EXPECT_EQ(items.ItemCount(), 3u);
    EXPECT_FALSE(items.ChildrenMade(*Node(0)));
    EXPECT_TRUE(items.ChildrenMade(*Node(7)));
    EXPECT_EQ(items.FindItem(Node(1)), nullptr);

    // Expanding makes the children, once.
    EXPECT_TRUE(items.Expanding(*Node(0)));
    EXPECT_TRUE(items.Expanding(*Node(0)));
    EXPECT_EQ(Shown(control.root), "a[a1+ a2 ] b+ c ");
    EXPECT_EQ(control.inserts, 5u);
}

TEST_F(TreeItemsTest, ANodeAskedForGetsItsItemWithItsAncestorsChildren)
{
    TreeNode* a12 = Node(3);
    auto* item = static_cast<FakeItem*>(items.ItemOf(a12));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text, "a12");
    EXPECT_EQ(Shown(control.root), "a[a1[a11 a12 ] a2 ] b+ c ");
    EXPECT_EQ(items.ItemOf(a12), item);
    EXPECT_EQ(items.ItemOf(nullptr), nullptr);
    CollectionTree other;
    TextToTree("x\r\n", other);
    EXPECT_EQ(items.ItemOf(other.NodeAt(0)), nullptr);
}

TEST_F(TreeItemsTest, ChangesShowWhereTheirParentIsMadeAndButtonsFollowTheChildren)
{
    // Under a parent without made children: no item, the button stays.
    TreeNode* b2 = tree.AddNode(Node(6), Attach::LastSibling, "b2");
    items.Added(*b2);
    EXPECT_EQ(Shown(control.root), "a+ b+ c ");
    // Under a leaf (its children count as made): the item at its place, the parent gets children.
    TreeNode* c1 = tree.AddNode(tree.TopLevel(2), Attach::LastChild, "c1");
    items.Added(*c1);
    TreeNode* top = tree.AddNode(tree.TopLevel(0), Attach::InsertBefore, "top");
    items.Added(*top);
    EXPECT_EQ(Shown(control.root), "top a+ b+ c[c1 ] ");

    // The last child of a parent without made children goes: so does its button.
    TreeNode* b = tree.TopLevel(2);
    for (TreeNode* child : {b->Child(1), b->Child(0)}) {
        items.Removing(*child);
        tree.Delete(child);
    }
    EXPECT_EQ(Shown(control.root), "top a+ b c[c1 ] ");

    // A moved subtree leaves its items behind and shows, unmade, at its new place.
    ASSERT_NE(items.ItemOf(tree.TopLevel(1)->Child(1)), nullptr);  // a's children made
    TreeNode* a1 = tree.TopLevel(1)->Child(0);
    items.Removing(*a1);
    ASSERT_TRUE(tree.MoveNode(a1, tree.TopLevel(3), Attach::LastChild));
    items.Moved(*a1);
    EXPECT_EQ(Shown(control.root), "top a[a2 ] b c[c1 a1+ ] ");
    EXPECT_NE(items.ItemOf(a1->Child(1)), nullptr);
    EXPECT_EQ(Shown(control.root), "top a[a2 ] b c[c1 a1[a11 a12 ] ] ");
    EXPECT_EQ(items.ItemCount(), 9u);

    // Reset starts over.
    items.Reset();
    EXPECT_EQ(Shown(control.root), "top a+ b c+ ");
    EXPECT_EQ(items.ItemCount(), 4u);
}

TEST_F(TreeItemsTest, ExpandingANodeWhoseChildrenWentTakesItsButtonAway)
{
    // The control was told of children that are gone by the time the user expands the node.
    TreeNode* b = tree.TopLevel(1);
    tree.Delete(b->Child(0));
    EXPECT_FALSE(items.Expanding(*b));
    EXPECT_EQ(Shown(control.root), "a+ b c ");
}

TEST_F(TreeItemsTest, ADeepChainIsMadeWithoutRecursion)
{
    tree.Clear();
    TreeNode* deepest = nullptr;
    for (int i = 0; i < 100000; ++i)
        deepest = tree.AddNode(deepest, Attach::LastChild, "n");
    items.Reset();
    EXPECT_NE(items.ItemOf(deepest), nullptr);
    EXPECT_EQ(items.ItemCount(), 100000u);
}

}  // namespace
}  // namespace ql
