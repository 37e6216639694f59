#include "app/editor/SearchPanel_wx.h"

#include "app/editor/EditorTreeView_wx.h"
#include "app/editor/TreeOperations.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace ql {

namespace {

// A row's picture: the tree's page icon.
constexpr int kRowImage = 2;

}  // namespace

TSearchPanel::TSearchPanel(wxWindow* parent) : wxPanel(parent)
{
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    SearchEdit = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER);
    GoSchB = new wxButton(this, wxID_ANY, "&Go", wxDefaultPosition, wxSize(FromDIP(22) + 16, FromDIP(23)),
                          wxBU_EXACTFIT);
    top->Add(SearchEdit, 1, wxALIGN_CENTER_VERTICAL);
    top->Add(GoSchB, 0, wxALIGN_CENTER_VERTICAL);

    SearchLV = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL);
    SearchLV->AssignImageList(EditorTreeView::MakeImageList(), wxIMAGE_LIST_SMALL);
    SearchLV->AppendColumn("Title", wxLIST_FORMAT_LEFT, FromDIP(198));
    SearchLV->AppendColumn("Position", wxLIST_FORMAT_LEFT, FromDIP(400));
    SearchLV->AppendColumn("Filename", wxLIST_FORMAT_LEFT, FromDIP(400));

    CheckResultOnly = new wxCheckBox(this, wxID_ANY, "Search In &Results");
    CheckTitleOnly = new wxCheckBox(this, wxID_ANY, "Search Only &Titles");
    auto* bottom = new wxBoxSizer(wxVERTICAL);
    bottom->Add(CheckResultOnly, 0, wxALL, 2);
    bottom->Add(CheckTitleOnly, 0, wxALL, 2);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(top, 0, wxEXPAND);
    sizer->Add(SearchLV, 1, wxEXPAND);
    sizer->Add(bottom, 0, wxEXPAND);
    SetSizer(sizer);

    auto run = [this](wxCommandEvent&) {
        if (OnRunSearch)
            OnRunSearch();
    };
    SearchEdit->Bind(wxEVT_TEXT_ENTER, run);
    GoSchB->Bind(wxEVT_BUTTON, run);
    SearchLV->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
        if (OnRowClicked)
            OnRowClicked();
    });
    SearchLV->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) {
        if (OnRowClicked)
            OnRowClicked();
    });
}

std::string TSearchPanel::SearchText() const { return std::string(SearchEdit->GetValue().utf8_str()); }
bool TSearchPanel::ResultOnly() const { return CheckResultOnly->GetValue(); }
bool TSearchPanel::TitleOnly() const { return CheckTitleOnly->GetValue(); }

void TSearchPanel::ShowRows(const std::vector<SearchRow>& rows)
{
    SearchLV->Freeze();
    SearchLV->DeleteAllItems();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const long item = SearchLV->InsertItem(static_cast<long>(i), wxString::FromUTF8(rows[i].title), kRowImage);
        SearchLV->SetItem(item, 1, wxString::FromUTF8(rows[i].position));
        SearchLV->SetItem(item, 2, wxString::FromUTF8(rows[i].fileName));
    }
    SearchLV->Thaw();
}

std::optional<std::size_t> TSearchPanel::SelectedRow() const
{
    const long item = SearchLV->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (item < 0)
        return std::nullopt;
    return static_cast<std::size_t>(item);
}

}  // namespace ql
