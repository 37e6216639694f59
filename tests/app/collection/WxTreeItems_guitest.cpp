// The editor's tree and the zone's tree on a real control: a big collection gives the control
// its top level only, the expand button (clicked, or the Right key) brings the children, and whatever
// picks a node by itself (a selection, a hover expand, a rename) finds it made.
#include "app/collection/TreeMirror_wx.h"
#include "app/collection/TreeText.h"
#include "app/editor/EditorTreeView_wx.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/YieldUntil.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <memory>

namespace ql {
namespace {

using namespace std::chrono_literals;

// 40 topics of 3 clips with 2 selections each.
void Fill(CollectionTree& tree)
{
    std::string text;
    for (int t = 0; t < 40; ++t) {
        text += "Topic " + std::to_string(t) + "\r\n";
        for (int c = 0; c < 3; ++c) {
            text += "\tClip " + std::to_string(t) + "." + std::to_string(c) + "\r\n";
            for (int s = 0; s < 2; ++s)
                text += "\t\tSelection " + std::to_string(t) + "." + std::to_string(c) + "." + std::to_string(s) +
                        "\r\n";
        }
    }
    TextToTree(text, tree);
}

class WxTreeItemsGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.reset(new wxFrame(nullptr, wxID_ANY, "tree", wxPoint(50, 50), wxSize(300, 600)));
        tv = new wxTreeCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                            wxTR_HAS_BUTTONS | wxTR_NO_LINES | wxTR_HIDE_ROOT | wxTR_SINGLE | wxTR_FULL_ROW_HIGHLIGHT);
        tv->SetIndent(19);
        frame->Show();
        // Under a window manager the frame gets its size once the manager has mapped it.
        ASSERT_TRUE(test::YieldUntil([&] { return frame->IsShownOnScreen() && tv->GetClientSize().GetHeight() > 400; },
                                     5000ms));
    }
    void TearDown() override { frame.reset(); }

    std::string Text(const wxTreeItemId& item) const { return tv->GetItemText(item).utf8_string(); }
    // Clicks the item's expand button with the pointer, and waits until it has expanded.
    void ClickButton(const wxTreeItemId& item)
    {
        wxTheApp->ProcessIdle();  // the control lays its items out when idle
        tv->Update();
        ASSERT_TRUE(tv->IsVisible(item));
        wxRect row;
        ASSERT_TRUE(tv->GetBoundingRect(item, row, false));
        const int y = row.y + row.height / 2;
        int x = 0, flags = 0;
        for (; x < row.GetRight(); ++x)
            if (tv->HitTest(wxPoint(x, y), flags) == item && (flags & wxTREE_HITTEST_ONITEMBUTTON))
                break;
        ASSERT_TRUE(flags & wxTREE_HITTEST_ONITEMBUTTON) << "no expand button on " << Text(item);
        wxUIActionSimulator sim;
        sim.MouseMove(tv->ClientToScreen(wxPoint(x, y)));
        sim.MouseClick();
        ASSERT_TRUE(test::YieldUntil([&] { return tv->IsExpanded(item); }, 3000ms)) << Text(item);
    }

    // Selects the item and expands it with the Right key, as a user does from the keyboard.
    void ExpandByKey(const wxTreeItemId& item)
    {
        tv->SelectItem(item);
        tv->SetFocus();
        ASSERT_TRUE(test::YieldUntil([&] { return wxWindow::FindFocus() == tv; }, 3000ms));
        wxUIActionSimulator sim;
        sim.Char(WXK_RIGHT);
        ASSERT_TRUE(test::YieldUntil([&] { return tv->IsExpanded(item); }, 3000ms)) << Text(item);
    }

    test::OwnedFrame<> frame;
    wxTreeCtrl* tv = nullptr;
    CollectionTree tree;
};

TEST_F(WxTreeItemsGui, TheEditorsTreeFillsItsTopLevelAndTheRestWhenNeeded)
{
    tv->AssignImageList(EditorTreeView::MakeImageList());
    EditorTreeView view(tv, tree);
    Fill(tree);
    // Only the topics have items, each with its expand button.
    EXPECT_EQ(tv->GetCount(), 40u);
    const wxTreeItemId first = view.ItemOf(tree.TopLevel(0));
    EXPECT_TRUE(tv->ItemHasChildren(first));
    EXPECT_EQ(tv->GetChildrenCount(first, false), 0u);

    ASSERT_NO_FATAL_FAILURE(ClickButton(first));
    EXPECT_EQ(tv->GetChildrenCount(first, false), 3u);
    wxTreeItemIdValue cookie;
    const wxTreeItemId clip = tv->GetFirstChild(first, cookie);
    ASSERT_TRUE(clip.IsOk());
    EXPECT_EQ(Text(clip), "Clip 0.0");
    EXPECT_TRUE(tv->ItemHasChildren(clip));
    EXPECT_EQ(tv->GetCount(), 43u);

    // A node selected by the program (the stored node at start, a search hit, the next node)
    // shows selected, with the items on its way.
    TreeNode* deep = tree.TopLevel(30)->Child(2)->Child(1);
    tree.Select(deep);
    ASSERT_TRUE(tv->GetSelection().IsOk());
    ASSERT_EQ(view.NodeOf(tv->GetSelection()), deep);
    EXPECT_EQ(Text(tv->GetSelection()), "Selection 30.2.1");
    EXPECT_TRUE(tv->IsVisible(tv->GetSelection()));

    // Changes below a topic without items show once it is expanded; those below shown ones at once.
    TreeNode* later = tree.TopLevel(10);
    tree.AddNode(later, Attach::LastChild, "Added late");
    ASSERT_TRUE(tree.MoveNode(tree.TopLevel(11)->Child(0), tree.TopLevel(0), Attach::LastChild));
    EXPECT_EQ(tv->GetChildrenCount(first, false), 4u);
    tree.SetText(tree.TopLevel(0)->Child(3), "Moved clip");
    EXPECT_EQ(Text(view.ItemOf(tree.TopLevel(0)->Child(3))), "Moved clip");
    const wxTreeItemId laterItem = view.ItemOf(later);
    tv->EnsureVisible(laterItem);
    ASSERT_NO_FATAL_FAILURE(ExpandByKey(laterItem));
    EXPECT_EQ(tv->GetChildrenCount(laterItem, false), 4u);
    EXPECT_EQ(view.NodeOf(tv->GetLastChild(laterItem))->Text(), "Added late");

    // Deleting the selected node's topic leaves no item of it behind: 39 topics and the
    // children of the two expanded ones remain.
    tree.Select(view.NodeOf(tv->GetSelection()));  // what the form does when the user selects
    tree.Select(deep);
    ASSERT_EQ(view.NodeOf(tv->GetSelection()), deep);
    tree.Delete(tree.TopLevel(30));
    EXPECT_FALSE(tv->GetSelection().IsOk());
    EXPECT_EQ(tv->GetCount(), 39u + 4u + 4u);
}

TEST_F(WxTreeItemsGui, TheZonesTreeFillsItsTopLevelAndTheHoveredNodeOnDemand)
{
    SetCollectionTreeImages(tv);
    CollectionTree editor;
    Fill(editor);
    TreeMirror mirror(tree, tv);
    CopyTreeCaptions(editor, tree, editor.TopLevel(25)->Child(1));
    EXPECT_EQ(tv->GetCount(), 40u);
    // The zone selects the copy of the editor's node and puts the focus on it.
    TreeNode* copy = tree.TopLevel(25)->Child(1);
    tree.Select(copy);
    EXPECT_EQ(mirror.NodeOf(tv->GetSelection()), copy);
    // The hover timer expands the node under the cursor.
    const wxTreeItemId item = mirror.ItemOf(copy);
    tv->EnsureVisible(item);
    ASSERT_NO_FATAL_FAILURE(ClickButton(item));
    EXPECT_EQ(tv->GetChildrenCount(item, false), 2u);
    tree.Clear();
    EXPECT_EQ(tv->GetCount(), 0u);
}

}  // namespace
}  // namespace ql
