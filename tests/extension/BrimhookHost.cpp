// A host program for libbrimhook.so: loads it with dlopen and uses only its four entry points
// and the objects they hand out, as a browser does.
#include "platform/core/Registry.h"
#include "platform/core/SafeFile.h"
#include "tests/extension/BrimhookLibrary.h"
#include "tests/extension/FakeHtmlDocument.h"
#include "tests/extension/HandOverListener.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace ql {
namespace {

using namespace ql::com;
using brimhook::Iquillory;
using test::CallSlot;
using test::FakeDocument;
using test::FakePage;
namespace fs = std::filesystem;

const std::string kNotInstalled = "Quillory not properly installed, Please install Quillory again.";
const std::string kCachedUrl = "http://127.0.0.1:8799/page.html";

// One folder for the whole program: the library keeps its URL cache (and the folder of bodies
// it copies out) from its first lookup to its unloading.
struct HostFolders : ::testing::Environment {
    test::TempDir root;
    void SetUp() override
    {
        ::setenv("XDG_CONFIG_HOME", (root.path() / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (root.path() / "runtime").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root.path() / "cache").c_str(), 1);
        ::setenv("HOME", (root.path() / "home").c_str(), 1);
        fs::create_directories(root.path() / "runtime");
        fs::create_directories(root.path() / "home");
        const fs::path cache = root.path() / "cache/chromium/Default/Cache/Cache_Data";
        fs::create_directories(cache);
        fs::copy(QUILLORY_TEST_DATA "/urlcache/chromium/Default/Cache/Cache_Data", cache, fs::copy_options::recursive);
    }
};
HostFolders* folders = static_cast<HostFolders*>(::testing::AddGlobalTestEnvironment(new HostFolders));

std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::vector<std::string> NulSeparated(const std::string& bytes)
{
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\0', at);
        if (end == std::string::npos)
            end = bytes.size();
        parts.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

struct BrimhookHostTest : ::testing::Test {
    test::BrimhookLibrary library;
    const fs::path root = folders->root.path();
    const std::string clip = (root / "runtime/quillory/qltemp.html").string();
    const fs::path recorded = root / "recorded";

    void SetUp() override
    {
        ASSERT_TRUE(library.Loaded()) << library.Error();
        fs::remove(root / "config/quillory/registry");
        fs::remove(clip);
        fs::remove(recorded);
        ::setenv("QL_RECORDER_OUT", recorded.c_str(), 1);
    }
    static ComPtr<FakeDocument> Doc(FakePage page = {}) { return MakeCom<FakeDocument>(std::move(page)); }
    std::string Clip() const { return ReadFileBytes(clip).value_or("<no clip file>"); }
};

TEST_F(BrimhookHostTest, ExportsTheFourEntryPointsAndHidesEverythingElse)
{
    for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(library.Symbol(name), nullptr) << name;
    // ql::SaveTextToFile(const std::string&, const std::string&), ql::Registry::Registry(std::string),
    // ql::brimhook::ServerInUse().
    for (const char* name :
         {"_ZN2ql14SaveTextToFileERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES7_",
          "_ZN2ql8RegistryC1ENSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE", "_ZN2ql8brimhook11ServerInUseEv"})
        EXPECT_EQ(library.Symbol(name), nullptr) << name;
}

TEST_F(BrimhookHostTest, ClassFactoryMakesNewObjectsAndTheLibraryStaysWhileAnythingLives)
{
    EXPECT_EQ(library.canUnloadNow(), S_OK);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(library.getClassObject(brimhook::LIBID_Brimhook, IClassFactory::IID_, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(library.getClassObject(brimhook::CLASS_quillory, IClassFactory::IID_, factory.putVoid()), S_OK);
    EXPECT_EQ(library.canUnloadNow(), S_FALSE);
    auto doc = Doc();
    void* aggregated = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(doc.get(), IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated, nullptr);

    ComPtr<Iquillory> a, b;
    ASSERT_EQ(factory->CreateInstance(nullptr, brimhook::IID_Iquillory, a.putVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IDispatch::IID_, b.putVoid()), S_OK);
    EXPECT_NE(static_cast<void*>(a.get()), static_cast<void*>(b.get()));  // multi-instance
    factory.reset();
    b.reset();
    EXPECT_EQ(library.canUnloadNow(), S_FALSE);  // a lives

    ASSERT_EQ(library.getClassObject(brimhook::CLASS_quillory, IClassFactory::IID_, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(true), S_OK);
    factory.reset();
    a.reset();
    EXPECT_EQ(library.canUnloadNow(), S_FALSE);  // locked
    ASSERT_EQ(library.getClassObject(brimhook::CLASS_quillory, IClassFactory::IID_, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(false), S_OK);
    factory.reset();
    EXPECT_EQ(library.canUnloadNow(), S_OK);
}

TEST_F(BrimhookHostTest, RegistrationThenUnregistrationLeavesTheStoreAsItWas)
{
    const std::string clsid = "CLSID\\{27068A43-C3B3-11D5-8B0C-0000E89FE158}";
    {
        Registry reg;
        ASSERT_TRUE(reg.WriteString(RegRoot::CurrentUser, "\\Software\\Tessaly\\Pouchly", "exe", "/opt/q/quillory"));
        ASSERT_TRUE(
            reg.WriteString(RegRoot::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}", "", "other"));
    }
    const std::string before = ReadFileBytes(root / "config/quillory/registry").value_or("<none>");

    ASSERT_EQ(library.registerServer(), S_OK);
    {
        Registry reg;
        const auto CR = RegRoot::ClassesRoot;
        EXPECT_EQ(reg.ReadString(CR, clsid, ""), "quillory Object");
        EXPECT_EQ(reg.ReadString(CR, clsid + "\\InprocServer32", ""), fs::canonical(QUILLORY_BRIMHOOK).string());
        EXPECT_EQ(reg.ReadString(CR, clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
        EXPECT_EQ(reg.ReadString(CR, clsid + "\\ProgID", ""), "Brimhook.quillory");
        EXPECT_EQ(reg.ReadString(CR, "Brimhook.quillory\\CLSID", ""), "{27068A43-C3B3-11D5-8B0C-0000E89FE158}");
        EXPECT_EQ(reg.ReadString(CR, "TypeLib\\{27068A40-C3B3-11D5-8B0C-0000E89FE158}\\1.0", ""), "Brimhook Library");
        EXPECT_EQ(reg.ReadString(CR, "Interface\\{27068A41-C3B3-11D5-8B0C-0000E89FE158}", ""), "Iquillory");
    }
    ASSERT_EQ(library.unregisterServer(), S_OK);
    EXPECT_EQ(ReadFileBytes(root / "config/quillory/registry").value_or("<none>"), before);
    // Unregistering what is not registered changes nothing either.
    EXPECT_EQ(library.unregisterServer(), S_OK);
    EXPECT_EQ(ReadFileBytes(root / "config/quillory/registry").value_or("<none>"), before);
}

TEST_F(BrimhookHostTest, MethodsInSlotsSevenToNineAndByNameHandTheClipOver)
{
    test::HandOverListener quillory;
    ASSERT_TRUE(quillory.Listening());
    ComPtr<Iquillory> object = library.Create();
    ASSERT_TRUE(object);
    void* raw = object.get();
    // Slots 1 and 2 count references, as every object's do.
    EXPECT_EQ(test::CallCountSlot(raw, 1), 2u);
    EXPECT_EQ(test::CallCountSlot(raw, 2), 1u);

    FakePage selected;
    selected.selectionType = u"Text";
    selected.selectionText = u"chosen";
    selected.selectionHtml = u"<p>chosen\nwords</p>";
    FakePage cached;  // the page is in the browser's cache (the fixtures)
    cached.url = WideFromUtf8(kCachedUrl);
    cached.title = u"fixture";
    FakePage control;
    control.selectionType = u"Control";

    EXPECT_EQ(CallSlot(raw, 7, Doc(selected).get()), S_OK);  // SaveSelection
    EXPECT_EQ(CallSlot(raw, 8, Doc(cached).get()), S_OK);    // SaveWhole
    EXPECT_EQ(CallSlot(raw, 9, Doc(control).get()), S_OK);   // SaveFromButton: no text, whole page
    auto got = quillory.Received();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].text, clip + "\r\nhttp://example.test/page.html\r\nExample page");
    EXPECT_EQ(got[0].clip, "<p>chosen\r\nwords</p>\r\n");
    EXPECT_EQ(got[1].text, clip + "\r\n" + kCachedUrl + "\r\nfixture");
    EXPECT_EQ(got[1].clip, Crlf(ReadFileBytes(QUILLORY_TEST_DATA "/urlcache/tools/site/page.html").value_or("?")));
    EXPECT_EQ(got[2].clip, "<body><p>whole\r\npage</p></body>\r\n");

    // The same through IDispatch, by the names the type library gives.
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(object->QueryInterface(IDispatch::IID_, dispatch.putVoid()), S_OK);
    FakePage unselected;
    const std::pair<const char16_t*, FakePage*> calls[] = {{u"SaveSelection", &control},
                                                           {u"SaveSelection", &unselected},
                                                           {u"savewhole", &selected},
                                                           {u"SaveFromButton", &selected}};
    for (auto [name, page] : calls) {
        std::u16string n = name;
        DISPID id = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &n, 1, 0, &id), S_OK);
        DISPPARAMS args{{Variant(ComPtr<IDispatch>(Doc(*page).get()))}};
        EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &args, nullptr, nullptr, nullptr), S_OK);
    }
    got = quillory.Received();
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[3].clip, "");  // a control selection
    EXPECT_EQ(got[4].clip, "");  // no selection
    EXPECT_EQ(got[4].text, clip + "\r\nhttp://example.test/page.html\r\nExample page");
    EXPECT_EQ(got[5].clip, "<body><p>whole\r\npage</p></body>\r\n");  // uncached page
    EXPECT_EQ(got[6].clip, "<p>chosen\r\nwords</p>\r\n");             // the text selection

    // Something that is not a document is refused in every slot.
    auto element = MakeCom<test::FakeElement>(u"<p/>");
    for (int slot : {7, 8, 9})
        EXPECT_EQ(CallSlot(raw, slot, element.get()), E_NOINTERFACE);
    EXPECT_EQ(quillory.Received().size(), 7u);
}

TEST_F(BrimhookHostTest, TwoCapturesInARowEachHandOverTheirOwnTextUrlAndTitle)
{
    test::HandOverListener quillory;
    ComPtr<Iquillory> object = library.Create();
    ASSERT_TRUE(object);
    FakePage one, two;
    one.selectionType = two.selectionType = u"Text";
    one.selectionText = u"one";
    one.selectionHtml = u"<b>one</b>";
    one.url = u"http://one.test/";
    one.title = u"One";
    two.selectionText = u"two";
    two.selectionHtml = u"<i>two</i>";
    two.url = u"http://two.test/";
    two.title = u"Two";
    EXPECT_EQ(object->SaveFromButton(Doc(one).get()), S_OK);
    EXPECT_EQ(object->SaveFromButton(Doc(two).get()), S_OK);
    auto got = quillory.Received();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].clip, "<b>one</b>\r\n");
    EXPECT_EQ(got[0].text, clip + "\r\nhttp://one.test/\r\nOne");
    EXPECT_EQ(got[1].clip, "<i>two</i>\r\n");
    EXPECT_EQ(got[1].text, clip + "\r\nhttp://two.test/\r\nTwo");
}

TEST_F(BrimhookHostTest, WithoutAListenerTheRegisteredProgramStartsWithTheClipAsThreeArguments)
{
    ASSERT_TRUE(
        Registry().WriteString(RegRoot::CurrentUser, "\\Software\\Tessaly\\Pouchly", "exe", QUILLORY_ARGS_RECORDER));
    ComPtr<Iquillory> object = library.Create();
    ASSERT_TRUE(object);
    FakePage page;
    page.title = u"A \"quoted\" title; $(rm -rf x)";
    page.selectionType = u"Text";
    page.selectionHtml = u"<p>clip</p>";
    EXPECT_EQ(CallSlot(object.get(), 7, Doc(page).get()), S_OK);
    EXPECT_EQ(NulSeparated(test::WaitForFile(recorded)),
              (std::vector<std::string>{clip, "http://example.test/page.html", "A \"quoted\" title; $(rm -rf x)"}));
    EXPECT_EQ(Clip(), "<p>clip</p>\r\n");
}

TEST_F(BrimhookHostTest, WithoutAProgramTheMessageGoesToTheDesktopsNotifications)
{
    // notify-send, as this desktop has it, records what it is asked to show.
    const fs::path bin = root / "bin";
    fs::create_directories(bin);
    fs::remove(bin / "notify-send");
    fs::create_symlink(QUILLORY_ARGS_RECORDER, bin / "notify-send");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    ComPtr<Iquillory> object = library.Create();
    ASSERT_TRUE(object);
    EXPECT_EQ(CallSlot(object.get(), 8, Doc().get()), S_OK);
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(NulSeparated(test::WaitForFile(recorded)), (std::vector<std::string>{"Quillory", kNotInstalled}));
}

}  // namespace
}  // namespace ql
