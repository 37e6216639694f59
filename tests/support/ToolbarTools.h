#pragma once
// Where GTK shows a wx toolbar's tools, for tests that click them: wx on GTK cannot tell which
// tool lies where (FindToolForPosition is not implemented there), nor whether the bar put a
// tool into its overflow menu for want of room, so this asks GTK. Also where a window shows on
// the screen once the windows around it have clipped it.
#include <wx/toolbar.h>
#include <wx/toplevel.h>

#include <gtk/gtk.h>

namespace ql::test {

inline GtkToolbar* GtkToolbarOf(wxToolBar* bar)
{
    GtkWidget* widget = bar ? bar->GetHandle() : nullptr;
    if (widget && GTK_IS_BIN(widget) && !GTK_IS_TOOLBAR(widget))
        widget = gtk_bin_get_child(GTK_BIN(widget));  // wx wraps the bar in an event box
    return widget && GTK_IS_TOOLBAR(widget) ? GTK_TOOLBAR(widget) : nullptr;
}

// The part of `rect` (screen pixels) that `w` and every window around it leave visible.
inline wxRect VisiblePart(wxWindow* w, wxRect rect)
{
    for (; w; w = w->GetParent()) {
        if (!w->IsShown())
            return {};
        rect.Intersect(w->IsTopLevel() ? wxRect(w->ClientToScreen(wxPoint(0, 0)), w->GetClientSize())
                                       : w->GetScreenRect());
        if (w->IsTopLevel())
            break;
    }
    return rect;
}

inline wxRect WidgetScreenRect(GtkWidget* widget)
{
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    int x = 0, y = 0, ox = 0, oy = 0;
    if (!gtk_widget_translate_coordinates(widget, top, 0, 0, &x, &y))
        return {};
    gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
    return wxRect(ox + x, oy + y, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget));
}

// The part of a tool: its button, or the arrow that opens a drop-down tool's menu.
enum class ToolPart { Button, Arrow };

// The tool's rectangle on the screen as GTK shows it (of a drop-down tool, the part asked
// for); empty when the bar does not show the tool (hidden, or moved into the overflow menu),
// or when it is clipped at all.
inline wxRect ToolScreenRect(wxToolBar* bar, int toolId, ToolPart part = ToolPart::Button)
{
    GtkToolbar* toolbar = GtkToolbarOf(bar);
    const int pos = bar->GetToolPos(toolId);
    if (!toolbar || pos == wxNOT_FOUND || pos >= gtk_toolbar_get_n_items(toolbar))
        return {};
    GtkWidget* item = GTK_WIDGET(gtk_toolbar_get_nth_item(toolbar, pos));
    if (!gtk_widget_get_mapped(item) || !gtk_widget_get_child_visible(item))
        return {};
    const wxRect whole = WidgetScreenRect(item);
    if (whole.IsEmpty() || VisiblePart(bar, whole) != whole)
        return {};
    const wxToolBarToolBase* tool = bar->FindById(toolId);
    if (!tool || !tool->IsButton() || tool->GetKind() != wxITEM_DROPDOWN)
        return part == ToolPart::Button ? whole : wxRect();
    // wx makes a drop-down tool of a box holding the button, then the arrow.
    GtkWidget* box = gtk_bin_get_child(GTK_BIN(item));
    GList* children = box && GTK_IS_CONTAINER(box) ? gtk_container_get_children(GTK_CONTAINER(box)) : nullptr;
    GList* chosen = part == ToolPart::Button ? children : g_list_last(children);
    const wxRect rect = chosen ? WidgetScreenRect(GTK_WIDGET(chosen->data)) : wxRect();
    g_list_free(children);
    return rect;
}

}  // namespace ql::test
