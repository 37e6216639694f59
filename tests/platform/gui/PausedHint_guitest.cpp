// Hints of a frame's controls and toolbar tools, taken over from the desktop's tool tips, wait
// for the application's hint pause under the real pointer.
#include "platform/gui/PausedHint_wx.h"
#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ToolbarTools.h"
#include "tests/support/YieldUntil.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <chrono>

namespace ql {
namespace {

using namespace std::chrono_literals;
using test::YieldUntil;

TEST(PausedHints, ControlsAndToolsShowTheirHintsAfterTheApplicationsPause)
{
    test::ActiveLoop loop;
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "hints", wxPoint(100, 100), wxSize(400, 300)));
    auto* bar = new wxToolBar(frame, wxID_ANY);
    bar->AddTool(wxID_ANY, "one", wxArtProvider::GetBitmap(wxART_NEW, wxART_TOOLBAR), "First tool");
    const int second =
        bar->AddTool(wxID_ANY, "two", wxArtProvider::GetBitmap(wxART_COPY, wxART_TOOLBAR), "Second tool")->GetId();
    bar->Realize();
    auto* button = new wxButton(frame, wxID_ANY, "Press");
    button->SetToolTip("Presses");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(bar, 0, wxEXPAND);
    sizer->Add(button, 0, wxALL, 20);
    frame->SetSizer(sizer);
    frame->Show();
    // Placed by the window manager, and laid out there for good.
    ASSERT_TRUE(test::PumpUntilSteady([&] { return test::MappedOnScreen(frame) && test::LaidOutAtItsSize(frame); },
                                      300ms, 10s));

    const int before = ApplicationHintPause();
    SetApplicationHintPause(1000);
    PausedHints hints;
    hints.TakeOver(frame);
    // The desktop shows none of them itself any more.
    EXPECT_FALSE(button->GetToolTip());
    GtkToolbar* toolbar = test::GtkToolbarOf(bar);
    ASSERT_TRUE(toolbar);
    GtkToolItem* item = gtk_toolbar_get_nth_item(toolbar, 1);
    ASSERT_TRUE(item);
    EXPECT_FALSE(gtk_widget_get_has_tooltip(gtk_bin_get_child(GTK_BIN(item))));

    const wxPoint away = frame->GetScreenRect().GetBottomRight() + wxPoint(100, 100);
    auto restOn = [&](wxPoint at) {
        wxUIActionSimulator().MouseMove(away);
        YieldUntil([&] { return !hints.Showing(); }, 2s);
        const auto arrived = std::chrono::steady_clock::now();
        wxUIActionSimulator().MouseMove(at);
        if (!YieldUntil([&] { return hints.Showing() != nullptr; }, 5s))
            return std::make_pair(wxString("(none)"), 0L);
        const long waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - arrived).count();
        return std::make_pair(hints.Showing()->ShownText(), waited);
    };
    const auto [onButton, buttonWait] = restOn(button->GetScreenRect().GetPosition() + wxPoint(10, 10));
    EXPECT_EQ(onButton, "Presses");
    EXPECT_GE(buttonWait, 950);
    // The second tool, where the toolkit has it.
    const wxRect secondRect = test::ToolScreenRect(bar, second);
    ASSERT_FALSE(secondRect.IsEmpty());
    const wxPoint onTool = secondRect.GetPosition() + wxPoint(secondRect.width / 2, secondRect.height / 2);
    ASSERT_NE(onTool, wxPoint());
    const auto [onSecond, toolWait] = restOn(onTool);
    EXPECT_EQ(onSecond, "Second tool");
    EXPECT_GE(toolWait, 950);
    // A tool used takes its hint away.
    wxUIActionSimulator().MouseClick();
    EXPECT_TRUE(YieldUntil([&] { return !hints.Showing(); }, 2s));
    wxUIActionSimulator().MouseMove(away);
    SetApplicationHintPause(before);
}

}  // namespace
}  // namespace ql
