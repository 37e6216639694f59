#pragma once
// The canvas of the visual components over a wx device context.
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>

#include "components/browserhost/Painter.h"

namespace ql {

wxColour ToWxColour(TColor rgb);
TColor FromWxColour(const wxColour& colour);
// The desktop theme's colours for the system colour constants.
SystemPalette CurrentSystemPalette();
wxBitmap ToWxBitmap(const TBitmap& bitmap);

class WxCanvas : public ICanvas {
public:
    // `images` (not owned) serves DrawImage; without it images draw nothing.
    explicit WxCanvas(wxDC& dc, wxImageList* images = nullptr);
    ~WxCanvas() override;
    WxCanvas(const WxCanvas&) = delete;
    WxCanvas& operator=(const WxCanvas&) = delete;

    wxDC& DC() { return dc_; }

    void FillRect(const TRect& r, TColor rgb) override;
    void FillEllipse(const TRect& box, TColor rgb) override;
    void PushClip(const TRect& r) override;
    void PopClip() override;
    void Blit(int x, int y, int w, int h, const TBitmap& source, int srcX, int srcY) override;
    TSize TextExtent(const std::string& text) override;
    void TextOut(int x, int y, const std::string& text, TColor rgb, int angle) override;
    void DrawImage(int index, int x, int y) override;

private:
    void ApplyClip();
    bool ClippedAway() const { return !clips_.empty() && clips_.back().IsEmpty(); }

    wxDC& dc_;
    wxImageList* images_;
    bool hadClip_ = false;  // the clip the DC came with, given back when our clips are gone
    wxRect initialClip_;
    std::vector<TRect> clips_;
    // The last bitmap converted for Blit; tiling copies one picture many times.
    const TBitmap* cachedSource_ = nullptr;
    std::uint64_t cachedGeneration_ = 0;
    wxBitmap cached_;
    std::unique_ptr<wxMemoryDC> cachedDC_;
};

}  // namespace ql
