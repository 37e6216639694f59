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

TabLayout LayoutTabs(const TabLayoutInput& in)
{
    TabLayout out;
    const bool horizontal = Horizontal(in.position);
    const int alongLen = horizontal ? in.client.Width() : in.client.Height();
    const int acrossLen = horizontal ? in.client.Height() : in.client.Width();
    const int n = int(in.captions.size());
    const int active = (in.activeTab >= 0 && in.activeTab < n) ? in.activeTab : -1;

    // Tab sizes along and across the row.
    const int imageAlong = in.images ? (horizontal ? in.imageSize.cx : in.imageSize.cy) + kImageGap : 0;
    const int imageAcross = in.images ? (horizontal ? in.imageSize.cy : in.imageSize.cx) : 0;
    int content = imageAcross;
    std::vector<int> length(std::size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        content = std::max(content, in.captions[std::size_t(i)].cy);
        length[std::size_t(i)] = in.captions[std::size_t(i)].cx + 2 * kPadAlong + imageAlong;
    }
    const int rowHeight = content + 2 * kPadAcross + 1 + kActiveGrowth;
    const int available = std::max(0, alongLen - 2 * kMargin);

    // Rows: wrap when several are allowed, else one row scrolled so the active tab is whole.
    std::vector<int> rowOf(std::size_t(n), 0);
    int first = 0;
    int rows = n > 0 ? 1 : 0;
    if (in.multiLine) {
        int used = 0;
        for (int i = 0; i < n; ++i) {
            if (used > 0 && used + length[std::size_t(i)] > available) {
                ++rows;
                used = 0;
            }
            rowOf[std::size_t(i)] = rows - 1;
            used += length[std::size_t(i)];
        }
        if (rows > 1) {
            for (int r = 0; r < rows; ++r) {
                std::vector<int> members;
                int used = 0;
                for (int i = 0; i < n; ++i)
                    if (rowOf[std::size_t(i)] == r) {
                        members.push_back(i);
                        used += length[std::size_t(i)];
                    }
                const int extra = available - used;
                if (extra <= 0 || members.empty())
                    continue;
                const int each = extra / int(members.size()), rest = extra % int(members.size());
                for (std::size_t k = 0; k < members.size(); ++k)
                    length[std::size_t(members[k])] += each + (int(k) < rest ? 1 : 0);
            }
        }
    } else if (active > 0) {
        int span = 0;
        for (int i = 0; i <= active; ++i)
            span += length[std::size_t(i)];
        while (first < active && span > available) {
            span -= length[std::size_t(first)];
            ++first;
        }
    }

    const int activeRow = active >= 0 ? rowOf[std::size_t(active)] : 0;
    const int band = rows * rowHeight;
    out.rows = rows;
    out.tabs.resize(std::size_t(n));
    std::vector<int> cursor(std::size_t(std::max(rows, 1)), kMargin);
    for (int i = 0; i < n; ++i) {
        TabPlacement& t = out.tabs[std::size_t(i)];
        const int r = rowOf[std::size_t(i)];
        const int slot = (r - activeRow + rows) % rows;
        t.row = slot;
        if (i < first)
            continue;
        const int a0 = cursor[std::size_t(r)];
        const int a1 = a0 + length[std::size_t(i)];
        cursor[std::size_t(r)] = a1;
        const int c0 = band - (slot + 1) * rowHeight;
        const int c1 = band - slot * rowHeight;
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

    out.frame = FromCanonical(in.client, in.position, 0, std::min(band, acrossLen), alongLen, acrossLen);
    int l = 4, t = 6, r = 4, b = 4;
    switch (in.position) {
    case TTabPosition::tpTop: t = 4; break;
    case TTabPosition::tpBottom: b = 2; break;
    case TTabPosition::tpLeft: l = 2; break;
    case TTabPosition::tpRight: r = 2; break;
    }
    TRect d{out.frame.Left + l, out.frame.Top + t, out.frame.Right - r, out.frame.Bottom - b};
    d.Right = std::max(d.Left, d.Right);
    d.Bottom = std::max(d.Top, d.Bottom);
    out.display = d;
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
