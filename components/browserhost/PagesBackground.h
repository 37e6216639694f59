#pragma once
// The background of a sheet or page control: a plain colour with bevels, or a tiled picture,
// either the control's own bitmap or the one of a shared holder. An own picture takes over
// from the holder's, so holder changes stop repainting the control until the own one is
// cleared again.
#include <functional>

#include "components/browserhost/BitmapHolder.h"
#include "components/browserhost/PagesPaint.h"

namespace ql {

class PageBackground {
public:
    // How the holder's picture is drawn: sheets let the holder tile it, the page control tiles
    // it itself (clipped), as it does its own bitmap.
    enum class HolderTiling { ByHolder, Clipped };

    PageBackground(HolderTiling tiling, std::function<void()> invalidate);
    PageBackground(const PageBackground&) = delete;
    PageBackground& operator=(const PageBackground&) = delete;

    TBitmap& Bitmap() { return bitmap_; }
    const TBitmap& Bitmap() const { return bitmap_; }
    // Copies `value` into the own bitmap (nullptr empties it). With a holder set, a given
    // bitmap unlinks from the holder and nullptr links to it again.
    void SetBitmap(const TBitmap* value);

    // The holder, or nullptr (also after the holder was destroyed).
    TBitmapHolder* BitmapHolder() const { return holder_.get(); }
    void SetBitmapHolder(TBitmapHolder* value);

    // True when a picture (own or the holder's) is to be shown instead of the plain colour.
    bool HasPicture() const;

    // Paints `client`: the plain colour (RGB) and the bevels, or the picture and the bevels.
    void Paint(IPainter& canvas, const TRect& client, TColor color, const BevelSettings& bevels,
               const SystemPalette& palette) const;

    const TLinkChange& Link() const { return link_; }

private:
    void Invalidate() const;

    HolderTiling tiling_;
    std::function<void()> invalidate_;
    TBitmap bitmap_;
    THolderRef holder_;
    TLinkChange link_;
};

}  // namespace ql
