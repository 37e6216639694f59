#include "foundation/EventBoundary_wx.h"

#include "platform/core/ErrorLog.h"

namespace ql {

void GuardedApp::CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor, wxEvent& event) const
{
    GuardHandler("event handler", [&] { wxApp::CallEventHandler(handler, functor, event); });
}

bool GuardedApp::OnExceptionInMainLoop()
{
    if (ContinueAfterEscapedException())
        return true;
    // A modal dialog's loop is the active one: the main loop must end too.
    ExitMainLoop();
    return false;
}

}  // namespace ql
