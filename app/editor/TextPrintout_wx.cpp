#include "app/editor/TextPrintout_wx.h"

#include <wx/dc.h>
#include <wx/tokenzr.h>

#include <algorithm>

namespace ql {

namespace {

constexpr int kMarginPercent = 6;

}  // namespace

TextPrintout::TextPrintout(const wxString& title, const wxString& text) : wxPrintout(title), text_(text) {}

void TextPrintout::SetUpDc(wxDC& dc)
{
    // Screen-sized text on paper: the DC's scale maps screen pixels to the page.
    MapScreenSizeToPage();
    dc.SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
    dc.SetTextForeground(*wxBLACK);
    const wxRect page = GetLogicalPageRect();
    const int dx = page.width * kMarginPercent / 100, dy = page.height * kMarginPercent / 100;
    area_ = wxRect(page.x + dx, page.y + dy, std::max(1, page.width - 2 * dx), std::max(1, page.height - 2 * dy));
    lineHeight_ = std::max(1, dc.GetCharHeight());
}

void TextPrintout::OnPreparePrinting()
{
    wxDC* dc = GetDC();
    if (!dc)
        return;
    SetUpDc(*dc);
    linesPerPage_ = std::max(1, area_.height / lineHeight_);
    lines_.clear();
    wxStringTokenizer source(text_, "\n", wxTOKEN_RET_EMPTY_ALL);
    while (source.HasMoreTokens()) {
        wxString line = source.GetNextToken();
        line.Replace("\r", "");
        line.Replace("\t", "    ");
        // Long lines continue on the next, cut where the width runs out.
        do {
            std::size_t fit = line.length();
            while (fit > 1 && dc->GetTextExtent(line.Left(fit)).x > area_.width)
                fit = fit * 3 / 4;
            while (fit < line.length() && dc->GetTextExtent(line.Left(fit + 1)).x <= area_.width)
                ++fit;
            lines_.push_back(line.Left(fit));
            line = line.Mid(fit);
        } while (!line.empty());
    }
}

int TextPrintout::PageCount() const
{
    return std::max<int>(1, static_cast<int>((lines_.size() + linesPerPage_ - 1) / linesPerPage_));
}

void TextPrintout::GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo)
{
    *minPage = *selFrom = 1;
    *maxPage = *selTo = PageCount();
}

bool TextPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc)
        return false;
    SetUpDc(*dc);
    const std::size_t first = static_cast<std::size_t>(page - 1) * linesPerPage_;
    for (std::size_t i = first; i < lines_.size() && i < first + linesPerPage_; ++i)
        dc->DrawText(lines_[i], area_.x, area_.y + static_cast<int>(i - first) * lineHeight_);
    return true;
}

}  // namespace ql
