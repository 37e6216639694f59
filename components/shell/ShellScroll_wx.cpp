#include "components/shell/ShellScroll_wx.h"

#include <wx/event.h>

#include "components/shell/ShellItemUtils.h"

namespace ql::shellctl {

void ScrollOneStep(wxWindow* control, int bar, ScrollCommand command)
{
    if (!control)
        return;
    int orient = bar == 0 ? wxHORIZONTAL : wxVERTICAL;
    if (control->GetScrollRange(orient) - control->GetScrollThumb(orient) <= 0)
        return;
    wxEventType type = command == ScrollCommand::LineUp     ? wxEVT_SCROLLWIN_LINEUP
                       : command == ScrollCommand::LineDown ? wxEVT_SCROLLWIN_LINEDOWN
                       : command == ScrollCommand::PageUp   ? wxEVT_SCROLLWIN_PAGEUP
                                                            : wxEVT_SCROLLWIN_PAGEDOWN;
    wxScrollWinEvent event(type, control->GetScrollPos(orient), orient);
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
}

bool ScrollByWheel(wxWindow* control, int bar, ScrollCommand lineCommand, ScrollCommand pageCommand,
                   int wheelScrollLines)
{
    WheelScroll plan = WheelScrollOf(bar, wheelScrollLines);
    for (int i = 0; i < plan.steps; ++i)
        ScrollOneStep(control, bar, plan.byPage ? pageCommand : lineCommand);
    return true;
}

void ScrollByWheelEvent(wxWindow* control, int bar, const wxMouseEvent& event)
{
    const WheelTurn turn = WheelTurnOf(bar, event.GetWheelRotation(), event.GetWheelDelta(), event.IsPageScroll(),
                                       event.GetLinesPerAction());
    const ScrollCommand line = turn.down ? ScrollCommand::LineDown : ScrollCommand::LineUp;
    const ScrollCommand page = turn.down ? ScrollCommand::PageDown : ScrollCommand::PageUp;
    for (int i = 0; i < turn.steps; ++i)
        ScrollOneStep(control, bar, turn.byPage ? page : line);
}

}  // namespace ql::shellctl
