#include "foundation/VekAdvClass_wx.h"

#include "foundation/Dialogs_wx.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
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
    Display* display = GDK_WINDOW_XDISPLAY(window);
    const ::Window xid = GDK_WINDOW_XID(window);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xid, &attributes) || attributes.map_state != IsViewable)
        return false;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
    if (XGetWindowProperty(display, xid, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 32 && count == 4)
        for (int i = 0; i < 4; ++i)
            extents[i] = reinterpret_cast<long*>(data)[i];
    if (data)
        XFree(data);
    const wxSize size = form->GetSize();
    return size.x - attributes.width == extents[0] + extents[1] && size.y - attributes.height == extents[2] + extents[3] &&
           form->GetClientSize().x == attributes.width;
}

// Moves a framed form's frame to (x, y), even where wx believes it is there already: the
// manager may have placed it elsewhere before wx learnt of it.
void moveFramed(wxTopLevelWindow* form, int x, int y)
{
    form->Move(x, y);
    if (GtkWidget* widget = form->GetHandle())
        gtk_window_move(GTK_WINDOW(widget), x, y);
}

// Now that the window manager frames the form, its bounds mean the framed window: set them
// once more.
void applyPlacement(wxTopLevelWindow* form, const FormPlacement& placement)
{
    form->SetSize(toWx(placement.Bounds));
    moveFramed(form, placement.Bounds.Left, placement.Bounds.Top);
    if (placement.Max)
        form->Maximize(true);
}

// Waits for the form to be framed: the map, the frame's size learnt by wx (a property change)
// and a size reaching the server (a configure event) are the moments it may become so.
struct FramedWatch {
    static constexpr const char* kSignals[] = {"map-event", "property-notify-event", "configure-event"};
    wxWeakRef<wxTopLevelWindow> form;
    std::function<void()> action;
    GtkWidget* widget = nullptr;
    gulong handlers[std::size(kSignals)] = {};
};

gboolean onFramed(GtkWidget*, GdkEvent*, gpointer data)
{
    auto* watch = static_cast<FramedWatch*>(data);
    if (watch->form && !framed(watch->form.get()))
        return FALSE;
    std::function<void()> action = std::move(watch->action);
    const bool alive = watch->form;
    GtkWidget* widget = watch->widget;
    gulong handlers[std::size(FramedWatch::kSignals)];
    std::copy(std::begin(watch->handlers), std::end(watch->handlers), handlers);
    // The first handler owns the watch, which may go with it now: only the copies are used.
    for (gulong handler : handlers)
        g_signal_handler_disconnect(widget, handler);
    if (alive && action)
        action();
    return FALSE;
}

// Follows the form's placement from `loaded` on: applied again once it is framed (at once when
// it is), its moves and sizes taken while it is on the screen.
void followPlacement(wxTopLevelWindow* form, const FormPlacement& loaded, bool stored)
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
        form->Bind(EVT_QL_PLACEMENT_STATE, [state](wxCommandEvent& e) {
            *static_cast<PlacementStatePtr*>(e.GetClientData()) = state;
        });
    }
    WhenFramed(form, [form, state] {
        if (std::optional<FormPlacement> placement = state->follower.Mapped(fromWx(form->GetRect())))
            applyPlacement(form, *placement);
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

void LoadFormPlacement(const std::string& key, wxTopLevelWindow* form, bool seed)
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
    followPlacement(form, placement, !recorded);
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

void WhenFramed(wxTopLevelWindow* form, std::function<void()> action)
{
    if (!form || !action)
        return;
    GtkWidget* widget = form->GetHandle();
    if (!widget || framed(form)) {
        action();
        return;
    }
    auto* watch = new FramedWatch{form, std::move(action), widget, {}};
    for (std::size_t i = 0; i < std::size(FramedWatch::kSignals); ++i) {
        GClosureNotify owner = nullptr;
        if (i == 0)
            owner = [](gpointer data, GClosure*) { delete static_cast<FramedWatch*>(data); };
        // After wx's own handlers, which update what it knows of the frame.
        watch->handlers[i] = g_signal_connect_data(widget, FramedWatch::kSignals[i], G_CALLBACK(onFramed), watch, owner,
                                                   G_CONNECT_AFTER);
    }
}

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
