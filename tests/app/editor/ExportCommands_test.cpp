#include "app/editor/ExportCommands.h"

#include "tests/app/editor/session/SessionFixture.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakeWindowActivator.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

namespace fs = std::filesystem;

struct FakeChoosers : ExportDialogs {
    std::optional<std::string> file, folder;
    std::vector<std::string> asked;  // "save <filter> <proposal>", "folder <caption>"
    std::optional<std::string> SaveFile(const std::string& filter, const std::string& proposedName) override
    {
        asked.push_back("save " + filter + " " + proposedName);
        return file;
    }
    std::optional<std::string> SelectFolder(const std::string& caption) override
    {
        asked.push_back("folder " + caption);
        return folder;
    }
};

class ExportCommandsTest : public test::SessionFixture {
protected:
    test::ScopedXdgEnv xdg;  // no browser window of ours listens
    test::TempDir out;
    FakeChoosers choosers;
    test::FakeLauncher launcher;
    test::FakeWindowActivator front;
    ExportCommands commands{*session, window, dialogs, choosers, launcher, front, ini.get()};
    TreeNode* top = nullptr;
    TreeNode* child = nullptr;

    ExportCommandsTest()
    {
        top = AddPage(nullptr, "A/B: <Top>", "top", "<p>top<img src=\"!images\\a.png\"></p>");
        child = AddPage(top, "Child", "child", "<p>child</p>");
        EXPECT_TRUE(ini->WriteString("top", "a.png", "http://x/a.png"));
        temp.write("Collection/!images/a.png", "PNG");
    }
};

TEST_F(ExportCommandsTest, SaveAsProposesTheTitleAndWritesHtmlWithThePictures)
{
    EXPECT_EQ(commands.SaveAs1Click(), "");  // no node selected: no dialog
    EXPECT_TRUE(choosers.asked.empty());

    window.SelectNode(top);
    choosers.file = std::nullopt;  // cancelled
    EXPECT_EQ(commands.SaveAs1Click(), "");
    EXPECT_EQ(choosers.asked.back(), std::string("save ") + kSaveAsFilter + " AB Top");

    choosers.file = out.dir() + "saved.htm";
    EXPECT_EQ(commands.SaveAs1Click(), out.dir() + "saved.html");
    EXPECT_EQ(out.read("saved.html"), Page("top"));
    EXPECT_EQ(out.read("!images/a.png"), "PNG");
    EXPECT_FALSE(fs::exists(out.path() / "saved.htm"));
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(ExportCommandsTest, SaveAsAsksBeforeTheHtmlNameReplacesAnotherFile)
{
    window.SelectNode(top);
    out.write("kept.html", "someone else's");
    choosers.file = out.dir() + "kept.htm";
    dialogs.answer = false;
    EXPECT_EQ(commands.SaveAs1Click(), "");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_NE(dialogs.questions[0].find(out.dir() + "kept.html"), std::string::npos);
    EXPECT_EQ(out.read("kept.html"), "someone else's");

    dialogs.answer = true;
    EXPECT_EQ(commands.SaveAs1Click(), out.dir() + "kept.html");
    EXPECT_EQ(out.read("kept.html"), Page("top"));
    // The confirmed name itself was already confirmed by the save dialog: no second question.
    choosers.file = out.dir() + "kept.html";
    EXPECT_EQ(commands.SaveAs1Click(), out.dir() + "kept.html");
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

// The disk fills up during the copies: the page is written, its picture is not. The user is
// told which file is missing, by Save As and by an export alike.
TEST_F(ExportCommandsTest, CopiesThatFailAreToldNotPassedOver)
{
    temp.write("Collection/!images/a.png", std::string(4000, 'p'));
    window.SelectNode(top);
    choosers.file = out.dir() + "saved.html";
    choosers.folder = out.dir() + "export";
    fs::create_directory(out.path() / "export");
    {
        test::ScopedFileSizeLimit full(1000);
        EXPECT_EQ(commands.SaveAs1Click(), out.dir() + "saved.html");
        EXPECT_EQ(commands.Export1Click(), out.dir() + "export/index - AB Top.html");
    }
    EXPECT_EQ(out.read("saved.html"), Page("top"));
    EXPECT_FALSE(fs::exists(out.path() / "!images/a.png"));
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"Cannot create file \"" + out.dir() + "!images/a.png\".",
                                        "Cannot create file \"" + out.dir() + "export/!images/a.png\"."}));
    EXPECT_EQ(CopiesFailedMessage({"a", "b", "c"}), "Cannot create file \"a\" nor 2 others.");
}

TEST_F(ExportCommandsTest, ExportingASubtreeWritesItsIndexIntoTheChosenFolderAndOpensIt)
{
    window.SelectNode(top);
    choosers.folder = std::nullopt;
    EXPECT_EQ(commands.Export1Click(), "");
    EXPECT_EQ(choosers.asked, (std::vector<std::string>{std::string("folder ") + kSelectDirectoryCaption}));
    EXPECT_TRUE(launcher.opened.empty());

    choosers.folder = out.path().string();  // without a trailing slash
    const std::string index = commands.Export1Click();
    EXPECT_EQ(index, out.dir() + "index - AB Top.html");
    EXPECT_EQ(out.read("index - AB Top.html"),
              "<html>\r\n<blockquote>\r\n<a href=\"top.html\">A/B: &lt;Top&gt;</a>\r\n<blockquote>\r\n"
              "<a href=\"child.html\">Child</a>\r\n</blockquote>\r\n</blockquote>\r\n</html>\r\n");
    EXPECT_EQ(out.read("child.html"), "<p>child</p>");
    EXPECT_EQ(out.read("!images/a.png"), "PNG");
    EXPECT_EQ(window.status, "Child");
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{index}));
    EXPECT_EQ(window.busy, 0);
}

TEST_F(ExportCommandsTest, TheCollectionIndexIsNamedByTheDateAndLinksThePagesInPlace)
{
    const std::string index = commands.CreateIndexHtml1Click();
    EXPECT_EQ(index, Dir() + "index - 123124.html");  // the clock's date is 12/31/24
    const std::string text = temp.read("Collection/index - 123124.html");
    EXPECT_NE(text.find("<a href=\"child.html\">Child</a>"), std::string::npos);
    EXPECT_TRUE(choosers.asked.empty());
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{index}));
}

TEST_F(ExportCommandsTest, AnIndexThatCannotBeWrittenIsReportedAndNotOpened)
{
    window.SelectNode(child);
    choosers.folder = out.dir() + "no/such/folder";
    EXPECT_EQ(commands.Export1Click(), "");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("index - Child.html"), std::string::npos);
    EXPECT_TRUE(launcher.opened.empty());
}

}  // namespace
}  // namespace ql
