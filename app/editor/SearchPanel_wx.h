#pragma once
// TSearchPanel (the form's SearchPanel): the search text with "&Go", the result list (Title,
// Position, Filename) and the two check boxes. It only shows and reports; the search
// controller decides.
#include "app/editor/CollectionSearch.h"

#include <wx/panel.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class wxButton;
class wxCheckBox;
class wxListCtrl;
class wxTextCtrl;

namespace ql {

class TSearchPanel : public wxPanel {
public:
    explicit TSearchPanel(wxWindow* parent);

    std::string SearchText() const;
    bool ResultOnly() const;
    bool TitleOnly() const;
    void ShowRows(const std::vector<SearchRow>& rows);
    std::optional<std::size_t> SelectedRow() const;

    std::function<void()> OnRunSearch;   // Enter in the search text, "&Go"
    std::function<void()> OnRowClicked;  // SearchLVClick

    wxTextCtrl* SearchEdit = nullptr;
    wxButton* GoSchB = nullptr;
    wxListCtrl* SearchLV = nullptr;
    wxCheckBox* CheckResultOnly = nullptr;
    wxCheckBox* CheckTitleOnly = nullptr;
};

}  // namespace ql
