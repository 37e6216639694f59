#include "platform/gui/EngineWait_wx.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/eventfilter.h>

#include <utility>
#include <vector>

namespace ql::web {

namespace {

// While we wait for the engine, nothing of ours may run in between: a handler run from the
// loop could re-enter the caller or delete the window whose method waits. So the user's input
// is held back (and handed on afterwards, in order), wx's queued events (CallAfter and the like)
// wait, and idle and update-UI events are skipped (they come again). The hold is process-wide
// (the toolkit has one event handler), so nested waits share the outermost one.
class HoldEventsWhileWaiting {
public:
    HoldEventsWhileWaiting()
    {
        if (depth_++ > 0)
            return;
        if (wxTheApp)
            wxTheApp->SuspendProcessingOfPendingEvents();
        wxEvtHandler::AddFilter(&filter_);
        gdk_event_handler_set(&HoldInput, &held_, nullptr);
    }
    ~HoldEventsWhileWaiting()
    {
        if (--depth_ > 0)
            return;
        gdk_event_handler_set(&PassOn, nullptr, nullptr);
        wxEvtHandler::RemoveFilter(&filter_);
        if (wxTheApp)
            wxTheApp->ResumeProcessingOfPendingEvents();
        for (GdkEvent* e : std::exchange(held_, {})) {
            gdk_event_put(e);
            gdk_event_free(e);
        }
    }
    HoldEventsWhileWaiting(const HoldEventsWhileWaiting&) = delete;
    HoldEventsWhileWaiting& operator=(const HoldEventsWhileWaiting&) = delete;

private:
    struct SkipIdle : wxEventFilter {
        int FilterEvent(wxEvent& event) override
        {
            wxEventType t = event.GetEventType();
            return t == wxEVT_IDLE || t == wxEVT_UPDATE_UI ? Event_Ignore : Event_Skip;
        }
    };

    static bool IsUserInput(GdkEventType t)
    {
        switch (t) {
        case GDK_KEY_PRESS: case GDK_KEY_RELEASE:
        case GDK_BUTTON_PRESS: case GDK_2BUTTON_PRESS: case GDK_3BUTTON_PRESS: case GDK_BUTTON_RELEASE:
        case GDK_MOTION_NOTIFY: case GDK_SCROLL:
        case GDK_TOUCH_BEGIN: case GDK_TOUCH_UPDATE: case GDK_TOUCH_END: case GDK_TOUCH_CANCEL:
        case GDK_DELETE:  // the window's close button
            return true;
        default:
            return false;
        }
    }

    static void PassOn(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

    static void HoldInput(GdkEvent* event, gpointer data)
    {
        if (IsUserInput(event->type))
            static_cast<std::vector<GdkEvent*>*>(data)->push_back(gdk_event_copy(event));
        else
            gtk_main_do_event(event);
    }

    // The toolkit's event handler is one per process; so are these (GUI thread only).
    static inline int depth_ = 0;
    static inline std::vector<GdkEvent*> held_;
    static inline SkipIdle filter_;
};


}  // namespace

// Runs the main loop until `done` or `timeoutMs` passed (then cancels `cancel`).
void WaitFor(const bool& done, GCancellable* cancel, int timeoutMs)
{
    HoldEventsWhileWaiting hold;
    struct Timer {
        GCancellable* cancel;
        bool fired = false;
    } timer{cancel};
    guint id = g_timeout_add(
        static_cast<guint>(timeoutMs),
        [](gpointer p) -> gboolean {
            auto* t = static_cast<Timer*>(p);
            t->fired = true;
            g_cancellable_cancel(t->cancel);
            return G_SOURCE_REMOVE;
        },
        &timer);
    while (!done && !timer.fired)
        g_main_context_iteration(nullptr, TRUE);
    if (!timer.fired)
        g_source_remove(id);
}

}  // namespace ql::web
