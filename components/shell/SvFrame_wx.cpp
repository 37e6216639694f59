#include "components/shell/SvFrame_wx.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/sizer.h>

namespace ql::shellctl {

namespace {

wxColour SystemColour(TFrameColor color, const wxColour& fill)
{
    switch (color) {
    case TFrameColor::BtnHighlight:
        return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    case TFrameColor::BtnShadow:
        return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    case TFrameColor::BtnFace:
        return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    case TFrameColor::DkShadow:
        return wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW);
    case TFrameColor::WindowFrame:
        return wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWFRAME);
    case TFrameColor::Fill:
        break;
    }
    return fill;
}

// Draws a single-line caption into `rect`, cut with an ellipsis, "&" marking a mnemonic.
void DrawCaptionText(wxDC& dc, const wxRect& rect, std::uint32_t format, const wxString& text)
{
    const wxString shown = wxString::FromUTF8(CaptionTextToDraw(text.ToStdString(wxConvUTF8), format));
    const wxString cut = wxControl::Ellipsize(shown, dc, wxELLIPSIZE_END, std::max(rect.width, 0),
                                              wxELLIPSIZE_FLAGS_PROCESS_MNEMONICS);
    int align = wxALIGN_CENTER_VERTICAL;
    if ((format & 3) == DT_CENTER)
        align |= wxALIGN_CENTER_HORIZONTAL;
    else if ((format & 3) == DT_RIGHT)
        align |= wxALIGN_RIGHT;
    dc.DrawLabel(cut, rect, align);
}

}  // namespace

TSvCustomGroup::TSvCustomGroup(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                               const wxSize& size)
{
    Create(parent, id, caption, pos, size);
}

bool TSvCustomGroup::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                            const wxSize& size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);  // the paint handler erases, or leaves it to OnPaint
    if (!wxPanel::Create(parent, id, pos, size, wxTAB_TRAVERSAL | wxFULL_REPAINT_ON_RESIZE))
        return false;
    Init();
    caption_ = caption;
    insets_ = ComputeInsets();
    return true;
}

void TSvCustomGroup::Init() { Bind(wxEVT_PAINT, &TSvCustomGroup::OnPaintEvent, this); }

void TSvCustomGroup::SetAlignment(TAlignment value)
{
    alignment_ = value;
    Refresh();
}

void TSvCustomGroup::SetDefaultDrawing(bool value)
{
    defaultDrawing_ = value;
    Refresh();
}

void TSvCustomGroup::SetFrameSpace(int value)
{
    frameSpace_ = value;
    Refresh();
}

void TSvCustomGroup::SetFrameStyle(TSvFrameStyle value)
{
    if (value == frameStyle_)
        return;
    frameStyle_ = value;
    RecalcFrame();
    Refresh();
}

TFrameInsets TSvCustomGroup::ComputeInsets() const
{
    int captionHeight = 0;
    if (frameStyle_ == svfsGroup && !caption_.empty()) {
        int w = 0;
        GetTextExtent("0", &w, &captionHeight);
    }
    return FrameInsets(frameStyle_, captionHeight);
}

void TSvCustomGroup::RecalcFrame()
{
    const TFrameInsets next = ComputeInsets();
    if (next == insets_)
        return;
    // Positions are read against the old origin and written back against the new one.
    std::vector<std::pair<wxWindow*, wxPoint>> placed;
    for (wxWindow* child : GetChildren())
        if (!child->IsTopLevel())
            placed.emplace_back(child,
                                child->GetPosition() + wxPoint(next.Left - insets_.Left, next.Top - insets_.Top));
    insets_ = next;
    for (auto& [child, at] : placed)
        child->Move(at);
    Layout();
    Refresh();
}

bool TSvCustomGroup::Layout()
{
    if (wxSizer* sizer = GetSizer()) {
        const wxSize client = GetClientSize();
        sizer->SetDimension(wxPoint(insets_.Left, insets_.Top), client);
        return true;
    }
    return wxPanel::Layout();
}

wxPoint TSvCustomGroup::GetClientAreaOrigin() const { return wxPoint(insets_.Left, insets_.Top); }

void TSvCustomGroup::DoGetClientSize(int* width, int* height) const
{
    // The group has no border or scroll bars of the toolkit's: the frame is all it takes away.
    int w = 0, h = 0;
    DoGetSize(&w, &h);
    if (width)
        *width = std::max(0, w - insets_.Left - insets_.Right);
    if (height)
        *height = std::max(0, h - insets_.Top - insets_.Bottom);
}

bool TSvCustomGroup::Enable(bool enable)
{
    if (!wxPanel::Enable(enable))
        return false;
    Refresh();
    for (wxWindow* child : GetChildren())
        if (!child->IsTopLevel())
            child->Enable(enable);
    if (frameStyle_ == svfsGroup)
        RecalcFrame();
    return true;
}

void TSvCustomGroup::SetLabel(const wxString& label)
{
    caption_ = label;
    Refresh();
    if (frameStyle_ == svfsGroup)
        RecalcFrame();
}

bool TSvCustomGroup::SetFont(const wxFont& font)
{
    const bool changed = wxPanel::SetFont(font);
    if (frameStyle_ == svfsGroup)
        RecalcFrame();
    Refresh();
    return changed;
}

bool TSvCustomGroup::SetBackgroundColour(const wxColour& colour)
{
    const bool changed = wxPanel::SetBackgroundColour(colour);
    Refresh();
    if (frameStyle_ == svfsGroup)
        RecalcFrame();
    return changed;
}

void TSvCustomGroup::PaintFrame(wxDC& dc, const wxRect& rect)
{
    const wxColour fill = GetBackgroundColour();
    dc.SetFont(GetFont());
    int captionHeight = 0;
    if (frameStyle_ == svfsGroup && !caption_.empty())
        captionHeight = insets_.Top;
    for (const TFrameStroke& s :
         FrameStrokes(frameStyle_, rect.x, rect.y, rect.GetRight() + 1, rect.GetBottom() + 1, captionHeight)) {
        const wxColour colour = SystemColour(s.color, fill);
        if (s.kind == TFrameStroke::Fill) {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(colour));
            dc.DrawRectangle(s.Left, s.Top, s.Right - s.Left, s.Bottom - s.Top);
        } else if (s.kind == TFrameStroke::Rectangle) {
            dc.SetPen(wxPen(colour));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(s.Left, s.Top, s.Right - s.Left, s.Bottom - s.Top);
        } else {
            dc.SetPen(wxPen(colour));
            for (std::size_t i = 1; i < s.points.size(); ++i)
                dc.DrawLine(s.points[i - 1].x, s.points[i - 1].y, s.points[i].x, s.points[i].y);
        }
    }
    if (frameStyle_ == svfsGroup && !caption_.empty())
        PaintGroupCaption(dc, rect);
}

void TSvCustomGroup::PaintGroupCaption(wxDC& dc, const wxRect& window)
{
    const TCaptionRect r = GroupCaptionRect(window.x, window.y, window.GetRight() + 1, window.GetBottom() + 1,
                                            insets_.Top);
    const wxRect text(r.Left, r.Top, std::max(0, r.Right - r.Left), r.Bottom - r.Top);
    const std::uint32_t format = DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS;
    // The caption covers the frame line behind it.
    const wxString cut = wxControl::Ellipsize(caption_, dc, wxELLIPSIZE_END, text.width,
                                              wxELLIPSIZE_FLAGS_PROCESS_MNEMONICS);
    const wxSize extent = dc.GetTextExtent(wxControl::RemoveMnemonics(cut));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetBackgroundColour()));
    dc.DrawRectangle(text.x, text.y, std::min(extent.x, text.width), text.height);
    if (IsThisEnabled()) {
        dc.SetTextForeground(GetForegroundColour());
        DrawCaptionText(dc, text, format, caption_);
    } else {
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
        DrawCaptionText(dc, wxRect(text.x + 1, text.y + 1, text.width, text.height), format, caption_);
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
        DrawCaptionText(dc, text, format, caption_);
    }
}

void TSvCustomGroup::OnPaintEvent(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const wxSize whole = GetSize();
    const wxRect client(insets_.Left, insets_.Top, std::max(0, whole.x - insets_.Left - insets_.Right),
                        std::max(0, whole.y - insets_.Top - insets_.Bottom));
    dc.SetFont(GetFont());
    if (defaultDrawing_) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(GetBackgroundColour()));
        dc.DrawRectangle(client);
    }
    PaintFrame(dc, wxRect(wxPoint(0, 0), whole));
    if (defaultDrawing_ && frameStyle_ != svfsGroup) {
        wxRect caption = client;
        caption.x += frameSpace_;
        caption.width -= 2 * frameSpace_;
        dc.SetTextForeground(IsThisEnabled() ? GetForegroundColour()
                                             : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
        DrawCaptionText(dc, caption, ClientCaptionFormat(alignment_), caption_);
    }
    if (OnPaint) {
        wxDCClipper clip(dc, client);
        dc.SetDeviceOrigin(client.x, client.y);
        OnPaint(*this, dc);
        dc.SetDeviceOrigin(0, 0);
    }
}

wxIMPLEMENT_DYNAMIC_CLASS(TSvGroup, wxPanel);

}  // namespace ql::shellctl
