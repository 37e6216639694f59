#include "platform/gui/EngineWait_wx.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/eventfilter.h>

#include <memory>

namespace ql::web {

namespace {

WaitEventKind KindOf(GdkEventType type)
{
    switch (type) {
    case GDK_KEY_PRESS:
    case GDK_KEY_RELEASE:
        return WaitEventKind::Key;
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
        return WaitEventKind::Button;
    case GDK_MOTION_NOTIFY:
        return WaitEventKind::Motion;
    case GDK_SCROLL:
        return WaitEventKind::Scroll;
    case GDK_TOUCH_BEGIN:
    case GDK_TOUCH_UPDATE:
    case GDK_TOUCH_END:
    case GDK_TOUCH_CANCEL:
        return WaitEventKind::Touch;
    case GDK_DELETE:
        return WaitEventKind::CloseRequest;
    default:
        return WaitEventKind::Other;
    }
}

WaitEventKind KindOf(wxEventType type)
{
    return type == wxEVT_IDLE || type == wxEVT_UPDATE_UI ? WaitEventKind::Idle : WaitEventKind::Other;
}

struct FreeGdkEvent {
    void operator()(GdkEvent* event) const { gdk_event_free(event); }
};
using HeldEvent = std::unique_ptr<GdkEvent, FreeGdkEvent>;

struct SkipIdle : wxEventFilter {
    int FilterEvent(wxEvent& event) override
    {
        return DecideDuringWait(KindOf(event.GetEventType())) == DuringWait::Skip ? Event_Ignore : Event_Skip;
    }
};

// The toolkit's event handler is one per process; so is the hold over it (GUI thread only).
struct ProcessHold {
    EventHold<HeldEvent> hold;
    SkipIdle filter;
};

ProcessHold& TheHold()
{
    static ProcessHold hold;
    return hold;
}

void PassOn(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

void HoldInput(GdkEvent* event, gpointer)
{
    switch (DecideDuringWait(KindOf(event->type))) {
    case DuringWait::HoldBack:
        TheHold().hold.Keep(HeldEvent(gdk_event_copy(event)));
        break;
    case DuringWait::HandOn:
        gtk_main_do_event(event);
        break;
    case DuringWait::Skip:
        break;
    }
}

// Holds the toolkit's events for its lifetime (see WaitFor).
class HoldEventsWhileWaiting {
public:
    HoldEventsWhileWaiting()
    {
        ProcessHold& p = TheHold();
        if (!p.hold.Enter())
            return;
        if (wxTheApp)
            wxTheApp->SuspendProcessingOfPendingEvents();
        wxEvtHandler::AddFilter(&p.filter);
        gdk_event_handler_set(&HoldInput, nullptr, nullptr);
    }
    ~HoldEventsWhileWaiting()
    {
        ProcessHold& p = TheHold();
        if (!p.hold.Leave())
            return;
        gdk_event_handler_set(&PassOn, nullptr, nullptr);
        wxEvtHandler::RemoveFilter(&p.filter);
        if (wxTheApp)
            wxTheApp->ResumeProcessingOfPendingEvents();
        for (HeldEvent& e : p.hold.Release())
            gdk_event_put(e.get());
    }
    HoldEventsWhileWaiting(const HoldEventsWhileWaiting&) = delete;
    HoldEventsWhileWaiting& operator=(const HoldEventsWhileWaiting&) = delete;
};

}  // namespace

void WaitFor(AnswerWait& wait, GCancellable* cancel, int timeoutMs)
{
    HoldEventsWhileWaiting hold;
    struct Timer {
        AnswerWait* wait;
        GCancellable* cancel;
    } timer{&wait, cancel};
    guint id = g_timeout_add(
        static_cast<guint>(timeoutMs),
        [](gpointer p) -> gboolean {
            auto* t = static_cast<Timer*>(p);
            if (t->wait->TimeUp())
                g_cancellable_cancel(t->cancel);
            return G_SOURCE_REMOVE;
        },
        &timer);
    while (wait.Waiting())
        g_main_context_iteration(nullptr, TRUE);
    if (wait.TimerPending())
        g_source_remove(id);
}

}  // namespace ql::web
