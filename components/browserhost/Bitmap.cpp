#include "components/browserhost/Bitmap.h"

#include <utility>

namespace ql {

namespace {
bool SizeAcceptable(int width, int height)
{
    return width >= 0 && height >= 0 && std::int64_t(width) * height <= TBitmap::kMaxPixels;
}
}  // namespace

bool TBitmap::SetSize(int width, int height)
{
    if (!SizeAcceptable(width, height))
        return false;
    if (width == 0 || height == 0)
        width = height = 0;
    width_ = width;
    height_ = height;
    pixels_.assign(std::size_t(width) * std::size_t(height) * 3, 0);
    Changed();
    return true;
}

bool TBitmap::SetPixels(int width, int height, std::vector<std::uint8_t> rgb)
{
    if (!SizeAcceptable(width, height) || rgb.size() != std::size_t(width) * std::size_t(height) * 3)
        return false;
    if (width == 0 || height == 0)
        width = height = 0;
    width_ = width;
    height_ = height;
    pixels_ = std::move(rgb);
    Changed();
    return true;
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return clBlack;
    const std::uint8_t* p = &pixels_[(std::size_t(y) * std::size_t(width_) + std::size_t(x)) * 3];
    return RGBColor(p[0], p[1], p[2]);
}

void TBitmap::SetPixel(int x, int y, TColor rgb)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    std::uint8_t* p = &pixels_[(std::size_t(y) * std::size_t(width_) + std::size_t(x)) * 3];
    p[0] = RedOf(rgb);
    p[1] = GreenOf(rgb);
    p[2] = BlueOf(rgb);
    Changed();
}

void TBitmap::Assign(const TBitmap* source)
{
    if (source == this)
        return;
    if (source) {
        width_ = source->width_;
        height_ = source->height_;
        pixels_ = source->pixels_;
    } else {
        width_ = height_ = 0;
        pixels_.clear();
    }
    Changed();
}

void TBitmap::Changed()
{
    ++generation_;
    if (OnChange) {
        // A handler may destroy this bitmap's owner; run a copy so nothing freed is called.
        const auto handler = OnChange;
        handler();
    }
}

}  // namespace ql
