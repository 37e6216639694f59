#include "app/product/ZoneArtwork_wx.h"
#include "platform/gui/ImagePixels_wx.h"

#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <memory>

namespace ql {

namespace {

// A quill over an open tray: the picture says "drop here".
void DrawMark(wxGraphicsContext& gc, double w, double h)
{
    // The tray.
    wxGraphicsPath tray = gc.CreatePath();
    tray.MoveToPoint(w * 0.10, h * 0.55);
    tray.AddLineToPoint(w * 0.25, h * 0.92);
    tray.AddLineToPoint(w * 0.75, h * 0.92);
    tray.AddLineToPoint(w * 0.90, h * 0.55);
    tray.AddLineToPoint(w * 0.66, h * 0.55);
    tray.AddLineToPoint(w * 0.60, h * 0.68);
    tray.AddLineToPoint(w * 0.40, h * 0.68);
    tray.AddLineToPoint(w * 0.34, h * 0.55);
    tray.CloseSubpath();
    gc.SetBrush(
        gc.CreateLinearGradientBrush(0, h * 0.55, 0, h * 0.92, wxColour(0x8f, 0xb4, 0xef), wxColour(0x3a, 0x62, 0xb0)));
    gc.SetPen(wxPen(wxColour(0x24, 0x3f, 0x7a), 1));
    gc.DrawPath(tray);
    // The quill, pointing down into the tray.
    wxGraphicsPath quill = gc.CreatePath();
    quill.MoveToPoint(w * 0.50, h * 0.62);
    quill.AddCurveToPoint(w * 0.40, h * 0.40, w * 0.52, h * 0.15, w * 0.80, h * 0.04);
    quill.AddCurveToPoint(w * 0.74, h * 0.30, w * 0.66, h * 0.45, w * 0.50, h * 0.62);
    quill.CloseSubpath();
    gc.SetBrush(gc.CreateLinearGradientBrush(w * 0.4, h * 0.6, w * 0.8, h * 0.05, wxColour(0xf4, 0xa2, 0x3c),
                                             wxColour(0xff, 0xe7, 0xa8)));
    gc.SetPen(wxPen(wxColour(0x8a, 0x4b, 0x0c), 1));
    gc.DrawPath(quill);
    gc.StrokeLine(w * 0.50, h * 0.62, w * 0.70, h * 0.16);
}

wxBitmap Draw(int width, int height, bool background)
{
    wxImage image(width, height);
    image.InitAlpha();
    std::fill(image.GetAlpha(), image.GetAlpha() + width * height, background ? 255 : 0);
    wxBitmap bitmap(image, 32);
    {
        wxMemoryDC dc(bitmap);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (gc) {
            gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
            if (background) {
                gc->SetBrush(gc->CreateLinearGradientBrush(0, 0, 0, height, wxColour(0xfb, 0xfd, 0xff),
                                                           wxColour(0xd4, 0xe2, 0xf7)));
                gc->SetPen(wxPen(wxColour(0x3a, 0x62, 0xb0), 1));
                gc->DrawRoundedRectangle(0.5, 0.5, width - 1, height - 1, 5);
            }
            DrawMark(*gc, width, height);
        }
    }
    return bitmap;
}

}  // namespace

wxBitmap ZonePicture() { return Draw(kZoneImageWidth, kZoneImageHeight, true); }

wxBitmap ProgramIconBitmap(int size) { return Draw(size, size, false); }

TIcon ProgramTrayIcon()
{
    RgbaImage pixels = ImagePixels(ProgramIconBitmap(24).ConvertToImage());
    return TIcon{pixels.width, pixels.height, std::move(pixels.rgba)};
}

}  // namespace ql
