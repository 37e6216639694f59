#include "components/browserhost/PanelStatusBar_wx.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include <gtk/gtk.h>

#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"

using namespace ql;
using ql::test::PumpUntil;

TEST(PanelStatusBarGui, ChildControlsShowOnTheBarAndMoveWithIt)
{
    ql::test::ActiveLoop loop;
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "status", wxPoint(80, 80), wxSize(420, 260)));
    auto* bar = new TPanelStatusBar(frame);
    frame->SetStatusBar(bar);
    const int widths[] = {50};
    bar->SetFieldsCount(1, widths);
    bar->SetStatusText("ready", 0);
    auto* gauge = new wxGauge(bar, wxID_ANY, 100, wxPoint(60, 2), wxSize(90, 12));
    // A control made elsewhere and moved onto the bar.
    auto* label = new wxStaticText(frame, wxID_ANY, "moved", wxPoint(10, 10));
    label->Reparent(bar);
    label->Move(170, 2);
    bool framed = false;  // mapped, so framed by the window manager (which moves and sizes it)
    g_signal_connect(frame->GetHandle(), "map-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer p) {
                         *static_cast<bool*>(p) = true;
                         return FALSE;
                     }),
                     &framed);
    frame->Show();
    ASSERT_TRUE(PumpUntil([&] { return framed && gauge->IsShownOnScreen() && label->IsShownOnScreen(); }));
    // Once framed, a size is the framed window's; the bar sits at the bottom of the client area.
    auto barSettled = [&](const wxSize& size) {
        return frame->GetSize() == size &&
               bar->GetScreenPosition().y == frame->ClientToScreen(wxPoint(0, 0)).y + frame->GetClientSize().y;
    };
    frame->SetSize(420, 260);
    ASSERT_TRUE(PumpUntil([&] { return barSettled(wxSize(420, 260)); }));

    const wxPoint barBefore = bar->GetScreenPosition();
    EXPECT_EQ(gauge->GetScreenPosition() - barBefore, wxPoint(60, 2));
    frame->SetSize(520, 380);
    ASSERT_TRUE(PumpUntil([&] { return barSettled(wxSize(520, 380)) && bar->GetScreenPosition() != barBefore; }));
    const wxPoint barAfter = bar->GetScreenPosition();
    EXPECT_EQ(barAfter.y - barBefore.y, 120);
    EXPECT_EQ(gauge->GetPosition(), wxPoint(60, 2));
    EXPECT_EQ(gauge->GetScreenPosition() - barAfter, wxPoint(60, 2));
    EXPECT_EQ(label->GetScreenPosition() - barAfter, wxPoint(170, 2));
    EXPECT_TRUE(gauge->IsShownOnScreen());
    EXPECT_EQ(bar->GetStatusText(0), "ready");
    frame.reset();
}
