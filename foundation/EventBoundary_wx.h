#pragma once
// The application object's side of the event boundary: every handler any window binds runs
// through GuardHandler (one central dispatch instead of a guard in each handler), and what
// escapes elsewhere (work queued with CallAfter) is logged; the loop goes on unless the
// program cannot, and then it ends so that the saves after the loop run.
#include <wx/app.h>

namespace ql {

class GuardedApp : public wxApp {
public:
    void CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor, wxEvent& event) const override;
    bool OnExceptionInMainLoop() override;
};

}  // namespace ql
