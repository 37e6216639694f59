// Real X11 drags from another process onto the drop zone: the zone opens into the collection
// tree, the node under the pointer becomes the target, and the drop reaches the clip core (a
// real page session over a temporary collection; the editor around it is a fake).
#include "app/zone/TPlinderDragZoneForm_wx.h"
#include "app/zone/ZoneTargeting.h"
#include "tests/app/collection/SessionFixture.h"
#include "tests/app/zone/FakeZone.h"
#include "tests/support/XPointerDrag.h"

#include <wx/treectrl.h>

#include <functional>

namespace ql::test {
namespace {

class ZoneDropTest : public SessionFixture, protected XPointerDrag {
protected:
    static constexpr int kZoneX = 600, kZoneY = 300;
    ScopedXdgEnv xdg;
    TPlinderDragZoneForm* zone = nullptr;
    TreeNode* a = nullptr;

    void SetUp() override
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
        settings.DragZoneLeft = kZoneX;
        settings.DragZoneTop = kZoneY;
        ZoneFormOptions options;
        options.editorFactory = [this](const ZoneCommandRunner&) { return std::make_unique<FakeZoneEditor>(*session, *clips, views); };
        options.saveSettings = [] { return true; };
        zone = new TPlinderDragZoneForm(settings, std::move(options));
        zone->Start();
        ASSERT_TRUE(WaitFor([&] { return zone->IsShownOnScreen(); }, 5000));
    }
    void TearDown() override
    {
        Button(false);  // a failed drag must not leave the button down for the next test
        source.reset();
        if (zone)
            zone->Destroy();
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

    // A Chromium selection dragged from the helper to `target()` (asked again once the zone
    // has opened), waiting there until `ready` holds, then dropped.
    void DragSelection(const std::function<wxPoint()>& target, const std::function<bool()>& ready)
    {
        int x = 0, y = 0;
        ASSERT_NO_FATAL_FAILURE(StartDrag("chromium-selection", x, y));
        // Over the picture first: the zone opens.
        Glide(x, y, wxPoint(kZoneX + 15, kZoneY + 15));
        int wiggle = 0;
        ASSERT_TRUE(WaitFor([&] {
            MoveTo(x + (++wiggle % 2), y);
            return zone->Controller().Expanded();
        }, 3000)) << "the zone did not open";
        Glide(x, y, target());
        // The tree fills at the next move: the target is looked up again on every one.
        ASSERT_TRUE(WaitFor([&] {
            const wxPoint t = target();
            x = t.x + (++wiggle % 2);
            y = t.y;
            MoveTo(x, y);
            return ready();
        }, 3000)) << "status: " << zone->StatusText();
        Button(false);
        EXPECT_TRUE(WaitFor([&] { return source->Said("end") && !zone->Controller().Expanded(); }, 5000)) << "no drop";
        source.reset();
    }

    wxPoint ItemCentre(const std::string& caption)
    {
        wxTreeCtrl* tv = zone->ZoneTreeCtrl();
        wxTreeItemIdValue cookie;
        for (wxTreeItemId item = tv->GetFirstChild(tv->GetRootItem(), cookie); item.IsOk();
             item = tv->GetNextChild(tv->GetRootItem(), cookie)) {
            wxRect rect;
            if (tv->GetItemText(item) == caption && tv->GetBoundingRect(item, rect, true))
                return tv->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
        }
        return wxPoint(kZoneX + 100, kZoneY + 60);  // not there yet: into the tree panel
    }
};

TEST_F(ZoneDropTest, ADropOnANodeMakesAChildPageWithTheFragmentAndItsSourceLine)
{
    DragSelection([&] { return ItemCentre("C"); },
                  [&] { return zone->StatusText() == "Add ChildNode to \"C\""; });
    ASSERT_EQ(tree.Count(), 4u);
    TreeNode* c = tree.NodeAt(2);
    ASSERT_EQ(c->ChildCount(), 1u);
    TreeNode* page = c->Child(0);
    EXPECT_EQ(page->Text(), "Grüße aus dem Test");
    const std::string text = Page(page->PageId());
    EXPECT_EQ(text.rfind("<!-- From: \"http://127.0.0.1:8799\" -->\r\n<base href=\"http://127.0.0.1:8799\">", 0), 0u) << text;
    EXPECT_NE(text.find("Grüße aus dem <b>Test</b>"), std::string::npos) << text;
    EXPECT_NE(temp.read("Collection/tvframe").find("C\r\n\tGrüße aus dem Test"), std::string::npos);
}

TEST_F(ZoneDropTest, ADropOnTheSaveInformationBarAppendsToTheOpenPage)
{
    DragSelection([&] {
                      wxWindow* bar = zone->SaveInformationBar();
                      return bar->GetScreenPosition() + wxPoint(bar->GetSize().x / 2, bar->GetSize().y / 2);
                  },
                  [&] { return zone->StatusText() == kAppendStatus; });
    EXPECT_EQ(tree.Count(), 3u);
    const std::string text = Page("a");
    EXPECT_NE(text.find("Grüße aus dem <b>Test</b>"), std::string::npos) << text;
    EXPECT_LT(text.find("Test</b>"), text.find("</body>")) << text;
}

}  // namespace
}  // namespace ql::test
