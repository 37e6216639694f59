#include "app/editor/TreeOperations.h"

#include "app/collection/TreeFiles.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

TEST(NodeMoveTest, HitTestGivesTheAttachMode)
{
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnLabel), Attach::LastChild);
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnIcon), Attach::LastChild);
    EXPECT_EQ(NodeMoveAttachForHit(kHitNowhere), Attach::LastSibling);
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnIndent), Attach::InsertBefore);
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnButton), Attach::FirstSibling);
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnButton | kHitOnIndent), Attach::InsertBefore);
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnLabel | kHitOnIndent), Attach::LastChild);
    EXPECT_EQ(NodeMoveAttachForHit(kHitOnRight), std::nullopt);
    EXPECT_EQ(NodeMoveAttachForHit(0), std::nullopt);
}

TEST(NodeMoveTest, IconsByChildrenAndExpansion)
{
    EXPECT_EQ(NodeIcon(false, false), kIconLeaf);
    EXPECT_EQ(NodeIcon(false, true), kIconLeaf);
    EXPECT_EQ(NodeIcon(true, true), kIconExpanded);
    EXPECT_EQ(NodeIcon(true, false), kIconCollapsed);
}

class TreeOperationsTest : public test::SessionFixture {
protected:
    TreeOperations ops{*session, views, window, dialogs, ini.get()};

    std::string TreeData() const { return temp.read("Collection/tvdata"); }
    void Picture(const std::string& name) const { temp.write("Collection/!images/" + name, "gif"); }
    bool PictureExists(const std::string& name) const { return fs::exists(settings.ImagesDir + name); }
};

TEST_F(TreeOperationsTest, DeletingTheOnlyTopLevelNodeIsRefusedButItsChildMayGo)
{
    TreeNode* top = AddPage(nullptr, "Top", "Top", "t");
    TreeNode* child = AddPage(top, "Child", "Child", "c");
    ops.DeleteNodeTree(nullptr);
    ops.DeleteNodeTree(top);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kPleaseSelectNode, kCannotDeleteLastNode}));
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(tree.Count(), 2u);

    dialogs.answer = false;
    ops.DeleteNodeTree(child);
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"Delete: Delete \"Child\" and all its subitems?"});
    EXPECT_EQ(tree.Count(), 2u);
    dialogs.answer = true;
    ops.DeleteNodeTree(child);
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_FALSE(fs::exists(File("Child")));
    EXPECT_EQ(TreeData(), "Top\r\n");  // saved at once
}

TEST_F(TreeOperationsTest, DeleteRemovesPagesFoldersAndRecordsAndOffersEachPictureOnce)
{
    AddPage(nullptr, "Keep", "Keep", "k");
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    AddPage(a, "B", "B", "b");
    temp.write("Collection/A/inner/file.txt", "x");
    Picture("one.gif");
    Picture("two.gif");
    EXPECT_TRUE(ini->WriteString("A", "one.gif", "1"));
    EXPECT_TRUE(ini->WriteString("A", "gone.gif", "1"));  // its file is already gone
    EXPECT_TRUE(ini->WriteString("B", "one.gif", "1"));   // the same picture under two pages
    EXPECT_TRUE(ini->WriteString("B", "two.gif", "1"));
    EXPECT_TRUE(ini->WriteString("Keep", "two.gif", "1"));
    window.SelectNode(a);

    dialogs.answer = true;
    std::vector<std::string> pictures;
    EXPECT_TRUE(ops.DeleteNodeFiles(a, pictures));
    EXPECT_EQ(pictures, (std::vector<std::string>{"one.gif", "two.gif"}));  // children first
    EXPECT_FALSE(fs::exists(File("A")));
    EXPECT_FALSE(fs::exists(File("B")));
    EXPECT_FALSE(fs::exists(Dir() + "A"));
    EXPECT_FALSE(ini->SectionExists("A"));
    EXPECT_FALSE(ini->SectionExists("B"));
    EXPECT_TRUE(ini->SectionExists("Keep"));
    EXPECT_TRUE(fs::exists(File("Keep")));
    EXPECT_EQ(tree.Count(), 1u);
}

TEST_F(TreeOperationsTest, ThePictureQuestionWarnsAndNoKeepsTheFiles)
{
    AddPage(nullptr, "Keep", "Keep", "k");
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    TreeNode* b = AddPage(nullptr, "B", "B", "b");
    Picture("p.gif");
    Picture("q.gif");
    EXPECT_TRUE(ini->WriteString("A", "p.gif", "1"));
    EXPECT_TRUE(ini->WriteString("A", "q.gif", "1"));
    EXPECT_TRUE(ini->WriteString("B", "q.gif", "1"));
    window.SelectNode(a);

    dialogs.answers = {true, false};
    ops.DeleteNodeTree(a);
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[1], "Delete Images: These image files are related to current node:\n" +
                                        std::string(46, '-') +
                                        "\n\n(1)p.gif (2)q.gif \n\nDo you want to delete all of them?\n"
                                        "Note: these images may also used by other pages.");
    EXPECT_TRUE(PictureExists("p.gif"));
    EXPECT_TRUE(PictureExists("q.gif"));
    EXPECT_FALSE(ini->SectionExists("A"));
    EXPECT_EQ(tree.Selected(), b);  // the next sibling takes the selection

    dialogs.answers = {true, true};
    ops.DeleteNodeTree(b);
    EXPECT_FALSE(PictureExists("q.gif"));
    EXPECT_TRUE(PictureExists("p.gif"));
    EXPECT_EQ(settings.CurrentNodeId, "Keep");  // the previous sibling, as the last one went
}

TEST_F(TreeOperationsTest, NodesWithoutAValidIdDeleteNoFile)
{
    AddPage(nullptr, "Keep", "Keep", "k");
    TreeNode* bad = tree.AddNode(nullptr, Attach::LastSibling, "Bad");
    tree.SetPageId(bad, "..");
    TreeNode* shared = tree.AddNode(nullptr, Attach::LastSibling, "Shared");
    tree.SetPageId(shared, "Keep");  // another node shows the same page
    temp.write("outside.html", "x");
    std::vector<std::string> pictures;
    EXPECT_TRUE(ops.DeleteNodeFiles(bad, pictures));
    EXPECT_TRUE(ops.DeleteNodeFiles(shared, pictures));
    EXPECT_TRUE(fs::exists(temp.dir() + "outside.html"));
    EXPECT_TRUE(fs::is_directory(Dir()));
    EXPECT_TRUE(fs::exists(File("Keep")));
    EXPECT_EQ(tree.Count(), 1u);
}

TEST_F(TreeOperationsTest, NothingWritesTheOpenPageAfterItsNodeWasDeleted)
{
    AddPage(nullptr, "Keep", "Keep", "k");
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    views.active = kViewHtml;
    window.SelectNode(a);
    views.htmlDocument = "<p>edited</p>";
    views.htmlDirty = true;
    session->ForceNextSave();
    ops.DeleteNodeTree(a);
    EXPECT_FALSE(fs::exists(File("A")));
    EXPECT_EQ(settings.CurrentNodeId, "Keep");  // the remaining node was selected and shown
    views.htmlDirty = true;
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_FALSE(fs::exists(File("A")));
    EXPECT_EQ(TreeData(), "Keep\r\n");
}

TEST_F(TreeOperationsTest, RenameMovesThePageAndItsPictureRecordsAndTheOpenPageFollows)
{
    TreeNode* a = AddPage(nullptr, "Old", "Old", "page");
    temp.write("Collection/Old/x.txt", "folder");
    EXPECT_TRUE(ini->WriteString("Old", "p.gif", "1"));
    views.active = kViewText;
    window.SelectNode(a);

    // A blank caption is refused: the node keeps its name and page.
    EXPECT_FALSE(ops.TVEdited(a, " \t"));
    EXPECT_EQ(a->Text(), "Old");
    EXPECT_EQ(Page("Old"), "page");

    ASSERT_TRUE(ops.TVEdited(a, "New"));
    EXPECT_EQ(a->Text(), "New");
    EXPECT_EQ(a->PageId(), "New");
    EXPECT_EQ(Page("New"), "page");
    EXPECT_FALSE(fs::exists(File("Old")));
    EXPECT_TRUE(fs::exists(Dir() + "Old/x.txt"));  // the page folder stays under the old id
    EXPECT_EQ(ini->ReadString("New", "p.gif", ""), "1");
    EXPECT_FALSE(ini->SectionExists("Old"));
    EXPECT_EQ(settings.CurrentPageFile, File("New"));
    EXPECT_EQ(TreeData(), "New\r\n");

    views.text = "typed";
    views.textModified = true;
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_EQ(Page("New"), "typed\r\n");
    EXPECT_FALSE(fs::exists(File("Old")));

    // The same title again: its page file exists, so the id gets the date suffix.
    ASSERT_TRUE(ops.TVEdited(a, "New"));
    EXPECT_EQ(a->PageId(), "New(12-31-24)");
    EXPECT_EQ(Page("New(12-31-24)"), "typed\r\n");
}

TEST_F(TreeOperationsTest, ARenameThatCannotMoveThePageKeepsNodeAndPage)
{
    TreeNode* a = AddPage(nullptr, "Old", "Old", "page");
    views.active = kViewText;
    window.SelectNode(a);
    views.text = "typed";
    views.textModified = true;
    fs::remove(File("Old"));
    fs::create_directory(File("Old"));  // the open page cannot be saved
    EXPECT_FALSE(ops.TVEdited(a, "New"));
    EXPECT_EQ(a->Text(), "Old");
    EXPECT_EQ(a->PageId(), "Old");
}

// Records that move with a rename or go with a deletion but cannot be saved: the failure is told.
TEST_F(TreeOperationsTest, PictureRecordsThatCannotBeSavedAreReported)
{
    AddPage(nullptr, "Keep", "Keep", "k");
    TreeNode* a = AddPage(nullptr, "Old", "Old", "page");
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(ini->WriteString("Keep", "picture" + std::to_string(i) + ".gif", "1"));
    ASSERT_TRUE(ini->WriteString("Old", "p.gif", "1"));
    window.SelectNode(a);
    test::ScopedFileSizeLimit full(1024);  // the tree files fit, "images.ini" does not
    ASSERT_TRUE(ops.TVEdited(a, "New"));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    dialogs.answers = {true, false};
    ops.DeleteNodeTree(a);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kSavingFailed, kSavingFailed}));
    EXPECT_EQ(TreeData(), "Keep\r\n");
}

TEST_F(TreeOperationsTest, DraggedNodesMoveByTheHitAndNeverIntoTheirOwnSubtree)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    TreeNode* b = AddPage(nullptr, "B", "B", "b");
    TreeNode* c = AddPage(b, "C", "C", "c");
    window.SelectNode(a);
    ASSERT_TRUE(ops.TVDragDrop(b, kHitOnLabel));
    EXPECT_EQ(a->Parent(), b);
    EXPECT_EQ(b->Child(1), a);
    EXPECT_EQ(window.expanded, std::vector<TreeNode*>{b});
    EXPECT_EQ(TreeData(), "B\r\nC\r\nA\r\n");

    ASSERT_TRUE(ops.TVDragDrop(c, kHitOnIndent));
    EXPECT_EQ(b->Child(0), a);
    ASSERT_TRUE(ops.TVDragDrop(nullptr, kHitNowhere));
    EXPECT_EQ(tree.TopLevel(1), a);

    window.SelectNode(b);
    EXPECT_FALSE(ops.TVDragDrop(c, kHitOnLabel));
    EXPECT_FALSE(ops.TVDragDrop(b, kHitOnLabel));
    EXPECT_FALSE(ops.TVDragDrop(a, kHitOnRight));
    EXPECT_EQ(tree.TopLevel(0), b);
    EXPECT_EQ(TreeData(), "B\r\nC\r\nA\r\n");
}

TEST_F(TreeOperationsTest, AddedNodesGetTheTemplateOrAnEmptyHtmlDocument)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a page");
    window.SelectNode(a);
    dialogs.input.reset();
    EXPECT_EQ(ops.AddItemBClick(), nullptr);
    EXPECT_EQ(tree.Count(), 1u);

    temp.write("template.html", "<p>template</p>");
    settings.templateFile = temp.dir() + "template.html";
    dialogs.input = "Child";
    TreeNode* child = ops.AddSubItemBClick();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Parent(), a);
    EXPECT_EQ(Page("Child"), "<p>template</p>");
    EXPECT_EQ(tree.Selected(), child);
    EXPECT_EQ(TreeData(), "A\r\nChild\r\n");

    settings.templateFile = temp.dir() + "missing.html";
    dialogs.input = "Sibling";
    TreeNode* sibling = ops.AddItemBClick();
    ASSERT_NE(sibling, nullptr);
    EXPECT_EQ(sibling->Parent(), a);
    EXPECT_EQ(views.active, kViewHtml);
    EXPECT_NE(std::find(views.log.begin(), views.log.end(), "html new"), views.log.end());
    EXPECT_EQ(tree.Selected(), sibling);
    EXPECT_EQ(Page("Sibling"), "");
}

// The template's copy cannot be written (the disk is full): no node is left without its page,
// and the user is told.
TEST_F(TreeOperationsTest, ANewNodeWhoseTemplatePageCannotBeWrittenIsNotKept)
{
    window.SelectNode(AddPage(nullptr, "Alpha", "Alpha", "a page"));
    ASSERT_EQ(session->SaveTreeFiles(tree), TreeSave::Saved);
    temp.write("template.html", std::string(4000, 't'));
    settings.templateFile = temp.dir() + "template.html";
    dialogs.input = "Child";
    TreeNode* child = nullptr;
    {
        test::ScopedFileSizeLimit full(300);
        child = ops.AddSubItemBClick();
    }
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_FALSE(fs::exists(File("Child")));
    EXPECT_EQ(TreeData(), "Alpha\r\n");
}

// Page folders that are links, or hold links, lead outside the collection: deleting the node
// removes the links and never what they point at.
TEST_F(TreeOperationsTest, DeletingANodeWhosePageFolderLinksOutsideLeavesTheOutsideAlone)
{
    AddPage(nullptr, "Keep", "Keep", "k");
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    TreeNode* b = AddPage(nullptr, "B", "B", "b");
    temp.write("outside/!images/pic.png", "mine");
    temp.write("outside/notes.txt", "mine too");
    fs::create_directory_symlink(temp.path() / "outside", fs::path(Dir() + "A"));
    temp.write("Collection/B/own.txt", "b's");
    fs::create_directory_symlink(temp.path() / "outside" / "!images", fs::path(Dir() + "B/!images"));
    std::vector<std::string> pictures;
    EXPECT_TRUE(ops.DeleteNodeFiles(a, pictures));
    EXPECT_TRUE(ops.DeleteNodeFiles(b, pictures));
    EXPECT_EQ(temp.read("outside/!images/pic.png"), "mine");
    EXPECT_EQ(temp.read("outside/notes.txt"), "mine too");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Dir() + "A")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Dir() + "B")));
    EXPECT_EQ(tree.Count(), 1u);
}

TEST_F(TreeOperationsTest, TheNewEmptyDocumentNeverGoesOverThePreviousPage)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a page");
    views.active = kViewHtml;
    window.SelectNode(a);
    // The open page's save was skipped (the control was busy) and a forced save is pending.
    session->ForceNextSave();
    TreeNode* b = tree.AddNode(a, Attach::LastSibling, "B");
    ops.InitNewNodePage(b);
    EXPECT_EQ(tree.Selected(), b);
    EXPECT_EQ(Page("A"), "a page");
}

TEST_F(TreeOperationsTest, PriorAndNextWrapAround)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    TreeNode* b = AddPage(a, "B", "B", "b");
    TreeNode* c = AddPage(nullptr, "C", "C", "c");
    ops.ToolButton27Click();  // no selection counts as the first node
    EXPECT_EQ(tree.Selected(), c);
    ops.ToolButton42Click();
    EXPECT_EQ(tree.Selected(), a);
    ops.ToolButton42Click();
    EXPECT_EQ(tree.Selected(), b);
    ops.ToolButton27Click();
    ops.ToolButton27Click();
    EXPECT_EQ(tree.Selected(), c);
}

}  // namespace
}  // namespace ql
