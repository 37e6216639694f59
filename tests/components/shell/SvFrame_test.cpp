#include <gtest/gtest.h>

#include <map>

#include "components/shell/SvFrame.h"

using namespace ql::shellctl;

namespace {

// Pixels painted by the strokes, last colour wins; polylines leave out their last point,
// rectangles outline their inner edge.
struct Raster {
    int w, h;
    std::map<std::pair<int, int>, TFrameColor> px;
    void Set(int x, int y, TFrameColor c)
    {
        ASSERT_TRUE(x >= 0 && y >= 0 && x < w && y < h) << "outside the window: " << x << "," << y;
        px[{x, y}] = c;
    }
    TFrameColor At(int x, int y) { return px.at({x, y}); }
    void Draw(const std::vector<TFrameStroke>& strokes)
    {
        for (const TFrameStroke& s : strokes) {
            if (s.kind == TFrameStroke::Fill) {
                for (int y = s.Top; y < s.Bottom; ++y)
                    for (int x = s.Left; x < s.Right; ++x)
                        Set(x, y, s.color);
            } else if (s.kind == TFrameStroke::Rectangle) {
                for (int x = s.Left; x < s.Right; ++x) {
                    Set(x, s.Top, s.color);
                    Set(x, s.Bottom - 1, s.color);
                }
                for (int y = s.Top; y < s.Bottom; ++y) {
                    Set(s.Left, y, s.color);
                    Set(s.Right - 1, y, s.color);
                }
            } else {
                for (std::size_t i = 1; i < s.points.size(); ++i) {
                    TFramePoint a = s.points[i - 1], b = s.points[i];
                    ASSERT_TRUE(a.x == b.x || a.y == b.y);
                    const int dx = (b.x > a.x) - (b.x < a.x), dy = (b.y > a.y) - (b.y < a.y);
                    for (TFramePoint p = a; !(p == b); p.x += dx, p.y += dy)
                        Set(p.x, p.y, s.color);
                }
            }
        }
    }
};

TEST(SvFrame, InsetsPerStyle)
{
    const std::map<TSvFrameStyle, TFrameInsets> expected = {
        {svfsNone, {0, 0, 0, 0}},     {svfsLowered, {2, 2, 2, 2}},  {svfsRaised, {2, 2, 2, 2}},
        {svfsDint, {1, 1, 1, 1}},     {svfsBump, {1, 1, 1, 1}},     {svfsSingle, {1, 1, 1, 1}},
        {svfsHorzLine, {0, 2, 0, 0}}, {svfsHorzEdge, {0, 2, 0, 2}}, {svfsVertLine, {2, 0, 0, 0}},
        {svfsVertEdge, {2, 0, 2, 0}},
    };
    for (auto [style, insets] : expected) {
        EXPECT_EQ(FrameInsets(style, 0), insets) << kFrameStyles[style].name;
        EXPECT_EQ(FrameInsets(style, 15), insets) << "only the group frame follows the caption";
    }
    // The group frame: 2 on every side without caption, the caption's height on top with one.
    EXPECT_EQ(FrameInsets(svfsGroup, 0), (TFrameInsets{2, 2, 2, 2}));
    EXPECT_EQ(FrameInsets(svfsGroup, 13), (TFrameInsets{2, 13, 2, 2}));
    EXPECT_EQ(FrameInsets(TSvFrameStyle(11), 13), TFrameInsets{});
}

// Every style but the group frame paints exactly its frame band: nothing of the client area,
// nothing outside the window, and no pixel of the band left out.
TEST(SvFrame, StrokesFillExactlyTheFrameBand)
{
    const int W = 40, H = 30;
    for (const TSvFrameStyleInfo& info : kFrameStyles) {
        if (info.style == svfsGroup)
            continue;
        Raster r{W, H, {}};
        r.Draw(FrameStrokes(info.style, 0, 0, W, H, 0));
        const TFrameInsets in = FrameInsets(info.style, 0);
        int band = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool inClient = x >= in.Left && x < W - in.Right && y >= in.Top && y < H - in.Bottom;
                const bool painted = r.px.count({x, y}) != 0;
                EXPECT_NE(inClient, painted) << info.name << " at " << x << "," << y;
                band += !inClient;
            }
        EXPECT_EQ(int(r.px.size()), band) << info.name;
    }
}

TEST(SvFrame, EdgeColours)
{
    const int W = 10, H = 8;
    Raster lowered{W, H, {}};
    lowered.Draw(FrameStrokes(svfsLowered, 0, 0, W, H, 0));
    EXPECT_EQ(lowered.At(0, 0), TFrameColor::BtnShadow);
    EXPECT_EQ(lowered.At(1, 1), TFrameColor::DkShadow);
    EXPECT_EQ(lowered.At(W - 2, H - 2), TFrameColor::BtnFace);
    EXPECT_EQ(lowered.At(W - 1, H - 1), TFrameColor::BtnHighlight);
    EXPECT_EQ(lowered.At(W - 1, 0), TFrameColor::BtnHighlight);  // the light edge takes the far corners
    EXPECT_EQ(lowered.At(0, H - 1), TFrameColor::BtnHighlight);

    Raster raised{W, H, {}};
    raised.Draw(FrameStrokes(svfsRaised, 0, 0, W, H, 0));
    EXPECT_EQ(raised.At(0, 0), TFrameColor::BtnHighlight);
    EXPECT_EQ(raised.At(1, 1), TFrameColor::BtnFace);
    EXPECT_EQ(raised.At(W - 2, H - 2), TFrameColor::BtnShadow);
    EXPECT_EQ(raised.At(W - 1, H - 1), TFrameColor::DkShadow);

    Raster bump{W, H, {}};
    bump.Draw(FrameStrokes(svfsBump, 0, 0, W, H, 0));
    EXPECT_EQ(bump.At(0, 0), TFrameColor::BtnHighlight);
    EXPECT_EQ(bump.At(W - 1, H - 1), TFrameColor::BtnShadow);

    Raster edge{W, H, {}};
    edge.Draw(FrameStrokes(svfsVertEdge, 0, 0, W, H, 0));
    EXPECT_EQ(edge.At(0, 3), TFrameColor::BtnShadow);
    EXPECT_EQ(edge.At(1, 3), TFrameColor::BtnHighlight);
    EXPECT_EQ(edge.At(W - 2, 3), TFrameColor::BtnShadow);
    EXPECT_EQ(edge.At(W - 1, 3), TFrameColor::BtnHighlight);
}

// The etched group rectangle runs through the middle of the caption line, the caption covers
// it from 8 pixels in, and the rectangle stays inside the window.
TEST(SvFrame, GroupFrameWithAndWithoutCaption)
{
    const int W = 60, H = 40, h = 14;
    Raster r{W, H, {}};
    r.Draw(FrameStrokes(svfsGroup, 0, 0, W, H, h));
    EXPECT_EQ(r.At(0, h / 2 - 1), TFrameColor::BtnShadow);
    EXPECT_EQ(r.At(1, h / 2), TFrameColor::BtnHighlight);
    EXPECT_EQ(r.At(W - 1, H - 1), TFrameColor::BtnHighlight);
    EXPECT_EQ(r.At(W - 2, H - 2), TFrameColor::BtnShadow);
    EXPECT_EQ(r.At(5, 2), TFrameColor::Fill);  // above the line: the background
    EXPECT_EQ(GroupCaptionRect(0, 0, W, H, h), (TCaptionRect{8, 0, W - 10, h}));

    Raster bare{W, H, {}};
    bare.Draw(FrameStrokes(svfsGroup, 0, 0, W, H, 0));
    EXPECT_EQ(bare.At(4, 0), TFrameColor::BtnShadow);  // the line at the very top
    EXPECT_EQ(bare.At(4, 1), TFrameColor::BtnHighlight);
    EXPECT_EQ(GroupCaptionRect(0, 0, W, H, 0).Bottom, 2);
}

TEST(SvFrame, CaptionFormats)
{
    EXPECT_EQ(ClientCaptionFormat(taLeftJustify), DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(ClientCaptionFormat(taRightJustify) & 3, DT_RIGHT);
    EXPECT_EQ(ClientCaptionFormat(taCenter) & 3, DT_CENTER);

    EXPECT_EQ(CaptionTextToDraw("", DT_CALCRECT), " ");
    EXPECT_EQ(CaptionTextToDraw("&", DT_CALCRECT), "& ");
    EXPECT_EQ(CaptionTextToDraw("&", DT_CALCRECT | DT_NOPREFIX), "&");
    EXPECT_EQ(CaptionTextToDraw("", DT_SINGLELINE), "");
    EXPECT_EQ(CaptionTextToDraw("Ab", DT_CALCRECT), "Ab");
}

}  // namespace
