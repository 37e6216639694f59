#include "foundation/VekAdvClass_wx.h"

#include "foundation/Dialogs_wx.h"

#include <memory>
#include <wx/display.h>
#include <wx/fdrepdlg.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

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

// Asks the tracker bound to a form (if any) for its normal bounds, or restarts it.
struct NormalBoundsQuery {
    const FormRect* restart = nullptr;
    FormRect normal;
    bool answered = false;
};
wxDEFINE_EVENT(EVT_QL_NORMAL_BOUNDS, wxCommandEvent);

bool askTracker(wxTopLevelWindow* form, NormalBoundsQuery& query)
{
    wxCommandEvent event(EVT_QL_NORMAL_BOUNDS, form->GetId());
    event.SetEventObject(form);
    event.SetClientData(&query);
    form->GetEventHandler()->ProcessEvent(event);
    return query.answered;
}

void followNormalBounds(wxTopLevelWindow* form, const FormRect& normal)
{
    NormalBoundsQuery restart;
    restart.restart = &normal;
    if (askTracker(form, restart))
        return;
    // The handlers live in the form's own event table, so the tracker goes with the form.
    auto tracker = std::make_shared<NormalBoundsTracker>(normal);
    auto changed = [form, tracker](wxEvent& e) {
        if (!form->IsIconized())
            tracker->Changed(fromWx(form->GetRect()), form->IsMaximized());
        e.Skip();
    };
    form->Bind(wxEVT_SIZE, changed);
    form->Bind(wxEVT_MOVE, changed);
    form->Bind(wxEVT_MAXIMIZE, [form, tracker](wxMaximizeEvent& e) {
        tracker->Maximised(fromWx(form->GetRect()));
        e.Skip();
    });
    form->Bind(EVT_QL_NORMAL_BOUNDS, [tracker](wxCommandEvent& e) {
        auto* query = static_cast<NormalBoundsQuery*>(e.GetClientData());
        if (query->restart)
            *tracker = NormalBoundsTracker(*query->restart);
        query->normal = tracker->Normal();
        query->answered = true;
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
    FormPlacement placement = ReadFormPlacement(registry, key, fromWx(form->GetRect()));
    FormRect bounds = KeepOnDisplays(placement.Bounds, displayAreas());
    form->SetSize(toWx(bounds));
    followNormalBounds(form, bounds);
    if (placement.Max)
        form->Maximize(true);
}

bool SaveFormPlacement(const std::string& key, wxTopLevelWindow* form)
{
    if (!form)
        return false;
    FormPlacement placement;
    placement.Max = form->IsMaximized();
    placement.Bounds = fromWx(form->GetRect());
    NormalBoundsQuery query;
    if (placement.Max && askTracker(form, query))
        placement.Bounds = query.normal;
    Registry registry;
    return WriteFormPlacement(registry, key, placement);
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
