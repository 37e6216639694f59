#include "app/editor/UndoTextCtrl_wx.h"

#include <wx/weakref.h>

namespace ql {

UndoTextCtrl::UndoTextCtrl(wxWindow* parent, wxWindowID id, long style)
    : wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, style)
{
    history_.Reset(GetValue().ToStdWstring());
    Bind(wxEVT_TEXT, &UndoTextCtrl::OnText, this);
}

void UndoTextCtrl::OnText(wxCommandEvent& event)
{
    event.Skip();
    if (applying_)
        return;
    pending_ = true;
    if (queued_)
        return;
    queued_ = true;
    wxWeakRef<UndoTextCtrl> self(this);
    CallAfter([self] {
        if (!self)
            return;
        self->queued_ = false;
        self->Record();
    });
}

void UndoTextCtrl::Record() const
{
    if (!pending_)
        return;
    pending_ = false;
    history_.Changed(GetValue().ToStdWstring());
}

void UndoTextCtrl::DoSetValue(const wxString& value, int flags)
{
    Record();
    applying_ = true;
    wxTextCtrl::DoSetValue(value, flags);
    applying_ = false;
    if (flags & SetValue_SendEvent)
        history_.Changed(GetValue().ToStdWstring());
    else
        history_.Reset(GetValue().ToStdWstring());
}

bool UndoTextCtrl::CanUndo() const
{
    Record();
    return IsEditable() && history_.CanUndo();
}

void UndoTextCtrl::Undo()
{
    if (!CanUndo())
        return;
    std::optional<TextUndoHistory::Restore> r = history_.Undo();
    if (!r)
        return;
    applying_ = true;
    Replace(r->from, r->to, r->text);
    applying_ = false;
    // Should the control have taken the change otherwise, its own text is what counts.
    const std::wstring now = GetValue().ToStdWstring();
    if (now != history_.Text())
        history_.Reset(now);
    SetInsertionPoint(r->caret);
    ShowPosition(r->caret);
}

}  // namespace ql
