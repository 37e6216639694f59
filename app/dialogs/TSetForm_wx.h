#pragma once
// "Options": the user-settable fields of the settings record, stored back on OK.
#include "app/dialogs/TSetForm.h"

#include <wx/dialog.h>

#include <functional>

class wxCheckBox;
class wxRadioBox;

namespace ql {

struct TSettings;

class TSetForm : public wxDialog {
public:
    // `applyZoneVisibility` sets the drop zone's visibility from `showDragForm`.
    TSetForm(wxWindow* parent, TSettings& settings, std::function<void()> applyZoneVisibility);

    void FormShow();
    void BtnOKClick();

    OptionsControls Controls() const;
    void SetControls(const OptionsControls& c);

private:
    TSettings& settings_;
    std::function<void()> applyZoneVisibility_;
    wxRadioBox *RG1, *RG3, *RG4;
    wxCheckBox *check1, *check2, *Check3, *check4, *check5, *check6, *check7, *CheckDragZone;
};

}  // namespace ql
