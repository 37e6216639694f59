#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/shell/CustomDraw.h"

using namespace ql::shellctl;

namespace {

NMCUSTOMDRAW Record(std::uint32_t stage)
{
    NMCUSTOMDRAW r;
    r.dwDrawStage = stage;
    r.selectedFont = TSvFont{"Sans", 9, false, false, false, 0};
    r.textColor = r.clrText = 0x000000;
    r.bkColor = r.clrTextBk = 0xFFFFFF;
    return r;
}

TEST(CustomDraw, StagesAndAnswersOfTheListWrapper)
{
    std::uint32_t answer = 77;
    NMCUSTOMDRAW pre = Record(CDDS_PREPAINT);
    TSvLvCustomDraw cd(&pre, pre.selectedFont, &answer);
    EXPECT_EQ(cd.DrawStage(), 1);
    cd.Apply();
    EXPECT_EQ(answer, 0u);  // the list's answer always starts afresh
    cd.NotifyItemDraw = true;
    cd.Apply();
    EXPECT_EQ(answer, CDRF_NOTIFYITEMDRAW);

    NMCUSTOMDRAW other = Record(0x30001);
    EXPECT_EQ(TSvLvCustomDraw(&other, other.selectedFont, &answer).DrawStage(), 0);
    NMCUSTOMDRAW post = Record(CDDS_ITEMPOSTPAINT);
    EXPECT_EQ(TSvLvCustomDraw(&post, post.selectedFont, &answer).DrawStage(), 5);
}

TEST(CustomDraw, ItemColoursAndANewFont)
{
    std::uint32_t answer = 0;
    NMCUSTOMDRAW item = Record(CDDS_ITEMPREPAINT);
    {
        TSvLvCustomDraw cd(&item, item.selectedFont, &answer);
        cd.SetFontColor(0x0000FF);
        cd.Apply();
    }
    EXPECT_EQ(item.clrText, 0x0000FFu);
    EXPECT_EQ(answer, 0u);  // the same font: nothing to select
    EXPECT_EQ(item.clrTextBk, 0xFFFFFFu);

    {
        TSvLvCustomDraw cd(&item, item.selectedFont, &answer);
        TSvFont bold = cd.Font();
        bold.bold = true;
        cd.SetFont(bold);
        cd.SetBrushColor(0x00FF00);
        cd.Apply();
    }
    EXPECT_EQ(answer, CDRF_NEWFONT);
    EXPECT_TRUE(item.selectedFont.bold);
    EXPECT_EQ(item.clrTextBk, 0x00FF00u);

    // Skipping the default drawing leaves font and colours alone.
    NMCUSTOMDRAW skipped = Record(CDDS_ITEMPREPAINT);
    TSvLvCustomDraw cd(&skipped, skipped.selectedFont, &answer);
    cd.SetFontColor(0x123456);
    cd.SkipDefault = true;
    cd.Apply();
    EXPECT_EQ(answer, CDRF_SKIPDEFAULT);
    EXPECT_EQ(skipped.clrText, 0u);
}

TEST(CustomDraw, TheTreesHandledResultIsKept)
{
    std::uint32_t answer = 0x40;
    NMCUSTOMDRAW pre = Record(CDDS_PREPAINT);
    TSvTvCustomDraw cd(&pre, pre.selectedFont, &answer);
    cd.NotifyItemDraw = true;
    cd.ResultHandled = true;
    cd.Apply();
    EXPECT_EQ(answer, 0x40u);

    NMCUSTOMDRAW item = Record(CDDS_ITEMPREPAINT);
    TSvTvCustomDraw skip(&item, item.selectedFont, &answer);
    skip.SkipDefault = true;
    skip.ResultHandled = true;
    skip.Apply();
    EXPECT_EQ(answer, 0x40u);
    skip.ResultHandled = false;
    skip.Apply();
    EXPECT_EQ(answer, CDRF_SKIPDEFAULT);
}

// The tree's step with its events: which run at each stage, one draw object between them.
class TreeStep : public ::testing::Test {
protected:
    std::unique_ptr<TSvCustomDraw> Run(NMCUSTOMDRAW& record)
    {
        answer = 0;  // each notification's answer starts at the default
        TSvTvCustomDrawEvents events;
        events.create = [&]() -> std::unique_ptr<TSvCustomDraw> {
            ++made;
            auto cd = std::make_unique<TSvTvCustomDraw>(&record, record.selectedFont, &answer);
            cd->NotifyItemDraw = true;
            return cd;
        };
        if (everyStage)
            events.everyStage = [&](TSvCustomDraw& cd) { calls.push_back("every " + std::to_string(cd.DrawStage())); };
        if (itemPrePaint)
            events.itemPrePaint = [&](TSvCustomDraw& cd) {
                calls.push_back("item " + std::to_string(cd.DrawStage()));
                if (look)
                    look(cd);
            };
        return TvCustomDrawStep(record, answer, events);
    }

    bool everyStage = false, itemPrePaint = false;
    std::function<void(TSvCustomDraw&)> look;
    std::uint32_t answer = 0;
    int made = 0;
    std::vector<std::string> calls;
};

TEST_F(TreeStep, NoEventNoObjectAndTheAnswerLeftAlone)
{
    for (std::uint32_t stage : {CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT}) {
        NMCUSTOMDRAW record = Record(stage);
        EXPECT_EQ(Run(record), nullptr);
    }
    EXPECT_EQ(made, 0);
    EXPECT_EQ(answer, 0u);
}

TEST_F(TreeStep, TheItemEventAsksForItemsAndRunsAtItemPrepaintOnly)
{
    itemPrePaint = true;
    NMCUSTOMDRAW pre = Record(CDDS_PREPAINT);
    EXPECT_EQ(Run(pre), nullptr);  // no event at prepaint, yet item notifications are asked for
    EXPECT_EQ(answer, CDRF_NOTIFYITEMDRAW);
    EXPECT_TRUE(calls.empty());

    look = [](TSvCustomDraw& cd) {
        TSvFont font = cd.Font();
        font.italic = true;
        cd.SetFont(font);
        cd.SetFontColor(0x0000FF);
    };
    NMCUSTOMDRAW item = Record(CDDS_ITEMPREPAINT);
    Run(item);
    EXPECT_EQ(calls, std::vector<std::string>{"item 4"});
    EXPECT_EQ(item.clrText, 0x0000FFu);
    EXPECT_TRUE(item.selectedFont.italic);
    EXPECT_EQ(answer, CDRF_NEWFONT | CDRF_NOTIFYITEMDRAW);

    NMCUSTOMDRAW post = Record(CDDS_ITEMPOSTPAINT);
    Run(post);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(answer, 0u);
}

TEST_F(TreeStep, BothEventsShareOneObjectEveryStageFirst)
{
    everyStage = itemPrePaint = true;
    look = [](TSvCustomDraw& cd) { cd.SkipDefault = true; };
    NMCUSTOMDRAW item = Record(CDDS_ITEMPREPAINT);
    Run(item);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"every 4", "item 4"}));
    EXPECT_EQ(answer, CDRF_SKIPDEFAULT | CDRF_NOTIFYITEMDRAW);

    NMCUSTOMDRAW post = Record(CDDS_POSTPAINT);
    Run(post);
    EXPECT_EQ(calls.back(), "every 2");
    EXPECT_EQ(answer, 0u);
}

}  // namespace
