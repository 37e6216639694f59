#pragma once
// "Save homepage": the user picks where a handed-over page goes, its title, and whether its
// pictures are copied; the dialog can make new nodes on the way.
#include "app/dialogs/TAddUrlPageForm.h"
#include "platform/gui/PausedHint_wx.h"

#include <wx/dialog.h>

#include <memory>

class wxBitmapButton;
class wxButton;
class wxCheckBox;
class wxTextCtrl;
class wxTreeCtrl;

namespace ql {

class ClipIntake;
class EditorDialogs;
class PageSession;
class TreeMirror;

class TAddUrlPageForm : public wxDialog {
public:
    TAddUrlPageForm(wxWindow* parent, EditorDialogs& dialogs);
    ~TAddUrlPageForm() override;

    // Fills the dialog for the hand-over and shows it modally; returns when it has closed.
    void ShowFor(const ClipHandOver& handOver, PageSession& session, ClipIntake& clips);
    // The same without the modal loop (tests drive the open dialog through its controls).
    void Prepare(const ClipHandOver& handOver, PageSession& session, ClipIntake& clips);

    SaveHomepage* Logic() { return logic_.get(); }
    wxTreeCtrl* TV2 = nullptr;
    wxTextCtrl* TitleEdit = nullptr;
    wxTextCtrl* UrlEdit = nullptr;
    wxCheckBox* CheckImage = nullptr;
    wxButton* Button1 = nullptr;  // "Save"
    wxButton* Button2 = nullptr;  // "Cancel"

    void SpeedButton1Click() { NewNode(false); }
    void SpeedButton2Click() { NewNode(true); }
    // Saves; false when nothing was saved.
    bool Button1Click();

private:
    void BindEvents(wxButton* SpeedButton1, wxButton* SpeedButton2);
    void NewNode(bool child);
    void UpdateSaveButton();
    void CloseWith(int result);
    void Discard();

    EditorDialogs& dialogs_;
    std::unique_ptr<SaveHomepage> logic_;
    std::unique_ptr<TreeMirror> mirror_;
    PausedHints hints_;  // the speed buttons' hints wait for the hint pause
};

}  // namespace ql
