#include "components/shell/ControlState_wx.h"

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

void NestedFreeze::Begin()
{
    if (depth_++ == 0)
        window_.Freeze();
}

void NestedFreeze::End()
{
    if (depth_ > 0 && --depth_ == 0)
        window_.Thaw();
}

}  // namespace ql::shellctl
