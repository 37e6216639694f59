#include "app/editor/EditCommandBars_wx.h"
#include "components/browserhost/WebHost_wx.h"
#include "platform/core/com/HtmlDocument.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/app/editor/FakeEditCommandPorts.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <regex>

namespace ql {
namespace {

using namespace ql::com;
using Tag = EditCommandTag;

struct EditCommandBarsTest : ::testing::Test {
    test::TempDir dir;
    test::OwnedFrame<> frame{new wxFrame(nullptr, wxID_ANY, "edit commands", wxDefaultPosition, wxSize(900, 600))};
    web::HtmlEditControl* edit = nullptr;
    wxTextCtrl* source = nullptr;
    wxToolBar* toolBar = nullptr;
    int view = 1;
    int completed = 0;
    std::unique_ptr<EditCommandBars> bars;

    void SetUp() override
    {
        EditCommandTargets targets;
        targets.activeView = [this] { return view; };
        targets.htmlEditor = [this] { return edit; };
        source = new wxTextCtrl(frame, wxID_ANY, "", wxDefaultPosition, wxSize(-1, 80), wxTE_MULTILINE);
        targets.sourceEditor = source;
        bars = std::make_unique<EditCommandBars>(std::move(targets));

        toolBar = bars->CreateToolBar1(frame);
        auto* menuBar = new wxMenuBar;
        bars->AppendMenus(frame, menuBar);
        frame->SetMenuBar(menuBar);

        std::string error;
        edit = web::HtmlEditControl::Create(frame, wxID_ANY, &error);
        ASSERT_TRUE(edit) << error;
        edit->OnDocumentComplete = [this] { ++completed; };
        edit->OnDisplayChanged = [this] { bars->DisplayChanged(); };
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(toolBar, 0, wxEXPAND);
        sizer->Add(edit, 1, wxEXPAND);
        sizer->Add(source, 0, wxEXPAND);
        frame->SetSizer(sizer);
        frame->Show();
        frame->Layout();

        edit->LoadDocument(dir.write("page.html", "<html><body><p>first words here</p></body></html>").string());
        ASSERT_TRUE(test::PumpUntil([&] { return completed > 0; }));
    }
    void TearDown() override
    {
        if (edit) {
            edit->OnDocumentComplete = nullptr;
            edit->OnDisplayChanged = nullptr;
        }
        frame->Destroy();
        bars.reset();  // the bars may go before the window: their handlers unbind themselves
        frame.reset();
    }

    void Select(const std::u16string& words)
    {
        ComPtr<IHTMLElement> body;
        ComPtr<IHTMLBodyElement> bodyElement;
        ComPtr<IHTMLTxtRange> range;
        ASSERT_EQ(edit->DOM()->get_body(body.put()), S_OK);
        ASSERT_EQ(body->QueryInterface(IHTMLBodyElement::IID_, bodyElement.putVoid()), S_OK);
        ASSERT_EQ(bodyElement->createTextRange(range.put()), S_OK);
        bool found = false;
        ASSERT_EQ(range->findText(words, 1, 0, &found), S_OK);
        ASSERT_TRUE(found);
        ASSERT_EQ(range->select(), S_OK);
    }
    void ClickTool(int id)
    {
        wxCommandEvent click(wxEVT_TOOL, id);
        click.SetEventObject(toolBar);
        toolBar->ProcessWindowEvent(click);
    }
    void ChooseMenuItem(wxMenu* menu, const char* caption)
    {
        int id = menu->FindItem(caption);
        ASSERT_NE(id, wxNOT_FOUND) << caption;
        wxCommandEvent choose(wxEVT_MENU, id);
        frame->ProcessWindowEvent(choose);
    }
    void OpenMenu(wxMenu* menu, bool close = false)
    {
        wxMenuEvent open(close ? wxEVT_MENU_CLOSE : wxEVT_MENU_OPEN, 0, menu);
        frame->ProcessWindowEvent(open);
    }
};

TEST_F(EditCommandBarsTest, BoldButtonFormatsTheSelectionAndShowsDownAfterTheDisplayChange)
{
    Select(u"words");
    const int boldId = bars->ToolId(Tag::Bold);
    ASSERT_NE(boldId, wxID_NONE);
    ClickTool(boldId);
    std::string html = edit->DocumentHTML();
    EXPECT_TRUE(html.find("<b>words</b>") != std::string::npos ||
                html.find("<strong>words</strong>") != std::string::npos)
        << html;

    toolBar->ToggleTool(boldId, false);
    toolBar->ToggleTool(bars->ToolId(Tag::RightJustify), true);
    bars->DisplayChanged();
    EXPECT_TRUE(toolBar->GetToolState(boldId));
    EXPECT_FALSE(toolBar->GetToolState(bars->ToolId(Tag::Italic)));
    EXPECT_TRUE(toolBar->GetToolState(bars->ToolId(Tag::LeftJustify)));
    EXPECT_FALSE(toolBar->GetToolState(bars->ToolId(Tag::RightJustify)));
    EXPECT_EQ(bars->FontSizeList()->GetStringSelection(), "3");

    // Centred through the Format menu's neighbour on the toolbar: the display change follows.
    ClickTool(bars->ToolId(Tag::Center));
    bars->DisplayChanged();
    EXPECT_TRUE(toolBar->GetToolState(bars->ToolId(Tag::Center)));
    EXPECT_FALSE(toolBar->GetToolState(bars->ToolId(Tag::LeftJustify)));
}

TEST_F(EditCommandBarsTest, FontNameAndHighlightReachThePageIntact)
{
    Select(u"first");
    // A quoted family name: quotes and a script end tag cross into the page's script intact.
    bars->FontList()->ChangeValue("\"Odd </script> Face\"");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, bars->FontList()->GetId());
    enter.SetEventObject(bars->FontList());
    bars->FontList()->ProcessWindowEvent(enter);
    std::string html = edit->DocumentHTML();
    EXPECT_TRUE(std::regex_search(html, std::regex(R"(<font face="Odd (&lt;|<)/script(&gt;|>) Face">first</font>)")))
        << html;

    Select(u"here");
    ClickTool(bars->HighlightToolId());
    html = edit->DocumentHTML();
    EXPECT_TRUE(std::regex_search(
        html,
        std::regex(R"(<span style="background-color: (#FFFF00|rgb\(255, 255, 0\));?">here</span>)", std::regex::icase)))
        << html;
}

TEST_F(EditCommandBarsTest, BackgroundColourAndPictureOfTheDocument)
{
    test::editcmd::Log log;
    test::editcmd::FakePickers pickers(log);
    bars->SetDialogs(&pickers);
    pickers.color = 0x0000FFu;
    ClickTool(bars->BackgroundToolId());
    ASSERT_EQ(pickers.shownWith.size(), 1u);
    EXPECT_EQ(pickers.shownWith[0], 0u);  // the page sets no colour
    pickers.picture = "/tmp/sky \"blue\" </script>.jpg";
    ChooseMenuItem(bars->FormatMenu(), "Backgroud Picture");
    const std::string html = edit->DocumentHTML();
    EXPECT_TRUE(std::regex_search(html, std::regex(R"(<body[^>]* bgcolor="#ff0000")"))) << html;
    EXPECT_TRUE(std::regex_search(
        html, std::regex(R"(<body[^>]* background="/tmp/sky &quot;blue&quot; (&lt;|<)/script(&gt;|>).jpg")")))
        << html;
    bars->SetDialogs(nullptr);
}

TEST_F(EditCommandBarsTest, DateAndTimeLandsAtTheTextViewsCaretAsAnEdit)
{
    view = 2;
    source->ChangeValue(wxString::FromUTF8("Grüße\nzwei"));
    source->SetInsertionPoint(3);
    ASSERT_FALSE(source->IsModified());
    ChooseMenuItem(bars->InsertMenu(), "Date and Time");
    const std::string text = source->GetValue().utf8_string();
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(Grü\d\d/\d\d/\d{4} \d\d:\d\d:\d\d \([A-Z][a-z]+day\)ße\nzwei)")))
        << text;
    EXPECT_TRUE(source->IsModified());
    long from = 0, to = 0;
    source->GetSelection(&from, &to);
    EXPECT_EQ(from, static_cast<long>(wxString::FromUTF8(text).find(wxString::FromUTF8("ße"))));
}

TEST_F(EditCommandBarsTest, MenusShowTheStatesOfTheActiveViewWhileOpen)
{
    auto enabled = [](wxMenu* menu, const char* caption) { return menu->IsEnabled(menu->FindItem(caption)); };
    view = 2;
    OpenMenu(bars->InsertMenu());
    EXPECT_FALSE(enabled(bars->InsertMenu(), "Date and Time"));
    view = 1;
    OpenMenu(bars->FormatMenu());
    EXPECT_TRUE(enabled(bars->FormatMenu(), "Text &Font"));

    // The Text view without a selection: nothing to cut; the shortcuts work again once closed.
    view = 2;
    OpenMenu(bars->EditMenu());
    EXPECT_FALSE(enabled(bars->EditMenu(), "Cu&t"));
    EXPECT_TRUE(enabled(bars->EditMenu(), "&Paste"));
    EXPECT_TRUE(enabled(bars->EditMenu(), "Select &All"));
    OpenMenu(bars->EditMenu(), true);
    EXPECT_TRUE(enabled(bars->EditMenu(), "Cu&t"));

    source->ChangeValue("some text");
    ChooseMenuItem(bars->EditMenu(), "Select &All");
    long from = 0, to = 0;
    source->GetSelection(&from, &to);
    EXPECT_EQ(to - from, 9);
}

TEST_F(EditCommandBarsTest, BrowseViewEditMenuFollowsTheWebPagesSelection)
{
    test::FakeLauncher launcher;
    auto* web = new TWebHost(frame, launcher);
    ASSERT_TRUE(web->Ok());
    int loaded = 0;
    web->OnDocumentComplete = [&](IDispatch*, const std::string&) { ++loaded; };
    frame->GetSizer()->Add(web, 1, wxEXPAND);
    frame->Layout();
    web->NavigateToUrl(dir.write("browse.html", "<html><body><p>read only words</p></body></html>").string());
    ASSERT_TRUE(test::PumpUntil([&] { return loaded > 0; }));

    EditCommandTargets targets;
    targets.activeView = [] { return 0; };
    targets.web = web;
    EditCommandBars browseBars(std::move(targets));
    auto* menuBar = new wxMenuBar;
    browseBars.AppendMenus(frame, menuBar);
    wxMenu* menu = browseBars.EditMenu();
    auto enabled = [&](const char* caption) { return menu->IsEnabled(menu->FindItem(caption)); };

    wxMenuEvent open(wxEVT_MENU_OPEN, 0, menu);
    frame->ProcessWindowEvent(open);
    EXPECT_FALSE(enabled("Cu&t"));
    EXPECT_FALSE(enabled("&Undo"));
    EXPECT_FALSE(enabled("Redo"));

    ChooseMenuItem(menu, "Select &All");
    json::Value selected;
    ASSERT_EQ(web::RunDomScript(*web->Engine(), "String(getSelection()).trim()", &selected), S_OK);
    ASSERT_TRUE(selected.AsString());
    EXPECT_EQ(*selected.AsString(), "read only words");
    frame->ProcessWindowEvent(open);
    EXPECT_TRUE(enabled("&Copy"));
    EXPECT_FALSE(enabled("Cu&t"));  // a page in the browser cannot be cut from
    EXPECT_FALSE(enabled("&Delete"));
    web->OnDocumentComplete = nullptr;
    delete menuBar;
}

}  // namespace
}  // namespace ql
