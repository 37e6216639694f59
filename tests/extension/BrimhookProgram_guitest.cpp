// libbrimhook.so and the running program together: this test program is the host (it loads
// the library with dlopen, as a browser does) and hands captures to a Quillory started from a
// program folder of its own, sharing its config and runtime folders, so the clip file and the
// hand-over socket are the program's. The program's "Save homepage" dialog, driven through
// the keyboard, saves each capture as a page of the collection.
#include "tests/extension/BrimhookLibrary.h"
#include "tests/extension/FakeHtmlDocument.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/UrlCacheWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <signal.h>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/ProgramWindows.h"

namespace ql::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct Capture {
    std::string html, url, title;
    std::string Page() const  // the page the dialog saves it as, pictures left out
    {
        return "<!-- From: \"" + url + "\" -->\r\n<base href=\"" + url + "\">\r\n" + html + "\r\n";
    }
};

const Capture kFirst{"<p>first <b>clip</b></p>", "http://one.test/a.html", "First capture"};
const Capture kSecond{"<ul><li>second clip</li></ul>", "http://two.test/b?x=1&y=2", "Second \"capture\""};

class BrimhookProgramTest : public ::testing::Test {
protected:
    ProgramFolder program;
    ScopedXdgEnv host{program.ConfigDir(), fs::path(program.RuntimeDir()).parent_path()};
    BrimhookLibrary library;
    pid_t pid = -1;

    void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartProgram({})); }
    void StartProgram(const std::vector<std::string>& env)
    {
        ASSERT_TRUE(library.Loaded()) << library.Error();
        if (!fs::exists(program.dir().path() / "gleanhoard.ini"))
            program.WriteSmallCollection();
        pid = program.Start({}, env);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(program.WaitListening(20s)) << program.Stderr();
    }
    void TearDown() override
    {
        if (pid <= 0)
            return;
        Signal(pid, SIGTERM);
        EXPECT_EQ(program.Wait(pid, 10s), 0) << program.Stderr();
    }

    // The host's SaveSelection on a page whose selection is `capture`'s markup.
    com::HRESULT SaveSelection(const Capture& capture) const
    {
        com::ComPtr<brimhook::Iquillory> object = library.Create();
        if (!object)
            return com::E_FAIL;
        FakePage page;
        page.selectionType = u"Text";
        page.selectionText = u"text";
        page.selectionHtml = com::WideFromUtf8(capture.html);
        page.url = com::WideFromUtf8(capture.url);
        page.title = com::WideFromUtf8(capture.title);
        return object->SaveSelection(com::MakeCom<FakeDocument>(page).get());
    }
    std::string ClipFile() const { return program.dir().read("run/quillory/qltemp.html"); }
    std::string Tree() const { return program.dir().read("Collection/tvframe"); }

    // Presses Save (the default button) in the open dialog and waits for it to close and for
    // the collection's `line`-th node to get its page.
    void SaveAsNode(Window dialog, WindowMapping& mapping, std::size_t line)
    {
        PressKeyIn(dialog, "Return");
        ASSERT_TRUE(mapping.Next(false, 5s));
        ASSERT_TRUE(WaitUntil([&] { return !program.PageOfNode(line).empty(); }, 5s)) << Tree();
    }
};

TEST_F(BrimhookProgramTest, TwoCapturesInARowEachBecomeAPageWithTheirOwnTextUrlAndTitle)
{
    ASSERT_EQ(SaveSelection(kFirst), com::S_OK);
    // The clip file the library wrote is in the program's runtime folder.
    EXPECT_EQ(ClipFile(), kFirst.html + "\r\n");
    const Window dialog = WaitForMappedWindow(pid, 10s, "Save homepage");
    ASSERT_NE(dialog, 0u) << program.Stderr();
    WindowMapping mapping(dialog);
    // "Notes" is the preselected node; the title is the page's.
    ASSERT_NO_FATAL_FAILURE(SaveAsNode(dialog, mapping, 1));
    EXPECT_EQ(program.PageOfNode(1), kFirst.Page());
    EXPECT_EQ(Tree(), "Notes\r\n\tFirst capture\r\n");

    ASSERT_EQ(SaveSelection(kSecond), com::S_OK);
    ASSERT_TRUE(mapping.Next(true, 10s)) << program.Stderr();
    ASSERT_NO_FATAL_FAILURE(SaveAsNode(dialog, mapping, 2));
    EXPECT_EQ(program.PageOfNode(2), kSecond.Page());
    EXPECT_EQ(program.PageOfNode(1), kFirst.Page());
    EXPECT_EQ(Tree(), "Notes\r\n\tFirst capture\r\n\tSecond \"capture\"\r\n");
}

TEST_F(BrimhookProgramTest, ACaptureWhileTheDialogIsOpenLeavesItsClipAloneAndGetsTheNextDialog)
{
    ASSERT_EQ(SaveSelection(kFirst), com::S_OK);
    const Window dialog = WaitForMappedWindow(pid, 10s, "Save homepage");
    ASSERT_NE(dialog, 0u) << program.Stderr();
    WindowMapping mapping(dialog);
    // The second capture rewrites the one clip file while the first dialog waits: the program
    // read the first clip when it took the hand-over.
    ASSERT_EQ(SaveSelection(kSecond), com::S_OK);
    EXPECT_EQ(ClipFile(), kSecond.html + "\r\n");

    ASSERT_NO_FATAL_FAILURE(SaveAsNode(dialog, mapping, 1));
    EXPECT_EQ(program.PageOfNode(1), kFirst.Page());
    ASSERT_TRUE(mapping.Next(true, 10s)) << program.Stderr();
    ASSERT_NO_FATAL_FAILURE(SaveAsNode(dialog, mapping, 2));
    EXPECT_EQ(program.PageOfNode(2), kSecond.Page());
    EXPECT_EQ(Tree(), "Notes\r\n\tFirst capture\r\n\tSecond \"capture\"\r\n");
}

// With "Include images" the saved capture's pictures come from the browser's cache.
class BrimhookPicturesTest : public BrimhookProgramTest {
protected:
    void SetUp() override
    {
        program.WriteSmallCollection();
        program.dir().write("gleanhoard.ini", "[set]\r\nShowMainForm=0\r\nimagechecked=1\r\n");
        const std::string cache = "xdg-cache/chromium/Default/Cache/Cache_Data/";
        program.dir().write(
            cache + "0000000000000001_0",
            ChromiumEntry("1/0/_dk_http://one.test http://one.test http://one.test/img/b.png", "picture bytes"));
        program.dir().write(cache + "index-dir/the-real-index", "");
        ASSERT_NO_FATAL_FAILURE(StartProgram({"XDG_CACHE_HOME=" + program.dir().dir() + "xdg-cache"}));
    }
};

TEST_F(BrimhookPicturesTest, ACaptureSavedWithIncludeImagesKeepsItsPictures)
{
    const Capture capture{"<p>with <img src=\"img/b.png\"> <a href=\"more.html\">more</a></p>",
                          "http://one.test/a.html", "Pictured"};
    ASSERT_EQ(SaveSelection(capture), com::S_OK);
    const Window dialog = WaitForMappedWindow(pid, 10s, "Save homepage");
    ASSERT_NE(dialog, 0u) << program.Stderr();
    WindowMapping mapping(dialog);
    ASSERT_NO_FATAL_FAILURE(SaveAsNode(dialog, mapping, 1));
    ASSERT_TRUE(WaitUntil([&] { return program.PageOfNode(1).find("!images") != std::string::npos; }, 10s))
        << program.PageOfNode(1);
    // No base line: the links are made absolute instead.
    EXPECT_EQ(program.PageOfNode(1).rfind(
                  "<!-- From: \"http://one.test/a.html\" -->\r\n<p>with <img src=\"!images\\b1.png\"> "
                  "<a href=\"http://one.test/more.html\">more</a></p>",
                  0),
              0u)
        << program.PageOfNode(1);
    EXPECT_EQ(program.dir().read("Collection/!images/b1.png"), "picture bytes");
    const std::string id = program.IdOfNode(1);
    EXPECT_NE(program.dir().read("Collection/images.ini").find("[" + id + "]\r\nb1.png=1"), std::string::npos)
        << program.dir().read("Collection/images.ini");
}

}  // namespace
}  // namespace ql::test
