#pragma once
// The application object's side of the event boundary: every handler any window binds, and all
// work queued with CallAfter, runs through one guard here (instead of a guard in each handler);
// what escapes is logged. The loop goes on unless the program cannot, and then it ends so that
// the saves after the loop run.
#include <wx/app.h>

namespace ql {

class GuardedApp : public wxApp {
public:
    void CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor, wxEvent& event) const override;
    void ProcessPendingEvents() override;
    bool OnExceptionInMainLoop() override;
};

}  // namespace ql
