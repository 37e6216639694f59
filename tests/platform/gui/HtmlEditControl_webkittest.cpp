#include "platform/core/com/HtmlDocument.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "platform/gui/WebUrls.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/stopwatch.h>
#include <wx/uiaction.h>

namespace ql::web {
namespace {

using namespace ql::com;

struct HtmlEditControlTest : ::testing::Test {
    test::TempDir dir;
    test::OwnedFrame<> frame{new wxFrame(nullptr, wxID_ANY, "edit", wxDefaultPosition, wxSize(800, 600))};
    HtmlEditControl* edit = nullptr;
    int completed = 0;

    void SetUp() override
    {
        std::string error;
        edit = HtmlEditControl::Create(frame, wxID_ANY, &error);
        ASSERT_TRUE(edit) << error;
        edit->OnDocumentComplete = [this] { ++completed; };
        frame->Show();
    }
    void TearDown() override
    {
        if (edit) {
            edit->OnDocumentComplete = nullptr;
            edit->OnDisplayChanged = nullptr;
        }
        frame.reset();
    }

    void Load(const std::string& name, const std::string& html)
    {
        int before = completed;
        edit->LoadDocument(dir.write(name, html).string());
        ASSERT_TRUE(edit->Busy());
        ASSERT_TRUE(test::PumpUntil([&] { return completed > before; }));
        EXPECT_FALSE(edit->Busy());
    }

    ComPtr<IHTMLTxtRange> BodyRange()
    {
        ComPtr<IHTMLDocument2> doc = edit->DOM();
        ComPtr<IHTMLElement> body;
        ComPtr<IHTMLBodyElement> be;
        ComPtr<IHTMLTxtRange> range;
        if (!doc || FAILED(doc->get_body(body.put())) || !body ||
            FAILED(body->QueryInterface(IHTMLBodyElement::IID_, be.putVoid())) ||
            FAILED(be->createTextRange(range.put())))
            return nullptr;
        return range;
    }
};

TEST_F(HtmlEditControlTest, DocumentHtmlGivesThePageBackAsItWasWritten)
{
    // The page as read is saved as the same bytes, the comment lines before and after <html>
    // included: the engine moved the line end after </html> into the body, and the markup puts
    // it back where it was.
    const std::string header = "<!-- From: \"http://example.org/a?b=1&c=2\" -->";
    const std::string page =
        header + "\r\n<html><head><title>T</title></head><body><p>hello world</p>\r\nlast words\r\n</body></html>\r\n";
    auto saved = [&](const std::string& name) {
        EXPECT_TRUE(edit->SaveDocument((dir.path() / name).string()));
        EXPECT_FALSE(edit->IsDirty());
        return dir.read(name);
    };
    Load("page #1.html", page);
    EXPECT_FALSE(edit->IsDirty());
    const std::string html = edit->DocumentHTML();
    EXPECT_EQ(html.substr(0, html.find("\r\n")), header);
    EXPECT_FALSE(edit->IsDirty());
    EXPECT_EQ(saved("saved.html"), page);
    std::u16string url;
    ASSERT_EQ(edit->DOM()->get_URL(&url), S_OK);
    EXPECT_EQ(Utf8FromWide(url), FilePathToUrl((dir.path() / "page #1.html").string()));

    edit->SetDocumentHTML(html + "<!-- tail -->\r\n");
    ASSERT_TRUE(test::PumpUntil([&] { return completed >= 2; }));
    EXPECT_EQ(saved("tail.html"), page + "<!-- tail -->\r\n");
    Load("again.html", page + "<!-- tail -->\r\n");
    EXPECT_EQ(saved("again.html"), page + "<!-- tail -->\r\n");
}

TEST_F(HtmlEditControlTest, BoldSelectionIsLatchedAndMakesTheDocumentDirty)
{
    Load("b.html", "<html><body><p>first words here</p><p>second</p></body></html>");
    EXPECT_EQ(edit->QueryStatus(DECMD_BOLD), DECMDF_ENABLED);
    ComPtr<IHTMLTxtRange> range = BodyRange();
    ASSERT_TRUE(range);
    bool found = false;
    ASSERT_EQ(range->findText(u"WORDS", 1, 0, &found), S_OK);
    ASSERT_TRUE(found);
    int displayChanges = 0;
    edit->OnDisplayChanged = [&] { ++displayChanges; };
    ASSERT_EQ(range->select(), S_OK);
    EXPECT_TRUE(test::PumpUntil([&] { return displayChanges > 0; }));
    EXPECT_FALSE(edit->IsDirty());
    ASSERT_EQ(edit->ExecCommand(DECMD_BOLD, 2), S_OK);
    EXPECT_EQ(edit->QueryStatus(DECMD_BOLD), DECMDF_LATCHED);
    EXPECT_EQ(edit->QueryStatus(DECMD_ITALIC), DECMDF_ENABLED);
    ASSERT_TRUE(test::PumpUntil([&] { return edit->IsDirty(); }));
    EXPECT_NE(edit->DocumentHTML().find("<b>words</b>"), std::string::npos);

    // The document's command target answers the editing group the toolbar reads.
    ASSERT_EQ(edit->ExecCommand(DECMD_JUSTIFYCENTER, 2), S_OK);
    ComPtr<IOleCommandTarget> target;
    ASSERT_EQ(edit->DOM()->QueryInterface(IOleCommandTarget::IID_, target.putVoid()), S_OK);
    OLECMD cmds[2] = {{IDM_JUSTIFYCENTER, 0}, {IDM_JUSTIFYRIGHT, 0}};
    ASSERT_EQ(target->QueryStatus(&CGID_MSHTML, 2, cmds), S_OK);
    EXPECT_EQ(cmds[0].cmdf, OLECMDF_SUPPORTED | OLECMDF_ENABLED | OLECMDF_LATCHED);
    EXPECT_EQ(cmds[1].cmdf, OLECMDF_SUPPORTED | OLECMDF_ENABLED);

    Variant font;
    ASSERT_EQ(edit->ExecCommand(DECMD_GETFONTSIZE, 2, {}, &font), S_OK);
    EXPECT_EQ(font.ToUtf8(), "3");
    ASSERT_EQ(edit->ExecCommand(DECMD_SETFORECOLOR, 0, Variant(u"#ff0000")), S_OK);
    Variant colour;
    ASSERT_EQ(edit->ExecCommand(DECMD_GETFORECOLOR, 0, {}, &colour), S_OK);
    EXPECT_EQ(colour.ToUtf8(), "#ff0000");

    // A new document is clean again and its paragraphs follow UseDivOnCarriageReturn.
    int before = completed;
    edit->NewDocument();
    ASSERT_TRUE(test::PumpUntil([&] { return completed > before; }));
    EXPECT_FALSE(edit->IsDirty());
    EXPECT_EQ(edit->QueryStatus(DECMD_BOLD), DECMDF_ENABLED);
}

TEST_F(HtmlEditControlTest, NewParagraphsFollowUseDivOnCarriageReturn)
{
    const char* split = "(function(){var t=document.body.firstChild;var r=document.createRange();"
                        "r.setStart(t,2);r.collapse(true);var s=getSelection();s.removeAllRanges();s.addRange(r);"
                        "return document.execCommand('insertParagraph');})()";
    Load("p.html", "<html><body>abcd</body></html>");
    json::Value ok;
    ASSERT_EQ(RunDomScript(edit->Engine(), split, &ok), S_OK);
    std::string html = edit->DocumentHTML();
    EXPECT_NE(html.find("<p>cd</p>"), std::string::npos) << html;
    EXPECT_EQ(html.find("<div>"), std::string::npos) << html;

    edit->SetUseDivOnCarriageReturn(true);
    Load("d.html", "<html><body>abcd</body></html>");
    ASSERT_EQ(RunDomScript(edit->Engine(), split, &ok), S_OK);
    html = edit->DocumentHTML();
    EXPECT_NE(html.find("<div>cd</div>"), std::string::npos) << html;
    EXPECT_EQ(html.find("<p>"), std::string::npos) << html;
}

TEST_F(HtmlEditControlTest, PageScriptsStayInTheMarkupButNeverRun)
{
    const std::string png("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00"
                          "\x01\x08\x04\x00\x00\x00\xb5\x1c\x0c\x02\x00\x00\x00\x0b\x49\x44\x41\x54\x78\xda\x63\x64\x60"
                          "\x00\x00\x00\x06\x00\x02\x30\x81\xd0\x2f\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
                          68);
    dir.write("!images/x.png", png);
    const std::string script = "<script>document.title='ran'</script>";
    const std::string onclick = "<p onclick=\"document.title='ran'\">hi</p>";
    const std::string link = "<a href=\"javascript:document.title='ran'\">l</a>";
    Load("s.html", "<html><head>" + script + "</head><body onload=\"document.title='ran'\">" + onclick + link +
                       "<img src=\"!images\\x.png\" onerror=\"document.title='ran'\"></body></html>");
    auto expectKept = [&] {
        std::string html = edit->DocumentHTML();
        EXPECT_NE(html.find(script), std::string::npos) << html;
        EXPECT_NE(html.find(onclick), std::string::npos) << html;
        EXPECT_NE(html.find(link), std::string::npos) << html;
    };
    auto title = [&] {
        json::Value v;
        EXPECT_EQ(RunDomScript(edit->Engine(), "document.title", &v), S_OK);
        return v.AsString() ? *v.AsString() : std::string("?");
    };
    expectKept();
    EXPECT_EQ(title(), "");
    // The picture, named the way other programs write it, loads from the page's folder.
    json::Value width;
    ASSERT_TRUE(test::PumpUntil([&] {
        return SUCCEEDED(RunDomScript(edit->Engine(), "document.images[0].naturalWidth", &width)) && width.AsNumber() &&
               *width.AsNumber() == 1;
    }));
    json::Value ignored;
    ASSERT_EQ(RunDomScript(edit->Engine(), "document.querySelector('p').click(), true", &ignored), S_OK);
    EXPECT_EQ(title(), "");

    // Markup set from outside keeps its scripts too, without running them.
    int before = completed;
    edit->SetDocumentHTML("<html><head>" + script + "</head><body>" + onclick + link + "</body></html>");
    ASSERT_TRUE(test::PumpUntil([&] { return completed > before; }));
    expectKept();
    EXPECT_EQ(title(), "");
    ASSERT_TRUE(edit->SaveDocument((dir.path() / "s.html").string()));
    EXPECT_NE(dir.read("s.html").find(script), std::string::npos);
}

TEST_F(HtmlEditControlTest, PageRefreshDoesNotReplaceTheDocument)
{
    dir.write("other.html", "<html><head><title>other</title></head><body><p>other page</p></body></html>");
    Load("r.html", "<html><head><meta http-equiv=\"refresh\" content=\"0;url=other.html\"></head>"
                   "<body><p>open page</p></body></html>");
    int after = completed;
    // The refresh is due at once; give it time to show it is ignored.
    EXPECT_FALSE(test::PumpUntil(
        [&] { return completed > after || edit->DocumentHTML().find("other page") != std::string::npos; }, 1500));
    EXPECT_NE(edit->DocumentHTML().find("open page"), std::string::npos);
    EXPECT_NE(edit->Engine().Url().find("r.html"), std::string::npos);
}

TEST_F(HtmlEditControlTest, FailedLoadLeavesNoDocumentToSave)
{
    Load("good.html", "<html><body><p>good</p></body></html>");
    EXPECT_FALSE(edit->LoadFailed());
    int before = completed;
    edit->LoadDocument((dir.path() / "missing.html").string());
    ASSERT_TRUE(test::PumpUntil([&] { return completed > before; }));
    EXPECT_TRUE(edit->LoadFailed());
    EXPECT_FALSE(edit->Engine().HasDocument());
    EXPECT_EQ(edit->DocumentHTML(), "");
    EXPECT_FALSE(edit->SaveDocument((dir.path() / "missing.html").string()));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing.html"));

    Load("again.html", "<html><body><p>again</p></body></html>");
    EXPECT_FALSE(edit->LoadFailed());
    EXPECT_NE(edit->DocumentHTML().find("again"), std::string::npos);
}

TEST_F(HtmlEditControlTest, SlowScriptFailsTheCallButKeepsTheDocument)
{
    Load("slow.html", "<html><body><p>unsaved work</p></body></html>");
    std::string result;
    edit->Engine().scriptTimeoutMs = 100;
    EXPECT_FALSE(
        edit->Engine().RunScript("(function(){var t=Date.now();while(Date.now()-t<600);return 'late';})()", result));
    edit->Engine().scriptTimeoutMs = 15000;
    EXPECT_TRUE(edit->Engine().HasDocument());
    EXPECT_NE(edit->DocumentHTML().find("unsaved work"), std::string::npos);
}

TEST_F(HtmlEditControlTest, QueuedCallsWaitUntilTheScriptAnswered)
{
    Load("q.html", "<html><body><p>q</p></body></html>");
    bool ran = false;
    auto idles = std::make_shared<int>(0);  // the frame outlives this test
    edit->CallAfter([&] { ran = true; });
    frame->Bind(wxEVT_IDLE, [idles](wxIdleEvent& ev) {
        ++*idles;
        ev.Skip();
    });
    std::string result;
    ASSERT_TRUE(
        edit->Engine().RunScript("(function(){var t=Date.now();while(Date.now()-t<200);return 'x';})()", result));
    EXPECT_FALSE(ran);
    EXPECT_EQ(*idles, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return ran; }));
}

// A busy script of `ms` milliseconds that answers "done".
std::string BusyScript(int ms)
{
    return "(function(){var t=Date.now();while(Date.now()-t<" + std::to_string(ms) + ");return 'done';})()";
}

// Runs `f` from the main loop after `ms` milliseconds, as a source the wait does not hold.
template <class F>
void RunFromLoopAfter(unsigned ms, F* f)
{
    g_timeout_add(
        ms,
        [](gpointer p) -> gboolean {
            (*static_cast<F*>(p))();
            return G_SOURCE_REMOVE;
        },
        f);
}

TEST_F(HtmlEditControlTest, AClickDuringAScriptReachesItsWindowOnlyOnceTheScriptAnswered)
{
    Load("click.html", "<html><body><p>c</p></body></html>");
    struct Frame {
        wxFrame* w = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(900, 100), wxSize(200, 120));
        ~Frame() { w->Destroy(); }
    } other;
    auto* button = new wxButton(other.w, wxID_ANY, "press");
    auto clicks = std::make_shared<int>(0), entered = std::make_shared<int>(0);
    button->Bind(wxEVT_BUTTON, [clicks](wxCommandEvent&) { ++*clicks; });
    button->Bind(wxEVT_ENTER_WINDOW, [entered](wxMouseEvent& ev) {
        ++*entered;
        ev.Skip();
    });
    other.w->Show();
    wxUIActionSimulator sim;
    // Until the pointer is over the button as the X server sees it (the window manager may
    // still be placing the frame).
    ASSERT_TRUE(test::PumpUntil([&] {
        if (button->IsShownOnScreen())
            sim.MouseMove(button->GetScreenRect().GetPosition() + button->GetSize() / 2);
        return *entered > 0;
    }));
    auto click = [&sim] { sim.MouseClick(); };
    RunFromLoopAfter(30, &click);
    std::string result;
    ASSERT_TRUE(edit->Engine().RunScript(BusyScript(400), result));
    EXPECT_EQ(*clicks, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return *clicks == 1; }, 5000));
}

TEST_F(HtmlEditControlTest, ControlDestroyedDuringAScriptEndsTheCallAndLeavesAnEngineThatFailsAtOnce)
{
    Load("gone.html", "<html><body><p>gone</p></body></html>");
    std::shared_ptr<WebViewEngine> engine = edit->Engine().shared_from_this();
    engine->scriptTimeoutMs = 5000;
    HtmlEditControl* gone = std::exchange(edit, nullptr);
    auto destroy = [gone] { gone->Destroy(); };
    RunFromLoopAfter(30, &destroy);
    std::string result;
    wxStopWatch watch;
    engine->RunScript(BusyScript(300), result);  // its answer, or none: the view went meanwhile
    EXPECT_LT(watch.Time(), 5000);
    EXPECT_EQ(engine->View(), nullptr);
    EXPECT_EQ(engine->Native(), nullptr);
    EXPECT_FALSE(engine->HasDocument());
    EXPECT_FALSE(engine->RunScript("'x'", result));
}

}  // namespace
}  // namespace ql::web
