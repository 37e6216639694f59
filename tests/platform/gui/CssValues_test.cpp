#include "platform/gui/CssValues.h"

#include <gtest/gtest.h>

namespace ql::web {
namespace {

TEST(CssColor, BecomesHtmlColourOrNothing)
{
    EXPECT_EQ(CssColorToHtmlColor("rgb(255, 0, 16)"), "#ff0010");
    EXPECT_EQ(CssColorToHtmlColor(" rgba(1,2,3, 0.5) "), "#010203");
    EXPECT_EQ(CssColorToHtmlColor("rgba(0, 0, 0, 0)"), "");
    EXPECT_EQ(CssColorToHtmlColor("#ABC"), "#aabbcc");
    EXPECT_EQ(CssColorToHtmlColor("#FFFF00"), "#ffff00");
    for (const char* bad : {"", "red", "rgb(256,0,0)", "rgb(1,2)", "rgb(1,2,3", "#12345", "#ggg", "rgb(a,b,c)"})
        EXPECT_EQ(CssColorToHtmlColor(bad), "") << bad;
}

TEST(CssFont, FirstFamilyWithoutQuotesOrEngineDefaults)
{
    EXPECT_EQ(FirstFontFamily("\"Times New Roman\", serif"), "Times New Roman");
    EXPECT_EQ(FirstFontFamily("'Sim Sun'"), "Sim Sun");
    EXPECT_EQ(FirstFontFamily(" Arial , sans-serif"), "Arial");
    EXPECT_EQ(FirstFontFamily("-webkit-standard"), "");
    EXPECT_EQ(FirstFontFamily(""), "");
}

TEST(CssFont, PointsMapToTheNearestHtmlSize)
{
    EXPECT_EQ(FontSizeFromPoints(12), 3);
    EXPECT_EQ(FontSizeFromPoints(5), 1);
    EXPECT_EQ(FontSizeFromPoints(16), 5);
    EXPECT_EQ(FontSizeFromPoints(72), 7);
    for (int size = 1; size <= 7; ++size)
        EXPECT_EQ(FontSizeFromPoints(PointsOfFontSize(size)), size);
}

}  // namespace
}  // namespace ql::web
