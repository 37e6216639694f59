#include "app/zone/PausedHint_wx.h"

#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace ql {

PausedHint::PausedHint(wxWindow* control) : control_(control)
{
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Rested(); });
    ForEachMouseEvent([this](const auto& type) { control_->Bind(type, &PausedHint::OnMouse, this); });
}

PausedHint::~PausedHint()
{
    timer_.Stop();
    Hide();
    // The control may outlive this (its window goes later): it must not call in here.
    ForEachMouseEvent([this](const auto& type) { control_->Unbind(type, &PausedHint::OnMouse, this); });
}

void PausedHint::OnMouse(wxMouseEvent& e)
{
    e.Skip();
    const wxEventType type = e.GetEventType();
    if (type == wxEVT_LEAVE_WINDOW || e.ButtonDown()) {
        Hide();
    } else if (!tip_ && !e.ButtonIsDown(wxMOUSE_BTN_ANY)) {
        timer_.StartOnce(pauseMs_);  // the pause counts from the pointer's last move
    }
}

void PausedHint::Rested()
{
    if (tip_ || text_.empty() || !control_->IsShownOnScreen())
        return;
    const wxPoint at = wxGetMousePosition();
    if (!control_->GetScreenRect().Contains(at))
        return;
    auto* tip = new wxPopupWindow(control_, wxBORDER_SIMPLE);
    tip->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    auto* label = new wxStaticText(tip, wxID_ANY, text_);
    label->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxALL, 4);
    tip->SetSizerAndFit(sizer);
    tip->Position(at + wxPoint(0, 20), wxSize(0, 0));  // below the pointer, kept on the screen
    tip->Show();
    tip_ = tip;
}

void PausedHint::Hide()
{
    timer_.Stop();
    if (tip_)
        tip_->Destroy();
    tip_ = nullptr;
}

}  // namespace ql
