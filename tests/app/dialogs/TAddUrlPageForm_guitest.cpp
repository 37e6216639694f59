// The Save homepage dialog on a real drop zone: a clip handed over through the zone's socket
// opens it, and saving under the chosen node writes the page and the tree files.
#include "app/dialogs/TAddUrlPageForm_wx.h"
#include "app/zone/TPlinderDragZoneForm_wx.h"
#include "platform/core/CopyDataTransport.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/app/zone/FakeZone.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/YieldUntil.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/treectrl.h>

#include <wx/display.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtk/gtk.h>

namespace ql::test {
namespace {

using namespace std::chrono_literals;

class SaveHomepageGuiTest : public SessionFixture {
protected:
    ScopedXdgEnv xdg;
    OwnedFrame<TPlinderDragZoneForm> zone;
    FakeZoneEditor* editor = nullptr;

    void SetUp() override
    {
        TreeNode* a = AddPage(nullptr, "A", "a", "<html><body>a</body></html>");
        AddPage(a, "B", "b", "<html><body>b</body></html>");
        AddPage(nullptr, "C", "c", "<html><body>c</body></html>");
        ASSERT_EQ(session->SaveTreeFiles(tree), TreeSave::Saved);
        settings.showDragForm = true;
        settings.imagechecked = false;
        ZoneFormOptions options;
        options.editorFactory = [this](const ZoneCommandRunner&) {
            auto e = std::make_unique<FakeZoneEditor>(*session, *clips, views);
            editor = e.get();
            return std::unique_ptr<ZoneEditor>(std::move(e));
        };
        options.saveSettings = [] { return true; };
        zone.reset(new TPlinderDragZoneForm(settings, std::move(options)));
        zone->Start();
        ASSERT_TRUE(zone->HandOverListening()) << zone->HandOverError();
    }
    void TearDown() override { zone.reset(); }
};

TEST_F(SaveHomepageGuiTest, AHandedOverClipIsSavedUnderTheChosenNodeWithItsSourceLine)
{
    temp.write("clip.html", "<p>captured</p>");
    std::atomic<bool> sent{false};
    CopyDataResult result = CopyDataResult::Failed;
    std::thread sender([&] {
        result = SendCopyDataMessage(
            kZoneWindowClass,
            CopyDataMessage::FromText(temp.dir() + "clip.html\r\nhttp://site/a b\"c\r\nCaptured", 0, 0));
        sent = true;
    });

    bool saved = false, dialogSeen = false, saveEnabledAtOpen = false;
    std::string titleShown, urlShown;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        TAddUrlPageForm* dialog = zone->AddUrlPageForm();
        if (saved || !dialog->IsModal() || !dialog->Logic())
            return;
        dialogSeen = true;
        titleShown = std::string(dialog->TitleEdit->GetValue().utf8_str());
        urlShown = std::string(dialog->UrlEdit->GetValue().utf8_str());
        saveEnabledAtOpen = dialog->Button1->IsEnabled();
        // The user picks "C" and renames the page.
        CollectionTree& choices = dialog->Logic()->Tree();
        choices.Select(choices.NodeAt(2));
        dialog->TitleEdit->SetValue("My page");
        wxCommandEvent click(wxEVT_BUTTON, dialog->Button1->GetId());
        click.SetEventObject(dialog->Button1);
        dialog->Button1->ProcessWindowEvent(click);
        saved = true;
    });
    poll.Start(20);
    ASSERT_TRUE(YieldUntil([&] { return saved && sent.load(); }, 10s));
    poll.Stop();
    sender.join();

    EXPECT_EQ(result, CopyDataResult::Delivered);
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(titleShown, "Captured");
    EXPECT_EQ(urlShown, "http://site/a b\"c");
    EXPECT_TRUE(saveEnabledAtOpen);
    EXPECT_FALSE(zone->AddUrlPageForm()->IsModal());
    ASSERT_EQ(tree.Count(), 4u);
    TreeNode* page = tree.NodeAt(3);
    EXPECT_EQ(page->Text(), "My page");
    EXPECT_EQ(page->Parent(), tree.NodeAt(2));
    const std::string text = Page(page->PageId());
    EXPECT_EQ(text.rfind("<!-- From: \"http://site/a b%22c\" -->\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("<base href=\"http://site/a b%22c\">\r\n<p>captured</p>"), std::string::npos) << text;
    const std::string tvframe = temp.read("Collection/tvframe");
    EXPECT_NE(tvframe.find("C\r\n\tMy page"), std::string::npos) << tvframe;
    EXPECT_NE(temp.read("Collection/tvdata").find(page->PageId()), std::string::npos);
}

TEST_F(SaveHomepageGuiTest, TheDialogOpensInTheMiddleOfTheScreen)
{
    temp.write("clip.html", "<p>captured</p>");
    TAddUrlPageForm* dialog = zone->AddUrlPageForm();
    bool framed = false;  // the window manager has framed it and GTK has seen it mapped
    g_signal_connect(dialog->GetHandle(), "map-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer p) {
                         *static_cast<bool*>(p) = true;
                         return FALSE;
                     }),
                     &framed);
    std::thread sender([&] {
        SendCopyDataMessage(kZoneWindowClass,
                            CopyDataMessage::FromText(temp.dir() + "clip.html\r\nhttp://site/\r\nT", 0, 0));
    });
    const wxRect area = wxDisplay(0u).GetClientArea();
    GdkRectangle frame{};
    auto centred = [&] {
        if (!framed)
            return false;
        // The window manager's frame around it, as the X server has it.
        gdk_window_get_frame_extents(gtk_widget_get_window(dialog->GetHandle()), &frame);
        return std::abs(frame.x + frame.width / 2 - (area.x + area.width / 2)) <= 1 &&
               std::abs(frame.y + frame.height / 2 - (area.y + area.height / 2)) <= 1;
    };
    bool closed = false, wasCentred = false;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (closed || !dialog->IsModal() || !framed)
            return;
        // Where the manager put it once it settled (a few moves at most).
        if (!(wasCentred = centred()) && !YieldUntil(centred, 2s))
            wasCentred = false;
        else
            wasCentred = true;
        wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
        cancel.SetEventObject(dialog->Button2);
        dialog->Button2->ProcessWindowEvent(cancel);
        closed = true;
    });
    poll.Start(20);
    EXPECT_TRUE(YieldUntil([&] { return closed; }, 10s));
    poll.Stop();
    sender.join();
    EXPECT_TRUE(wasCentred) << "frame at " << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height
                            << " on " << area.width << "x" << area.height;
}

TEST_F(SaveHomepageGuiTest, CancelAfterNewNodesLeavesTheCollectionAsItWas)
{
    const std::string tvframe = temp.read("Collection/tvframe");
    zone->Controller().EnsureEditorForm();
    ASSERT_TRUE(editor);
    // A dialog of its own, whose input box is the test's.
    auto* dialog = new TAddUrlPageForm(zone, dialogs);
    dialog->Prepare(ClipHandOver{"", "u", "t", "x"}, editor->Session(), editor->Clips());
    dialogs.input = "Extra";
    dialog->Logic()->SpeedButton1Click();
    EXPECT_EQ(dialog->TV2->GetCount(), 4u);
    dialog->Logic()->Tree().Select(nullptr);
    wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
    cancel.SetEventObject(dialog->Button2);
    dialog->Button2->ProcessWindowEvent(cancel);
    EXPECT_EQ(dialog->Logic(), nullptr);
    EXPECT_EQ(temp.read("Collection/tvframe"), tvframe);
    EXPECT_EQ(tree.Count(), 3u);
}

}  // namespace
}  // namespace ql::test
