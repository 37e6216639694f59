#pragma once
// What the page control and its sheets draw: bevelled frames, the coloured tab faces with
// their captions and images, the tab edges and the control's border.
#include <string>

#include "components/browserhost/PagesLayout.h"
#include "components/browserhost/Painter.h"

namespace ql {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

struct BevelSettings {
    TBevelCut BevelInner = TBevelCut::bvRaised;
    TBevelCut BevelOuter = TBevelCut::bvLowered;
    int BevelWidth = 1;
    int BorderWidth = 0;
};

// Draws a frame `width` lines wide just inside `r`, top and left in `topLeft`, bottom and right
// in `bottomRight`, and shrinks `r` by the width.
void Frame3D(IPainter& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width);

// Highlight above and left, shadow below and right; swapped for a lowered cut.
void BevelColors(TBevelCut cut, const SystemPalette& palette, TColor& topLeft, TColor& bottomRight);

// The outer bevel (none for bvNone and bvSpace), a border of `color` (RGB) BorderWidth wide,
// then the inner bevel (none for bvNone only) inside `client`.
void DrawBevels(IPainter& canvas, TRect client, const BevelSettings& bevels, TColor color,
                const SystemPalette& palette);
// What DrawBevels leaves inside its frames: where a sheet's child controls go.
TRect BevelContentRect(TRect client, const BevelSettings& bevels);

// Everything one tab face depends on; colours are RGB values.
struct TabFace {
    TRect rect;  // the tab's item rectangle
    bool active = false;
    TTabPosition position = TTabPosition::tpTop;
    TColor tabColor = 0;
    TColor fontColor = 0;
    bool fillGradient = false;
    bool hotTrack = false;
    std::string caption;
    bool images = false;  // the control has an image list
    TSize imageSize;
    int imageIndex = -1;  // the sheet's image; negative draws none
};

// Fills the face (plainly, or as a gradient toward white or grey when asked and not hot
// tracking), then the caption (turned for side tabs) and the image. The canvas font must
// already be the sheet's.
void DrawColouredTab(ICanvas& canvas, const TabFace& face);

// The edges of a tab around its outer rectangle, lit from the top left, open toward the pages.
void DrawTabEdges(IPainter& canvas, const TRect& outer, TTabPosition position, const SystemPalette& palette);

// The control's border: two lines raised around `frame`. The active tab, drawn afterwards,
// reaches over it so that its face runs into the page.
void DrawDisplayFrame(IPainter& canvas, const TRect& frame, const SystemPalette& palette);

}  // namespace ql
