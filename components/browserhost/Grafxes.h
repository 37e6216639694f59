#pragma once
// Two-colour gradients in six styles and bitmap tiling, drawn through an IPainter.
#include <functional>

#include "components/browserhost/Painter.h"

namespace ql {

class TBitmap;

// a * b / c with a 64-bit product, truncated toward zero. A zero divisor gives 0 and a result
// beyond the int range is clamped, so no caller can crash on a degenerate rectangle.
int ScaleInt(int a, int b, int c);

// The colour of gradient step `step` of `divisor` between two RGB colours.
TColor GradientStepColor(TColor fromColor, TColor toColor, int step, int divisor);

// Paints `rect` from `fromColor` to `toColor` (RGB values):
// 0 left to right, 1 top to bottom, 2 ellipses from the outside to the centre, 3 shrinking
// rectangles from the outside to the centre, 4 from top and bottom edges to the middle row,
// 5 from left and right edges to the middle column. Other styles and empty rectangles paint
// nothing.
void PaintGradient(IPainter& canvas, const TRect& rect, TColor fromColor, TColor toColor, int style);

// Calls `tile(x, y, w, h)` for every copy of a bitmapWidth x bitmapHeight picture laid
// edge to edge over `rect` from its top-left corner, rows outer, columns inner; tiles at the
// right and bottom edge are cut to the rectangle. An empty picture or rectangle has no tiles.
void ForEachTile(const TRect& rect, int bitmapWidth, int bitmapHeight,
                 const std::function<void(int x, int y, int w, int h)>& tile);

// Tiles the bitmap over `rect` with the painter clipped to `rect` for the copies.
void TileBitmap(IPainter& dc, const TRect& rect, const TBitmap& bitmap);

}  // namespace ql
