#include "foundation/VekAdvClass_wx.h"
#include "foundation/VekBaseClass_wx.h"

#include "tests/support/TempDir.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/display.h>
#include <wx/fdrepdlg.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

using namespace ql;

namespace {

// Runs the event loop until `done` holds or three seconds pass.
bool pumpUntil(const std::function<bool()>& done)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}

struct FrameDeleter {
    void operator()(wxFrame* f) const { f->Destroy(); }
};
using FramePtr = std::unique_ptr<wxFrame, FrameDeleter>;

TEST(VekAdvClassGui, PlacementRoundTripsOnARealFrame)
{
    test::ScopedXdgEnv env;
    FramePtr first(new wxFrame(nullptr, wxID_ANY, "placement", wxPoint(60, 70), wxSize(500, 400)));
    first->Show();
    LoadFormPlacement(kFormPosKey, first.get(), false);
    EXPECT_EQ(first->GetRect(), wxRect(60, 70, 500, 400));  // first run: keeps its designed bounds
    Registry reg;
    EXPECT_EQ(reg.ReadDWord(RegRoot::CurrentUser, kFormPosKey, "Width"), 500u);

    first->SetSize(wxRect(210, 160, 640, 480));
    ASSERT_TRUE(pumpUntil([&] { return first->GetRect() == wxRect(210, 160, 640, 480); }));
    ASSERT_TRUE(SaveFormPlacement(kFormPosKey, first.get()));
    first.reset();

    FramePtr second(new wxFrame(nullptr, wxID_ANY, "placement", wxPoint(10, 10), wxSize(300, 200)));
    second->Show();
    LoadFormPlacement(kFormPosKey, second.get(), false);
    EXPECT_EQ(second->GetRect(), wxRect(210, 160, 640, 480));
    EXPECT_FALSE(second->IsMaximized());

    // Stored far off every display: brought back onto one.
    ASSERT_TRUE(reg.WriteDWord(RegRoot::CurrentUser, kFormPosKey, "Left", 9000));
    ASSERT_TRUE(reg.WriteDWord(RegRoot::CurrentUser, kFormPosKey, "Top", 9000));
    LoadFormPlacement(kFormPosKey, second.get(), false);
    wxRect screen = wxDisplay().GetClientArea();
    EXPECT_TRUE(screen.Contains(second->GetRect())) << second->GetRect().x << "," << second->GetRect().y;

    EXPECT_TRUE(SetTopMost(second.get(), true));
    EXPECT_TRUE(second->HasFlag(wxSTAY_ON_TOP));
    EXPECT_TRUE(SetTopMost(second.get(), false));
    EXPECT_FALSE(second->HasFlag(wxSTAY_ON_TOP));
    EXPECT_FALSE(SetTopMost(nullptr, true));
}

TEST(VekAdvClassGui, FindDialogSearchesForwardInTheTextControl)
{
    FramePtr frame(new wxFrame(nullptr, wxID_ANY, "find"));
    auto* edit = new wxTextCtrl(frame.get(), wxID_ANY, "one two One\ntwone one", wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE);
    frame->Show();
    ShowRichEditFind(edit);
    wxFindReplaceDialog* dialog = RichEditFindDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(FindTarget(), edit);
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_TRUE(dialog->HasFlag(wxFR_NOUPDOWN));

    auto findNext = [&](int flags) {
        wxFindDialogEvent event(wxEVT_FIND_NEXT, dialog->GetId());
        event.SetEventObject(dialog);
        event.SetFindString("one");
        event.SetFlags(wxFR_DOWN | flags);
        dialog->GetEventHandler()->ProcessEvent(event);
        long from = -1, to = -1;
        edit->GetSelection(&from, &to);
        return std::make_pair(from, to);
    };
    EXPECT_EQ(findNext(0), std::make_pair(0L, 3L));
    EXPECT_EQ(findNext(0), std::make_pair(8L, 11L));
    EXPECT_EQ(findNext(wxFR_WHOLEWORD), std::make_pair(18L, 21L));  // skips "twone"
    EXPECT_EQ(findNext(0), std::make_pair(18L, 21L));                // after the last: unchanged
    edit->SetSelection(0, 0);
    EXPECT_EQ(findNext(wxFR_MATCHCASE), std::make_pair(0L, 3L));
    EXPECT_EQ(findNext(wxFR_MATCHCASE), std::make_pair(14L, 17L));  // "One" does not match; "twone" does

    ShowRichEditFind(edit);
    EXPECT_EQ(RichEditFindDialog(), dialog);  // one dialog per process
}

TEST(VekAdvClassGui, SendCtrlCReachesTheFocusedControl)
{
    FramePtr frame(new wxFrame(nullptr, wxID_ANY, "keys", wxPoint(100, 100), wxSize(300, 200)));
    auto* edit = new wxTextCtrl(frame.get(), wxID_ANY, "text");
    std::vector<std::pair<int, bool>> downs;
    edit->Bind(wxEVT_KEY_DOWN, [&](wxKeyEvent& e) {
        downs.emplace_back(e.GetKeyCode(), e.ControlDown());
        e.Skip();
    });
    frame->Show();
    ASSERT_TRUE(pumpUntil([&] { return edit->IsShownOnScreen(); }));
    // Without a window manager the keyboard follows the pointer.
    wxUIActionSimulator().MouseMove(edit->GetScreenRect().GetPosition() + wxPoint(5, 5));
    edit->SetFocus();
    ASSERT_TRUE(pumpUntil([&] { return wxWindow::FindFocus() == edit; }));

    SendCtrlC();
    EXPECT_TRUE(pumpUntil([&] {
        for (auto [code, ctrl] : downs)
            if (code == 'C' && ctrl)
                return true;
        return false;
    }));
    EXPECT_EQ(downs.front().first, WXK_CONTROL);
}

TEST(VekAdvClassGui, IsKeyDownFollowsTheKeyboard)
{
    wxUIActionSimulator keys;
    EXPECT_FALSE(IsKeyDown(WXK_SHIFT));
    keys.KeyDown(WXK_SHIFT);
    EXPECT_TRUE(pumpUntil([] { return IsKeyDown(WXK_SHIFT); }));
    keys.KeyUp(WXK_SHIFT);
    EXPECT_TRUE(pumpUntil([] { return !IsKeyDown(WXK_SHIFT); }));
}

}  // namespace
