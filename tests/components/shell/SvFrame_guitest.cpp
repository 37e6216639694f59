#include "components/shell/SvFrame_wx.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dc.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "components/shell/SvSplitter_wx.h"
#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ScreenGrab.h"  // last: Xlib's macros clash with other headers

using namespace ql::shellctl;
using ql::test::Grab;
using ql::test::PumpUntil;

namespace {

wxColour PixelAt(const wxImage& image, wxPoint p)
{
    return wxColour(image.GetRed(p.x, p.y), image.GetGreen(p.x, p.y), image.GetBlue(p.x, p.y));
}

// The X server may round a colour by one step.
bool Near(const wxColour& a, const wxColour& b)
{
    return std::abs(a.Red() - b.Red()) <= 2 && std::abs(a.Green() - b.Green()) <= 2 &&
           std::abs(a.Blue() - b.Blue()) <= 2;
}

struct FramedForm {
    ql::test::OwnedFrame<> frame;
    std::vector<TSvGroup*> groups;
    std::vector<wxWindow*> fillers;  // one sizer-managed child per group
};

void MakeForm(FramedForm& form)
{
    form.frame.reset(new wxFrame(nullptr, wxID_ANY, "Frames", wxPoint(20, 20), wxSize(720, 420)));
    auto* grid = new wxGridSizer(4, 3, 8, 8);
    for (const TSvFrameStyleInfo& info : kFrameStyles) {
        auto* group = new TSvGroup(form.frame, wxID_ANY, info.name);
        group->SetFrameStyle(info.style);
        group->SetBackgroundColour(wxColour(0xE8, 0xE8, 0xD0));
        auto* inner = new wxBoxSizer(wxVERTICAL);
        auto* filler = new wxWindow(group, wxID_ANY);
        filler->SetBackgroundColour(*wxWHITE);
        filler->SetMinSize(wxSize(-1, 16));
        inner->AddStretchSpacer(1);  // leaves room for the caption drawn in the middle of the client area
        inner->Add(filler, 0, wxEXPAND);
        group->SetSizer(inner);
        grid->Add(group, 1, wxEXPAND);
        form.groups.push_back(group);
        form.fillers.push_back(filler);
    }
    form.frame->SetSizer(grid);
    form.frame->Show();
    form.frame->Layout();
}

class FramedGroupGui : public ::testing::Test {
protected:
    ql::test::ActiveLoop loop;
};

// Children laid out by a sizer, and children placed by hand, sit in the client area and never
// on the frame: every style's frame widths hold on the screen.
TEST_F(FramedGroupGui, ChildrenStayInsideTheFramePerStyle)
{
    FramedForm form;
    MakeForm(form);
    // Under a window manager the toolkit lays the children out once the manager has placed the
    // frame, and again when its late answers come: wait until every filler keeps its place beside
    // its group's left edge.
    auto laidOut = [&] {
        for (std::size_t i = 0; i < form.groups.size(); ++i)
            if (form.fillers[i]->GetScreenPosition().x - form.groups[i]->GetScreenPosition().x !=
                form.groups[i]->Insets().Left)
                return false;
        return form.fillers.back()->GetSize().x > 10;
    };
    ASSERT_TRUE(ql::test::PumpUntilSteady(
        [&] { return ql::test::MappedOnScreen(form.frame) && ql::test::LaidOutAtItsSize(form.frame) && laidOut(); },
        std::chrono::milliseconds(300)));

    int captionHeight = 0, w = 0;
    form.groups[svfsGroup]->GetTextExtent("0", &w, &captionHeight);
    ASSERT_GT(captionHeight, 2);
    for (std::size_t i = 0; i < form.groups.size(); ++i) {
        TSvGroup* group = form.groups[i];
        const TFrameInsets in = group->Insets();
        EXPECT_EQ(in, FrameInsets(TSvFrameStyle(i), captionHeight)) << kFrameStyles[i].name;
        const wxPoint g = group->GetScreenPosition();
        const wxPoint c = form.fillers[i]->GetScreenPosition();
        EXPECT_EQ(c.x - g.x, in.Left) << kFrameStyles[i].name;
        EXPECT_EQ(c.y - g.y, group->GetSize().y - in.Bottom - 16) << kFrameStyles[i].name;
        EXPECT_EQ(form.fillers[i]->GetSize().x, group->GetSize().x - in.Left - in.Right) << kFrameStyles[i].name;
        EXPECT_EQ(group->GetClientSize(), group->GetSize() - wxSize(in.Left + in.Right, in.Top + in.Bottom))
            << kFrameStyles[i].name;
    }

    TSvGroup* lowered = form.groups[svfsLowered];

    // The picture: every style's frame as drawn, saved with the test's artifacts.
    wxImage shot;
    const wxPoint frameOrigin = form.frame->ClientToScreen(wxPoint(0, 0));
    const wxPoint loweredCorner = lowered->GetScreenPosition() - frameOrigin;
    const wxPoint loweredFar = loweredCorner + wxPoint(lowered->GetSize().x - 1, lowered->GetSize().y - 1);
    const wxColour shadow = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    const bool drawn = PumpUntil([&] {
        shot = Grab(form.frame);
        return Near(PixelAt(shot, loweredCorner), shadow) && Near(PixelAt(shot, loweredFar), light);
    });
    const char* build = std::getenv("QUILLORY_TEST_BUILD");
    const std::filesystem::path dir = (build ? std::filesystem::path(build) : std::filesystem::temp_directory_path()) /
                                      "artifacts";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(shot.SaveFile((dir / "frame-styles.png").string(), wxBITMAP_TYPE_PNG));
    ASSERT_TRUE(drawn) << PixelAt(shot, loweredCorner).GetAsString(wxC2S_HTML_SYNTAX) << " "
                       << PixelAt(shot, loweredFar).GetAsString(wxC2S_HTML_SYNTAX) << " expected "
                       << shadow.GetAsString(wxC2S_HTML_SYNTAX) << " " << light.GetAsString(wxC2S_HTML_SYNTAX);
    // The client area of the framed-less style starts at the group's very corner.
    TSvGroup* none = form.groups[svfsNone];
    EXPECT_EQ(PixelAt(shot, form.fillers[svfsNone]->GetScreenPosition() - frameOrigin), *wxWHITE);
    EXPECT_EQ(form.fillers[svfsNone]->GetScreenPosition().x, none->GetScreenPosition().x);
}

TEST_F(FramedGroupGui, CaptionEnablingAndStyleChanges)
{
    ql::test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "Group", wxPoint(40, 40), wxSize(300, 200)));
    auto* panel = new wxPanel(frame);
    auto* group = new TSvGroup(panel, wxID_ANY, "", wxPoint(10, 10), wxSize(200, 120));
    auto* child = new wxWindow(group, wxID_ANY, wxPoint(5, 5), wxSize(20, 20));
    frame->Show();
    ASSERT_TRUE(PumpUntil([&] { return ql::test::MappedOnScreen(frame); }));

    // Without caption the group frame is 2 pixels wide on all sides; a caption grows its top
    // at once, and the child placed by hand moves with the client area.
    EXPECT_EQ(group->Insets(), (TFrameInsets{2, 2, 2, 2}));
    EXPECT_EQ(group->GetClientSize(), wxSize(196, 116));
    group->SetLabel("Caption");
    EXPECT_EQ(group->GetLabel(), "Caption");
    int h = 0, w = 0;
    group->GetTextExtent("0", &w, &h);
    EXPECT_EQ(group->Insets().Top, h);
    EXPECT_EQ(group->GetClientSize(), wxSize(196, 118 - h));
    // Under a window manager the toolkit lays the children out once the manager has answered.
    auto childAt = [&](wxPoint expected) {
        return PumpUntil([&] { return child->GetScreenPosition() - group->GetScreenPosition() == expected; });
    };
    EXPECT_TRUE(childAt(wxPoint(5, 5 + h - 2)));

    // Disabling the group disables its children, and enabling enables them again.
    group->Enable(false);
    EXPECT_FALSE(child->IsThisEnabled());
    group->Enable(true);
    EXPECT_TRUE(child->IsThisEnabled());

    // Another style moves the client area; svfsNone gives the whole window to it.
    group->SetFrameStyle(svfsNone);
    EXPECT_EQ(group->GetClientSize(), group->GetSize());
    EXPECT_TRUE(childAt(wxPoint(3, 3)));
    group->SetFrameStyle(svfsVertEdge);
    EXPECT_TRUE(childAt(wxPoint(5, 3)));
    EXPECT_EQ(group->GetClientSize(), wxSize(196, 120));

    // OnPaint draws in client coordinates.
    bool painted = false;
    wxPoint origin(-1, -1);
    group->OnPaint = [&](TSvCustomGroup&, wxDC& dc) {
        painted = true;
        origin = wxPoint(dc.LogicalToDeviceX(0), dc.LogicalToDeviceY(0));
    };
    group->Refresh();
    ASSERT_TRUE(PumpUntil([&] { return painted; }));
    EXPECT_EQ(origin, wxPoint(2, 0));
}

TEST_F(FramedGroupGui, PaneStartsLoweredAndIsRegistered)
{
    ql::test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "Pane"));
    auto* pane = new TSvPane(frame);
    EXPECT_EQ(pane->FrameStyle(), svfsLowered);
    EXPECT_EQ(pane->MinSize, 20);
    EXPECT_EQ(pane->Insets(), (TFrameInsets{2, 2, 2, 2}));
    EXPECT_EQ(pane->GetSize(), wxSize(64, 48));

    wxObject* made = wxCreateDynamicObject("TSvPane");
    ASSERT_NE(made, nullptr);
    auto* dynamicPane = dynamic_cast<TSvPane*>(made);
    ASSERT_NE(dynamicPane, nullptr);
    ASSERT_TRUE(dynamicPane->Create(frame));
    EXPECT_EQ(dynamicPane->FrameStyle(), svfsLowered);
}

}  // namespace
