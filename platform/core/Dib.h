#pragma once
// Device-independent bitmaps (CF_DIB): a 40-byte info header followed by the pixels.
#include <cstdint>
#include <vector>

namespace ql {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first
};

// A 32-bit uncompressed bitmap: header (size 40, width, positive height = bottom-up rows,
// 1 plane, 32 bits, no compression, image size, 2835 pixels per metre both ways), then the
// rows from the bottom up as blue, green, red, alpha. Empty for an empty or inconsistent image
// or one above 64 megapixels.
std::vector<std::uint8_t> BuildDib(const RgbaImage& image);

}  // namespace ql
