#include "app/editor/EditCommandState.h"
#include "app/editor/EditCommandRouter.h"
#include "platform/gui/HtmlEditCommands.h"
#include "tests/app/editor/FakeEditCommandPorts.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

using test::editcmd::FakeBrowse;
using test::editcmd::FakeHtml;
using test::editcmd::FakePickers;
using test::editcmd::FakeText;
using test::editcmd::Log;

struct StateTest : ::testing::Test {
    Log log;
    FakeBrowse browse{log};
    FakeHtml html{log};
    FakeText text{log};
    FakePickers pickers{log};
    int view = 1;
    EditCommandRouter router{[this] { return view; }, browse, html, text, pickers};

    void Latch(std::uint32_t command, bool enabled, bool latched)
    {
        html.docCommands[{command, false}] = {enabled, latched};
    }
};

TEST_F(StateTest, ToolbarShowsOnlyFullyLatchedStylesAndRightWinsOverCentre)
{
    html.status[web::DECMD_BOLD] = 7;
    html.status[web::DECMD_ITALIC] = 11;  // mixed selection
    html.status[web::DECMD_UNDERLINE] = 3;
    Latch(kDocCmdJustifyRight, true, true);
    Latch(kDocCmdJustifyCenter, true, true);
    Latch(kDocCmdOrderedList, true, true);
    Latch(kDocCmdUnorderedList, false, true);  // latched but disabled is not down
    html.reads[web::DECMD_GETFONTNAME] = {com::S_OK, com::Variant::Text("DejaVu Serif")};
    html.reads[web::DECMD_GETFONTSIZE] = {com::S_OK, com::Variant::Text("5")};

    std::optional<ToolbarState> s = router.dtDisplayChanged(true);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->bold);
    EXPECT_FALSE(s->italic);
    EXPECT_FALSE(s->underline);
    EXPECT_EQ(s->alignment, Alignment::Right);
    EXPECT_TRUE(s->numbers);
    EXPECT_FALSE(s->bullets);
    EXPECT_EQ(s->fontName, "DejaVu Serif");
    EXPECT_EQ(s->fontSizeIndex, 4);

    Latch(kDocCmdJustifyRight, false, true);
    EXPECT_EQ(router.dtDisplayChanged(true)->alignment, Alignment::Center);
    Latch(kDocCmdJustifyCenter, true, false);
    EXPECT_EQ(router.dtDisplayChanged(true)->alignment, Alignment::Left);
}

TEST_F(StateTest, NullFontSizeShowsThreeAndFailuresShowNothing)
{
    html.reads[web::DECMD_GETFONTSIZE] = {com::S_OK, com::Variant::Null()};
    html.reads[web::DECMD_GETFONTNAME] = {com::S_OK, com::Variant::Null()};
    ToolbarState s = *router.dtDisplayChanged(true);
    EXPECT_EQ(s.fontSizeIndex, kDefaultFontSizeIndex);
    EXPECT_STREQ(kFontSizeItems[static_cast<std::size_t>(s.fontSizeIndex)], "3");
    EXPECT_EQ(s.fontName, "");

    html.reads[web::DECMD_GETFONTSIZE] = {com::E_FAIL, com::Variant::Text("4")};
    html.reads[web::DECMD_GETFONTNAME] = {com::E_FAIL, com::Variant::Text("Sans")};
    s = *router.dtDisplayChanged(true);
    EXPECT_EQ(s.fontSizeIndex, -1);
    EXPECT_EQ(s.fontName, "");

    for (const char* odd : {"0", "8", "+1", "12px", ""}) {
        html.reads[web::DECMD_GETFONTSIZE] = {com::S_OK, com::Variant::Text(odd)};
        EXPECT_EQ(router.dtDisplayChanged(true)->fontSizeIndex, -1) << odd;
    }
}

TEST_F(StateTest, ToolbarIsLeftAloneUnlessTheEditorIsActiveAndIdle)
{
    EXPECT_FALSE(router.dtDisplayChanged(false));
    html.busy = true;
    EXPECT_FALSE(router.dtDisplayChanged(true));
    html.busy = false;
    html.exists = false;
    EXPECT_FALSE(router.dtDisplayChanged(true));
    EXPECT_TRUE(log.lines.empty());  // nothing was asked of the control
}

TEST_F(StateTest, EditMenuFollowsTheActiveView)
{
    view = 0;
    browse.enabled = {{"Delete", false}, {"Copy", true}, {"Paste", false}};
    EditMenuState s = router.Edit1Click();
    EXPECT_FALSE(s.undo || s.redo || s.cut || s.paste || s.del);
    EXPECT_TRUE(s.copy);
    browse.enabled = {{"Delete", true}};  // the other queries fail: their items are off
    s = router.Edit1Click();
    EXPECT_TRUE(s.cut && s.del);
    EXPECT_FALSE(s.copy || s.paste);

    view = 1;
    html.status = {
        {web::DECMD_UNDO, 3}, {web::DECMD_REDO, 1}, {web::DECMD_CUT, 0}, {web::DECMD_COPY, 7}, {web::DECMD_PASTE, 11}};
    s = router.Edit1Click();
    EXPECT_TRUE(s.undo && s.copy && s.paste);
    EXPECT_FALSE(s.redo || s.cut || s.del);
    EXPECT_TRUE(s.Enabled(EditCommandTag::SelectAll) && s.Enabled(EditCommandTag::Find));

    view = 2;
    text.canUndo = true;
    s = router.Edit1Click();
    EXPECT_TRUE(s.undo && s.paste);
    EXPECT_FALSE(s.redo || s.cut || s.copy || s.del);
    text.hasSelection = true;
    s = router.Edit1Click();
    EXPECT_TRUE(s.cut && s.copy && s.del);
    EXPECT_FALSE(s.redo);
}

TEST_F(StateTest, InsertAndFormatMenusWorkInTheHtmlViewOnly)
{
    for (int v : {-1, 0, 1, 2, 3}) {
        view = v;
        EXPECT_EQ(router.nActionClick(), v == 1) << v;
    }
}

TEST_F(StateTest, TableItemsFollowTheirTableCommands)
{
    html.docCommands[{kTableCmdInsert, true}] = {true, false};
    html.docCommands[{kTableCmdDeleteCells, true}] = {true, false};
    html.docCommands[{kTableCmdSplitCell, true}] = {true, false};
    html.docCommands[{kTableCmdMergeCells, false}] = {true, false};  // the wrong group counts not
    TableMenuState s = router.Table1Click();
    EXPECT_TRUE(s.row && s.column && s.cell && s.deleteCells && s.splitCell);
    EXPECT_FALSE(s.deleteRows || s.deleteColumns || s.mergeCells);
}

}  // namespace
}  // namespace ql
