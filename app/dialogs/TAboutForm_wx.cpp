#include "app/dialogs/TAboutForm_wx.h"

#include "app/product/ProductInfo.h"
#include "app/product/ZoneArtwork_wx.h"
#include "foundation/VekIEClass.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace ql {

namespace {

constexpr int kAboutFontPixels = 12, kAboutTitlePixels = 13;

}  // namespace

TAboutForm::TAboutForm(wxWindow* parent, Launcher& launcher)
    : wxDialog(parent, wxID_ANY, "About", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      launcher_(launcher)
{
    // The box's characters are 12 pixels high, the product name's 13 and bold (at 96 dots per
    // inch); the desktop's sans serif face stands for the one the box was drawn with.
    SetFont(wxFont(wxFontInfo(kAboutFontPixels * 72.0 / 96.0).Family(wxFONTFAMILY_SWISS)));
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "");
    wxWindow* box = group->GetStaticBox();
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticBitmap(box, wxID_ANY, ProgramIconBitmap(32)), 0, wxALL, 8);
    auto* title = new wxStaticText(box, wxID_ANY, kProductName);
    title->SetFont(wxFont(wxFontInfo(kAboutTitlePixels * 72.0 / 96.0).Family(wxFONTFAMILY_SWISS).Bold()));
    title_ = title;
    auto* texts = new wxBoxSizer(wxVERTICAL);
    texts->Add(title, 0, wxBOTTOM, 4);
    texts->Add(new wxStaticText(box, wxID_ANY, kProductVersion), 0, wxBOTTOM, 8);
    auto* notice = new wxStaticText(box, wxID_ANY, kMakerNotice);
    notice->Wrap(300);
    texts->Add(notice, 0, wxBOTTOM, 8);
    TextWebsite = new wxStaticText(box, wxID_ANY, "");
    TextWebsite->SetForegroundColour(*wxBLUE);
    wxFont underlined = TextWebsite->GetFont();
    underlined.SetUnderlined(true);
    TextWebsite->SetFont(underlined);
    TextWebsite->SetCursor(wxCursor(wxCURSOR_HAND));
    texts->Add(TextWebsite, 0, wxBOTTOM, 4);
    texts->Add(new wxStaticText(box, wxID_ANY, std::string(kMakerContact).substr(7)), 0, wxBOTTOM, 8);
    top->Add(texts, 1, wxALL, 8);
    group->Add(top, 1, wxEXPAND);
    auto* ok = new wxButton(box, wxID_OK, "&OK");
    ok->SetDefault();
    group->Add(ok, 0, wxALIGN_RIGHT | wxALL, 8);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(group, 1, wxEXPAND | wxALL, 6);
    SetSizerAndFit(sizer);
    SetClientSize(wxSize(std::max(385, GetClientSize().x), std::max(205, GetClientSize().y)));
    CentreOnScreen();

    Bind(wxEVT_SHOW, [this](wxShowEvent& e) {
        e.Skip();
        if (e.IsShown())
            FormShow();
    });
    TextWebsite->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { TextWebsiteClick(); });
}

void TAboutForm::FormShow() { TextWebsite->SetLabel(kMakerWebsite); }

void TAboutForm::TextWebsiteClick() { OpenInNewBrowser(kMakerWebsite, "", launcher_); }

}  // namespace ql
