// The editor window at its default size on a desktop with a window manager, used as a user
// does: every tool of the tree toolbar, the Browse tools, the view buttons and the HTML view's
// command bars clicked with the XTest pointer at its centre, each checked for what its command
// did; the caret moved with keys under the bars' eyes; Undo in the Text view; and a screenshot
// of each view.
#include "app/editor/EditCommandBars_wx.h"
#include "app/editor/EditorForm_wx.h"
#include "app/editor/SearchPanel_wx.h"
#include "components/browserhost/Pages_wx.h"
#include "components/browserhost/WebHost_wx.h"
#include "foundation/VekAdvClass_wx.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/app/editor/EditorFormFixture.h"
#include "tests/app/editor/FakeEditCommandPorts.h"
#include "tests/support/ToolbarTools.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <regex>

// Last: the X11 headers' macros clash with names above.
#include "tests/support/ProgramWindows.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/XInput.h"

namespace ql {
namespace {

using Tag = EditCommandTag;

// Answers the HTML editing control's own prompts (picture and link).
struct Prompts : web::EditDialogs {
    bool AskImageSource(std::string& source) override
    {
        source = "pic.png";
        return true;
    }
    bool AskLinkUrl(std::string& url) override
    {
        url = "http://example.org/";
        return true;
    }
    bool AskFont(Font&) override { return false; }
};

class EditorClicksTest : public EditorFormTest {
protected:
    test::XInput input;
    bool framed = false;

    void OpenAtDefaultSize()
    {
        // These clicks are a user's on a desktop: frames, placement and pointer as the manager has them.
        ASSERT_TRUE(test::WindowManagerRunning()) << "no window manager: run under tests/support/with-window-manager";
        defaultSize = true;
        withZoneCommands = true;  // as in the program: the zone's Exit is on the DocBar
        ASSERT_NO_FATAL_FAILURE(Open());
        ASSERT_TRUE(input);
        WhenFramed(form, [this] { framed = true; });
        // Framed and placed: its client area stays where it is for a few looks.
        wxPoint last(-1, -1);
        int still = 0;
        ASSERT_TRUE(WaitFor([&] {
            const wxPoint now = form->ClientToScreen(wxPoint(0, 0));
            still = (framed && now == last) ? still + 1 : 0;
            last = now;
            return still >= 3;
        }));
    }

    std::string Js(const std::string& script, web::DocumentEngine& engine)
    {
        json::Value v;
        web::RunDomScript(engine, script, &v);
        return v.AsString() ? *v.AsString() : std::string();
    }
    std::string HtmlDoc() { return form->HtmlEditor->DocumentHTML(); }

    // Handles what the server has sent so far.
    static void Settle()
    {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        wxTheApp->ProcessPendingEvents();
    }
    // The pointer moved to (x, y) and, once the window has seen it there, a click. GTK hands
    // pointer motion to its widgets with the next frame of the window's clock.
    void ClickAt(int x, int y)
    {
        GdkFrameClock* clock = gtk_widget_get_frame_clock(form->GetHandle());
        const gint64 frame = clock ? gdk_frame_clock_get_frame_counter(clock) : 0;
        input.MoveTo(x, y);
        WaitFor([&] { return !clock || gdk_frame_clock_get_frame_counter(clock) >= frame + 2; }, 500);
        input.Click();
        Settle();
    }

    // Clicks the tool at its centre; it must show whole on its bar.
    void ClickTool(wxToolBar* bar, int id, const char* name, test::ToolPart part = test::ToolPart::Button)
    {
        wxRect r;
        WaitFor([&] { return !(r = test::ToolScreenRect(bar, id, part)).IsEmpty(); }, 3000);  // laid out once shown
        ASSERT_FALSE(r.IsEmpty()) << name << " is not shown whole on its bar";
        ClickAt(r.x + r.width / 2, r.y + r.height / 2);
    }
    void ClickTool(wxToolBar* bar, const char* hint)
    {
        for (size_t i = 0; i < bar->GetToolsCount(); ++i) {
            const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
            if (tool->GetShortHelp() == wxString::FromUTF8(hint))
                return ClickTool(bar, tool->GetId(), hint);
        }
        FAIL() << "no tool " << hint;
    }
    // Clicks a window (a button, a list) at its centre; it must show whole.
    void ClickWindow(wxWindow* w, const char* name)
    {
        const wxRect r = w->GetScreenRect();
        ASSERT_EQ(test::VisiblePart(w->GetParent(), r), r) << name << " is clipped";
        ClickAt(r.x + r.width / 2, r.y + r.height / 2);
    }
    void ClickView(int view)
    {
        ClickWindow(form->PageBarButtons[view], "view button");
        ASSERT_TRUE(WaitFor([&] { return form->ActiveView() == view; })) << "view " << view;
        for (int i = 0; i < kViewCount; ++i)
            EXPECT_EQ(form->PageBarButtons[i]->GetValue(), i == view) << "view button " << i << " in view " << view;
    }
    // Selects the words in the HTML view's document.
    void SelectInHtml(const std::string& words)
    {
        ASSERT_EQ(Js("(function(){var t=document.createTreeWalker(document.body,4);var n;while((n=t.nextNode())){"
                     "var i=n.data.indexOf(" +
                         json::Quote(words) +
                         ");if(i>=0){var r=document.createRange();"
                         "r.setStart(n,i);r.setEnd(n,i+" +
                         std::to_string(words.size()) +
                         ");var s=getSelection();"
                         "s.removeAllRanges();s.addRange(r);return 'ok';}}return 'none';})()",
                     form->HtmlEditor->Engine()),
                  "ok")
            << words;
    }
    std::string Caret()
    {
        return Js(
            "String(getSelection().anchorNode && getSelection().anchorNode.textContent) + ' at ' + getSelection().anchorOffset",
            form->HtmlEditor->Engine());
    }
    // Clicks the middle of character `at` of the first text of the HTML view that holds `words`;
    // returns once the caret is in that text and the view has the keyboard focus (the engine
    // takes keys and clicks in queues of their own, and GTK hands the focus over later).
    void ClickInHtml(const std::string& words, int at)
    {
        const std::string point = Js(
            "(function(){var t=document.createTreeWalker(document.body,4);var n;while((n=t.nextNode())){"
            "var i=n.data.indexOf(" +
                json::Quote(words) +
                ");if(i<0)continue;var r=document.createRange();"
                "r.setStart(n,i+" +
                std::to_string(at) + ");r.setEnd(n,i+" + std::to_string(at + 1) +
                ");"
                "var b=r.getBoundingClientRect();return Math.round(b.left+b.width/2)+' '+Math.round(b.top+b.height/2);}"
                "return '';})()",
            form->HtmlEditor->Engine());
        int x = 0, y = 0;
        ASSERT_EQ(std::sscanf(point.c_str(), "%d %d", &x, &y), 2) << words << ": " << point;
        const wxPoint view = form->HtmlEditor->GetScreenPosition();
        ClickAt(view.x + x, view.y + y);
        ASSERT_TRUE(WaitFor(
            [&] {
                GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(form->GetHandle()));
                return Caret().find(words) != std::string::npos && focus &&
                       gtk_widget_is_ancestor(focus, form->HtmlEditor->GetHandle());
            },
            3000))
            << Caret();
    }
    bool ToolDown(Tag tag) { return form->ToolBar1->GetToolState(form->CommandBars().ToolId(tag)); }
    // The drop-down list of a choice control is open.
    static bool PopupShown(wxWindow* choice)
    {
        GtkWidget* widget = choice->GetHandle();
        if (widget && !GTK_IS_COMBO_BOX(widget) && GTK_IS_BIN(widget))
            widget = gtk_bin_get_child(GTK_BIN(widget));
        gboolean shown = FALSE;
        if (widget && GTK_IS_COMBO_BOX(widget))
            g_object_get(widget, "popup-shown", &shown, nullptr);
        return shown;
    }
    // Once the window shows the view: text (dark pixels) inside its content `w`, and its toolbar
    // `bar` and the view buttons drawn anew since `before` (drawing lags the switch).
    wxImage ShotOfView(wxWindow* w, wxWindow* bar, const wxImage& before)
    {
        const wxPoint origin = form->ClientToScreen(wxPoint(0, 0));
        auto areaOf = [&](wxWindow* x) { return wxRect(x->GetScreenPosition() - origin, x->GetSize()); };
        auto redrawn = [&](const wxImage& now, wxWindow* x) {
            if (!before.IsOk())
                return true;
            const wxRect r = areaOf(x).Intersect(wxRect(now.GetSize()));
            const wxImage a = now.GetSubImage(r), b = before.GetSubImage(r);
            return std::memcmp(a.GetData(), b.GetData(), size_t(r.width) * r.height * 3) != 0;
        };
        wxImage shot;
        WaitFor(
            [&] {
                shot = test::Grab(form);
                return redrawn(shot, bar) && redrawn(shot, form->PageBar) &&
                       test::AnyPixel(shot, areaOf(w), [](int r, int g, int b) { return r + g + b < 200; });
            },
            5000);
        // The theme fades buttons between states: the picture is taken once frames pass unchanged.
        GdkFrameClock* clock = gtk_widget_get_frame_clock(form->GetHandle());
        WaitFor(
            [&] {
                const gint64 frame = clock ? gdk_frame_clock_get_frame_counter(clock) : 0;
                WaitFor([&] { return !clock || gdk_frame_clock_get_frame_counter(clock) >= frame + 2; }, 100);
                const wxImage again = test::Grab(form);
                const bool same = std::memcmp(again.GetData(), shot.GetData(),
                                              size_t(shot.GetWidth()) * shot.GetHeight() * 3) == 0;
                shot = again;
                return same;
            },
            3000);
        return shot;
    }
};

// Every tool of the tree toolbar shows at the default size and runs its command when clicked,
// also after the pure-text conversion (whose hidden view lies over the tree toolbar).
TEST_F(EditorClicksTest, TreeToolbarToolsRunWhenClicked)
{
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    ASSERT_NO_FATAL_FAILURE(ClickView(kViewText));
    dialogs.answer = true;
    ASSERT_NO_FATAL_FAILURE(ClickTool(form->ToolBar2, "Clear all HTML tag"));
    ASSERT_TRUE(WaitFor([&] { return form->SourceEditor->GetValue().Trim() == "page One"; }))
        << form->SourceEditor->GetValue();

    wxToolBar* bar = form->ToolBar_main;
    dialogs.input = "Sibling";
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Add Node"));
    ASSERT_TRUE(WaitFor([&] { return Item("Sibling").IsOk(); }));
    EXPECT_EQ(form->TV->GetItemParent(Item("Sibling")), form->TV->GetRootItem());

    Select("Two");
    dialogs.input = "Child";
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Add ChildNode"));
    ASSERT_TRUE(WaitFor([&] { return Item("Child").IsOk(); }));
    EXPECT_EQ(form->TV->GetItemParent(Item("Child")), Item("Two"));

    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Search..."));
    EXPECT_TRUE(WaitFor([&] { return form->SearchPanel->IsShown(); }));
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Search..."));
    EXPECT_TRUE(WaitFor([&] { return !form->SearchPanel->IsShown(); }));

    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject("Clipped words"));
        wxTheClipboard->Close();
    }
    dialogs.input = "Pasted";
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Add Clipboard Contents"));
    EXPECT_TRUE(WaitFor([&] { return Item("Clipped words").IsOk(); }));

    Select("Three");
    ASSERT_TRUE(WaitFor([&] { return form->Tree().Selected() && form->Tree().Selected()->Text() == "Three"; }));
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Delete"));
    EXPECT_TRUE(WaitFor([&] { return !Item("Three").IsOk(); }));
    EXPECT_EQ(dialogs.questions.back(), "Delete: Delete \"Three\" and all its subitems?");
}

// The Browse view's tools, each clicked: the page's original address and the page itself go
// to the launcher, the history and loading follow, and the two text buttons rewrite the page.
TEST_F(EditorClicksTest, BrowseToolsRunWhenClicked)
{
    Write("One", "<!-- From: \"http://origin.example/one\" -->\r\n<html><body><p><a id=\"go\" href=\"#end\">on</a> "
                 "caf\xC2&amp;</p><div style=\"height:3000px\"></div><p id=\"end\">end</p></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    wxToolBar* bar = form->BrowseTools;
    auto at = [&](const std::string& tail) {
        const std::string url = form->web->Engine()->Url();
        return url.size() >= tail.size() && url.compare(url.size() - tail.size(), tail.size(), tail) == 0;
    };

    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Open original homepage"));
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Open in Browser"));
    ASSERT_TRUE(WaitFor([&] { return launcher.opened.size() == 2; }));
    EXPECT_EQ(launcher.opened[0], "http://origin.example/one");
    EXPECT_EQ(launcher.opened[1], File("One"));

    Js("document.getElementById('go').click()", *form->web->Engine());
    ASSERT_TRUE(WaitFor([&] { return at("One.html#end"); }));
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Back"));
    ASSERT_TRUE(WaitFor([&] { return at("One.html"); })) << form->web->Engine()->Url();
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Forward"));
    ASSERT_TRUE(WaitFor([&] { return at("One.html#end"); })) << form->web->Engine()->Url();
    browsed.clear();
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Refresh"));
    ASSERT_TRUE(WaitFor([&] { return Browsed("One.html#end"); }));

    // A server that takes the request and never answers: the view loads until Stop.
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 4), 0);
    ::getsockname(server, reinterpret_cast<sockaddr*>(&address), &length);
    form->web->NavigateToUrl("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/slow");
    ASSERT_TRUE(WaitFor([&] { return form->web->Engine()->IsLoading(); }));
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, "Stop"));
    EXPECT_TRUE(WaitFor([&] { return !form->web->Engine()->IsLoading(); }, 3000));
    ::close(server);

    // The two buttons right of the tools, their captions whole.
    wxButton* cleanUp = nullptr;
    wxButton* unicode = nullptr;
    for (wxWindow* child : form->UnicodePanel->GetChildren())
        if (auto* b = dynamic_cast<wxButton*>(child))
            (b->GetLabel() == "CleanUp" ? cleanUp : unicode) = b;
    ASSERT_TRUE(cleanUp && unicode);
    for (wxButton* b : {cleanUp, unicode})
        EXPECT_GE(b->GetSize().x, b->GetBestSize().x) << b->GetLabel() << " is too narrow for its caption";
    ASSERT_NO_FATAL_FAILURE(ClickWindow(cleanUp, "CleanUp"));
    EXPECT_TRUE(WaitFor([&] { return Page("One").find("caf&amp;") != std::string::npos; })) << Page("One");
    ASSERT_NO_FATAL_FAILURE(ClickWindow(unicode, "Unicode"));
    EXPECT_TRUE(WaitFor([&] { return Page("One").rfind("<meta charset=unicode>\r\n", 0) == 0; })) << Page("One");
}

// The HTML view's command bars, each tool clicked on a selection: the document takes the
// format, and the font lists apply what is typed or chosen in them.
TEST_F(EditorClicksTest, HtmlCommandBarsRunWhenClicked)
{
    Write(
        "One",
        "<html><body><p>alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu omicron</p></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    ASSERT_NO_FATAL_FAILURE(ClickView(kViewHtml));
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("alpha"); }));
    test::editcmd::Log log;
    test::editcmd::FakePickers pickers(log);
    pickers.color = 0x0000FFu;
    form->CommandBars().SetDialogs(&pickers);
    Prompts prompts;
    form->HtmlEditor->SetDialogs(&prompts);
    wxToolBar* bar = form->ToolBar1;
    EditCommandBars& bars = form->CommandBars();

    struct Case {
        Tag tag;
        const char* word;
        const char* markup;  // what the document shows around the word afterwards
    };
    const Case cases[] = {
        {Tag::Bold, "alpha", R"(<(b|strong)>alpha</(b|strong)>)"},
        {Tag::Italic, "beta", R"(<(i|em)>beta</(i|em)>)"},
        {Tag::Underline, "gamma", R"(<u>gamma</u>)"},
        {Tag::FontColor, "delta", R"(<font color="#ff0000">delta</font>)"},
        {Tag::Anchor, "epsilon", R"(<a href="http://example.org/">epsilon</a>)"},
        {Tag::Picture, "zeta", R"(<img src="pic.png">)"},
    };
    for (const Case& c : cases) {
        ASSERT_NO_FATAL_FAILURE(SelectInHtml(c.word));
        ASSERT_NO_FATAL_FAILURE(ClickTool(bar, bars.ToolId(c.tag), c.word));
        EXPECT_TRUE(WaitFor([&] { return std::regex_search(HtmlDoc(), std::regex(c.markup)); }))
            << c.word << ": " << HtmlDoc();
    }
    ASSERT_NO_FATAL_FAILURE(SelectInHtml("omicron"));
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, bars.HighlightToolId(), "Highlight Selection"));
    EXPECT_TRUE(WaitFor([&] {
        return std::regex_search(
            HtmlDoc(), std::regex(R"(<span style="background-color: (#FFFF00|rgb\(255, 255, 0\));?">omicron</span>)",
                                  std::regex::icase));
    })) << HtmlDoc();
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, bars.BackgroundToolId(), "Background"));
    EXPECT_TRUE(WaitFor([&] { return std::regex_search(HtmlDoc(), std::regex(R"(<body[^>]* bgcolor="#ff0000")")); }))
        << HtmlDoc();
    // Its arrow opens the background menu, whose first item is chosen with the keyboard (the
    // menu runs its own loop: the keys go from a timer of the window's loop).
    pickers.picture = "/tmp/sky.jpg";
    bool menuOpen = false;
    auto opened = [&](wxMenuEvent& e) {
        menuOpen = true;
        e.Skip();
    };
    form->Bind(wxEVT_MENU_OPEN, opened);
    wxTimer keys;
    keys.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!menuOpen)
            return;
        keys.Stop();
        input.Key("Down");
        input.Key("Return");
    });
    keys.Start(30);
    ASSERT_NO_FATAL_FAILURE(ClickTool(bar, bars.BackgroundToolId(), "Background's arrow", test::ToolPart::Arrow));
    EXPECT_TRUE(WaitFor([&] {
        return std::regex_search(HtmlDoc(), std::regex(R"(<body[^>]* background="/tmp/sky.jpg")"));
    })) << HtmlDoc();
    keys.Stop();
    form->Unbind(wxEVT_MENU_OPEN, opened);

    // The font name typed into its box; the size chosen from its list with the keyboard.
    ASSERT_NO_FATAL_FAILURE(SelectInHtml("theta"));
    ASSERT_NO_FATAL_FAILURE(ClickWindow(bars.FontList(), "FontList"));
    ASSERT_TRUE(WaitFor([&] {
        return wxWindow::FindFocus() == bars.FontList() || bars.FontList()->IsDescendant(wxWindow::FindFocus());
    }));
    input.Key("a", {"Control_L"});
    input.Type("serif");
    input.Key("Return");
    EXPECT_TRUE(WaitFor([&] { return std::regex_search(HtmlDoc(), std::regex(R"(<font face="serif">theta</font>)")); }))
        << HtmlDoc();
    ASSERT_NO_FATAL_FAILURE(SelectInHtml("iota"));
    ASSERT_NO_FATAL_FAILURE(ClickWindow(bars.FontSizeList(), "FontSizeList"));
    ASSERT_TRUE(WaitFor([&] { return PopupShown(bars.FontSizeList()); }));
    input.Key("Down");
    input.Key("Return");
    WaitFor([&] { return !PopupShown(bars.FontSizeList()); }, 2000);
    EXPECT_TRUE(WaitFor([&] { return std::regex_search(HtmlDoc(), std::regex(R"(<font size="\d">iota</font>)")); }))
        << HtmlDoc();

    // Lists and alignment apply to the paragraph.
    struct Block {
        Tag tag;
        const char* markup;
    };
    const Block blocks[] = {
        {Tag::Numbers, "<ol>"},
        {Tag::Bullets, "<ul>"},
        {Tag::Center, "text-align: center"},
        {Tag::RightJustify, "text-align: right"},
        {Tag::LeftJustify, "text-align: left"},
    };
    for (const Block& b : blocks) {
        ASSERT_NO_FATAL_FAILURE(SelectInHtml("kappa"));
        ASSERT_NO_FATAL_FAILURE(ClickTool(bar, bars.ToolId(b.tag), b.markup));
        EXPECT_TRUE(WaitFor([&] { return HtmlDoc().find(b.markup) != std::string::npos; }))
            << b.markup << ": " << HtmlDoc();
    }
    form->CommandBars().SetDialogs(nullptr);
    form->HtmlEditor->SetDialogs(nullptr);
}

// The caret moved with the keys through bold, listed, centred and plain text: the pressed
// states and the font boxes follow it.
TEST_F(EditorClicksTest, TheBarsFollowTheCaret)
{
    Write(
        "One",
        "<html><body><p style=\"font-family: Courier\"><b>strong words</b></p><ol><li><font size=\"5\">listed item</font></li></ol>"
        "<p style=\"text-align: center\"><i>centred words</i></p><p>plain words</p></body></html>\r\n");
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    ASSERT_NO_FATAL_FAILURE(ClickView(kViewHtml));
    ASSERT_TRUE(WaitFor([&] { return HtmlShows("plain words"); }));
    // A click into the bold words, then the keys.
    ASSERT_NO_FATAL_FAILURE(ClickInHtml("strong words", 2));
    EditCommandBars& bars = form->CommandBars();
    auto bar = [&] {
        std::string s;
        for (auto [tag, name] : {std::pair{Tag::Bold, "B"},
                                 {Tag::Italic, "I"},
                                 {Tag::Numbers, "N"},
                                 {Tag::Bullets, "U"},
                                 {Tag::LeftJustify, "L"},
                                 {Tag::Center, "C"},
                                 {Tag::RightJustify, "R"}})
            if (ToolDown(tag))
                s += name;
        return s;
    };
    auto shows = [&](const std::string& pressed) { return WaitFor([&] { return bar() == pressed; }, 3000); };
    ASSERT_TRUE(WaitFor([&] { return Caret() == "strong words at 2"; }, 3000)) << Caret();
    EXPECT_TRUE(shows("BL")) << bar() << ", caret in " << Caret();
    EXPECT_EQ(bars.FontSizeList()->GetStringSelection(), "3");
    EXPECT_EQ(bars.FontList()->GetValue(), "Courier");
    // To the start of the next paragraph: the end of this line, one character on.
    auto nextParagraph = [&] {
        input.Key("End");
        input.Key("Right");
    };
    nextParagraph();
    EXPECT_TRUE(shows("NL")) << bar() << ", caret in " << Caret();
    EXPECT_EQ(bars.FontSizeList()->GetStringSelection(), "5");
    nextParagraph();
    EXPECT_TRUE(shows("IC")) << bar() << ", caret in " << Caret();
    nextParagraph();
    EXPECT_TRUE(shows("L")) << bar() << ", caret in " << Caret();
    EXPECT_EQ(bars.FontSizeList()->GetStringSelection(), "3");
    EXPECT_EQ(bars.FontList()->GetValue(), "");  // the page names no font there
    // Bold chosen at the caret with nothing selected: the button follows the typing format.
    input.Key("b", {"Control_L"});
    EXPECT_TRUE(shows("BL")) << bar() << ", caret in " << Caret();
}

// A page typed into in the HTML view, the node left (which saves it) and shown again, three
// times: each save changes the file where the user typed and nowhere else. The engine moves the
// line end after </html> into the body when it reads the page; the save must not write it there
// (the page grew by a line at every edited save), nor lose what the user typed at the end.
TEST_F(EditorClicksTest, EachEditedSaveChangesThePageOnlyWhereTyped)
{
    auto page = [](const std::string& start, const std::string& end) {
        return "<!-- From: \"http://example.org/a\" -->\r\n<html><head><title>T</title></head><body><p>" + start +
               "first</p>abc def" + end + "</body></html>\r\n";
    };
    Write("One", page("", ""));
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    ASSERT_NO_FATAL_FAILURE(ClickView(kViewHtml));
    std::string start, end;
    for (auto [key, atEnd] : {std::pair{"1", false}, {"2", false}, {"3", true}}) {
        ASSERT_TRUE(WaitFor([&] { return HtmlShows(start + "first") && HtmlShows("abc def" + end); }));
        ASSERT_NO_FATAL_FAILURE(ClickInHtml("first", 2));
        input.Key(atEnd ? "End" : "Home", {"Control_L"});
        input.Type(key);
        (atEnd ? end : start).insert(0, key);
        ASSERT_TRUE(WaitFor(
            [&] { return form->HtmlEditor->IsDirty() && HtmlShows(start + "first") && HtmlShows("abc def" + end); },
            3000))
            << HtmlDoc();
        ClickAt(LabelOnScreen("Two").x, LabelOnScreen("Two").y);
        ASSERT_TRUE(WaitFor([&] { return HtmlShows("page Two"); }));
        EXPECT_EQ(Page("One"), page(start, end)) << "save with " << key;
        ClickAt(LabelOnScreen("One").x, LabelOnScreen("One").y);
    }
}

// Typing in the Text view, then Edit > Undo chosen by its item and by its shortcut: the text
// goes back step by step, and the menu's Undo follows what is left to undo. Redo has nothing
// to do in this view: it stays disabled, and chosen it changes nothing.
TEST_F(EditorClicksTest, UndoInTheTextView)
{
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    ASSERT_NO_FATAL_FAILURE(ClickView(kViewText));
    const wxString before = form->SourceEditor->GetValue();
    ASSERT_NO_FATAL_FAILURE(ClickWindow(form->SourceEditor, "SourceEditor"));
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == form->SourceEditor; }, 3000));
    input.Key("End", {"Control_L"});
    input.Type("typed");
    input.Key("Return");
    input.Type("more");
    auto text = [&] { return form->SourceEditor->GetValue(); };
    ASSERT_TRUE(WaitFor([&] { return text() == before + "typed\nmore"; })) << text();

    wxMenu* edit = form->CommandBars().EditMenu();
    wxMenuItem* undo = edit->FindItem(edit->FindItem("&Undo"));
    wxMenuItem* redo = edit->FindItem(edit->FindItem("Redo"));
    auto open = [&] {
        wxMenuEvent opening(wxEVT_MENU_OPEN, 0, edit);
        form->ProcessWindowEvent(opening);
    };
    auto choose = [&](wxMenuItem* item) {
        wxCommandEvent chosen(wxEVT_MENU, item->GetId());
        form->ProcessWindowEvent(chosen);
        wxMenuEvent closing(wxEVT_MENU_CLOSE, 0, edit);
        form->ProcessWindowEvent(closing);
    };
    open();
    EXPECT_TRUE(undo->IsEnabled());
    EXPECT_FALSE(redo->IsEnabled());
    choose(undo);
    EXPECT_EQ(text(), before + "typed\n");
    open();
    EXPECT_TRUE(undo->IsEnabled());
    // Ctrl+Z, the item's shortcut, twice: the line break, then the word.
    input.Key("z", {"Control_L"});
    ASSERT_TRUE(WaitFor([&] { return text() == before + "typed"; }, 3000)) << text();
    input.Key("z", {"Control_L"});
    ASSERT_TRUE(WaitFor([&] { return text() == before; }, 3000)) << text();
    open();
    EXPECT_FALSE(undo->IsEnabled());
    EXPECT_FALSE(redo->IsEnabled());
    choose(redo);
    choose(undo);
    EXPECT_EQ(text(), before);
}

// The tree's width button clicked three times: the tree goes, comes back twice as wide, then
// as wide as it was; the pointer stays on the button, which moves with the tree's edge.
TEST_F(EditorClicksTest, TheWidthButtonCyclesTheTreeAndThePointerStaysOnIt)
{
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    const int width = form->Panel2->GetSashPosition();
    for (int expected : {0, 2 * width, width}) {
        const wxPoint before = form->WidthB->GetScreenPosition();
        ASSERT_NO_FATAL_FAILURE(ClickWindow(form->WidthB, "WidthB"));
        auto treeWidth = [&] { return form->Panel2->IsSplit() ? form->Panel2->GetSashPosition() : 0; };
        auto onButton = [&] { return wxGetMousePosition() - form->WidthB->GetScreenPosition(); };
        // Once GTK shows the button where it went.
        EXPECT_TRUE(WaitFor(
            [&] {
                return treeWidth() == expected && form->WidthB->GetScreenPosition() != before &&
                       onButton() == wxPoint(6, 11);
            },
            3000))
            << "tree " << treeWidth() << " instead of " << expected << ", pointer at " << onButton().x << ","
            << onButton().y << " of the button";
    }
}

// Each view at the default size, every tool of its bars shown whole; the screenshots of the
// window go to <build>/artifacts/.
TEST_F(EditorClicksTest, EachViewAtTheDefaultSizeShowsAllItsTools)
{
    ASSERT_NO_FATAL_FAILURE(OpenAtDefaultSize());
    auto allShown = [&](wxToolBar* bar) {
        std::string hidden;
        for (size_t i = 0; i < bar->GetToolsCount(); ++i) {
            const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
            if (!tool->IsSeparator() && test::ToolScreenRect(bar, tool->GetId()).IsEmpty()) {
                hidden += " [" + tool->GetShortHelp().utf8_string() + "]";
            }
        }
        return hidden;
    };
    const char* names[kViewCount] = {"browse", "html", "text"};
    wxImage shot;
    for (int view : {kViewHtml, kViewText, kViewBrowse}) {
        ASSERT_NO_FATAL_FAILURE(ClickView(view));
        WaitFor([&] { return !form->HtmlEditor->Busy(); });
        for (wxToolBar* bar : {form->ToolBar_main, form->DocBar, form->BrowseTools, form->ToolBar1, form->ToolBar2}) {
            // GTK lays a bar out once it shows.
            if (bar->IsShownOnScreen() && !WaitFor([&] { return allShown(bar).empty(); }, 3000)) {
                EXPECT_EQ(allShown(bar), "") << "view " << names[view];
            }
        }
        wxWindow* content[kViewCount] = {form->web, form->HtmlEditor, form->SourceEditor};
        wxWindow* bars[kViewCount] = {form->ToolBar3, form->ToolBar1, form->ToolBar2};
        shot = ShotOfView(content[view], bars[view], shot);
        // The whole window, with its frame, menus and status bar.
        EXPECT_TRUE(
            test::SaveArtifact(test::GrabScreen(form->GetRect()), std::string("editor-") + names[view] + ".png"));
    }
}

}  // namespace
}  // namespace ql
