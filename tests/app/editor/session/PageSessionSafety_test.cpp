// The page session's guards for the editor window's commands: text edits are kept before the
// page is rendered, a page the Text view could not read is never typed over, and a deleted page
// is not written again.
#include "platform/core/CfHtml.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

class PageSessionSafetyTest : public test::SessionFixture {};

TEST_F(PageSessionSafetyTest, PureTextSavesTheTextViewEditsBeforeRendering)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "old");
    views.active = kViewText;
    window.SelectNode(a);
    views.text = "typed";
    views.textModified = true;
    views.renderedText = "rendered";
    session->ToolButton8Click();
    EXPECT_EQ(Page("A"), "typed\r\n");
    EXPECT_EQ(views.text, "rendered");
    EXPECT_TRUE(views.textModified);

    // When the edits cannot be kept the page is not rendered over them.
    views.text = "typed again";
    fs::remove(File("A"));
    fs::create_directory(File("A"));
    session->ToolButton8Click();
    EXPECT_EQ(views.text, "typed again");
}

TEST_F(PageSessionSafetyTest, AnUnreadablePageMakesTheTextViewReadOnlyUntilAPageIsRead)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    TreeNode* b = AddPage(nullptr, "B", "B", "");
    fs::resize_file(File("B"), kMaxPageBytes + 1);
    views.active = kViewText;
    window.SelectNode(b);
    EXPECT_TRUE(views.textReadOnly);
    EXPECT_TRUE(session->TextViewUnreadable());
    EXPECT_EQ(window.status, "[FILENAME] " + File("B") + kTextViewReadOnlyNote);
    window.SelectNode(a);
    EXPECT_FALSE(views.textReadOnly);
    EXPECT_EQ(window.status, "[FILENAME] " + File("A"));
}

TEST_F(PageSessionSafetyTest, ADeletedPageIsForgotten)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    views.active = kViewHtml;
    window.SelectNode(a);
    session->ArmPictureLocalization(File("A"));
    session->ForceNextSave();
    fs::remove(File("A"));
    session->NotePageDeleted("A");
    EXPECT_EQ(settings.CurrentNodeId, "");
    EXPECT_EQ(settings.CurrentPageFile, "");
    EXPECT_FALSE(session->SaveForced());
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::None);
    session->dtDocumentComplete();
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_FALSE(fs::exists(File("A")));
}

// The collection folder is moved away while the program runs: the next clip makes no new
// folder whose tree would name every node while it holds only the new page, and a new folder
// put in its place gets no tree either. The user is told.
TEST_F(PageSessionSafetyTest, ACollectionFolderMovedAwayIsNeitherMadeAgainNorWrittenOver)
{
    window.SelectNode(AddPage(nullptr, "Alpha", "Alpha", "a"));
    AddPage(nullptr, "Beta", "Beta", "b");
    ASSERT_EQ(session->SaveTreeFiles(tree), TreeSave::Saved);
    CollectionTree loaded;
    session->LoadTreeFiles(loaded);
    const std::string frame = temp.read("Collection/tvframe");
    EXPECT_FALSE(session->CollectionFolderMoved());
    fs::rename(temp.path() / "Collection", temp.path() / "Moved");
    EXPECT_TRUE(session->CollectionFolderMoved());

    clips->SetClipTarget(tree.NodeAt(0));
    EXPECT_EQ(clips->AddTextClip("a clip"), nullptr);
    EXPECT_FALSE(fs::exists(temp.path() / "Collection"));
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages[0].find("no longer the one"), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(temp.read("Moved/tvframe"), frame);

    fs::create_directory(temp.path() / "Collection");
    EXPECT_EQ(session->SaveTreeFiles(tree), TreeSave::Failed);
    // Nor does a clip appended to the open page, or an emptied page, land in the new folder.
    settings.DragCreateNew = false;
    views.active = kViewHtml;
    EXPECT_EQ(clips->AddTextClip("appended"), nullptr);
    dialogs.answer = true;
    session->ToolButton12Click();  // Empty
    EXPECT_TRUE(fs::is_empty(temp.path() / "Collection"));
}

// The clipboard road: the pasted clip cannot be saved (the disk is full). It stays in the HTML
// view, unsaved, for the user to save again; nothing replaces it with the page file's old state.
TEST_F(PageSessionSafetyTest, APastedClipThatCannotBeSavedStaysInTheView)
{
    settings.DragUseUnicode = false;
    window.SelectNode(AddPage(nullptr, "A", "A", "a"));
    clips->SetClipTarget(tree.NodeAt(0));
    clips->DropHTMLClip("https://ex.org/", SplitPageLines(BuildCfHtml("<p>x</p>", "https://ex.org/")), "Pasted");
    views.clipboardHtml = "<html><body>" + std::string(4000, 'x') + "</body></html>";
    session->StartClipboardPaste();
    {
        test::ScopedFileSizeLimit full(100);
        session->dtDocumentComplete();
    }
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_EQ(views.active, kViewHtml);
    EXPECT_TRUE(views.htmlDirty);
    EXPECT_EQ(views.htmlDocument, views.clipboardHtml);
}

// The clean-up rewrites the page file and shows it again: when the edits could not be saved
// first (the disk is full; the user is told), the file is left alone and the edits stay.
TEST_F(PageSessionSafetyTest, TheCleanUpNeverShowsThePageOverEditsThatCouldNotBeSaved)
{
    window.SelectNode(AddPage(nullptr, "A", "A", "a\xC2&b"));
    views.active = kViewHtml;
    const std::string edits = "<html><body>" + std::string(4000, 'e') + "</body></html>";
    views.htmlDocument = edits;
    views.htmlDirty = true;
    {
        test::ScopedFileSizeLimit full(100);
        session->BtnCleanupClick();
    }
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_EQ(Page("A"), "a\xC2&b");
    EXPECT_EQ(views.htmlDocument, edits);
    EXPECT_TRUE(views.htmlDirty);
}

// A page's pictures whose records cannot be saved: the failure is told, and the page is still
// written with its pictures, which are in the images folder.
TEST_F(PageSessionSafetyTest, PictureRecordsThatCannotBeSavedAreReported)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "old\r\n");
    views.active = kViewHtml;
    window.SelectNode(a);
    fs::create_directories(settings.CollectionDir + "images.ini");  // no file can replace it
    temp.write("elsewhere/pic.gif", "GIF");
    dialogs.file = temp.write("elsewhere/doc.html", "<p><img src=\"pic.gif\"></p>\r\n").string();
    session->ToolButton46Click();
    session->dtDocumentComplete();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_EQ(Page("A"), "<p><img src=\"!images\\pic.gif\"></p>\r\n");
    EXPECT_EQ(temp.read("Collection/!images/pic.gif"), "GIF");
}

}  // namespace
}  // namespace ql
