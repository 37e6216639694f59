#pragma once
// The drag source of the helper's chromium-* modes, dragging the way Chromium does on X11: its
// own XDND source rather than the toolkit's. What matters for a drop target is how it finds the
// window under the pointer: the topmost client of the window manager's stacking list (or of the
// root, without a manager) whose outer bounds, input shape and bounding shape hold the point,
// with each shape read once per drag and read again only when the window reports that this
// very shape changed. A target that grows during the drag without giving itself a bounding
// shape of its new size therefore keeps, for Chromium, the size it had when the drag found it.
#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace ql::test {

struct ChromiumDragHooks {
    // Fills the selection data of a request for the target it names.
    std::function<void(GtkSelectionData*)> dataGet;
    // "begin" when the drag starts, "end" when it is over (dropped, or let go elsewhere).
    std::function<void(const char*)> report;
    // When set: the target has answered the position (x, y).
    std::function<void(int x, int y, bool accepted)> answered;
};

// Makes `widget` a source of drags that offer `targets`, started by moving the pointer with the
// first button held. Lives as long as the program.
void MakeChromiumDragSource(GtkWidget* widget, const std::vector<std::string>& targets, ChromiumDragHooks hooks);

}  // namespace ql::test
