#pragma once
// Printing plain text: the lines in a fixed-pitch font, wrapped to the page's width, paged.
#include <wx/print.h>

#include <vector>

namespace ql {

class TextPrintout : public wxPrintout {
public:
    TextPrintout(const wxString& title, const wxString& text);

    void OnPreparePrinting() override;
    bool OnPrintPage(int page) override;
    bool HasPage(int page) override { return page >= 1 && page <= PageCount(); }
    void GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) override;
    const std::vector<wxString>& Lines() const { return lines_; }  // as printed, wrapped

private:
    int PageCount() const;
    void SetUpDc(wxDC& dc);

    wxString text_;
    std::vector<wxString> lines_;  // wrapped
    int linesPerPage_ = 1;
    int lineHeight_ = 1;
    wxRect area_;
};

}  // namespace ql
