#include "components/browserhost/WebHost_wx.h"
#include "foundation/VekBaseClass.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/UrlText.h"
#include "platform/core/com/Authenticate.h"
#include "platform/core/com/HtmlDocument.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/EnginePageSetup.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/components/browserhost/DdeClientProcess.h"
#include "tests/components/browserhost/PrintedPdf.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/MemoryDataObject.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/uiaction.h>
#include <wx/webview.h>

namespace ql {
namespace {

using namespace ql::com;
using D = TDownloadControlOption;
using U = TUserInterfaceOption;

struct WebHostTest : ::testing::Test {
    test::ScopedXdgEnv env;
    test::TempDir dir;
    test::FakeLauncher launcher;
    test::OwnedFrame<> frame{new wxFrame(nullptr, wxID_ANY, "browse", wxDefaultPosition, wxSize(800, 600))};
    TWebHost* web = nullptr;
    int completed = 0;
    std::string completedUrl;

    void SetUp() override
    {
        web = new TWebHost(frame, launcher);
        ASSERT_TRUE(web->Ok());
        web->OnDocumentComplete = [this](IDispatch* doc, const std::string& url) {
            EXPECT_TRUE(doc);
            completedUrl = url;
            ++completed;
        };
        frame->Show();
    }
    void TearDown() override { frame.reset(); }

    // The browse view's options in the program.
    void ApplicationOptions()
    {
        web->SetDownloadOptions({D::DLCTL_DLIMAGES, D::DLCTL_VIDEOS, D::DLCTL_NO_SCRIPTS, D::DLCTL_NO_JAVA,
                                 D::DLCTL_NO_RUNACTIVEXCTLS, D::DLCTL_NO_DLACTIVEXCTLS, D::DLCTL_SILENT,
                                 D::DLCTL_OFFLINE});
        web->SetUserInterfaceOptions({U::OPENNEWWIN, U::ENABLE_FORMS_AUTOCOMPLETE});
    }
    // Waits for this file's own document: a busy machine can finish the view's first, empty
    // document after the navigation was asked for.
    bool Navigate(const std::string& path)
    {
        int before = completed;
        const std::string url = FilePathToUrl(path);
        const std::string name = url.substr(url.rfind('/'));
        web->NavigateToUrl(path);
        return test::PumpUntil([&] { return completed > before && completedUrl.find(name) != std::string::npos; });
    }
    std::u16string Title()
    {
        ComPtr<IHTMLDocument2> doc;
        std::u16string t = u"<no document>";
        if (ComPtr<IDispatch> d = web->Document();
            d && SUCCEEDED(d->QueryInterface(IHTMLDocument2::IID_, doc.putVoid())))
            doc->get_title(&t);
        return t;
    }
    std::int32_t ImageWidth()
    {
        json::Value v;
        if (FAILED(web::RunDomScript(*web->Engine(), "document.images[0].naturalWidth", &v)) || !v.AsNumber())
            return -1;
        return static_cast<std::int32_t>(*v.AsNumber());
    }
};

const char kScriptedPage[] = "<html><head><title>quiet</title><script>document.title='ran';</script></head>"
                             "<body onload=\"document.title='ran onload'\"><p>text</p></body></html>";

TEST_F(WebHostTest, PageScriptsStayOffWithTheProgramsOptionsWhileOurScriptsRun)
{
    ApplicationOptions();
    ASSERT_TRUE(Navigate(dir.write("scripted.html", kScriptedPage).string()));
    EXPECT_EQ(Title(), u"quiet");  // read through our own script
    json::Value sum;
    ASSERT_EQ(web::RunDomScript(*web->Engine(), "6*7", &sum), S_OK);
    EXPECT_EQ(*sum.AsNumber(), 42);

    // The constructor's options let the page's scripts run.
    web->SetDownloadOptions({D::DLCTL_DLIMAGES, D::DLCTL_VIDEOS, D::DLCTL_BGSOUNDS});
    ASSERT_TRUE(Navigate(dir.write("scripted2.html", kScriptedPage).string()));
    EXPECT_EQ(Title(), u"ran onload");
}

TEST_F(WebHostTest, PageScriptsReachTheHostsExternalObject)
{
    struct Doubler : IDispatch {
        HRESULT QueryInterface(const IID&, void** o) override
        {
            *o = nullptr;
            return E_NOINTERFACE;
        }
        ULONG AddRef() override { return 2; }
        ULONG Release() override { return 1; }
        HRESULT GetTypeInfoCount(std::uint32_t*) override { return E_NOTIMPL; }
        HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        HRESULT GetIDsOfNames(const IID&, const std::u16string* n, std::uint32_t, LCID, DISPID* id) override
        {
            *id = 1;
            return *n == u"Twice" ? S_OK : DISP_E_UNKNOWNNAME;
        }
        HRESULT Invoke(DISPID, const IID&, LCID, WORD, DISPPARAMS* p, Variant* r, EXCEPINFO*, std::uint32_t*) override
        {
            *r = Variant(std::int32_t(2 * *p->args.at(0).AsInt()));
            return S_OK;
        }
    } doubler;
    web->OnGetExternal = [&](IDispatch** d) {
        *d = &doubler;
        return S_OK;
    };
    // Page scripts on (the constructor's options): the page asks the host and shows the answer.
    ASSERT_TRUE(Navigate(dir.write("ext.html",
                                   "<html><head><title>waiting</title><script>window.external.Twice(21)"
                                   ".then(function(v){document.title='got '+v;},function(e){document.title='error';});"
                                   "</script></head><body></body></html>")
                             .string()));
    EXPECT_TRUE(test::PumpUntil([&] { return Title() == u"got 42"; })) << Utf8FromWide(Title());
}

TEST_F(WebHostTest, ScriptDialogsGoToShowMessage)
{
    std::vector<std::u16string> shown;
    web->OnShowMessage = [&](const std::u16string& text, const std::u16string&, std::int32_t type,
                             const std::u16string&, std::int32_t, std::int32_t& result) {
        shown.push_back(text);
        result = type == (dochost::MB_OKCANCEL | dochost::MB_ICONQUESTION) ? dochost::IDCANCEL : dochost::IDOK;
        return S_OK;
    };
    ASSERT_TRUE(
        Navigate(dir.write("dialogs.html", "<html><body><script>alert('hi \"there\"');"
                                           "document.title = confirm('Sure?') ? 'yes' : 'no';</script></body></html>")
                     .string()));
    EXPECT_TRUE(test::PumpUntil([&] { return Title() == u"no"; })) << Utf8FromWide(Title());
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"hi \"there\"", u"Sure?"}));
}

TEST_F(WebHostTest, AFollowedLinkOpensInTheDesktopsBrowser)
{
    ApplicationOptions();
    std::string page = dir.write("links.html", "<html><body style='margin:0'><a href='http://example.org/next' "
                                               "style='display:block;width:300px;height:80px'>next</a></body></html>")
                           .string();
    ASSERT_TRUE(Navigate(page));
    const std::string here = web->LocationURL();
    json::Value at;
    ASSERT_EQ(web::RunDomScript(*web->Engine(),
                                "(function(){var r=document.links[0].getBoundingClientRect();"
                                "return [r.left+r.width/2, r.top+r.height/2];})()",
                                &at),
              S_OK);
    const json::Array* xy = at.AsArray();
    ASSERT_TRUE(xy && xy->size() == 2);
    wxWebView* view = web->Engine()->View();
    wxPoint screen =
        view->ClientToScreen(wxPoint(static_cast<int>(*(*xy)[0].AsNumber()), static_cast<int>(*(*xy)[1].AsNumber())));
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    ASSERT_TRUE(test::PumpUntil([] { return true; }));
    sim.MouseClick();
    ASSERT_TRUE(test::PumpUntil([&] { return !launcher.opened.empty(); }, 5000));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"http://example.org/next"});
    EXPECT_EQ(web->LocationURL(), here);  // the view stays on its page
}

TEST_F(WebHostTest, PicturesFollowTheDownloadOption)
{
    wxImage picture(2, 1);
    ASSERT_TRUE(picture.SaveFile((dir.path() / "one.png").string(), wxBITMAP_TYPE_PNG));
    ASSERT_TRUE(picture.SaveFile((dir.path() / "two.png").string(), wxBITMAP_TYPE_PNG));
    ApplicationOptions();
    ASSERT_TRUE(Navigate(dir.write("with.html", "<html><body><img src=\"one.png\"></body></html>").string()));
    EXPECT_EQ(ImageWidth(), 2);
    web->SetDownloadOptions({D::DLCTL_NO_SCRIPTS});
    ASSERT_TRUE(Navigate(dir.write("without.html", "<html><body><img src=\"two.png\"></body></html>").string()));
    EXPECT_EQ(ImageWidth(), 0);
}

TEST_F(WebHostTest, FileNamesWithUrlCharactersNavigateToTheirFile)
{
    ApplicationOptions();
    const std::string name = "a b#1?x=100% sure.html";
    std::string path = dir.write(name, "<html><head><title>that one</title></head><body>x</body></html>").string();
    dir.write("a b", "not this");
    ASSERT_TRUE(Navigate(path));
    EXPECT_EQ(Title(), u"that one");
    EXPECT_NE(completedUrl.find("a%20b%231%3Fx=100%25%20sure.html"), std::string::npos) << completedUrl;
}

TEST_F(WebHostTest, UserAgentTokenIsRegisteredForTheEnginesAndEmptyChangesNothing)
{
    ASSERT_TRUE(Navigate(dir.write("ua.html", "<html><body>x</body></html>").string()));
    json::Value before;
    ASSERT_EQ(web::RunDomScript(*web->Engine(), "navigator.userAgent", &before), S_OK);
    web->SetUserAgent("QuilloryTest/1");
    ASSERT_TRUE(Navigate(dir.write("ua2.html", "<html><body>x</body></html>").string()));
    json::Value after;
    ASSERT_EQ(web::RunDomScript(*web->Engine(), "navigator.userAgent", &after), S_OK);
    EXPECT_EQ(*after.AsString(), *before.AsString() + " QuilloryTest/1");
    {
        // A view made while the token is registered has it too: it comes from the registry.
        auto* other = new TWebHost(frame, launcher);
        other->NavigateToUrl(dir.write("ua4.html", "<html><body>x</body></html>").string());
        json::Value seen;
        EXPECT_TRUE(test::PumpUntil([&] {
            return SUCCEEDED(web::RunDomScript(*other->Engine(), "navigator.userAgent", &seen)) && seen.AsString() &&
                   *seen.AsString() == *before.AsString() + " QuilloryTest/1";
        }));
        other->Destroy();
    }
    web->SetUserAgent("");
    ASSERT_TRUE(Navigate(dir.write("ua3.html", "<html><body>x</body></html>").string()));
    ASSERT_EQ(web::RunDomScript(*web->Engine(), "navigator.userAgent", &after), S_OK);
    EXPECT_EQ(*after.AsString(), *before.AsString());
}

TEST_F(WebHostTest, PrintsToAPdfFileWithoutADialog)
{
    ApplicationOptions();
    ASSERT_TRUE(Navigate(dir.write("print.html", "<html><body><h1>Printed</h1></body></html>").string()));
    web->PrintOptions.Margins = {19.05, 19.05, 19.05, 19.05};
    web->PrintOptions.Orientation = TPrintOrientationOption::poLandscape;
    bool finished = false, ok = false;
    std::string error;
    web->Engine()->OnPrintFinished = [&](bool success, const std::string& e) {
        finished = true;
        ok = success;
        error = e;
    };
    web->Engine()->printOutputFile = (dir.path() / "out.pdf").string();
    web->PrintDocument();  // the program's print: the document's command target, no prompt
    ASSERT_TRUE(test::PumpUntil([&] { return finished; }, 30000));
    ASSERT_TRUE(ok) << error;
    std::string pdf = dir.read("out.pdf");
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_EQ(test::PdfPageIsLandscape(pdf), true);
}

// The shell of another process opens a page: the view's DDE window takes the conversation.
TEST_F(WebHostTest, AnotherProcessOpensAPageInTheViewThroughDde)
{
    TDdeVerbs saved = DdeVerbs;
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec", "", "\"%1\",,-1,0,,,,"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\application", "", "QLBrowse"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\topic", "", "WWW_OpenURL"));
    ReadDdeVerbs();  // as the next host's construction does
    web->EnableDDE = true;
    std::string page = dir.write("by dde.html", "<html><head><title>by dde</title></head></html>").string();
    int before = completed;
    EXPECT_EQ(
        test::RunDdeClient({"open", page}, [](const std::function<bool()>& done) { return test::PumpUntil(done); }), 0);
    EXPECT_TRUE(
        test::PumpUntil([&] { return completed > before && completedUrl.find("by%20dde.html") != std::string::npos; }));
    EXPECT_EQ(Title(), u"by dde");
    DdeVerbs = saved;
}

// The engine starts with its first document and asks then where its options are kept; it
// prints with the page setup kept there.
TEST_F(WebHostTest, TheEngineAsksForItsOptionKeyAtItsStartAndPrintsWithThePageSetupThere)
{
    int asked = 0;
    web->OnGetOptionKeyPath = [&](std::u16string& key, std::uint32_t) {
        ++asked;
        key = u"Software\\Quillory\\Browse";
        return S_OK;
    };
    ASSERT_TRUE(web::WriteEnginePageSetup("Software\\Quillory\\Browse", {10, 10, 10, 10, true}));
    EXPECT_EQ(asked, 0);
    ASSERT_TRUE(Navigate(dir.write("opts.html", "<html><body><p>x</p></body></html>").string()));
    ASSERT_TRUE(Navigate(dir.write("opts2.html", "<html><body><p>y</p></body></html>").string()));
    EXPECT_EQ(asked, 1);
    web->Engine()->PageSetupSource = nullptr;  // as the program prints
    bool finished = false;
    web->Engine()->OnPrintFinished = [&](bool, const std::string&) { finished = true; };
    web->Engine()->printOutputFile = (dir.path() / "opts.pdf").string();
    web->PrintDocument();
    ASSERT_TRUE(test::PumpUntil([&] { return finished; }, 30000));
    EXPECT_EQ(test::PdfPageIsLandscape(dir.read("opts.pdf")), true);
}

TEST_F(WebHostTest, SelectionChangesAndResizesRaiseTheirCallbacks)
{
    int updates = 0;
    std::vector<std::pair<dochost::RECT, bool>> borders;
    web->OnUpdateUI = [&] { return ++updates, S_OK; };
    web->OnResizeBorder = [&](const dochost::RECT* r, IOleInPlaceUIWindow*, bool frameWindow) {
        borders.push_back({*r, frameWindow});
        return S_OK;
    };
    ASSERT_TRUE(Navigate(dir.write("sel2.html", "<html><body><p>select me</p></body></html>").string()));
    ASSERT_TRUE(test::PumpUntil([&] { return !web->Engine()->IsLoading(); }));
    int before = updates;
    web->SelectAllContent();  // the engine's own command changes the selection
    EXPECT_TRUE(test::PumpUntil([&] { return updates > before; }));

    borders.clear();
    frame->SetSize(wxSize(720, 530));
    auto reported = [&](bool frameWindow, wxWindow* w) {
        for (const auto& [r, f] : borders)
            if (f == frameWindow && r.right == w->GetClientSize().x && r.bottom == w->GetClientSize().y)
                return true;
        return false;
    };
    EXPECT_TRUE(test::PumpUntil([&] { return reported(true, frame) && reported(false, web); }));
}

// What the engine puts on the clipboard may be replaced by the host's own data object.
TEST_F(WebHostTest, WhatTheEngineCopiesGoesThroughFilterDataObject)
{
    ASSERT_TRUE(Navigate(dir.write("copy.html", "<html><body><p>copy this</p></body></html>").string()));
    std::string offered;
    int filtered = 0;
    web->OnFilterDataObject = [&](IDataObject* data, IDataObject** result) {
        ++filtered;
        std::vector<std::uint8_t> block;
        if (FetchHGlobal(data, CF_TEXT, block))
            offered.assign(block.begin(), block.end());
        auto mine = MakeCom<test::MemoryDataObject>();
        mine->SetText(CF_TEXT, "filtered");
        *result = mine.detach();
        return S_OK;
    };
    web->SelectAllContent();
    web->CopySelection();
    EXPECT_TRUE(test::PumpUntil([&] { return offered.find("copy this") != std::string::npos; }));
    auto clipboardText = [] {
        gchar* t = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
        std::string s = t ? t : "";
        g_free(t);
        return s;
    };
    EXPECT_TRUE(test::PumpUntil([&] { return clipboardText() == "filtered"; }));
    EXPECT_EQ(filtered, 1);  // our own replacement is not filtered again
    web->OnFilterDataObject = nullptr;
}

class FixedCredentials : public ComObject<IAuthenticate> {
public:
    int asked = 0;
    HRESULT Authenticate(std::uintptr_t*, std::u16string* user, std::u16string* password) override
    {
        ++asked;
        *user = u"clipper";
        *password = u"s3cret";
        return S_OK;
    }
};

// A page that asks for credentials: the engine asks its host for the service that gives them.
TEST_F(WebHostTest, CredentialsAPageAsksForComeFromTheHostsService)
{
    // Every page asks for Basic authentication and is served once the request carries it.
    auto authorization = [](const std::string& request) {
        const auto at = request.find("\r\nAuthorization: ");
        return at == std::string::npos ? std::string()
                                       : request.substr(at + 17, request.find("\r\n", at + 2) - at - 17);
    };
    test::LocalHttpServer server([&](const std::string& request) {
        return authorization(request) == "Basic Y2xpcHBlcjpzM2NyZXQ="  // clipper:s3cret
                   ? test::HttpResponse("200 OK", "text/html",
                                        "<html><head><title>let in</title></head><body>in</body></html>")
                   : test::HttpResponse("401 Unauthorized", "", "", "WWW-Authenticate: Basic realm=\"clips\"\r\n");
    });
    auto credentials = MakeCom<FixedCredentials>();
    std::vector<GUID> services;
    web->OnQueryService = [&](const GUID& service, const IID& iid, IUnknown** object) {
        services.push_back(service);
        if (!(service == IAuthenticate::IID_) || !(iid == IAuthenticate::IID_))
            return E_NOINTERFACE;
        *object = ComPtr<IUnknown>(credentials.get()).detach();
        return S_OK;
    };
    int before = completed;
    web->NavigateToUrl(server.Url("/page.html"));
    ASSERT_TRUE(test::PumpUntil([&] { return completed > before && Title() == u"let in"; }));
    EXPECT_EQ(credentials->asked, 1);
    EXPECT_EQ(services, std::vector<GUID>{IAuthenticate::IID_});
    std::vector<std::string> seen;
    for (const auto& request : server.Requests())
        seen.push_back(authorization(request));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "Basic Y2xpcHBlcjpzM2NyZXQ=");
    web->OnQueryService = nullptr;
}

TEST_F(WebHostTest, DocumentCommandsBeforeAndAfterLoading)
{
    Variant in, out;
    web->ExecDocumentCommand(false, OLECMDID_SELECTALL, 0, in, out);  // no document: nothing
    EXPECT_FALSE(web->Document());
    ApplicationOptions();
    ASSERT_TRUE(Navigate(dir.write("sel.html", "<html><body><p>all of it</p></body></html>").string()));
    web->SelectAllContent();
    ASSERT_TRUE(test::PumpUntil([&] {
        json::Value v;
        return SUCCEEDED(web::RunDomScript(*web->Engine(), "String(getSelection())", &v)) && v.AsString() &&
               v.AsString()->find("all of it") != std::string::npos;
    }));
}

}  // namespace
}  // namespace ql
