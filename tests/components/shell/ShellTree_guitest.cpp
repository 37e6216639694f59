#include "components/shell/ShellTree_wx.h"

#include <chrono>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ShellTestEnv.h"

// After the wx headers: Xlib defines macros that clash with them.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <glib.h>
#include <poll.h>

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

namespace {

// Runs the toolkit's loop (the drag's own loop included) until a condition holds.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        poll(nullptr, 0, 10);
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
    return true;
}

class ShellTreeGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SessionRoot();
        frame.reset(new wxFrame(nullptr, wxID_ANY, "Shell tree", wxPoint(40, 40), wxSize(420, 520), wxBORDER_NONE));
        tree = new TSvCustomShellTree(frame);
        tree->OnError = [this](const std::string& text) { errors.push_back(text); };
        frame->Show();
        ASSERT_TRUE(PumpUntil([&] { return ql::test::MappedOnScreen(frame); }));
    }
    void TearDown() override
    {
        frame.reset();
        PumpUntil([] { return false; }, std::chrono::milliseconds(30));
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    wxTreeItemId Top() const
    {
        wxTreeItemIdValue cookie;
        return tree->GetFirstChild(tree->GetRootItem(), cookie);
    }
    wxTreeItemId Child(const wxTreeItemId& parent, const std::string& caption) const
    {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree->GetFirstChild(parent, cookie); c.IsOk(); c = tree->GetNextChild(parent, cookie))
            if (tree->GetItemText(c).utf8_string() == caption)
                return c;
        return {};
    }
    wxPoint ScreenCentre(const wxTreeItemId& item) const
    {
        wxRect r;
        tree->GetBoundingRect(item, r, true);
        return tree->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
    }
    void ShowRoot(TSvShellTreeOptions options)
    {
        tree->Shell().Options = options;
        tree->Shell().RootFolder.SetPath(dir.path().string());  // refills with svstoAutoFill
        ASSERT_TRUE(Top().IsOk());
        ASSERT_EQ(tree->GetItemText(Top()).utf8_string(), dir.path().filename().string());
    }

    test::TempDir dir;
    test::OwnedFrame<> frame;
    TSvCustomShellTree* tree = nullptr;
    std::vector<std::string> errors;
};

TEST_F(ShellTreeGui, FirstFillExpandAndAFolderMadeOutside)
{
    // Nothing set: the posted first fill shows the desktop.
    ASSERT_TRUE(PumpUntil([&] { return Top().IsOk(); }));
    EXPECT_TRUE(tree->IsExpanded(Top()));

    fs::create_directories(dir.path() / "a/inner");
    fs::create_directories(dir.path() / "b");
    // The custom-draw event chooses a node's look, and the node keeps it.
    tree->Shell().OnCustomDrawSh = [](TSvCustomDraw& cd, TTreeNode, TSvShTreeData* data) {
        if (data && data->Path().ends_with("/b")) {
            TSvFont font = cd.Font();
            font.bold = true;
            cd.SetFont(font);
            cd.SetFontColor(0x0000FF);
        }
    };
    ShowRoot(kDefaultShellTreeOptions);
    EXPECT_EQ(tree->GetItemFont(Child(Top(), "b")).GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(tree->GetItemTextColour(Child(Top(), "b")), *wxRED);
    EXPECT_FALSE(tree->GetItemFont(Child(Top(), "a")).IsOk() &&
                 tree->GetItemFont(Child(Top(), "a")).GetWeight() == wxFONTWEIGHT_BOLD);

    // A link shows its folder's icon with the link mark: an image of its own.
    fs::create_directory_symlink(dir.path() / "b", dir.path() / "link");
    tree->Shell().FillTree();
    const int plain = tree->GetItemImage(Child(Top(), "b"));
    const int linked = tree->GetItemImage(Child(Top(), "link"));
    EXPECT_GE(plain, 0);
    EXPECT_GE(linked, 0);
    EXPECT_NE(linked, plain);
    fs::remove(dir.path() / "link");
    const wxTreeItemId a = Child(Top(), "a");
    ASSERT_TRUE(a.IsOk());
    EXPECT_TRUE(Child(Top(), "b").IsOk());
    EXPECT_TRUE(tree->ItemHasChildren(a));
    EXPECT_EQ(tree->GetChildrenCount(a), 0u);
    tree->Expand(a);
    EXPECT_TRUE(Child(a, "inner").IsOk());

    // A folder made by somebody else shows up after the change notification's delay.
    tree->SetFocus();
    fs::create_directories(dir.path() / "c");
    ASSERT_TRUE(PumpUntil([&] { return Child(Top(), "c").IsOk(); }));
    fs::remove(dir.path() / "a/inner");
    ASSERT_TRUE(PumpUntil([&] { return !Child(a, "inner").IsOk(); }));
}

TEST_F(ShellTreeGui, RenameThroughF2)
{
    fs::create_directories(dir.path() / "before");
    ShowRoot(kDefaultShellTreeOptions);
    const wxTreeItemId item = Child(Top(), "before");
    ASSERT_TRUE(item.IsOk());
    tree->SelectItem(item);
    tree->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == tree; }));

    wxUIActionSimulator sim;
    sim.Char(WXK_F2);
    ASSERT_TRUE(PumpUntil([&] { return tree->GetEditControl() != nullptr; }));
    tree->GetEditControl()->SetValue("after");
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return fs::is_directory(dir.path() / "after"); }));
    ASSERT_TRUE(PumpUntil([&] { return tree->GetItemText(item) == "after"; }));
    EXPECT_FALSE(fs::exists(dir.path() / "before"));
    EXPECT_EQ(tree->Shell().SelectedFolder.GetPath(), (dir.path() / "after").string());

    // The rename's own notification is not followed; the node stays the same.
    PumpUntil([] { return false; }, std::chrono::milliseconds(600));
    EXPECT_EQ(Child(Top(), "after"), item);
}

// A wheel turned over a neighbouring shell tree scrolls that tree, not the focused one.
TEST_F(ShellTreeGui, WheelOverANeighbourScrollsTheNeighbour)
{
    for (int i = 0; i < 80; ++i)
        fs::create_directories(dir.path() / ("f" + std::to_string(100 + i)));
    frame->SetSize(wxSize(420, 300));
    auto* other = new TSvCustomShellTree(frame, wxID_ANY, wxPoint(210, 0), wxSize(200, 280));
    tree->SetSize(0, 0, 200, 280);
    ShowRoot(kDefaultShellTreeOptions);
    other->Shell().Options = kDefaultShellTreeOptions;
    other->Shell().RootFolder.SetPath(dir.path().string());
    ASSERT_TRUE(PumpUntil([&] { return other->GetCount() > 50; }));
    PumpUntil([] { return false; }, std::chrono::milliseconds(50));
    other->Scroll(0, 0);
    tree->Scroll(0, 0);

    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    const wxPoint over = other->GetScreenPosition() + wxPoint(100, 100);
    XTestFakeMotionEvent(dpy, -1, over.x, over.y, CurrentTime);
    XFlush(dpy);
    ASSERT_TRUE(PumpUntil([&] { return wxGetMousePosition() == over; }));
    tree->SetFocus();
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.SetEventObject(tree);
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    wheel.m_linesPerAction = 3;
    tree->GetEventHandler()->ProcessEvent(wheel);
    int x = 0, y = 0;
    ASSERT_TRUE(PumpUntil([&] {
        other->GetViewStart(&x, &y);
        return y > 0;
    }));
    tree->GetViewStart(&x, &y);
    EXPECT_EQ(y, 0);
    XCloseDisplay(dpy);
}

// A drag held near the bottom edge scrolls the tree a line at a time while it can scroll.
TEST_F(ShellTreeGui, DragNearTheBottomEdgeScrolls)
{
    for (int i = 0; i < 60; ++i)
        fs::create_directories(dir.path() / ("f" + std::to_string(100 + i)));
    frame->SetSize(wxSize(300, 240));
    tree->SetSize(0, 0, 300, 240);
    ShowRoot(kDefaultShellTreeOptions);
    tree->Scroll(0, 0);
    PumpUntil([] { return false; }, std::chrono::milliseconds(30));
    const wxSize client = tree->GetClientSize();
    const wxPoint bottom = tree->ClientToScreen(wxPoint(client.x / 2, client.y - 5));
    com::DWORD effect = com::DROPEFFECT_COPY;
    tree->Shell().DragEnter(nullptr, com::MK_LBUTTON, {bottom.x, bottom.y}, &effect);
    int x = 0, y = 0;
    ASSERT_TRUE(PumpUntil([&] {
        effect = com::DROPEFFECT_COPY;
        tree->Shell().DragOver(com::MK_LBUTTON, {bottom.x, bottom.y}, &effect);
        tree->GetViewStart(&x, &y);
        return y >= 2;
    }));
    EXPECT_TRUE(effect & com::DROPEFFECT_SCROLL);
    tree->Shell().DragLeave();
}

// A file dragged from the tree onto a folder of the tree: moved without a modifier, copied
// with Ctrl held.
TEST_F(ShellTreeGui, DragOntoAFolderMovesOrCopiesPerModifier)
{
    fs::create_directories(dir.path() / "into");
    dir.write("moved.txt", "m");
    dir.write("copied.txt", "c");
    ShowRoot(kDefaultShellTreeOptions | svstoShowNonFolders);
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);

    struct Script {
        Display* dpy;
        wxPoint from, to;
        int step = 0;
        bool released = false;
    };
    auto drag = [&](const std::string& name, bool ctrl) {
        const wxTreeItemId item = Child(Top(), name);
        const wxTreeItemId into = Child(Top(), "into");
        ASSERT_TRUE(item.IsOk() && into.IsOk());
        Script script{dpy, ScreenCentre(item), ScreenCentre(into)};
        const KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
        XTestFakeMotionEvent(dpy, -1, script.from.x, script.from.y, CurrentTime);
        XFlush(dpy);
        PumpUntil([] { return false; }, std::chrono::milliseconds(50));
        if (ctrl)
            XTestFakeKeyEvent(dpy, control, True, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XFlush(dpy);
        // The pointer is moved by a timer, which also runs inside the drag's own loop.
        guint timer = g_timeout_add(
            15,
            +[](gpointer p) -> gboolean {
                auto* s = static_cast<Script*>(p);
                ++s->step;
                const int n = 30;
                const int x = s->from.x + (s->to.x - s->from.x) * std::min(s->step, n) / n + s->step % 2;
                const int y = s->from.y + (s->to.y - s->from.y) * std::min(s->step, n) / n;
                XTestFakeMotionEvent(s->dpy, -1, x, y, CurrentTime);
                if (s->step == n + 15) {
                    XTestFakeButtonEvent(s->dpy, 1, False, CurrentTime);
                    s->released = true;
                }
                XFlush(s->dpy);
                return s->step < 300 ? TRUE : FALSE;
            },
            &script);
        const fs::path arrived = dir.path() / "into" / name;
        const bool done = PumpUntil([&] { return script.released && fs::exists(arrived) && !tree->Shell().Dragging(); },
                                    std::chrono::seconds(8));
        g_source_remove(timer);
        if (!script.released)
            XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
        if (ctrl)
            XTestFakeKeyEvent(dpy, control, False, CurrentTime);
        XFlush(dpy);
        EXPECT_TRUE(done) << name;
    };

    drag("moved.txt", false);
    EXPECT_EQ(dir.read("into/moved.txt"), "m");
    EXPECT_FALSE(fs::exists(dir.path() / "moved.txt"));
    EXPECT_TRUE(PumpUntil([&] { return !Child(Top(), "moved.txt").IsOk(); }));  // refreshed after the drop

    drag("copied.txt", true);
    EXPECT_EQ(dir.read("into/copied.txt"), "c");
    EXPECT_EQ(dir.read("copied.txt"), "c");
    XCloseDisplay(dpy);
}

}  // namespace
