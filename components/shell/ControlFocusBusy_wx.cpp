#include "components/shell/ControlFocusBusy_wx.h"

#include <wx/utils.h>
#include <wx/window.h>

namespace ql::shellctl {

bool FocusWithin(const wxWindow& control)
{
    const wxWindow* focus = wxWindow::FindFocus();
    return focus && (focus == &control || focus->GetParent() == &control);
}

void NestedBusyCursor::Set(bool busy)
{
    if (busy) {
        if (depth_++ == 0)
            wxBeginBusyCursor();
    } else if (depth_ > 0 && --depth_ == 0) {
        wxEndBusyCursor();
    }
}

}  // namespace ql::shellctl
