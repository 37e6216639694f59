#include "platform/gui/ShellMenu_wx.h"

namespace ql::shell {

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
        wxMenuItem* added = out->Append(item.id, text);
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
