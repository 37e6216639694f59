#pragma once
// Shell context menus shown as real menus: the menu data a context menu filled becomes a wx
// menu with the same identifiers.
#include <memory>
#include <wx/menu.h>
#include <wx/window.h>

#include "platform/core/shell/PopupMenu.h"

namespace ql::shell {

std::unique_ptr<wxMenu> BuildWxMenu(const PopupMenu& menu);
// Shows the menu at a point of the window and returns the chosen identifier, 0 when the user
// chose nothing.
int TrackShellPopupMenu(wxWindow* window, const PopupMenu& menu, const wxPoint& at);

}  // namespace ql::shell
