#include "app/dialogs/TAddUrlPageForm.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ql::test {
namespace {

class SaveHomepageTest : public SessionFixture {
protected:
    SaveHomepage dialog{*session, *clips, dialogs};
    TreeNode* a = nullptr;
    TreeNode* b = nullptr;

    void SetUp() override
    {
        a = AddPage(nullptr, "A", "a", "<html><body>a</body></html>");
        b = AddPage(a, "B", "b", "<html><body>b</body></html>");
        AddPage(nullptr, "C", "c", "<html><body>c</body></html>");
        window.SelectNode(b);
    }
    ClipHandOver Clip(const std::string& url, const std::string& text)
    {
        return ClipHandOver{temp.dir() + "clip.html", url, "Saved page", text};
    }
};

TEST_F(SaveHomepageTest, PreselectsTheParentOfTheEditorsChildNodeAndSavesAChildPageWithItsHeader)
{
    settings.imagechecked = false;
    dialog.FormShow(Clip("http://site/p.html", "<p>clip</p>\r\n"));
    EXPECT_EQ(dialog.Title, "Saved page");
    EXPECT_EQ(dialog.Url(), "http://site/p.html");
    EXPECT_FALSE(dialog.IncludeImages());
    ASSERT_TRUE(dialog.Tree().Selected());
    EXPECT_EQ(dialog.Tree().Selected()->Text(), "A");
    ASSERT_TRUE(dialog.Save());
    ASSERT_EQ(tree.Count(), 4u);
    TreeNode* page = tree.Selected();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Parent(), a);
    EXPECT_EQ(page->Text(), "Saved page");
    EXPECT_EQ(Page(page->PageId()),
              "<!-- From: \"http://site/p.html\" -->\r\n<base href=\"http://site/p.html\">\r\n<p>clip</p>\r\n");
    EXPECT_TRUE(session->HomepageImportExpected());
    EXPECT_NE(temp.read("Collection/tvframe").find("\tSaved page"), std::string::npos);
    EXPECT_NE(temp.read("Collection/tvdata").find(page->PageId()), std::string::npos);
    EXPECT_TRUE(dialogs.messages.empty());
}

// The disk is full: the new node's empty page and the small tree files could still be written,
// the clip could not. No node is left with an empty page, in the tree or its files.
TEST_F(SaveHomepageTest, AClipThatCannotBeWrittenLeavesNoNodeBehind)
{
    dialog.FormShow(Clip("http://site/p.html", std::string(4000, 'x')));
    const std::string frame = temp.read("Collection/tvframe");
    bool saved = true;
    {
        ScopedFileSizeLimit full(300);
        saved = dialog.Save();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_EQ(tree.Count(), 3u);
    EXPECT_EQ(temp.read("Collection/tvframe"), frame);
    std::size_t pages = 0;
    for (const auto& e : std::filesystem::directory_iterator(temp.path() / "Collection"))
        pages += e.path().extension() == ".html";
    EXPECT_EQ(pages, 3u);
}

// The tree files cannot be written (an interrupted replacement blocks them) and no longer hold
// the editor's tree, which has a node more. The dialog shows the editor's tree as it is, so the
// node chosen there is the one the clip is saved under.
TEST_F(SaveHomepageTest, TreeFilesThatCannotBeWrittenGiveTheDialogTheEditorsTreeAsItIs)
{
    ASSERT_EQ(session->SaveTreeFiles(tree), TreeSave::Saved);
    std::filesystem::create_directory(temp.path() / "Collection/.tvframe.commit");
    TreeNode* d = tree.AddNode(a, Attach::LastChild, "D");
    tree.SetPageId(d, "d");
    window.SelectNode(d);
    dialog.FormShow(Clip("http://site/p.html", "<p>clip</p>"));
    ASSERT_EQ(dialog.Tree().Count(), 4u);
    ASSERT_TRUE(dialog.Tree().Selected());
    EXPECT_EQ(dialog.Tree().Selected()->Text(), "A");
    EXPECT_EQ(dialog.Tree().NodeAt(2)->PageId(), "d");
    EXPECT_FALSE(dialogs.messages.empty());  // the failed save was told

    ASSERT_TRUE(dialog.Save());
    ASSERT_TRUE(tree.Selected());
    EXPECT_EQ(tree.Selected()->Parent(), a);
    EXPECT_EQ(Page(tree.Selected()->PageId()),
              "<!-- From: \"http://site/p.html\" -->\r\n<base href=\"http://site/p.html\">\r\n<p>clip</p>\r\n");
}

TEST_F(SaveHomepageTest, WithImagesThePageIsLoadedOnceAndItsPicturesAndLinksAreLocalisedWhenComplete)
{
    settings.imagechecked = true;
    window.SelectNode(a);
    cache["http://site/dir/img/a.png"] = temp.write("cache/a[1].png", "the picture").string();
    dialog.FormShow(Clip("http://site/dir/p.html", "<p><img src=\"img/a.png\"> <a href=\"more.html\">more</a></p>"));
    EXPECT_EQ(dialog.Tree().Selected()->Text(), "A");
    views.log.clear();
    ASSERT_TRUE(dialog.Save());
    TreeNode* page = tree.Selected();
    const std::string file = File(page->PageId());
    // Shown in the HTML view by one load of its file: a second load would supersede the first.
    EXPECT_EQ(std::count(views.log.begin(), views.log.end(), "html load " + file), 1)
        << ::testing::PrintToString(views.log);
    EXPECT_EQ(std::count_if(views.log.begin(), views.log.end(),
                            [](const std::string& l) { return l.rfind("html load", 0) == 0; }),
              1);
    EXPECT_EQ(views.active, kViewHtml);
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::Localize);
    EXPECT_EQ(Page(page->PageId()).find("<base "), std::string::npos);

    session->dtDocumentComplete();
    const std::string text = Page(page->PageId());
    EXPECT_EQ(text.rfind("<!-- From: \"http://site/dir/p.html\" -->\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("<img src=\"!images\\a1.png\">"), std::string::npos) << text;
    EXPECT_NE(text.find("href=\"http://site/dir/more.html\""), std::string::npos) << text;
    EXPECT_EQ(text.find("<base "), std::string::npos) << text;
    EXPECT_EQ(temp.read("Collection/!images/a1.png"), "the picture");
    EXPECT_NE(temp.read("Collection/images.ini").find("[" + page->PageId() + "]\r\na1.png=1"), std::string::npos);
    EXPECT_EQ(views.active, kViewBrowse);  // shown there once done
    EXPECT_EQ(views.browsed, file);

    dialog.CheckImageClick(false);
    EXPECT_FALSE(settings.imagechecked);
}

TEST_F(SaveHomepageTest, NewNodesGetTheirOwnPagesAndCancelLeavesTheCollectionAlone)
{
    dialog.FormShow(Clip("u", "x"));
    const std::string tvframe = temp.read("Collection/tvframe");
    dialogs.input = "Same";
    TreeNode* first = dialog.SpeedButton1Click();
    TreeNode* second = dialog.SpeedButton1Click();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->PageId(), second->PageId());
    EXPECT_EQ(first->Parent(), nullptr);  // siblings of the selected top-level node
    TreeNode* sub = dialog.SpeedButton2Click();
    EXPECT_EQ(sub->Parent(), second);
    dialogs.input.reset();
    EXPECT_EQ(dialog.SpeedButton2Click(), nullptr);
    // A blank title makes no node: a node without a caption cannot be kept in the tree files.
    dialogs.input = " \t";
    EXPECT_EQ(dialog.SpeedButton1Click(), nullptr);
    EXPECT_EQ(dialog.Tree().Count(), 6u);
    EXPECT_TRUE(dialog.TreeChanged());
    // Cancel is simply not saving: nothing on disk or in the editor changed.
    EXPECT_EQ(temp.read("Collection/tvframe"), tvframe);
    EXPECT_EQ(tree.Count(), 3u);
}

TEST_F(SaveHomepageTest, SavingUnderANewNodeWritesTheDialogsTreeFirst)
{
    dialog.FormShow(Clip("u", "x"));
    dialogs.input = "Fresh";
    dialog.SpeedButton2Click();
    ASSERT_TRUE(dialog.Save());
    ASSERT_EQ(tree.Count(), 5u);
    TreeNode* page = tree.Selected();
    ASSERT_TRUE(page && page->Parent());
    EXPECT_EQ(page->Parent()->Text(), "Fresh");
    EXPECT_EQ(page->Parent()->Parent(), tree.NodeAt(0));
    EXPECT_NE(temp.read("Collection/tvframe").find("Fresh"), std::string::npos);
}

TEST_F(SaveHomepageTest, SaveNeedsATargetAndAFailedWriteIsReported)
{
    dialog.FormShow(Clip("u", "x"));
    dialog.Tree().Select(nullptr);
    EXPECT_FALSE(dialog.CanSave());
    EXPECT_FALSE(dialog.Save());
    EXPECT_EQ(tree.Count(), 3u);

    // The tree files cannot be written: the user hears of it and no page is made.
    dialog.FormShow(Clip("u", "x"));
    dialogs.input = "New";
    dialog.SpeedButton2Click();
    std::filesystem::remove(Dir() + "tvframe");
    std::filesystem::create_directories(Dir() + "tvframe/blocked");
    EXPECT_FALSE(dialog.Save());
    EXPECT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(tree.Count(), 3u);
}

}  // namespace
}  // namespace ql::test
