#pragma once
// A status bar that holds child controls: create a control with the bar as its parent (or
// reparent one to it) and it shows on the bar at its position there, moving with the bar when
// the window is resized. Otherwise it is the toolkit's status bar unchanged.
#include <wx/statusbr.h>

namespace ql {

class TPanelStatusBar : public wxStatusBar {
public:
    explicit TPanelStatusBar(wxWindow* parent, wxWindowID id = wxID_ANY, long style = wxSTB_DEFAULT_STYLE);
};

}  // namespace ql
