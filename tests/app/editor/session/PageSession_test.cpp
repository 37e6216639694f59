#include "app/collection/TextTransforms.h"
#include "app/collection/TreeFiles.h"
#include "tests/app/editor/session/SessionFixture.h"

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;
using test::SessionFixture;

class PageSessionTest : public SessionFixture {};

TEST_F(PageSessionTest, SelectingANodeSavesTheOldPageAndShowsTheNewOne)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "<p>a</p>\r\n");
    TreeNode* b = AddPage(nullptr, "B", "B", "<p>b</p>\r\n");
    views.active = kViewHtml;
    window.SelectNode(a);
    EXPECT_EQ(views.htmlLoadedFile, File("A"));
    EXPECT_EQ(window.status, "[FILENAME] " + File("A"));

    views.htmlDocument = "<p>edited a</p>";
    views.htmlDirty = true;
    window.SelectNode(b);
    EXPECT_EQ(Page("A"), "<p>edited a</p>\r\n");
    EXPECT_EQ(temp.read("Collection/html.bak"), "<p>a</p>\r\n");
    EXPECT_EQ(settings.CurrentNodeId, "B");
    EXPECT_EQ(views.htmlLoadedFile, File("B"));
    EXPECT_EQ(tree.Selected(), b);
}

TEST_F(PageSessionTest, AFailedSaveIsReportedAndKeepsTheEditsAndTheSelection)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "old a\r\n");
    TreeNode* b = AddPage(nullptr, "B", "B", "old b\r\n");
    views.active = kViewText;
    window.SelectNode(a);
    views.text = "typed";
    views.textModified = true;
    // A folder in the page's place makes the atomic rename fail.
    fs::remove(File("A"));
    fs::create_directory(File("A"));
    window.SelectNode(b);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_EQ(tree.Selected(), a);
    EXPECT_TRUE(views.textModified);
    EXPECT_EQ(views.text, "typed");
    EXPECT_FALSE(session->SaveCurrentPage(""));

    // An empty HTML document is never written over the page.
    fs::remove(File("A"));
    WritePage("A", "keep\r\n");
    views.active = kViewHtml;
    views.htmlDirty = true;
    views.htmlDocument = "";
    EXPECT_FALSE(session->SaveCurrentPage(""));
    EXPECT_EQ(Page("A"), "keep\r\n");
}

TEST_F(PageSessionTest, SavingWritesTheFileTheDocumentCameFrom)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a\r\n");
    AddPage(nullptr, "B", "B", "b\r\n");
    views.active = kViewText;
    window.SelectNode(a);
    views.text = "edited a\r\n";
    views.textModified = true;
    // The current page moves on while the view still holds A (a new clip's page being prepared).
    ASSERT_TRUE(session->PreparePageFile("B"));
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_EQ(Page("A"), "edited a\r\n");
    EXPECT_EQ(Page("B"), "b\r\n");
    EXPECT_FALSE(views.textModified);
    // Nothing to save is no failure, and writes nothing.
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PageSessionTest, APageTheTextViewCannotReadLeavesNoOtherPageInIt)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a text\r\n");
    TreeNode* b = AddPage(nullptr, "B", "B", "");
    fs::resize_file(File("B"), kMaxPageBytes + 1);  // sparse: too big to take in
    views.active = kViewText;
    window.SelectNode(a);
    window.SelectNode(b);
    EXPECT_EQ(tree.Selected(), b);
    EXPECT_EQ(views.text, "");
    EXPECT_FALSE(views.textModified);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Cannot open " + File("B")});
    // Nothing of A's is saved anywhere, and A is not written by what is typed now.
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_EQ(fs::file_size(File("B")), kMaxPageBytes + 1);
    views.text = "typed";
    views.textModified = true;
    window.SelectNode(a);
    EXPECT_EQ(Page("A"), "a text\r\n");
}

TEST_F(PageSessionTest, PreparePageFileCreatesAndNormalisesThePage)
{
    settings.AutoChangeTxtToHtml = true;
    EXPECT_FALSE(session->PreparePageFile(""));  // no page known yet
    EXPECT_FALSE(session->PreparePageFile("../escape"));
    ASSERT_TRUE(session->PreparePageFile("fresh"));
    EXPECT_TRUE(fs::exists(File("fresh")));
    EXPECT_EQ(Page("fresh"), "");

    WritePage("plain", "a\r\nb\r\n");
    views.active = kViewText;
    session->PreparePageFile("plain");
    EXPECT_EQ(Page("plain"), "a\r\nb\r\n");
    views.active = kViewBrowse;
    session->ShowCurrentPage("plain");
    EXPECT_EQ(Page("plain"), "a<br>\r\nb<br>\r\n");
    EXPECT_EQ(views.browsed, File("plain"));
    EXPECT_EQ(settings.CurrentPageTime, 0);
}

TEST_F(PageSessionTest, NewClipConversionsRunOnceAndNotForImportedHomepages)
{
    settings.AutoCleanUp = true;
    settings.AutoUnicode = true;
    WritePage("clip", "x?&nbsp;y\r\n");
    session->ExpectNewClip();
    session->ShowCurrentPage("clip");
    EXPECT_EQ(Page("clip"), std::string(kUnicodeMetaLine) + "\r\nx&nbsp;y\r\n");
    EXPECT_FALSE(session->NewClipExpected());
    session->ShowCurrentPage("clip");  // once only
    EXPECT_EQ(Page("clip"), std::string(kUnicodeMetaLine) + "\r\nx&nbsp;y\r\n");

    WritePage("home", "<meta content=\"charset=unicode\">?&nbsp;\r\n");
    session->ExpectHomepageImport();
    session->ExpectNewClip();
    session->ShowCurrentPage("home");
    EXPECT_EQ(Page("home"), "<meta content=\"\">?&nbsp;\r\n");
    EXPECT_FALSE(session->HomepageImportExpected());
}

TEST_F(PageSessionTest, TextCommandsRewriteTheOpenPage)
{
    const std::string page = "<html>\r\n<body>\xC2&amp;</body>\r\n</html>\r\n";
    TreeNode* a = AddPage(nullptr, "A", "A", page);
    window.SelectNode(a);
    session->BtnUnicodeClick();
    EXPECT_EQ(Page("A"), std::string(kUnicodeMetaLine) + "\r\n" + page);
    session->BtnUnicodeClick();
    EXPECT_EQ(Page("A"), page);
    session->BtnCleanupClick();
    EXPECT_EQ(Page("A"), "<html>\r\n<body>&amp;</body>\r\n</html>\r\n");

    views.active = kViewText;
    views.renderedText = "rendered words";
    dialogs.answer = false;
    session->ToolButton8Click();
    EXPECT_NE(views.text, "rendered words");
    dialogs.answer = true;
    session->ToolButton8Click();
    EXPECT_EQ(views.text, "rendered words");
    EXPECT_TRUE(views.textModified);
    EXPECT_EQ(dialogs.questions.back(), "Pure Text: Clear all html tag and keep only pure text?");
}

TEST_F(PageSessionTest, TreeLoadsOnceAndSelectsTheLastNode)
{
    CollectionTree saved;
    TreeNode* x = saved.AddNode(nullptr, Attach::LastChild, "X");
    saved.SetPageId(x, "X");
    TreeNode* y = saved.AddNode(x, Attach::LastChild, "Y");
    saved.SetPageId(y, "Y");
    ASSERT_EQ(SaveTreeFiles(Dir(), saved, [] { return 1u; }), TreeSave::Saved);
    WritePage("Y", "y page");

    tree.SetLoaded(false);
    settings.LastNode = 1;
    session->LoadTreeOnce();
    ASSERT_EQ(tree.Count(), 2u);
    EXPECT_EQ(tree.Selected(), tree.NodeAt(1));
    EXPECT_EQ(settings.CurrentNodeId, "Y");
    session->LoadTreeOnce();  // no second load
    EXPECT_EQ(tree.Count(), 2u);

    tree.Select(tree.NodeAt(0));
    views.active = kViewHtml;
    ASSERT_TRUE(session->SaveEditorState());
    EXPECT_EQ(settings.LastNode, 0);
    EXPECT_EQ(settings.ActiveTabIndex, kViewHtml);
}

TEST_F(PageSessionTest, ANodeLoadedWithoutIdGetsAPageOfItsOwn)
{
    temp.write("Collection/tvframe", "A\r\nNo id\r\n");
    temp.write("Collection/tvdata", "A\r\n");  // one line short
    WritePage("A", "a page\r\n");
    tree.SetLoaded(false);
    settings.LastNode = 0;
    views.active = kViewText;
    session->LoadTreeOnce();
    ASSERT_EQ(tree.Count(), 2u);
    TreeNode* noId = tree.NodeAt(1);
    ASSERT_TRUE(noId->HasPageId());
    const std::string id = noId->PageId();

    window.SelectNode(noId);
    EXPECT_EQ(settings.CurrentPageFile, File(id));
    EXPECT_EQ(views.text, "");
    views.text = "typed into the second node";
    views.textModified = true;
    window.SelectNode(tree.NodeAt(0));
    EXPECT_EQ(Page("A"), "a page\r\n");
    EXPECT_EQ(Page(id), "typed into the second node\r\n");
    ASSERT_TRUE(session->SaveEditorState());
    EXPECT_EQ(temp.read("Collection/tvdata"), "A\r\n" + id + "\r\n");
}

TEST_F(PageSessionTest, AFailedTreeSaveIsReported)
{
    TreeNode* a = AddPage(nullptr, "Page A", "A", "a\r\n");
    tree.Select(a);
    // A folder in the place of "tvdata" makes its replacement fail.
    fs::create_directories(Dir() + "tvdata/keep");
    EXPECT_EQ(session->SaveTreeFiles(tree), TreeSave::Failed);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind(std::string(kSavingFailed) + ": the collection tree", 0), 0u)
        << dialogs.messages[0];
    EXPECT_NE(dialogs.messages[0].find("tvdata"), std::string::npos);

    session->FormClose();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    // A new clip's node that is not in the saved tree is reported too.
    clips->SetClipTarget(a);
    clips->AddTextClip("clip");
    EXPECT_EQ(dialogs.messages.size(), 3u);
}

TEST_F(PageSessionTest, TreeFilesThatCannotBeReadAreNeverOverwritten)
{
    temp.write("Collection/tvframe", "Kept\r\n");
    // A folder where "tvdata" should be: it is there but cannot be read.
    fs::create_directories(Dir() + "tvdata/keep");
    tree.SetLoaded(false);
    session->LoadTreeOnce();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("could not be read"), std::string::npos) << dialogs.messages[0];
    session->LoadTreeOnce();  // told once
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // The user goes on with an empty tree; the files on disk stay as they are.
    TreeNode* n = AddPage(nullptr, "New node", "New node", "");
    tree.Select(n);
    EXPECT_EQ(session->SaveTreeFiles(tree), TreeSave::Failed);
    EXPECT_FALSE(session->SaveEditorState());
    EXPECT_EQ(temp.read("Collection/tvframe"), "Kept\r\n");
    EXPECT_TRUE(fs::is_directory(Dir() + "tvdata"));
    EXPECT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[1].rfind(kSavingFailed, 0), 0u);
}

TEST_F(PageSessionTest, AStructureWhoseIdsWereLostIsShownButNeverSavedOver)
{
    temp.write("Collection/tvframe", "Topic\r\n\tClip\r\n");
    tree.SetLoaded(false);
    session->LoadTreeOnce();
    ASSERT_EQ(tree.Count(), 2u);
    EXPECT_EQ(tree.NodeAt(1)->Text(), "Clip");
    EXPECT_NE(tree.NodeAt(0)->PageId(), tree.NodeAt(1)->PageId());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("\"tvdata\""), std::string::npos) << dialogs.messages[0];

    tree.AddNode(nullptr, Attach::LastChild, "Added later");
    EXPECT_FALSE(session->SaveEditorState());
    EXPECT_EQ(temp.read("Collection/tvframe"), "Topic\r\n\tClip\r\n");
    EXPECT_FALSE(fs::exists(Dir() + "tvdata"));
}

TEST_F(PageSessionTest, PagesSharedByDuplicateIdsAreSplitAndToldOnce)
{
    temp.write("Collection/tvframe", "One\r\nTwo\r\n");
    temp.write("Collection/tvdata", "Same\r\nSame\r\n");
    WritePage("Same", "<p>both</p>\r\n");
    tree.SetLoaded(false);
    session->LoadTreeOnce();
    ASSERT_EQ(tree.Count(), 2u);
    const std::string second = tree.NodeAt(1)->PageId();
    EXPECT_NE(second, "Same");
    EXPECT_EQ(Page(second), "<p>both</p>\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("shared a page"), std::string::npos) << dialogs.messages[0];

    // Editing one node's page leaves the other's alone.
    views.active = kViewText;
    window.SelectNode(tree.NodeAt(1));
    views.text = "only two";
    views.textModified = true;
    window.SelectNode(tree.NodeAt(0));
    EXPECT_EQ(Page("Same"), "<p>both</p>\r\n");
    EXPECT_EQ(Page(second), "only two\r\n");

    // Another copy of the tree (the Save homepage dialog's) finds nothing more to tell.
    CollectionTree copy;
    session->LoadTreeFiles(copy);
    EXPECT_EQ(copy.NodeAt(1)->PageId(), second);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(PageSessionTest, ViewChangesAndTheClearCommand)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "<p>a</p>\r\n");
    views.active = kViewHtml;
    window.SelectNode(a);
    views.htmlDirty = true;
    views.htmlDocument = "<p>changed</p>";
    EXPECT_TRUE(session->PageControl1Changing());
    EXPECT_EQ(Page("A"), "<p>changed</p>\r\n");
    views.active = kViewText;
    session->PageControl1Change();
    EXPECT_EQ(views.text, "<p>changed</p>\r\n");
    EXPECT_FALSE(views.textModified);

    dialogs.answer = false;
    session->ToolButton12Click();
    EXPECT_EQ(Page("A"), "<p>changed</p>\r\n");
    dialogs.answer = true;
    session->ToolButton12Click();
    EXPECT_EQ(Page("A"), "");
    EXPECT_EQ(dialogs.questions.back(), "Empty: Clear all, are you sure?");

    // The page cleared is the one the view shows, even while another is being made current.
    WritePage("A", "a again\r\n");
    WritePage("B", "b stays\r\n");
    session->ShowCurrentPage("A");
    ASSERT_TRUE(session->PreparePageFile("B"));
    session->ToolButton12Click();
    EXPECT_EQ(Page("A"), "");
    EXPECT_EQ(Page("B"), "b stays\r\n");
}

TEST_F(PageSessionTest, OpenedFileReplacesThePageWithItsPicturesKept)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "old\r\n");
    views.active = kViewHtml;
    window.SelectNode(a);
    temp.write("elsewhere/pic.gif", "GIF");
    const std::string file = temp.write("elsewhere/doc.html", "<p><img src=\"pic.gif\"></p>\r\n").string();
    dialogs.file = file;
    session->ToolButton46Click();
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::Localize);
    EXPECT_EQ(views.htmlLoadedFile, file);
    session->dtDocumentComplete();
    EXPECT_EQ(Page("A"), "<p><img src=\"!images\\pic.gif\"></p>\r\n");
    EXPECT_EQ(ini->ReadString("A", "pic.gif", ""), "1");
    EXPECT_EQ(views.active, kViewBrowse);
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::None);
    EXPECT_FALSE(session->SaveForced());
    EXPECT_EQ(window.busy, 0);
}

TEST_F(PageSessionTest, PicturesWaitingForAnotherPageLeaveTheCurrentOneAlone)
{
    clipSourceUrl = "https://ex.org/";
    WritePage("A", "<a href=\"x.html\">a</a>\r\n");
    WritePage("B", "<a href=\"y.html\">b</a>\r\n");
    session->PreparePageFile("A");
    session->ArmPictureLocalization(File("A"));
    session->PreparePageFile("B");  // the new page's selection went elsewhere
    views.active = kViewHtml;
    session->dtDocumentComplete();
    EXPECT_EQ(Page("B"), "<a href=\"y.html\">b</a>\r\n");
    EXPECT_EQ(views.active, kViewHtml);
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::None);

    session->ArmPictureLocalization(File("B"));
    session->dtDocumentComplete();
    EXPECT_EQ(Page("B"), "<a href=\"https://ex.org/y.html\">b</a>\r\n");
    EXPECT_EQ(views.active, kViewBrowse);
}

TEST_F(PageSessionTest, APageWithABaseAddressIsNeitherWalkedNorGivenAnother)
{
    clipSourceUrl = "https://ex.org/";
    temp.write("cache/a.png", "PNG");
    cache["https://ex.org/a.png"] = temp.dir() + "cache/a.png";
    const std::string text =
        "<BASE href=\"https://ex.org/\">\r\n<!-- From: \"https://ex.org/\" -->\r\n<img src=\"a.png\"><a href=\"x.html\">x</a>\r\n";
    WritePage("A", text);
    session->PreparePageFile("A");
    session->ArmPictureLocalization(File("A"));
    views.active = kViewHtml;
    session->dtDocumentComplete();
    EXPECT_EQ(Page("A"), text);
    EXPECT_FALSE(fs::exists(settings.ImagesDir));
    EXPECT_EQ(views.active, kViewBrowse);  // still shown as a new clip
}

TEST_F(PageSessionTest, RenamedPageIsFollowedBySaves)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a\r\n");
    views.active = kViewText;
    window.SelectNode(a);
    fs::rename(File("A"), File("A2"));
    tree.SetPageId(a, "A2");
    session->NotePageRenamed("A", "A2");
    views.text = "after rename\r\n";
    views.textModified = true;
    ASSERT_TRUE(session->SaveCurrentPage(""));
    EXPECT_EQ(Page("A2"), "after rename\r\n");
    EXPECT_FALSE(fs::exists(File("A")));
    EXPECT_EQ(settings.CurrentPageFile, File("A2"));
}

TEST_F(PageSessionTest, PageIdsAreOnlyReadFromALoadedTree)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "");
    EXPECT_EQ(session->PageIdOfNode(a), "A");
    EXPECT_EQ(session->PageFileOfNode(a), File("A"));
    tree.SetLoaded(false);
    EXPECT_EQ(session->PageIdOfNode(a), "");
    EXPECT_EQ(session->PageIdOfNode(nullptr), "");
}

}  // namespace
}  // namespace ql
