#include "foundation/VekIEClass.h"
#include "platform/core/com/HtmlDocument.h"
#include "platform/gui/ScriptDocument.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

namespace ql {
namespace {

using namespace ql::com;

struct HighlightTest : ::testing::Test {
    test::TempDir dir;
    test::OwnedFrame<> frame{new wxFrame(nullptr, wxID_ANY, "browse", wxDefaultPosition, wxSize(800, 600))};
    std::shared_ptr<web::WebViewEngine> engine;
    int loaded = 0;

    void SetUp() override
    {
        engine = web::WebViewEngine::Create(frame);
        ASSERT_TRUE(engine);
        web::WebEngineSettings s;
        s.pageScripts = false;
        engine->Apply(s);
        engine->OnLoaded = [this](const std::string&) { ++loaded; };
        frame->Show();
    }
    void TearDown() override
    {
        engine.reset();
        frame.reset();
    }
    ComPtr<IHTMLDocument2> Open(const std::string& html)
    {
        int before = loaded;
        engine->Load("file://" + dir.write("p.html", html).string());
        if (!test::PumpUntil([&] { return loaded > before; }))
            return nullptr;
        return web::MakeScriptDocument(engine);
    }
    std::string BodyHtml(IHTMLDocument2* doc)
    {
        ComPtr<IHTMLElement> body;
        std::u16string html;
        if (SUCCEEDED(doc->get_body(body.put())) && body)
            body->get_innerHTML(&html);
        return Utf8FromWide(html);
    }
};

TEST_F(HighlightTest, MarksEveryMatchAsTextInsideItsSpan)
{
    ComPtr<IHTMLDocument2> doc = Open(
        "<html><body><p>Cat &amp; dog: the &lt;b&gt; tag</p><p><b>cat</b> and more CATS</p>"
        "<style>.cat { color: red }</style></body></html>");
    ASSERT_TRUE(doc);
    HighlightText("cat", doc.get());
    std::string body = BodyHtml(doc.get());
    const std::string mark = "<span style=\"background-color: #FFFF00\">";
    std::size_t count = 0;
    for (std::size_t at = body.find(mark); at != std::string::npos; at = body.find(mark, at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << body;
    EXPECT_NE(body.find(mark + "Cat</span> &amp; dog"), std::string::npos) << body;
    EXPECT_NE(body.find("<b>" + mark + "cat</span></b>"), std::string::npos) << body;
    EXPECT_NE(body.find(mark + "CAT</span>S"), std::string::npos) << body;
    EXPECT_NE(body.find("<style>.cat { color: red }</style>"), std::string::npos) << body;  // no page text

    // Text that looks like markup stays text.
    HighlightText("<b>", doc.get());
    body = BodyHtml(doc.get());
    EXPECT_NE(body.find(mark + "&lt;b&gt;</span>"), std::string::npos) << body;
    // An empty text changes nothing.
    HighlightText("", doc.get());
    EXPECT_EQ(BodyHtml(doc.get()), body);
}

TEST_F(HighlightTest, MatchesAcrossElementsAndWhitespace)
{
    ComPtr<IHTMLDocument2> doc = Open("<html><body><p>Hello <i>wor</i>ld\n   again</p></body></html>");
    ASSERT_TRUE(doc);
    HighlightText("world again", doc.get());
    std::string body = BodyHtml(doc.get());
    EXPECT_NE(body.find("<i><span style=\"background-color: #FFFF00\">wor</span></i>"), std::string::npos) << body;
    EXPECT_NE(body.find(">ld\n   again</span>"), std::string::npos) << body;
}

TEST_F(HighlightTest, ObjectsOfAnEarlierPageAreRefused)
{
    ComPtr<IHTMLDocument2> first = Open("<html><body><p>one</p></body></html>");
    ASSERT_TRUE(first);
    ComPtr<IHTMLDocument2> second = Open("<html><body><p>two</p></body></html>");
    ASSERT_TRUE(second);
    std::u16string html;
    ComPtr<IHTMLElement> body;
    EXPECT_EQ(first->get_body(body.put()), E_FAIL);
    EXPECT_EQ(BodyHtml(second.get()), "<p>two</p>");
}

TEST_F(HighlightTest, AScriptThatNeverAnswersFailsInsteadOfHanging)
{
    ComPtr<IHTMLDocument2> doc = Open("<html><body><p>x</p></body></html>");
    ASSERT_TRUE(doc);
    engine->scriptTimeoutMs = 300;
    wxStopWatch watch;
    std::string result;
    EXPECT_FALSE(engine->RunScript("for(;;){}", result));
    EXPECT_LT(watch.Time(), 5000);
    // The hung page is gone: its objects fail at once, and the view loads again.
    ASSERT_TRUE(test::PumpUntil([&] { return !engine->HasDocument(); }));
    std::u16string title;
    EXPECT_EQ(doc->get_title(&title), E_FAIL);
    engine->scriptTimeoutMs = 10000;
    ComPtr<IHTMLDocument2> again = Open("<html><head><title>back</title></head><body></body></html>");
    ASSERT_TRUE(again);
    ASSERT_EQ(again->get_title(&title), S_OK);
    EXPECT_EQ(title, u"back");
}

}  // namespace
}  // namespace ql
