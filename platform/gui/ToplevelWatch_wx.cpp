#include "platform/gui/ToplevelWatch_wx.h"

#include "platform/core/ErrorLog.h"

#include <gtk/gtk.h>
#include <wx/toplevel.h>
// After the toolkit's headers: Xlib's macros (None, Status ...) would clash with names there.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ql::web {

namespace {

enum class Moment { Activated, Shown, Hidden };

// The toolkit's emission hooks are per signal and process; one set serves every watch.
std::vector<ToplevelWatch*>& Watches()
{
    static std::vector<ToplevelWatch*> w;
    return w;
}

template <Moment M>
gboolean OnSignal(GSignalInvocationHint*, guint count, const GValue* values, gpointer)
{
    GObject* object = count > 0 ? static_cast<GObject*>(g_value_get_object(&values[0])) : nullptr;
    if (!object || !GTK_IS_WINDOW(object) || !gtk_widget_is_toplevel(GTK_WIDGET(object)))
        return TRUE;
    GtkWindow* window = GTK_WINDOW(object);
    // A watch may go (or come) while another one's callback runs.
    for (ToplevelWatch* watch : std::vector<ToplevelWatch*>(Watches())) {
        if (std::find(Watches().begin(), Watches().end(), watch) == Watches().end())
            continue;
        const auto& callback = M == Moment::Activated ? watch->OnActivated
                               : M == Moment::Shown   ? watch->OnShown
                                                      : watch->OnHidden;
        // Nothing may unwind through the toolkit's signal emission.
        if (callback)
            GuardHandler("window watch", [&] { callback(window); });
    }
    return TRUE;  // stays installed
}

// The active window the window manager announces on the root window; 0 when none or unreadable.
unsigned long ActiveWindow(Display* dpy, Window root, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    unsigned long active = 0;
    if (XGetWindowProperty(dpy, root, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
            Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data)
        active = reinterpret_cast<unsigned long*>(data)[0];
    if (data)
        XFree(data);
    return active;
}

GdkFilterReturn OnRootEvent(GdkXEvent* xevent, GdkEvent*, gpointer data)
{
    const auto* e = static_cast<const XEvent*>(xevent);
    const Atom property = static_cast<Atom>(reinterpret_cast<std::uintptr_t>(data));
    if (e->type != PropertyNotify || e->xproperty.atom != property)
        return GDK_FILTER_CONTINUE;
    const unsigned long active = ActiveWindow(e->xproperty.display, e->xproperty.window, property);
    // The program's own windows are the toolkit's, and come as its focus changes.
    if (active == 0 || gdk_x11_window_lookup_for_display(gdk_display_get_default(), active))
        return GDK_FILTER_CONTINUE;
    for (ToplevelWatch* watch : std::vector<ToplevelWatch*>(Watches())) {
        if (std::find(Watches().begin(), Watches().end(), watch) == Watches().end() || !watch->OnOtherProgramActivated)
            continue;
        // Nothing may unwind through the toolkit's event dispatch.
        GuardHandler("window watch", [&] { watch->OnOtherProgramActivated(active); });
    }
    return GDK_FILTER_CONTINUE;
}

// Another program's window becoming the active one is seen where the window manager says so:
// the root window's _NET_ACTIVE_WINDOW.
void WatchActiveWindow()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return;
    Display* dpy = GDK_DISPLAY_XDISPLAY(display);
    const Window root = DefaultRootWindow(dpy);
    XWindowAttributes attrs{};
    if (!XGetWindowAttributes(dpy, root, &attrs))
        return;
    XSelectInput(dpy, root, attrs.your_event_mask | PropertyChangeMask);  // what the toolkit chose stays
    const Atom property = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    gdk_window_add_filter(gdk_get_default_root_window(), &OnRootEvent,
                          reinterpret_cast<gpointer>(static_cast<std::uintptr_t>(property)));
}

void InstallHooks()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    WatchActiveWindow();
    // Each class must exist before its signals can be looked up.
    g_type_class_unref(g_type_class_ref(GTK_TYPE_WINDOW));
    g_signal_add_emission_hook(g_signal_lookup("focus-in-event", GTK_TYPE_WIDGET), 0, &OnSignal<Moment::Activated>,
                               nullptr, nullptr);
    g_signal_add_emission_hook(g_signal_lookup("map", GTK_TYPE_WIDGET), 0, &OnSignal<Moment::Shown>, nullptr, nullptr);
    g_signal_add_emission_hook(g_signal_lookup("unmap", GTK_TYPE_WIDGET), 0, &OnSignal<Moment::Hidden>, nullptr,
                               nullptr);
}

}  // namespace

ToplevelWatch::ToplevelWatch()
{
    InstallHooks();
    Watches().push_back(this);
}

ToplevelWatch::~ToplevelWatch() { std::erase(Watches(), this); }

DesktopWindow DesktopWindowOf(GtkWindow* window)
{
    DesktopWindow w;
    w.own = window;
    GdkWindow* gdk = window ? gtk_widget_get_window(GTK_WIDGET(window)) : nullptr;
    if (gdk && GDK_IS_X11_WINDOW(gdk))
        w.xid = GDK_WINDOW_XID(gdk);
    return w;
}

bool IsDialogWindow(GtkWindow* window)
{
    return window && gtk_window_get_type_hint(window) == GDK_WINDOW_TYPE_HINT_DIALOG;
}

wxTopLevelWindow* ProgramWindow(GtkWindow* window)
{
    for (wxWindow* w : wxTopLevelWindows)
        if (window && w->GetHandle() == GTK_WIDGET(window))
            return wxDynamicCast(w, wxTopLevelWindow);
    return nullptr;
}

bool IsModalWindow(GtkWindow* window) { return window && gtk_window_get_modal(window); }

}  // namespace ql::web
