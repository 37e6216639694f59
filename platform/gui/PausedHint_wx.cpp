#include "platform/gui/PausedHint_wx.h"

#include <algorithm>
#include <gtk/gtk.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/tooltip.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace ql {

namespace {

int applicationHintPause = 500;

GtkToolbar* ToolbarIn(GtkWidget* widget)
{
    if (!widget)
        return nullptr;
    if (GTK_IS_TOOLBAR(widget))
        return GTK_TOOLBAR(widget);
    GtkToolbar* found = nullptr;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c && !found; c = c->next)
            found = ToolbarIn(GTK_WIDGET(c->data));
        g_list_free(children);
    }
    return found;
}

// The toolkit's toolbar inside a wx toolbar's widgets; nullptr when there is none.
GtkToolbar* ToolbarWidgetOf(wxToolBar* bar) { return bar ? ToolbarIn(bar->GetHandle()) : nullptr; }

// The tool at a point of the toolbar's client area (the toolkit's port does not find it): the
// toolkit's items stand in the tools' order, separators included.
const wxToolBarToolBase* ToolAt(wxToolBar* bar, const wxPoint& at)
{
    GtkWidget* outer = bar->GetHandle();
    GtkToolbar* toolbar = ToolbarWidgetOf(bar);
    if (!toolbar)
        return nullptr;
    const int n = std::min(gtk_toolbar_get_n_items(toolbar), static_cast<int>(bar->GetToolsCount()));
    for (int i = 0; i < n; ++i) {
        GtkWidget* item = GTK_WIDGET(gtk_toolbar_get_nth_item(toolbar, i));
        int x = 0, y = 0;
        if (!gtk_widget_get_visible(item) || !gtk_widget_translate_coordinates(item, outer, 0, 0, &x, &y))
            continue;
        if (at.x >= x && at.y >= y && at.x < x + gtk_widget_get_allocated_width(item) &&
            at.y < y + gtk_widget_get_allocated_height(item))
            return bar->GetToolByPos(i);
    }
    return nullptr;
}

// The toolkit keeps a toolbar's tool tips on its tool items and their buttons.
void SilenceToolTips(GtkToolbar* bar)
{
    for (int i = 0, n = gtk_toolbar_get_n_items(bar); i < n; ++i) {
        GtkWidget* item = GTK_WIDGET(gtk_toolbar_get_nth_item(bar, i));
        gtk_widget_set_has_tooltip(item, FALSE);
        if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(item)))
            gtk_widget_set_has_tooltip(child, FALSE);
    }
}

}  // namespace

int ApplicationHintPause() { return applicationHintPause; }

void SetApplicationHintPause(int milliseconds)
{
    applicationHintPause = milliseconds;
    wxToolTip::SetDelay(milliseconds);  // for a toolkit that still honours it
}

PausedHint::PausedHint(wxWindow* control) : control_(control)
{
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Rested(); });
    ForEachMouseEvent([this](const auto& type) { control_->Bind(type, &PausedHint::OnMouse, this); });
    // A toolbar's tool buttons keep their presses to themselves: a used tool takes the hint away.
    control_->Bind(wxEVT_TOOL, &PausedHint::OnUsed, this);
}

PausedHint::~PausedHint()
{
    timer_.Stop();
    Hide();
    // The control may outlive this (its window goes later): it must not call in here.
    if (control_) {
        ForEachMouseEvent([this](const auto& type) { control_->Unbind(type, &PausedHint::OnMouse, this); });
        control_->Unbind(wxEVT_TOOL, &PausedHint::OnUsed, this);
    }
}

void PausedHint::OnUsed(wxCommandEvent& e)
{
    e.Skip();
    Hide();
}

void PausedHint::OnMouse(wxMouseEvent& e)
{
    e.Skip();
    const wxEventType type = e.GetEventType();
    if (type == wxEVT_LEAVE_WINDOW || e.ButtonDown()) {
        Hide();
        return;
    }
    // Onto another tool: its own hint waits for a pause of its own.
    if (tip_ && textAt_ && TextAt(wxGetMousePosition()) != shown_)
        Hide();
    if (!tip_ && !e.ButtonIsDown(wxMOUSE_BTN_ANY))
        timer_.StartOnce(applicationHintPause);  // the pause counts from the pointer's last move
}

wxString PausedHint::TextAt(const wxPoint& screen) const
{
    return textAt_ ? textAt_(control_->ScreenToClient(screen)) : text_;
}

void PausedHint::Rested()
{
    if (tip_ || !control_)
        return;
    const wxPoint at = wxGetMousePosition();
    const wxString text = TextAt(at);
    if (text.empty() || !control_->IsShownOnScreen() || !control_->GetScreenRect().Contains(at))
        return;
    auto* tip = new wxPopupWindow(control_, wxBORDER_SIMPLE);
    tip->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    auto* label = new wxStaticText(tip, wxID_ANY, text);
    label->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxALL, 4);
    tip->SetSizerAndFit(sizer);
    tip->Position(at + wxPoint(0, 20), wxSize(0, 0));  // below the pointer, kept on the screen
    tip->Show();
    tip_ = tip;
    shown_ = text;
}

void PausedHint::Hide()
{
    timer_.Stop();
    if (tip_)
        tip_->Destroy();
    tip_ = nullptr;
    shown_.clear();
}

void PausedHints::TakeOver(wxWindow* root)
{
    if (!root)
        return;
    if (auto* bar = wxDynamicCast(root, wxToolBar)) {
        if (GtkToolbar* toolbar = ToolbarWidgetOf(bar))
            SilenceToolTips(toolbar);
        auto hint = std::make_unique<PausedHint>(bar);
        hint->SetTextAt([bar](const wxPoint& at) {
            const wxToolBarToolBase* tool = ToolAt(bar, at);
            return tool ? tool->GetShortHelp() : wxString();
        });

        hints_.push_back(std::move(hint));
    } else if (const wxString text = root->GetToolTipText(); !text.empty()) {
        root->UnsetToolTip();
        auto hint = std::make_unique<PausedHint>(root);
        hint->SetText(text);
        hints_.push_back(std::move(hint));
    }
    for (wxWindow* child : root->GetChildren())
        if (!child->IsTopLevel())
            TakeOver(child);
}

const PausedHint* PausedHints::Showing() const
{
    for (const auto& hint : hints_)
        if (hint->Showing())
            return hint.get();
    return nullptr;
}

}  // namespace ql
