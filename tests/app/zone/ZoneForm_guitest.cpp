// The drop zone window itself: its picture, expanding at the screen edge, its menu, the
// Options dialog acting on the zone, and Exit from the menu.
#include "app/dialogs/TAboutForm_wx.h"
#include "app/dialogs/TAddUrlPageForm_wx.h"
#include "app/dialogs/TSetForm_wx.h"
#include "app/product/ZoneArtwork_wx.h"
#include "app/zone/TPlinderDragZoneForm_wx.h"
#include "foundation/TrayIcon_wx.h"
#include "foundation/VekCollectClass.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/YieldUntil.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <set>
#include <thread>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/GdkPlacement.h"

namespace ql::test {
namespace {

using namespace std::chrono_literals;

class ZoneFormTest : public ::testing::Test {
protected:
    ScopedXdgEnv xdg;
    TSettings settings;
    int saves = 0;
    OwnedFrame<TPlinderDragZoneForm> zone;

    void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartZone(400, 300)); }
    void TearDown() override { zone.reset(); }
    void StartZone(int savedLeft, int savedTop)
    {
        settings.showDragForm = true;
        settings.DragZoneLeft = savedLeft;
        settings.DragZoneTop = savedTop;
        ZoneFormOptions options;
        options.saveSettings = [this] {
            ++saves;
            return true;
        };
        zone.reset(new TPlinderDragZoneForm(settings, std::move(options)));
        zone->Start();
        ASSERT_TRUE(YieldUntil([&] { return zone->Started(); }, 5s));
    }
    // The window manager has put the zone at `at`, and the toolkit knows it.
    bool PlacedAt(wxPoint at)
    {
        return YieldUntil([&] { return PlacementOf(zone).Agrees(at); }, 5s);
    }
};

TEST_F(ZoneFormTest, GtkFindsTheZoneWhereItIsAtItsSavedPlaceAndAtItsDefaultOne)
{
    // Drops are looked up through the toolkit's copy of the position: a stale one refuses them.
    EXPECT_TRUE(PlacedAt(wxPoint(400, 300))) << PlacementOf(zone);
    zone.reset();
    ASSERT_NO_FATAL_FAILURE(StartZone(0, 0));
    EXPECT_TRUE(PlacedAt(wxPoint(wxGetDisplaySize().x * 3 / 4, 10))) << PlacementOf(zone);
}

TEST_F(ZoneFormTest, ThePictureIsOursAndTheZoneOpensIntoTheTreePanelInsideTheScreen)
{
    wxImage picture = ZonePicture().ConvertToImage();
    ASSERT_EQ(picture.GetWidth(), kZoneImageWidth);
    // Drawn, not blank: more than two colours appear.
    std::set<unsigned> colours;
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            colours.insert(picture.GetRed(x, y) << 16 | picture.GetGreen(x, y) << 8 | picture.GetBlue(x, y));
    EXPECT_GT(colours.size(), 10u);
    EXPECT_FALSE(ProgramTrayIcon().Empty());

    EXPECT_EQ(zone->GetClientSize(), wxSize(kZoneImageWidth, kZoneImageHeight));
    EXPECT_TRUE(PlacedAt(wxPoint(400, 300))) << PlacementOf(zone);
    const wxSize screen = wxGetDisplaySize();
    zone->MoveTo(ZonePoint{screen.x - 50, screen.y - 40});
    ASSERT_TRUE(PlacedAt(wxPoint(screen.x - 50, screen.y - 40))) << PlacementOf(zone);
    zone->Controller().ExpandZone(true);
    EXPECT_EQ(zone->GetClientSize(), wxSize(213, screen.y * 3 / 5));
    EXPECT_TRUE(PlacedAt(wxPoint(screen.x - 213 - 1, screen.y - screen.y * 3 / 5 - 1))) << PlacementOf(zone);
    zone->Controller().ExpandZone(false);
    EXPECT_EQ(zone->GetClientSize(), wxSize(kZoneImageWidth, kZoneImageHeight));
}

TEST_F(ZoneFormTest, TheMenuListsItsCommandsWithoutTheHiddenOnes)
{
    std::vector<std::string> captions;
    for (wxMenuItem* item : zone->Menu()->GetMenuItems())
        captions.push_back(item->IsSeparator() ? "-" : std::string(item->GetItemLabel().utf8_str()));
    EXPECT_EQ(captions, (std::vector<std::string>{"Show/Hide Main Window", "-", "Show/Hide DragZone", "-",
                                                  "Add Clipboard Contents", "Add Empty Homepage",
                                                  "Paste Clipboard Contents", "-", "Options...", "-", "E&xit"}));
}

TEST_F(ZoneFormTest, OptionsOkStoresTheSettingsAndAppliesTheZonesVisibility)
{
    TSetForm* options = zone->SetForm();
    options->Show();  // runs FormShow; OK closes a modal dialog, shown plainly here
    wxTheApp->Yield(true);
    OptionsControls c = options->Controls();
    EXPECT_TRUE(c.CheckDragZone);
    c.CheckDragZone = false;
    c.RG1 = 1;
    options->SetControls(c);
    options->BtnOKClick();
    EXPECT_FALSE(settings.showDragForm);
    EXPECT_FALSE(settings.DragUseHtml);
    // Without a notification area (as under the test's X server) the zone must stay reachable.
    EXPECT_EQ(zone->IsShown(), !TrayAvailable());
    c.CheckDragZone = true;
    options->SetControls(c);
    options->BtnOKClick();
    EXPECT_TRUE(zone->IsShown());

    zone->AboutForm()->FormShow();
    EXPECT_EQ(std::string(zone->AboutForm()->TextWebsite->GetLabel().utf8_str()).rfind("https://", 0), 0u);
}

// The pointer, moved as a user moves it.
void PointerTo(wxPoint at) { wxUIActionSimulator().MouseMove(at); }

TEST_F(ZoneFormTest, ThePicturesHintWaitsForTheHintPause)
{
    const wxPoint picture = zone->ClientToScreen(wxPoint(kZoneImageWidth / 2, kZoneImageHeight / 2));
    PointerTo(picture + wxPoint(0, 200));
    wxTheApp->Yield(true);
    const auto arrived = std::chrono::steady_clock::now();
    PointerTo(picture);
    ASSERT_TRUE(YieldUntil([&] { return zone->HintShowing(); }, 5s));
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - arrived);
    EXPECT_GE(waited.count(), 950);
    EXPECT_LT(waited.count(), 2500);
    PointerTo(picture + wxPoint(0, 200));
    EXPECT_TRUE(YieldUntil([&] { return !zone->HintShowing(); }, 5s));

    // The pause is the whole program's: the Save homepage dialog's buttons wait for it too,
    // their hints no longer the desktop's.
    EXPECT_EQ(ApplicationHintPause(), 1000);
    int buttons = 0;
    for (wxWindow* child : zone->AddUrlPageForm()->GetChildren())
        if (wxDynamicCast(child, wxBitmapButton)) {
            ++buttons;
            EXPECT_FALSE(child->GetToolTip());
        }
    EXPECT_EQ(buttons, 2);
}

TEST_F(ZoneFormTest, TheZoneTreeTracksTheNodeUnderThePointerAndARightClickSelects)
{
    zone->Controller().ExpandZone(true);
    CollectionTree& tree = zone->Controller().ZoneTree();
    TreeNode* first = tree.AddNode(nullptr, Attach::LastSibling, "First");
    TreeNode* second = tree.AddNode(nullptr, Attach::LastSibling, "Second");
    tree.Select(first);
    wxTreeCtrl* control = zone->ZoneTreeCtrl();
    ASSERT_TRUE(YieldUntil([&] { return control->IsShownOnScreen() && control->GetCount() == 2; }, 5s));
    wxTreeItemId item = control->GetFirstChild(control->GetRootItem(), *std::make_unique<wxTreeItemIdValue>());
    item = control->GetNextSibling(item);
    ASSERT_EQ(control->GetItemText(item), "Second");
    wxRect text;
    ASSERT_TRUE(YieldUntil([&] { return control->GetBoundingRect(item, text, true) && text.width > 0; }, 5s));
    const wxPoint on = control->ClientToScreen(text.GetPosition() + wxPoint(text.width / 2, text.height / 2));

    PointerTo(on);
    EXPECT_TRUE(YieldUntil(
        [&] { return control->GetItemFont(item).IsOk() && control->GetItemFont(item).GetUnderlined(); }, 5s));
    wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT);
    EXPECT_TRUE(YieldUntil([&] { return tree.Selected() == second; }, 5s));
    // Off the node, it is drawn as it was.
    PointerTo(control->ClientToScreen(wxPoint(text.GetRight() + 40, text.GetBottom() + 60)));
    EXPECT_TRUE(YieldUntil(
        [&] { return !control->GetItemFont(item).IsOk() || !control->GetItemFont(item).GetUnderlined(); }, 5s));
    EXPECT_FALSE(control->GetToolTip());
    zone->Controller().ExpandZone(false);
}

TEST_F(ZoneFormTest, TheDialogsFontsAndBorders)
{
    TSetForm* options = zone->SetForm();
    // Characters of 11, 12 and 13 pixels at 96 dots per inch.
    EXPECT_DOUBLE_EQ(options->GetFont().GetFractionalPointSize(), 8.25);
    EXPECT_FALSE(options->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(options->HasFlag(wxMINIMIZE_BOX) || options->HasFlag(wxMAXIMIZE_BOX));
    TAboutForm* about = zone->AboutForm();
    EXPECT_DOUBLE_EQ(about->GetFont().GetFractionalPointSize(), 9.0);
    EXPECT_DOUBLE_EQ(about->Title()->GetFont().GetFractionalPointSize(), 9.75);
    EXPECT_EQ(about->Title()->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
}

TEST_F(ZoneFormTest, ExitFromTheMenuRecordsThePlaceSavesAndEnds)
{
    zone->MoveTo(ZonePoint{222, 111});
    // A move is a request to the window manager: the zone is there once it has done it.
    ASSERT_TRUE(PlacedAt(wxPoint(222, 111))) << PlacementOf(zone);
    zone->RunCommand(ZoneCommand::Exit);
    ASSERT_TRUE(YieldUntil([&] { return saves == 1; }, 5s));
    EXPECT_EQ(settings.DragZoneLeft, 222);
    EXPECT_EQ(settings.DragZoneTop, 111);
    EXPECT_TRUE(zone->Controller().Exiting());
    EXPECT_FALSE(zone->IsShown());
    EXPECT_FALSE(zone->HandOverListening());
}

}  // namespace
}  // namespace ql::test
