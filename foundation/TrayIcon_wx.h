#pragma once
// The notification-area icon on the desktop, over wxTaskBarIcon.
#include <memory>

#include "foundation/TrayIcon.h"

class wxMenu;

namespace ql {

// Whether the desktop has a notification area at all. Where it has none, the drop zone stays
// visible, so the program can always be reached.
bool TrayAvailable();

std::unique_ptr<TrayShell> MakeWxTrayShell();

// A wx menu for TTrayIcon::PopupMenu (not owned).
class WxTrayMenu : public TrayMenu {
public:
    explicit WxTrayMenu(wxMenu* menu) : Menu(menu) {}
    wxMenu* Menu;
};

}  // namespace ql
