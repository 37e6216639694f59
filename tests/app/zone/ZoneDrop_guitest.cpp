// Real X11 drags from another process onto the drop zone, which runs under the window manager
// at its saved or its default place and is never moved by hand first: the zone opens into the
// collection tree, the node under the pointer becomes the target, the status says what a drop
// there does, and the drop reaches the clip intake (a real page session over a temporary
// collection; the editor around it is a fake). The drag source drags as Chromium does.
#include "app/zone/TPlinderDragZoneForm_wx.h"
#include "app/zone/ZoneTargeting.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/app/zone/FakeZone.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/XPointerDrag.h"

#include <wx/treectrl.h>

#include <functional>
#include <utility>
#include <vector>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/GdkPlacement.h"

namespace ql::test {
namespace {

class ZoneDropTest : public SessionFixture, protected XPointerDrag {
protected:
    ScopedXdgEnv xdg;
    OwnedFrame<TPlinderDragZoneForm> zone;
    TreeNode* a = nullptr;
    wxPoint place{600, 300};  // saved; none for the default place

    void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartZone(place)); }
    void StartZone(wxPoint saved)
    {
        ASSERT_NE(display(), nullptr);
        a = AddPage(nullptr, "A", "a", "<html><body>a</body></html>");
        AddPage(a, "B", "b", "<html><body>b</body></html>");
        AddPage(nullptr, "C", "c", "<html><body>c</body></html>");
        tree.Select(a);
        settings.CurrentPageFile = File("a");
        ASSERT_EQ(session->SaveTreeFiles(tree), TreeSave::Saved);
        settings.DragIncludeImage = false;
        settings.showDragForm = true;
        settings.DragZoneLeft = saved.x;
        settings.DragZoneTop = saved.y;
        ZoneFormOptions options;
        options.editorFactory = [this](const ZoneCommandRunner&) {
            return std::make_unique<FakeZoneEditor>(*session, *clips, views);
        };
        options.saveSettings = [] { return true; };
        zone.reset(new TPlinderDragZoneForm(settings, std::move(options)));
        zone->Start();
        ASSERT_TRUE(WaitFor([&] { return zone->Started(); }, 5000));
        // Where the window manager put it, as the toolkit's drop lookup and the X server see it.
        const wxPoint expected = saved == wxPoint(0, 0) ? wxPoint(wxGetDisplaySize().x * 3 / 4, 10) : saved;
        ASSERT_TRUE(WaitFor([&] { return PlacementOf(zone).Agrees(expected); }, 5000)) << PlacementOf(zone);
    }
    void TearDown() override
    {
        Button(false);  // a failed drag must not leave the button down for the next test
        source.reset();
        zone.reset();
        Pump(0);
    }

    // Glides the pointer to (x, y) in steps, with the events handled between.
    void Glide(int& x, int& y, wxPoint to)
    {
        const int fromX = x, fromY = y;
        for (int i = 1; i <= 8; ++i) {
            x = fromX + (to.x - fromX) * i / 8;
            y = fromY + (to.y - fromY) * i / 8;
            MoveTo(x, y);
            Pump(10);
        }
    }

    // One place of a drag: where the pointer goes (asked again on every move, as the tree fills
    // and opens), and what holds once the zone has taken it there.
    struct Stop {
        std::function<wxPoint()> target;
        std::function<bool()> ready;
    };

    // A Chromium selection dragged from the helper onto the zone's picture, where the window
    // manager put the zone, then through `stops`, dropped at the last.
    void DragSelection(const std::vector<Stop>& stops)
    {
        int x = 0, y = 0;
        ASSERT_NO_FATAL_FAILURE(StartDrag("chromium-selection", x, y));
        const wxPoint zoneAt = PlacementOf(zone).server;
        Glide(x, y, zoneAt + wxPoint(15, 15));
        int wiggle = 0;
        ASSERT_TRUE(WaitFor(
            [&] {
                MoveTo(x + (++wiggle % 2), y);
                return zone->Controller().Expanded();
            },
            3000))
            << "the zone did not open";
        for (const Stop& stop : stops) {
            Glide(x, y, stop.target());
            ASSERT_TRUE(WaitFor(
                [&] {
                    const wxPoint t = stop.target();
                    x = t.x + (++wiggle % 2);
                    y = t.y;
                    MoveTo(x, y);
                    return stop.ready();
                },
                4000))
                << "status: " << zone->StatusText();
        }
        Button(false);
        EXPECT_TRUE(WaitFor([&] { return source->Said("end") && !zone->Controller().Expanded(); }, 5000)) << "no drop";
        source.reset();
    }
    void DragSelection(const std::function<wxPoint()>& target, const std::function<bool()>& ready)
    {
        DragSelection({Stop{target, ready}});
    }
    std::function<bool()> StatusIs(const std::string& text)
    {
        return [this, text] { return zone->StatusText() == text; };
    }

    // The label of `caption` in the tree, as shown now (empty while not shown).
    wxRect Row(const std::string& caption)
    {
        wxTreeCtrl* tv = zone->ZoneTreeCtrl();
        wxRect rect;
        for (wxTreeItemId item = tv->GetFirstVisibleItem(); item.IsOk(); item = tv->GetNextVisible(item))
            if (tv->GetItemText(item) == caption && tv->GetBoundingRect(item, rect, true))
                return wxRect(tv->ClientToScreen(rect.GetPosition()), rect.GetSize());
        return {};
    }
    // Into the tree panel while the row is not there yet.
    wxPoint InTree() { return PlacementOf(zone).server + wxPoint(100, 60); }
    wxPoint ItemCentre(const std::string& caption)
    {
        const wxRect r = Row(caption);
        return r.IsEmpty() ? InTree() : wxPoint(r.x + r.width / 2, r.y + r.height / 2);
    }
    // Left of the item's icon (16 pixels and a margin before the label): on its indent.
    wxPoint IndentOf(const std::string& caption)
    {
        const wxRect r = Row(caption);
        return r.IsEmpty() ? InTree() : wxPoint(r.x - 26, r.y + r.height / 2);
    }
    wxPoint BelowTheRows()
    {
        wxTreeCtrl* tv = zone->ZoneTreeCtrl();
        return tv->ClientToScreen(wxPoint(tv->GetClientSize().x / 2, tv->GetClientSize().y - 20));
    }
};

TEST_F(ZoneDropTest, ADropOnANodeMakesAChildPageWithTheFragmentAndItsSourceLine)
{
    DragSelection([&] { return ItemCentre("C"); }, StatusIs("Add ChildNode to \"C\""));
    ASSERT_EQ(tree.Count(), 4u);
    TreeNode* c = tree.NodeAt(2);
    ASSERT_EQ(c->ChildCount(), 1u);
    TreeNode* page = c->Child(0);
    EXPECT_EQ(page->Text(), "Grüße aus dem Test");
    const std::string text = Page(page->PageId());
    EXPECT_EQ(text.rfind("<!-- From: \"http://127.0.0.1:8799\" -->\r\n<base href=\"http://127.0.0.1:8799\">", 0), 0u)
        << text;
    EXPECT_NE(text.find("Grüße aus dem <b>Test</b>"), std::string::npos) << text;
    EXPECT_NE(temp.read("Collection/tvframe").find("C\r\n\tGrüße aus dem Test"), std::string::npos);
}

TEST_F(ZoneDropTest, ADropOnTheSaveInformationBarAppendsToTheOpenPage)
{
    DragSelection(
        [&] {
            wxWindow* bar = zone->SaveInformationBar();
            return bar->GetScreenPosition() + wxPoint(bar->GetSize().x / 2, bar->GetSize().y / 2);
        },
        StatusIs(kAppendStatus));
    EXPECT_EQ(tree.Count(), 3u);
    const std::string text = Page("a");
    EXPECT_NE(text.find("Grüße aus dem <b>Test</b>"), std::string::npos) << text;
    EXPECT_LT(text.find("Test</b>"), text.find("</body>")) << text;
}

TEST_F(ZoneDropTest, AnIndentInsertsBeforeAndBelowTheRowsTheNodePassedLastGetsASibling)
{
    DragSelection([&] { return IndentOf("C"); }, StatusIs("Insert to \"C\""));
    EXPECT_EQ(TreeShape(tree), "A -B Grüße aus dem Test C ");
    // Resting on A opens it; B, passed last, then gets the sibling.
    DragSelection({Stop{[&] { return ItemCentre("A"); }, [&] { return Row("B").height > 0; }},
                   Stop{[&] { return ItemCentre("B"); }, StatusIs("Add ChildNode to \"B\"")},
                   Stop{[&] { return BelowTheRows(); }, StatusIs("Add SiblingNode to \"B\"")}});
    EXPECT_EQ(TreeShape(tree), "A -B -Grüße aus dem Test Grüße aus dem Test C ");
}

// The zone where it goes without a saved place (three quarters across, at the top).
class ZoneDropAtTheDefaultPlaceTest : public ZoneDropTest {
protected:
    void SetUp() override
    {
        place = wxPoint(0, 0);
        ZoneDropTest::SetUp();
    }
};

TEST_F(ZoneDropAtTheDefaultPlaceTest, ADropOnANodeMakesAChildPage)
{
    DragSelection([&] { return ItemCentre("C"); }, StatusIs("Add ChildNode to \"C\""));
    EXPECT_EQ(TreeShape(tree), "A -B C -Grüße aus dem Test ");
}

}  // namespace
}  // namespace ql::test
