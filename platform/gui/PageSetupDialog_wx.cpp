#include "platform/gui/PageSetupDialog_wx.h"

#include "platform/gui/EnginePageSetup.h"

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <wx/toplevel.h>

namespace ql::web {

namespace {

bool IsLandscape(GtkPageOrientation o)
{
    return o == GTK_PAGE_ORIENTATION_LANDSCAPE || o == GTK_PAGE_ORIENTATION_REVERSE_LANDSCAPE;
}

void SetMargins(GtkPageSetup* layout, const PageSetup& setup)
{
    gtk_page_setup_set_left_margin(layout, setup.leftMm, GTK_UNIT_MM);
    gtk_page_setup_set_right_margin(layout, setup.rightMm, GTK_UNIT_MM);
    gtk_page_setup_set_top_margin(layout, setup.topMm, GTK_UNIT_MM);
    gtk_page_setup_set_bottom_margin(layout, setup.bottomMm, GTK_UNIT_MM);
}

}  // namespace

bool RunPageSetupDialog(wxWindow* owner, const std::string& optionRoot)
{
    wxWindow* top = owner ? wxGetTopLevelParent(owner) : nullptr;
    GtkWidget* parent = top ? top->GetHandle() : nullptr;
    GtkWidget* dialog = gtk_page_setup_unix_dialog_new("Page Setup",
                                                       parent && GTK_IS_WINDOW(parent) ? GTK_WINDOW(parent) : nullptr);
    {
        const PageSetup stored = ReadEnginePageSetup(optionRoot);
        GtkPageSetup* layout = gtk_page_setup_new();
        SetMargins(layout, stored);
        gtk_page_setup_set_orientation(layout, stored.landscape ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                                                : GTK_PAGE_ORIENTATION_PORTRAIT);
        gtk_page_setup_unix_dialog_set_page_setup(GTK_PAGE_SETUP_UNIX_DIALOG(dialog), layout);
        g_object_unref(layout);
    }
    bool kept = false;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
        GtkPageSetup* layout = gtk_page_setup_unix_dialog_get_page_setup(GTK_PAGE_SETUP_UNIX_DIALOG(dialog));
        PageSetup chosen;
        chosen.leftMm = gtk_page_setup_get_left_margin(layout, GTK_UNIT_MM);
        chosen.rightMm = gtk_page_setup_get_right_margin(layout, GTK_UNIT_MM);
        chosen.topMm = gtk_page_setup_get_top_margin(layout, GTK_UNIT_MM);
        chosen.bottomMm = gtk_page_setup_get_bottom_margin(layout, GTK_UNIT_MM);
        chosen.landscape = IsLandscape(gtk_page_setup_get_orientation(layout));
        kept = WriteEnginePageSetup(optionRoot, chosen);
    }
    gtk_widget_destroy(dialog);
    return kept;
}

bool FillPageSetupDialog(GtkWindow* window, const PageSetup& setup)
{
    if (!window || !GTK_IS_PAGE_SETUP_UNIX_DIALOG(window))
        return false;
    auto* dialog = GTK_PAGE_SETUP_UNIX_DIALOG(window);
    GtkPageSetup* layout = gtk_page_setup_unix_dialog_get_page_setup(dialog);
    SetMargins(layout, setup);
    gtk_page_setup_unix_dialog_set_page_setup(dialog, layout);
    // The orientation as the user would choose it: its button clicked.
    GObject* button = gtk_widget_get_template_child(GTK_WIDGET(window), GTK_TYPE_PAGE_SETUP_UNIX_DIALOG,
                                                    setup.landscape ? "landscape_radio" : "portrait_radio");
    if (button && GTK_IS_BUTTON(button))
        gtk_button_clicked(GTK_BUTTON(button));
    // Confirmed once the dialog has shown itself, as a click posted to its Apply button.
    g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer p) -> gboolean {
            auto* d = GTK_DIALOG(p);
            if (gtk_widget_get_mapped(GTK_WIDGET(d)))
                if (GtkWidget* apply = gtk_dialog_get_widget_for_response(d, GTK_RESPONSE_OK))
                    gtk_button_clicked(GTK_BUTTON(apply));
            return G_SOURCE_REMOVE;
        },
        g_object_ref(window), g_object_unref);
    return true;
}

void MoveOutOfSight(GtkWindow* window)
{
    gtk_window_move(window, -600, 0);
    gtk_window_resize(window, 1, 1);
}

}  // namespace ql::web
