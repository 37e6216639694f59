#include "app/collection/CollectionTree.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

std::string Shape(const CollectionTree& tree)
{
    std::string out;
    tree.ForEach([&](TreeNode& n) { out += std::string(static_cast<std::size_t>(n.Level()), '-') + n.Text() + " "; });
    return out;
}

struct Recorder : TreeObserver {
    std::vector<std::string> events;
    void TreeReset() override { events.push_back("reset"); }
    void NodeAdded(TreeNode& n) override { events.push_back("add " + n.Text()); }
    void NodeRemoving(TreeNode& n) override { events.push_back("remove " + n.Text()); }
    void NodeMoving(TreeNode& n) override { events.push_back("moving " + n.Text() + " from " + Where(n)); }
    void NodeMoved(TreeNode& n) override { events.push_back("move " + n.Text() + " to " + Where(n)); }
    static std::string Where(const TreeNode& n) { return n.Parent() ? n.Parent()->Text() : std::string("top"); }
    void SelectionChanged(TreeNode* n) override { events.push_back("select " + (n ? n->Text() : std::string("none"))); }
};

TEST(CollectionTree, AttachModesAndAbsoluteOrder)
{
    CollectionTree tree;
    TreeNode* a = tree.AddNode(nullptr, Attach::LastSibling, "a");
    TreeNode* b = tree.AddNode(a, Attach::LastSibling, "b");
    TreeNode* c = tree.AddNode(a, Attach::LastChild, "c");
    tree.AddNode(c, Attach::InsertBefore, "before-c");
    tree.AddNode(c, Attach::FirstSibling, "first-in-a");
    tree.AddNode(nullptr, Attach::FirstSibling, "first");
    tree.AddNode(b, Attach::LastChild, "d");
    EXPECT_EQ(Shape(tree), "first a -first-in-a -before-c -c b -d ");
    ASSERT_EQ(tree.Count(), 7u);
    for (std::size_t i = 0; i < tree.Count(); ++i)
        EXPECT_EQ(tree.AbsoluteIndex(tree.NodeAt(i)), static_cast<long>(i));
    EXPECT_EQ(tree.NodeAt(7), nullptr);
    CollectionTree other;
    EXPECT_EQ(other.AbsoluteIndex(a), -1);
    EXPECT_EQ(other.AddNode(a, Attach::LastChild, "foreign"), nullptr);
}

TEST(CollectionTree, MoveRefusesOwnSubtreeAndDeleteForgetsEverything)
{
    CollectionTree tree;
    Recorder rec;
    tree.SetObserver(&rec);
    TreeNode* a = tree.AddNode(nullptr, Attach::LastChild, "a");
    TreeNode* b = tree.AddNode(a, Attach::LastChild, "b");
    TreeNode* c = tree.AddNode(b, Attach::LastChild, "c");
    TreeNode* d = tree.AddNode(nullptr, Attach::LastChild, "d");
    tree.SetPageId(b, "B");
    tree.SetPageId(c, "C");
    EXPECT_FALSE(tree.MoveNode(a, c, Attach::LastChild));
    EXPECT_FALSE(tree.MoveNode(a, a, Attach::LastChild));
    EXPECT_TRUE(tree.MoveNode(d, b, Attach::InsertBefore));
    EXPECT_EQ(Shape(tree), "a -d -b --c ");

    const std::uint64_t cSerial = c->Serial();
    tree.Select(c);
    tree.Delete(b);
    EXPECT_EQ(Shape(tree), "a -d ");
    EXPECT_EQ(tree.Find(cSerial), nullptr);
    EXPECT_EQ(tree.Selected(), nullptr);
    EXPECT_FALSE(tree.UsesPageId("B"));
    EXPECT_FALSE(tree.UsesPageId("C"));
    EXPECT_EQ(tree.Count(), 2u);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"add a", "add b", "add c", "add d", "moving d from top",
                                                    "move d to a", "select c", "remove b", "select none"}));

    tree.BeginUpdate();
    tree.AddNode(nullptr, Attach::LastChild, "quiet");
    tree.EndUpdate();
    EXPECT_EQ(rec.events.back(), "reset");
}

TEST(CollectionTree, MoveRefusesNodesOfAnotherTree)
{
    CollectionTree tree, other;
    TreeNode* a = tree.AddNode(nullptr, Attach::LastChild, "a");
    TreeNode* x = other.AddNode(nullptr, Attach::LastChild, "x");
    TreeNode* y = other.AddNode(x, Attach::LastChild, "y");
    EXPECT_FALSE(tree.MoveNode(x, a, Attach::LastChild));  // a foreign node
    EXPECT_FALSE(tree.MoveNode(a, y, Attach::LastChild));  // a foreign target
    EXPECT_FALSE(other.MoveNode(y, a, Attach::InsertBefore));
    EXPECT_EQ(Shape(tree), "a ");
    EXPECT_EQ(Shape(other), "x -y ");
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_EQ(other.Count(), 2u);
    EXPECT_EQ(&y->Tree(), &other);
}

TEST(CollectionTree, PageIdUseCountsEveryHolder)
{
    CollectionTree tree;
    TreeNode* a = tree.AddNode(nullptr, Attach::LastChild, "a");
    TreeNode* b = tree.AddNode(nullptr, Attach::LastChild, "b");
    tree.SetPageId(a, "same");
    EXPECT_TRUE(tree.UsesPageId("same"));
    EXPECT_FALSE(tree.UsesPageId("same", a));
    tree.SetPageId(b, "same");
    EXPECT_TRUE(tree.UsesPageId("same", a));
    tree.SetPageId(a, "other");
    EXPECT_FALSE(tree.UsesPageId("same", b));
    tree.ClearPageId(b);
    EXPECT_FALSE(tree.UsesPageId("same"));
    EXPECT_FALSE(b->HasPageId());
    EXPECT_EQ(b->PageId(), "");
}

}  // namespace
}  // namespace ql
