#include "components/browserhost/Grafxes_wx.h"

#include <cstring>

#include <wx/image.h>
#include <wx/settings.h>

#include "components/browserhost/Bitmap.h"

namespace ql {

wxColour ToWxColour(TColor rgb) { return wxColour(RedOf(rgb), GreenOf(rgb), BlueOf(rgb)); }

TColor FromWxColour(const wxColour& c) { return RGBColor(c.Red(), c.Green(), c.Blue()); }

SystemPalette CurrentSystemPalette()
{
    auto sys = [](wxSystemColour index) { return FromWxColour(wxSystemSettings::GetColour(index)); };
    SystemPalette p;
    p.btnFace = sys(wxSYS_COLOUR_BTNFACE);
    p.btnHighlight = sys(wxSYS_COLOUR_BTNHIGHLIGHT);
    p.btnShadow = sys(wxSYS_COLOUR_BTNSHADOW);
    p.dkShadow = sys(wxSYS_COLOUR_3DDKSHADOW);
    p.light = sys(wxSYS_COLOUR_3DLIGHT);
    p.btnText = sys(wxSYS_COLOUR_BTNTEXT);
    p.hotLight = sys(wxSYS_COLOUR_HOTLIGHT);
    return p;
}

wxBitmap ToWxBitmap(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return wxBitmap();
    wxImage image(bitmap.Width(), bitmap.Height(), false);
    std::memcpy(image.GetData(), bitmap.Rgb(), std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()) * 3);
    return wxBitmap(image);
}

WxCanvas::WxCanvas(wxDC& dc, wxImageList* images) : dc_(dc), images_(images)
{
    hadClip_ = dc_.GetClippingBox(initialClip_);
}

WxCanvas::~WxCanvas()
{
    if (!clips_.empty()) {
        clips_.clear();
        ApplyClip();
    }
}

void WxCanvas::ApplyClip()
{
    dc_.DestroyClippingRegion();
    if (!clips_.empty()) {
        const TRect& r = clips_.back();
        if (!r.IsEmpty())
            dc_.SetClippingRegion(r.Left, r.Top, r.Width(), r.Height());
    } else if (hadClip_) {
        dc_.SetClippingRegion(initialClip_);
    }
}

void WxCanvas::PushClip(const TRect& r)
{
    TRect next = r;
    if (!clips_.empty())
        next = Intersect(next, clips_.back());
    else if (hadClip_)
        next = Intersect(
            next, TRect{initialClip_.x, initialClip_.y, initialClip_.GetRight() + 1, initialClip_.GetBottom() + 1});
    if (next.IsEmpty())
        next = TRect{};
    clips_.push_back(next);
    ApplyClip();
}

void WxCanvas::PopClip()
{
    if (clips_.empty())
        return;
    clips_.pop_back();
    ApplyClip();
}

void WxCanvas::FillRect(const TRect& r, TColor rgb)
{
    if (r.IsEmpty() || ClippedAway())
        return;
    dc_.SetPen(*wxTRANSPARENT_PEN);
    dc_.SetBrush(wxBrush(ToWxColour(rgb)));
    dc_.DrawRectangle(r.Left, r.Top, r.Width(), r.Height());
}

void WxCanvas::FillEllipse(const TRect& box, TColor rgb)
{
    if (box.IsEmpty() || ClippedAway())
        return;
    dc_.SetPen(*wxTRANSPARENT_PEN);
    dc_.SetBrush(wxBrush(ToWxColour(rgb)));
    dc_.DrawEllipse(box.Left, box.Top, box.Width(), box.Height());
}

void WxCanvas::Blit(int x, int y, int w, int h, const TBitmap& source, int srcX, int srcY)
{
    if (w <= 0 || h <= 0 || source.Empty() || ClippedAway())
        return;
    if (cachedSource_ != &source || cachedGeneration_ != source.Generation() || !cachedDC_) {
        cachedDC_.reset();
        cached_ = ToWxBitmap(source);
        cachedSource_ = &source;
        cachedGeneration_ = source.Generation();
        cachedDC_ = std::make_unique<wxMemoryDC>();
        cachedDC_->SelectObjectAsSource(cached_);
    }
    dc_.Blit(x, y, w, h, cachedDC_.get(), srcX, srcY, wxCOPY);
}

TSize WxCanvas::TextExtent(const std::string& text)
{
    const wxSize s = dc_.GetTextExtent(wxString::FromUTF8(text));
    return TSize{s.GetWidth(), s.GetHeight()};
}

void WxCanvas::TextOut(int x, int y, const std::string& text, TColor rgb, int angle)
{
    if (ClippedAway())
        return;
    dc_.SetTextForeground(ToWxColour(rgb));
    dc_.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    if (angle == 0)
        dc_.DrawText(wxString::FromUTF8(text), x, y);
    else
        dc_.DrawRotatedText(wxString::FromUTF8(text), x, y, angle);
}

void WxCanvas::DrawImage(int index, int x, int y)
{
    if (!images_ || index < 0 || index >= images_->GetImageCount() || ClippedAway())
        return;
    images_->Draw(index, dc_, x, y, wxIMAGELIST_DRAW_TRANSPARENT);
}

}  // namespace ql
