#pragma once
// The Text view's text control: GTK's text view has no Undo, so this one keeps its own
// history (TextUndoHistory) from its change events. A text set without an event (a page
// loaded into the view) starts a new history; one set with an event counts as an edit.
#include "app/editor/TextUndoHistory.h"

#include <wx/textctrl.h>

namespace ql {

class UndoTextCtrl : public wxTextCtrl {
public:
    UndoTextCtrl(wxWindow* parent, wxWindowID id, long style);

    bool CanUndo() const override;
    void Undo() override;

protected:
    void DoSetValue(const wxString& value, int flags) override;

private:
    void OnText(wxCommandEvent& event);
    // The changes since the last look, as one step: GTK reports a replaced selection as a
    // deletion and an insertion, which the user made in one go.
    void Record() const;

    mutable TextUndoHistory history_;
    mutable bool pending_ = false;
    bool queued_ = false;
    bool applying_ = false;  // our own change is under way: not an edit to record
};

}  // namespace ql
