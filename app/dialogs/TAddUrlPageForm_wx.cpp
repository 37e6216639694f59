#include "app/dialogs/TAddUrlPageForm_wx.h"

#include "app/collection/TextUtil.h"

#include "app/collection/TreeMirror_wx.h"
#include "app/editor/session/PageSession.h"
#include "foundation/VekAdvClass_wx.h"
#include "foundation/VekBaseClass_wx.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/ErrorLog.h"

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>

namespace ql {

TAddUrlPageForm::TAddUrlPageForm(wxWindow* parent, EditorDialogs& dialogs)
    : wxDialog(parent, wxID_ANY, "Save homepage", wxDefaultPosition, wxSize(466, 353),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER),
      dialogs_(dialogs)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* head = new wxBoxSizer(wxHORIZONTAL);
    head->Add(new wxStaticText(this, wxID_ANY, "Save to:"), 1, wxALIGN_CENTER_VERTICAL);
    auto* SpeedButton1 = new wxBitmapButton(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_NEW, wxART_BUTTON),
                                            wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
    SpeedButton1->SetToolTip("Create New Item");
    SpeedButton1->SetCursor(wxCursor(wxCURSOR_HAND));
    auto* SpeedButton2 = new wxBitmapButton(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_NEW_DIR, wxART_BUTTON),
                                            wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
    SpeedButton2->SetToolTip("Create New Subitem");
    SpeedButton2->SetCursor(wxCursor(wxCURSOR_HAND));
    head->Add(SpeedButton1, 0, wxLEFT, 4);
    head->Add(SpeedButton2, 0, wxLEFT, 4);
    sizer->Add(head, 0, wxEXPAND | wxALL, 6);

    TV2 = new wxTreeCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(-1, 170),
                         wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxTR_EDIT_LABELS);
    TV2->SetIndent(19);
    SetCollectionTreeImages(TV2);
    sizer->Add(TV2, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);

    auto* grid = new wxFlexGridSizer(2, 4, 6);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(this, wxID_ANY, "Title:"), 0, wxALIGN_CENTER_VERTICAL);
    TitleEdit = new wxTextCtrl(this, wxID_ANY);
    grid->Add(TitleEdit, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, "From URL:"), 0, wxALIGN_CENTER_VERTICAL);
    UrlEdit = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    UrlEdit->Disable();
    grid->Add(UrlEdit, 1, wxEXPAND);
    sizer->Add(grid, 0, wxEXPAND | wxALL, 6);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    CheckImage = new wxCheckBox(this, wxID_ANY, "Include images");
    CheckImage->SetValue(true);
    bottom->Add(CheckImage, 1, wxALIGN_CENTER_VERTICAL);
    Button1 = new wxButton(this, wxID_ANY, "Save");
    Button2 = new wxButton(this, wxID_CANCEL, "Cancel");
    Button1->SetDefault();
    bottom->Add(Button1, 0, wxLEFT, 6);
    bottom->Add(Button2, 0, wxLEFT, 6);
    sizer->Add(bottom, 0, wxEXPAND | wxALL, 6);
    SetSizer(sizer);
    SetSize(wxSize(466, 353));
    BindEvents(SpeedButton1, SpeedButton2);
}

void TAddUrlPageForm::BindEvents(wxButton* SpeedButton1, wxButton* SpeedButton2)
{
    SpeedButton1->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SpeedButton1Click(); });
    SpeedButton2->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SpeedButton2Click(); });
    CheckImage->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        if (logic_)
            logic_->CheckImageClick(CheckImage->GetValue());
    });
    TV2->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& e) {
        e.Skip();
        if (mirror_)
            mirror_->SelectionFromControl();
        UpdateSaveButton();
    });
    TV2->Bind(wxEVT_TREE_END_LABEL_EDIT, [this](wxTreeEvent& e) {
        // The caption changes; the page id made for the node stays.
        if (e.IsEditCancelled() || !mirror_ || !logic_)
            return;
        if (TrimControls(std::string(e.GetLabel().utf8_str())).empty()) {
            e.Veto();  // a caption cannot be blank
            return;
        }
        if (TreeNode* node = mirror_->NodeOf(e.GetItem()))
            logic_->Tree().SetText(node, std::string(e.GetLabel().utf8_str()));
    });
    Button1->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        // The dialog closes first; the save runs after.
        CloseWith(wxID_OK);
        Button1Click();
        Discard();
    });
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent&) {
            CloseWith(wxID_CANCEL);
            Discard();
        },
        wxID_CANCEL);
    hints_.TakeOver(this);
}

TAddUrlPageForm::~TAddUrlPageForm() { Discard(); }

void TAddUrlPageForm::Discard()
{
    mirror_.reset();
    logic_.reset();
}

void TAddUrlPageForm::Prepare(const ClipHandOver& handOver, PageSession& session, ClipIntake& clips)
{
    Discard();
    logic_ = std::make_unique<SaveHomepage>(session, clips, dialogs_);
    logic_->FormShow(handOver);
    mirror_ = std::make_unique<TreeMirror>(logic_->Tree(), TV2);
    TitleEdit->SetValue(wxString::FromUTF8(logic_->Title));
    UrlEdit->SetValue(wxString::FromUTF8(logic_->Url()));
    CheckImage->SetValue(logic_->IncludeImages());
    if (TreeNode* selected = logic_->Tree().Selected()) {
        wxTreeItemId item = mirror_->ItemOf(selected);
        if (item.IsOk())
            TV2->Expand(item);
    }
    // ChineseSystem: the dialog's font is one that has the characters.
    if (ChineseSystem) {
        wxFont font(wxFontInfo(10).FaceName("SimSun").Encoding(wxFONTENCODING_GB2312));
        if (font.IsOk())
            SetFont(font);
    }
    UpdateSaveButton();
}

void TAddUrlPageForm::ShowFor(const ClipHandOver& handOver, PageSession& session, ClipIntake& clips)
{
    Prepare(handOver, session, clips);
    // The title is what the user edits first; Enter there saves.
    TitleEdit->SetFocus();
    TitleEdit->SelectAll();
    SetTopMost(this, true);
    // Nothing names a place for it: the middle of the screen, frame included.
    CentreOnScreenFramed(this);
    ShowModal();
    Discard();
}

void TAddUrlPageForm::CloseWith(int result)
{
    if (IsModal())
        EndModal(result);
    else
        Hide();
}

void TAddUrlPageForm::UpdateSaveButton() { Button1->Enable(logic_ && logic_->CanSave()); }

void TAddUrlPageForm::NewNode(bool child)
{
    if (!logic_)
        return;
    SetTopMost(this, false);  // the input box must not hide behind the dialog
    TreeNode* node = child ? logic_->SpeedButton2Click() : logic_->SpeedButton1Click();
    if (!node)
        return;
    wxTreeItemId item = mirror_->ItemOf(node);
    if (!item.IsOk())
        return;
    TV2->SelectItem(item);
    if (child)
        TV2->Expand(item);
    TV2->EditLabel(item);
    UpdateSaveButton();
}

bool TAddUrlPageForm::Button1Click()
{
    if (!logic_)
        return false;
    logic_->Title = std::string(TitleEdit->GetValue().utf8_str());
    bool saved = false;
    if (!GuardHandler("Save homepage", [&] { saved = logic_->Save(); }))
        dialogs_.ShowMessage(kSavingFailed);
    return saved;
}

}  // namespace ql
