// The editor window's search, export and Browse tools on a temporary collection: a hit opens
// marked, an exported subtree's index leads to its pages and pictures, back and forward; the
// menus in order, with the drop zone's Options, About and Exit where a zone gives them.
#include "app/editor/BrowseToolCommands.h"
#include "app/editor/FormCommandTable.h"
#include "app/editor/SearchController.h"
#include "app/editor/SearchPanel_wx.h"
#include "app/product/ProductInfo.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/Json.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/app/editor/EditorFormFixture.h"

#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

namespace ql {
namespace {

namespace fs = std::filesystem;

// A menu's captions in order, "-" for a separator.
std::vector<std::string> Captions(wxMenu* menu)
{
    std::vector<std::string> captions;
    for (wxMenuItem* item : menu->GetMenuItems())
        captions.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
    return captions;
}

std::vector<std::string> Captions(wxToolBar* bar)
{
    std::vector<std::string> captions;
    for (int i = 0; i < static_cast<int>(bar->GetToolsCount()); ++i) {
        const wxToolBarToolBase* tool = bar->GetToolByPos(i);
        captions.push_back(tool->IsSeparator() ? "-" : tool->GetLabel().utf8_string());
    }
    return captions;
}

class EditorToolsTest : public EditorFormTest {
protected:
    // The value of a script expression in the Browse view's document, as text.
    std::string Eval(const std::string& expression)
    {
        json::Value v;
        if (com::FAILED(RunDomScript(*form->web->Engine(), "String(" + expression + ")", &v)) || !v.AsString())
            return "<failed>";
        return *v.AsString();
    }
    std::string Location() const { return form->web->LocationURL(); }
    // The Browse view's page, as its document sees itself, is at an address ending in `tail`.
    bool PageAt(const std::string& tail)
    {
        const std::string url = Eval("location.href");
        return url.size() >= tail.size() && url.compare(url.size() - tail.size(), tail.size(), tail) == 0;
    }
    bool At(const std::string& tail) const
    {
        const std::string url = Location();
        return url.size() >= tail.size() && url.compare(url.size() - tail.size(), tail.size(), tail) == 0;
    }
    // Every picture of the Browse view's page has arrived and decoded.
    bool PicturesLoaded()
    {
        return Eval("Array.from(document.images).every(i => i.complete && i.naturalWidth > 0)") == "true";
    }
    void WritePicture(const std::string& name, const wxColour& colour)
    {
        wxImage image(4, 3);
        image.SetRGB(wxRect(0, 0, 4, 3), colour.Red(), colour.Green(), colour.Blue());
        fs::create_directories(settings.ImagesDir);
        ASSERT_TRUE(image.SaveFile(settings.ImagesDir + name, wxBITMAP_TYPE_PNG));
    }
};

TEST_F(EditorToolsTest, ASearchHitOpensInBrowseWithEveryMatchMarked)
{
    Write("Two", "<html><body><p>A quark here.</p><p>QUARK <b>there</b>.</p></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(Open());
    form->ToolButton17Click(kViewText);

    form->Search2Click();
    ASSERT_TRUE(form->SearchPanel->IsShown());
    EXPECT_FALSE(form->TV->IsShown());
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == form->SearchPanel->SearchEdit; }, 3000));
    form->SearchPanel->SearchEdit->SetValue("Quark");
    wxUIActionSimulator().Char(WXK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !dialogs.messages.empty(); }, 3000));
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Results: 1"}));
    wxListCtrl* lv = form->SearchPanel->SearchLV;
    ASSERT_EQ(lv->GetItemCount(), 1);
    EXPECT_EQ(lv->GetItemText(0, 0), "Two");
    EXPECT_EQ(lv->GetItemText(0, 2).utf8_string(), File("Two"));

    lv->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    form->SearchLVClick();
    EXPECT_EQ(form->ActiveView(), kViewBrowse);
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html") && form->web->Tag == 0; }));
    EXPECT_EQ(form->Tree().Selected()->Text(), "Two");
    // Both occurrences, in their own letter case, now have the yellow background.
    EXPECT_EQ(Eval("Array.from(document.querySelectorAll('span')).filter(s => s.style.backgroundColor == "
                   "'rgb(255, 255, 0)').map(s => s.textContent).join('|')"),
              "quark|QUARK");

    // Another page of the Browse view is not marked.
    Select("Three");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Three.html"); }));
    EXPECT_EQ(Eval("document.querySelectorAll('span').length"), "0");

    // Deleting the hit's node takes its row.
    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html"); }));
    dialogs.answer = true;
    form->ToolButton31Click();
    EXPECT_EQ(lv->GetItemCount(), 0);
    form->SearchBClick();
    EXPECT_TRUE(form->TV->IsShown());
}

TEST_F(EditorToolsTest, AnExportedSubtreesIndexLeadsToEachPageWithItsPictures)
{
    WritePicture("red.png", *wxRED);
    WritePicture("blue.png", *wxBLUE);
    Write("One", "<html><body><p>page One</p><img src=\"!images\\red.png\"></body></html>\r\n");
    Write("Two",
          "<html><body><p>page Two</p><img src=\"!images\\blue.png\"><img src=\"!images\\red.png\"></body></html>\r\n");
    temp.write("Collection/tvframe", "One\r\n\tTwo <&>\r\nThree\r\n");
    temp.write("Collection/tvdata", "One\r\nTwo\r\nThree\r\n");
    EXPECT_TRUE(ini->WriteString("One", "red.png", "http://x/red.png"));
    EXPECT_TRUE(ini->WriteString("Two", "blue.png", "http://x/blue.png"));
    EXPECT_TRUE(ini->WriteString("Two", "red.png", "http://x/red.png"));
    test::TempDir out;
    exportFolder = out.dir() + "my export";
    fs::create_directories(*exportFolder);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(form->Tree().Selected()->Text(), "One");

    form->Export1Click();
    const std::string index = *exportFolder + "/index - One.html";
    ASSERT_TRUE(fs::exists(index));
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{index}));

    browsed.clear();
    form->web->NavigateToUrl(index);
    ASSERT_TRUE(WaitFor([&] { return !browsed.empty() && At("index%20-%20One.html"); })) << Location();
    // The title from the tree is shown as text, not taken as markup.
    EXPECT_EQ(Eval("Array.from(document.links).map(a => a.textContent).join('|')"), "One|Two <&>");
    const std::string links = Eval("Array.from(document.links).map(a => a.href).join(' ')");
    std::vector<std::string> hrefs;
    for (std::size_t at = 0; at < links.size();) {
        const std::size_t end = std::min(links.find(' ', at), links.size());
        hrefs.push_back(links.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_EQ(hrefs.size(), 2u) << links;
    const char* expected[] = {"page One", "page Two"};
    for (std::size_t i = 0; i < hrefs.size(); ++i) {
        browsed.clear();
        form->web->NavigateToUrl(hrefs[i]);
        ASSERT_TRUE(WaitFor([&] { return !browsed.empty() && PicturesLoaded(); })) << hrefs[i];
        EXPECT_NE(Eval("document.body.innerText").find(expected[i]), std::string::npos) << hrefs[i];
        EXPECT_EQ(Eval("document.images.length"), i == 0 ? "1" : "2");
    }
    // Each picture was copied once beside the pages.
    EXPECT_TRUE(fs::exists(*exportFolder + "/!images/red.png"));
    EXPECT_TRUE(fs::exists(*exportFolder + "/!images/blue.png"));
    EXPECT_FALSE(fs::exists(*exportFolder + "/Three.html"));
}

TEST_F(EditorToolsTest, BackAndForwardAfterFollowingALink)
{
    Write("Two", "<html><body><p><a id=\"go\" href=\"#end\">to the end</a></p>"
                 "<div style=\"height:3000px\"></div><p id=\"end\">end</p></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(Open());
    Select("Two");
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html") && PageAt("Two.html"); }));

    // The link stays in the view (it leads within its own page).
    Eval("document.getElementById('go').click()");
    ASSERT_TRUE(WaitFor([&] { return PageAt("Two.html#end"); })) << Location();
    form->ToolButton41Click();
    ASSERT_TRUE(WaitFor([&] { return PageAt("Two.html"); })) << Location();
    browsed.clear();
    form->ToolButton41Click();
    ASSERT_TRUE(WaitFor([&] { return Browsed("One.html") && PageAt("One.html"); })) << Location();
    browsed.clear();
    form->ToolButton45Click();
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html") && PageAt("Two.html"); })) << Location();
    form->ToolButton45Click();
    ASSERT_TRUE(WaitFor([&] { return PageAt("Two.html#end"); })) << Location();
    // At the end of the history nothing happens, and nothing fails.
    form->ToolButton45Click();
    form->ToolButton44Click();
    ASSERT_TRUE(WaitFor([&] { return PageAt("Two.html#end"); })) << Location();
    browsed.clear();
    form->ToolButton43Click();
    ASSERT_TRUE(WaitFor([&] { return Browsed("Two.html#end") && PageAt("Two.html#end"); })) << Location();
}

TEST_F(EditorToolsTest, TheMenusShowTheViewsStatesAndTheLayoutSwitches)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    wxMenuBar* bar = form->GetMenuBar();
    wxMenu* html = bar->GetMenu(bar->FindMenu("&Html"));
    auto item = [](wxMenu* menu, const char* caption) { return menu->FindItem(menu->FindItem(caption)); };
    OpenMenu("&Html");
    EXPECT_FALSE(item(html, "&Save")->IsEnabled());
    EXPECT_FALSE(item(html, "Reload")->IsEnabled());
    EXPECT_TRUE(item(html, "Save as ...")->IsEnabled());
    form->ToolButton17Click(kViewHtml);
    OpenMenu("&Html");
    EXPECT_TRUE(item(html, "&Save")->IsEnabled());

    wxMenu* tools = bar->GetMenu(bar->FindMenu("Tools"));
    ASSERT_NO_FATAL_FAILURE(Choose("Tools", "Show Toolbar"));
    EXPECT_FALSE(settings.ShowToolbar);
    EXPECT_FALSE(form->ToolBar3->IsShown());
    EXPECT_FALSE(form->ToolBar_main->IsShown());
    settings.ShowTree = false;  // changed elsewhere (the Options dialog)
    OpenMenu("Tools");
    EXPECT_FALSE(item(tools, "Show Collection Tree")->IsChecked());
    EXPECT_FALSE(item(tools, "Show Toolbar")->IsChecked());
    ASSERT_NO_FATAL_FAILURE(Choose("Tools", "Show Toolbar"));
    EXPECT_TRUE(form->ToolBar3->IsShown());
    EXPECT_TRUE(item(tools, "Show Toolbar")->IsChecked());

    // The Browse view prints without asking, with the engine's own page setup; the print
    // options keep their margins for the page-setup dialog.
    form->ToolButton17Click(kViewBrowse);
    EXPECT_FALSE(form->web->Engine()->PageSetupSource);
    EXPECT_EQ(form->web->PrintOptions.Margins.Top, 19.05);
    EXPECT_EQ(form->web->PrintOptions.Margins.Left, 19.05);
    test::TempDir printed;
    form->web->Engine()->printOutputFile = printed.dir() + "page.pdf";
    ASSERT_NO_FATAL_FAILURE(Choose("&Html", "Print..."));
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(printed.dir() + "page.pdf").value_or("").rfind("%PDF", 0) == 0; }));

    // The outward commands reach the launcher with one target each.
    ASSERT_NO_FATAL_FAILURE(Choose("&Help", "Your Suggestions"));
    ASSERT_NO_FATAL_FAILURE(Choose("Nodes", "Open Storage Folder"));
    EXPECT_EQ(launcher.opened,
              (std::vector<std::string>{std::string(kMakerContact) + kSuggestionSubject, settings.CollectionDir}));

    // Without a drop zone there is no Options dialog, about box or exit to offer.
    const std::vector<std::string> nodes = Captions(bar->GetMenu(bar->FindMenu("Nodes")));
    EXPECT_EQ(nodes.back(), "Open Storage Folder");
    EXPECT_EQ(Captions(tools).back(), "Show Images Folder");
    EXPECT_EQ(Captions(bar->GetMenu(bar->FindMenu("&Help"))).back(), "Your Suggestions");
    EXPECT_EQ(Captions(form->DocBar).back(), "Active Desktop");
}

// The drop zone's Options, About and Exit, offered by the editor in its menus and on its
// DocBar, each run their command once.
TEST_F(EditorToolsTest, TheZonesCommandsSitInTheirMenusAndRunFromThereAndTheExitButton)
{
    withZoneCommands = true;
    ASSERT_NO_FATAL_FAILURE(Open());
    wxMenuBar* bar = form->GetMenuBar();
    wxMenu* nodes = bar->GetMenu(bar->FindMenu("Nodes"));
    wxMenu* tools = bar->GetMenu(bar->FindMenu("Tools"));
    wxMenu* help = bar->GetMenu(bar->FindMenu("&Help"));
    EXPECT_EQ(Captions(nodes),
              (std::vector<std::string>{"Add Node", "Add ChildNode", "-", "Save Homepage As...",
                                        "Export Node (Include ChildNodes)", "-", "Delete Node (Include ChildNodes)",
                                        "-", "Expand All ", "Collapse All ", "-", "Create Index Html",
                                        "Open Storage Folder", "-", "E&xit"}));
    EXPECT_EQ(Captions(tools), (std::vector<std::string>{"Open With Browser", "Edit With", "Active Desktop", "-",
                                                         "Search...", "-", "Show Collection Tree", "Show Toolbar",
                                                         "Show Images Folder", "-", "Options..."}));
    EXPECT_EQ(Captions(help),
              (std::vector<std::string>{"Help Document", "Software Homepage", "-", "Your Suggestions", "About..."}));
    EXPECT_EQ(Captions(form->DocBar),
              (std::vector<std::string>{"Save", "-", "Edit With", "Active Desktop", "-", "Exit"}));
    EXPECT_TRUE(zoneCommandsRun.empty());

    auto choose = [&](wxMenu* menu, const char* caption) {
        wxCommandEvent click(wxEVT_MENU, menu->FindItem(caption));
        click.SetEventObject(form);
        form->ProcessWindowEvent(click);
    };
    choose(tools, "Options...");
    choose(help, "About...");
    choose(nodes, "Exit");
    EXPECT_EQ(zoneCommandsRun, (std::vector<std::string>{"options", "about", "exit"}));
    const wxToolBarToolBase* exit = form->DocBar->GetToolByPos(static_cast<int>(form->DocBar->GetToolsCount()) - 1);
    wxCommandEvent press(wxEVT_TOOL, exit->GetId());
    press.SetEventObject(form->DocBar);
    form->DocBar->ProcessWindowEvent(press);
    EXPECT_EQ(zoneCommandsRun, (std::vector<std::string>{"options", "about", "exit", "exit"}));
}

// The form's menus and toolbars show the commands its command table lists for them.
TEST_F(EditorToolsTest, EveryMenuAndToolbarShowsTheCommandsOfTheTable)
{
    withZoneCommands = true;
    ASSERT_NO_FATAL_FAILURE(Open());
    auto listed = [](CommandPlace place) {
        std::vector<std::string> captions;
        for (FormCommand id : ShownCommands(place, OfferedCommands{true, true, true}))
            captions.push_back(id == FormCommand::Separator ? "-" : FormCommandOf(id)->caption);
        return captions;
    };
    wxMenuBar* bar = form->GetMenuBar();
    for (CommandPlace menu :
         {CommandPlace::NodesMenu, CommandPlace::HtmlMenu, CommandPlace::ToolsMenu, CommandPlace::HelpMenu})
        EXPECT_EQ(Captions(bar->GetMenu(bar->FindMenu(MenuTitle(menu)))), listed(menu)) << MenuTitle(menu);
    EXPECT_EQ(Captions(form->TVPopup.get()), listed(CommandPlace::TreePopup));
    EXPECT_EQ(Captions(form->ToolBar_main), listed(CommandPlace::TreeToolbar));
    EXPECT_EQ(Captions(form->DocBar), listed(CommandPlace::DocBar));
    EXPECT_EQ(Captions(form->BrowseTools), listed(CommandPlace::BrowseToolbar));
    EXPECT_EQ(Captions(form->ToolBar2), listed(CommandPlace::TextToolbar));
}

TEST_F(EditorToolsTest, EditWithListsTheDesktopsApplicationsOnceAndStartsThePage)
{
    editWithApps = {{"Text Editor", "gedit %U"}, {"Page Front", "/opt/front/edit --page %f"}, {"Viewer", "view"}};
    settings.EditWith = 100;  // never chosen
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(form->MenuEditPage->GetMenuItemCount(), 1u);
    EXPECT_EQ(form->MenuEditPage->FindItemByPosition(0)->GetItemLabelText(), "temp");

    form->MenuEditPageClick();
    editWithApps.clear();
    form->MenuEditPageClick();  // once per run
    for (wxMenu* menu : {form->MenuEditPage, form->EditWithButtonMenu}) {
        ASSERT_EQ(menu->GetMenuItemCount(), 3u);
        EXPECT_EQ(menu->FindItemByPosition(1)->GetItemLabelText(), "Page Front");
        EXPECT_EQ(menu->FindItemByPosition(1)->GetHelp(), "/opt/front/edit");
    }
    form->ToolButton54Click();
    ASSERT_EQ(launcher.spawned.size(), 1u);
    EXPECT_EQ(launcher.spawned[0], (std::vector<std::string>{"/opt/front/edit", "--page", File("One")}));
    EXPECT_EQ(settings.EditWith, 1);

    // An entry of the menu starts its own program and is remembered.
    wxCommandEvent click(wxEVT_MENU, form->MenuEditPage->FindItemByPosition(2)->GetId());
    form->MenuEditPage->ProcessEvent(click);
    ASSERT_EQ(launcher.spawned.size(), 2u);
    EXPECT_EQ(launcher.spawned[1], (std::vector<std::string>{"view", File("One")}));
    EXPECT_EQ(settings.EditWith, 2);
}

}  // namespace
}  // namespace ql
