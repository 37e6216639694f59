#include "components/browserhost/Grafxes.h"

#include <climits>
#include <cstdint>

#include "components/browserhost/Bitmap.h"

namespace ql {

int ScaleInt(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const std::int64_t q = std::int64_t(a) * std::int64_t(b) / std::int64_t(c);
    if (q > INT_MAX)
        return INT_MAX;
    if (q < INT_MIN)
        return INT_MIN;
    return int(q);
}

TColor GradientStepColor(TColor fromColor, TColor toColor, int step, int divisor)
{
    auto channel = [&](int shift) {
        const int from = int((fromColor >> shift) & 0xFF);
        const int delta = int((toColor >> shift) & 0xFF) - from;
        return TColor((from + ScaleInt(step, delta, divisor)) & 0xFF) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

namespace {

void HorizontalBands(IPainter& canvas, const TRect& r, TColor from, TColor to)
{
    const int w = r.Width();
    for (int i = 0; i <= 255; ++i) {
        const TRect band{r.Left + ScaleInt(i, w, 256), r.Top, r.Left + ScaleInt(i + 1, w, 256), r.Bottom};
        if (!band.IsEmpty())
            canvas.FillRect(band, GradientStepColor(from, to, i, 255));
    }
}

void VerticalBands(IPainter& canvas, const TRect& r, TColor from, TColor to)
{
    const int h = r.Height();
    for (int i = 0; i <= 255; ++i) {
        const TRect band{r.Left, r.Top + ScaleInt(i, h, 256), r.Right, r.Top + ScaleInt(i + 1, h, 256)};
        if (!band.IsEmpty())
            canvas.FillRect(band, GradientStepColor(from, to, i, 255));
    }
}

void Ellipses(IPainter& canvas, const TRect& r, TColor from, TColor to)
{
    const int w = r.Width(), h = r.Height();
    const int a = w / 3, b = h / 3;
    const std::int64_t spanX = std::int64_t(w) + 2 * a, spanY = std::int64_t(h) + 2 * b;
    ClipScope clip(canvas, r);
    for (int i = 0; i <= 50; ++i) {
        const int dx = int(i * spanX / 100), dy = int(i * spanY / 100);
        canvas.FillEllipse(TRect{r.Left - a + dx, r.Top - b + dy, r.Right + a - dx, r.Bottom + b - dy},
                           GradientStepColor(from, to, i, 50));
    }
}

void ShrinkingRects(IPainter& canvas, const TRect& r, TColor from, TColor to)
{
    const int w = r.Width(), h = r.Height();
    double x1 = 0, x2 = w + 2.0, y1 = 0, y2 = h + 2.0;
    const double sx = w / 2.0 / 255.0, sy = h / 2.0 / 255.0;
    for (int i = 0; i <= 255; ++i) {
        x1 += sx;
        x2 -= sx;
        y1 += sy;
        y2 -= sy;
        const TRect box{r.Left + int(x1), r.Top + int(y1), std::min(r.Right, r.Left + int(x2)),
                        std::min(r.Bottom, r.Top + int(y2))};
        if (!box.IsEmpty())
            canvas.FillRect(box, GradientStepColor(from, to, i, 255));
    }
}

void MirroredRows(IPainter& canvas, const TRect& r, TColor from, TColor to)
{
    const int half = r.Height() / 2;
    if (half == 0)
        return;
    for (int i = 0; i <= half; ++i) {
        const TColor c = GradientStepColor(from, to, i, half);
        canvas.FillRect(TRect{r.Left, r.Top + i, r.Right, r.Top + i + 1}, c);
        canvas.FillRect(TRect{r.Left, r.Bottom - 1 - i, r.Right, r.Bottom - i}, c);
    }
}

void MirroredColumns(IPainter& canvas, const TRect& r, TColor from, TColor to)
{
    const int half = r.Width() / 2;
    if (half == 0)
        return;
    for (int i = 0; i <= half; ++i) {
        const TColor c = GradientStepColor(from, to, i, half);
        canvas.FillRect(TRect{r.Left + i, r.Top, r.Left + i + 1, r.Bottom}, c);
        canvas.FillRect(TRect{r.Right - 1 - i, r.Top, r.Right - i, r.Bottom}, c);
    }
}

}  // namespace

void PaintGradient(IPainter& canvas, const TRect& rect, TColor fromColor, TColor toColor, int style)
{
    if (rect.IsEmpty())
        return;
    fromColor &= 0xFFFFFF;
    toColor &= 0xFFFFFF;
    switch (style) {
    case 0:
        HorizontalBands(canvas, rect, fromColor, toColor);
        break;
    case 1:
        VerticalBands(canvas, rect, fromColor, toColor);
        break;
    case 2:
        Ellipses(canvas, rect, fromColor, toColor);
        break;
    case 3:
        ShrinkingRects(canvas, rect, fromColor, toColor);
        break;
    case 4:
        MirroredRows(canvas, rect, fromColor, toColor);
        break;
    case 5:
        MirroredColumns(canvas, rect, fromColor, toColor);
        break;
    default:
        break;
    }
}

void ForEachTile(const TRect& rect, int bitmapWidth, int bitmapHeight,
                 const std::function<void(int x, int y, int w, int h)>& tile)
{
    if (bitmapWidth <= 0 || bitmapHeight <= 0 || rect.IsEmpty())
        return;
    // Counting from the rectangle's own size (not its far edge) keeps rectangles away from the
    // origin from producing rows and columns that would all lie outside it.
    for (int y = rect.Top; y < rect.Bottom; y += bitmapHeight) {
        const int h = std::min(bitmapHeight, rect.Bottom - y);
        for (int x = rect.Left; x < rect.Right; x += bitmapWidth) {
            tile(x, y, std::min(bitmapWidth, rect.Right - x), h);
            if (rect.Right - x <= bitmapWidth)
                break;  // the step would leave the rectangle (and might overflow)
        }
        if (rect.Bottom - y <= bitmapHeight)
            break;
    }
}

void TileBitmap(IPainter& dc, const TRect& rect, const TBitmap& bitmap)
{
    if (bitmap.Empty() || rect.IsEmpty())
        return;
    ClipScope clip(dc, rect);
    ForEachTile(rect, bitmap.Width(), bitmap.Height(),
                [&](int x, int y, int w, int h) { dc.Blit(x, y, w, h, bitmap, 0, 0); });
}

}  // namespace ql
