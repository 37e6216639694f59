#include "app/editor/ViewCommands.h"

#include "tests/app/editor/session/SessionFixture.h"

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

class ViewCommandsTest : public test::SessionFixture {};

TEST_F(ViewCommandsTest, SwitchingViewSavesFirstAndStaysWhenThatFails)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "old");
    views.active = kViewText;
    window.SelectNode(a);
    views.text = "typed";
    views.textModified = true;
    ASSERT_TRUE(SwitchViewByButton(*session, views, kViewBrowse));
    EXPECT_EQ(Page("A"), "typed\r\n");
    EXPECT_EQ(views.browsed, File("A"));

    views.active = kViewText;
    views.textModified = true;
    fs::remove(File("A"));
    fs::create_directory(File("A"));
    EXPECT_FALSE(SwitchViewByButton(*session, views, kViewHtml));
    EXPECT_EQ(views.active, kViewText);
    EXPECT_TRUE(views.textModified);
}

TEST_F(ViewCommandsTest, ReloadAsksThenDropsTheEdits)
{
    ReloadCurrentPage(*session, dialogs);  // no node: no question
    EXPECT_TRUE(dialogs.questions.empty());
    TreeNode* a = AddPage(nullptr, "A", "A", "from file");
    views.active = kViewText;
    window.SelectNode(a);
    views.text = "typed";
    views.textModified = true;
    dialogs.answer = false;
    ReloadCurrentPage(*session, dialogs);
    EXPECT_EQ(views.text, "typed");
    dialogs.answer = true;
    ReloadCurrentPage(*session, dialogs);
    EXPECT_EQ(dialogs.questions.back(), "Reload: Reload current document?");
    EXPECT_EQ(views.text, "from file");
    EXPECT_FALSE(views.textModified);
    EXPECT_EQ(Page("A"), "from file");
}

}  // namespace
}  // namespace ql
