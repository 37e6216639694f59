#pragma once
// Geometry of the page control: where the tabs go (one row or several, on any side), which tab
// a point hits, the border frame and the rectangle the pages fill.
#include <vector>

#include "components/browserhost/Painter.h"

namespace ql {

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

namespace tabmetrics {
constexpr int kPadAlong = 8;      // caption to tab edge, along the row
constexpr int kPadAcross = 3;     // caption to tab edge, across the row
constexpr int kMargin = 2;        // first tab to the control's edge
constexpr int kActiveGrowth = 2;  // the active tab stands out this much on each side
constexpr int kImageGap = 5;      // image to caption
}  // namespace tabmetrics

struct TabLayoutInput {
    TRect client;
    TTabPosition position = TTabPosition::tpTop;
    bool multiLine = false;
    std::vector<TSize> captions;  // caption extent of each visible tab, in tab order
    bool images = false;          // an image list is set
    TSize imageSize;
    int activeTab = -1;  // index among the visible tabs, -1 when none
};

struct TabPlacement {
    TRect outer;  // the tab with its edges; empty when scrolled out of a single row
    TRect item;   // inside the edges: the rectangle handed to the tab drawing
    int row = 0;  // 0 is the row next to the pages
};

struct TabLayout {
    std::vector<TabPlacement> tabs;
    int rows = 0;
    TRect frame;    // the area next to the tabs; the control's border runs along its edge
    TRect display;  // where the active page goes
};

// Maps a rectangle given along and across a tab side to window coordinates. Along runs from
// the left (top and bottom tabs) or the top (side tabs) of `box`; across runs inward from the
// box's edge on `side`.
TRect FromCanonical(const TRect& box, TTabPosition side, int along0, int across0, int along1, int across1);

// Lays the tabs out: a single row scrolls so that the active tab is whole; several rows are
// justified and the row with the active tab moves next to the pages. With no visible tab
// there is no row and the frame is the whole client area.
TabLayout LayoutTabs(const TabLayoutInput& in);

// The tab under (x, y), the active one first because it overlaps its neighbours; -1 for none.
int TabAtPoint(const TabLayout& layout, int activeTab, int x, int y);

// The page rectangle of a control that may hide its border: with `borderInvisible` it grows
// on every side until the page covers the border (2 pixels on the side with the tabs, 4 on the
// others; 4 and 6 at the top); otherwise the extra top margin of a control whose tabs are not
// on top is taken back (2 pixels). The same whether or not any tab is visible.
TRect AdjustPageRect(TRect display, TTabPosition position, bool borderInvisible);

}  // namespace ql
