// The sheets of the page control.
#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/sizer.h>

#include "components/browserhost/Pages_wx.h"

namespace ql {

TCustomTabSheetes::TCustomTabSheetes(TCustomPageControles* pageControl, const wxString& caption)
    : pageControl_(pageControl), caption_(caption)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(pageControl, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxFULL_REPAINT_ON_RESIZE);
    Hide();
    Bind(wxEVT_PAINT, &TCustomTabSheetes::OnPaint, this);
    if (pageControl_)
        pageControl_->AddPage(this);
}

TCustomTabSheetes::~TCustomTabSheetes()
{
    if (pageControl_)
        pageControl_->RemovePage(this);
}

void TCustomTabSheetes::SetTabColor(TColor value)
{
    if (value == tabColor_)
        return;
    tabColor_ = value;
    if (pageControl_)
        pageControl_->Refresh();
}

void TCustomTabSheetes::SetTabFontColor(TColor value)
{
    if (value == tabFontColor_)
        return;
    tabFontColor_ = value;
    if (pageControl_)
        pageControl_->Refresh();
}

void TCustomTabSheetes::SetCaption(const wxString& value)
{
    caption_ = value;
    if (pageControl_)
        pageControl_->Realign();
}

void TCustomTabSheetes::SetImageIndex(int value)
{
    imageIndex_ = value;
    if (pageControl_)
        pageControl_->Refresh();
}

void TCustomTabSheetes::SetTabVisible(bool value)
{
    if (value == tabVisible_)
        return;
    tabVisible_ = value;
    if (pageControl_)
        pageControl_->Realign();
}

bool TCustomTabSheetes::SetFont(const wxFont& font)
{
    const bool changed = wxPanel::SetFont(font);
    if (changed && pageControl_)
        pageControl_->Realign();
    return changed;
}

int TCustomTabSheetes::TabIndex() const
{
    if (!pageControl_ || !tabVisible_)
        return -1;
    int tab = 0;
    for (const TCustomTabSheetes* page : pageControl_->pages_) {
        if (page == this)
            return tab;
        if (page->tabVisible_)
            ++tab;
    }
    return -1;
}

TColor TCustomTabSheetes::Color() const { return parentColor_ && pageControl_ ? pageControl_->Color() : color_; }

void TCustomTabSheetes::SetColor(TColor value)
{
    color_ = value;
    parentColor_ = false;
    Refresh();
}

void TCustomTabSheetes::SetParentColor(bool value)
{
    if (value == parentColor_)
        return;
    parentColor_ = value;
    Refresh();
}

void TCustomTabSheetes::PaintContent(wxDC&) {}

void TCustomTabSheetes::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    {
        WxCanvas canvas(dc);
        const wxSize size = GetClientSize();
        canvas.FillRect(TRect{0, 0, size.x, size.y}, ColorToRGB(Color(), CurrentSystemPalette()));
    }
    PaintContent(dc);
}

TTabSheetes::TTabSheetes(TCustomPageControles* pageControl, const wxString& caption)
    : TCustomTabSheetes(pageControl, caption),
      background_(PageBackground::HolderTiling::ByHolder, [this] { Refresh(); })
{
}

void TTabSheetes::BevelsChanged()
{
    Layout();
    Refresh();
}

void TTabSheetes::SetBevelInner(TBevelCut value)
{
    bevels_.BevelInner = value;
    BevelsChanged();
}

void TTabSheetes::SetBevelOuter(TBevelCut value)
{
    bevels_.BevelOuter = value;
    BevelsChanged();
}

void TTabSheetes::SetBevelWidth(int value)
{
    bevels_.BevelWidth = std::max(1, value);
    BevelsChanged();
}

void TTabSheetes::SetBorderWidth(int value)
{
    bevels_.BorderWidth = std::max(0, value);
    BevelsChanged();
}

bool TTabSheetes::Layout()
{
    wxSizer* sizer = GetSizer();
    if (!sizer)
        return TCustomTabSheetes::Layout();
    const wxSize size = GetClientSize();
    const TRect inner = BevelContentRect(TRect{0, 0, size.x, size.y}, bevels_);
    sizer->SetDimension(wxPoint(inner.Left, inner.Top), wxSize(inner.Width(), inner.Height()));
    return true;
}

wxSize TTabSheetes::ContentInset() const
{
    const TRect nominal{0, 0, 1000, 1000};
    const TRect inner = BevelContentRect(nominal, bevels_);
    return wxSize(nominal.Width() - inner.Width(), nominal.Height() - inner.Height());
}

void TTabSheetes::PaintContent(wxDC& dc)
{
    WxCanvas canvas(dc);
    const SystemPalette palette = CurrentSystemPalette();
    const wxSize size = GetClientSize();
    background_.Paint(canvas, TRect{0, 0, size.x, size.y}, ColorToRGB(Color(), palette), bevels_, palette);
}

}  // namespace ql
