#include "components/browserhost/PagesPaint.h"

#include <gtest/gtest.h>

#include "tests/components/browserhost/FakePainters.h"

using namespace ql;
using ql::test::PaintOp;
using ql::test::RasterPainter;
using ql::test::RecordingCanvas;

namespace {
SystemPalette Palette()
{
    SystemPalette p;
    p.btnHighlight = 0x111111;
    p.btnShadow = 0x222222;
    p.dkShadow = 0x333333;
    p.light = 0x444444;
    p.btnFace = 0x555555;
    return p;
}
constexpr TColor kBorder = 0x0A0B0C;

// Narrow tabs skip the first few of the 256 steps, so the first column is close to the start
// colour rather than equal to it.
bool Near(TColor a, TColor b)
{
    auto d = [](int x, int y) { return x > y ? x - y : y - x; };
    return d(RedOf(a), RedOf(b)) <= 8 && d(GreenOf(a), GreenOf(b)) <= 8 && d(BlueOf(a), BlueOf(b)) <= 8;
}
constexpr TColor kTab = 0x00C0FF;

TabFace Face(TTabPosition pos, bool active)
{
    TabFace f;
    f.rect = TRect{100, 50, 160, 72};
    f.active = active;
    f.position = pos;
    f.tabColor = kTab;
    f.fontColor = 0x123456;
    f.caption = "Tab";  // 21 x 13 with the recording canvas
    return f;
}
}  // namespace

// Each bevel pair: which rings are drawn and in which colours.
TEST(DrawBevels, EveryPairOfCutsGivesItsFrames)
{
    const TBevelCut cuts[] = {TBevelCut::bvNone, TBevelCut::bvLowered, TBevelCut::bvRaised, TBevelCut::bvSpace};
    const SystemPalette pal = Palette();
    for (TBevelCut outer : cuts) {
        for (TBevelCut inner : cuts) {
            BevelSettings b{inner, outer, 2, 1};
            RasterPainter p(30, 30);
            DrawBevels(p, TRect{0, 0, 30, 30}, b, kBorder, pal);
            int ring = 0;  // the pixel row/column of the next frame line, from the outside
            auto expectRing = [&](TBevelCut cut, int width) {
                TColor tl = kBorder, br = kBorder;
                if (cut != TBevelCut::bvNone)
                    BevelColors(cut, pal, tl, br);
                for (int i = 0; i < width; ++i, ++ring) {
                    EXPECT_EQ(p.At(ring, 15), tl) << int(outer) << int(inner) << " ring " << ring;
                    EXPECT_EQ(p.At(15, ring), tl);
                    EXPECT_EQ(p.At(29 - ring, 15), br);
                    EXPECT_EQ(p.At(15, 29 - ring), br);
                }
            };
            if (outer == TBevelCut::bvLowered || outer == TBevelCut::bvRaised)
                expectRing(outer, 2);
            expectRing(TBevelCut::bvNone, 1);  // the border in the given colour
            if (inner != TBevelCut::bvNone)
                expectRing(inner, 2);
            EXPECT_EQ(p.At(ring, 15), RasterPainter::kUntouched) << int(outer) << int(inner);
            // What the frames leave is exactly the content rectangle.
            const TRect content = BevelContentRect(TRect{0, 0, 30, 30}, b);
            EXPECT_EQ(content, (TRect{ring, ring, 30 - ring, 30 - ring}));
        }
    }
}

TEST(DrawBevels, LoweredIsShadowAboveAndRaisedIsHighlightAbove)
{
    const SystemPalette pal = Palette();
    RasterPainter p(10, 10);
    DrawBevels(p, TRect{0, 0, 10, 10}, BevelSettings{}, kBorder, pal);  // lowered outer, raised inner
    EXPECT_EQ(p.At(0, 5), pal.btnShadow);
    EXPECT_EQ(p.At(9, 5), pal.btnHighlight);
    EXPECT_EQ(p.At(1, 5), pal.btnHighlight);
    EXPECT_EQ(p.At(8, 5), pal.btnShadow);
    // The corners where the colours meet belong to the lower right colour.
    EXPECT_EQ(p.At(9, 0), pal.btnHighlight);
    EXPECT_EQ(p.At(0, 9), pal.btnHighlight);
    EXPECT_EQ(p.At(0, 0), pal.btnShadow);
}

TEST(DrawBevels, FramesWiderThanTheRectangleStopAtItsMiddle)
{
    RasterPainter p(6, 6);
    DrawBevels(p, TRect{0, 0, 6, 6}, BevelSettings{TBevelCut::bvRaised, TBevelCut::bvRaised, 10, 10}, kBorder,
               Palette());
    EXPECT_EQ(p.outsideGrid, 0);
    EXPECT_TRUE(
        BevelContentRect(TRect{0, 0, 6, 6}, BevelSettings{TBevelCut::bvRaised, TBevelCut::bvRaised, 10, 10}).IsEmpty());
}

TEST(DrawColouredTab, PlainFillWithoutGradientOrWhenHotTracking)
{
    for (bool hot : {false, true}) {
        TabFace f = Face(TTabPosition::tpTop, true);
        f.fillGradient = hot;  // a gradient is asked for only in the hot-tracking case
        f.hotTrack = hot;
        RecordingCanvas rec;
        DrawColouredTab(rec, f);
        const auto fills = rec.Of(PaintOp::Fill);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].rect, f.rect);
        EXPECT_EQ(fills[0].color, kTab);
    }
}

TEST(DrawColouredTab, GradientsRunFromWhiteOnTheActiveTabAndToGreyOnTheOthers)
{
    TabFace f = Face(TTabPosition::tpTop, true);
    f.fillGradient = true;
    RecordingCanvas active;
    DrawColouredTab(active, f);
    auto bands = active.Of(PaintOp::Fill);
    ASSERT_EQ(bands.size(), 58u);  // one column each, inside the tab less a pixel on both sides
    EXPECT_EQ(bands.front().rect, (TRect{101, 50, 102, 72}));
    EXPECT_TRUE(Near(bands.front().color, clWhite));
    EXPECT_EQ(bands.back().rect.Right, 159);
    EXPECT_EQ(bands.back().color, kTab);

    struct Case {
        TTabPosition pos;
        TRect gradient;
        bool columns;
    } cases[] = {
        {TTabPosition::tpTop, {101, 50, 159, 74}, true},
        {TTabPosition::tpBottom, {101, 48, 159, 72}, true},
        {TTabPosition::tpLeft, {100, 50, 162, 72}, false},
        {TTabPosition::tpRight, {98, 50, 160, 72}, false},
    };
    for (const Case& c : cases) {
        TabFace g = Face(c.pos, false);
        g.fillGradient = true;
        RecordingCanvas rec;
        DrawColouredTab(rec, g);
        bands = rec.Of(PaintOp::Fill);
        ASSERT_FALSE(bands.empty());
        TRect span = bands.front().rect;
        for (const PaintOp& b : bands) {
            span.Left = std::min(span.Left, b.rect.Left);
            span.Top = std::min(span.Top, b.rect.Top);
            span.Right = std::max(span.Right, b.rect.Right);
            span.Bottom = std::max(span.Bottom, b.rect.Bottom);
        }
        EXPECT_EQ(span, c.gradient) << int(c.pos);
        EXPECT_TRUE(Near(bands.front().color, kTab)) << std::hex << bands.front().color;
        EXPECT_EQ(bands.back().color, 0x888888u);
        // Top and bottom tabs change colour left to right (full-height bands), side tabs top to bottom.
        EXPECT_EQ(bands.front().rect.Height() == c.gradient.Height(), c.columns) << int(c.pos);
    }
}

TEST(DrawColouredTab, CaptionsAreCentredShiftedWhenInactiveAndTurnedOnTheSides)
{
    struct Case {
        TTabPosition pos;
        bool active;
        int x, y, angle;
    } cases[] = {
        // Tab 60 x 22, caption 21 x 13.
        {TTabPosition::tpTop, true, 100 + 19, 50 + 4, 0},
        {TTabPosition::tpTop, false, 100 + 19, 50 + 6, 0},
        {TTabPosition::tpBottom, false, 100 + 19, 50 + 2, 0},
        {TTabPosition::tpLeft, false, 100 + 23, 50 + 0 + 21, 90},
        {TTabPosition::tpRight, true, 100 + 23 + 13, 50 + 0, 270},
    };
    for (const Case& c : cases) {
        RecordingCanvas rec;
        DrawColouredTab(rec, Face(c.pos, c.active));
        const auto texts = rec.Of(PaintOp::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "Tab");
        EXPECT_EQ(texts[0].color, 0x123456u);
        EXPECT_EQ(texts[0].x, c.x) << int(c.pos) << c.active;
        EXPECT_EQ(texts[0].y, c.y) << int(c.pos) << c.active;
        EXPECT_EQ(texts[0].angle, c.angle);
        const bool clipped = !rec.Of(PaintOp::PushClip).empty();
        EXPECT_EQ(clipped, c.angle == 0);  // top and bottom captions are clipped to the tab
    }
}

TEST(DrawColouredTab, ImagesGetRoomBeforeTheCaption)
{
    struct Case {
        TTabPosition pos;
        bool active;
        int textX, textY, imageX, imageY;
    } cases[] = {
        // Image 16 x 10: top tabs lose 21 pixels on the left; side tabs 15 at the bottom or top.
        {TTabPosition::tpTop, true, 121 + 9, 54, 130 - 21, 52},
        {TTabPosition::tpLeft, false, 123, 50 + 0 + 21, 123 + 2, 50 + 0 + 21 + 5},
        {TTabPosition::tpLeft, true, 123, 50 + 0 + 21, 123, 50 + 0 + 21 + 5},
        {TTabPosition::tpRight, false, 123 + 13, 65, 123 - 2, 65 - 15},
    };
    for (const Case& c : cases) {
        TabFace f = Face(c.pos, c.active);
        f.rect = c.pos == TTabPosition::tpTop ? TRect{100, 50, 160, 72} : TRect{100, 50, 160, 86};
        f.images = true;
        f.imageSize = TSize{16, 10};
        f.imageIndex = 3;
        RecordingCanvas rec;
        DrawColouredTab(rec, f);
        const auto texts = rec.Of(PaintOp::Text);
        const auto images = rec.Of(PaintOp::Image);
        ASSERT_EQ(texts.size(), 1u);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].index, 3);
        EXPECT_EQ(texts[0].x, c.textX) << int(c.pos) << c.active;
        EXPECT_EQ(texts[0].y, c.textY) << int(c.pos) << c.active;
        EXPECT_EQ(images[0].x, c.imageX) << int(c.pos) << c.active;
        EXPECT_EQ(images[0].y, c.imageY) << int(c.pos) << c.active;
    }
    // A sheet without an image still gets the room, but nothing is drawn in it.
    TabFace f = Face(TTabPosition::tpTop, true);
    f.images = true;
    f.imageSize = TSize{16, 10};
    RecordingCanvas rec;
    DrawColouredTab(rec, f);
    EXPECT_TRUE(rec.Of(PaintOp::Image).empty());
    EXPECT_EQ(rec.Of(PaintOp::Text)[0].x, 130);
}

TEST(DrawTabEdges, EdgesStayOnTheOuterRingAndLeaveTheFaceAlone)
{
    const SystemPalette pal = Palette();
    for (TTabPosition side :
         {TTabPosition::tpTop, TTabPosition::tpBottom, TTabPosition::tpLeft, TTabPosition::tpRight}) {
        TabLayoutInput in;
        in.client = TRect{0, 0, 120, 120};
        in.position = side;
        in.captions = {TSize{30, 13}, TSize{30, 13}};
        in.activeTab = 0;
        const TabLayout l = LayoutTabs(in);
        for (const TabPlacement& t : l.tabs) {
            RasterPainter p(120, 120);
            DrawTabEdges(p, t.outer, side, pal);
            int painted = 0;
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 120; ++x) {
                    if (p.At(x, y) == RasterPainter::kUntouched)
                        continue;
                    ++painted;
                    ASSERT_TRUE(t.outer.Contains(x, y)) << int(side);
                    ASSERT_FALSE(t.item.Contains(x, y)) << int(side);
                }
            EXPECT_GT(painted, 0);
            // Light comes from the top left: the start edge is highlighted, the end edge dark.
            const bool horizontal = side == TTabPosition::tpTop || side == TTabPosition::tpBottom;
            const int midAcross = horizontal ? (t.outer.Top + t.outer.Bottom) / 2 : (t.outer.Left + t.outer.Right) / 2;
            if (horizontal) {
                EXPECT_EQ(p.At(t.outer.Left, midAcross), pal.btnHighlight);
                EXPECT_EQ(p.At(t.outer.Right - 1, midAcross), pal.dkShadow);
            } else {
                EXPECT_EQ(p.At(midAcross, t.outer.Top), pal.btnHighlight);
                EXPECT_EQ(p.At(midAcross, t.outer.Bottom - 1), pal.dkShadow);
            }
        }
    }
}
