#include <gtest/gtest.h>

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

}  // namespace
