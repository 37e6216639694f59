#include "components/browserhost/WebHostCore.h"
#include "foundation/VekBaseClass.h"
#include "platform/core/shell/ShellFolder.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace ql {
namespace {

using namespace ql::com;
using D = TDownloadControlOption;
using U = TUserInterfaceOption;

// A document that records the commands sent to its command target.
class FakeDocument : public IDispatch, public IOleCommandTarget {
public:
    bool hasTarget = true;
    struct Call {
        bool group;
        GUID groupId;
        std::uint32_t id, opt;
    };
    std::vector<Call> calls;
    ULONG refs = 1;

    HRESULT QueryInterface(const IID& iid, void** o) override
    {
        if (iid == IID_IUnknown || iid == IDispatch::IID_)
            *o = static_cast<IDispatch*>(this);
        else if (iid == IOleCommandTarget::IID_ && hasTarget)
            *o = static_cast<IOleCommandTarget*>(this);
        else
            return *o = nullptr, E_NOINTERFACE;
        ++refs;
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const IID&, const std::u16string*, std::uint32_t, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT Invoke(DISPID, const IID&, LCID, WORD, DISPPARAMS*, Variant*, EXCEPINFO*, std::uint32_t*) override
    {
        return E_NOTIMPL;
    }
    HRESULT QueryStatus(const GUID*, std::uint32_t, OLECMD*) override { return E_NOTIMPL; }
    HRESULT Exec(const GUID* group, std::uint32_t id, std::uint32_t opt, Variant*, Variant*) override
    {
        calls.push_back({group != nullptr, group ? *group : GUID{}, id, opt});
        return S_OK;
    }
};

class TestHost : public TWebHostCore {
public:
    explicit TestHost(Launcher& l) : TWebHostCore(l) {}
    FakeDocument* document = nullptr;
    std::vector<Variant> navigated;
    int ambientChanges = 0;
    ComPtr<IDispatch> Document() override { return document ? ComPtr<IDispatch>(document) : nullptr; }
    using TWebHostCore::NavigateToItemIdList;

protected:
    void Navigate2(const Variant& target) override { navigated.push_back(target); }
    void AmbientPropertyChanged(DISPID id) override
    {
        EXPECT_EQ(id, DISPID_AMBIENT_DLCONTROL);
        ++ambientChanges;
    }
};

struct WebHostCoreTest : ::testing::Test {
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    TestHost host{launcher};
    TDdeVerbs saved = DdeVerbs;
    ~WebHostCoreTest() override { DdeVerbs = saved; }
};

TEST_F(WebHostCoreTest, ConstructionDefaultsAndSetters)
{
    EXPECT_EQ(host.DownloadControlFlags(), 0x70u);
    EXPECT_EQ(host.HostUIFlags(), 0u);
    EXPECT_FALSE(host.EnableDDE);
    EXPECT_TRUE(host.fpExceptions());
    host.SetDownloadOptions({D::DLCTL_DLIMAGES, D::DLCTL_VIDEOS, D::DLCTL_NO_SCRIPTS, D::DLCTL_NO_JAVA,
                             D::DLCTL_NO_RUNACTIVEXCTLS, D::DLCTL_NO_DLACTIVEXCTLS, D::DLCTL_SILENT, D::DLCTL_OFFLINE});
    host.SetUserInterfaceOptions({U::OPENNEWWIN, U::ENABLE_FORMS_AUTOCOMPLETE});
    EXPECT_EQ(host.DownloadControlFlags(), 0xC00007B0u);
    EXPECT_EQ(host.HostUIFlags(), 0x4020u);
    EXPECT_EQ(host.ambientChanges, 2);  // each setter tells the browser
    host.SetDownloadOptions({});
    EXPECT_EQ(host.DownloadControlFlags(), 0u);
}

TEST_F(WebHostCoreTest, DownloadControlPropertyComesBeforeTheEvent)
{
    host.SetDownloadOptions({D::DLCTL_DLIMAGES, D::DLCTL_OFFLINE});
    int events = 0;
    host.OnInvoke = [&](DISPID, const IID&, std::int32_t, std::uint16_t, DISPPARAMS&, Variant* r, EXCEPINFO*,
                        std::uint32_t*) {
        ++events;
        if (r)
            *r = Variant(std::int32_t(99));
        return S_OK;
    };
    DISPPARAMS none;
    Variant v;
    ASSERT_EQ(host.Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, none, &v, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(v.vt(), VT_I4);
    EXPECT_EQ(static_cast<std::uint32_t>(*v.AsInt()), 0x80000010u);
    EXPECT_EQ(events, 0);
    // Not a property get, or no result slot: the event answers.
    host.Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_METHOD, none, &v, nullptr, nullptr);
    host.Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, none, nullptr, nullptr, nullptr);
    EXPECT_EQ(events, 2);
    host.OnInvoke = nullptr;
    ASSERT_EQ(host.Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, none, &v, nullptr, nullptr),
              S_OK);
    EXPECT_TRUE(*v.AsBool());
    EXPECT_EQ(host.Invoke(-4711, IID_NULL, 0, DISPATCH_PROPERTYGET, none, &v, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
}

TEST_F(WebHostCoreTest, HostInfoCarriesTheFlagsAndFeedsTheEngineSettings)
{
    host.SetUserInterfaceOptions({U::OPENNEWWIN, U::ENABLE_FORMS_AUTOCOMPLETE});
    dochost::TDOCHOSTUIINFO info;
    info.pchHostCss = u"kept";
    EXPECT_EQ(host.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x4020u);
    EXPECT_EQ(info.dwDoubleClick, 0u);
    EXPECT_EQ(std::u16string(info.pchHostCss), u"kept");
    EXPECT_TRUE(host.EngineSettings().linksOpenExternally);
    // The event sees the filled record and may change it; the engine follows.
    host.OnGetHostInfo = [](dochost::TDOCHOSTUIINFO& i) {
        EXPECT_EQ(i.dwFlags, 0x4020u);
        i.dwFlags = 0x8;  // no scroll bars, links stay in the view
        return S_OK;
    };
    web::WebEngineSettings s = host.EngineSettings();
    EXPECT_FALSE(s.linksOpenExternally);
    EXPECT_FALSE(s.scrollbars);
    host.SetUserAgent("Quillory/1");
    EXPECT_EQ(host.EngineSettings().userAgentToken, "Quillory/1");
}

TEST_F(WebHostCoreTest, CallbacksWithoutEventsGiveTheirDefaults)
{
    EXPECT_EQ(host.ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(host.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(host.HideUI(), S_FALSE);
    EXPECT_EQ(host.UpdateUI(), S_FALSE);
    EXPECT_EQ(host.EnableModeless(true), S_FALSE);
    EXPECT_EQ(host.OnDocWindowActivate(true), S_FALSE);
    EXPECT_EQ(host.OnFrameWindowActivate(false), S_FALSE);
    EXPECT_EQ(host.ResizeBorder(nullptr, nullptr, true), S_FALSE);
    EXPECT_EQ(host.TranslateAccelerator(nullptr, nullptr, 0), S_FALSE);
    std::u16string key = u"untouched";
    EXPECT_EQ(host.GetOptionKeyPath(&key, 0), S_FALSE);
    EXPECT_EQ(key, u"untouched");
    IDropTarget* drop = reinterpret_cast<IDropTarget*>(0x1);
    EXPECT_EQ(host.GetDropTarget(nullptr, &drop), S_FALSE);
    EXPECT_EQ(drop, nullptr);
    IDispatch* ext = reinterpret_cast<IDispatch*>(0x1);
    EXPECT_EQ(host.GetExternal(&ext), S_FALSE);
    EXPECT_EQ(ext, nullptr);
    std::u16string out = u"untouched";
    EXPECT_EQ(host.TranslateUrl(0, u"http://a/", &out), S_FALSE);
    EXPECT_EQ(out, u"untouched");
    IDataObject* data = reinterpret_cast<IDataObject*>(0x1);
    EXPECT_EQ(host.FilterDataObject(nullptr, &data), S_FALSE);
    EXPECT_EQ(data, nullptr);
    std::int32_t result = 0;
    EXPECT_EQ(host.ShowMessage(u"t", u"c", 0, u"", 0, &result), S_FALSE);
    IUnknown* obj = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(host.QueryService(IID_IUnknown, IID_IUnknown, &obj), E_NOINTERFACE);
    EXPECT_EQ(obj, reinterpret_cast<IUnknown*>(0x1));  // untouched
    std::int32_t count = 5;
    EXPECT_EQ(host.GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(host.GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL);
    // Help: nothing without a help file; the file opens in the desktop's viewer with one.
    EXPECT_EQ(host.ShowHelp(u"", 0, 0, {}, nullptr), S_FALSE);
    host.HelpFile = "/opt/quillory/help.chm";
    EXPECT_EQ(host.ShowHelp(u"", 0, 0, {}, nullptr), S_OK);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"/opt/quillory/help.chm"});
}

TEST_F(WebHostCoreTest, EventsGetTheArgumentsAndOutSlotsAreClearedFirst)
{
    struct Counted : IDispatch {
        int released = 0;
        HRESULT QueryInterface(const IID&, void**) override { return E_NOINTERFACE; }
        ULONG AddRef() override { return 2; }
        ULONG Release() override { return ++released, 1; }
        HRESULT GetTypeInfoCount(std::uint32_t*) override { return E_NOTIMPL; }
        HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        HRESULT GetIDsOfNames(const IID&, const std::u16string*, std::uint32_t, LCID, DISPID*) override
        {
            return E_NOTIMPL;
        }
        HRESULT Invoke(DISPID, const IID&, LCID, WORD, DISPPARAMS*, Variant*, EXCEPINFO*, std::uint32_t*) override
        {
            return E_NOTIMPL;
        }
    } previous;
    IDispatch* slot = &previous;
    bool sawNull = false;
    host.OnGetExternal = [&](IDispatch** d) {
        sawNull = *d == nullptr;
        return S_OK;
    };
    EXPECT_EQ(host.GetExternal(&slot), S_OK);
    EXPECT_TRUE(sawNull);
    EXPECT_EQ(previous.released, 1);

    std::uint32_t menuId = 99;
    host.OnShowContextMenu = [&](std::uint32_t id, dochost::POINT* p, IUnknown*, IDispatch*) {
        menuId = id;
        EXPECT_EQ(p->x, 7);
        return S_OK;
    };
    dochost::POINT pt{7, 8};
    EXPECT_EQ(host.ShowContextMenu(dochost::CONTEXT_MENU_ANCHOR, &pt, nullptr, nullptr), S_OK);
    EXPECT_EQ(menuId, 5u);

    host.OnTranslateUrl = [](std::uint32_t, const std::u16string& in, std::u16string& out) {
        out = in + u"#x";
        return S_OK;
    };
    std::u16string url;
    EXPECT_EQ(host.TranslateUrl(0, u"http://a/", &url), S_OK);
    EXPECT_EQ(url, u"http://a/#x");

    host.OnShowMessage = [](const std::u16string&, const std::u16string&, std::int32_t type, const std::u16string&,
                            std::int32_t, std::int32_t& result) {
        result = type == (dochost::MB_OKCANCEL | dochost::MB_ICONQUESTION) ? dochost::IDCANCEL : dochost::IDOK;
        return S_OK;
    };
    std::int32_t answer = 0;
    EXPECT_EQ(host.ShowMessage(u"Sure?", u"", dochost::MB_OKCANCEL | dochost::MB_ICONQUESTION, u"", 0, &answer), S_OK);
    EXPECT_EQ(answer, dochost::IDCANCEL);
}

TEST_F(WebHostCoreTest, DocumentCommandsReachTheCommandTarget)
{
    host.PrintDocument();  // no document yet: nothing
    FakeDocument doc;
    host.document = &doc;
    host.PrintDocument();
    host.OpenFindDialog();
    host.CopySelection();
    host.SelectAllContent();
    Variant in, out;
    host.ExecDocumentCommand(false, OLECMDID_CUT, 0, in, out);
    host.ExecDocumentCommand(false, OLECMDID_PASTE, 0, in, out);
    ASSERT_EQ(doc.calls.size(), 6u);
    EXPECT_FALSE(doc.calls[0].group);
    EXPECT_EQ(doc.calls[0].id, 6u);
    EXPECT_EQ(doc.calls[0].opt, 2u);
    EXPECT_TRUE(doc.calls[1].group);
    EXPECT_EQ(doc.calls[1].groupId, CGID_WebBrowser);
    EXPECT_EQ(doc.calls[1].id, 1u);
    EXPECT_EQ(doc.calls[2].id, 12u);
    EXPECT_EQ(doc.calls[3].id, 17u);
    EXPECT_EQ(doc.calls[4].id, 11u);
    EXPECT_EQ(doc.calls[5].id, 13u);
    doc.hasTarget = false;
    host.CopySelection();
    EXPECT_EQ(doc.calls.size(), 6u);
    EXPECT_EQ(doc.refs, 1u);  // every reference given back
}

TEST_F(WebHostCoreTest, NavigationPassesUrlsAndListBytes)
{
    host.NavigateToUrl("/tmp/a #1.html");
    ASSERT_EQ(host.navigated.size(), 1u);
    EXPECT_EQ(host.navigated[0].ToUtf8(), "/tmp/a #1.html");
    auto list = *shell::ItemIdList::FromItems({"tmp", "x"});
    EXPECT_FALSE(host.NavigateToItemIdList(&list));  // items the namespace does not know
    host.ItemIdListToPath = nullptr;
    EXPECT_EQ(host.navigated.size(), 1u);
    host.ItemIdListToPath = [](const shell::ItemIdList& l) { return l.ItemCount() == 2 ? "/tmp/x" : ""; };
    EXPECT_TRUE(host.NavigateToItemIdList(&list));
    ASSERT_EQ(host.navigated.size(), 2u);
    EXPECT_EQ(host.navigated[1].vt(), VT_ARRAY | VT_UI1);
    EXPECT_EQ(*host.navigated[1].AsBytes(), list.Bytes());
    auto unnamed = *shell::ItemIdList::FromItems({"printers"});
    EXPECT_FALSE(host.NavigateToItemIdList(&unnamed));
    EXPECT_FALSE(host.NavigateToItemIdList(nullptr));
    EXPECT_EQ(host.navigated.size(), 2u);
}

TEST_F(WebHostCoreTest, ListsOfTheShellNamespaceNavigateAndExplore)
{
    test::TempDir dir;
    dir.write("page.html", "<p>x</p>");
    auto list = shell::PathToAbsoluteIdList((dir.path() / "page.html").string());
    ASSERT_TRUE(list);
    EXPECT_EQ(host.PathOfItemIdList(*list), (dir.path() / "page.html").string());
    EXPECT_TRUE(host.NavigateToItemIdList(list.get()));
    ASSERT_EQ(host.navigated.size(), 1u);
    EXPECT_EQ(*host.navigated[0].AsBytes(), list->Bytes());
    shell::ItemIdList desktop;  // the desktop is no file-system folder
    EXPECT_FALSE(host.NavigateToItemIdList(&desktop));
}

TEST_F(WebHostCoreTest, FloatingPointSettingNeverUnmasksTraps)
{
    const std::uint16_t before = ReadFpuControlWord();
    host.SetfpExceptions(false);
    EXPECT_FALSE(host.fpExceptions());
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(ReadFpuControlWord() & 0x1F3F, 0x133F);
    host.SetfpExceptions(true);
    EXPECT_EQ(ReadFpuControlWord(), MaskedControlWord(SavedFPUControlWord));
#endif
    WriteFpuControlWord(before);
}

TEST_F(WebHostCoreTest, NavigationTheBrowseViewLetsThroughOrHandsOn)
{
    host.SetUserInterfaceOptions({U::OPENNEWWIN, U::ENABLE_FORMS_AUTOCOMPLETE});
    const std::string here = "file:///c/page.html";
    NavigationDecision d = host.DecideNavigation("http://example.org/", here, true, false);
    EXPECT_EQ(d.action, NavigationAction::OpenExternally);
    EXPECT_EQ(d.url, "http://example.org/");
    EXPECT_EQ(host.DecideNavigation("file:///c/page.html#part2", here, true, false).action, NavigationAction::Allow);
    EXPECT_EQ(host.DecideNavigation("javascript:alert(1)", here, true, false).action, NavigationAction::Ignore);
    EXPECT_EQ(host.DecideNavigation("file:///c/other.html", here, false, false).action, NavigationAction::Allow);
    EXPECT_EQ(host.DecideNavigation("http://example.org/popup", here, false, true).action,
              NavigationAction::OpenExternally);
    host.SetUserInterfaceOptions({});
    EXPECT_EQ(host.DecideNavigation("http://example.org/", here, true, false).action, NavigationAction::Allow);

    host.OnTranslateUrl = [](std::uint32_t, const std::u16string& in, std::u16string& out) {
        if (in.find(u"old.example") == std::u16string::npos)
            return S_FALSE;
        out = u"http://new.example/";
        return S_OK;
    };
    d = host.DecideNavigation("http://old.example/x", here, false, false);
    EXPECT_EQ(d.action, NavigationAction::LoadInstead);
    EXPECT_EQ(d.url, "http://new.example/");
    EXPECT_EQ(host.DecideNavigation("http://other.example/", here, false, false).action, NavigationAction::Allow);
}

TEST(WebHostKeys, WhichKeysSkipTheAcceleratorTranslation)
{
    using namespace dochost;
    EXPECT_TRUE(KeyBypassesAccelerators(VK_BACK, 0));
    EXPECT_TRUE(KeyBypassesAccelerators(VK_RETURN, 0));
    EXPECT_TRUE(KeyBypassesAccelerators(VK_LEFT, KF_EXTENDED_BIT));
    EXPECT_TRUE(KeyBypassesAccelerators(VK_RIGHT, KF_EXTENDED_BIT));
    EXPECT_FALSE(KeyBypassesAccelerators(VK_LEFT, 0));             // keypad arrow
    EXPECT_FALSE(KeyBypassesAccelerators(0x26, KF_EXTENDED_BIT));  // up arrow
    EXPECT_FALSE(KeyBypassesAccelerators('C', 0));
    EXPECT_EQ(ContextMenuKind(true, true, true, true), CONTEXT_MENU_CONTROL);
    EXPECT_EQ(ContextMenuKind(false, true, true, false), CONTEXT_MENU_IMAGE);
    EXPECT_EQ(ContextMenuKind(false, false, true, true), CONTEXT_MENU_ANCHOR);
    EXPECT_EQ(ContextMenuKind(false, false, false, true), CONTEXT_MENU_TEXTSELECT);
    EXPECT_EQ(ContextMenuKind(false, false, false, false), CONTEXT_MENU_DEFAULT);
}

// The DDE conversation with a host, as the shell's launcher would hold it.
struct WebHostDdeTest : WebHostCoreTest {
    void SetUp() override
    {
        DdeVerbs.HtmlDdeApplication = "QLBrowse";
        DdeVerbs.HtmlDdeTopic = "WWW_OpenURL";
        DdeVerbs.FolderDdeApplication = "Folders";
        DdeVerbs.FolderDdeTopic = "AppProperties";
        DdeVerbs.OpenVerb = "ViewFolder";
        DdeVerbs.ExploreVerb = "ExploreFolder";
        DdeVerbs.FindVerb = "FindFolder";
        host.EnableDDE = true;
    }
    std::string pid = std::to_string(getpid());
};

TEST_F(WebHostDdeTest, AnswersOnlyItsOwnThreadMatchingNamesAndWhenEnabled)
{
    EXPECT_TRUE(host.DdeInitiate("QLBrowse", "www_openurl", std::this_thread::get_id()));
    EXPECT_TRUE(HtmlConversation);
    EXPECT_FALSE(host.DdeInitiate("QLBrowse", "Other", std::this_thread::get_id()));
    EXPECT_TRUE(host.DdeInitiate("folders", "AppProperties", std::this_thread::get_id()));
    EXPECT_FALSE(HtmlConversation);
    std::thread::id other;
    std::thread([&] { other = std::this_thread::get_id(); }).join();
    EXPECT_FALSE(host.DdeInitiate("QLBrowse", "WWW_OpenURL", other));
    ShellExecuteBusy = true;
    EXPECT_FALSE(host.DdeInitiate("QLBrowse", "WWW_OpenURL", std::this_thread::get_id()));
    ShellExecuteBusy = false;
    host.EnableDDE = false;
    EXPECT_FALSE(host.DdeInitiate("QLBrowse", "WWW_OpenURL", std::this_thread::get_id()));
    host.EnableDDE = true;
    DdeVerbs.FolderDdeApplication.clear();
    DdeVerbs.FolderDdeTopic.clear();
    EXPECT_FALSE(host.DdeInitiate("", "", std::this_thread::get_id()));  // empty names never answer
}

TEST_F(WebHostDdeTest, HtmlRequestsNavigate)
{
    DdeReply r = DdeExecuteCommand("QLBrowse", "WWW_OpenURL", "\"/tmp/x y.html\",-1,,,,,");
    EXPECT_TRUE(r.answered && r.ack);
    r = DdeExecuteCommand("QLBrowse", "WWW_OpenURL", "http://example.org/");
    r = DdeExecuteCommand("QLBrowse", "WWW_OpenURL", "\"unclosed");
    ASSERT_EQ(host.navigated.size(), 3u);
    EXPECT_EQ(host.navigated[0].ToUtf8(), "/tmp/x y.html");
    EXPECT_EQ(host.navigated[1].ToUtf8(), "http://example.org/");
    EXPECT_EQ(host.navigated[2].ToUtf8(), "");
}

TEST_F(WebHostDdeTest, FolderVerbsWithNamespaceLists)
{
    test::TempDir dir;
    dir.write("folder/x", "");
    auto list = shell::PathToAbsoluteIdList((dir.path() / "folder").string());
    ASSERT_TRUE(list);
    for (const char* verb : {"ViewFolder", "ExploreFolder"}) {
        std::int32_t handle = ShareDdeBlock(list->Bytes(), getpid());
        DdeReply r =
            DdeExecuteCommand("Folders", "AppProperties",
                              std::string("[") + verb + "(\"\", :" + std::to_string(handle) + ":" + pid + ", 1)]");
        EXPECT_TRUE(r.ack) << verb;
    }
    ASSERT_EQ(host.navigated.size(), 1u);
    EXPECT_EQ(*host.navigated[0].AsBytes(), list->Bytes());
    EXPECT_EQ(launcher.opened, std::vector<std::string>{(dir.path() / "folder").string()});
}

TEST_F(WebHostDdeTest, FolderVerbs)
{
    std::int32_t h = ShareDdeBlock({5, 0, 'a', 'b', 'c', 0, 0}, getpid());
    DdeReply r = DdeExecuteCommand("Folders", "AppProperties",
                                   "[ViewFolder(\"/tmp/a, b\", :" + std::to_string(h) + ":" + pid + ", 1)]");
    EXPECT_TRUE(r.ack);
    ASSERT_EQ(host.navigated.size(), 1u);
    EXPECT_EQ(host.navigated[0].ToUtf8(), "/tmp/a, b");  // the path wins, the list is still freed
    EXPECT_FALSE(LockDdeBlock(h, getpid()));

    // Only a list: followed when the namespace gives it a path, else refused (and still freed).
    auto listOnly = [&](const std::string& verb) {
        std::int32_t handle = ShareDdeBlock({5, 0, 'a', 'b', 'c', 0, 0}, getpid());
        DdeReply reply = DdeExecuteCommand("Folders", "AppProperties",
                                           "[" + verb + "(\"\", :" + std::to_string(handle) + ":" + pid + ", 1)]");
        EXPECT_TRUE(reply.answered);
        EXPECT_FALSE(LockDdeBlock(handle, getpid()));
        return reply.ack;
    };
    EXPECT_FALSE(listOnly("ViewFolder"));
    EXPECT_FALSE(listOnly("ExploreFolder"));
    EXPECT_FALSE(listOnly("FindFolder"));
    EXPECT_EQ(host.navigated.size(), 1u);
    EXPECT_TRUE(launcher.opened.empty());
    r = DdeExecuteCommand("Folders", "AppProperties", "[ViewFolder(\"\", :0, 1)]");  // nothing named
    EXPECT_TRUE(r.answered);
    EXPECT_FALSE(r.ack);
    EXPECT_EQ(host.navigated.size(), 1u);

    host.ItemIdListToPath = [](const shell::ItemIdList& l) {
        return l.ItemData(0) == "abc" ? std::string("/srv/abc") : std::string();
    };
    EXPECT_TRUE(listOnly("ViewFolder"));
    ASSERT_EQ(host.navigated.size(), 2u);
    EXPECT_EQ(host.navigated[1].vt(), VT_ARRAY | VT_UI1);
    EXPECT_TRUE(listOnly("ExploreFolder"));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"/srv/abc"});
    launcher.opened.clear();

    r = DdeExecuteCommand("Folders", "AppProperties", "[ExploreFolder(\"/srv/data\", :0, 3)]");
    EXPECT_TRUE(r.ack);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"/srv/data"});
    EXPECT_FALSE(ShellExecuteBusy);
    r = DdeExecuteCommand("Folders", "AppProperties", "[FindFolder(\"/srv\", :0)]");
    EXPECT_TRUE(r.ack);
    EXPECT_EQ(launcher.opened.back(), "/srv");

    r = DdeExecuteCommand("Folders", "AppProperties", "[Rename(\"/srv\", :0, 1)]");
    EXPECT_TRUE(r.answered);
    EXPECT_FALSE(r.ack);
    r = DdeExecuteCommand("Folders", "AppProperties", "[ViewFolder(\"/srv\", :99999999999:1, 1)]");
    EXPECT_FALSE(r.ack);  // malformed: negative acknowledgement
    EXPECT_EQ(host.navigated.size(), 2u);
}

}  // namespace
}  // namespace ql

namespace ql {
namespace {

// An external object with one method, Add(a, b).
class Adder : public com::IDispatch {
public:
    ULONG refs = 1;
    com::HRESULT QueryInterface(const com::IID&, void** o) override
    {
        *o = nullptr;
        return com::E_NOINTERFACE;
    }
    com::ULONG AddRef() override { return ++refs; }
    com::ULONG Release() override { return --refs; }
    com::HRESULT GetTypeInfoCount(std::uint32_t*) override { return com::E_NOTIMPL; }
    com::HRESULT GetTypeInfo(std::uint32_t, com::LCID, com::ITypeInfo**) override { return com::E_NOTIMPL; }
    com::HRESULT GetIDsOfNames(const com::IID&, const std::u16string* names, std::uint32_t, com::LCID,
                               com::DISPID* ids) override
    {
        if (*names != u"Add")
            return com::DISP_E_UNKNOWNNAME;
        *ids = 7;
        return com::S_OK;
    }
    com::HRESULT Invoke(com::DISPID id, const com::IID&, com::LCID, com::WORD flags, com::DISPPARAMS* p,
                        com::Variant* r, com::EXCEPINFO* e, std::uint32_t*) override
    {
        if (id != 7 || !(flags & com::DISPATCH_METHOD) || p->args.size() != 2 || !p->args[0].AsInt() ||
            !p->args[1].AsInt()) {
            if (e)
                e->description = u"Add wants two integers";
            return com::DISP_E_TYPEMISMATCH;
        }
        *r = com::Variant(*p->args[0].AsInt() + *p->args[1].AsInt());
        return com::S_OK;
    }
};

TEST_F(WebHostCoreTest, ExternalObjectRunsPageCallsByName)
{
    json::Value result;
    std::string error;
    EXPECT_FALSE(host.InvokeExternal("Add", {1, 2}, result, error));
    EXPECT_EQ(error, "no external object");
    Adder adder;
    host.OnGetExternal = [&](com::IDispatch** d) {
        adder.AddRef();
        *d = &adder;
        return com::S_OK;
    };
    ASSERT_TRUE(host.InvokeExternal("Add", {2, 40}, result, error)) << error;
    EXPECT_EQ(*result.AsNumber(), 42);
    EXPECT_FALSE(host.InvokeExternal("Sub", {2, 40}, result, error));
    EXPECT_EQ(error, "unknown name: Sub");
    EXPECT_FALSE(host.InvokeExternal("Add", {"x", 1}, result, error));
    EXPECT_EQ(error, "Add wants two integers");
    EXPECT_FALSE(host.InvokeExternal("Add", {json::Array{1}, 1}, result, error));
    EXPECT_EQ(adder.refs, 1u);  // every reference given back
}

}  // namespace
}  // namespace ql
