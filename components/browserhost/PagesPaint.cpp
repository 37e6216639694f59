#include "components/browserhost/PagesPaint.h"

#include <algorithm>

#include "components/browserhost/Grafxes.h"

namespace ql {

void Frame3D(IPainter& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width)
{
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        canvas.FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
        canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
        canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
        canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
        InflateRect(r, -1, -1);
    }
    if (r.IsEmpty())
        r = TRect{r.Left, r.Top, std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

void BevelColors(TBevelCut cut, const SystemPalette& palette, TColor& topLeft, TColor& bottomRight)
{
    topLeft = palette.btnHighlight;
    bottomRight = palette.btnShadow;
    if (cut == TBevelCut::bvLowered)
        std::swap(topLeft, bottomRight);
}

namespace {
template <typename FrameFn>
void WalkBevels(TRect& r, const BevelSettings& b, FrameFn frame)
{
    if (b.BevelOuter != TBevelCut::bvNone && b.BevelOuter != TBevelCut::bvSpace)
        frame(r, b.BevelOuter, b.BevelWidth, false);
    frame(r, TBevelCut::bvNone, b.BorderWidth, true);
    if (b.BevelInner != TBevelCut::bvNone)
        frame(r, b.BevelInner, b.BevelWidth, false);
}
}  // namespace

void DrawBevels(IPainter& canvas, TRect client, const BevelSettings& bevels, TColor color, const SystemPalette& palette)
{
    WalkBevels(client, bevels, [&](TRect& r, TBevelCut cut, int width, bool border) {
        TColor tl = color, br = color;
        if (!border)
            BevelColors(cut, palette, tl, br);
        Frame3D(canvas, r, tl, br, width);
    });
}

TRect BevelContentRect(TRect client, const BevelSettings& bevels)
{
    WalkBevels(client, bevels, [](TRect& r, TBevelCut, int width, bool) {
        InflateRect(r, -width, -width);
        r.Right = std::max(r.Left, r.Right);
        r.Bottom = std::max(r.Top, r.Bottom);
    });
    return client;
}

void DrawColouredTab(ICanvas& canvas, const TabFace& f)
{
    const bool horizontal = f.position == TTabPosition::tpTop || f.position == TTabPosition::tpBottom;
    if (!f.fillGradient || f.hotTrack) {
        canvas.FillRect(f.rect, f.tabColor);
    } else {
        TRect r = f.rect;
        if (f.active) {
            InflateRect(r, -1, 0);
            PaintGradient(canvas, r, clWhite, f.tabColor, horizontal ? 0 : 1);
        } else {
            switch (f.position) {
            case TTabPosition::tpTop:
                InflateRect(r, -1, 1);
                OffsetRect(r, 0, 1);
                break;
            case TTabPosition::tpBottom:
                InflateRect(r, -1, 1);
                OffsetRect(r, 0, -1);
                break;
            case TTabPosition::tpLeft:
                InflateRect(r, 1, 0);
                OffsetRect(r, 1, 0);
                break;
            case TTabPosition::tpRight:
                InflateRect(r, 1, 0);
                OffsetRect(r, -1, 0);
                break;
            }
            PaintGradient(canvas, r, f.tabColor, 0x888888, horizontal ? 0 : 1);
        }
    }

    TRect r = f.rect;
    if (f.images) {
        switch (f.position) {
        case TTabPosition::tpTop:
        case TTabPosition::tpBottom:
            r.Left += f.imageSize.cx + 5;
            break;
        case TTabPosition::tpLeft:
            r.Bottom -= f.imageSize.cy + 5;
            break;
        case TTabPosition::tpRight:
            r.Top += f.imageSize.cy + 5;
            break;
        }
    }
    const TSize text = canvas.TextExtent(f.caption);
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (horizontal) {
        r.Left += (w - text.cx) / 2;
        r.Top += (h - text.cy) / 2;
        if (!f.active)
            OffsetRect(r, 0, f.position == TTabPosition::tpTop ? 2 : -2);
        ClipScope clip(canvas, r);
        canvas.TextOut(r.Left, r.Top, f.caption, f.fontColor, 0);
    } else {
        r.Left += (w - text.cy) / 2;
        r.Top += (h - text.cx) / 2;
        if (f.position == TTabPosition::tpLeft)
            canvas.TextOut(r.Left, r.Top + text.cx, f.caption, f.fontColor, 90);
        else
            canvas.TextOut(r.Left + text.cy, r.Top, f.caption, f.fontColor, 270);
    }

    if (!f.images || f.imageIndex < 0)
        return;
    switch (f.position) {
    case TTabPosition::tpTop:
    case TTabPosition::tpBottom:
        canvas.DrawImage(f.imageIndex, r.Left - f.imageSize.cx - 5, r.Top - 2);
        break;
    case TTabPosition::tpLeft:
        canvas.DrawImage(f.imageIndex, f.active ? r.Left : r.Left + 2, r.Top + text.cx + 5);
        break;
    case TTabPosition::tpRight:
        canvas.DrawImage(f.imageIndex, f.active ? r.Left : r.Left - 2, r.Top - f.imageSize.cy - 5);
        break;
    }
}

void DrawTabEdges(IPainter& canvas, const TRect& outer, TTabPosition position, const SystemPalette& palette)
{
    const bool horizontal = position == TTabPosition::tpTop || position == TTabPosition::tpBottom;
    const int along = horizontal ? outer.Width() : outer.Height();
    const int across = horizontal ? outer.Height() : outer.Width();
    if (along < 4 || across < 3)
        return;
    const bool litOuterEdge = position == TTabPosition::tpTop || position == TTabPosition::tpLeft;
    auto edge = [&](int a0, int c0, int a1, int c1, TColor color) {
        canvas.FillRect(FromCanonical(outer, position, a0, c0, a1, c1), color);
    };
    edge(1, 0, along - 2, 1, litOuterEdge ? palette.btnHighlight : palette.dkShadow);  // far side
    edge(0, 1, 1, across, palette.btnHighlight);                                       // start
    edge(along - 2, 1, along - 1, across, palette.btnShadow);                          // end, inner
    edge(along - 1, 2, along, across, palette.dkShadow);                               // end, outer
}

void DrawDisplayFrame(IPainter& canvas, const TRect& frame, const SystemPalette& palette)
{
    TRect r = frame;
    Frame3D(canvas, r, palette.btnHighlight, palette.dkShadow, 1);
    Frame3D(canvas, r, palette.light, palette.btnShadow, 1);
}

}  // namespace ql
