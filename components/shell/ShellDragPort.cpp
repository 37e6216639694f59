#include "components/shell/ShellDragPort.h"

namespace ql::shellctl {

TScrollStep DragAutoScrollStep(int x, int y, int width, int height)
{
    TScrollStep step;
    step.dx = x < kScrollZoneX ? -1 : x > width - kScrollZoneX ? 1 : 0;
    step.dy = y < kScrollZoneY ? -1 : y > height - kScrollZoneY ? 1 : 0;
    return step;
}

void TDragAutoScroll::Over(ShellDragPort& port, com::POINTL pt, com::DWORD& effect)
{
    effect |= com::DROPEFFECT_SCROLL;
    const std::uint32_t now = port.TickCount();
    // Unsigned: a clock that wrapped since the last check still counts forward.
    if (now - lastTick_ <= kScrollInterval)
        return;
    int x = 0, y = 0, width = 0, height = 0;
    port.ClientGeometry(pt, x, y, width, height);
    const TScrollStep step = DragAutoScrollStep(x, y, width, height);
    if (step.dx || step.dy)
        port.ScrollOneStep(step.dx, step.dy);
    lastTick_ = now;
}

}  // namespace ql::shellctl
