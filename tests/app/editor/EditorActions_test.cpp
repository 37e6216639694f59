#include "app/editor/EditorActions.h"

#include "tests/app/editor/session/SessionFixture.h"

namespace ql {
namespace {

class EditorActionsTest : public test::SessionFixture {
protected:
    EditorActions actions{*session, views};
    std::vector<ZoneAction> scheduled;
    EditorActionsTest()
    {
        actions.Schedule = [this](ZoneAction action, int, int) { scheduled.push_back(action); };
    }
};

TEST_F(EditorActionsTest, TheClipboardPasteGoesIntoThePageItWasArmedFor)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    views.active = kViewHtml;
    window.SelectNode(a);
    actions.Arm(ZoneAction::CopyOnly, 100, 1);
    actions.Arm(ZoneAction::CopyAndPaste, 100, 1);
    EXPECT_EQ(scheduled, (std::vector<ZoneAction>{ZoneAction::CopyOnly, ZoneAction::CopyAndPaste}));
    ASSERT_TRUE(actions.RunClipboardPaste());
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::PasteThenLocalize);
    EXPECT_EQ(views.log.back(), "html new");
    EXPECT_FALSE(actions.RunClipboardPaste());  // once per arming
}

TEST_F(EditorActionsTest, APasteArmedForAnotherPageOrViewIsDropped)
{
    TreeNode* a = AddPage(nullptr, "A", "A", "a");
    TreeNode* b = AddPage(nullptr, "B", "B", "b");
    views.active = kViewHtml;
    window.SelectNode(a);
    actions.Arm(ZoneAction::CopyAndPaste, 100, 1);
    window.SelectNode(b);  // the user went on before the timer ran
    EXPECT_FALSE(actions.RunClipboardPaste());
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::None);

    actions.Arm(ZoneAction::CopyAndPaste, 100, 1);
    views.active = kViewBrowse;
    EXPECT_FALSE(actions.RunClipboardPaste());
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::None);
    EXPECT_FALSE(actions.RunClipboardPaste());  // nothing armed
}

}  // namespace
}  // namespace ql
