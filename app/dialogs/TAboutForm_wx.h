#pragma once
// The about box: the product, its version, the maker's notice and web page.
#include <wx/dialog.h>

class wxStaticText;

namespace ql {

class Launcher;

class TAboutForm : public wxDialog {
public:
    TAboutForm(wxWindow* parent, Launcher& launcher);

    void FormShow();
    void TextWebsiteClick();
    wxStaticText* TextWebsite = nullptr;  // the maker's web page, a link
    wxStaticText* Title() const { return title_; }

private:
    Launcher& launcher_;
    wxStaticText* title_ = nullptr;
};

}  // namespace ql
