#include "components/browserhost/Pages_wx.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ScreenGrab.h"

// After the wx headers: Xlib defines macros that clash with them.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace ql;
using ql::test::PumpUntil;

namespace {
constexpr TColor kBrowse = RGBColor(0xE0, 0x50, 0x30);
constexpr TColor kHtml = RGBColor(0x30, 0xA0, 0x40);
constexpr TColor kText = RGBColor(0x40, 0x60, 0xE0);

struct Events {
    std::vector<std::string> log;
    int refuseTab = -1;
};

wxPoint ScreenPoint(TCustomPageControles* pc, const TRect& r)
{
    return pc->ClientToScreen(wxPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

bool Near(const wxImage& image, int x, int y, TColor expected, int tolerance)
{
    auto d = [](int a, int b) { return a > b ? a - b : b - a; };
    return d(image.GetRed(x, y), RedOf(expected)) <= tolerance &&
           d(image.GetGreen(x, y), GreenOf(expected)) <= tolerance &&
           d(image.GetBlue(x, y), BlueOf(expected)) <= tolerance;
}

std::string Hex(const wxImage& image, int x, int y)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02x%02x%02x", image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
    return buf;
}

}  // namespace

using test::Grab;

class PageControlGui : public ::testing::Test {
protected:
    ql::test::ActiveLoop loop;
};

TEST_F(PageControlGui, ColouredTabsSwitchByCodeByClickWithAVetoAndByKeyboard)
{
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "pages", wxPoint(40, 40), wxSize(560, 360)));
    auto* pc = new TPageControles(frame);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(pc, 1, wxEXPAND);
    frame->SetSizer(sizer);
    pc->SetTabFillGradient(true);
    const char* captions[] = {"Browse", "HTML", "Text"};
    const TColor colours[] = {kBrowse, kHtml, kText};
    std::vector<TTabSheetes*> sheets;
    for (int i = 0; i < 3; ++i) {
        auto* sheet = new TTabSheetes(pc, captions[i]);
        sheet->SetTabColor(colours[i]);
        sheet->SetTabFontColor(i == 1 ? clBlack : clWhite);
        sheets.push_back(sheet);
    }
    // The third sheet shows a tiled picture of its own.
    TBitmap checker;
    ASSERT_TRUE(checker.SetSize(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            checker.SetPixel(x, y, ((x / 8 + y / 8) % 2) ? RGBColor(0xF0, 0xE8, 0xC0) : RGBColor(0xC8, 0xD8, 0xF0));
    sheets[2]->SetBitmap(&checker);

    Events ev;
    pc->OnChangingToTab = [&](TCustomPageControles* sender, int tab, bool& allow) {
        EXPECT_EQ(sender, pc);
        ev.log.push_back("to " + std::to_string(tab));
        allow = tab != ev.refuseTab;
    };
    pc->OnChanging = [&](TCustomPageControles*, bool&) { ev.log.push_back("changing"); };
    pc->OnChange = [&](TCustomPageControles*) { ev.log.push_back("change"); };

    frame->Show();
    frame->Raise();
    ASSERT_TRUE(PumpUntil([&] { return pc->IsShownOnScreen() && !pc->TabRect(2).IsEmpty(); }));
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    EXPECT_TRUE(sheets[0]->IsShown());

    // By code: no events at all.
    pc->SetActivePageIndex(2);
    EXPECT_TRUE(ev.log.empty());
    EXPECT_TRUE(sheets[2]->IsShown());
    EXPECT_FALSE(sheets[0]->IsShown());
    const TRect page = pc->PageRect();
    EXPECT_EQ(sheets[2]->GetRect(), wxRect(page.Left, page.Top, page.Width(), page.Height()));

    // A click on "Browse" that the tab veto refuses: OnChanging is never asked.
    wxUIActionSimulator sim;
    ev.refuseTab = 0;
    sim.MouseMove(ScreenPoint(pc, pc->TabRect(0)));
    sim.MouseClick();
    ASSERT_TRUE(PumpUntil([&] { return !ev.log.empty(); }));
    EXPECT_EQ(ev.log, (std::vector<std::string>{"to 0"}));
    EXPECT_EQ(pc->ActivePageIndex(), 2);
    EXPECT_EQ(pc->ClickedTab(), 0);

    // A click on "HTML" goes through the whole chain.
    ev.log.clear();
    ev.refuseTab = -1;
    sim.MouseMove(ScreenPoint(pc, pc->TabRect(1)));
    sim.MouseClick();
    ASSERT_TRUE(PumpUntil([&] { return ev.log.size() >= 3; }));
    EXPECT_EQ(ev.log, (std::vector<std::string>{"to 1", "changing", "change"}));
    EXPECT_EQ(pc->ActivePageIndex(), 1);
    EXPECT_TRUE(sheets[1]->IsShown());
    EXPECT_FALSE(sheets[2]->IsShown());

    // Ctrl+Tab: the veto is told the tab the keyboard leads to, not the last clicked one.
    ev.log.clear();
    sim.Char(WXK_TAB, wxMOD_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return ev.log.size() >= 3; }));
    EXPECT_EQ(ev.log.front(), "to 2");
    EXPECT_EQ(pc->ActivePageIndex(), 2);
    EXPECT_EQ(pc->ClickedTab(), 1);

    // Arrow keys on the focused control step one tab back or forward.
    ev.log.clear();
    sim.Char(WXK_LEFT);
    ASSERT_TRUE(PumpUntil([&] { return ev.log.size() >= 3; }));
    EXPECT_EQ(ev.log.front(), "to 1");
    EXPECT_EQ(pc->ActivePageIndex(), 1);
    ev.log.clear();
    sim.Char(WXK_RIGHT);
    ASSERT_TRUE(PumpUntil([&] { return ev.log.size() >= 3; }));
    EXPECT_EQ(pc->ActivePageIndex(), 2);

    // The picture: "Text" active with its tiled background, between two inactive tabs.
    const wxPoint pcOrigin = pc->GetPosition();
    auto at = [&](int tab, double fx) {
        const TRect r = pc->TabRect(tab);
        return wxPoint(pcOrigin.x + r.Left + int(fx * r.Width()), pcOrigin.y + r.Top + 4);
    };
    const wxPoint activeRight = at(2, 0.9), activeLeft = at(2, 0.1);
    wxImage shot;
    ASSERT_TRUE(PumpUntil([&] {
        shot = Grab(frame);
        return Near(shot, activeRight.x, activeRight.y, kText, 40);
    })) << Hex(shot, activeRight.x, activeRight.y);

    const char* build = std::getenv("QUILLORY_TEST_BUILD");
    const std::filesystem::path dir = (build ? std::filesystem::path(build) : std::filesystem::temp_directory_path()) /
                                      "artifacts";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(shot.SaveFile((dir / "page-control.png").string(), wxBITMAP_TYPE_PNG));

    // The active tab runs from white to its colour, the others from their colour to grey.
    EXPECT_TRUE(Near(shot, activeLeft.x, activeLeft.y, clWhite, 60)) << Hex(shot, activeLeft.x, activeLeft.y);
    const wxPoint browseLeft = at(0, 0.1), htmlRight = at(1, 0.9);
    EXPECT_TRUE(Near(shot, browseLeft.x, browseLeft.y, kBrowse, 40)) << Hex(shot, browseLeft.x, browseLeft.y);
    EXPECT_TRUE(Near(shot, htmlRight.x, htmlRight.y, 0x888888, 40)) << Hex(shot, htmlRight.x, htmlRight.y);
    // Inside the bevels the page shows the picture's tiles.
    const TRect page2 = pc->PageRect();
    const int px = pcOrigin.x + page2.Left + 4, py = pcOrigin.y + page2.Top + 4;
    EXPECT_EQ(Hex(shot, px, py), "c8d8f0");
    EXPECT_EQ(Hex(shot, px + 8, py), "f0e8c0");

    // Tabs down the right side with images: turned captions, pages to the left of the tabs.
    wxImageList images(12, 12);
    wxBitmap dot(12, 12, 24);
    {
        wxMemoryDC dc(dot);
        dc.SetBackground(*wxYELLOW_BRUSH);
        dc.Clear();
    }
    images.Add(dot);
    pc->SetImages(&images);
    for (TTabSheetes* sheet : sheets)
        sheet->SetImageIndex(0);
    pc->SetTabPosition(TTabPosition::tpRight);
    pc->SetMultiLine(true);
    const TRect rightTab = pc->TabRect(1);
    const wxPoint rightCentre(pcOrigin.x + (rightTab.Left + rightTab.Right) / 2, pcOrigin.y + rightTab.Top + 3);
    wxImage side;
    ASSERT_TRUE(PumpUntil([&] {
        side = Grab(frame);  // the inactive side tab's gradient starts in its colour at the top
        return Near(side, rightCentre.x, rightCentre.y, kHtml, 40);
    })) << Hex(side, rightCentre.x, rightCentre.y);
    EXPECT_TRUE(side.SaveFile((dir / "page-control-right.png").string(), wxBITMAP_TYPE_PNG));
    EXPECT_GE(rightTab.Left, pc->PageRect().Right);
    EXPECT_GT(rightTab.Height(), rightTab.Width());  // the caption runs down the tab
    pc->SetImages(nullptr);
    frame.reset();
}

TEST_F(PageControlGui, HiddenTabsAndAnInvisibleBorderLetThePageFillTheControl)
{
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "editor pages", wxPoint(60, 60), wxSize(400, 300)));
    auto* pc = new TPageControles(frame);
    pc->SetHotTrack(true);
    pc->SetMultiLine(true);
    pc->SetBorderInvisible(true);
    std::vector<TTabSheetes*> sheets;
    for (const char* caption : {"Browse", "HTML", "Text"}) {
        auto* sheet = new TTabSheetes(pc, caption);
        sheet->SetTabVisible(false);
        sheets.push_back(sheet);
    }
    int events = 0;
    pc->OnChanging = [&](TCustomPageControles*, bool&) { ++events; };
    pc->OnChange = [&](TCustomPageControles*) { ++events; };
    frame->Show();
    ASSERT_TRUE(PumpUntil([&] { return pc->IsShownOnScreen(); }));

    EXPECT_EQ(pc->TabCount(), 0);
    EXPECT_EQ(pc->TabIndex(), -1);
    pc->SetActivePageIndex(1);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(sheets[1]->IsShown());
    const wxSize size = pc->GetClientSize();
    EXPECT_EQ(sheets[1]->GetRect(), wxRect(wxPoint(0, 0), size));
    pc->SetBorderInvisible(false);
    EXPECT_EQ(sheets[1]->GetRect(), wxRect(4, 4, size.x - 8, size.y - 8));

    // Destroying a sheet, then the control, leaves nothing dangling.
    sheets[1]->Destroy();
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->ActivePageIndex(), 1);
    EXPECT_EQ(pc->ActivePage(), sheets[2]);
    frame.reset();
}
