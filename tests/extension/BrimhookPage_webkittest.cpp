// The capture library with a real page: the document comes from our document facade over WebKit.
#include "platform/core/SafeFile.h"
#include "platform/gui/ScriptDocument.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/extension/BrimhookLibrary.h"
#include "tests/extension/HandOverListener.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

namespace ql {
namespace {

using namespace ql::com;

TEST(BrimhookPage, SelectedParagraphOfARealPageIsSavedFromTheButton)
{
    test::ScopedXdgEnv env;
    test::TempDir site;
    test::BrimhookLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    test::HandOverListener quillory;
    ASSERT_TRUE(quillory.Listening());

    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "page", wxDefaultPosition, wxSize(800, 600)));
    std::shared_ptr<web::WebViewEngine> engine = web::WebViewEngine::Create(frame);
    ASSERT_TRUE(engine);
    int loaded = 0;
    engine->OnLoaded = [&](const std::string&) { ++loaded; };
    frame->Show();
    const std::string page = site.write("p.html", "<html><head><title>Two paragraphs</title></head><body>"
                                                  "<p id=\"a\">First one.</p><p id=\"b\">Second <b>bold</b> one.</p>"
                                                  "</body></html>")
                                 .string();
    engine->Load("file://" + page);
    ASSERT_TRUE(test::PumpUntil([&] { return loaded > 0; }));
    std::string ignored;
    ASSERT_TRUE(engine->RunScript("(function() { var r = document.createRange();"
                                  " r.selectNode(document.getElementById('b'));"
                                  " var s = getSelection(); s.removeAllRanges(); s.addRange(r); return ''; })()",
                                  ignored));
    ComPtr<IHTMLDocument2> doc = web::MakeScriptDocument(engine);
    ASSERT_TRUE(doc);

    ComPtr<brimhook::Iquillory> object = library.Create();
    ASSERT_TRUE(object);
    EXPECT_EQ(test::CallSlot(object.get(), 9, doc.get()), S_OK);  // SaveFromButton
    auto got = quillory.Received();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].clip, "<p id=\"b\">Second <b>bold</b> one.</p>\r\n");
    EXPECT_EQ(got[0].text, env.root().dir() + "runtime/quillory/qltemp.html\r\nfile://" + page + "\r\nTwo paragraphs");

    object.reset();
    doc.reset();
    engine.reset();
    frame.reset();
}

}  // namespace
}  // namespace ql
