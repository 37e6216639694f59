#include "components/browserhost/PagesLayout.h"

#include <gtest/gtest.h>

using namespace ql;

namespace {
constexpr TTabPosition kSides[] = {TTabPosition::tpTop, TTabPosition::tpBottom, TTabPosition::tpLeft,
                                   TTabPosition::tpRight};

TabLayoutInput Input(TRect client, TTabPosition pos, std::vector<int> widths, int active, bool multi = false)
{
    TabLayoutInput in;
    in.client = client;
    in.position = pos;
    in.multiLine = multi;
    for (int w : widths)
        in.captions.push_back(TSize{w, 13});
    in.activeTab = active;
    return in;
}

bool Inside(const TRect& inner, const TRect& outer)
{
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}
}  // namespace

TEST(PagesLayout, OneRowOnTopSitsOnTheBorderWithTheActiveTabReachingOverIt)
{
    const TabLayout l = LayoutTabs(Input({0, 0, 300, 200}, TTabPosition::tpTop, {35, 21, 28}, 1));
    ASSERT_EQ(l.tabs.size(), 3u);
    EXPECT_EQ(l.rows, 1);
    const int rowHeight = 13 + 2 * tabmetrics::kPadAcross + 1 + tabmetrics::kActiveGrowth;
    EXPECT_EQ(l.frame, (TRect{0, rowHeight, 300, 200}));
    // Captions plus padding, edge to edge from the margin.
    EXPECT_EQ(l.tabs[0].outer.Left, tabmetrics::kMargin);
    EXPECT_EQ(l.tabs[0].outer.Width(), 35 + 2 * tabmetrics::kPadAlong);
    EXPECT_EQ(l.tabs[2].outer.Left, l.tabs[0].outer.Right + 21 + 2 * tabmetrics::kPadAlong);
    for (int i : {0, 2}) {
        EXPECT_EQ(l.tabs[std::size_t(i)].outer.Bottom, l.frame.Top);
        EXPECT_EQ(l.tabs[std::size_t(i)].outer.Top, 2);
    }
    const TabPlacement& active = l.tabs[1];
    EXPECT_EQ(active.outer.Top, 0);
    EXPECT_EQ(active.outer.Bottom, l.frame.Top + 2);
    EXPECT_EQ(active.outer.Left, l.tabs[0].outer.Right - 2);
    EXPECT_EQ(active.outer.Right, l.tabs[2].outer.Left + 2);
    for (const TabPlacement& t : l.tabs) {
        EXPECT_TRUE(Inside(t.item, t.outer));
        EXPECT_FALSE(t.item.IsEmpty());
        EXPECT_EQ(t.item.Bottom, t.outer.Bottom);  // open toward the page
    }
}

TEST(PagesLayout, HitTestPrefersTheActiveTabAndMissesTheFrame)
{
    const TabLayout l = LayoutTabs(Input({0, 0, 300, 200}, TTabPosition::tpTop, {35, 21, 28}, 1));
    const int overlapX = l.tabs[0].outer.Right - 1;  // inside tab 0 and the grown active tab
    EXPECT_EQ(TabAtPoint(l, 1, overlapX, 10), 1);
    EXPECT_EQ(TabAtPoint(l, 1, l.tabs[0].outer.Left + 3, 10), 0);
    EXPECT_EQ(TabAtPoint(l, 1, l.tabs[2].outer.Right - 3, 10), 2);
    EXPECT_EQ(TabAtPoint(l, 1, 250, 10), -1);
    EXPECT_EQ(TabAtPoint(l, 1, 50, 100), -1);
    EXPECT_EQ(TabAtPoint(l, 1, 1, 1), -1);
}

TEST(PagesLayout, SideTabsStackDownTheirEdge)
{
    for (TTabPosition side : {TTabPosition::tpLeft, TTabPosition::tpRight}) {
        const TabLayout l = LayoutTabs(Input({0, 0, 200, 300}, side, {35, 21, 28}, 0));
        EXPECT_EQ(l.tabs[1].outer.Top, l.tabs[0].outer.Bottom - 2);
        EXPECT_EQ(l.tabs[1].outer.Height(), 21 + 2 * tabmetrics::kPadAlong);
        EXPECT_EQ(l.frame.Height(), 300);
        if (side == TTabPosition::tpLeft) {
            EXPECT_EQ(l.tabs[1].outer.Right, l.frame.Left);
            EXPECT_EQ(l.tabs[0].outer.Right, l.frame.Left + 2);
            EXPECT_EQ(l.tabs[1].item.Right, l.frame.Left);
        } else {
            EXPECT_EQ(l.tabs[1].outer.Left, l.frame.Right);
            EXPECT_EQ(l.tabs[0].outer.Left, l.frame.Right - 2);
            EXPECT_EQ(l.tabs[1].item.Left, l.frame.Right);
        }
        for (const TabPlacement& t : l.tabs)
            EXPECT_TRUE(Inside(t.item, t.outer));
    }
}

TEST(PagesLayout, ImagesMakeTabsLongerAndRowsThickEnough)
{
    TabLayoutInput in = Input({0, 0, 300, 200}, TTabPosition::tpTop, {35}, 0);
    in.images = true;
    in.imageSize = TSize{16, 20};
    const TabLayout l = LayoutTabs(in);
    EXPECT_EQ(l.tabs[0].outer.Width(), 35 + 2 * tabmetrics::kPadAlong + 16 + tabmetrics::kImageGap + 4);
    EXPECT_EQ(l.frame.Top, 20 + 2 * tabmetrics::kPadAcross + 1 + tabmetrics::kActiveGrowth);
}

TEST(PagesLayout, SeveralRowsAreJustifiedAndTheActiveRowMovesNextToThePages)
{
    // Lengths 62, 52, 72, 42 in 146 pixels: rows {0, 1} and {2, 3}.
    const TabLayout l = LayoutTabs(Input({0, 0, 150, 200}, TTabPosition::tpTop, {50, 40, 60, 30}, 2, true));
    ASSERT_EQ(l.rows, 2);
    EXPECT_EQ(l.tabs[2].row, 0);
    EXPECT_EQ(l.tabs[0].row, 1);
    EXPECT_GT(l.tabs[2].outer.Top, l.tabs[0].outer.Top);
    EXPECT_EQ(l.tabs[2].outer.Bottom, l.frame.Top + 2);
    EXPECT_EQ(l.tabs[0].outer.Left, 2);
    EXPECT_EQ(l.tabs[1].outer.Right, 148);
    EXPECT_EQ(l.tabs[3].outer.Right, 148);
    EXPECT_EQ(l.tabs[0].outer.Right, l.tabs[1].outer.Left);
    // Switching to the other row brings that one down.
    const TabLayout other = LayoutTabs(Input({0, 0, 150, 200}, TTabPosition::tpTop, {50, 40, 60, 30}, 0, true));
    EXPECT_GT(other.tabs[0].outer.Top, other.tabs[2].outer.Top);
    EXPECT_EQ(other.frame, l.frame);
}

TEST(PagesLayout, OneRowScrollsSoTheActiveTabIsWhole)
{
    const TabLayout l = LayoutTabs(Input({0, 0, 100, 200}, TTabPosition::tpTop, {50, 40, 60, 30}, 2));
    EXPECT_TRUE(l.tabs[0].outer.IsEmpty());
    EXPECT_TRUE(l.tabs[1].outer.IsEmpty());
    EXPECT_EQ(l.tabs[2].outer.Left, 0);  // the margin less the active tab's growth
    EXPECT_LE(l.tabs[2].outer.Right, 100);
    for (int x = 0; x < 100; ++x) {
        const int hit = TabAtPoint(l, 2, x, 10);
        EXPECT_TRUE(hit == -1 || hit >= 2) << x;
    }
}

TEST(PagesLayout, WithoutVisibleTabsTheFrameIsTheWholeClient)
{
    for (TTabPosition side : kSides) {
        const TabLayout l = LayoutTabs(Input({10, 20, 210, 170}, side, {}, -1));
        EXPECT_EQ(l.rows, 0);
        EXPECT_TRUE(l.tabs.empty());
        EXPECT_EQ(l.frame, (TRect{10, 20, 210, 170}));
    }
}

TEST(PagesLayout, AnInvisibleBorderLetsThePageCoverItOnEverySide)
{
    for (TTabPosition side : kSides) {
        for (bool withTabs : {true, false}) {
            const TabLayout l =
                LayoutTabs(Input({0, 0, 300, 240}, side, withTabs ? std::vector<int>{30, 40} : std::vector<int>{}, 0));
            EXPECT_EQ(AdjustPageRect(l.display, side, true), l.frame) << int(side) << withTabs;
        }
    }
    // The growth does not depend on the tabs at all (the editor hides every tab).
    const TRect r{10, 10, 100, 100};
    EXPECT_EQ(AdjustPageRect(r, TTabPosition::tpTop, true), (TRect{6, 6, 104, 104}));
    EXPECT_EQ(AdjustPageRect(r, TTabPosition::tpBottom, true), (TRect{6, 4, 104, 102}));
    EXPECT_EQ(AdjustPageRect(r, TTabPosition::tpLeft, true), (TRect{8, 4, 104, 104}));
    EXPECT_EQ(AdjustPageRect(r, TTabPosition::tpRight, true), (TRect{6, 4, 102, 104}));
}

TEST(PagesLayout, AVisibleBorderKeepsAnEvenMarginAroundThePage)
{
    for (TTabPosition side : kSides) {
        const TabLayout l = LayoutTabs(Input({0, 0, 300, 240}, side, {30, 40}, 0));
        const TRect page = AdjustPageRect(l.display, side, false);
        const int tabSide = side == TTabPosition::tpTop ? 4 : 2;
        auto margin = [&](TTabPosition s) { return s == side ? tabSide : 4; };
        EXPECT_EQ(page.Left - l.frame.Left, margin(TTabPosition::tpLeft)) << int(side);
        EXPECT_EQ(page.Top - l.frame.Top, margin(TTabPosition::tpTop)) << int(side);
        EXPECT_EQ(l.frame.Right - page.Right, margin(TTabPosition::tpRight)) << int(side);
        EXPECT_EQ(l.frame.Bottom - page.Bottom, margin(TTabPosition::tpBottom)) << int(side);
    }
    // A control too small for its margins gets an empty page, not an inverted one.
    const TabLayout tiny = LayoutTabs(Input({0, 0, 5, 5}, TTabPosition::tpTop, {}, -1));
    EXPECT_TRUE(tiny.display.IsEmpty());
    EXPECT_GE(tiny.display.Right, tiny.display.Left);
}
