#include "components/browserhost/PanelStatusBar_wx.h"

namespace ql {

// The toolkit's status bar is an ordinary window on this platform, so controls parented to it
// are drawn over its fields and keep their place relative to it; nothing more is needed than
// the bar itself.
TPanelStatusBar::TPanelStatusBar(wxWindow* parent, wxWindowID id, long style) : wxStatusBar(parent, id, style) {}

}  // namespace ql
