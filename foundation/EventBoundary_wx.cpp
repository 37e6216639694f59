#include "foundation/EventBoundary_wx.h"

#include "platform/core/ErrorLog.h"

#include <string_view>

namespace ql {

namespace {

// Queued work is taken off its queue before it runs, so each retry gets further; the bound only
// keeps work that keeps failing and queueing itself again from holding the loop.
constexpr int kQueuedFailuresPerPass = 100;

// Runs `work`; an exception is logged, and when nothing may go on the main loop is ended too (a
// modal dialog's loop may be the active one).
template <class F>
bool AtTheBoundary(std::string_view where, F&& work)
{
    try {
        work();
        return true;
    } catch (...) {
        if (!ContinueAfterEscapedException(where) && wxTheApp)
            wxTheApp->ExitMainLoop();
    }
    return false;
}

}  // namespace

void GuardedApp::CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor, wxEvent& event) const
{
    AtTheBoundary("event handler", [&] { wxApp::CallEventHandler(handler, functor, event); });
}

void GuardedApp::ProcessPendingEvents()
{
    for (int i = 0; i < kQueuedFailuresPerPass; ++i)
        if (AtTheBoundary("queued work", [&] { wxApp::ProcessPendingEvents(); }))
            return;
}

bool GuardedApp::OnExceptionInMainLoop()
{
    if (ContinueAfterEscapedException())
        return true;
    ExitMainLoop();
    return false;
}

}  // namespace ql
