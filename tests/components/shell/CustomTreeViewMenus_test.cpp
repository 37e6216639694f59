#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/shell/CustomTreeViewMenus.h"

using namespace ql::shellctl;

namespace {

struct Node {
    std::string name;
    std::vector<std::unique_ptr<Node>> children;
    Node* next = nullptr;
    Node* Add(const std::string& child)
    {
        children.push_back(std::make_unique<Node>(Node{child, {}, nullptr}));
        if (children.size() > 1)
            children[children.size() - 2]->next = children.back().get();
        return children.back().get();
    }
};

Node* N(TTreeNode n) { return static_cast<Node*>(n); }

TEST(CustomTreeViewRelease, ChildrenBeforeParentsOncePerNodeInSiblingOrder)
{
    Node top;  // holds the top level
    Node* a = top.Add("a");
    Node* a1 = a->Add("a1");
    a1->Add("a1x");
    a1->Add("a1y");
    a->Add("a2");
    top.Add("b");
    Node* c = top.Add("c");
    c->Add("c1")->Add("c1x");

    std::vector<std::string> order;
    auto firstChild = [](TTreeNode n) -> TTreeNode {
        return N(n)->children.empty() ? nullptr : N(n)->children.front().get();
    };
    auto nextSibling = [](TTreeNode n) -> TTreeNode { return N(n)->next; };
    ForEachLeafFirst(top.children.front().get(), firstChild, nextSibling,
                     [&](TTreeNode n) { order.push_back(N(n)->name); });
    EXPECT_EQ(order, (std::vector<std::string>{"a1x", "a1y", "a1", "a2", "a", "b", "c1x", "c1", "c"}));

    order.clear();
    ForEachLeafFirst(nullptr, firstChild, nextSibling, [&](TTreeNode n) { order.push_back(N(n)->name); });
    EXPECT_TRUE(order.empty());
}

TEST(CustomTreeViewMenus, MenuKeys)
{
    EXPECT_TRUE(IsContextMenuKey(VK_APPS));
    EXPECT_TRUE(IsContextMenuKey(VK_F10 | scShift));
    EXPECT_FALSE(IsContextMenuKey(VK_F10));
    EXPECT_FALSE(IsContextMenuKey(VK_F10 | scCtrl));
    EXPECT_FALSE(IsContextMenuKey(VK_F10 | scShift | scCtrl));
    EXPECT_FALSE(IsContextMenuKey(VK_APPS | scShift));
}

struct Menu {
    std::string name;
};

struct Shown {
    std::string menu;
    TvPoint at;
};

// A tree for the protocol: its own menu, a selection, and a handler that may change both.
class Host : public TvMenuHost<Menu> {
public:
    Menu own{"own"}, other{"other"};
    Menu* controlMenu = &own;
    TTreeNode selected = nullptr;
    TvRect textRect{10, 20, 31, 37};
    std::vector<Shown> shown;
    std::vector<TTreeNode> asked;
    std::function<void(TTreeNode, TvPoint&, Menu*&)> handler;
    std::function<void()> whileShown;

    TTreeNode SelectedNode() const override { return selected; }
    TvRect NodeTextRect(TTreeNode) const override { return textRect; }
    Menu* ControlPopupMenu() const override { return controlMenu; }
    void ChooseItemMenu(TTreeNode node, TvPoint& pos, Menu*& menu) override
    {
        asked.push_back(node);
        if (handler)
            handler(node, pos, menu);
    }
    void ShowMenu(Menu& menu, TvPoint at) override
    {
        shown.push_back({menu.name, at});
        if (whileShown)
            whileShown();
    }
};

class TreeMenus : public ::testing::Test {
protected:
    Host host;
    TvContextMenus<Menu> menus{host};
    int nodeA = 0, nodeB = 0;
    TTreeNode a = &nodeA, b = &nodeB;
};

TEST_F(TreeMenus, RightClickOnANodeShowsOneMenuAndAnswersTheRequest)
{
    menus.RightClick(a, {40, 50});
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].menu, "own");
    EXPECT_EQ(host.shown[0].at, (TvPoint{40, 50}));
    EXPECT_EQ(host.asked, std::vector<TTreeNode>{a});
    EXPECT_TRUE(menus.MenuShownFlag());

    // The desktop's request for the same click finds it answered.
    menus.ContextRequest(false, {40, 50});
    EXPECT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.asked.size(), 1u);

    // The next click is a new request.
    menus.RightButton();
    EXPECT_FALSE(menus.MenuShownFlag());
    menus.ContextRequest(false, {5, 6});
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.asked.back(), nullptr);  // no node under the point
    EXPECT_EQ(host.shown[1].at, (TvPoint{5, 6}));

    // A click beside the nodes leaves the request to the desktop.
    menus.RightButton();
    menus.RightClick(nullptr, {1, 1});
    EXPECT_EQ(host.shown.size(), 2u);
    EXPECT_FALSE(menus.MenuShownFlag());
    EXPECT_EQ(menus.MenusShown(), 2);
}

TEST_F(TreeMenus, TheHandlerMovesReplacesOrDropsTheMenu)
{
    host.handler = [&](TTreeNode node, TvPoint& pos, Menu*& menu) {
        if (node == a) {
            menu = &host.other;
            pos = {7, 8};
        } else {
            menu = nullptr;
        }
    };
    menus.RightClick(a, {40, 50});
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].menu, "other");
    EXPECT_EQ(host.shown[0].at, (TvPoint{7, 8}));

    // A dropped menu shows nothing, yet the click's request is answered.
    menus.RightButton();
    menus.RightClick(b, {40, 50});
    EXPECT_EQ(host.shown.size(), 1u);
    EXPECT_TRUE(menus.MenuShownFlag());

    // Replacing the menu from the keyboard marks the request answered as well.
    menus.RightButton();
    host.selected = b;
    EXPECT_TRUE(menus.KeyDown(VK_APPS));
    EXPECT_EQ(host.shown.size(), 1u);
    EXPECT_TRUE(menus.MenuShownFlag());
}

TEST_F(TreeMenus, KeysOpenTheSelectedNodesMenuAtTheCentreOfItsText)
{
    host.selected = b;
    EXPECT_TRUE(menus.KeyDown(VK_F10 | scShift));
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].at, (TvPoint{20, 28}));  // integer means of 10..31 and 20..37
    EXPECT_EQ(host.asked, std::vector<TTreeNode>{b});
    EXPECT_FALSE(menus.MenuShownFlag());  // the control's own menu was kept

    EXPECT_FALSE(menus.KeyDown(VK_F10 | scCtrl));
    EXPECT_EQ(host.shown.size(), 1u);

    // Without a selection the control's menu opens at the top-left corner, no handler asked;
    // without a menu, nothing opens.
    host.selected = nullptr;
    EXPECT_TRUE(menus.KeyDown(VK_APPS));
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[1].at, (TvPoint{0, 0}));
    EXPECT_EQ(host.asked.size(), 1u);
    host.controlMenu = nullptr;
    EXPECT_TRUE(menus.KeyDown(VK_APPS));
    EXPECT_EQ(host.shown.size(), 2u);
}

TEST_F(TreeMenus, DesktopRequestsWithASelectionOrWhileAMenuIsUpAreIgnored)
{
    host.selected = a;
    menus.ContextRequest(false, {3, 3});
    menus.ContextRequest(true, {});
    EXPECT_TRUE(host.shown.empty());

    host.selected = nullptr;
    menus.ContextRequest(true, {});
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].at, (TvPoint{0, 0}));

    // Requests that reach the control while its menu is up belong to that menu.
    host.whileShown = [&] {
        host.selected = b;
        menus.ContextRequest(false, {9, 9});
        EXPECT_TRUE(menus.KeyDown(VK_APPS));
        menus.RightClick(a, {9, 9});
    };
    menus.RightButton();
    menus.ContextRequest(false, {4, 4});
    EXPECT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.asked.size(), 1u);  // the request that showed the menu, nobody after it
    EXPECT_EQ(menus.MenusShown(), 2);
}

}  // namespace
