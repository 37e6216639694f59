// The page session's guards for the editor window's commands: text edits are kept before the
// page is rendered, a page the Text view could not read is never typed over, and a deleted page
// is not written again.
#include "tests/app/collection/SessionFixture.h"

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
    session->ForceSave = true;
    fs::remove(File("A"));
    session->NotePageDeleted("A");
    EXPECT_EQ(settings.CurrentNodeId, "");
    EXPECT_EQ(settings.CurrentPageFile, "");
    EXPECT_FALSE(session->ForceSave);
    EXPECT_EQ(session->HtmlEditorTag, 0);
    session->dtDocumentComplete();
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_FALSE(fs::exists(File("A")));
}

}  // namespace
}  // namespace ql
