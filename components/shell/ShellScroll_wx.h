#pragma once
// Scrolling a shell control by steps, as its mouse-wheel handler does.
#include <wx/event.h>
#include <wx/window.h>

namespace ql::shellctl {

enum class ScrollCommand { LineUp, LineDown, PageUp, PageDown };

// Sends the control one scroll command for bar 0 (horizontal) or 1 (vertical), only when the
// bar has something to scroll (its range is larger than the visible part).
void ScrollOneStep(wxWindow* control, int bar, ScrollCommand command);
// One wheel notch (WheelScrollOf decides pages or lines); always true.
bool ScrollByWheel(wxWindow* control, int bar, ScrollCommand lineCommand, ScrollCommand pageCommand,
                   int wheelScrollLines);
// A wheel event on bar 0 or 1, every notch of it, by lines or by pages as the event asks.
void ScrollByWheelEvent(wxWindow* control, int bar, const wxMouseEvent& event);

}  // namespace ql::shellctl
