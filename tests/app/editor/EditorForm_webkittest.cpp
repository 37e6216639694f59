// The editor window on a temporary collection of three pages: views, saving, renaming, moving
// nodes, a clip dragged from another program onto the tree, and the time a large page takes.
#include "app/editor/EditorForm_wx.h"

#include "app/collection/PageId.h"
#include "components/browserhost/Pages_wx.h"
#include "components/browserhost/WebHost_wx.h"
#include "components/shell/ShellList_wx.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "platform/gui/HtmlEditCommands.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "tests/app/editor/EditorFormFixture.h"
#include "tests/support/DragSourceProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <filesystem>
#include <map>

// Last: its macros clash with names above.
#include "tests/support/ScreenGrab.h"
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace ql {
namespace {

namespace fs = std::filesystem;

TEST_F(EditorFormTest, OpensOnTheStoredViewAndShowsTheSelectedPageInBrowse)
{
    settings.ActiveTabIndex = 3;  // no such view
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(form->ActiveView(), kViewBrowse);
    EXPECT_TRUE(form->PageBarButtons[kViewBrowse]->GetValue());
    EXPECT_FALSE(form->PageBarButtons[kViewHtml]->GetValue());
    EXPECT_EQ(form->Tree().Count(), 3u);
    EXPECT_EQ(form->StatusText(), "[FILENAME] " + File("One"));
    // The menus of the commands that work, in their order.
    wxMenuBar* bar = form->GetMenuBar();
    std::vector<std::string> menus;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        menus.push_back(bar->GetMenuLabel(i).utf8_string());
    EXPECT_EQ(menus, (std::vector<std::string>{"Nodes", "&Html", "&Edit", "&Insert", "&Format", "Tools", "&Help"}));
    ASSERT_TRUE(form->ToolBar1);

    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html"); }));
    EXPECT_EQ(settings.CurrentNodeId, "Two");
    EXPECT_EQ(form->Tree().Selected()->Text(), "Two");

    // The placement is read on the first show only.
    form->Hide();
    form->Move(wxPoint(350, 180));
    form->Show();
    ASSERT_TRUE(WaitFor([&] { return form->IsShownOnScreen(); }));
    EXPECT_EQ(form->GetPosition().x, 350);
}

TEST_F(EditorFormTest, BoldInTheHtmlViewIsSavedWhenTheNodeChanges)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string before = Page("One");
    form->ToolButton17Click(kViewHtml);
    EXPECT_EQ(form->ActiveView(), kViewHtml);
    EXPECT_TRUE(form->PageBarButtons[kViewHtml]->GetValue());
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("page One"); }));
    form->HtmlEditor->ExecCommand(web::DECMD_SELECTALL, 2);
    form->HtmlEditor->ExecCommand(web::DECMD_BOLD, 2);
    ASSERT_TRUE(WaitFor([&] { return form->HtmlEditor->IsDirty(); }));

    Select("Two");
    EXPECT_NE(Page("One").find("<b>page One</b>"), std::string::npos) << Page("One");
    EXPECT_EQ(temp.read("Collection/html.bak"), before);
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("page Two"); }));
    EXPECT_EQ(Page("Two").find("<b>"), std::string::npos);
}

TEST_F(EditorFormTest, TextViewEditsAreSaved)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    form->ToolButton17Click(kViewText);
    EXPECT_EQ(form->SourceEditor->GetValue().utf8_string(), "<html><body><p>page One</p></body></html>\n");
    form->SourceEditor->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == form->SourceEditor; }, 3000));
    form->SourceEditor->SetInsertionPointEnd();
    wxUIActionSimulator().Text("typed");
    ASSERT_TRUE(WaitFor([&] { return form->SourceEditor->GetValue().EndsWith("typed"); }, 3000));
    ASSERT_TRUE(form->SourceEditor->IsModified());
    form->ToolButton14Click();
    EXPECT_EQ(Page("One"), "<html><body><p>page One</p></body></html>\r\ntyped\r\n");
    EXPECT_FALSE(form->SourceEditor->IsModified());

    wxUIActionSimulator().Text(" more");
    ASSERT_TRUE(WaitFor([&] { return form->SourceEditor->GetValue().EndsWith("more"); }, 3000));
    Select("Two");
    EXPECT_EQ(Page("One"), "<html><body><p>page One</p></body></html>\r\ntyped more\r\n");
    EXPECT_EQ(form->SourceEditor->GetValue().utf8_string(), "<html><body><p>page Two</p></body></html>\n");
}

TEST_F(EditorFormTest, PureTextReplacesTheTextViewWithTheRenderedText)
{
    Write("One", "<html><body><h1>Title</h1><p>first <b>bold</b></p><script>var hidden;</script></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(Open());
    form->ToolButton17Click(kViewText);
    form->ToolButton8Click();
    EXPECT_EQ(dialogs.questions.back(), "Pure Text: Clear all html tag and keep only pure text?");
    ASSERT_TRUE(WaitFor([&] { return form->SourceEditor->GetValue().Contains("first bold"); }))
        << form->SourceEditor->GetValue().utf8_string();
    EXPECT_FALSE(form->SourceEditor->GetValue().Contains("<b>"));
    EXPECT_FALSE(form->SourceEditor->GetValue().Contains("hidden"));
    EXPECT_TRUE(form->SourceEditor->IsModified());
    form->ToolButton14Click();
    EXPECT_EQ(Page("One").find("<"), std::string::npos) << Page("One");
}

TEST_F(EditorFormTest, F2RenamesTheNodeAndMovesItsPageFile)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    Select("Two");
    form->TV->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == form->TV; }, 3000));
    wxUIActionSimulator().Char(WXK_F2);
    ASSERT_TRUE(WaitFor([&] { return form->TV->GetEditControl() != nullptr; }, 5000));
    form->TV->GetEditControl()->SetValue("Renamed");
    form->TV->EndEditLabel(Item("Two"), false);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(File("Renamed")); }));
    EXPECT_FALSE(fs::exists(File("Two")));
    EXPECT_EQ(Page("Renamed"), "<html><body><p>page Two</p></body></html>\r\n");
    EXPECT_EQ(TreeFrame(), "One\r\nRenamed\r\nThree\r\n");
    EXPECT_EQ(temp.read("Collection/tvdata"), "One\r\nRenamed\r\nThree\r\n");
    EXPECT_EQ(settings.CurrentPageFile, File("Renamed"));
    EXPECT_TRUE(Item("Renamed").IsOk());
}

TEST_F(EditorFormTest, AddingAndDeletingNodes)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html"); }));
    dialogs.input = "Added";
    form->AddSubItemBClick();
    ASSERT_TRUE(Item("Added").IsOk());
    EXPECT_EQ(form->TV->GetItemParent(Item("Added")), Item("Two"));
    EXPECT_EQ(form->TV->GetSelection(), Item("Added"));
    EXPECT_EQ(form->ActiveView(), kViewHtml);  // no template: an empty document in the HTML view
    EXPECT_TRUE(fs::exists(File("Added")));
    EXPECT_EQ(TreeFrame(), "One\r\nTwo\r\n\tAdded\r\nThree\r\n");
    ASSERT_TRUE(WaitFor([&] { return !form->HtmlEditor->Busy(); }));
    EXPECT_EQ(Page("Two"), "<html><body><p>page Two</p></body></html>\r\n");

    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("page Two"); }));
    form->ToolButton31Click();
    EXPECT_EQ(dialogs.questions.back(), "Delete: Delete \"Two\" and all its subitems?");
    EXPECT_FALSE(fs::exists(File("Two")));
    EXPECT_FALSE(fs::exists(File("Added")));
    EXPECT_FALSE(Item("Two").IsOk());
    EXPECT_EQ(TreeFrame(), "One\r\nThree\r\n");
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("page Three"); }));
    EXPECT_EQ(form->TV->GetSelection(), Item("Three"));
    EXPECT_EQ(form->Tree().Selected()->Text(), "Three");
    EXPECT_FALSE(fs::exists(File("Two")));
}

TEST_F(EditorFormTest, ANodeDraggedOntoAnotherBecomesItsLastChild)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    wxUIActionSimulator sim;
    const wxPoint from = LabelOnScreen("Three"), to = LabelOnScreen("One");
    sim.MouseMove(from);
    WaitFor([] { return false; }, 50);
    sim.MouseDown();
    for (int i = 1; i <= 8; ++i) {
        sim.MouseMove(from + (to - from) * i / 8);
        WaitFor([] { return false; }, 30);
    }
    sim.MouseUp();
    ASSERT_TRUE(WaitFor([&] { return TreeFrame() == "One\r\n\tThree\r\nTwo\r\n"; }, 5000)) << TreeFrame();
    EXPECT_EQ(temp.read("Collection/tvdata"), "One\r\nThree\r\nTwo\r\n");
    EXPECT_EQ(form->TV->GetItemParent(Item("Three")), Item("One"));
    EXPECT_TRUE(form->TV->IsExpanded(Item("One")));
}

TEST_F(EditorFormTest, AClipDroppedOnTheTreeBecomesAPageWithItsPictures)
{
    temp.write("cache/a.png", "not really a picture");
    cache["http://127.0.0.1:8799/img/a.png"] = temp.dir() + "cache/a.png";
    Write("Inner", "<p>inner</p>");
    temp.write("Collection/tvframe", "One\r\n\tInner\r\nTwo\r\nThree\r\n");
    temp.write("Collection/tvdata", "One\r\nInner\r\nTwo\r\nThree\r\n");
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_FALSE(form->TV->IsExpanded(Item("One")));
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    auto move = [&](wxPoint p) {
        XTestFakeMotionEvent(display, -1, p.x, p.y, CurrentTime);
        XFlush(display);
    };
    auto button = [&](bool down) {
        XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
        XFlush(display);
    };
    {
        // Dragged as Firefox does (GTK's drag source). A Chromium-style source gets no answer
        // to its positions here after the first ones, and so never drops: left open for now.
        test::DragSource source(QL_DRAG_SOURCE, "firefox-selection-picture", 40, 40);
        ASSERT_TRUE(WaitFor(
            [&] {
                source.Read();
                return source.Said("ready");
            },
            5000));
        wxPoint p(100, 80);
        move(p);
        WaitFor([] { return false; }, 30);
        button(true);
        ASSERT_TRUE(WaitFor(
            [&] {
                source.Read();
                move(p += wxPoint(4, 2));
                return source.Said("begin");
            },
            3000));
        const wxPoint target = LabelOnScreen("One");
        for (int i = 1; i <= 10; ++i) {
            move(p + (target - p) * i / 10);
            WaitFor([] { return false; }, 15);
        }
        int wiggle = 0;
        WaitFor(
            [&] {
                move(target + wxPoint(++wiggle % 2, 0));
                return form->StatusText() == "One";
            },
            3000);
        EXPECT_EQ(form->StatusText(), "One");  // the drop target shows the node under the pointer
        // Resting on a node opens it at the hover timer's next tick.
        EXPECT_TRUE(WaitFor(
            [&] {
                move(target + wxPoint(++wiggle % 2, 0));
                return form->TV->IsExpanded(Item("One"));
            },
            3000));
        button(false);
        const std::string id = "Grüße aus dem Test";
        ASSERT_TRUE(WaitFor([&] {
            source.Read();
            return fs::exists(File(id)) && Page(id).find("!images\\a.png") != std::string::npos && Browsed(".html");
        })) << Page(id);
        const std::string page = Page(id);
        EXPECT_EQ(page.rfind("<!-- From: \"\" -->\r\n", 0), 0u) << page;  // Firefox names no source
        EXPECT_NE(page.find("Grüße aus dem <b>Test</b>"), std::string::npos);
        EXPECT_EQ(page.find("<base "), std::string::npos);
        EXPECT_EQ(ReadFileBytes(settings.ImagesDir + "a.png").value_or(""), "not really a picture");
        EXPECT_EQ(ini->ReadString(id, "a.png", ""), "1");
        EXPECT_EQ(TreeFrame(), "One\r\n\tInner\r\n\t" + id + "\r\nTwo\r\nThree\r\n");
        EXPECT_EQ(form->Tree().Selected()->Text(), id);
    }
    XCloseDisplay(display);
}

// The clipboard road: the drop stores an empty page and arms the paste; the program's timer
// (here the test) runs it once the source program copied its selection.
TEST_F(EditorFormTest, TheClipboardRoadPastesIntoThePageItWasArmedFor)
{
    settings.DragUseUnicode = false;
    settings.DragIncludeImage = false;
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<ZoneAction> scheduled;
    form->Actions().Schedule = [&](ZoneAction action, int, int) { scheduled.push_back(action); };
    const StringList lines = {"Version:0.9",
                              "<HTML><BODY><!--StartFragment--><p>dropped</p><!--EndFragment--></BODY></HTML>"};

    form->Clips().SetClipTarget(form->Tree().NodeAt(0));
    form->Clips().ClipMode = Attach::LastChild;
    form->Clips().DropHTMLClip("http://example.org/a", lines, "First clip");
    ASSERT_EQ(scheduled, std::vector<ZoneAction>{ZoneAction::CopyAndPaste});
    ASSERT_EQ(form->Tree().Selected()->Text(), "First clip");
    EXPECT_EQ(form->ActiveView(), kViewHtml);
    // The user went to another node before the timer ran: the paste is dropped.
    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("page Two"); }));
    EXPECT_FALSE(form->Actions().RunClipboardPaste());
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(Page("Two"), "<html><body><p>page Two</p></body></html>\r\n");

    form->Clips().SetClipTarget(form->Tree().NodeAt(0));
    form->Clips().DropHTMLClip("http://example.org/b", lines, "Second clip");
    ASSERT_TRUE(WaitFor([&] { return !form->HtmlEditor->Busy(); }));
    form->HtmlEditor->SetDocumentHTML("<p>copied by the source</p>");
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("copied by the source"); }));
    form->HtmlEditor->ExecCommand(web::DECMD_SELECTALL, 2);
    form->HtmlEditor->ExecCommand(web::DECMD_COPY, 2);
    ASSERT_TRUE(form->Actions().RunClipboardPaste());
    ASSERT_TRUE(WaitFor([&] { return Page("Second clip").find("copied by the source") != std::string::npos; }))
        << Page("Second clip");
    ASSERT_TRUE(WaitFor([&] { return form->ActiveView() == kViewBrowse && Browsed("Second%20clip.html"); }));
}

TEST_F(EditorFormTest, LayoutSwitchesAndTheTreeWidthButton)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    form->Panel2->SetSashPosition(206);
    form->WidthBClick();
    EXPECT_FALSE(form->Panel2->IsSplit());  // width 0
    form->WidthBClick();
    EXPECT_EQ(form->Panel2->GetSashPosition(), 412);
    form->WidthBClick();
    EXPECT_EQ(form->Panel2->GetSashPosition(), 206);

    EXPECT_TRUE(form->CoolBar1->IsShown());
    settings.ShowToolbar = false;
    settings.ShowTree = false;
    settings.ShowImageList = true;
    form->ApplyLayout();
    for (wxWindow* bar : {static_cast<wxWindow*>(form->CoolBar1), static_cast<wxWindow*>(form->ToolBar1),
                          static_cast<wxWindow*>(form->ToolBar2), static_cast<wxWindow*>(form->ToolBar3),
                          static_cast<wxWindow*>(form->ToolBar_main)})
        EXPECT_FALSE(bar->IsShown());
    EXPECT_FALSE(form->Panel2->IsSplit());
    EXPECT_TRUE(form->ImagePanel->IsShown());

    struct Folder : ImageFolderView {
        std::string folder;
        void SetFolder(const std::string& f) override { folder = f; }
    } folder;
    form->SetImageFolderView(&folder);
    EXPECT_TRUE(form->ImagePanel->IsShown());
    EXPECT_EQ(folder.folder, settings.ImagesDir);
    form->SetImageFolderView(nullptr);  // no list to show: the panel goes
    EXPECT_FALSE(form->ImagePanel->IsShown());
}

// "Show Images Folder" shows the panel's live list of the open page's picture folder: the
// page's own folder when it has one, else "!images" (made when missing); the list follows the
// selection, and the switch hides the panel again. The Tools menu shows the switch's state.
TEST_F(EditorFormTest, ImagesPanelListsThePicturesOfTheSelectedPage)
{
    Write("Two", "<html><body><h1 style=\"color:#c00000\">Two</h1><p>A page with two pictures.</p></body></html>\r\n");
    temp.write("Collection/Two/photo.png", "png");
    temp.write("Collection/Two/diagram.jpg", "jpg");
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_FALSE(settings.ShowImageList);
    EXPECT_FALSE(form->ImagePanel->IsShown());
    wxMenu* tools = form->GetMenuBar()->GetMenu(form->GetMenuBar()->FindMenu("Tools"));
    wxMenuItem* showImages = tools->FindItem(tools->FindItem("Show Images Folder"));
    ASSERT_TRUE(showImages);
    OpenMenu("Tools");
    EXPECT_FALSE(showImages->IsChecked());
    const auto listed = [this](const std::string& name) {
        return form->ImageList->FindItem(-1, wxString::FromUTF8(name)) >= 0;
    };
    const auto shows = [this](const std::string& folder) {
        std::error_code ec;
        return fs::equivalent(form->ImageList->Folder().GetPath(), folder, ec);
    };

    ASSERT_NO_FATAL_FAILURE(Choose("Tools", "Show Images Folder"));
    EXPECT_TRUE(settings.ShowImageList);
    EXPECT_TRUE(showImages->IsChecked());
    EXPECT_TRUE(form->ImagePanel->IsShown());
    EXPECT_TRUE(form->ImageList->IsShownOnScreen());
    // Page One has no folder of its own.
    EXPECT_TRUE(fs::is_directory(settings.ImagesDir));
    EXPECT_TRUE(shows(settings.ImagesDir));
    EXPECT_EQ(form->ImageList->GetItemCount(), 0);
    temp.write("Collection/!images/shared.gif", "gif");
    EXPECT_TRUE(WaitFor([&] { return listed("shared.gif"); }, 5000)) << "a picture saved meanwhile is not listed";

    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html"); }));
    EXPECT_TRUE(shows(settings.CollectionDir + "Two/"));
    EXPECT_TRUE(WaitFor([&] { return listed("photo.png") && listed("diagram.jpg"); }, 5000));
    EXPECT_EQ(form->ImageList->GetItemCount(), 2);

    // The page and, below it, its pictures: wait for the page's red heading and the list's
    // dark row text, both painted some time after they were loaded.
    const wxPoint origin = form->ClientToScreen(wxPoint(0, 0));
    const wxRect heading(form->web->GetScreenPosition() - origin, wxSize(200, 80));
    const wxRect list(form->ImageList->GetScreenPosition() - origin, form->ImageList->GetSize());
    const wxRect rows(list.x, list.y + list.height / 2, list.width, list.height / 2);  // below the header
    wxImage shot;
    EXPECT_TRUE(WaitFor(
        [&] {
            shot = test::Grab(form);
            return test::AnyPixel(shot, heading, [](int r, int g, int) { return r > 150 && g < 60; }) &&
                   test::AnyPixel(shot, rows, [](int r, int g, int b) { return r < 90 && g < 90 && b < 90; });
        },
        5000));
    EXPECT_TRUE(test::SaveArtifact(shot, "editor-images-panel.png"));

    Select("Three");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Three.html"); }));
    EXPECT_TRUE(shows(settings.ImagesDir));
    EXPECT_TRUE(WaitFor([&] { return listed("shared.gif") && !listed("photo.png"); }, 5000));

    // Deleted nodes: the list follows the node that takes the selection, also away from the
    // folder deleted with its page.
    ASSERT_NO_FATAL_FAILURE(Choose("Nodes", "Delete Node (Include ChildNodes)"));
    EXPECT_EQ(form->Tree().Selected()->Text(), "Two");
    EXPECT_TRUE(shows(settings.CollectionDir + "Two/"));
    ASSERT_NO_FATAL_FAILURE(Choose("Nodes", "Delete Node (Include ChildNodes)"));
    EXPECT_EQ(form->Tree().Selected()->Text(), "One");
    EXPECT_FALSE(fs::exists(settings.CollectionDir + "Two"));
    EXPECT_TRUE(shows(settings.ImagesDir));
    EXPECT_TRUE(WaitFor([&] { return listed("shared.gif") && !listed("photo.png"); }, 5000));

    ASSERT_NO_FATAL_FAILURE(Choose("Tools", "Show Images Folder"));
    EXPECT_FALSE(settings.ShowImageList);
    EXPECT_FALSE(showImages->IsChecked());
    EXPECT_FALSE(form->ImagePanel->IsShown());
    settings.ShowImageList = true;  // changed elsewhere: the menu shows it when it opens
    OpenMenu("Tools");
    EXPECT_TRUE(showImages->IsChecked());
}

TEST_F(EditorFormTest, ScreenshotOfAPage)
{
    Write("One", "<html><body style=\"background:#ffffff\"><h1 style=\"color:#c00000\">Quillory</h1>"
                 "<p>A page of the collection, shown in the Browse view.</p></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(Open());
    // Rendering lags the document's completion: wait for the heading's colour.
    const wxRect heading(form->web->GetScreenPosition() - form->ClientToScreen(wxPoint(0, 0)), wxSize(200, 80));
    wxImage shot;
    const bool rendered = WaitFor(
        [&] {
            shot = test::Grab(form);
            return test::AnyPixel(shot, heading, [](int r, int g, int) { return r > 150 && g < 60; });
        },
        5000);
    EXPECT_TRUE(test::SaveArtifact(shot, "editor-window.png"));
    EXPECT_TRUE(rendered);
}

// Selecting a node whose page is 1 MB of HTML: until the Browse view reports the document
// complete, and until the HTML view holds it editable. The times are printed and recorded.
TEST_F(EditorFormTest, OneMegabytePageTimings)
{
    std::string big = "<html><body>\r\n";
    for (int i = 0; big.size() < (1u << 20); ++i)
        big += "<p>Paragraph " + std::to_string(i) + " of a large page, with <b>some</b> <i>markup</i> in it.</p>\r\n";
    big += "</body></html>\r\n";
    Write("Three", big);
    ASSERT_NO_FATAL_FAILURE(Open());
    using Clock = std::chrono::steady_clock;

    auto start = Clock::now();
    Select("Three");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Three.html"); }, 60000));
    const double browseMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    Select("One");
    ASSERT_TRUE(WaitFor([&] { return Browsed("One.html"); }));
    form->ToolButton17Click(kViewHtml);
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("page One"); }));
    start = Clock::now();
    Select("Three");
    ASSERT_TRUE(WaitFor(
        [&] { return !form->HtmlEditor->Busy() && form->HtmlEditor->QueryStatus(web::DECMD_BOLD) >= 3; }, 60000));
    const double htmlMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_NE(form->HtmlEditor->DocumentHTML().find("Paragraph 100 "), std::string::npos);

    RecordProperty("browse_ms", std::to_string(static_cast<int>(browseMs)));
    RecordProperty("html_editable_ms", std::to_string(static_cast<int>(htmlMs)));
    std::printf("1 MB page: Browse view complete after %.0f ms, HTML view editable after %.0f ms\n", browseMs, htmlMs);
}

}  // namespace
}  // namespace ql
