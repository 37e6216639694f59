#include "app/dialogs/TSetForm_wx.h"

#include "foundation/VekCollectClass.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace ql {

namespace {

constexpr int kOptionsFontPixels = 11;

}  // namespace

TSetForm::TSetForm(wxWindow* parent, TSettings& settings, std::function<void()> applyZoneVisibility)
    : wxDialog(parent, wxID_ANY, "Options", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      settings_(settings),
      applyZoneVisibility_(std::move(applyZoneVisibility))
{
    // The dialog's characters are 11 pixels high (at 96 dots per inch); the desktop's sans serif
    // face stands for the one the dialog was drawn with. Set first, so every control takes it.
    SetFont(wxFont(wxFontInfo(kOptionsFontPixels * 72.0 / 96.0).Family(wxFONTFAMILY_SWISS)));
    auto* PageControl1 = new wxNotebook(this, wxID_ANY);

    auto* base = new wxPanel(PageControl1);
    auto* baseSizer = new wxBoxSizer(wxVERTICAL);
    auto* dragging = new wxStaticBoxSizer(wxVERTICAL, base, "Deal with Dragging Content");
    check1 = new wxCheckBox(dragging->GetStaticBox(), wxID_ANY, "Save images");
    auto* Label4 = new wxStaticText(dragging->GetStaticBox(), wxID_ANY,
                                    "Hint: If you want to save all images,  stop your browser before dragging.");
    Label4->SetForegroundColour(*wxLIGHT_GREY);
    Label4->Wrap(360);
    check6 = new wxCheckBox(dragging->GetStaticBox(), wxID_ANY, "Clean up disorderly code");
    check7 = new wxCheckBox(dragging->GetStaticBox(), wxID_ANY, "Set to Unicode mode");
    for (wxWindow* w : {static_cast<wxWindow*>(check1), static_cast<wxWindow*>(Label4), static_cast<wxWindow*>(check6),
                        static_cast<wxWindow*>(check7)})
        dragging->Add(w, 0, wxALL, 4);
    baseSizer->Add(dragging, 0, wxEXPAND | wxALL, 8);
    Check3 = new wxCheckBox(base, wxID_ANY, "Show Editor Window while startup");
    CheckDragZone = new wxCheckBox(base, wxID_ANY, "Show DragZone while startup");
    baseSizer->Add(Check3, 0, wxALL, 8);
    baseSizer->Add(CheckDragZone, 0, wxALL, 8);
    base->SetSizer(baseSizer);
    PageControl1->AddPage(base, "Base Options");

    auto* more = new wxPanel(PageControl1);
    auto* moreSizer = new wxBoxSizer(wxVERTICAL);
    auto* editor = new wxStaticBoxSizer(wxVERTICAL, more, "Deal with Editor Html");
    check5 = new wxCheckBox(editor->GetStaticBox(), wxID_ANY, "Use Div On Carriage Return");
    check2 = new wxCheckBox(editor->GetStaticBox(), wxID_ANY, "Monitor current file's changed");
    check4 = new wxCheckBox(editor->GetStaticBox(), wxID_ANY, "Auto change text to html format");
    for (wxWindow* w : {check5, check2, check4})
        editor->Add(w, 0, wxALL, 4);
    moreSizer->Add(editor, 0, wxEXPAND | wxALL, 8);
    const wxString formats[] = {"Html", "Pure Text"};
    RG1 = new wxRadioBox(more, wxID_ANY, "Extracted Content Format", wxDefaultPosition, wxDefaultSize, 2, formats, 1);
    const wxString after[] = {"Hide main window", "Bring main window to top"};
    RG4 = new wxRadioBox(more, wxID_ANY, "After Dragging", wxDefaultPosition, wxDefaultSize, 2, after, 1);
    const wxString saved[] = {"Original Format", "Unicode Format"};
    RG3 = new wxRadioBox(more, wxID_ANY, "Saved Html Format", wxDefaultPosition, wxDefaultSize, 2, saved, 1);
    RG3->Hide();
    moreSizer->Add(RG1, 0, wxEXPAND | wxALL, 8);
    moreSizer->Add(RG4, 0, wxEXPAND | wxALL, 8);
    moreSizer->Add(RG3, 0, wxEXPAND | wxALL, 8);
    more->SetSizer(moreSizer);
    PageControl1->AddPage(more, "More Options");

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(PageControl1, 1, wxEXPAND | wxALL, 6);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, wxID_OK, "&OK");
    auto* cancel = new wxButton(this, wxID_CANCEL, "&Cancel");
    ok->SetDefault();
    buttons->Add(ok, 0, wxALL, 4);
    buttons->Add(cancel, 0, wxALL, 4);
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 4);
    SetSizerAndFit(sizer);
    SetClientSize(wxSize(std::max(485, GetClientSize().x), std::max(347, GetClientSize().y)));
    CentreOnScreen();

    Bind(wxEVT_SHOW, [this](wxShowEvent& e) {
        e.Skip();
        if (e.IsShown())
            FormShow();
    });
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { BtnOKClick(); });
}

OptionsControls TSetForm::Controls() const
{
    OptionsControls c;
    c.RG1 = RG1->GetSelection();
    c.RG3 = RG3->GetSelection();
    c.RG4 = RG4->GetSelection();
    c.check1 = check1->GetValue();
    c.check2 = check2->GetValue();
    c.Check3 = Check3->GetValue();
    c.check4 = check4->GetValue();
    c.check5 = check5->GetValue();
    c.check6 = check6->GetValue();
    c.check7 = check7->GetValue();
    c.CheckDragZone = CheckDragZone->GetValue();
    return c;
}

void TSetForm::SetControls(const OptionsControls& c)
{
    RG1->SetSelection(c.RG1);
    RG3->SetSelection(c.RG3);
    RG4->SetSelection(c.RG4);
    check1->SetValue(c.check1);
    check2->SetValue(c.check2);
    Check3->SetValue(c.Check3);
    check4->SetValue(c.check4);
    check5->SetValue(c.check5);
    check6->SetValue(c.check6);
    check7->SetValue(c.check7);
    CheckDragZone->SetValue(c.CheckDragZone);
}

void TSetForm::FormShow()
{
    SetControls(ShowOptions(settings_));
    if (applyZoneVisibility_)
        applyZoneVisibility_();
}

void TSetForm::BtnOKClick()
{
    StoreOptions(Controls(), settings_);
    if (applyZoneVisibility_)
        applyZoneVisibility_();
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}

}  // namespace ql
