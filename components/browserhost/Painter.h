#pragma once
// The drawing surface the visual components paint through: a few primitives that a wx device
// context provides in production and a recording or raster fake provides in tests.
#include <algorithm>
#include <string>

#include "components/browserhost/Colors.h"

namespace ql {

class TBitmap;

// Left, Top, Right, Bottom in logical coordinates; right and bottom are exclusive.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TSize {
    int cx = 0, cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

inline TRect Intersect(const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty())
        return TRect{r.Left, r.Top, r.Left, r.Top};
    return r;
}
inline void InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}
inline void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

class IPainter {
public:
    virtual ~IPainter() = default;
    // Fills the rectangle (no outline); an empty rectangle draws nothing.
    virtual void FillRect(const TRect& r, TColor rgb) = 0;
    // Fills the ellipse inscribed in the box (no outline).
    virtual void FillEllipse(const TRect& box, TColor rgb) = 0;
    // Narrows drawing to r within whatever clip is in force; PopClip gives back exactly the
    // clip there was before, "no clip" included.
    virtual void PushClip(const TRect& r) = 0;
    virtual void PopClip() = 0;
    // Copies the w x h block of `source` starting at (srcX, srcY) to (x, y).
    virtual void Blit(int x, int y, int w, int h, const TBitmap& source, int srcX, int srcY) = 0;
};

// A painter that can also write text and draw images of an image list.
class ICanvas : public IPainter {
public:
    virtual TSize TextExtent(const std::string& text) = 0;
    // Text with its top-left corner at (x, y), turned counter-clockwise by `angle` degrees
    // around that point; the background is left as it is.
    virtual void TextOut(int x, int y, const std::string& text, TColor rgb, int angle) = 0;
    virtual void DrawImage(int index, int x, int y) = 0;
};

// Keeps a clip for one scope.
class ClipScope {
public:
    ClipScope(IPainter& painter, const TRect& r) : painter_(painter) { painter_.PushClip(r); }
    ~ClipScope() { painter_.PopClip(); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    IPainter& painter_;
};

}  // namespace ql
