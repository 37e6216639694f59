#include "platform/gui/ToplevelWatch_wx.h"

#include <gtk/gtk.h>
#include <wx/toplevel.h>

#include <algorithm>
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
        if (callback) {
            try {
                callback(window);
            } catch (...) {
                // Nothing may unwind through the toolkit's signal emission.
            }
        }
    }
    return TRUE;  // stays installed
}

void InstallHooks()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // Each class must exist before its signals can be looked up.
    g_type_class_unref(g_type_class_ref(GTK_TYPE_WINDOW));
    g_signal_add_emission_hook(g_signal_lookup("focus-in-event", GTK_TYPE_WIDGET), 0, &OnSignal<Moment::Activated>,
                               nullptr, nullptr);
    g_signal_add_emission_hook(g_signal_lookup("map", GTK_TYPE_WIDGET), 0, &OnSignal<Moment::Shown>, nullptr,
                               nullptr);
    g_signal_add_emission_hook(g_signal_lookup("unmap", GTK_TYPE_WIDGET), 0, &OnSignal<Moment::Hidden>, nullptr,
                               nullptr);
}

}  // namespace

ToplevelWatch::ToplevelWatch()
{
    InstallHooks();
    Watches().push_back(this);
}

ToplevelWatch::~ToplevelWatch()
{
    std::erase(Watches(), this);
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

bool IsModalWindow(GtkWindow* window)
{
    return window && gtk_window_get_modal(window);
}

}  // namespace ql::web
