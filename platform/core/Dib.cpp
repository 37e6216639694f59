#include "platform/core/Dib.h"

namespace ql {

namespace {
void PutLE(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
}  // namespace

std::vector<std::uint8_t> BuildDib(const RgbaImage& image)
{
    constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;
    if (image.width <= 0 || image.height <= 0)
        return {};
    std::uint64_t pixels = static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height);
    if (pixels > kMaxPixels || image.rgba.size() != pixels * 4)
        return {};
    const std::size_t w = static_cast<std::size_t>(image.width), h = static_cast<std::size_t>(image.height);
    const std::size_t imageBytes = static_cast<std::size_t>(pixels) * 4;
    std::vector<std::uint8_t> b(40 + imageBytes, 0);
    PutLE(b, 0, 40, 4);
    PutLE(b, 4, static_cast<std::uint32_t>(image.width), 4);
    PutLE(b, 8, static_cast<std::uint32_t>(image.height), 4);
    PutLE(b, 12, 1, 2);
    PutLE(b, 14, 32, 2);
    PutLE(b, 16, 0, 4);
    PutLE(b, 20, static_cast<std::uint32_t>(imageBytes), 4);
    PutLE(b, 24, 2835, 4);
    PutLE(b, 28, 2835, 4);
    for (std::size_t row = 0; row < h; ++row) {
        const std::uint8_t* src = image.rgba.data() + (h - 1 - row) * w * 4;
        std::uint8_t* dst = b.data() + 40 + row * w * 4;
        for (std::size_t x = 0; x < w; ++x) {
            dst[4 * x + 0] = src[4 * x + 2];
            dst[4 * x + 1] = src[4 * x + 1];
            dst[4 * x + 2] = src[4 * x + 0];
            dst[4 * x + 3] = src[4 * x + 3];
        }
    }
    return b;
}

}  // namespace ql
