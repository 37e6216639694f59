// The capture object in this process, with a fake document, launcher and messages; the
// hand-over goes through the real transport to a listener standing in for Quillory.
#include "extension/ClipFile.h"
#include "extension/iequillory.h"
#include "foundation/VekBaseClass.h"
#include "platform/core/SafeFile.h"
#include "tests/extension/FakeHtmlDocument.h"
#include "tests/extension/HandOverListener.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace ql::brimhook {
namespace {

using namespace ql::com;
using test::FakeDocument;
using test::FakePage;
namespace fs = std::filesystem;

struct TquilloryTest : ::testing::Test {
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    test::FakeDialogs dialogs;
    std::map<std::string, std::string> cacheFiles;  // URL -> local file
    CaptureServices services{launcher, dialogs, [this](const std::string& url) {
                                 auto it = cacheFiles.find(url);
                                 return it == cacheFiles.end() ? std::string() : it->second;
                             }};
    ComPtr<Iquillory> object = ComPtr<Iquillory>::Adopt(MakeCom<Tquillory>(services).detach());
    const std::string clip = ClipFilePath();

    static ComPtr<FakeDocument> Doc(FakePage page = {}) { return MakeCom<FakeDocument>(std::move(page)); }
    std::string Clip() const { return ReadFileBytes(clip).value_or("<no clip file>"); }
    std::string HandOverText(const std::string& url, const std::string& title) const
    {
        return clip + "\r\n" + url + "\r\n" + title;
    }
    void RegisterProgram(const std::string& path)
    {
        ASSERT_TRUE(WriteRegString(RegRoot::CurrentUser, kProgramKey, kProgramValue, path));
    }
};

TEST_F(TquilloryTest, SelectionCapturesWriteTheSelectedMarkupAndHandItOver)
{
    test::HandOverListener quillory;
    ASSERT_TRUE(quillory.Listening());
    ASSERT_FALSE(clip.empty());
    EXPECT_EQ(clip, env.root().dir() + "runtime/quillory/qltemp.html");

    FakePage page;
    page.selectionType = u"Text";
    page.selectionText = u"sel line";
    page.selectionHtml = u"<b>sel</b>\nline \u00e9";
    EXPECT_EQ(object->SaveSelection(Doc(page).get()), S_OK);
    auto got = quillory.Received();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].clip, "<b>sel</b>\r\nline \xc3\xa9\r\n");  // UTF-8, CR LF
    EXPECT_EQ(got[0].text, HandOverText("http://example.test/page.html", "Example page"));
    EXPECT_EQ(got[0].data, got[0].text + '\0');
    EXPECT_EQ(got[0].dwData, 0u);
    EXPECT_EQ(got[0].wParam, 0u);

    // No selection, or a picture selected: the clip is empty, and handed over all the same.
    page.selectionType = u"None";
    EXPECT_EQ(object->SaveSelection(Doc(page).get()), S_OK);
    page.selectionType = u"Control";
    EXPECT_EQ(object->SaveSelection(Doc(page).get()), S_OK);
    got = quillory.Received();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].clip, "");
    EXPECT_EQ(got[2].clip, "");
    EXPECT_EQ(got[2].text, HandOverText("http://example.test/page.html", "Example page"));

    // From the button: a text selection with text is taken as it is ("TEXT" in any case) ...
    page.selectionType = u"TEXT";
    EXPECT_EQ(object->SaveFromButton(Doc(page).get()), S_OK);
    // ... an empty one, or none, gives the whole page.
    page.selectionText.clear();
    EXPECT_EQ(object->SaveFromButton(Doc(page).get()), S_OK);
    page.selectionType = u"None";
    EXPECT_EQ(object->SaveFromButton(Doc(page).get()), S_OK);
    got = quillory.Received();
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[3].clip, "<b>sel</b>\r\nline \xc3\xa9\r\n");
    EXPECT_EQ(got[4].clip, "<body><p>whole\r\npage</p></body>\r\n");
    EXPECT_EQ(got[5].clip, "<body><p>whole\r\npage</p></body>\r\n");
    EXPECT_TRUE(launcher.spawned.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TquilloryTest, WholePageComesFromTheCacheUnlessMissingUnreadableOrTooLarge)
{
    test::HandOverListener quillory;
    test::TempDir cache;
    const std::string body = "<html>\n<body>cached</body>\r\n</html>";
    cacheFiles["http://example.test/page.html"] = cache.write("page", body).string();
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_EQ(Clip(), "<html>\r\n<body>cached</body>\r\n</html>\r\n");

    // One byte over the page limit: the body's markup instead.
    services.maxPageBytes = body.size() - 1;
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_EQ(Clip(), "<body><p>whole\r\npage</p></body>\r\n");
    services.maxPageBytes = body.size();
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_EQ(Clip(), "<html>\r\n<body>cached</body>\r\n</html>\r\n");

    // A cache file that is gone or cannot be read as a file.
    cacheFiles["http://example.test/page.html"] = cache.dir() + "gone";
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_EQ(Clip(), "<body><p>whole\r\npage</p></body>\r\n");
    fs::create_directory(cache.path() / "folder");
    cacheFiles["http://example.test/page.html"] = cache.dir() + "folder";
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_EQ(Clip(), "<body><p>whole\r\npage</p></body>\r\n");
    EXPECT_EQ(quillory.Received().size(), 5u);
}

TEST_F(TquilloryTest, ClipFileIsPrivateAndNeverWrittenThroughALink)
{
    test::HandOverListener quillory;
    ::umask(0);
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    ::umask(022);
    struct stat st {};
    ASSERT_EQ(::lstat(clip.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::chmod(clip.c_str(), 0644);
    EXPECT_EQ(object->SaveSelection(Doc().get()), S_OK);
    ASSERT_EQ(::lstat(clip.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(quillory.Received().size(), 2u);

    // A link in its place: the capture fails, nothing is handed over or started, and the file
    // the link names keeps its content.
    test::TempDir elsewhere;
    const fs::path target = elsewhere.write("precious", "keep me");
    fs::remove(clip);
    fs::create_symlink(target, clip);
    RegisterProgram("/bin/true");
    EXPECT_TRUE(FAILED(object->SaveWhole(Doc().get())));
    EXPECT_EQ(elsewhere.read("precious"), "keep me");
    EXPECT_TRUE(fs::is_symlink(clip));
    EXPECT_EQ(quillory.Received().size(), 2u);
    EXPECT_TRUE(launcher.spawned.empty());
}

TEST_F(TquilloryTest, WithoutQuilloryRunningTheRegisteredProgramStartsWithThreeArguments)
{
    RegisterProgram("/bin/true");
    FakePage page;
    page.title = u"He said \"hi\" & left; $HOME `x`";
    page.url = u"http://example.test/a b?q=\"1\"";
    EXPECT_EQ(object->SaveWhole(Doc(page).get()), S_OK);
    ASSERT_EQ(launcher.spawned.size(), 1u);
    EXPECT_EQ(launcher.spawned[0], (std::vector<std::string>{"/bin/true", clip, "http://example.test/a b?q=\"1\"",
                                                             "He said \"hi\" & left; $HOME `x`"}));
    EXPECT_TRUE(dialogs.messages.empty());

    // Line breaks and NULs would break the three lines apart: they arrive as blanks.
    page.title = std::u16string(u"two\r\nlines\0end", 14);
    EXPECT_EQ(object->SaveWhole(Doc(page).get()), S_OK);
    ASSERT_EQ(launcher.spawned.size(), 2u);
    EXPECT_EQ(launcher.spawned[1][3], "two  lines end");

    // Not installed: no value, or a value naming no file.
    RegisterProgram(env.root().dir() + "missing/quillory");
    EXPECT_EQ(object->SaveWhole(Doc(page).get()), S_OK);
    (void)Registry().DeleteValue(RegRoot::CurrentUser, kProgramKey, kProgramValue);  // absent afterwards either way
    EXPECT_EQ(object->SaveWhole(Doc(page).get()), S_OK);
    EXPECT_EQ(launcher.spawned.size(), 2u);
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>(2, "Quillory not properly installed, Please install Quillory again.")));
}

// A runtime folder that lies too deep for a socket address: no hand-over can work, so the user
// learns which folder is wrong instead of "not installed", and no program is started that
// could not be reached either.
TEST_F(TquilloryTest, ARuntimeFolderTooDeepForASocketIsNamedInsteadOfNotInstalled)
{
    const fs::path deep = env.root().path() / ("runtime-" + std::string(80, 'x'));
    test::ScopedXdgEnv deepEnv(env.root().path() / "config", deep);
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    RegisterProgram("/bin/true");
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_TRUE(launcher.spawned.empty());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const std::string& message : dialogs.messages) {
        EXPECT_NE(message.find(deep.string() + "/quillory/"), std::string::npos) << message;
        EXPECT_NE(message.find("too deep"), std::string::npos) << message;
    }
}

// A running Quillory that cannot read the clip file refuses it: nothing was stored, so the user
// is told which file, and no second program is started.
TEST_F(TquilloryTest, AClipTheRunningQuilloryRefusesIsToldToTheUser)
{
    test::HandOverListener quillory(HandOverReply::NoClipFile);
    RegisterProgram("/bin/true");
    EXPECT_EQ(object->SaveWhole(Doc().get()), S_OK);
    EXPECT_EQ(quillory.Received().size(), 1u);
    EXPECT_TRUE(launcher.spawned.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "Quillory cannot take the clip: it could not read the clip file " + clip + ".");
}

TEST_F(TquilloryTest, WithoutADocumentOnlyTheClipFileIsEmptied)
{
    test::HandOverListener quillory;
    ASSERT_TRUE(SaveTextToFile("old clip", clip));
    EXPECT_EQ(object->SaveWhole(nullptr), S_OK);
    EXPECT_EQ(Clip(), "");
    EXPECT_TRUE(quillory.Received().empty());
    EXPECT_TRUE(launcher.spawned.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TquilloryTest, AFailingDocumentOrAnObjectThatIsNoDocumentEndsTheCaptureWithAFailure)
{
    test::HandOverListener quillory;
    FakePage page;
    page.failTitle = true;
    EXPECT_EQ(object->SaveWhole(Doc(page).get()), E_FAIL);
    EXPECT_TRUE(quillory.Received().empty());

    // Anything but a document is asked for the document interface, never called as one.
    ASSERT_TRUE(SaveTextToFile("old clip", clip));
    auto element = MakeCom<test::FakeElement>(u"<p>x</p>");
    EXPECT_EQ(object->SaveSelection(element.get()), E_NOINTERFACE);
    EXPECT_EQ(object->SaveFromButton(element.get()), E_NOINTERFACE);
    EXPECT_EQ(Clip(), "old clip\r\n");
    EXPECT_TRUE(quillory.Received().empty());
    EXPECT_EQ(element->RefCount(), 1u);
}

TEST_F(TquilloryTest, EachCallKeepsItsOwnDocumentAndModeAndHoldsNoDocumentAfterwards)
{
    RegisterProgram("/bin/true");
    FakePage second;
    second.url = u"http://example.test/second";
    second.title = u"Second";
    second.selectionType = u"Text";
    second.selectionText = u"s";
    second.selectionHtml = u"<i>s</i>";
    auto secondDoc = Doc(second);
    FakePage first;
    first.url = u"http://example.test/first";
    first.title = u"First";
    // The page's script captures another document while the first capture runs.
    first.onFirstUrl = [&] { EXPECT_EQ(object->SaveSelection(secondDoc.get()), S_OK); };
    auto firstDoc = Doc(first);
    EXPECT_EQ(object->SaveWhole(firstDoc.get()), S_OK);

    ASSERT_EQ(launcher.spawned.size(), 2u);
    EXPECT_EQ(launcher.spawned[0],
              (std::vector<std::string>{"/bin/true", clip, "http://example.test/second", "Second"}));
    EXPECT_EQ(launcher.spawned[1], (std::vector<std::string>{"/bin/true", clip, "http://example.test/first", "First"}));
    EXPECT_EQ(Clip(), "<body><p>whole\r\npage</p></body>\r\n");  // the outer capture wrote last
    EXPECT_EQ(firstDoc->RefCount(), 1u);
    EXPECT_EQ(secondDoc->RefCount(), 1u);
}

TEST_F(TquilloryTest, CallsByNameAreAnsweredFromTheTypeLibrary)
{
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(object->QueryInterface(IDispatch::IID_, dispatch.putVoid()), S_OK);
    std::uint32_t count = 7;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);

    const std::u16string names[] = {u"savewhole", u"IEDOC"};
    DISPID ids[2] = {};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 0);
    for (auto [name, id] : {std::pair{u"SaveSelection", 1}, {u"SAVEFROMBUTTON", 3}}) {
        std::u16string n = name;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &n, 1, 0, ids), S_OK);
        EXPECT_EQ(ids[0], id);
    }
    const std::u16string unknown[] = {u"SaveAll", u"iedoc"};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    const std::u16string badParam[] = {u"SaveWhole", u"doc"};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, badParam, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_Iquillory, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);

    // Invoke checks the member, the call kind, the argument count and type before calling.
    test::HandOverListener quillory;
    auto doc = Doc();
    DISPPARAMS one{{Variant(ComPtr<IDispatch>(doc.get()))}};
    Variant result = Variant(5);
    EXCEPINFO info;
    std::uint32_t argErr = 99;
    EXPECT_EQ(dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &one, &result, &info, &argErr), S_OK);
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_EQ(quillory.Received().size(), 1u);
    EXPECT_EQ(dispatch->Invoke(4, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(dispatch->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYPUT, &one, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    DISPPARAMS none;
    EXPECT_EQ(dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    DISPPARAMS text{{Variant(u"doc")}};
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &text, nullptr, nullptr, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(quillory.Received().size(), 1u);

    // A failing method comes back as an exception carrying its result.
    auto element = MakeCom<test::FakeElement>(u"<p/>");
    DISPPARAMS notDoc{{Variant(ComPtr<IDispatch>(element.get()))}};
    EXPECT_EQ(dispatch->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &notDoc, nullptr, &info, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_NOINTERFACE);
    EXPECT_FALSE(info.description.empty());
}

}  // namespace
}  // namespace ql::brimhook
