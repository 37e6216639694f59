#include "platform/gui/ShellMenu_wx.h"

#include "platform/gui/ShellImageLists_wx.h"

#include <gtk/gtk.h>

namespace ql::shell {

namespace {

// The desktop may hide menu pictures (gtk-menu-images); an entry's picture is part of it.
void ShowPictureAlways(wxMenuItem* item)
{
    GtkWidget* widget = item->GetMenuItem();
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    if (widget && GTK_IS_IMAGE_MENU_ITEM(widget))
        gtk_image_menu_item_set_always_show_image(GTK_IMAGE_MENU_ITEM(widget), TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

}  // namespace

std::unique_ptr<wxMenu> BuildWxMenu(const PopupMenu& menu)
{
    auto out = std::make_unique<wxMenu>();
    for (std::size_t i = 0; i < menu.Count(); ++i) {
        const auto& item = menu.At(i);
        if (item.flags & MF_SEPARATOR) {
            out->AppendSeparator();
            continue;
        }
        wxString text = wxString::FromUTF8(item.text);
        if (item.submenu) {
            out->AppendSubMenu(BuildWxMenu(*item.submenu).release(), text);
            continue;
        }
        auto* added = new wxMenuItem(out.get(), item.id, text);
        // Set before the item joins the menu: the toolkit takes no picture afterwards.
        if (!item.icon.empty()) {
            wxImageList* small = SystemImageLists::Get().List(0);
            added->SetBitmap(small->GetBitmap(SystemImageLists::Get().IndexFor(item.icon)));
        }
        out->Append(added);
        if (!item.icon.empty())
            ShowPictureAlways(added);
        if (item.flags & MF_GRAYED)
            added->Enable(false);
    }
    return out;
}

int TrackShellPopupMenu(wxWindow* window, const PopupMenu& menu, const wxPoint& at)
{
    if (!window)
        return 0;
    auto wx = BuildWxMenu(menu);
    int chosen = window->GetPopupMenuSelectionFromUser(*wx, at);
    return chosen == wxID_NONE ? 0 : chosen;
}

}  // namespace ql::shell
