#include "foundation/VekAdvClass_wx.h"

#include "foundation/Dialogs_wx.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <wx/display.h>
#include <wx/fdrepdlg.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
// Last: the X11 headers' macros clash with names in other headers.
#include <X11/Xatom.h>

namespace ql {

namespace {

FormRect fromWx(const wxRect& r) { return FormRect{r.x, r.y, r.width, r.height}; }
wxRect toWx(const FormRect& r) { return wxRect(r.Left, r.Top, r.Width, r.Height); }

std::vector<FormRect> displayAreas()
{
    std::vector<FormRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i)
        areas.push_back(fromWx(wxDisplay(i).GetClientArea()));
    return areas;
}

// The placement followed for one form (see FormPlacementFollower), shared by the form's event
// handlers and the handler of its first mapping.
struct PlacementState {
    PlacementState(const FormPlacement& loaded, bool stored) : follower(loaded, stored) {}
    FormPlacementFollower follower;
};
using PlacementStatePtr = std::shared_ptr<PlacementState>;

// Asks the handlers bound to a form for its placement state (none before the first load).
wxDEFINE_EVENT(EVT_QL_PLACEMENT_STATE, wxCommandEvent);

PlacementStatePtr placementStateOf(wxTopLevelWindow* form)
{
    PlacementStatePtr state;
    wxCommandEvent event(EVT_QL_PLACEMENT_STATE, form->GetId());
    event.SetEventObject(form);
    event.SetClientData(&state);
    form->GetEventHandler()->ProcessEvent(event);
    return state;
}

// The window manager's frame around an X window: left, right, top, bottom (all 0 unframed).
struct FrameExtents {
    long left = 0, right = 0, top = 0, bottom = 0;
};
FrameExtents frameExtents(Display* display, ::Window xid)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    FrameExtents e;
    if (XGetWindowProperty(display, xid, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 32 && count == 4) {
        const long* v = reinterpret_cast<long*>(data);
        e = FrameExtents{v[0], v[1], v[2], v[3]};
    }
    if (data)
        XFree(data);
    return e;
}

// The form's X window as the server has it now, when it is viewable there.
struct ServerWindow {
    Display* display = nullptr;
    ::Window xid = 0;
    XWindowAttributes attributes{};
};
std::optional<ServerWindow> viewable(wxTopLevelWindow* form)
{
    GtkWidget* widget = form->GetHandle();
    GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!window || !gtk_widget_get_mapped(widget) || !GDK_IS_X11_WINDOW(window))
        return std::nullopt;
    ServerWindow w{GDK_WINDOW_XDISPLAY(window), GDK_WINDOW_XID(window), {}};
    if (!XGetWindowAttributes(w.display, w.xid, &w.attributes) || w.attributes.map_state != IsViewable)
        return std::nullopt;
    return w;
}

// Whether the form is mapped and wx knows its frame as the window manager made it. GTK counts a
// window as mapped as soon as it asks for it, and wx's show event comes then, before the
// manager has framed it; the server may have mapped it meanwhile while wx has not yet read the
// frame's size (_NET_FRAME_EXTENTS). A size set meanwhile may still be on its way to the
// server, and wx's size can then differ from the server's by just the frame, as if wx knew it:
// wx's client width must also be the server's.
bool framed(wxTopLevelWindow* form)
{
    GtkWidget* widget = form->GetHandle();
    GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!window || !gtk_widget_get_mapped(widget))
        return false;
    if (!GDK_IS_X11_WINDOW(window))
        return true;
    const std::optional<ServerWindow> w = viewable(form);
    if (!w)
        return false;
    const FrameExtents e = frameExtents(w->display, w->xid);
    const wxSize size = form->GetSize();
    return size.x - w->attributes.width == e.left + e.right && size.y - w->attributes.height == e.top + e.bottom &&
           form->GetClientSize().x == w->attributes.width;
}

// The server's bounds of the form's frame are `bounds` (without X, wx's own are taken).
bool framedAt(wxTopLevelWindow* form, const wxRect& bounds)
{
    GtkWidget* widget = form->GetHandle();
    GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!window || !GDK_IS_X11_WINDOW(window))
        return form->GetRect() == bounds;
    const std::optional<ServerWindow> w = viewable(form);
    int x = 0, y = 0;
    ::Window child = 0;
    if (!w || !XTranslateCoordinates(w->display, w->xid, DefaultRootWindow(w->display), 0, 0, &x, &y, &child))
        return false;
    const FrameExtents e = frameExtents(w->display, w->xid);
    return wxRect(x - int(e.left), y - int(e.top), w->attributes.width + int(e.left + e.right),
                  w->attributes.height + int(e.top + e.bottom)) == bounds;
}

// Moves a framed form's frame to (x, y), even where wx believes it is there already: the
// manager may have placed it elsewhere before wx learnt of it.
void moveFramed(wxTopLevelWindow* form, int x, int y)
{
    form->Move(x, y);
    if (GtkWidget* widget = form->GetHandle())
        gtk_window_move(GTK_WINDOW(widget), x, y);
}

gboolean onWatchedEvent(GtkWidget*, GdkEvent*, gpointer data);
void onWatchedAllocation(GtkWidget* widget, GdkRectangle*, gpointer data) { onWatchedEvent(widget, nullptr, data); }

// Waits for a state of the form on the server: the map, the frame's size learnt by wx (a
// property change), a size reaching the server (a configure event) and wx taking that size (the
// allocation) are the moments it may come. With a patience, the action runs when it has run
// out all the same.
struct WindowWatch {
    struct Signal {
        const char* name;
        GCallback handler;
    };
    static inline const Signal kSignals[] = {{"map-event", G_CALLBACK(onWatchedEvent)},
                                             {"property-notify-event", G_CALLBACK(onWatchedEvent)},
                                             {"configure-event", G_CALLBACK(onWatchedEvent)},
                                             {"size-allocate", G_CALLBACK(onWatchedAllocation)}};
    wxWeakRef<wxTopLevelWindow> form;
    std::function<bool(wxTopLevelWindow*)> ready;
    std::function<void()> action;
    GtkWidget* widget = nullptr;
    gulong handlers[std::size(kSignals)] = {};
    guint patience = 0;  // the timeout's source, while it waits
};

// Ends the watch and runs the action: once the event being handled is through (GTK's own
// handler may still take it in, and a size set before that is lost), when `afterEvent`.
void endWatch(WindowWatch* watch, bool afterEvent)
{
    std::function<void()> action = std::move(watch->action);
    wxTopLevelWindow* form = watch->form.get();
    GtkWidget* widget = watch->widget;
    gulong handlers[std::size(WindowWatch::kSignals)];
    std::copy(std::begin(watch->handlers), std::end(watch->handlers), handlers);
    // The first handler owns the watch, which may go with it now: only the copies are used.
    for (gulong handler : handlers)
        g_signal_handler_disconnect(widget, handler);
    if (!form || !action)
        return;
    if (afterEvent)
        form->CallAfter(action);  // dropped with the form
    else
        action();
}

gboolean onWatchedEvent(GtkWidget*, GdkEvent*, gpointer data)
{
    auto* watch = static_cast<WindowWatch*>(data);
    if (!watch->form || watch->ready(watch->form.get()))
        endWatch(watch, true);
    return FALSE;
}

void watchWindow(wxTopLevelWindow* form, std::function<bool(wxTopLevelWindow*)> ready, std::function<void()> action,
                 guint patienceMs = 0)
{
    if (!form || !action)
        return;
    GtkWidget* widget = form->GetHandle();
    if (!widget || ready(form)) {
        action();
        return;
    }
    auto* watch = new WindowWatch{form, std::move(ready), std::move(action), widget, {}, 0};
    for (std::size_t i = 0; i < std::size(WindowWatch::kSignals); ++i) {
        GClosureNotify owner = nullptr;
        if (i == 0)
            owner = [](gpointer data, GClosure*) {
                auto* w = static_cast<WindowWatch*>(data);
                if (w->patience)
                    g_source_remove(w->patience);
                delete w;
            };
        // After wx's own handlers (connected as the form was made), which update what it knows
        // of the frame; but before GTK's, whose configure handler ends the signal's emission.
        watch->handlers[i] = g_signal_connect_data(widget, WindowWatch::kSignals[i].name,
                                                   WindowWatch::kSignals[i].handler, watch, owner, GConnectFlags(0));
    }
    if (patienceMs)
        watch->patience = g_timeout_add(
            patienceMs,
            [](gpointer data) -> gboolean {
                auto* w = static_cast<WindowWatch*>(data);
                w->patience = 0;
                endWatch(w, false);
                return G_SOURCE_REMOVE;
            },
            watch);
}

// How long a maximised form waits for its normal bounds to reach the server: a manager that
// keeps the window from them (a minimum size of its own, say) must not keep it unmaximised.
constexpr guint kNormalBoundsPatienceMs = 1000;

// Now that the window manager frames the form, its bounds mean the framed window: set them
// once more. A window manager takes the normal bounds of a window it maximises from the size
// the server has then; GTK sends a new size only at its next frame, while the maximise goes at
// once: so the form is maximised once the server has its normal bounds. `placed` runs once the
// form has its last size, the server's and wx's, and has laid itself out at it.
void applyPlacement(wxTopLevelWindow* form, const FormPlacement& placement, std::function<void()> placed)
{
    const wxRect bounds = toWx(placement.Bounds);
    form->SetSize(bounds);
    moveFramed(form, bounds.x, bounds.y);
    auto at = [bounds](wxTopLevelWindow* f) { return framedAt(f, bounds) && framed(f); };
    if (!placement.Max) {
        watchWindow(form, at, std::move(placed), kNormalBoundsPatienceMs);
        return;
    }
    wxWeakRef<wxTopLevelWindow> weak(form);
    watchWindow(
        form, [bounds](wxTopLevelWindow* f) { return framedAt(f, bounds); },
        [weak, at, placed = std::move(placed)]() mutable {
            if (!weak)
                return;
            weak->Maximize(true);
            auto maximised = [at](wxTopLevelWindow* f) { return f->IsMaximized() && framed(f) && !at(f); };
            watchWindow(weak.get(), maximised, std::move(placed), kNormalBoundsPatienceMs);
        },
        kNormalBoundsPatienceMs);
}

// Follows the form's placement from `loaded` on: applied again once it is framed (at once when
// it is), its moves and sizes taken while it is on the screen.
void followPlacement(wxTopLevelWindow* form, const FormPlacement& loaded, bool stored, std::function<void()> placed)
{
    PlacementStatePtr state = placementStateOf(form);
    if (state) {
        state->follower = FormPlacementFollower(loaded, stored);  // the same handlers go on
    } else {
        state = std::make_shared<PlacementState>(loaded, stored);
        // The handlers live in the form's own event table, so the state goes with the form.
        auto changed = [form, state](wxEvent& e) {
            if (form->IsShown() && !form->IsIconized())
                state->follower.Changed(fromWx(form->GetRect()), form->IsMaximized());
            e.Skip();
        };
        form->Bind(wxEVT_SIZE, changed);
        form->Bind(wxEVT_MOVE, changed);
        form->Bind(wxEVT_MAXIMIZE, [form, state](wxMaximizeEvent& e) {
            if (form->IsShown())
                state->follower.Maximised(fromWx(form->GetRect()));
            e.Skip();
        });
        form->Bind(EVT_QL_PLACEMENT_STATE,
                   [state](wxCommandEvent& e) { *static_cast<PlacementStatePtr*>(e.GetClientData()) = state; });
    }
    WhenFramed(form, [form, state, placed = std::move(placed)]() mutable {
        if (std::optional<FormPlacement> placement = state->follower.Mapped(fromWx(form->GetRect())))
            applyPlacement(form, *placement, std::move(placed));
        else if (placed)
            placed();
    });
}

struct FindState {
    wxFindReplaceData data{wxFR_DOWN};
    wxWeakRef<wxFindReplaceDialog> dialog;
    wxWeakRef<wxTextCtrl> target;
};

FindState& findState()
{
    static FindState state;
    return state;
}

void onFind(wxFindDialogEvent& event)
{
    wxTextCtrl* target = findState().target;
    if (!target)
        return;
    long from = 0, to = 0;
    target->GetSelection(&from, &to);
    std::wstring what = event.GetFindString().ToStdWstring();
    int flags = event.GetFlags();
    auto pos = FindNextMatch(target->GetValue().ToStdWstring(), what, from, to, (flags & wxFR_MATCHCASE) != 0,
                             (flags & wxFR_WHOLEWORD) != 0);
    if (!pos)
        return;
    target->SetFocus();
    target->SetSelection(*pos, *pos + static_cast<long>(what.size()));
}

}  // namespace

void LoadFormPlacement(const std::string& key, wxTopLevelWindow* form, bool seed, std::function<void()> placed)
{
    if (!form)
        return;
    if (seed) {
        wxRect screen = wxDisplay().GetGeometry();
        form->SetSize(toWx(SeedFormBounds(screen.width, screen.height)));
    }
    Registry registry;
    bool recorded = false;
    FormPlacement placement = ReadFormPlacement(registry, key, fromWx(form->GetRect()), &recorded);
    // The first run keeps the form's own bounds (as it is being shown they may be the toolkit's
    // passing ones, and Exit stores what it has then). Stored bounds are set at once (right
    // without a window manager) and once more when the form is framed.
    if (!recorded) {
        placement.Bounds = KeepOnDisplays(placement.Bounds, displayAreas());
        form->SetSize(toWx(placement.Bounds));
    }
    followPlacement(form, placement, !recorded, std::move(placed));
}

bool SaveFormPlacement(const std::string& key, wxTopLevelWindow* form)
{
    if (!form)
        return false;
    FormPlacement placement{fromWx(form->GetRect()), form->IsMaximized()};
    // Hidden, the form has no frame and wx reports it smaller by the frame: its bounds are
    // those it last had on the screen.
    std::optional<FormPlacement> now;
    if (form->IsShown() && framed(form) && !form->IsIconized())
        now = placement;
    if (PlacementStatePtr state = placementStateOf(form))
        placement = state->follower.ToSave(now);
    Registry registry;
    return WriteFormPlacement(registry, key, placement);
}

void WhenFramed(wxTopLevelWindow* form, std::function<void()> action) { watchWindow(form, framed, std::move(action)); }

void CentreOnScreenFramed(wxTopLevelWindow* form)
{
    if (!form)
        return;
    // The size it has now is the one meant, frame included; wx may show it at another first.
    const wxSize size = form->GetSize();
    form->CentreOnScreen();
    wxWeakRef<wxTopLevelWindow> weak(form);
    WhenFramed(form, [weak, size] {
        if (!weak)
            return;
        const int display = wxDisplay::GetFromWindow(weak.get());
        const wxRect area = wxDisplay(static_cast<unsigned>(display == wxNOT_FOUND ? 0 : display)).GetClientArea();
        const wxRect bounds(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2, size.x, size.y);
        weak->SetSize(bounds);
        moveFramed(weak.get(), bounds.x, bounds.y);
    });
}

bool RegisterComServer(const std::string& fileName, bool reg, bool showMessages)
{
    WxDialogs dialogs;
    return RegisterComServer(fileName, reg, showMessages, dialogs);
}

void ShowRichEditFind(wxTextCtrl* edit)
{
    if (!edit)
        return;
    FindState& state = findState();
    if (!state.dialog) {
        wxWindow* owner = edit->GetParent() ? edit->GetParent() : edit;
        auto* dialog = new wxFindReplaceDialog(owner, &state.data, "Find", wxFR_NOUPDOWN);
        dialog->Bind(wxEVT_FIND, onFind);
        dialog->Bind(wxEVT_FIND_NEXT, onFind);
        state.dialog = dialog;
    }
    state.target = edit;
    state.dialog->Show();
    state.dialog->Raise();
}

wxFindReplaceDialog* RichEditFindDialog() { return findState().dialog; }

wxTextCtrl* FindTarget() { return findState().target; }

void SendCtrlC()
{
    wxUIActionSimulator keys;
    keys.KeyDown('c', wxMOD_CONTROL);
    keys.KeyUp('c', wxMOD_CONTROL);
}

}  // namespace ql
