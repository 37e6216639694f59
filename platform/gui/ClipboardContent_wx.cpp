#include "platform/gui/ClipboardContent_wx.h"

#include "platform/gui/DragBridge_wx.h"

#include <gtk/gtk.h>

namespace ql {

bool ClipboardOwnedHere()
{
    // The toolkit knows the owner's window only when it is one of ours.
    return gdk_selection_owner_get(GDK_SELECTION_CLIPBOARD) != nullptr;
}

com::ComPtr<XDragDataObject> ClipboardContent()
{
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    GdkAtom* atoms = nullptr;
    gint count = 0;
    if (!gtk_clipboard_wait_for_targets(clipboard, &atoms, &count) || count <= 0)
        return nullptr;
    std::vector<std::string> targets;
    for (gint i = 0; i < count; ++i) {
        gchar* name = gdk_atom_name(atoms[i]);
        targets.emplace_back(name ? name : "");
        g_free(name);
    }
    g_free(atoms);
    auto data = com::MakeCom<XDragDataObject>(std::move(targets), DecodePicture);
    data->BeginDrop([clipboard](const std::string& target) -> std::optional<std::string> {
        GtkSelectionData* sd = gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern(target.c_str(), FALSE));
        if (!sd)
            return std::nullopt;
        std::optional<std::string> bytes;
        if (gtk_selection_data_get_length(sd) >= 0)
            bytes.emplace(reinterpret_cast<const char*>(gtk_selection_data_get_data(sd)),
                          static_cast<std::size_t>(gtk_selection_data_get_length(sd)));
        gtk_selection_data_free(sd);
        return bytes;
    });
    return data;
}

}  // namespace ql
