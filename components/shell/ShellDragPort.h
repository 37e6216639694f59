#pragma once
// What the shell list and the shell tree need of their window to drag and to be dropped on,
// apart from the item under a point and its highlight (those are the view's own): the window's
// geometry, scrolling, the clock, the drag loop and the drop-target registration. Both
// controls share one implementation of it (ShellDragPort_wx) and one auto-scroll rule.
#include <cstdint>

#include "platform/core/com/DragDrop.h"

namespace ql::shellctl {

class ShellDragPort {
public:
    virtual ~ShellDragPort() = default;

    // `pt` (screen coordinates) in client coordinates, and the client size.
    virtual void ClientGeometry(com::POINTL pt, int& x, int& y, int& width, int& height) const = 0;
    // One line along each axis with a step (-1, 0 or 1); only along a bar that has a range.
    virtual void ScrollOneStep(int dx, int dy) = 0;
    virtual void RepaintNow() = 0;
    virtual std::uint32_t TickCount() const = 0;  // milliseconds, wrapping
    virtual com::HRESULT DoDragDrop(com::IDataObject* data, com::IDropSource* source, com::DWORD okEffects,
                                    com::DWORD* effect) = 0;
    virtual bool RegisterDropTarget(com::IDropTarget* target) = 0;
    virtual void RevokeDropTarget() = 0;
};

// Auto-scroll during a drag: at most once per 100 ms, within 26 pixels of the left and right
// edges and 20 of the top and bottom.
inline constexpr std::uint32_t kScrollInterval = 100;
inline constexpr int kScrollZoneX = 26;
inline constexpr int kScrollZoneY = 20;

// The auto-scroll step during a drag over a client point: -1, 0 or 1 along each axis.
struct TScrollStep {
    int dx = 0, dy = 0;
    friend bool operator==(const TScrollStep&, const TScrollStep&) = default;
};
TScrollStep DragAutoScrollStep(int x, int y, int width, int height);

// The auto-scroll of one control while something is dragged over it.
class TDragAutoScroll {
public:
    // At drag-enter: the interval counts from now.
    void Start(const ShellDragPort& port) { lastTick_ = port.TickCount(); }
    // At drag-over a screen point: once more than the interval has passed since the last check,
    // one step when the point is near an edge; the check counts whether or not it scrolled.
    // The effect always tells the source that the control may scroll (DROPEFFECT_SCROLL).
    void Over(ShellDragPort& port, com::POINTL pt, com::DWORD& effect);

private:
    std::uint32_t lastTick_ = 0;
};

}  // namespace ql::shellctl
