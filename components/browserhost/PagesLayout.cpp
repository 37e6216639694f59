#include "components/browserhost/PagesLayout.h"

#include <algorithm>

namespace ql {

using namespace tabmetrics;

namespace {
bool Horizontal(TTabPosition p) { return p == TTabPosition::tpTop || p == TTabPosition::tpBottom; }
}  // namespace

TRect FromCanonical(const TRect& box, TTabPosition side, int along0, int across0, int along1, int across1)
{
    switch (side) {
    case TTabPosition::tpTop:
        return TRect{box.Left + along0, box.Top + across0, box.Left + along1, box.Top + across1};
    case TTabPosition::tpBottom:
        return TRect{box.Left + along0, box.Bottom - across1, box.Left + along1, box.Bottom - across0};
    case TTabPosition::tpLeft:
        return TRect{box.Left + across0, box.Top + along0, box.Left + across1, box.Top + along1};
    case TTabPosition::tpRight:
        return TRect{box.Right - across1, box.Top + along0, box.Right - across0, box.Top + along1};
    }
    return TRect{};
}

namespace {

// Each tab's length along the row, and the height of the tallest content (caption or image).
std::vector<int> TabLengths(const TabLayoutInput& in, bool horizontal, int& content)
{
    const int imageAlong = in.images ? (horizontal ? in.imageSize.cx : in.imageSize.cy) + kImageGap : 0;
    content = in.images ? (horizontal ? in.imageSize.cy : in.imageSize.cx) : 0;
    std::vector<int> length(in.captions.size(), 0);
    for (std::size_t i = 0; i < in.captions.size(); ++i) {
        content = std::max(content, in.captions[i].cy);
        length[i] = in.captions[i].cx + 2 * kPadAlong + imageAlong;
    }
    return length;
}

// Wraps the tabs into rows of `available` length (a tab longer than that gets a row of its
// own); gives the number of rows.
int WrapRows(const std::vector<int>& length, int available, std::vector<int>& rowOf)
{
    int rows = length.empty() ? 0 : 1;
    int used = 0;
    for (std::size_t i = 0; i < length.size(); ++i) {
        if (used > 0 && used + length[i] > available) {
            ++rows;
            used = 0;
        }
        rowOf[i] = rows - 1;
        used += length[i];
    }
    return rows;
}

// Several rows fill the whole length: each row's spare room is shared out among its tabs.
void StretchRows(std::vector<int>& length, const std::vector<int>& rowOf, int rows, int available)
{
    for (int r = 0; r < rows; ++r) {
        std::vector<std::size_t> members;
        int used = 0;
        for (std::size_t i = 0; i < length.size(); ++i)
            if (rowOf[i] == r) {
                members.push_back(i);
                used += length[i];
            }
        const int extra = available - used;
        if (extra <= 0 || members.empty())
            continue;
        const int each = extra / int(members.size()), rest = extra % int(members.size());
        for (std::size_t k = 0; k < members.size(); ++k)
            length[members[k]] += each + (int(k) < rest ? 1 : 0);
    }
}

// One row scrolled so the active tab is whole: the first tab shown.
int FirstShownTab(const std::vector<int>& length, int active, int available)
{
    int first = 0;
    int span = 0;
    for (int i = 0; i <= active; ++i)
        span += length[std::size_t(i)];
    while (first < active && span > available) {
        span -= length[std::size_t(first)];
        ++first;
    }
    return first;
}

struct TabRows {
    std::vector<int> length;  // along the row, per tab
    std::vector<int> rowOf;   // per tab
    int rows = 0;
    int first = 0;  // the first tab shown (the tabs before it are scrolled out)
    int rowHeight = 0;
};

// Places the tabs row by row; the active tab's row lies next to the pages, and the active tab
// stands out by kActiveGrowth on every side but the pages'.
void PlaceTabs(const TabLayoutInput& in, const TabRows& rows, int active, TabLayout& out)
{
    const int n = int(rows.length.size());
    const int activeRow = active >= 0 ? rows.rowOf[std::size_t(active)] : 0;
    const int band = rows.rows * rows.rowHeight;
    out.tabs.resize(std::size_t(n));
    std::vector<int> cursor(std::size_t(std::max(rows.rows, 1)), kMargin);
    for (int i = 0; i < n; ++i) {
        TabPlacement& t = out.tabs[std::size_t(i)];
        const int r = rows.rowOf[std::size_t(i)];
        const int slot = (r - activeRow + rows.rows) % rows.rows;
        t.row = slot;
        if (i < rows.first)
            continue;
        const int a0 = cursor[std::size_t(r)];
        const int a1 = a0 + rows.length[std::size_t(i)];
        cursor[std::size_t(r)] = a1;
        const int c0 = band - (slot + 1) * rows.rowHeight;
        const int c1 = band - slot * rows.rowHeight;
        int along0 = a0, along1 = a1, across0 = c0 + kActiveGrowth, across1 = c1;
        if (i == active) {
            along0 -= kActiveGrowth;
            along1 += kActiveGrowth;
            across0 = c0;
            across1 = c1 + kActiveGrowth;
        }
        t.outer = FromCanonical(in.client, in.position, along0, across0, along1, across1);
        // Inside the edges: one line at the start of the row direction and at the far side,
        // two at the end of the row direction; open toward the pages.
        t.item = FromCanonical(t.outer, in.position, 1, 1, (along1 - along0) - 2, across1 - across0);
    }
}

// The pages' area inside the frame's border, thinner on the tabs' side.
TRect DisplayRect(const TRect& frame, TTabPosition position)
{
    int l = 4, t = 6, r = 4, b = 4;
    switch (position) {
    case TTabPosition::tpTop:
        t = 4;
        break;
    case TTabPosition::tpBottom:
        b = 2;
        break;
    case TTabPosition::tpLeft:
        l = 2;
        break;
    case TTabPosition::tpRight:
        r = 2;
        break;
    }
    TRect d{frame.Left + l, frame.Top + t, frame.Right - r, frame.Bottom - b};
    d.Right = std::max(d.Left, d.Right);
    d.Bottom = std::max(d.Top, d.Bottom);
    return d;
}

}  // namespace

TabLayout LayoutTabs(const TabLayoutInput& in)
{
    TabLayout out;
    const bool horizontal = Horizontal(in.position);
    const int alongLen = horizontal ? in.client.Width() : in.client.Height();
    const int acrossLen = horizontal ? in.client.Height() : in.client.Width();
    const int n = int(in.captions.size());
    const int active = (in.activeTab >= 0 && in.activeTab < n) ? in.activeTab : -1;

    TabRows rows;
    int content = 0;
    rows.length = TabLengths(in, horizontal, content);
    rows.rowHeight = content + 2 * kPadAcross + 1 + kActiveGrowth;
    const int available = std::max(0, alongLen - 2 * kMargin);

    // Rows: wrap when several are allowed, else one row scrolled so the active tab is whole.
    rows.rowOf.assign(std::size_t(n), 0);
    rows.rows = n > 0 ? 1 : 0;
    if (in.multiLine) {
        rows.rows = WrapRows(rows.length, available, rows.rowOf);
        if (rows.rows > 1)
            StretchRows(rows.length, rows.rowOf, rows.rows, available);
    } else if (active > 0) {
        rows.first = FirstShownTab(rows.length, active, available);
    }

    out.rows = rows.rows;
    PlaceTabs(in, rows, active, out);
    const int band = rows.rows * rows.rowHeight;
    out.frame = FromCanonical(in.client, in.position, 0, std::min(band, acrossLen), alongLen, acrossLen);
    out.display = DisplayRect(out.frame, in.position);
    return out;
}

int TabAtPoint(const TabLayout& layout, int activeTab, int x, int y)
{
    const int n = int(layout.tabs.size());
    if (activeTab >= 0 && activeTab < n && layout.tabs[std::size_t(activeTab)].outer.Contains(x, y))
        return activeTab;
    for (int i = 0; i < n; ++i)
        if (layout.tabs[std::size_t(i)].outer.Contains(x, y))
            return i;
    return -1;
}

TRect AdjustPageRect(TRect display, TTabPosition position, bool borderInvisible)
{
    if (borderInvisible) {
        display.Left -= position == TTabPosition::tpLeft ? 2 : 4;
        display.Right += position == TTabPosition::tpRight ? 2 : 4;
        display.Top -= position == TTabPosition::tpTop ? 4 : 6;
        display.Bottom += position == TTabPosition::tpBottom ? 2 : 4;
    } else if (position != TTabPosition::tpTop) {
        display.Top -= 2;
    }
    return display;
}

}  // namespace ql
