#pragma once
// Scrolling a shell control by steps, as its mouse-wheel handler does.
#include <wx/window.h>

namespace ql::shellctl {

enum class ScrollCommand { LineUp, LineDown, PageUp, PageDown };

// Sends the control one scroll command for bar 0 (horizontal) or 1 (vertical), only when the
// bar has something to scroll (its range is larger than the visible part).
void ScrollOneStep(wxWindow* control, int bar, ScrollCommand command);
// One wheel notch (WheelScrollOf decides pages or lines); always true.
bool ScrollByWheel(wxWindow* control, int bar, ScrollCommand lineCommand, ScrollCommand pageCommand,
                   int wheelScrollLines);

}  // namespace ql::shellctl
