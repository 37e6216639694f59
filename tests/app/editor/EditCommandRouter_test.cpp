#include "app/editor/EditCommandRouter.h"
#include "platform/gui/HtmlEditCommands.h"
#include "tests/app/editor/FakeEditCommandPorts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace ql {
namespace {

using test::editcmd::FakeBrowse;
using test::editcmd::FakeHtml;
using test::editcmd::FakePickers;
using test::editcmd::FakeText;
using test::editcmd::Log;
using Lines = std::vector<std::string>;

std::tm Saturday()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 1;
    t.tm_wday = 6;
    return t;
}

struct RouterTest : ::testing::Test {
    Log log;
    FakeBrowse browse{log};
    FakeHtml html{log};
    FakeText text{log};
    FakePickers pickers{log};
    int view = 1;
    EditCommandRouter router{[this] { return view; }, browse, html, text, pickers, [] { return Saturday(); }};

    // What each sender tag does in `v`, separators (0) and numbers outside the table included.
    std::map<int, Lines> Sweep(int v)
    {
        view = v;
        std::map<int, Lines> done;
        for (int tag = -1; tag <= 23; ++tag) {
            log.lines.clear();
            router.tbBoldClick(tag);
            if (!log.lines.empty())
                done[tag] = log.lines;
        }
        return done;
    }
};

TEST_F(RouterTest, BrowseViewRunsOnlyTheDocumentCommandsOfTheEditMenu)
{
    std::map<int, Lines> expected{
        {16, {"browse doc 11"}},     {17, {"browse copy"}}, {18, {"browse doc 13"}},
        {20, {"browse select all"}}, {21, {"browse find"}},
    };
    EXPECT_EQ(Sweep(0), expected);
}

TEST_F(RouterTest, HtmlViewRunsEachTagsEditingCommandWithItsOption)
{
    pickers.color.reset();  // the colour dialog is cancelled
    std::map<int, Lines> expected{
        {1, {"exec 5000 2"}},  {2, {"exec 5023 2"}},  {3, {"exec 5048 2"}},  {4, {"exec 5015 0"}},
        {5, {"exec 5030 2"}},  {6, {"exec 5051 2"}},  {7, {"exec 5031 2"}},  {8, {"exec 5018 2"}},
        {9, {"exec 5025 2"}},  {10, {"exec 5024 2"}}, {11, {"exec 5026 2"}}, {12, {"exec 5017 0"}},
        {13, {"exec 5016 2"}}, {14, {"exec 5049 2"}}, {15, {"exec 5033 2"}}, {16, {"exec 5003 2"}},
        {17, {"exec 5002 2"}}, {18, {"exec 5032 2"}}, {19, {"exec 5004 2"}}, {20, {"exec 5035 2"}},
        {21, {"exec 5008 1"}},
    };
    EXPECT_EQ(Sweep(1), expected);
}

TEST_F(RouterTest, TextViewRunsTheEditorsOwnOperationsAndNothingElse)
{
    std::map<int, Lines> expected{
        {14, {"text undo"}},   {16, {"text cut"}},        {17, {"text copy"}}, {18, {"text paste"}},
        {19, {"text delete"}}, {20, {"text select all"}}, {21, {"text find"}},
    };
    EXPECT_EQ(Sweep(2), expected);
    EXPECT_TRUE(Sweep(3).empty());
    EXPECT_TRUE(Sweep(-1).empty());
}

TEST_F(RouterTest, FailuresOfTheControlsNeverLeaveTheHandlers)
{
    html.throwOnExec = true;
    view = 1;
    EXPECT_NO_THROW(router.tbBoldClick(1));
    EXPECT_NO_THROW(router.PickFontColor());
    EXPECT_NO_THROW(router.FontSizeListChange(3));
    EXPECT_FALSE(router.dtDisplayChanged(true));  // the refresh failed: the toolbar stays
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(RouterTest, FontColourStartsFromTheSelectionsColourAndAppliesTheChosenOne)
{
    html.reads[web::DECMD_GETFORECOLOR] = {com::S_OK, com::Variant::Text("#ff8000")};
    pickers.color = 0x00FF00u;  // green
    router.tbBoldClick(4);
    ASSERT_EQ(pickers.shownWith.size(), 1u);
    EXPECT_EQ(pickers.shownWith[0], 0x0080FFu);
    EXPECT_EQ(log.lines, (Lines{"exec 5015 0", "exec 5046 0 [#00ff00]"}));

    // Cancelled: nothing is applied; an unreadable colour shows no dialog at all.
    log.lines.clear();
    pickers.color.reset();
    router.PickFontColor();
    EXPECT_EQ(log.lines, (Lines{"exec 5015 0"}));
    html.reads[web::DECMD_GETFORECOLOR] = {com::E_FAIL, {}};
    router.PickFontColor();
    EXPECT_EQ(pickers.shownWith.size(), 2u);
}

TEST_F(RouterTest, FontSizeAndNameAreAppliedOnlyWhileTheControlAllowsThem)
{
    html.status[web::DECMD_SETFONTSIZE] = 11;  // a mixed selection still takes a size
    router.FontSizeListChange(3);
    EXPECT_EQ(log.lines, (Lines{"exec 5045 2 [4]", "focus"}));

    log.lines.clear();
    html.status[web::DECMD_SETFONTSIZE] = 1;  // disabled
    router.FontSizeListChange(0);
    html.status[web::DECMD_SETFONTNAME] = 0;  // not supported
    router.FontListChange("Serif");
    EXPECT_EQ(log.lines, (Lines{"focus", "focus"}));

    // The name goes to the control as it is; encoding it for a script is the control's work.
    log.lines.clear();
    html.status[web::DECMD_SETFONTNAME] = 3;
    router.FontListChange("Bad \"Font\" </script>");
    EXPECT_EQ(log.lines, (Lines{"exec 5044 2 [Bad \"Font\" </script>]", "focus"}));
}

TEST_F(RouterTest, BackgroundColourAndPicture)
{
    pickers.color = 0x0000FFu;
    router.nBGColorClick();
    ASSERT_EQ(pickers.shownWith.size(), 1u);
    EXPECT_EQ(pickers.shownWith[0], 0x302010u);
    EXPECT_EQ(log.lines, (Lines{"bgColor #ff0000"}));

    log.lines.clear();
    html.background.reset();  // no document: no dialog
    router.nBGColorClick();
    EXPECT_EQ(pickers.shownWith.size(), 1u);
    router.nBGPictureClick();  // cancelled
    pickers.picture = "/home/u/My Pictures/sky.jpg";
    router.nBGPictureClick();
    EXPECT_EQ(log.lines, (Lines{"background /home/u/My Pictures/sky.jpg"}));
}

TEST_F(RouterTest, DateAndTimeGoesToTheCaretOfTheActiveView)
{
    view = 2;
    text.text = "first line\nsecond";
    text.caret = 0;
    router.InsertDateTime1Click();
    EXPECT_EQ(text.text, "03/07/2026 09:05:01 (Saturday)first line\nsecond");
    EXPECT_EQ(text.caret, 30);

    // A view that refuses edits is left alone.
    text.editable = false;
    router.InsertDateTime1Click();
    EXPECT_EQ(text.text, "03/07/2026 09:05:01 (Saturday)first line\nsecond");

    view = 1;
    html.selectionHtml = "<b>old</b>";
    router.InsertDateTime1Click();
    EXPECT_EQ(html.selectionHtml, "03/07/2026 09:05:01 (Saturday)");

    view = 0;
    log.lines.clear();
    router.InsertDateTime1Click();
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(RouterTest, HighlightWrapsTheSelectionAndTheLineReplacesIt)
{
    html.selectionHtml = "some <i>words</i>";
    router.HighlightBClick();
    EXPECT_EQ(html.selectionHtml, "<span style=\"background-color: #FFFF00\">some <i>words</i></span>");
    router.nInsertLineClick();
    EXPECT_EQ(html.selectionHtml, "<HR>");
    router.nFontClick();
    EXPECT_EQ(log.lines.back(), "exec 5009 1");
}

TEST_F(RouterTest, EditMenuShortcutsRunOnlyWhatTheActiveViewAllowsNow)
{
    view = 2;
    text.hasSelection = false;
    router.EditMenuCommand(16);  // Ctrl+X without a selection
    router.EditMenuCommand(14);  // nothing to undo
    EXPECT_TRUE(log.lines.empty());
    text.hasSelection = true;
    text.canUndo = true;
    router.EditMenuCommand(16);
    router.EditMenuCommand(14);
    router.EditMenuCommand(20);  // Select All is always there
    EXPECT_EQ(log.lines, (Lines{"text cut", "text undo", "text select all"}));

    log.lines.clear();
    view = 1;
    html.status[web::DECMD_UNDO] = 1;
    router.EditMenuCommand(14);
    router.EditMenuCommand(21);
    EXPECT_EQ(log.lines, (Lines{"exec 5008 1"}));
}

}  // namespace
}  // namespace ql
