#pragma once
// A picture in memory: 8-bit RGB pixels, row by row. OnChange runs after every change of size
// or pixels, which is how a holder learns that its controls must repaint.
#include <cstdint>
#include <functional>
#include <vector>

#include "components/browserhost/Colors.h"

namespace ql {

class TBitmap {
public:
    // Largest accepted pixel count; bigger requests are refused rather than allocated.
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;

    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // New size, all pixels black. Returns false (bitmap unchanged) for a negative or huge size.
    bool SetSize(int width, int height);
    // Replaces size and pixels at once (3 bytes per pixel, rows top to bottom). Returns false
    // (bitmap unchanged) when the byte count does not match the size.
    bool SetPixels(int width, int height, std::vector<std::uint8_t> rgb);
    // The pixel's colour; black outside the bitmap.
    TColor Pixel(int x, int y) const;
    // Points outside the bitmap are ignored.
    void SetPixel(int x, int y, TColor rgb);
    // Copies another bitmap's size and pixels; nullptr empties this one.
    void Assign(const TBitmap* source);

    const std::uint8_t* Rgb() const { return pixels_.data(); }
    // Counts changes, so a painter can tell a converted copy is still current.
    std::uint64_t Generation() const { return generation_; }

    std::function<void()> OnChange;

private:
    void Changed();

    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::uint64_t generation_ = 0;
};

}  // namespace ql
