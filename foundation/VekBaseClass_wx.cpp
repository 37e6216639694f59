#include "foundation/VekBaseClass_wx.h"

#include <wx/toplevel.h>
#include <wx/utils.h>

namespace ql {

bool SetTopMost(wxTopLevelWindow* window, bool on)
{
    if (!window)
        return false;
    long style = window->GetWindowStyleFlag();
    long wanted = on ? (style | wxSTAY_ON_TOP) : (style & ~static_cast<long>(wxSTAY_ON_TOP));
    if (wanted != style)
        window->SetWindowStyleFlag(wanted);
    return true;
}

bool IsKeyDown(int keyCode) { return wxGetKeyState(static_cast<wxKeyCode>(keyCode)); }

}  // namespace ql
