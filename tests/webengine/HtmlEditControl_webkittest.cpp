#include "platform/core/com/HtmlDocument.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/HtmlEditControl.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/support/TempDir.h"
#include "tests/webengine/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

namespace ql::web {
namespace {

using namespace ql::com;

struct HtmlEditControlTest : ::testing::Test {
    test::TempDir dir;
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "edit", wxDefaultPosition, wxSize(800, 600));
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
    void TearDown() override { frame->Destroy(); }

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

TEST_F(HtmlEditControlTest, DocumentHtmlKeepsTheLeadingCommentLine)
{
    const std::string header = "<!-- From: \"http://example.org/a?b=1&c=2\" -->";
    Load("page #1.html", header + "\r\n<html><head><title>T</title></head><body><p>hello world</p></body></html>\r\n");
    EXPECT_FALSE(edit->IsDirty());
    std::string html = edit->DocumentHTML();
    ASSERT_FALSE(html.empty());
    EXPECT_EQ(html.substr(0, html.find("\r\n")), header);
    EXPECT_NE(html.find("<p>hello world</p>"), std::string::npos);

    // Saving writes CR LF lines and counts as clean again.
    edit->SetDocumentHTML(html + "<!-- tail -->");
    ASSERT_TRUE(test::PumpUntil([&] { return completed >= 2; }));
    std::string again = edit->DocumentHTML();
    EXPECT_EQ(again.substr(0, again.find("\r\n")), header);
    EXPECT_NE(again.find("<!-- tail -->"), std::string::npos);
    ASSERT_TRUE(edit->SaveDocument((dir.path() / "saved.html").string()));
    EXPECT_EQ(dir.read("saved.html").substr(0, header.size() + 2), header + "\r\n");
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

TEST_F(HtmlEditControlTest, PageScriptsNeverRunWhileEditing)
{
    Load("s.html", "<html><body onload=\"document.title='ran'\"><script>document.title='ran'</script>"
                   "<img src=x onerror=\"document.title='ran'\"><p>x</p></body></html>");
    ComPtr<IHTMLDocument2> doc = edit->DOM();
    ASSERT_TRUE(doc);
    std::u16string title = u"?";
    ASSERT_EQ(doc->get_title(&title), S_OK);
    EXPECT_EQ(title, u"");
}

}  // namespace
}  // namespace ql::web
