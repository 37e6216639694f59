#include "app/editor/EditToolPictures_wx.h"

#include <wx/brush.h>
#include <wx/font.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <algorithm>
#include <memory>

namespace ql {

namespace {

constexpr int kSize = 16;
const wxColour kInk(40, 40, 40);

void Letter(wxGraphicsContext& gc, const wxString& text, wxFontStyle style, wxFontWeight weight)
{
    wxFont font(wxFontInfo(11).Family(wxFONTFAMILY_ROMAN).Style(style).Weight(weight));
    gc.SetFont(font, kInk);
    double w = 0, h = 0;
    gc.GetTextExtent(text, &w, &h);
    gc.DrawText(text, (kSize - w) / 2, (kSize - 3 - h) / 2);
}

void Line(wxGraphicsContext& gc, double x1, double y1, double x2, double y2) { gc.StrokeLine(x1, y1, x2, y2); }

// Four text lines of the given widths, placed by alignment (0 left, 1 centre, 2 right).
void TextLines(wxGraphicsContext& gc, int alignment)
{
    gc.SetPen(wxPen(kInk, 1));
    const int widths[] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        double w = widths[i];
        double x = alignment == 0 ? 2 : alignment == 1 ? (kSize - w) / 2 : kSize - 2 - w;
        double y = 3.5 + i * 3;
        Line(gc, x, y, x + w, y);
    }
}

void ListLines(wxGraphicsContext& gc, bool numbered)
{
    gc.SetPen(wxPen(kInk, 1));
    for (int i = 0; i < 3; ++i) {
        double y = 3.5 + i * 4.5;
        Line(gc, 7, y, 14, y);
        if (numbered) {
            wxFont font(wxFontInfo(6).Family(wxFONTFAMILY_SWISS).Bold());
            gc.SetFont(font, kInk);
            gc.DrawText(wxString::Format("%d", i + 1), 1, y - 4);
        } else {
            gc.SetBrush(wxBrush(kInk));
            gc.DrawEllipse(2, y - 1.5, 3, 3);
        }
    }
}

void Draw(wxGraphicsContext& gc, EditToolPicture picture)
{
    gc.SetPen(*wxTRANSPARENT_PEN);
    switch (picture) {
    case EditToolPicture::Background:
        gc.SetPen(wxPen(kInk, 1));
        gc.SetBrush(wxBrush(wxColour(120, 170, 230)));
        gc.DrawRectangle(1.5, 1.5, 13, 13);
        gc.SetBrush(wxBrush(*wxWHITE));
        gc.DrawRectangle(4.5, 4.5, 7, 7);
        break;
    case EditToolPicture::Highlight:
        gc.SetBrush(wxBrush(wxColour(255, 255, 0)));
        gc.DrawRectangle(1, 9, 14, 5);
        Letter(gc, "ab", wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL);
        break;
    case EditToolPicture::Bold:
        Letter(gc, "B", wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD);
        break;
    case EditToolPicture::Italic:
        Letter(gc, "I", wxFONTSTYLE_ITALIC, wxFONTWEIGHT_NORMAL);
        break;
    case EditToolPicture::Underline:
        Letter(gc, "U", wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL);
        gc.SetPen(wxPen(kInk, 1));
        Line(gc, 3, 14.5, 13, 14.5);
        break;
    case EditToolPicture::FontColor:
        Letter(gc, "A", wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD);
        gc.SetBrush(wxBrush(wxColour(220, 30, 30)));
        gc.DrawRectangle(2, 13, 12, 3);
        break;
    case EditToolPicture::Numbers:
        ListLines(gc, true);
        break;
    case EditToolPicture::Bullets:
        ListLines(gc, false);
        break;
    case EditToolPicture::LeftJustify:
        TextLines(gc, 0);
        break;
    case EditToolPicture::Center:
        TextLines(gc, 1);
        break;
    case EditToolPicture::RightJustify:
        TextLines(gc, 2);
        break;
    case EditToolPicture::Picture: {
        gc.SetPen(wxPen(kInk, 1));
        gc.SetBrush(wxBrush(wxColour(200, 225, 250)));
        gc.DrawRectangle(1.5, 2.5, 13, 11);
        gc.SetPen(*wxTRANSPARENT_PEN);
        gc.SetBrush(wxBrush(wxColour(60, 140, 60)));
        wxGraphicsPath hill = gc.CreatePath();
        hill.MoveToPoint(2, 13);
        hill.AddLineToPoint(7, 7);
        hill.AddLineToPoint(10, 10);
        hill.AddLineToPoint(12, 8);
        hill.AddLineToPoint(14, 13);
        hill.CloseSubpath();
        gc.FillPath(hill);
        gc.SetBrush(wxBrush(wxColour(240, 190, 0)));
        gc.DrawEllipse(10, 4, 3, 3);
        break;
    }
    case EditToolPicture::Anchor: {
        // Two links of a chain.
        gc.SetPen(wxPen(wxColour(30, 80, 190), 2));
        gc.SetBrush(*wxTRANSPARENT_BRUSH);
        gc.DrawRoundedRectangle(1.5, 6, 8, 5, 2.5);
        gc.DrawRoundedRectangle(6.5, 5, 8, 5, 2.5);
        break;
    }
    }
}

}  // namespace

wxBitmap DrawEditToolPicture(EditToolPicture picture)
{
    wxImage image(kSize, kSize);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), kSize * kSize, 0);
    {
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (gc) {
            gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
            Draw(*gc, picture);
        }
    }  // the context writes the drawing back into the image when it goes
    return wxBitmap(image);
}

}  // namespace ql
