#include "platform/gui/ScriptDocument.h"
#include "platform/gui/DomScript.h"
#include "tests/platform/gui/FakeDocumentEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace ql::web {
namespace {

using namespace ql::com;
using test::FakeDocumentEngine;

struct ScriptDocumentTest : ::testing::Test {
    std::shared_ptr<FakeDocumentEngine> engine = std::make_shared<FakeDocumentEngine>();
    ComPtr<IHTMLDocument2> doc = MakeScriptDocument(engine);
};

TEST_F(ScriptDocumentTest, NoDocumentBeforeAPageIsCommitted)
{
    engine->hasDocument = false;
    EXPECT_FALSE(MakeScriptDocument(engine));
    EXPECT_FALSE(MakeScriptDocument(nullptr));
}

TEST_F(ScriptDocumentTest, ObjectsOfAnOlderDocumentOrAGoneViewFail)
{
    engine->Answer("Q.put(document.body)", "[7,\"t\"]");
    ComPtr<IHTMLElement> body;
    ASSERT_EQ(doc->get_body(body.put()), S_OK);
    ASSERT_TRUE(body);
    engine->generation = 2;  // the view committed another page
    std::size_t ran = engine->bodies.size();
    std::u16string html;
    EXPECT_EQ(body->get_outerHTML(&html), E_FAIL);
    EXPECT_EQ(doc->get_title(&html), E_FAIL);
    EXPECT_EQ(engine->bodies.size(), ran);  // nothing reached the new page
    engine->generation = 1;
    engine.reset();
    EXPECT_EQ(body->get_outerHTML(&html), E_FAIL);
}

TEST_F(ScriptDocumentTest, ThrownScriptsAndUnreadableAnswersAreErrors)
{
    engine->Throw("document.title");
    std::u16string t;
    EXPECT_EQ(doc->get_title(&t), DISP_E_EXCEPTION);
    engine->engineFails = true;
    EXPECT_EQ(doc->get_URL(&t), E_FAIL);

    FakeDocumentEngine raw;
    struct Garbage : FakeDocumentEngine {
        bool RunScript(const std::string&, std::string& r) override
        {
            r = "not json";
            return true;
        }
    } garbage;
    EXPECT_EQ(RunDomScript(garbage, "1", nullptr), E_FAIL);
}

TEST_F(ScriptDocumentTest, TextGoesIntoScriptsAsJsonAndComesBackDecoded)
{
    engine->Answer("Q.put(Q.bodyRange())", "[3,\"tok\"]");
    engine->Answer("Q.findText", "true");
    engine->Answer("Q.htmlText", R"("<b>a&amp;b</b> \u4e2d")");
    ComPtr<IHTMLElement> body;
    engine->Answer("Q.put(document.body)", "[1,\"tok\"]");
    ASSERT_EQ(doc->get_body(body.put()), S_OK);
    ComPtr<IHTMLBodyElement> be;
    ASSERT_EQ(body->QueryInterface(IHTMLBodyElement::IID_, be.putVoid()), S_OK);
    ComPtr<IHTMLTxtRange> range;
    ASSERT_EQ(be->createTextRange(range.put()), S_OK);
    bool found = false;
    ASSERT_EQ(range->findText(u"it's \"</script>\"\n", 1, 0, &found), S_OK);
    EXPECT_TRUE(found);
    EXPECT_EQ(engine->bodies.back(), R"(Q.findText(Q.get([3,"tok"]),"it's \"</script>\"\n",1,0))");
    std::u16string html;
    ASSERT_EQ(range->get_htmlText(&html), S_OK);
    EXPECT_EQ(html, u"<b>a&amp;b</b> \u4e2d");
    ASSERT_EQ(range->pasteHTML(u"<i>x</i>"), S_OK);
    EXPECT_EQ(engine->bodies.back(), R"(Q.pasteHTML(Q.get([3,"tok"]),"<i>x</i>"))");
}

TEST_F(ScriptDocumentTest, WrapTextTakesOnlyPlainElementNames)
{
    engine->Answer("Q.put(Q.selRange())", "[4,\"tok\"]");
    ComPtr<IHTMLSelectionObject> sel;
    ASSERT_EQ(doc->get_selection(sel.put()), S_OK);
    ComPtr<IDispatch> disp;
    ASSERT_EQ(sel->createRange(disp.put()), S_OK);
    ComPtr<IHTMLTxtRange> range;
    ASSERT_EQ(disp->QueryInterface(IHTMLTxtRange::IID_, range.putVoid()), S_OK);
    EXPECT_EQ(range->wrapText(u"span onclick=alert(1)", u"x"), E_INVALIDARG);
    EXPECT_EQ(range->wrapText(u"1span", u"x"), E_INVALIDARG);
    EXPECT_EQ(range->wrapText(u"", u"x"), E_INVALIDARG);
    EXPECT_EQ(range->wrapText(u"h1", u"color: \"red\""), S_OK);
    EXPECT_EQ(engine->bodies.back(), R"(Q.wrapText(Q.get([4,"tok"]),"h1","color: \"red\""))");
}

TEST_F(ScriptDocumentTest, BodyAnswersItsInterfacesAndOtherElementsDoNot)
{
    engine->Answer("Q.put(document.body)", "[1,\"tok\"]");
    engine->Answer("map(Q.put)", "[[2,\"tok\"],[3,\"tok\"]]");
    ComPtr<IHTMLElement> body;
    ASSERT_EQ(doc->get_body(body.put()), S_OK);
    ComPtr<IHTMLBodyElement> be;
    EXPECT_EQ(body->QueryInterface(IHTMLBodyElement::IID_, be.putVoid()), S_OK);
    ComPtr<IHTMLElementCollection> images;
    ASSERT_EQ(doc->get_images(images.put()), S_OK);
    std::int32_t n = 0;
    images->get_length(&n);
    EXPECT_EQ(n, 2);
    ComPtr<IDispatch> item;
    ASSERT_EQ(images->item(Variant(std::int32_t(1)), item.put()), S_OK);
    ComPtr<IHTMLElement> img;
    ASSERT_EQ(item->QueryInterface(IHTMLElement::IID_, img.putVoid()), S_OK);
    EXPECT_EQ(item->QueryInterface(IHTMLBodyElement::IID_, be.putVoid()), E_NOINTERFACE);
    std::u16string html;
    img->get_outerHTML(&html);
    EXPECT_EQ(engine->bodies.back(), R"(Q.get([3,"tok"]).outerHTML)");
    ComPtr<IDispatch> none;
    EXPECT_EQ(images->item(Variant(std::int32_t(2)), none.put()), S_OK);
    EXPECT_FALSE(none);
    ComPtr<IUnknown> u1, u2;
    doc->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(u1.put()));
    doc->QueryInterface(IOleCommandTarget::IID_, reinterpret_cast<void**>(u2.put()));
    EXPECT_TRUE(u1 && u2);
}

TEST_F(ScriptDocumentTest, PropertiesByNameThroughIDispatch)
{
    engine->Answer("Q.put(document.body)", "[1,\"tok\"]");
    engine->Answer("Q.name(", "true");
    engine->Answer("Q.invoke(", R"("<body>x</body>")");
    ComPtr<IHTMLElement> body;
    ASSERT_EQ(doc->get_body(body.put()), S_OK);
    std::u16string name = u"outerHtml";
    DISPID id = 0;
    ASSERT_EQ(body->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    DISPPARAMS none;
    Variant v;
    ASSERT_EQ(body->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr), S_OK);
    EXPECT_EQ(v.ToUtf8(), "<body>x</body>");
    EXPECT_EQ(engine->bodies.back(), R"(Q.invoke(Q.get([1,"tok"]),"outerHtml",2,[]))");
    DISPPARAMS put;
    put.args.push_back(Variant(u"<body>y</body>"));
    ASSERT_EQ(body->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(engine->bodies.back(), R"(Q.invoke(Q.get([1,"tok"]),"outerHtml",4,["<body>y</body>"]))");
    EXPECT_EQ(body->Invoke(id + 5, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    engine->rules.insert(engine->rules.begin(), {"Q.name(", "false"});
    std::u16string unknown = u"nope";
    EXPECT_EQ(body->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(ScriptDocumentTest, CommandTargetGroups)
{
    ComPtr<IOleCommandTarget> target;
    ASSERT_EQ(doc->QueryInterface(IOleCommandTarget::IID_, target.putVoid()), S_OK);
    OLECMD cmds[3] = {{OLECMDID_COPY, 0}, {OLECMDID_PRINT, 0}, {99, 0}};
    engine->canExecute = false;
    ASSERT_EQ(target->QueryStatus(nullptr, 3, cmds), S_OK);
    EXPECT_EQ(cmds[0].cmdf, OLECMDF_SUPPORTED);
    EXPECT_EQ(cmds[1].cmdf, OLECMDF_SUPPORTED | OLECMDF_ENABLED);
    EXPECT_EQ(cmds[2].cmdf, 0u);

    engine->Answer("\"justifyRight\"", "[true,true,true]");
    engine->Answer("\"justifyCenter\"", "[true,true,false]");
    OLECMD m[3] = {{IDM_JUSTIFYRIGHT, 0}, {IDM_JUSTIFYCENTER, 0}, {12345, 0}};
    ASSERT_EQ(target->QueryStatus(&CGID_MSHTML, 3, m), S_OK);
    EXPECT_EQ(m[0].cmdf, OLECMDF_SUPPORTED | OLECMDF_ENABLED | OLECMDF_LATCHED);
    EXPECT_EQ(m[1].cmdf, OLECMDF_SUPPORTED | OLECMDF_ENABLED);
    EXPECT_EQ(m[2].cmdf, 0u);

    OLECMD t[1] = {{14, 77}};
    ASSERT_EQ(target->QueryStatus(&CGID_TableEditing, 1, t), S_OK);
    EXPECT_EQ(t[0].cmdf, 0u);
    const GUID other{1, 2, 3, {4}};
    EXPECT_EQ(target->QueryStatus(&other, 1, t), OLECMDERR_E_UNKNOWNGROUP);

    Variant in, out;
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, &in, &out), S_OK);
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, &in, &out), S_OK);
    EXPECT_EQ(engine->prints, (std::vector<bool>{false, true}));
    EXPECT_EQ(target->Exec(&CGID_WebBrowser, WEBBROWSER_CMD_FIND, 0, &in, &out), S_OK);
    EXPECT_EQ(engine->findDialogs, 1);
    engine->canExecute = true;
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_SELECTALL, 0, &in, &out), S_OK);
    EXPECT_EQ(engine->executed.back(), EditingCommand::SelectAll);
    EXPECT_EQ(target->Exec(nullptr, 4711, 0, &in, &out), OLECMDERR_E_NOTSUPPORTED);
}

TEST_F(ScriptDocumentTest, ClipboardCommandNamesUseTheEngine)
{
    bool done = false;
    ASSERT_EQ(doc->execCommand(u"Copy", false, Variant(), &done), S_OK);
    EXPECT_TRUE(done);
    EXPECT_EQ(engine->executed.back(), EditingCommand::Copy);
    bool enabled = true;
    engine->canExecute = false;
    ASSERT_EQ(doc->queryCommandEnabled(u"paste", &enabled), S_OK);
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(engine->bodies.empty());
    engine->Answer("queryCommandEnabled(\"Delete\")", "false");
    enabled = true;
    ASSERT_EQ(doc->queryCommandEnabled(u"Delete", &enabled), S_OK);
    EXPECT_FALSE(enabled);
}

TEST_F(ScriptDocumentTest, BackgroundColourReadsAsHtmlColour)
{
    engine->Answer("backgroundColor", R"x("rgb(0, 128, 255)")x");
    Variant c;
    ASSERT_EQ(doc->get_bgColor(&c), S_OK);
    EXPECT_EQ(c.ToUtf8(), "#0080ff");
    ASSERT_EQ(doc->put_bgColor(Variant(u"#123456\"")), S_OK);
    EXPECT_EQ(engine->bodies.back(), R"(void(document.bgColor="#123456\""))");
}

TEST(VariantJson, CrossesIntoScriptsAndBack)
{
    std::string j;
    EXPECT_TRUE(VariantToJson(Variant(u"a\"b"), j));
    EXPECT_EQ(j, R"("a\"b")");
    EXPECT_TRUE(VariantToJson(Variant(), j));
    EXPECT_EQ(j, "null");
    EXPECT_TRUE(VariantToJson(Variant(std::int32_t(-3)), j));
    EXPECT_EQ(j, "-3");
    EXPECT_FALSE(VariantToJson(Variant::Bytes({1}), j));
    EXPECT_EQ(VariantFromJson(json::Value(3.0)).vt(), VT_I4);
    EXPECT_EQ(VariantFromJson(json::Value(3.5)).vt(), VT_R8);
    EXPECT_EQ(VariantFromJson(json::Value(4e10)).vt(), VT_R8);
    EXPECT_TRUE(VariantFromJson(json::Value()).IsNull());
}

}  // namespace
}  // namespace ql::web

namespace ql::web {
namespace {

TEST(ScriptDocumentHandles, TheScriptSideLetsGoWhenTheLastUserIsReleased)
{
    auto engine = std::make_shared<test::FakeDocumentEngine>();
    com::ComPtr<com::IHTMLDocument2> doc = MakeScriptDocument(engine);
    engine->Answer("Q.put(document.body)", "[1,\"tok\"]");
    engine->Answer("map(Q.put)", "[[2,\"tok\"],[3,\"tok\"]]");
    engine->Answer("Q.put(Q.bodyRange())", "[4,\"tok\"]");
    com::ComPtr<com::IHTMLElement> body;
    ASSERT_EQ(doc->get_body(body.put()), com::S_OK);
    com::ComPtr<com::IHTMLBodyElement> be;
    ASSERT_EQ(body->QueryInterface(com::IHTMLBodyElement::IID_, be.putVoid()), com::S_OK);
    com::ComPtr<com::IHTMLTxtRange> range;
    ASSERT_EQ(be->createTextRange(range.put()), com::S_OK);
    range = nullptr;
    EXPECT_EQ(engine->bodies.back(), R"(Q.drop([[4,"tok"]]))");

    // An item keeps the handles of its collection.
    com::ComPtr<com::IHTMLElementCollection> images;
    ASSERT_EQ(doc->get_images(images.put()), com::S_OK);
    com::ComPtr<com::IDispatch> item;
    ASSERT_EQ(images->item(com::Variant(std::int32_t(1)), item.put()), com::S_OK);
    images = nullptr;
    EXPECT_FALSE(engine->Ran(R"(Q.drop([[2,"tok"])"));
    item = nullptr;
    EXPECT_EQ(engine->bodies.back(), R"(Q.drop([[2,"tok"],[3,"tok"]]))");

    // Once the page changed there is nothing left to drop.
    engine->generation = 2;
    std::size_t ran = engine->bodies.size();
    be = nullptr;
    body = nullptr;
    EXPECT_EQ(engine->bodies.size(), ran);
}

}  // namespace
}  // namespace ql::web
