#include "components/shell/CustomTreeView_wx.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ScreenGrab.h"  // last: Xlib's macros clash with other headers
#include "tests/support/ShellTestEnv.h"

using namespace ql::shellctl;
using ql::test::PumpUntil;

namespace {

// Counts the menus it would show, and logs the nodes it releases.
class Tree : public TSvCustomTreeView {
public:
    Tree(wxWindow* parent, std::vector<std::string>& released)
        : TSvCustomTreeView(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTR_HAS_BUTTONS | wxTR_HIDE_ROOT),
          released_(released)
    {
    }
    ~Tree() override { DestroyNodes(); }
    std::vector<wxPoint> shown;

protected:
    void ShowMenu(wxMenu&, TvPoint at) override { shown.emplace_back(at.x, at.y); }
    void NodeDeletion(const wxTreeItemId& item) override { released_.push_back(GetItemText(item).utf8_string()); }

private:
    std::vector<std::string>& released_;
};

class CustomTreeViewGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.reset(new wxFrame(nullptr, wxID_ANY, "Tree", wxPoint(40, 40), wxSize(300, 300), wxBORDER_NONE));
        tree = new Tree(frame, released);
        tree->ControlMenu = &menu;
        menu.Append(wxID_ANY, "Entry");
        root = tree->AddRoot("");
        frame->Show();
        ASSERT_TRUE(PumpUntil([&] { return ql::test::MappedOnScreen(tree); }));
    }
    void TearDown() override
    {
        frame.reset();
        PumpUntil([] { return false; }, std::chrono::milliseconds(20));
    }
    wxPoint ScreenCentre(const wxTreeItemId& item) const
    {
        wxRect r;
        tree->GetBoundingRect(item, r, true);
        return tree->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
    }
    void Settle()
    {
        PumpUntil([] { return false; }, std::chrono::milliseconds(150));
    }

    // First: the toolkit reads the user's folders once, when the menu is made, and the shell
    // tests of this process must trash into the session's own.
    const std::filesystem::path& session = ql::test::SessionRoot();
    ql::test::ActiveLoop loop;
    std::vector<std::string> released;
    wxMenu menu;
    ql::test::OwnedFrame<> frame;
    Tree* tree = nullptr;
    wxTreeItemId root;
};

TEST_F(CustomTreeViewGui, OneMenuPerRightClickOrMenuKey)
{
    const wxTreeItemId alpha = tree->AppendItem(root, "alpha");
    const wxTreeItemId beta = tree->AppendItem(root, "beta");
    std::vector<wxTreeItemId> asked;
    tree->OnItemContextMenu = [&](TSvCustomTreeView&, const wxTreeItemId& node, wxPoint&, wxMenu*&) {
        asked.push_back(node);
    };
    int parentRequests = 0;
    frame->Bind(wxEVT_CONTEXT_MENU, [&](wxContextMenuEvent&) { ++parentRequests; });

    // A real right click: the toolkit reports it as a click on the node and as a context
    // request; one menu answers both.
    wxUIActionSimulator sim;
    sim.MouseMove(ScreenCentre(beta));
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(PumpUntil([&] { return !tree->shown.empty(); }));
    Settle();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], beta);
    EXPECT_EQ(tree->shown.size(), 1u);
    EXPECT_EQ(parentRequests, 0);

    // Shift+F10 and the menu key open the selected node's menu at the centre of its text;
    // Ctrl+F10 opens none.
    tree->SelectItem(alpha);
    tree->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return tree->HasFocus(); }));
    sim.Char(WXK_F10, wxMOD_SHIFT);
    ASSERT_TRUE(PumpUntil([&] { return tree->shown.size() == 2; }));
    wxRect text;
    tree->GetBoundingRect(alpha, text, true);
    EXPECT_EQ(tree->shown[1], wxPoint(text.x + text.width / 2, text.y + text.height / 2));
    EXPECT_EQ(asked.back(), alpha);
    sim.Char(WXK_F10, wxMOD_CONTROL);
    sim.Char(WXK_MENU);
    ASSERT_TRUE(PumpUntil([&] { return tree->shown.size() >= 3; }));
    Settle();
    EXPECT_EQ(tree->shown.size(), 3u);
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(parentRequests, 0);
}

TEST_F(CustomTreeViewGui, CustomDrawLookFollowsTheEventsAndTheNodesState)
{
    bool drawing = true;
    std::vector<std::string> hot;
    tree->OnItemCustomDraw = [&](TSvCustomTreeView& t, TSvCustomDraw& cd, const wxTreeItemId& node) {
        const std::uint32_t state = cd.Record()->uItemState;
        if (state & CDIS_HOT)
            hot.push_back(t.GetItemText(node).utf8_string());
        if (!drawing || t.GetItemText(node) != "beta")
            return;
        TSvFont font = cd.Font();
        font.bold = true;
        cd.SetFont(font);
        cd.SetFontColor((state & CDIS_SELECTED) ? 0xFF0000 : 0x0000FF);  // blue when selected, else red
    };
    const wxTreeItemId alpha = tree->AppendItem(root, "alpha");
    const wxTreeItemId beta = tree->AppendItem(root, "beta");
    EXPECT_EQ(tree->GetItemTextColour(beta), *wxRED);
    EXPECT_EQ(tree->GetItemFont(beta).GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_FALSE(tree->GetItemTextColour(alpha).IsOk());
    EXPECT_FALSE(tree->GetItemFont(alpha).IsOk());

    // And the screen shows it: red text on beta's row, none on alpha's.
    wxRect betaRow, alphaRow;
    auto red = [](int r, int g, int b) { return r > 150 && g < 80 && b < 80; };
    wxImage shot;
    EXPECT_TRUE(PumpUntil([&] {
        // The rows have their sizes once the tree has laid them out.
        tree->GetBoundingRect(beta, betaRow, true);
        tree->GetBoundingRect(alpha, alphaRow, true);
        shot = ql::test::Grab(tree);
        return ql::test::AnyPixel(shot, betaRow, red);
    }));
    EXPECT_FALSE(ql::test::AnyPixel(shot, alphaRow, red));
    EXPECT_TRUE(ql::test::SaveArtifact(shot, "custom-tree-view.png"));

    // The node's own colour stays where the events change nothing.
    tree->SetItemTextColour(alpha, *wxLIGHT_GREY);
    EXPECT_EQ(tree->GetItemTextColour(alpha), *wxLIGHT_GREY);

    // Selection draws again.
    tree->SelectItem(beta);
    EXPECT_EQ(tree->GetItemTextColour(beta), *wxBLUE);
    tree->SelectItem(alpha);
    EXPECT_EQ(tree->GetItemTextColour(beta), *wxRED);
    EXPECT_EQ(tree->GetItemTextColour(alpha), *wxLIGHT_GREY);

    // The node's chosen font follows the control's.
    wxFont larger = tree->GetFont();
    larger.SetPointSize(larger.GetPointSize() + 6);
    tree->SetFont(larger);
    EXPECT_EQ(tree->GetItemFont(beta).GetPointSize(), larger.GetPointSize());
    EXPECT_EQ(tree->GetItemFont(beta).GetWeight(), wxFONTWEIGHT_BOLD);

    // A change of the node draws it again: the events now leave it alone.
    drawing = false;
    tree->SetItemText(beta, "beta");
    EXPECT_FALSE(tree->GetItemTextColour(beta).IsOk());
    EXPECT_FALSE(tree->GetItemFont(beta).IsOk() && tree->GetItemFont(beta).GetWeight() == wxFONTWEIGHT_BOLD);

    // The node under the mouse is drawn hot.
    wxUIActionSimulator sim;
    sim.MouseMove(ScreenCentre(alpha));
    EXPECT_TRUE(PumpUntil([&] { return !hot.empty(); }));
    EXPECT_EQ(hot.front(), "alpha");
    tree->OnItemCustomDraw = nullptr;  // its state goes with this test
}

TEST_F(CustomTreeViewGui, NodesAreReleasedOnceEachChildrenFirst)
{
    const wxTreeItemId a = tree->AppendItem(root, "a");
    const wxTreeItemId a1 = tree->AppendItem(a, "a1");
    tree->AppendItem(a1, "a1x");
    tree->AppendItem(a, "a2");
    const wxTreeItemId b = tree->AppendItem(root, "b");
    tree->AppendItem(b, "b1");
    const wxTreeItemId c = tree->AppendItem(root, "c");
    tree->AppendItem(c, "c1");
    tree->AppendItem(root, "d");

    tree->Delete(a);
    EXPECT_EQ(released, (std::vector<std::string>{"a1x", "a1", "a2", "a"}));
    released.clear();
    tree->DeleteChildren(b);
    EXPECT_EQ(released, (std::vector<std::string>{"b1"}));
    released.clear();

    // Going with its window: every node left, the hidden root last.
    tree->Destroy();
    EXPECT_EQ(released, (std::vector<std::string>{"b", "c1", "c", "d", ""}));
}

}  // namespace
