#pragma once
// Where a toplevel window is for GTK's drop handling (the root position GDK keeps for it) and
// for the X server. Under a reparenting window manager the two differ when the toolkit never
// heard where the window went, and GTK then refuses every drop on it. Include it last: the X11
// headers' macros clash with names in other headers.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <wx/window.h>

#include <ostream>

namespace ql::test {

struct GdkPlacement {
    wxPoint stored;  // GDK's copy
    wxPoint server;  // the X server's root position of the window
    bool Agrees(wxPoint at) const { return stored == at && server == at; }
};

inline GdkPlacement PlacementOf(wxWindow* toplevel)
{
    GdkPlacement p;
    GdkWindow* window = toplevel ? gtk_widget_get_window(toplevel->GetHandle()) : nullptr;
    if (!window)
        return p;
    gdk_window_get_position(window, &p.stored.x, &p.stored.y);
    ::Window child = 0;
    XTranslateCoordinates(GDK_WINDOW_XDISPLAY(window), GDK_WINDOW_XID(window),
                          DefaultRootWindow(GDK_WINDOW_XDISPLAY(window)), 0, 0, &p.server.x, &p.server.y, &child);
    return p;
}

inline std::ostream& operator<<(std::ostream& out, const GdkPlacement& p)
{
    return out << "GDK (" << p.stored.x << ", " << p.stored.y << "), X server (" << p.server.x << ", " << p.server.y
               << ")";
}

}  // namespace ql::test
